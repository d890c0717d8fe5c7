// TFIBTransaction: starting and ending Firebird transactions.
#include "db/fibtransaction.h"

#include <vector>

#include "db/fibapi.h"
#include "db/fibdatabase.h"
#include "util/exceptions.h"

namespace lm {

using namespace Firebird;

TFIBTransaction::TFIBTransaction(TComponent* owner) : TComponent(owner) {}

TFIBTransaction::~TFIBTransaction()
{
    if (m_transaction) {
        fib::Status st;
        m_transaction->rollback(&st);
        if (st.failed())
            m_transaction->release();
        m_transaction = nullptr;
    }
    if (m_database)
        m_database->RemoveTransaction(this);
}

void TFIBTransaction::SetDefaultDatabase(TFIBDatabase* db)
{
    if (db == m_database)
        return;
    if (m_transaction)
        throw Exception("Cannot change the database of an active transaction");
    if (m_database) {
        m_database->RemoveTransaction(this);
        RemoveFreeNotification(m_database);
    }
    m_database = db;
    if (m_database) {
        m_database->AddTransaction(this);
        FreeNotification(m_database);
    }
}

void TFIBTransaction::Notification(TComponent* component, TOperation operation)
{
    TComponent::Notification(component, operation);
    if (operation == opRemove && component == m_database) {
        m_transaction = nullptr;  // the database ended it before going away
        m_database = nullptr;
    }
}

void TFIBTransaction::StartTransaction()
{
    if (m_transaction)
        throw Exception("Transaction is active");
    if (!m_database)
        throw Exception(Format("%s: Database not assigned", {Name()}));
    if (!m_database->Connected())
        throw Exception("Database is not connected");
    std::vector<unsigned char> tpb = {isc_tpb_version3};
    switch (m_kind) {
    case tkReadCommitted:
        tpb.insert(tpb.end(), {isc_tpb_write, isc_tpb_read_committed, isc_tpb_rec_version, isc_tpb_nowait});
        break;
    case tkReadOnly:
        tpb.insert(tpb.end(), {isc_tpb_read, isc_tpb_read_committed, isc_tpb_rec_version, isc_tpb_nowait});
        break;
    case tkSnapshot:
        tpb.insert(tpb.end(), {isc_tpb_write, isc_tpb_concurrency, isc_tpb_nowait});
        break;
    }
    fib::Status st;
    ITransaction* t = m_database->Attachment()->startTransaction(&st, static_cast<unsigned>(tpb.size()), tpb.data());
    st.check();
    m_transaction = t;
}

namespace {
void requireActive(ITransaction* t)
{
    if (!t)
        throw Exception("Transaction is not active");
}
} // namespace

void TFIBTransaction::Commit()
{
    requireActive(m_transaction);
    fib::Status st;
    m_transaction->commit(&st);
    st.check();
    m_transaction = nullptr;
}

void TFIBTransaction::Rollback()
{
    requireActive(m_transaction);
    fib::Status st;
    m_transaction->rollback(&st);
    if (st.failed()) {
        // the handle is gone either way (a lost connection); keep the object usable
        m_transaction->release();
        m_transaction = nullptr;
        st.check();
    }
    m_transaction = nullptr;
}

void TFIBTransaction::CommitRetaining()
{
    requireActive(m_transaction);
    fib::Status st;
    m_transaction->commitRetaining(&st);
    st.check();
}

void TFIBTransaction::RollbackRetaining()
{
    requireActive(m_transaction);
    fib::Status st;
    m_transaction->rollbackRetaining(&st);
    st.check();
}

} // namespace lm
