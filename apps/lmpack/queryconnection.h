// The database, read-only transaction and dataset of a command that reads one query.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "db/fibdatabase.h"
#include "db/fibdataset.h"
#include "db/fibtransaction.h"
#include "host/field.h"

namespace lmcli {

struct QueryConnection {
    // Connects to `dbName` and gives the dataset its SQL; the caller opens or prepares it.
    // Raises lm::Exception when the database does not open.
    QueryConnection(const std::string& dbName, const std::string& query)
    {
        db.SetDatabaseName(dbName);
        db.Open();
        tr.SetDefaultDatabase(&db);
        tr.SetKind(lm::TFIBTransaction::tkReadOnly);
        ds.SetDatabase(&db);
        ds.SetTransaction(&tr);
        ds.SetSelectSQL(query);
    }
    // Gives the named fields their display labels (FieldByName raises for an unknown name).
    void SetLabels(const std::vector<std::pair<std::string, std::string>>& labels)
    {
        for (const auto& [name, label] : labels)
            ds.FieldByName(name)->SetDisplayLabel(label);
    }

    lm::TFIBDatabase db;
    lm::TFIBTransaction tr;
    lm::TpFIBDataSet ds;
};

} // namespace lmcli
