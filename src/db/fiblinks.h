// FibLinks: the database and transaction a statement component runs on, kept clear of partners
// that go away.
#pragma once

#include <functional>

#include "util/component.h"

namespace lm {
class TFIBDatabase;
class TFIBTransaction;
}

namespace lm::fib {

class FibStatement;

// Held by a component that runs a FibStatement (the query, the dataset). A prepared statement
// belongs to the connection it was prepared on, so changing a link closes the owner and
// unprepares the statement first, and losing a partner unprepares it.
class FibLinks {
public:
    // `close` closes the owner (its cursor or records) before a link changes.
    FibLinks(TComponent& owner, FibStatement& stmt, std::function<void()> close);
    FibLinks(const FibLinks&) = delete;
    FibLinks& operator=(const FibLinks&) = delete;

    TFIBDatabase* database() const { return m_database; }
    TFIBTransaction* transaction() const { return m_transaction; }
    // No-op for the current link. The owner asks free notification of the new partner.
    void setDatabase(TFIBDatabase* db);
    // As setDatabase; while no database is set, the transaction's default database becomes it.
    void setTransaction(TFIBTransaction* t);
    // For the owner's Notification: true when `component` is a link being removed, which is
    // then cleared with the statement unprepared (freeing fails quietly on a lost connection).
    bool removed(TComponent* component, TComponent::TOperation operation);

    // The transaction; raises "<owner>: Transaction not assigned" when none is set.
    TFIBTransaction* requireTransaction() const;
    // The database statements run on: the one set, else the transaction's default one; nullptr
    // when neither is set.
    TFIBDatabase* runDatabase() const;

private:
    // Points `link` at `to`, closing the owner and unpreparing the statement first and moving
    // the free notification; false when it already pointed there.
    template <typename T>
    bool relink(T*& link, T* to);

    TComponent& m_owner;
    FibStatement& m_stmt;
    std::function<void()> m_close;
    TFIBDatabase* m_database = nullptr;
    TFIBTransaction* m_transaction = nullptr;
};

} // namespace lm::fib
