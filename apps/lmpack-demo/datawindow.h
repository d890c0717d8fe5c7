// TfrmDataWindow: a window of its own showing a dataset in a grid with totals - the ad-hoc
// report's rows, the rows read from a spreadsheet.
#pragma once

#include <memory>

#include <QWidget>

#include "host/datasource.h"
#include "host/gridmodel.h"

class QLabel;
class QVBoxLayout;

namespace lm {

class TDataSet;
class TQtDBGrid;

class TfrmDataWindow : public QWidget {
    Q_OBJECT

public:
    // Shows `data` (open; owned by the window) under `title` (Windows-1251); freed on closing.
    TfrmDataWindow(std::unique_ptr<TDataSet> data, const std::string& title, QWidget* parent = nullptr);
    ~TfrmDataWindow() override;

    TDataSet& DataSet() { return *m_data; }
    TDBGridEh& Grid() { return m_grid; }
    TQtDBGrid* GridView() const { return m_view; }
    // Puts `widget` above the grid.
    void AddAbove(QWidget* widget);
    // Sums the columns of those fields in the totals row, with "Итого" under the first column.
    void SumColumns(const std::vector<std::pair<std::string, std::string>>& fieldFormats);
    // Re-reads the columns and the row count after the columns or the data changed.
    void Refresh();

private:
    std::unique_ptr<TDataSet> m_data;
    TDataSource m_source;
    TDBGridEh m_grid;
    TQtDBGrid* m_view;
    QLabel* m_rows;
    QVBoxLayout* m_layout;
};

} // namespace lm
