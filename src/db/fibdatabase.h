// TFIBDatabase: a connection to a Firebird database, embedded when the name is a file path and
// through a server when it is "host:path".
#pragma once

#include <map>
#include <memory>
#include <string>
#include <utility>

#include "util/component.h"

namespace Firebird { class IAttachment; }

namespace lm {

class TFIBTransaction;

class TFIBDatabase : public TComponent {
public:
    explicit TFIBDatabase(TComponent* owner = nullptr);
    ~TFIBDatabase() override;

    // "path/to/file.fdb" opens the file in this process (embedded engine); "host:path" or
    // "host/port:path" connects to a server. The name may be UTF-8 (as typed on a command
    // line) or the package's Windows-1251 text; the engine receives it as UTF-8.
    const std::string& DatabaseName() const { return m_databaseName; }
    void SetDatabaseName(const std::string& name);
    const std::string& UserName() const { return m_userName; }
    void SetUserName(const std::string& v) { m_userName = v; }
    const std::string& Password() const { return m_password; }
    void SetPassword(const std::string& v) { m_password = v; }
    const std::string& RoleName() const { return m_roleName; }
    void SetRoleName(const std::string& v) { m_roleName = v; }
    // The connection character set; WIN1251 so that the package's bytes pass unchanged.
    const std::string& CharSet() const { return m_charSet; }
    void SetCharSet(const std::string& v) { m_charSet = v; }

    // SMALLINT columns whose domain name contains this text (compared ignoring case) are read as
    // boolean fields; native BOOLEAN columns always are. Empty: only native BOOLEAN.
    const std::string& BoolDomainMask() const { return m_boolDomainMask; }
    void SetBoolDomainMask(const std::string& v) { m_boolDomainMask = v; }

    bool Connected() const { return m_attachment != nullptr; }
    void SetConnected(bool value) { value ? Open() : Close(); }
    // Attaches; raises lm::Exception with the server's message on failure.
    void Open();
    // Ends the transactions bound to this database (rolling back what is active) and detaches.
    void Close();
    // Creates the database file (embedded or on a server) with WIN1251 as its default character
    // set and page size `pageSize`, and stays connected to it.
    void CreateDatabase(int pageSize = 8192);
    // Drops the connected database.
    void DropDatabase();

    // Executes one statement outside any query object, in its own transaction (DDL, scripts).
    void ExecImmediate(const std::string& sql);

    // The domain (RDB$FIELD_SOURCE) of a table column, trimmed and upper-case; empty when the
    // column is unknown. Cached per connection.
    std::string ColumnDomain(const std::string& relation, const std::string& column);
    // Whether a SMALLINT column of that table counts as boolean under BoolDomainMask.
    bool IsBooleanColumn(const std::string& relation, const std::string& column);

    Firebird::IAttachment* Attachment() const { return m_attachment; }
    // True when the database name has no server part (the embedded engine serves it).
    bool IsEmbedded() const;

    // Transactions register themselves so that Close can end them first.
    void AddTransaction(TFIBTransaction* t);
    void RemoveTransaction(TFIBTransaction* t);

private:
    std::string buildDpb(bool create, int pageSize) const;
    void attach(bool create, int pageSize);
    void loadDomains();

    std::string m_databaseName;
    std::string m_userName = "SYSDBA";
    std::string m_password;
    std::string m_roleName;
    std::string m_charSet = "WIN1251";
    std::string m_boolDomainMask = "BOOL";
    Firebird::IAttachment* m_attachment = nullptr;
    std::map<std::pair<std::string, std::string>, std::string> m_domains;
    bool m_domainsLoaded = false;
    std::vector<TFIBTransaction*> m_transactions;
};

} // namespace lm
