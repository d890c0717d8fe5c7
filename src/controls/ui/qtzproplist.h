// TQtZPropList: the property list widget - rows of names and values over TZPropList, with the
// in-place editor TZInplaceEdit, its drop-down button TZListButton and list TZPopupList.
#pragma once

#include <functional>

#include <QAbstractScrollArea>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QListWidget>
#include <QToolButton>

#include "controls/zproplist.h"

namespace lm {

class TQtZPropList;

// The value editor of the current row; it hands every key to the list first.
class TZInplaceEdit : public QLineEdit {
    Q_OBJECT

public:
    explicit TZInplaceEdit(TQtZPropList* owner);
    // Ctrl+Enter; unassigned by the list itself.
    std::function<void()> OnDblClick;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    TQtZPropList* m_owner;
};

// The drop-down button beside the editor of a pick-list row: a square as high as a row.
class TZListButton : public QToolButton {
    Q_OBJECT

public:
    explicit TZListButton(TQtZPropList* owner);
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

private:
    TQtZPropList* m_owner;
};

// The drop-down list of a pick-list row: typing searches, Enter or a click takes an entry.
class TZPopupList : public QListWidget {
    Q_OBJECT

public:
    explicit TZPopupList(TQtZPropList* owner);
    // Shows `values` under the editor with the entry equal to `current` selected.
    void Popup(const std::vector<std::string>& values, const std::string& current, const QRect& below);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void take();

    TQtZPropList* m_owner;
    TZPopupSearch m_search;
    QElapsedTimer m_clock;
    std::vector<std::string> m_values;
    bool m_taking = false;
};

class TQtZPropList : public QAbstractScrollArea {
    Q_OBJECT

public:
    explicit TQtZPropList(QWidget* parent = nullptr);
    ~TQtZPropList() override;

    TZPropList& List() { return m_list; }
    TZInplaceEdit* InplaceEdit() const { return m_edit; }
    TZListButton* ListButton() const { return m_button; }
    TZPopupList* PopupList() const { return m_popup; }
    // May change the hint shown over a cell whose text does not fit.
    std::function<void(TQtZPropList* Sender, TZEditor* Prop, QString& Hint)> OnHint;

    int RowHeight() const;
    // The row under a viewport point, -1 below the last.
    int RowAt(int y) const;
    // Runs a list operation that may refuse the user's text, showing the message instead.
    bool Guarded(const std::function<void()>& operation);
    void OpenPopup();
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

private:
    friend class TZInplaceEdit;
    void sync();
    void placeEditor();
    void paintRow(QPainter& p, int row, int y);
    void textEdited(const QString& text);

    TZPropList m_list;
    TZInplaceEdit* m_edit = nullptr;
    TZListButton* m_button;
    TZPopupList* m_popup;
    bool m_splitting = false;
    bool m_skipCompletion = false;
};

} // namespace lm
