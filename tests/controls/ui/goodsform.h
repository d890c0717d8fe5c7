// A record form of the kind the host applications build: a root field panel "CPanel" with one
// panel per field of a goods record, OK and Cancel, and the form settings on it.
#pragma once

#include <memory>

#include <QDialog>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "controls/ui/qtafpanel.h"
#include "controls/ui/qtanketprops.h"
#include "controls/ui/qtdbcheckboxlm.h"
#include "controls/ui/qtdbedit.h"
#include "host/datasource.h"
#include "util/cp1251.h"
#include "util/ui/qcp1251.h"

namespace lm::test {

inline const std::string kGoodsFormKey = "\\Software\\LM\\Forms\\frmGood";

class GoodsForm : public QDialog {
public:
    explicit GoodsForm(TDataSource* source)
    {
        setObjectName("frmGood");
        setWindowTitle(ToQString("Товар"_w));
        cpanel = new TQtAFPanel(this);
        cpanel->setObjectName("CPanel");
        cpanel->Panel().RootPanel = true;
        cpanel->Panel().DisplayCaption = false;
        cpanel->Panel().MenuOptions = moAutoCreate | moEndCustom;

        const int ch = fontMetrics().averageCharWidth();
        const int rowH = fontMetrics().height() + 2 + QLineEdit().sizeHint().height() + 2;
        auto at = [&](int col, int row, int chars) {
            return QRect(8 + col * 8, 8 + row * (rowH + 8), (chars * ch + 7) / 8 * 8, rowH);
        };
        name = edit(source, "pnlName", "edName", "NAME", at(0, 0, 48));
        const QRect priceRect = at(0, 1, 14);
        price = edit(source, "pnlPrice", "edPrice", "PRICE", priceRect);
        barcode = edit(source, "pnlBarcode", "edBarcode", "BARCODE", at(1 + priceRect.width() / 8, 1, 18));
        note = edit(source, "pnlNote", "edNote", "NOTE", at(0, 2, 48));
        note->Panel().AButton = true;
        const QRect activeRect = at(0, 3, 16);
        active = check(source, "pnlActive", "cbActive", "ACTIVE", activeRect);
        recipe = check(source, "pnlRecipe", "cbRecipe", "RECIPE", at(1 + activeRect.width() / 8, 3, 18));
        QRect all;
        for (TQtAFPanel* p : cpanel->findChildren<TQtAFPanel*>())
            all |= p->geometry();
        cpanel->setMinimumSize(all.right() + 9, all.bottom() + 9);

        auto* buttons = new QDialogButtonBox(this);
        ok = buttons->addButton(QDialogButtonBox::Ok);
        ok->setObjectName("btnOk");
        cancel = buttons->addButton(ToQString("Отмена"_w), QDialogButtonBox::RejectRole);
        cancel->setObjectName("btnCancel");
        connect(ok, &QPushButton::clicked, this, &QDialog::accept);
        connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
        auto* layout = new QVBoxLayout(this);
        layout->addWidget(cpanel, 1);
        layout->addWidget(buttons);

        cpanel->Loaded();
        props = new TQtAnketProps(this);
    }

    TQtAFPanel* cpanel;
    TQtAFPanel *name, *price, *barcode, *note, *active, *recipe;
    QPushButton* ok;
    QPushButton* cancel;
    TQtAnketProps* props;

    template <typename T>
    T* control(TQtAFPanel* panel) const
    {
        return static_cast<T*>(panel->FieldControl());
    }

private:
    TQtAFPanel* edit(TDataSource* source, const char* panelName, const char* editName, const char* field, QRect r)
    {
        auto* p = panel(panelName, r);
        p->Panel().ChildAlign = chaBottom;
        auto* e = new TQtDBEdit(p);
        e->setObjectName(editName);
        e->SetDataSource(source);
        e->SetDataField(field);
        return p;
    }
    TQtAFPanel* check(TDataSource* source, const char* panelName, const char* boxName, const char* field, QRect r)
    {
        auto* p = panel(panelName, r);
        p->Panel().DisplayCaption = false;
        p->Panel().ChildAlign = chaCenter;
        auto* c = new TQtDBCheckBoxLM(p);
        c->setObjectName(boxName);
        c->Model().SetDataSource(source);
        c->Model().SetDataField(field);
        if (TField* f = c->BoundField())
            c->setText(ToQString(f->DisplayLabel()));
        return p;
    }
    TQtAFPanel* panel(const char* name, QRect r)
    {
        auto* p = new TQtAFPanel(cpanel);
        p->setObjectName(name);
        p->setGeometry(r);
        p->Panel().MenuOptions = moAutoCreate | moEndCustom;
        return p;
    }
};

} // namespace lm::test

#include "host/memdataset.h"

namespace lm::test {

// A goods record in memory, labelled as the host labels its fields.
struct MemGoods {
    TMemDataSet ds;
    TDataSource source;

    MemGoods()
    {
        ds.FieldDefs().Add("NAME", ftString, 150);
        ds.FieldDefs().Add("PRICE", ftFloat);
        ds.FieldDefs().Add("BARCODE", ftString, 13);
        ds.FieldDefs().Add("NOTE", ftString, 200);
        ds.FieldDefs().Add("ACTIVE", ftBoolean);
        ds.FieldDefs().Add("RECIPE", ftBoolean);
        ds.CreateDataSet();
        ds.AppendRecord({"Аспирин Кардио 100 мг №28"_w, 154.5, "4601234567893", "Хранить в сухом месте"_w, true, false});
        ds.First();
        Label(ds);
        source.SetDataSet(&ds);
    }

    static void Label(TDataSet& ds)
    {
        const std::pair<const char*, const char*> labels[] = {
            {"NAME", "Наименование"_w}, {"PRICE", "Цена"_w}, {"BARCODE", "Штрихкод"_w},
            {"NOTE", "Примечание"_w}, {"ACTIVE", "Активен"_w}, {"RECIPE", "Рецептурный"_w}};
        for (const auto& [field, label] : labels)
            if (TField* f = ds.FindField(field))
                f->SetDisplayLabel(label);
    }
};

} // namespace lm::test
