// TfrmTabOrderDlg ("Порядок обхода полей"): the modal dialog in which the user rearranges the
// order in which Tab walks through a container's field controls.
#pragma once

#include <QListWidget>

#include "forms/taborderlist.h"
#include "forms/ui/frmpackroot.h"

class QToolButton;
class QPushButton;

namespace lm {

// The list box of the dialog: a press and a 3-pixel move drag an entry to where it is dropped.
class TTabOrderListBox : public QListWidget {
    Q_OBJECT

public:
    explicit TTabOrderListBox(TTabOrderList& list, QWidget* parent);
    // Shows the list's entries and selection.
    void Reload();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    TTabOrderList& m_list;
    QPoint m_press;
    bool m_pressed = false;
    bool m_dragging = false;
};

class TfrmTabOrderDlg : public TfrmPackRoot {
    Q_OBJECT

public:
    explicit TfrmTabOrderDlg(QWidget* parent = nullptr);
    TTabOrderList& List() { return m_list; }
    TTabOrderListBox* lbCtrls() const { return m_lbCtrls; }

private:
    QToolButton* moveButton(const char* name, TTabOrderMove move);

    TTabOrderList m_list;
    TTabOrderListBox* m_lbCtrls;
};

// Runs the dialog over the container's field controls (RootTabList); on OK their tab order
// becomes the order of the list. True when the user chose OK.
bool TabOrderDlgExec(QWidget* container);

} // namespace lm
