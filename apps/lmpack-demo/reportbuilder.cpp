// The ad-hoc goods report: field choice and the result grid.
#include "reportbuilder.h"

#include <algorithm>

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/hooks.h"
#include "democonnection.h"
#include "datawindow.h"
#include "db/fibdataset.h"
#include "util/cp1251.h"
#include "util/dfmobject.h"
#include "util/ui/qcp1251.h"

namespace lm {

namespace {

// As a host's form file describes its builder (UTF-8 here, Windows-1251 in a form file).
constexpr const char* kBuilderDfm = R"(object frmGoods: TfrmGoods
  object SQLBuilder: TSQLBuilder
    Directory = 'Goods'
    Tables = <
      item
        TableName = 'G'
        SQLName = 'GOODS'
      end
      item
        TableName = 'V'
        SQLName = 'VENDOR'
        ParentTable = 'G'
        JoinKind = jkOuter
        JoinSQL = 'V.ID = G.VENDOR_ID'
      end
      item
        TableName = 'C'
        SQLName = 'COUNTRY'
        ParentTable = 'G'
        JoinKind = jkOuter
        JoinSQL = 'C.ID = G.COUNTRY_ID'
      end>
    Fields = <
      item
        Category = 'Товар'
        DisplayLabel = 'Наименование'
        FieldName = 'NAME'
        SQLName = 'G.NAME'
        Table = 'G'
      end
      item
        Category = 'Производитель'
        DisplayLabel = 'Фирма'
        FieldName = 'VENDOR_NAME'
        SQLName = 'V.NAME'
        Table = 'V'
      end
      item
        Category = 'Производитель'
        DisplayLabel = 'Страна'
        FieldName = 'COUNTRY_NAME'
        SQLName = 'C.NAME'
        Table = 'C'
      end
      item
        Category = 'Товар'
        DisplayLabel = 'Месяц регистрации'
        FieldName = 'REG_MONTH'
        SQLName = 'G.REG_DATE'
        Kind = fikDateTime
        DateDetail = dtMonth
        Table = 'G'
      end
      item
        Category = 'Склад'
        DisplayLabel = 'Остаток'
        DisplayFormat = ',0'
        FieldName = 'QTY_SUM'
        SQLName = 'G.QUANTITY'
        Kind = fikSumm
        Table = 'G'
      end
      item
        Category = 'Склад'
        DisplayLabel = 'Сумма, руб.'
        DisplayFormat = ',0.00'
        FieldName = 'STOCK_SUM'
        SQLName = 'G.PRICE * G.QUANTITY'
        Kind = fikSumm
        RoundSumTo = 2
        Table = 'G'
      end>
  end
end
)";

} // namespace

std::unique_ptr<TSQLBuilder> CreateGoodsReportBuilder()
{
    auto builder = std::make_unique<TSQLBuilder>();
    builder->SetName("SQLBuilder");
    const TDfmObject form = ReadDfmText(utf8ToCp1251(kBuilderDfm));
    builder->LoadFromDfm(*form.FindClass("TSQLBuilder"));
    return builder;
}

TfrmReportBuilder::TfrmReportBuilder(TSQLBuilder& builder, QWidget* parent)
    : QDialog(parent)
    , m_builder(builder)
{
    setObjectName("frmReportBuilder");
    setWindowTitle(ToQString("Конструктор отчёта"_w));
    m_fields = new QListWidget(this);
    m_fields->setObjectName("lbFields");
    for (int i = 0; i < builder.Fields().Count(); ++i) {
        const auto* f = builder.Fields().Items(i);
        auto* item = new QListWidgetItem(ToQString(f->DisplayName()), m_fields);
        item->setData(Qt::UserRole, ToQString(f->FieldName()));
        item->setCheckState(f->IsActive() ? Qt::Checked : Qt::Unchecked);
    }
    auto* label = new QLabel(ToQString("&Колонки отчёта (суммы считаются по остальным колонкам):"_w), this);
    label->setBuddy(m_fields);
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(ToQString("&Построить"_w), QDialogButtonBox::AcceptRole);
    ok->setObjectName("btnOk");
    QPushButton* cancel = buttons->addButton(ToQString("Отмена"_w), QDialogButtonBox::RejectRole);
    cancel->setObjectName("btnCancel");
    connect(ok, &QPushButton::clicked, this, &TfrmReportBuilder::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(m_fields, 1);
    layout->addWidget(buttons);
    m_fields->setMinimumSize(fontMetrics().averageCharWidth() * 48,
                             m_fields->sizeHintForRow(0) * (builder.Fields().Count() + 1));
}

void TfrmReportBuilder::CheckFields(const std::vector<std::string>& names)
{
    for (int i = 0; i < m_fields->count(); ++i) {
        QListWidgetItem* item = m_fields->item(i);
        const std::string name = *FromQString(item->data(Qt::UserRole).toString());
        const bool on = std::find(names.begin(), names.end(), name) != names.end();
        item->setCheckState(on ? Qt::Checked : Qt::Unchecked);
    }
}

void TfrmReportBuilder::accept()
{
    m_builder.ClearActive();
    for (int i = 0; i < m_fields->count(); ++i)
        if (m_fields->item(i)->checkState() == Qt::Checked)
            m_builder.AddToActive(*m_builder.Fields().Items(i));
    if (m_builder.ActiveFields().Count() == 0) {
        ShowMessageBox("Отметьте хотя бы одну колонку отчёта"_w, "Конструктор отчёта"_w, MB_OK | MB_ICONWARNING);
        return;
    }
    QDialog::accept();
}

TfrmDataWindow* ShowReportResult(TDemoConnection& connection, TSQLBuilder& builder, const std::string& sql,
                                 QWidget* parent)
{
    auto data = std::make_unique<TpFIBDataSet>();
    data->SetDatabase(&connection.Database());
    data->SetTransaction(&connection.Read());
    data->SetSelectSQL(sql);
    data->Prepare();
    builder.CreateDataSetFields(data.get());
    data->Open();
    auto* window = new TfrmDataWindow(std::move(data), "Отчёт по товарам"_w, parent);
    window->setObjectName("frmReportResult");
    std::vector<std::pair<std::string, std::string>> sums;
    for (int i = 0; i < builder.ActiveFields().Count(); ++i) {
        const auto* item = builder.ActiveFields().Items(i);
        if (item->Kind == sqlbuilder::fikSumm)
            sums.emplace_back(item->FieldName(), item->DisplayFormat);
    }
    window->SumColumns(sums);
    auto* query = new QPlainTextEdit(ToQString(sql));
    query->setObjectName("mmSQL");
    query->setReadOnly(true);
    query->setMaximumHeight(query->fontMetrics().lineSpacing() * 6);
    window->AddAbove(query);
    return window;
}

} // namespace lm
