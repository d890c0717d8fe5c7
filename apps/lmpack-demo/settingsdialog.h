// TfrmSettings: the demo's settings in the property list - OK stores the edited values.
#pragma once

#include "demosettings.h"
#include "forms/ui/frmpackroot.h"

namespace lm {

class TQtZPropList;

class TfrmSettings : public TfrmPackRoot {
    Q_OBJECT

public:
    TfrmSettings(const TDemoSettings& settings, QWidget* parent = nullptr);
    // Shows the settings; true with `settings` changed when the user accepted.
    static bool Execute(TDemoSettings& settings, QWidget* parent = nullptr);

    TQtZPropList* List() const { return m_list; }
    // The values the list holds now.
    TDemoSettings Values() const;
    void accept() override;

private:
    TQtZPropList* m_list;
    TDemoSettings m_initial;
};

} // namespace lm
