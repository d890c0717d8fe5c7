// The menu model shown in a QMenu.
#include "report/ui/qtmenuview.h"

#include <QMenu>

#include "forms/ui/qtdialoghost.h"
#include "report/menuitem.h"
#include "util/ui/qcp1251.h"

namespace lm {

namespace {

void fill(QMenu* menu, TMenuItem& parent)
{
    for (int i = 0; i < parent.Count(); ++i) {
        TMenuItem* item = parent.Items(i);
        if (item->IsLine()) {
            menu->addSeparator();
        } else if (item->Count() > 0) {
            fill(menu->addMenu(ToQString(item->Caption())), *item);
        } else {
            QAction* action = menu->addAction(ToQString(item->Caption()));
            // Clicks run after the menu closed; an entry may rebuild the menu it came from.
            QObject::connect(action, &QAction::triggered, menu, [item] { RunShowingErrors([item] { item->Click(); }); },
                             Qt::QueuedConnection);
        }
    }
}

} // namespace

TQtMenuView::TQtMenuView(TMenuItem& root, QMenu* menu) : QObject(menu), m_root(root), m_menu(menu)
{
    m_root.OnChange = [this](TMenuItem*) { Rebuild(); };
    Rebuild();
}

TQtMenuView::~TQtMenuView() { m_root.OnChange = nullptr; }

void TQtMenuView::Rebuild()
{
    m_menu->clear();
    fill(m_menu, m_root);
}

} // namespace lm
