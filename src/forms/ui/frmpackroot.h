// TfrmPackRoot: the base of every package dialog. It remembers its position, size and window
// state per user, screen resolution and font choice, and takes the process-wide font choice.
#pragma once

#include <memory>
#include <string>

#include <QDialog>

#include "forms/formsize.h"

namespace lm {

class TfrmPackRoot : public QDialog {
    Q_OBJECT

public:
    // Scales the form to the screen and to the current font index (FormCreate).
    explicit TfrmPackRoot(QWidget* parent = nullptr);
    ~TfrmPackRoot() override;

    // Whether the placement is restored on the first show and saved on closing (on at creation).
    bool SizePersistence() const { return m_sizePersistence; }
    void SetSizePersistence(bool on) { m_sizePersistence = on; }
    // The size suffix fixed at creation (see GetSizeSuffix).
    const std::string& SizeSuffix() const { return m_sizeSuffix; }
    // "\Software\Lumora\LMPack\Forms" + size suffix + "\" + the form's class name.
    std::string FormKey() const;
    // The form's class name without its namespace ("TfrmUFilter").
    std::string FormClassName() const;

    // Applies the stored placement (a stored size never below the size the layout needs).
    void RestoreSize();
    // Stores the current placement.
    void SaveSize();

    void setVisible(bool visible) override;
    void done(int result) override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    TFormSize& sizeStore();
    bool sizeable() const;
    void formClose();

    std::unique_ptr<TFormSize> m_size;
    std::string m_sizeSuffix;
    bool m_sizePersistence = true;
    bool m_restored = false;
    bool m_open = false;
};

} // namespace lm
