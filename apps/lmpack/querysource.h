// The Firebird dataset of a command's --db and --query: the database, a read-only
// transaction and the dataset over the query, kept together for the command's run.
#pragma once

#include <string>

#include "db/fibdatabase.h"
#include "db/fibdataset.h"
#include "db/fibtransaction.h"

namespace lmcli {

struct QuerySource {
    lm::TFIBDatabase db;
    lm::TFIBTransaction tr;
    lm::TpFIBDataSet ds;

    // Connects to `dbName` (embedded for a path) and sets `sql` (Windows-1251) as the query;
    // opens it, or only prepares it (fields without records) when `open` is false.
    QuerySource(const std::string& dbName, const std::string& sql, bool open)
    {
        db.SetDatabaseName(dbName);
        db.Open();
        tr.SetDefaultDatabase(&db);
        tr.SetKind(lm::TFIBTransaction::tkReadOnly);
        ds.SetDatabase(&db);
        ds.SetTransaction(&tr);
        ds.SetSelectSQL(sql);
        if (open)
            ds.Open();
        else
            ds.Prepare();
    }
};

} // namespace lmcli
