// A dataset in a grid window of its own.
#include "datawindow.h"

#include <QLabel>
#include <QVBoxLayout>

#include "host/dataset.h"
#include "host/ui/qtdbgrid.h"
#include "util/cp1251.h"
#include "util/ui/qcp1251.h"

namespace lm {

TfrmDataWindow::TfrmDataWindow(std::unique_ptr<TDataSet> data, const std::string& title, QWidget* parent)
    : QWidget(parent, Qt::Window)
    , m_data(std::move(data))
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(ToQString(title));
    m_source.SetDataSet(m_data.get());
    m_grid.SetDataSource(&m_source);
    m_view = new TQtDBGrid(&m_grid, this);
    m_view->setObjectName("grData");
    m_rows = new QLabel(this);
    m_rows->setObjectName("lbRows");
    m_layout = new QVBoxLayout(this);
    m_layout->addWidget(m_view, 1);
    m_layout->addWidget(m_rows);
    Refresh();
}

TfrmDataWindow::~TfrmDataWindow()
{
    // the view reads the grid and the dataset until it is gone
    delete m_view;
}

void TfrmDataWindow::AddAbove(QWidget* widget)
{
    widget->setParent(this);
    m_layout->insertWidget(m_layout->indexOf(m_view), widget);
}

void TfrmDataWindow::SumColumns(const std::vector<std::pair<std::string, std::string>>& fieldFormats)
{
    m_grid.SetFooterRowCount(1);
    if (m_grid.Columns().Count() > 0) {
        TColumnFooterEh& first = m_grid.Columns().Items(0)->Footer();
        first.SetValueType(fvtStaticText);
        first.SetValue("Итого"_w);
    }
    for (const auto& [field, format] : fieldFormats)
        if (TColumnEh* column = m_grid.FieldColumns(field)) {
            column->Footer().SetValueType(fvtSum);
            column->Footer().SetAlignment(taRightJustify);
            column->Footer().SetDisplayFormat(format);
        }
    Refresh();
}

void TfrmDataWindow::Refresh()
{
    m_view->Refresh();
    m_rows->setText(ToQString("Строк: "_w) + QString::number(m_data->RecordCount()));
}

} // namespace lm
