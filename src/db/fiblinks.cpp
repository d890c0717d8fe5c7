// FibLinks: switching and dropping the database and transaction links of a statement component.
#include "db/fiblinks.h"

#include "db/fibdatabase.h"
#include "db/fibstatement.h"
#include "db/fibtransaction.h"
#include "util/exceptions.h"

namespace lm::fib {

FibLinks::FibLinks(TComponent& owner, FibStatement& stmt, std::function<void()> close)
    : m_owner(owner), m_stmt(stmt), m_close(std::move(close))
{
}

template <typename T>
bool FibLinks::relink(T*& link, T* to)
{
    if (to == link)
        return false;
    m_close();
    m_stmt.unprepare();
    return m_owner.ReplaceLink(link, to);
}

void FibLinks::setDatabase(TFIBDatabase* db) { relink(m_database, db); }

void FibLinks::setTransaction(TFIBTransaction* t)
{
    if (relink(m_transaction, t) && t && !m_database)
        setDatabase(t->DefaultDatabase());
}

bool FibLinks::removed(TComponent* component, TComponent::TOperation operation)
{
    if (operation != TComponent::opRemove || (component != m_database && component != m_transaction))
        return false;
    m_stmt.unprepare();
    if (component == m_database) m_database = nullptr;
    if (component == m_transaction) m_transaction = nullptr;
    return true;
}

TFIBTransaction* FibLinks::requireTransaction() const
{
    if (!m_transaction)
        throw Exception(Format("%s: Transaction not assigned", {m_owner.Name()}));
    return m_transaction;
}

TFIBDatabase* FibLinks::runDatabase() const
{
    return m_database ? m_database : m_transaction ? m_transaction->DefaultDatabase() : nullptr;
}

} // namespace lm::fib
