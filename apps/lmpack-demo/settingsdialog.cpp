// The settings dialog over the property list.
#include "settingsdialog.h"

#include <algorithm>
#include <string>

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "controls/ui/qtzproplist.h"
#include "util/cp1251.h"
#include "util/currency.h"
#include "util/ui/qcp1251.h"

namespace lm {

namespace {

enum : int { idOpenOffice = 1, idKazakh, idFooters, idFontSize, idExpensive };

const std::vector<std::string> kFontSizes = {"7", "8", "9", "10", "11", "12", "14"};

Variant yesNo(bool value)
{
    return Variant(value ? 1 : 0);
}

} // namespace

TfrmSettings::TfrmSettings(const TDemoSettings& settings, QWidget* parent)
    : TfrmPackRoot(parent)
    , m_initial(settings)
{
    setObjectName("frmSettings");
    setWindowTitle(ToQString("Настройки"_w));
    m_list = new TQtZPropList(this);
    m_list->setObjectName("plSettings");
    TZPropList& list = m_list->List();
    const TDemoSettings defaults;
    list.BeginUpdate();
    list.AddProperty(idOpenOffice, "Экспорт в формате OpenOffice (ods)"_w, zdtYesNo, 1, yesNo(settings.UseOpenOffice),
                     yesNo(defaults.UseOpenOffice));
    list.AddProperty(idKazakh, "Казахская раскладка клавиатуры"_w, zdtYesNo, 2, yesNo(settings.KazakhKeyboard),
                     yesNo(defaults.KazakhKeyboard));
    list.AddProperty(idFooters, "Показывать итоги в таблице"_w, zdtYesNo, 3, yesNo(settings.ShowFooters),
                     yesNo(defaults.ShowFooters));
    list.AddProperty(idFontSize, "Размер шрифта таблицы"_w, zdtText, 4, Variant(std::to_string(settings.GridFontSize)),
                     Variant(std::to_string(defaults.GridFontSize)), kFontSizes);
    list.AddProperty(idExpensive, "Цена дорогого товара, руб."_w, zdtMoney, 5,
                     Variant(Currency::FromDouble(settings.ExpensivePrice)),
                     Variant(Currency::FromDouble(defaults.ExpensivePrice)));
    list.EndUpdate();
    // the names column as wide as the longest name
    int names = 0;
    for (int i = 0; i < list.RowCount(); ++i)
        names = std::max(names, fontMetrics().horizontalAdvance(ToQString(list.GetName(i))));
    list.Middle = names + 5 * fontMetrics().averageCharWidth();

    auto* note = new QLabel(ToQString("Изменённые значения выделены. Enter или двойной щелчок выбирают значение из списка."_w), this);
    note->setWordWrap(true);
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(QDialogButtonBox::Ok);
    ok->setObjectName("btnOk");
    QPushButton* cancel = buttons->addButton(ToQString("Отмена"_w), QDialogButtonBox::RejectRole);
    cancel->setObjectName("btnCancel");
    connect(ok, &QPushButton::clicked, this, &TfrmSettings::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_list, 1);
    layout->addWidget(note);
    layout->addWidget(buttons);
    m_list->setMinimumWidth(list.Middle + fontMetrics().averageCharWidth() * 24);
}

TDemoSettings TfrmSettings::Values() const
{
    TDemoSettings s = m_initial;
    const TZEditorList& editors = m_list->List().Editors();
    auto text = [&](int id) { return editors.Items(editors.FindPropID(id))->GetValue(); };
    s.UseOpenOffice = text(idOpenOffice) == "Да"_w;
    s.KazakhKeyboard = text(idKazakh) == "Да"_w;
    s.ShowFooters = text(idFooters) == "Да"_w;
    s.GridFontSize = std::stoi("0" + text(idFontSize));
    if (s.GridFontSize < 7 || s.GridFontSize > 14)
        s.GridFontSize = m_initial.GridFontSize;
    const Variant price = editors.Items(editors.FindPropID(idExpensive))->Value;
    if (!price.IsNull())
        s.ExpensivePrice = static_cast<int>(price.AsCurrency().ToDouble());
    return s;
}

void TfrmSettings::accept()
{
    if (m_list->Guarded([this] { m_list->List().Validate(); }))
        TfrmPackRoot::accept();
}

bool TfrmSettings::Execute(TDemoSettings& settings, QWidget* parent)
{
    TfrmSettings dialog(settings, parent);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    settings = dialog.Values();
    return true;
}

} // namespace lm
