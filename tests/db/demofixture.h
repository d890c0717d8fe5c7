// Test fixture: a demo database made by the test in its own temporary folder, connected through
// the embedded engine, with a read and a write transaction.
#pragma once

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "db/demodb.h"
#include "db/fibdatabase.h"
#include "db/fibquery.h"
#include "db/fibtransaction.h"

namespace lmtest {

inline constexpr int kDemoRows = 3000;

// The first column of the first row of `sql` read on `db` in a transaction of its own, as text:
// "<none>" when there is no row, "<null>" for a null.
inline std::string firstValue(lm::TFIBDatabase& db, const std::string& sql)
{
    lm::TFIBTransaction tr;
    tr.SetDefaultDatabase(&db);
    lm::TpFIBQuery q;
    q.SetTransaction(&tr);
    q.SetOptions(lm::TpFIBQuery::qoStartTransaction);
    q.SetSQL(sql);
    q.ExecQuery();
    return q.Eof() ? "<none>" : q.Fields(0).IsNull() ? "<null>" : q.Fields(0).AsString();
}

class DemoDbTest : public ::testing::Test {
public:
    static void SetUpTestSuite()
    {
        dir() = std::filesystem::temp_directory_path() / ("lmpack-db-" + std::to_string(getpid()));
        std::filesystem::remove_all(dir());
        std::filesystem::create_directories(dir());
        lm::CreateDemoDatabase(file(), kDemoRows);
    }
    static void TearDownTestSuite()
    {
        std::error_code ec;
        std::filesystem::remove_all(dir(), ec);
    }
    static std::filesystem::path& dir()
    {
        static std::filesystem::path d;
        return d;
    }
    static std::string file() { return (dir() / "demo.fdb").string(); }

protected:
    void SetUp() override
    {
        db.SetDatabaseName(file());
        db.Open();
        read.SetDefaultDatabase(&db);
        read.SetKind(lm::TFIBTransaction::tkReadOnly);
        write.SetDefaultDatabase(&db);
    }

    // The first column of every row of `sql`, as text.
    std::vector<std::string> column(const std::string& sql)
    {
        lm::TpFIBQuery q;
        q.SetTransaction(&read);
        q.SetOptions(lm::TpFIBQuery::qoStartTransaction);
        q.SetSQL(sql);
        q.ExecQuery();
        std::vector<std::string> out;
        for (; !q.Eof(); q.Next())
            out.push_back(q.Fields(0).AsString());
        return out;
    }

    lm::TFIBDatabase db;
    lm::TFIBTransaction read;
    lm::TFIBTransaction write;
};

} // namespace lmtest
