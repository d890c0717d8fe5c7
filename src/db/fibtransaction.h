// TFIBTransaction: a Firebird transaction bound to a database, started and ended explicitly or by
// the queries that use it.
#pragma once

#include <string>

#include "util/component.h"

namespace Firebird { class ITransaction; }

namespace lm {

class TFIBDatabase;

class TFIBTransaction : public TComponent {
public:
    enum TTransactionKind { tkReadCommitted, tkReadOnly, tkSnapshot };

    explicit TFIBTransaction(TComponent* owner = nullptr);
    ~TFIBTransaction() override;

    TFIBDatabase* DefaultDatabase() const { return m_database; }
    void SetDefaultDatabase(TFIBDatabase* db);
    // tkReadCommitted (the default, read-write), tkReadOnly (read committed, read only: what the
    // package's read transaction is), tkSnapshot (read-write, concurrency).
    TTransactionKind Kind() const { return m_kind; }
    void SetKind(TTransactionKind kind) { m_kind = kind; }

    bool InTransaction() const { return m_transaction != nullptr; }
    // Raises when the database is missing or not connected, or when already started.
    void StartTransaction();
    void Commit();
    void Rollback();
    void CommitRetaining();
    void RollbackRetaining();

    Firebird::ITransaction* Handle() const { return m_transaction; }

protected:
    void Notification(TComponent* component, TOperation operation) override;

private:
    TFIBDatabase* m_database = nullptr;
    TTransactionKind m_kind = tkReadCommitted;
    Firebird::ITransaction* m_transaction = nullptr;
};

} // namespace lm
