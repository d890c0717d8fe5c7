// The goods record form.
#include "goodscard.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "controls/ui/qtafpanel.h"
#include "controls/ui/qtanketprops.h"
#include "controls/ui/qtdbcheckboxlm.h"
#include "controls/ui/qtdbedit.h"
#include "host/datasource.h"
#include "host/field.h"
#include "util/cp1251.h"
#include "util/ui/qcp1251.h"

namespace lm {

TfrmGoodsCard::TfrmGoodsCard(TDataSource* source, bool inserting, QWidget* parent)
    : QDialog(parent)
    , m_source(source)
{
    setObjectName("frmGoodsCard");
    setWindowTitle(ToQString(inserting ? "Новый товар"_w : "Карточка товара"_w));
    m_root = new TQtAFPanel(this);
    m_root->setObjectName("CPanel");
    m_root->Panel().RootPanel = true;
    m_root->Panel().DisplayCaption = false;
    m_root->Panel().MenuOptions = moAutoCreate | moEndCustom;

    // A grid of 8-pixel steps: a row holds a caption and an editor; widths in average characters.
    const int ch = fontMetrics().averageCharWidth();
    const int rowH = fontMetrics().height() + 2 + QLineEdit().sizeHint().height() + 2;
    int x = 8;
    auto at = [&](int row, int chars, bool first = false) {
        if (first)
            x = 8;
        const QRect r(x, 8 + row * (rowH + 8), (chars * ch + 7) / 8 * 8, rowH);
        x = r.right() + 9;
        return r;
    };
    edit("pnlName", "NAME", at(0, 64, true));
    edit("pnlBarcode", "BARCODE", at(1, 18, true));
    edit("pnlPrice", "PRICE", at(1, 14));
    edit("pnlQuantity", "QUANTITY", at(1, 10));
    edit("pnlExpiry", "EXPIRY_DATE", at(1, 13));
    edit("pnlNote", "NOTE", at(2, 64, true));
    check("pnlActive", "ACTIVE", at(3, 16, true));
    check("pnlRecipe", "RECIPE", at(3, 20));
    QRect all;
    for (TQtAFPanel* p : m_root->findChildren<TQtAFPanel*>())
        all |= p->geometry();
    m_root->setMinimumSize(all.right() + 9, all.bottom() + 9);

    auto* buttons = new QDialogButtonBox(this);
    m_ok = buttons->addButton(QDialogButtonBox::Ok);
    m_ok->setObjectName("btnOk");
    QPushButton* cancel = buttons->addButton(ToQString("Отмена"_w), QDialogButtonBox::RejectRole);
    cancel->setObjectName("btnCancel");
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_root, 1);
    layout->addWidget(buttons);

    m_root->Loaded();
    m_root->ReadFromReg(kGoodsCardKey);
    m_props = new TQtAnketProps(this);
    m_props->ReadFromReg(kGoodsCardKey);
    m_props->FocusField(inserting);
}

TfrmGoodsCard::~TfrmGoodsCard() = default;

TQtAFPanel* TfrmGoodsCard::panel(const char* name, const QRect& bounds)
{
    auto* p = new TQtAFPanel(m_root);
    p->setObjectName(name);
    p->setGeometry(bounds);
    p->Panel().MenuOptions = moAutoCreate | moEndCustom;
    return p;
}

TQtAFPanel* TfrmGoodsCard::edit(const char* name, const char* field, const QRect& bounds)
{
    TQtAFPanel* p = panel(name, bounds);
    p->Panel().ChildAlign = chaBottom;
    auto* e = new TQtDBEdit(p);
    e->setObjectName(QStringLiteral("ed") + QString::fromLatin1(field));
    e->SetDataSource(m_source);
    e->SetDataField(field);
    return p;
}

TQtAFPanel* TfrmGoodsCard::check(const char* name, const char* field, const QRect& bounds)
{
    TQtAFPanel* p = panel(name, bounds);
    p->Panel().DisplayCaption = false;
    p->Panel().ChildAlign = chaCenter;
    auto* c = new TQtDBCheckBoxLM(p);
    c->setObjectName(QStringLiteral("cb") + QString::fromLatin1(field));
    c->Model().SetDataSource(m_source);
    c->Model().SetDataField(field);
    if (TField* f = c->BoundField())
        c->setText(ToQString(f->DisplayLabel()));
    return p;
}

} // namespace lm
