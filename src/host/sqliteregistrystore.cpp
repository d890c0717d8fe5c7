// The SQLite registry store.
//
// File layout: table reg_keys (fold, parent, name) with one row per key, the root being the row
// with an empty fold; table reg_values (key, fold, name, type, data) with one row per value.
// "fold" columns hold the upper-cased canonical path or name and carry the lookups; "name"
// keeps the spelling. All text is stored as BLOBs of Windows-1251 bytes, so every byte round-
// trips. The file runs in WAL mode with a busy timeout, and every change is one transaction, so
// concurrent writers wait for each other and a killed writer leaves the previous state.
#include "host/sqliteregistrystore.h"

#include <sqlite3.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "util/exceptions.h"

namespace lm {

class TSqliteRegistryStore::Stmt {
public:
    Stmt(TSqliteRegistryStore& store, const char* sql) : m_store(store)
    {
        if (sqlite3_prepare_v2(store.m_db, sql, -1, &m_stmt, nullptr) != SQLITE_OK)
            store.fail("prepare");
    }
    ~Stmt() { sqlite3_finalize(m_stmt); }
    Stmt& bind(int i, const std::string& s)
    {
        sqlite3_bind_blob(m_stmt, i, s.data(), static_cast<int>(s.size()), SQLITE_TRANSIENT);
        return *this;
    }
    Stmt& bind(int i, int64_t v)
    {
        sqlite3_bind_int64(m_stmt, i, v);
        return *this;
    }
    // Steps once; true when a row is available.
    bool step()
    {
        const int rc = sqlite3_step(m_stmt);
        if (rc == SQLITE_ROW)
            return true;
        if (rc != SQLITE_DONE)
            m_store.fail("step");
        return false;
    }
    std::string text(int col)
    {
        const void* p = sqlite3_column_blob(m_stmt, col);
        const int n = sqlite3_column_bytes(m_stmt, col);
        return p ? std::string(static_cast<const char*>(p), n) : std::string();
    }
    // Steps through every row; the first column of each as text.
    std::vector<std::string> texts()
    {
        std::vector<std::string> out;
        while (step())
            out.push_back(text(0));
        return out;
    }
    int64_t integer(int col) { return sqlite3_column_int64(m_stmt, col); }
    int type(int col) { return sqlite3_column_type(m_stmt, col); }

private:
    TSqliteRegistryStore& m_store;
    sqlite3_stmt* m_stmt = nullptr;
};

namespace {

// Transaction guard: BEGIN IMMEDIATE takes the write lock up front (waiting through the busy
// timeout), so a read-then-write sequence never fails half-way for a lock. Inside a Batch the
// guard does nothing: the batch's transaction covers the change.
class WriteTxn {
public:
    explicit WriteTxn(sqlite3* db) : m_db(db), m_nested(sqlite3_get_autocommit(db) == 0)
    {
        if (!m_nested && sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) != SQLITE_OK)
            throw EInOutError(std::string("Registry store: ") + sqlite3_errmsg(db));
    }
    void commit()
    {
        if (!m_nested && sqlite3_exec(m_db, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK)
            throw EInOutError(std::string("Registry store: ") + sqlite3_errmsg(m_db));
        m_done = true;
    }
    ~WriteTxn()
    {
        if (!m_done && !m_nested)
            sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
    }

private:
    sqlite3* m_db;
    bool m_nested;
    bool m_done = false;
};

} // namespace

std::string DefaultRegistryFileName()
{
    if (const char* p = std::getenv("LMPACK_REGISTRY"); p && *p)
        return p;
    if (const char* x = std::getenv("XDG_CONFIG_HOME"); x && *x)
        return std::string(x) + "/lmpack/registry.db";
    const char* home = std::getenv("HOME");
    return std::string(home && *home ? home : ".") + "/.config/lmpack/registry.db";
}

TSqliteRegistryStore::TSqliteRegistryStore(const std::string& fileName) : m_fileName(fileName)
{
    std::error_code ec;
    const auto folder = std::filesystem::path(fileName).parent_path();
    if (!folder.empty())
        std::filesystem::create_directories(folder, ec);
    if (sqlite3_open_v2(fileName.c_str(), &m_db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX,
                        nullptr) != SQLITE_OK) {
        const std::string msg = m_db ? sqlite3_errmsg(m_db) : "out of memory";
        sqlite3_close(m_db);
        m_db = nullptr;
        throw EInOutError("Cannot open the registry store " + fileName + ": " + msg);
    }
    sqlite3_busy_timeout(m_db, 30000);
    // A file the user may not write opens for reading only: its settings are read as they are,
    // and every change is refused (checkWritable) instead of failing inside the library.
    m_readOnly = sqlite3_db_readonly(m_db, "main") == 1;
    if (m_readOnly) {
        reopenImmutableIfUnreadable();
        return;
    }
    try {
        exec("PRAGMA journal_mode=WAL");
        exec("PRAGMA synchronous=NORMAL");
        WriteTxn txn(m_db);
        exec("CREATE TABLE IF NOT EXISTS reg_keys (fold BLOB PRIMARY KEY, parent BLOB NOT NULL, "
             "name BLOB NOT NULL) WITHOUT ROWID");
        exec("CREATE INDEX IF NOT EXISTS reg_keys_parent ON reg_keys (parent)");
        exec("CREATE TABLE IF NOT EXISTS reg_values (key BLOB NOT NULL, fold BLOB NOT NULL, "
             "name BLOB NOT NULL, type INTEGER NOT NULL, data, PRIMARY KEY (key, fold)) WITHOUT ROWID");
        exec("INSERT OR IGNORE INTO reg_keys (fold, parent, name) VALUES (x'', x'', x'')");
        txn.commit();
    } catch (...) {
        sqlite3_close(m_db);
        m_db = nullptr;
        throw;
    }
}

TSqliteRegistryStore::~TSqliteRegistryStore() { sqlite3_close(m_db); }

void TSqliteRegistryStore::reopenImmutableIfUnreadable()
{
    // A journal file cannot be made beside a file in a folder the user may not write, which a
    // store in WAL mode needs even for reading; such a file is then read as it stands.
    if (sqlite3_exec(m_db, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr) == SQLITE_OK)
        return;
    std::string uri = "file:";
    for (const char c : m_fileName) {
        if (c == '%' || c == '?' || c == '#') {
            char hex[4];
            std::snprintf(hex, sizeof hex, "%%%02X", static_cast<unsigned char>(c));
            uri += hex;
        } else {
            uri += c;
        }
    }
    uri += "?immutable=1";
    sqlite3_close(m_db);
    m_db = nullptr;
    if (sqlite3_open_v2(uri.c_str(), &m_db, SQLITE_OPEN_READONLY | SQLITE_OPEN_URI | SQLITE_OPEN_FULLMUTEX, nullptr)
        != SQLITE_OK) {
        const std::string msg = m_db ? sqlite3_errmsg(m_db) : "out of memory";
        sqlite3_close(m_db);
        m_db = nullptr;
        throw EInOutError("Cannot open the registry store " + m_fileName + ": " + msg);
    }
}

void TSqliteRegistryStore::checkWritable() const
{
    if (m_readOnly)
        throw EInOutError("Registry store " + m_fileName + " is read-only", SQLITE_READONLY);
}

void TSqliteRegistryStore::Batch(const std::function<void()>& changes)
{
    checkWritable();
    WriteTxn txn(m_db);
    changes();
    txn.commit();
}

void TSqliteRegistryStore::exec(const char* sql)
{
    if (sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
        fail(sql);
}

void TSqliteRegistryStore::fail(const char* what)
{
    throw EInOutError("Registry store " + m_fileName + ": " + sqlite3_errmsg(m_db) + " (" + what + ")",
                      sqlite3_extended_errcode(m_db));
}

bool TSqliteRegistryStore::KeyExists(const std::string& path)
{
    return Stmt(*this, "SELECT 1 FROM reg_keys WHERE fold = ?").bind(1, foldRegName(canonicalRegPath(path))).step();
}

void TSqliteRegistryStore::CreateKey(const std::string& path)
{
    checkWritable();
    WriteTxn txn(m_db);
    for (const std::string& prefix : regPathChain(canonicalRegPath(path)))
        Stmt(*this, "INSERT OR IGNORE INTO reg_keys (fold, parent, name) VALUES (?, ?, ?)")
            .bind(1, foldRegName(prefix)).bind(2, foldRegName(regParentPath(prefix))).bind(3, regKeyName(prefix))
            .step();
    txn.commit();
}

bool TSqliteRegistryStore::DeleteKey(const std::string& path)
{
    checkWritable();
    const std::string fold = foldRegName(canonicalRegPath(path));
    if (fold.empty())
        return false;
    // the sub-tree is the key itself and every fold in ["KEY\", "KEY]"): ']' follows '\'
    const std::string lo = fold + '\\', hi = fold + ']';
    WriteTxn txn(m_db);
    if (!Stmt(*this, "SELECT 1 FROM reg_keys WHERE fold = ?").bind(1, fold).step())
        return false;
    Stmt(*this, "DELETE FROM reg_values WHERE key = ?1 OR (key >= ?2 AND key < ?3)")
        .bind(1, fold).bind(2, lo).bind(3, hi).step();
    Stmt(*this, "DELETE FROM reg_keys WHERE fold = ?1 OR (fold >= ?2 AND fold < ?3)")
        .bind(1, fold).bind(2, lo).bind(3, hi).step();
    txn.commit();
    return true;
}

std::optional<TRegValue> TSqliteRegistryStore::ReadValue(const std::string& path, const std::string& name)
{
    Stmt q(*this, "SELECT type, data FROM reg_values WHERE key = ? AND fold = ?");
    q.bind(1, foldRegName(canonicalRegPath(path))).bind(2, foldRegName(name));
    if (!q.step())
        return std::nullopt;
    if (q.integer(0) == TRegValue::rdInteger)
        return TRegValue::Integer(static_cast<int32_t>(q.integer(1)));
    return TRegValue::String(q.text(1));
}

bool TSqliteRegistryStore::WriteValue(const std::string& path, const std::string& name, const TRegValue& value)
{
    checkWritable();
    const std::string key = foldRegName(canonicalRegPath(path));
    // One statement: the key check and the write happen atomically.
    Stmt q(*this, "INSERT INTO reg_values (key, fold, name, type, data) "
                  "SELECT ?1, ?2, ?3, ?4, ?5 WHERE EXISTS (SELECT 1 FROM reg_keys WHERE fold = ?1) "
                  "ON CONFLICT (key, fold) DO UPDATE SET type = excluded.type, data = excluded.data");
    q.bind(1, key).bind(2, foldRegName(name)).bind(3, name).bind(4, static_cast<int64_t>(value.Type));
    if (value.Type == TRegValue::rdInteger)
        q.bind(5, static_cast<int64_t>(value.Int));
    else
        q.bind(5, value.Str);
    q.step();
    return sqlite3_changes(m_db) > 0;
}

bool TSqliteRegistryStore::DeleteValue(const std::string& path, const std::string& name)
{
    checkWritable();
    Stmt(*this, "DELETE FROM reg_values WHERE key = ? AND fold = ?")
        .bind(1, foldRegName(canonicalRegPath(path))).bind(2, foldRegName(name)).step();
    return sqlite3_changes(m_db) > 0;
}

std::vector<std::string> TSqliteRegistryStore::KeyNames(const std::string& path)
{
    return Stmt(*this, "SELECT name FROM reg_keys WHERE parent = ? AND fold <> x'' ORDER BY fold")
        .bind(1, foldRegName(canonicalRegPath(path))).texts();
}

std::vector<std::string> TSqliteRegistryStore::ValueNames(const std::string& path)
{
    return Stmt(*this, "SELECT name FROM reg_values WHERE key = ? ORDER BY fold")
        .bind(1, foldRegName(canonicalRegPath(path))).texts();
}

std::optional<TRegKeyInfo> TSqliteRegistryStore::KeyInfo(const std::string& path)
{
    const std::string fold = foldRegName(canonicalRegPath(path));
    if (!KeyExists(fold))
        return std::nullopt;
    TRegKeyInfo info;
    Stmt k(*this, "SELECT count(*), coalesce(max(length(name)), 0) FROM reg_keys WHERE parent = ? AND fold <> x''");
    k.bind(1, fold);
    if (k.step()) {
        info.NumSubKeys = static_cast<int>(k.integer(0));
        info.MaxSubKeyLen = static_cast<int>(k.integer(1));
    }
    Stmt v(*this, "SELECT count(*), coalesce(max(length(name)), 0), "
                  "coalesce(max(CASE type WHEN 0 THEN 4 ELSE length(data) + 1 END), 0) FROM reg_values WHERE key = ?");
    v.bind(1, fold);
    if (v.step()) {
        info.NumValues = static_cast<int>(v.integer(0));
        info.MaxValueLen = static_cast<int>(v.integer(1));
        info.MaxDataLen = static_cast<int>(v.integer(2));
    }
    return info;
}

} // namespace lm
