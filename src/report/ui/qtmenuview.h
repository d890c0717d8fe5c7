// TQtMenuView: shows a menu model (TMenuItem) in a QMenu, rebuilt whenever the model changes,
// so a tool button's drop-down always lists the print menu's current entries.
#pragma once

#include <QObject>

class QMenu;

namespace lm {

class TMenuItem;

class TQtMenuView : public QObject {
    Q_OBJECT

public:
    // Fills `menu` from the entries of `root`; both must outlive the view.
    TQtMenuView(TMenuItem& root, QMenu* menu);
    ~TQtMenuView() override;
    void Rebuild();

private:
    TMenuItem& m_root;
    QMenu* m_menu;
};

} // namespace lm
