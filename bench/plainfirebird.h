// PlainFirebird: the anchor side of the database benchmarks - an attachment, a transaction and
// a prepared statement made directly with libfbclient's OO API, released when it goes away.
#pragma once

#include <firebird/Interface.h>

#include <string>
#include <vector>

namespace lmbench {

class PlainFirebird {
public:
    // Attaches to `file` with the embedded engine in WIN1251 and prepares `query`.
    PlainFirebird(const std::string& file, const std::string& query)
        : master(Firebird::fb_get_master_interface()), st(master->getStatus())
    {
        using namespace Firebird;
        IUtil* util = master->getUtilInterface();
        m_dpb = util->getXpbBuilder(&st, IXpbBuilder::DPB, nullptr, 0);
        m_dpb->insertString(&st, isc_dpb_user_name, "SYSDBA");
        m_dpb->insertString(&st, isc_dpb_lc_ctype, "WIN1251");
        m_dpb->insertString(&st, isc_dpb_config, "Providers=Engine12");
        m_prov = master->getDispatcher();
        att = m_prov->attachDatabase(&st, file.c_str(), m_dpb->getBufferLength(&st), m_dpb->getBuffer(&st));
        tra = att->startTransaction(&st, 0, nullptr);
        stmt = att->prepare(&st, tra, 0, query.c_str(), 3, IStatement::PREPARE_PREFETCH_METADATA);
        meta = stmt->getOutputMetadata(&st);
        row.resize(meta->getMessageLength(&st));
    }
    ~PlainFirebird()
    {
        meta->release();
        stmt->free(&st);
        tra->commit(&st);
        att->detach(&st);
        m_prov->release();
        m_dpb->dispose();
        st.dispose();
    }
    PlainFirebird(const PlainFirebird&) = delete;
    PlainFirebird& operator=(const PlainFirebird&) = delete;

    // Opens the statement's cursor and fetches at most `limit` rows (all when negative) into
    // `row`; returns how many it fetched.
    long long Fetch(long long limit = -1)
    {
        Firebird::IResultSet* rs = stmt->openCursor(&st, tra, nullptr, nullptr, meta, 0);
        long long rows = 0;
        while ((limit < 0 || rows < limit) && rs->fetchNext(&st, row.data()) == Firebird::IStatus::RESULT_OK)
            ++rows;
        rs->close(&st);
        return rows;
    }

    Firebird::IMaster* master;
    Firebird::ThrowStatusWrapper st;
    Firebird::IAttachment* att = nullptr;
    Firebird::ITransaction* tra = nullptr;
    Firebird::IStatement* stmt = nullptr;
    Firebird::IMessageMetadata* meta = nullptr;
    std::vector<unsigned char> row;

private:
    Firebird::IXpbBuilder* m_dpb = nullptr;
    Firebird::IProvider* m_prov = nullptr;
};

} // namespace lmbench
