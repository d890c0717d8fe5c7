// The ad-hoc report of the goods screen: TfrmReportBuilder lets the user pick the report's
// columns from the SQL builder's fields; the built query's rows open in a grid window of
// their own, with totals.
#pragma once

#include <memory>
#include <string>

#include <QDialog>

#include "filter/sqlbuilder.h"

class QListWidget;

namespace lm {

class TDemoConnection;

// The goods report builder of the demo: goods, their vendors and countries; names, months of
// registration and stock sums.
std::unique_ptr<TSQLBuilder> CreateGoodsReportBuilder();

class TfrmReportBuilder : public QDialog {
    Q_OBJECT

public:
    explicit TfrmReportBuilder(TSQLBuilder& builder, QWidget* parent = nullptr);
    QListWidget* FieldList() const { return m_fields; }
    // Checks the fields of those names (the builder's FieldName), unchecks the others.
    void CheckFields(const std::vector<std::string>& names);
    void accept() override;

private:
    TSQLBuilder& m_builder;
    QListWidget* m_fields;
};

class TfrmDataWindow;

// Runs `sql` (built by `builder`) on `connection` and shows its rows, labelled and summed as
// the builder's fields say, in a new window. Raises what the server raises.
TfrmDataWindow* ShowReportResult(TDemoConnection& connection, TSQLBuilder& builder, const std::string& sql,
                                 QWidget* parent);

} // namespace lm
