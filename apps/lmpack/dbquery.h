// The database options the data commands share (--db, --query, --label) and the read-only
// session that opens a query's dataset for them.
#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "db/fibdatabase.h"
#include "db/fibdataset.h"
#include "db/fibtransaction.h"

namespace lmcli {

struct DbQueryArgs {
    std::string db;
    std::string query;                                         // Windows-1251
    std::vector<std::pair<std::string, std::string>> labels;  // field -> label, Windows-1251

    // Takes args[i] (with its value, advancing i) when it is --db, --query or --label. Returns
    // false for another argument; sets `bad` for a malformed one.
    bool take(const std::vector<std::string>& args, std::size_t& i, bool& bad);
};

// A connection to `db` with a read-only transaction and a dataset over `query`.
class DbSession {
public:
    // Connects and prepares the query, labels applied; `open` also fetches the rows. The dataset
    // belongs to `owner` when one is given (a report names a dataset by its form), otherwise to
    // the session.
    DbSession(const DbQueryArgs& args, bool open, lm::TComponent* owner = nullptr);
    lm::TpFIBDataSet& DataSet() { return *m_ds; }
    lm::TFIBDatabase& Database() { return m_db; }
    lm::TFIBTransaction& Transaction() { return m_tr; }

private:
    lm::TFIBDatabase m_db;
    lm::TFIBTransaction m_tr;
    std::unique_ptr<lm::TpFIBDataSet> m_own;  // the dataset when no owner was given
    lm::TpFIBDataSet* m_ds;
};

// `text` (Windows-1251) for the terminal: UTF-8.
std::string toTerminal(const std::string& text);
// The display texts of `fields` in the current record, joined by tabs.
std::string displayRow(const std::vector<lm::TField*>& fields);

} // namespace lmcli
