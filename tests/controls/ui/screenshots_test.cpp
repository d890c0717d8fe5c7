// Screenshots of each control and of a record form over a demo goods record, for a person to
// look at; the tests only check that nothing is clipped.
#include "uifixture.h"

#include <QListWidget>
#include <QMenu>
#include <QToolButton>

#include "../../db/demofixture.h"
#include "controls/ui/frmanketpropdlg.h"
#include "controls/ui/qtcheckcombo.h"
#include "controls/ui/qtselectwindow.h"
#include "controls/ui/qtzproplist.h"
#include "db/fibdataset.h"
#include "forms/ui/frmtaborderdlg.h"
#include "goodsform.h"

using namespace lm;
using namespace lm::test;

namespace {

void showActive(QWidget* w)
{
    w->show();
    w->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(w));
}

} // namespace

using Screenshots = UiTest;

TEST_F(Screenshots, PropertyList)
{
    TQtZPropList list;
    TZPropList& l = list.List();
    l.Middle = 22 * list.fontMetrics().averageCharWidth();
    l.PropColorM = clMaroon;
    l.NameColorM = clBlue;
    l.AddProperty(1, "Наличие"_w, zdtYesNo, 0, 1, 1);
    l.AddProperty(2, "Сумма документа"_w, zdtMoney, 0, Variant(Currency::FromDouble(1234.5)), Variant::Null());
    l.AddProperty(3, "Дата"_w, zdtDate, 0, Variant::FromDate(EncodeDate(2026, 12, 6)), Variant::FromDate(EncodeDate(2026, 12, 6)));
    l.AddProperty(4, "Вид продажи"_w, zdtText, 0, "Розница"_w, "Розница"_w, {"Розница"_w, "Опт"_w, "Рецепт"_w});
    l.AddProperty(5, "Примечание"_w, zdtText, 0, "строка 1\r\nстрока 2"_w, ""_w);
    showActive(&list);
    Snap(&list, "zproplist", "default");
    list.InplaceEdit()->setFocus();
    l.MoveCurrent(3);
    ExpectNothingClipped(&list);
    Snap(&list, "zproplist", "focused");
    list.OpenPopup();
    Snap(list.PopupList(), "zproplist", "dropdown");
    list.PopupList()->hide();
    list.setEnabled(false);
    Snap(&list, "zproplist", "disabled");
}

TEST_F(Screenshots, FieldPanelsInCustomisation)
{
    MemGoods goods;
    GoodsForm f(&goods.source);
    f.cpanel->ReadFromReg(kGoodsFormKey);
    f.price->Panel().SetState(afDisable);
    f.recipe->Panel().SetState(afEnable);
    f.cpanel->Panel().UpdateState(true);
    showActive(&f);
    ExpectNothingClipped(&f);
    Snap(&f, "afpanel", "default");
    f.cpanel->Panel().StartCustom();
    f.note->Panel().SetState(afInvisible);
    QTest::mouseClick(f.barcode, Qt::LeftButton, {}, {5, 5});
    Snap(&f, "afpanel", "customizing");
    QMenu menu;
    f.barcode->FillContextMenu(menu);
    menu.popup(f.mapToGlobal(QPoint(20, 20)));
    QTest::qWaitForWindowExposed(&menu);
    Snap(&menu, "afpanel", "statemenu");
    menu.hide();
    f.cpanel->Panel().EndCustom(false);
}

TEST_F(Screenshots, TabOrderDialog)
{
    MemGoods goods;
    GoodsForm f(&goods.source);
    showActive(&f);
    TfrmTabOrderDlg dlg(&f);
    for (QWidget* w : RootTabList(f.cpanel))
        dlg.List().Add(FromQString(ControlLabel(w)).value_or(""), w);
    dlg.List().SetSelected(1);
    dlg.lbCtrls()->Reload();
    showActive(&dlg);
    ExpectNothingClipped(&dlg);
    Snap(&dlg, "taborderdlg", "default");
}

TEST_F(Screenshots, FormSettingsDialog)
{
    MemGoods goods;
    GoodsForm f(&goods.source);
    f.props->Props().Options.KeyEnterAction = eaTab;
    f.props->Props().Options.ControlInsert = &f.name->Panel();
    TfrmAnketPropDlg dlg(f.props->Props(), &f);
    showActive(&dlg);
    ExpectNothingClipped(&dlg);
    Snap(&dlg, "anketpropdlg", "default");
}

TEST_F(Screenshots, CheckControls)
{
    MemGoods goods;
    goods.ds.AppendRecord({"x", 1.0, "", "", Variant::Null(), true});
    goods.ds.First();
    QWidget w;
    auto* layout = new QVBoxLayout(&w);
    const char* fields[] = {"ACTIVE", "RECIPE"};
    for (const char* field : fields) {
        auto* c = new TQtDBCheckBoxLM(&w);
        c->Model().SetDataSource(&goods.source);
        c->Model().SetDataField(field);
        c->setText(ToQString(c->BoundField()->DisplayLabel()));
        layout->addWidget(c);
    }
    TMemDataSet nulls;
    nulls.FieldDefs().Add("ACTIVE", ftBoolean);
    nulls.CreateDataSet();
    nulls.AppendRecord({Variant::Null()});
    TDataSource nullSource;
    nullSource.SetDataSet(&nulls);
    auto* grayed = new TQtDBCheckBoxLM(&w);
    grayed->Model().SetDataSource(&nullSource);
    grayed->Model().SetDataField("ACTIVE");
    grayed->setText(Q("Не задано"_w));
    layout->addWidget(grayed);

    auto* combo = new TQtCheckedComboBox(&w);
    combo->setObjectName("ccbStores");
    combo->setMinimumWidth(30 * combo->fontMetrics().averageCharWidth());
    combo->Combo().SetItems({"Аптека №1"_w, "Аптека №2"_w, "Склад"_w, "Офис"_w});
    combo->Combo().SetChecked(0, true);
    combo->Combo().SetChecked(2, true);
    layout->addWidget(combo);
    showActive(&w);
    ExpectNothingClipped(&w);
    Snap(&w, "checkcontrols", "default");
    combo->setFocus();
    Snap(&w, "checkcontrols", "focused");
    combo->ShowCheckList();
    Snap(combo->DropDown(), "checkcombo", "dropdown");
    combo->DropDown()->hide();
    w.setEnabled(false);
    Snap(&w, "checkcontrols", "disabled");
}

using ScreenshotsDb = lmtest::DemoDbTest;

TEST_F(ScreenshotsDb, RecordFormOverADemoGoodsRecord)
{
    EnsureApplication();
    auto previous = SetDefaultRegistryStore(std::make_unique<TMemoryRegistryStore>());
    TpFIBDataSet goods;
    goods.SetTransaction(&read);
    goods.SetSelectSQL("select * from goods where id = 7");
    goods.Open();
    MemGoods::Label(goods);
    TDataSource source;
    source.SetDataSet(&goods);
    {
        GoodsForm f(&source);
        f.cpanel->ReadFromReg(kGoodsFormKey);
        showActive(&f);
        ExpectNothingClipped(&f);
        Snap(&f, "recordform", "default");
        f.control<QWidget>(f.name)->setFocus();
        Snap(&f, "recordform", "focused");
    }
    SetDefaultRegistryStore(std::move(previous));
}
