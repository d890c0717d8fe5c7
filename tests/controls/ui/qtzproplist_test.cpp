// The property list widget driven by keys and mouse: moving between rows, committing, refused
// text, completion, the drop-down list and the caret keys.
#include "uifixture.h"

#include <QToolButton>

#include "../../forms/scripteddialogs.h"
#include "controls/ui/qtzproplist.h"

using namespace lm;
using namespace lm::test;

namespace {

class ZPropListUi : public UiTest {
protected:
    void SetUp() override
    {
        UiTest::SetUp();
        TZPropList& l = list.List();
        l.AddProperty(1, "Наличие"_w, zdtYesNo, 0, 1, 1);
        l.AddProperty(2, "Сумма"_w, zdtMoney, 0, Variant(Currency::FromDouble(1234.5)), Variant(Currency::FromDouble(1234.5)));
        l.AddProperty(3, "Примечание"_w, zdtText, 0, "старое"_w, "старое"_w);
        l.AddProperty(4, "Вид"_w, zdtText, 0, "", "", {"Розница"_w, "Опт"_w, "Рецепт"_w});
        list.show();
        list.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&list));
        list.InplaceEdit()->setFocus();
        l.MoveCurrent(0);
    }
    void type(const QString& text)
    {
        for (QChar ch : text)
            QTest::sendKeyEvent(QTest::Click, list.InplaceEdit(), Qt::Key_unknown, QString(ch), {});
    }
    TZInplaceEdit* edit() const { return list.InplaceEdit(); }

    TQtZPropList list;
};

} // namespace

TEST_F(ZPropListUi, ArrowsMoveRowsAndEnterCommits)
{
    EXPECT_EQ(edit()->text(), Q("Да"_w));
    QTest::keyClick(edit(), Qt::Key_Down);
    EXPECT_EQ(list.List().Row(), 1);
    EXPECT_EQ(edit()->text(), Q("1\xA0" "234,50"));
    QTest::keyClick(edit(), Qt::Key_Down);
    edit()->selectAll();
    type(Q("новое"_w));
    QTest::keyClick(edit(), Qt::Key_Return);
    EXPECT_EQ(list.List().GetValue(2), "новое"_w);
    EXPECT_TRUE(list.List().Modified());

    // Escape brings back the stored value; Home and End stay in the text
    type("x");
    QTest::keyClick(edit(), Qt::Key_Escape);
    EXPECT_EQ(edit()->text(), Q("новое"_w));
    QTest::keyClick(edit(), Qt::Key_Home);
    EXPECT_EQ(edit()->cursorPosition(), 0);
    QTest::keyClick(edit(), Qt::Key_End);
    EXPECT_EQ(edit()->cursorPosition(), 5);
    EXPECT_EQ(list.List().Row(), 2);
}

TEST_F(ZPropListUi, RefusedTextKeepsTheUserOnTheRow)
{
    TScriptedDialogs dialogs;
    dialogs.Answer(IDOK);
    QTest::keyClick(edit(), Qt::Key_Down);
    edit()->selectAll();
    type("12,3,4");
    QTest::keyClick(edit(), Qt::Key_Down);
    ASSERT_EQ(dialogs.Messages.size(), 1u);
    EXPECT_EQ(dialogs.Messages[0].Text, "'12,3,4' is not a valid floating point value");
    EXPECT_EQ(list.List().Row(), 1);
    EXPECT_EQ(edit()->text(), "12,3,4");
}

TEST_F(ZPropListUi, TypingCompletesPickListValuesByExactCase)
{
    edit()->selectAll();
    QTest::keyClick(edit(), Qt::Key_Backspace);
    type(Q("Н"_w));
    EXPECT_EQ(edit()->text(), Q("Нет"_w));
    EXPECT_EQ(edit()->selectedText(), Q("ет"_w));
    // typing over the selection does not complete again for that key
    type(Q("x"));
    EXPECT_EQ(edit()->text(), Q("Нx"_w));
    QTest::keyClick(edit(), Qt::Key_Backspace);
    QTest::keyClick(edit(), Qt::Key_Backspace);
    type(Q("д"_w));
    EXPECT_EQ(edit()->text(), Q("д"_w));
    QTest::keyClick(edit(), Qt::Key_Backspace);
    type(Q("Д"_w));
    EXPECT_EQ(edit()->text(), Q("Да"_w));
}

TEST_F(ZPropListUi, DropDownTakesTheChosenEntry)
{
    list.List().MoveCurrent(3);
    EXPECT_TRUE(list.ListButton()->isVisible());
    QTest::keyClick(edit(), Qt::Key_Down, Qt::AltModifier);
    TZPopupList* popup = list.PopupList();
    ASSERT_TRUE(popup->isVisible());
    EXPECT_EQ(popup->count(), 3);
    QTest::sendKeyEvent(QTest::Click, popup, Qt::Key_unknown, Q("р"_w), {});
    EXPECT_EQ(popup->currentRow(), 0);
    QTest::sendKeyEvent(QTest::Click, popup, Qt::Key_unknown, Q("е"_w), {});
    EXPECT_EQ(popup->currentRow(), 2);
    QTest::keyClick(popup, Qt::Key_Return);
    EXPECT_FALSE(popup->isVisible());
    EXPECT_EQ(list.List().GetValue(3), "Рецепт"_w);

    // Escape, or a press outside, closes it and brings the stored value back
    type("x");
    QTest::mouseClick(list.ListButton(), Qt::LeftButton);
    ASSERT_TRUE(popup->isVisible());
    QTest::keyClick(popup, Qt::Key_Down);
    QTest::keyClick(popup, Qt::Key_Escape);
    EXPECT_FALSE(popup->isVisible());
    EXPECT_EQ(edit()->text(), Q("Рецепт"_w));
    type("x");
    QTest::keyClick(edit(), Qt::Key_Down, Qt::AltModifier);
    ASSERT_TRUE(popup->isVisible());
    QTest::mouseClick(popup->viewport(), Qt::LeftButton, {}, QPoint(-5, -5));
    EXPECT_FALSE(popup->isVisible());
    EXPECT_EQ(edit()->text(), Q("Рецепт"_w));
}

TEST_F(ZPropListUi, ClickSelectsARowAndTheSplitterMoves)
{
    const int h = list.RowHeight();
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, QPoint(20, 2 * h + h / 2));
    EXPECT_EQ(list.List().Row(), 2);
    const int middle = list.List().Middle;
    QTest::mousePress(list.viewport(), Qt::LeftButton, {}, QPoint(middle, 5));
    QTest::mouseMove(list.viewport(), QPoint(middle + 30, 5));
    QTest::mouseRelease(list.viewport(), Qt::LeftButton, {}, QPoint(middle + 30, 5));
    EXPECT_EQ(list.List().Middle, middle + 30);
    EXPECT_EQ(edit()->x(), middle + 32);
}

TEST_F(ZPropListUi, IntegralHeightSnapsToWholeRows)
{
    QWidget host;
    auto* snapped = new TQtZPropList(&host);
    snapped->List().IntegralHeight = true;
    for (int i = 0; i < 10; ++i)
        snapped->List().AddProperty(i, "p" + std::to_string(i), zdtText, 0, "", "");
    host.show();
    const int h = snapped->RowHeight();
    snapped->setGeometry(0, 0, 200, 3 * h + 5 + 2 * snapped->frameWidth());
    EXPECT_EQ(snapped->viewport()->height(), 3 * h);
    EXPECT_EQ(snapped->List().VisibleRows(), 3);
}
