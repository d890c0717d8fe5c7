// TfrmAnketPropDlg ("Настройка формы"): the record form settings dialog - Enter and Escape,
// the focus on editing and inserting, and the insert options.
#pragma once

#include <QButtonGroup>

#include "controls/anketprops.h"
#include "forms/ui/frmpackroot.h"

class QCheckBox;
class QComboBox;
class QPushButton;

namespace lm {

class TfrmAnketPropDlg : public TfrmPackRoot {
    Q_OBJECT

public:
    TfrmAnketPropDlg(TAnketProps& props, QWidget* parent = nullptr);
    // Shows the dialog for the form's settings; true when they were stored (OK) or reset
    // ("По умолчанию"), false on Cancel.
    static bool Execute(TAnketProps& props, QWidget* parent);

    // What the controls hold now.
    TAnketOptions Chosen() const;

private:
    void load(const TAnketOptions& o);
    QComboBox* panelList(const char* name);
    void updateEnabled();

    TAnketProps& m_props;
    std::vector<std::pair<std::string, TAFPanel*>> m_panels;
    QButtonGroup m_enter, m_esc, m_focus;
    QComboBox* m_cbEdit;
    QComboBox* m_cbInsert;
    QCheckBox* m_cbAutoInsert;
    QCheckBox* m_cbAutoClose;
    QCheckBox* m_cbAutoClick;
};

} // namespace lm
