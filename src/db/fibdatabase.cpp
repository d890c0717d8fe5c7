// TFIBDatabase: attaching, creating and the column-domain cache.
#include "db/fibdatabase.h"

#include <locale.h>

#include <algorithm>
#include <cstring>
#include <string_view>

#include "db/fibapi.h"
#include "db/fibtransaction.h"
#include "util/cp1251.h"
#include "util/exceptions.h"

namespace lm {

using namespace Firebird;

TFIBDatabase::TFIBDatabase(TComponent* owner) : TComponent(owner) {}

TFIBDatabase::~TFIBDatabase()
{
    try {
        Close();
    } catch (...) {
        // a failing detach in a destructor has nobody to report to
    }
    for (TFIBTransaction* t : std::vector<TFIBTransaction*>(m_transactions))
        t->SetDefaultDatabase(nullptr);
}

void TFIBDatabase::SetDatabaseName(const std::string& name)
{
    if (Connected())
        throw Exception("Cannot change DatabaseName of an open database");
    m_databaseName = name;
}

bool TFIBDatabase::IsEmbedded() const
{
    // A server name ("host", "host/port", "inet") is what stands before the first colon,
    // unless that part is a path ("/data/a:b.fdb", "./x") or a drive letter ("C:\db.fdb").
    const auto colon = m_databaseName.find(':');
    if (colon == std::string::npos || colon < 2)
        return true;
    const char first = m_databaseName[0];
    return first == '/' || first == '.' || m_databaseName.find('\\') < colon;
}

std::string TFIBDatabase::buildDpb(bool create, int pageSize) const
{
    fib::Status st;
    IXpbBuilder* dpb = fib::util()->getXpbBuilder(&st, IXpbBuilder::DPB, nullptr, 0);
    st.check();
    dpb->insertInt(&st, isc_dpb_sql_dialect, 3);
    if (!m_userName.empty())
        dpb->insertString(&st, isc_dpb_user_name, m_userName.c_str());
    if (!m_password.empty())
        dpb->insertString(&st, isc_dpb_password, m_password.c_str());
    if (!m_roleName.empty() && !create)
        dpb->insertString(&st, isc_dpb_sql_role_name, m_roleName.c_str());
    dpb->insertString(&st, isc_dpb_lc_ctype, m_charSet.c_str());
    // the file name goes as UTF-8 and says so; otherwise it is read in the connection charset
    dpb->insertTag(&st, isc_dpb_utf8_filename);
    // Choose the provider explicitly: a plain path never tries a server, "host:path" never
    // falls back to opening a local file.
    dpb->insertString(&st, isc_dpb_config, IsEmbedded() ? "Providers=Engine12" : "Providers=Remote");
    if (create) {
        dpb->insertString(&st, isc_dpb_set_db_charset, m_charSet.c_str());
        dpb->insertInt(&st, isc_dpb_page_size, pageSize);
    }
    st.check();
    std::string out(reinterpret_cast<const char*>(dpb->getBuffer(&st)), dpb->getBufferLength(&st));
    dpb->dispose();
    st.check();
    return out;
}

namespace {

bool validUtf8(std::string_view s)
{
    for (std::size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        const std::size_t n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
        if (n == 0 || i + n > s.size())
            return false;
        for (std::size_t k = 1; k < n; ++k)
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80)
                return false;
        i += n;
    }
    return true;
}

// The database name as UTF-8: names typed on the command line already are; the package's own
// Windows-1251 text (which is practically never valid UTF-8 once it holds Cyrillic) is converted.
std::string utf8Name(const std::string& name)
{
    return validUtf8(name) ? name : cp1251ToUtf8(name);
}

// The engine converts a UTF-8 file name to the character set of the thread's locale, which is
// plain ASCII under the "C" locale that programs start in. A UTF-8 locale for the duration of
// a call lets it reach Cyrillic file names, without touching the rest of the process.
class Utf8CtypeScope {
public:
    Utf8CtypeScope()
    {
        static const locale_t utf8 = [] {
            locale_t l = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(nullptr));
            return l ? l : newlocale(LC_CTYPE_MASK, "en_US.UTF-8", static_cast<locale_t>(nullptr));
        }();
        if (utf8)
            m_previous = uselocale(utf8);
    }
    ~Utf8CtypeScope()
    {
        if (m_previous)
            uselocale(m_previous);
    }
    Utf8CtypeScope(const Utf8CtypeScope&) = delete;
    Utf8CtypeScope& operator=(const Utf8CtypeScope&) = delete;

private:
    locale_t m_previous = nullptr;
};

} // namespace

void TFIBDatabase::attach(bool create, int pageSize)
{
    if (Connected())
        return;
    if (m_databaseName.empty())
        throw Exception("Database name is missing");
    const std::string dpb = buildDpb(create, pageSize);
    const std::string name = utf8Name(m_databaseName);
    fib::Status st;
    IProvider* prov = fib::master()->getDispatcher();
    const auto* buf = reinterpret_cast<const unsigned char*>(dpb.data());
    const auto len = static_cast<unsigned>(dpb.size());
    IAttachment* att = nullptr;
    {
        Utf8CtypeScope utf8;
        att = create ? prov->createDatabase(&st, name.c_str(), len, buf)
                     : prov->attachDatabase(&st, name.c_str(), len, buf);
    }
    prov->release();
    if (st.hasError(isc_already_opened))
        throw Exception(Format("Database %s is in use by another program", {m_databaseName}));
    st.check();
    m_attachment = att;
    m_domains.clear();
}

void TFIBDatabase::Open() { attach(false, 0); }

void TFIBDatabase::CreateDatabase(int pageSize) { attach(true, pageSize); }

void TFIBDatabase::Close()
{
    if (!m_attachment)
        return;
    for (TFIBTransaction* t : std::vector<TFIBTransaction*>(m_transactions))
        if (t->InTransaction())
            t->Rollback();
    fib::Status st;
    m_attachment->detach(&st);
    if (st.failed()) {
        const std::string text = st.message();
        m_attachment->release();
        m_attachment = nullptr;
        throw Exception(text);
    }
    m_attachment = nullptr;
    m_domains.clear();
}

void TFIBDatabase::DropDatabase()
{
    if (!m_attachment)
        throw Exception("Database is not connected");
    for (TFIBTransaction* t : std::vector<TFIBTransaction*>(m_transactions))
        if (t->InTransaction())
            t->Rollback();
    fib::Status st;
    m_attachment->dropDatabase(&st);
    st.check();
    m_attachment = nullptr;
}

void TFIBDatabase::ExecImmediate(const std::string& sql)
{
    if (!m_attachment)
        throw Exception("Database is not connected");
    fib::Status st;
    ITransaction* tra = m_attachment->startTransaction(&st, 0, nullptr);
    st.check();
    m_attachment->execute(&st, tra, 0, sql.c_str(), 3, nullptr, nullptr, nullptr, nullptr);
    if (st.failed()) {
        const std::string text = st.message();
        fib::Status st2;
        tra->rollback(&st2);
        throw Exception(text);
    }
    tra->commit(&st);
    st.check();
    m_domains.clear();
}

std::string TFIBDatabase::ColumnDomain(const std::string& relation, const std::string& column)
{
    if (!m_attachment || relation.empty() || column.empty())
        return {};
    const auto key = std::make_pair(relation, column);
    auto it = m_domains.find(key);
    if (it != m_domains.end())
        return it->second;
    // Load every column of the relation at once: the dataset asks for each of them in turn.
    fib::Status st;
    const unsigned char tpb[] = {isc_tpb_version3, isc_tpb_read, isc_tpb_read_committed,
                                 isc_tpb_rec_version, isc_tpb_nowait};
    ITransaction* tra = m_attachment->startTransaction(&st, sizeof tpb, tpb);
    st.check();
    const char* sql = "select trim(rdb$field_name), trim(rdb$field_source) from rdb$relation_fields "
                      "where rdb$relation_name = ?";
    IStatement* stmt = m_attachment->prepare(&st, tra, 0, sql, 3, 0);
    if (st.failed()) {
        fib::Status st2;
        tra->rollback(&st2);
        st.check();
    }
    IMessageMetadata* inMeta = stmt->getInputMetadata(&st);
    IMessageMetadata* outMeta = stmt->getOutputMetadata(&st);
    std::vector<unsigned char> in(inMeta->getMessageLength(&st));
    std::vector<unsigned char> out(outMeta->getMessageLength(&st));
    const fib::Slot p0 = fib::slotOf(inMeta, 0, st);
    fib::writeValue(p0, in.data(), Variant(relation), nullptr, nullptr, st);
    IResultSet* rs = stmt->openCursor(&st, tra, inMeta, in.data(), outMeta, 0);
    st.check();
    const fib::Slot c0 = fib::slotOf(outMeta, 0, st);
    const fib::Slot c1 = fib::slotOf(outMeta, 1, st);
    m_domains[key] = std::string();
    while (rs->fetchNext(&st, out.data()) == IStatus::RESULT_OK) {
        const std::string name = fib::readValue(c0, out.data(), nullptr, nullptr, st).AsString();
        const std::string domain = fib::readValue(c1, out.data(), nullptr, nullptr, st).AsString();
        m_domains[std::make_pair(relation, name)] = domain;
    }
    rs->close(&st);
    inMeta->release();
    outMeta->release();
    stmt->free(&st);
    tra->commit(&st);
    st.check();
    return m_domains[key];
}

bool TFIBDatabase::IsBooleanColumn(const std::string& relation, const std::string& column)
{
    if (m_boolDomainMask.empty())
        return false;
    const std::string domain = upperCase(ColumnDomain(relation, column));
    return !domain.empty() && domain.find(upperCase(m_boolDomainMask)) != std::string::npos;
}

void TFIBDatabase::AddTransaction(TFIBTransaction* t)
{
    if (std::find(m_transactions.begin(), m_transactions.end(), t) == m_transactions.end())
        m_transactions.push_back(t);
}

void TFIBDatabase::RemoveTransaction(TFIBTransaction* t)
{
    m_transactions.erase(std::remove(m_transactions.begin(), m_transactions.end(), t), m_transactions.end());
}

} // namespace lm
