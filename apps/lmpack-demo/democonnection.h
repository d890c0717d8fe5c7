// TDemoConnection: the demo application's database - where it lives, its creation on first
// start, and the connection with its read and write transactions that glVars hands around.
#pragma once

#include <string>

#include "db/fibdatabase.h"
#include "db/fibtransaction.h"

namespace lm {

class TDemoConnection {
public:
    TDemoConnection();
    ~TDemoConnection();

    // The database of a user who gave no --db: "lmpack-demo/demo.fdb" under the user's data
    // folder ($XDG_DATA_HOME, else ~/.local/share).
    static std::string DefaultDatabaseName();
    // The application's folder under the user's data folder (created when missing), ending in "/".
    static std::string DataDir();
    // Whether `name` names a database on a Firebird server ("host:path", "host/port:path")
    // rather than a file of the embedded engine.
    static bool IsServerName(const std::string& name);

    // Opens `name`. A local file that does not exist yet is created first with `goodsCount`
    // goods, under a progress box (its folder made as needed). Raises lm::Exception with the
    // engine's message when the database cannot be created or opened.
    void Open(const std::string& name, int goodsCount);
    bool Created() const { return m_created; }
    const std::string& Name() const { return m_name; }

    TFIBDatabase& Database() { return m_db; }
    TFIBTransaction& Read() { return m_read; }
    TFIBTransaction& Write() { return m_write; }

private:
    TFIBDatabase m_db;
    TFIBTransaction m_read;
    TFIBTransaction m_write;
    std::string m_name;
    bool m_created = false;
};

} // namespace lm
