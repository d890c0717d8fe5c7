// Field panels on a record form: customisation with the mouse and the menus, stored in the real
// settings store and applied again when the form opens; the tab order dialog; closed and hidden
// panels; the panel button.
#include "uifixture.h"

#include <QListWidget>
#include <QMenu>
#include <QToolButton>

#include "controls/ui/fieldcontrols.h"
#include "controls/ui/qtselectwindow.h"
#include "goodsform.h"

using namespace lm;
using namespace lm::test;

namespace {

void trigger(TQtAFPanel* panel, const char* action)
{
    QMenu menu;
    panel->FillContextMenu(menu);
    QAction* a = menu.findChild<QAction*>(action);
    ASSERT_NE(a, nullptr) << action;
    a->trigger();
}

// Drags with the left button from `from` by `by`, in `w`'s coordinates.
void drag(QWidget* w, QPoint from, QPoint by)
{
    QTest::mousePress(w, Qt::LeftButton, {}, from);
    QTest::mouseMove(w, from + by);
    QTest::mouseRelease(w, Qt::LeftButton, {}, from + by);
}

QStringList tabNames(QWidget* container)
{
    QStringList names;
    for (QWidget* w : RootTabList(container))
        names << w->objectName();
    return names;
}

class AFPanelUi : public UiTest {
protected:
    std::unique_ptr<GoodsForm> open()
    {
        auto form = std::make_unique<GoodsForm>(&goods.source);
        form->cpanel->ReadFromReg(kGoodsFormKey);
        form->show();
        form->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(form.get()));
        return form;
    }
    MemGoods goods;
};

} // namespace

TEST_F(AFPanelUi, CustomisationIsStoredAndAppliedWhenTheFormOpensAgain)
{
    QRect price, barcode;
    {
        auto f = open();
        price = f->price->geometry();
        barcode = f->barcode->geometry();
        trigger(f->name, "miCustom");
        EXPECT_TRUE(f->cpanel->Panel().Customizing());
        EXPECT_FALSE(f->control<QWidget>(f->name)->isEnabled());
        EXPECT_EQ(f->name->toolTip(), Q("Останов по Tab"_w));

        drag(f->price, {5, 5}, {7, 0});  // less than a step
        EXPECT_EQ(f->price->geometry(), price);
        ASSERT_NE(f->price->SelectWindow(), nullptr);
        EXPECT_EQ(f->price->SelectWindow()->geometry(), price.adjusted(-3, -3, 3, 3));
        drag(f->price, {5, 5}, {13, 0});
        EXPECT_EQ(f->price->geometry(), price.translated(8, 0));

        // the right-centre grip of the frame widens the barcode panel
        QTest::mouseClick(f->barcode, Qt::LeftButton, {}, {5, 5});
        TQtSelectWindow* frame = f->barcode->SelectWindow();
        const TAFBounds grip = GripRect(5, frame->width(), frame->height());
        drag(frame, {grip.Left + 2, grip.Top + 2}, {20, 0});
        EXPECT_EQ(f->barcode->geometry(), barcode.adjusted(0, 0, 16, 0));

        trigger(f->recipe, "miState2");
        EXPECT_EQ(f->recipe->toolTip(), Q("Закрыт"_w));
        trigger(f->cpanel, "miOk");
        EXPECT_FALSE(f->cpanel->Panel().Customizing());
        EXPECT_TRUE(f->control<QWidget>(f->name)->isEnabled());
        EXPECT_FALSE(f->recipe->isEnabled());
        EXPECT_TRUE(keyExists(kGoodsFormKey + "\\CPanel\\pnlPrice"));
        EXPECT_FALSE(keyExists(kGoodsFormKey + "\\CPanel\\pnlName"));
    }
    auto again = open();
    EXPECT_EQ(again->price->geometry(), price.translated(8, 0));
    EXPECT_EQ(again->barcode->geometry(), barcode.adjusted(0, 0, 16, 0));
    EXPECT_EQ(again->recipe->Panel().State(), afDisable);
    again->control<QWidget>(again->recipe)->setFocus();
    EXPECT_FALSE(again->control<QWidget>(again->recipe)->hasFocus());

    // Cancel puts back what the customisation changed
    trigger(again->name, "miCustom");
    drag(again->name, {5, 5}, {0, 16});
    trigger(again->price, "miState3");
    trigger(again->cpanel, "miCancel");
    EXPECT_EQ(again->name->y(), 8);
    EXPECT_EQ(again->price->Panel().State(), afTabStop);
    EXPECT_TRUE(again->price->isVisible());
}

TEST_F(AFPanelUi, GripOfAPanelThatMayNotResizeOnlyMovesIt)
{
    auto f = open();
    f->barcode->Panel().Resizable = false;
    const QRect before = f->barcode->geometry();
    trigger(f->cpanel, "miCustom");
    QTest::mouseClick(f->barcode, Qt::LeftButton, {}, {5, 5});
    TQtSelectWindow* frame = f->barcode->SelectWindow();
    const TAFBounds grip = GripRect(4, frame->width(), frame->height());
    drag(frame, {grip.Left + 2, grip.Top + 2}, {-17, 0});
    EXPECT_EQ(f->barcode->geometry(), before.translated(-16, 0));
}

TEST_F(AFPanelUi, TabOrderDialogReordersAndTheOrderIsStored)
{
    const QStringList design{"edName", "edPrice", "edBarcode", "edNote", "cbActive", "cbRecipe"};
    {
        auto f = open();
        EXPECT_EQ(tabNames(f->cpanel), design);
        WhenModal([](QWidget* dlg) {
            EXPECT_EQ(dlg->windowTitle(), Q("Порядок обхода полей"_w));
            auto* list = dlg->findChild<QListWidget*>("lbCtrls");
            EXPECT_EQ(list->item(0)->text(), Q("Наименование"_w));
            list->setCurrentRow(0);
            QTest::mouseClick(dlg->findChild<QToolButton*>("btnUp"), Qt::LeftButton);    // stays first
            QTest::mouseClick(dlg->findChild<QToolButton*>("btnDown"), Qt::LeftButton);
            QTest::mouseClick(dlg->findChild<QToolButton*>("btnBottom"), Qt::LeftButton);
            list->setCurrentRow(4);
            QTest::mouseClick(dlg->findChild<QToolButton*>("btnTop"), Qt::LeftButton);
            // drag the third entry onto the second
            const QRect third = list->visualItemRect(list->item(2));
            const QRect second = list->visualItemRect(list->item(1));
            QTest::mousePress(list->viewport(), Qt::LeftButton, {}, third.center());
            QTest::mouseMove(list->viewport(), second.center());
            QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, second.center());
            QTest::mouseClick(dlg->findChild<QPushButton*>("btnOk"), Qt::LeftButton);
        });
        trigger(f->name, "miTabOrder");
        EXPECT_EQ(tabNames(f->cpanel), (QStringList{"cbRecipe", "edBarcode", "edPrice", "edNote", "cbActive", "edName"}));
        TRegistry reg;
        ASSERT_TRUE(reg.OpenKey(kGoodsFormKey + "\\CPanel\\pnlName\\TabOrder", false));
        EXPECT_EQ(reg.ReadString("000"), "cbRecipe");
        EXPECT_EQ(reg.ReadString("005"), "edName");

        // Cancel changes nothing
        WhenModal([](QWidget* dlg) {
            auto* list = dlg->findChild<QListWidget*>("lbCtrls");
            list->setCurrentRow(0);
            QTest::mouseClick(dlg->findChild<QToolButton*>("btnBottom"), Qt::LeftButton);
            QTest::mouseClick(dlg->findChild<QPushButton*>("btnCancel"), Qt::LeftButton);
        });
        trigger(f->name, "miTabOrder");
        EXPECT_EQ(tabNames(f->cpanel).first(), "cbRecipe");
    }
    auto again = open();
    EXPECT_EQ(tabNames(again->cpanel).first(), "cbRecipe");
    QTest::keyClick(again->control<QWidget>(again->recipe), Qt::Key_Tab);
}

TEST_F(AFPanelUi, ClosedAndHiddenPanelsAndThePanelButton)
{
    auto f = open();
    TAFPanel& price = f->price->Panel();
    price.SetState(afDisable);
    f->cpanel->Panel().UpdateState(true);
    auto* edPrice = f->control<QLineEdit>(f->price);
    EXPECT_FALSE(edPrice->isEnabled());
    EXPECT_EQ(edPrice->palette().color(QPalette::Base), f->palette().color(QPalette::Button));
    price.SetState(afInvisible);
    f->cpanel->Panel().UpdateState(true);
    EXPECT_FALSE(f->price->isVisible());

    int clicks = 0;
    f->note->OnAButtonClick = [&](TQtAFPanel* sender) {
        EXPECT_EQ(sender, f->note);
        ++clicks;
    };
    f->note->ShortCut = QKeySequence(Qt::Key_F4);
    QTest::keyClick(f->control<QWidget>(f->note), Qt::Key_F4);
    EXPECT_EQ(clicks, 1);
    const QRect button = f->note->ButtonRect();
    EXPECT_TRUE(f->note->rect().contains(button));
    QTest::mouseClick(f->note, Qt::LeftButton, {}, button.center());
    EXPECT_EQ(clicks, 2);
    // a release outside the button is no click
    QTest::mousePress(f->note, Qt::LeftButton, {}, button.center());
    QTest::mouseMove(f->note, {2, 2});
    QTest::mouseRelease(f->note, Qt::LeftButton, {}, {2, 2});
    EXPECT_EQ(clicks, 2);
}
