// TQtCheckedComboBox: the checked combo widget - a read-only edit with the summary text, a
// drop-down button, and a resizable drop-down list of check boxes with check-all commands.
#pragma once

#include <functional>
#include <memory>

#include <QFrame>

#include "controls/checkcombo.h"
#include "controls/checkcombodb.h"

class QLineEdit;
class QListWidget;
class QMenu;
class QSizeGrip;
class QToolButton;

namespace lm {

class TQtCheckedComboBox : public QFrame {
    Q_OBJECT

public:
    explicit TQtCheckedComboBox(QWidget* parent = nullptr);
    ~TQtCheckedComboBox() override;

    TCheckedComboBox& Combo() { return *m_combo; }
    // Opens the drop-down (the button's click); a click that closed it opens nothing.
    void ShowCheckList();
    QLineEdit* Edit() const { return m_edit; }
    QToolButton* Button() const { return m_button; }
    QFrame* DropDown() const { return m_dropDown; }
    QListWidget* CheckList() const { return m_list; }
    QMenu* ListMenu() const { return m_menu; }

    std::function<void(TQtCheckedComboBox* Sender)> OnEnter, OnExit;
    // Raised with the drop-down window as sender once it has closed.
    std::function<void(QWidget* Sender)> OnCloseUp;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    explicit TQtCheckedComboBox(std::unique_ptr<TCheckedComboBox> combo, QWidget* parent);
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void build();
    void fillList();
    void showText();
    void paintEditBase(bool focused);
    void dropDownClosed();

    std::unique_ptr<TCheckedComboBox> m_combo;
    QLineEdit* m_edit = nullptr;
    QToolButton* m_button = nullptr;
    QFrame* m_dropDown = nullptr;
    QListWidget* m_list = nullptr;
    QSizeGrip* m_grip = nullptr;
    QMenu* m_menu = nullptr;
};

// The checked combo filled from a dataset, with its integer key lists.
class TQtCheckedComboDB : public TQtCheckedComboBox {
    Q_OBJECT

public:
    explicit TQtCheckedComboDB(QWidget* parent = nullptr);
    TCheckedComboDB& ComboDB() { return static_cast<TCheckedComboDB&>(Combo()); }
};

} // namespace lm
