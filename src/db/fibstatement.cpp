// FibStatement: preparing, binding, executing and fetching one statement.
#include "db/fibstatement.h"

#include "db/fibdatabase.h"
#include "db/fibsqltext.h"
#include "db/fibtransaction.h"
#include "util/exceptions.h"

namespace lm::fib {

using namespace Firebird;

FibStatement::~FibStatement()
{
    try {
        unprepare();
    } catch (...) {
        // the connection may be gone already
    }
}

void FibStatement::unprepare()
{
    Status st;
    if (m_cursor) {
        m_cursor->close(&st);
        if (st.failed())
            m_cursor->release();
        m_cursor = nullptr;
    }
    if (m_inMeta) { m_inMeta->release(); m_inMeta = nullptr; }
    if (m_outMeta) { m_outMeta->release(); m_outMeta = nullptr; }
    if (m_stmt) {
        Status st2;
        m_stmt->free(&st2);
        if (st2.failed())
            m_stmt->release();
        m_stmt = nullptr;
    }
    m_columns.clear();
    m_paramSlots.clear();
    m_paramNames.clear();
}

namespace {

unsigned readInt(const unsigned char* p, unsigned len)
{
    unsigned v = 0;
    for (unsigned i = 0; i < len; ++i)
        v |= static_cast<unsigned>(p[i]) << (8 * i);
    return v;
}

// The relation alias of each output column, from the statement's describe information
// (empty strings when the server does not report them).
std::vector<std::string> relationAliases(IStatement* stmt, std::size_t count, Status& st)
{
    std::vector<std::string> out(count);
    const unsigned char items[] = {isc_info_sql_select, isc_info_sql_describe_vars, isc_info_sql_sqlda_seq,
                                   isc_info_sql_relation_alias, isc_info_sql_describe_end};
    std::vector<unsigned char> buf(65536);
    stmt->getInfo(&st, sizeof items, items, static_cast<unsigned>(buf.size()), buf.data());
    if (st.failed()) {
        st.get()->clearException();
        return out;
    }
    std::size_t i = 0;
    unsigned seq = 0;
    while (i < buf.size()) {
        const unsigned char item = buf[i++];
        if (item == isc_info_end || item == isc_info_truncated)
            break;
        if (item == isc_info_sql_select || item == isc_info_sql_describe_end)
            continue;
        if (i + 2 > buf.size())
            break;
        const unsigned len = readInt(&buf[i], 2);
        i += 2;
        if (i + len > buf.size())
            break;
        if (item == isc_info_sql_sqlda_seq)
            seq = readInt(&buf[i], len);
        else if (item == isc_info_sql_relation_alias && seq >= 1 && seq <= count)
            out[seq - 1].assign(reinterpret_cast<const char*>(&buf[i]), len);
        i += len;
    }
    return out;
}

} // namespace

void FibStatement::prepare(TFIBDatabase* db, TFIBTransaction* tra, const std::string& sql)
{
    unprepare();
    if (!db || !db->Connected())
        throw Exception("Database is not connected");
    if (!tra || !tra->InTransaction())
        throw Exception("Transaction is not active");
    m_db = db;
    m_tra = tra;
    const std::string text = replaceNamedParams(sql, m_paramNames);
    Status st;
    m_stmt = db->Attachment()->prepare(&st, tra->Handle(), 0, text.c_str(), 3,
                                       IStatement::PREPARE_PREFETCH_METADATA);
    st.check();
    const unsigned type = m_stmt->getType(&st);
    m_isSelect = type == isc_info_sql_stmt_select || type == isc_info_sql_stmt_select_for_upd;
    m_inMeta = m_stmt->getInputMetadata(&st);
    m_outMeta = m_stmt->getOutputMetadata(&st);
    st.check();
    m_in.assign(m_inMeta->getMessageLength(&st), 0);
    const unsigned inCount = m_inMeta->getCount(&st);
    for (unsigned k = 0; k < inCount; ++k) {
        m_paramSlots.push_back(slotOf(m_inMeta, k, st));
        // parameters start as NULL until set
        *reinterpret_cast<short*>(&m_in[m_paramSlots.back().nullOffset]) = -1;
    }
    m_paramNames.resize(inCount);
    m_row.assign(m_outMeta->getMessageLength(&st), 0);
    const unsigned outCount = m_outMeta->getCount(&st);
    st.check();
    const std::vector<std::string> aliases = relationAliases(m_stmt, outCount, st);
    for (unsigned k = 0; k < outCount; ++k) {
        ColumnInfo c;
        c.name = m_outMeta->getAlias(&st, k);
        c.field = m_outMeta->getField(&st, k);
        c.relation = m_outMeta->getRelation(&st, k);
        st.check();
        c.relationAlias = aliases[k];
        c.slot = slotOf(m_outMeta, k, st);
        m_columns.push_back(std::move(c));
    }
}

void FibStatement::widenTextParams()
{
    if (!m_inMeta)
        return;
    constexpr unsigned kLongestText = 32765;
    Status st;
    IMetadataBuilder* builder = m_inMeta->getBuilder(&st);
    st.check();
    for (unsigned k = 0; k < m_paramSlots.size(); ++k)
        if (m_paramSlots[k].type == SQL_TEXT || m_paramSlots[k].type == SQL_VARYING) {
            builder->setType(&st, k, SQL_VARYING | 1);
            builder->setLength(&st, k, kLongestText);
        }
    IMessageMetadata* wide = builder->getMetadata(&st);
    builder->release();
    st.check();
    m_inMeta->release();
    m_inMeta = wide;
    m_in.assign(m_inMeta->getMessageLength(&st), 0);
    for (unsigned k = 0; k < m_paramSlots.size(); ++k) {
        m_paramSlots[k] = slotOf(m_inMeta, k, st);
        *reinterpret_cast<short*>(&m_in[m_paramSlots[k].nullOffset]) = -1;
    }
}

uint64_t FibStatement::affectedRows()
{
    if (!m_stmt)
        return 0;
    Status st;
    const uint64_t n = m_stmt->getAffectedRecords(&st);
    st.check();
    return n;
}

void FibStatement::setParam(std::size_t index, const Variant& value)
{
    if (index >= m_paramSlots.size())
        throw Exception(Format("Parameter index %d out of range (%d parameters)", {index, m_paramSlots.size()}));
    Status st;
    writeValue(m_paramSlots[index], m_in.data(), value, m_db->Attachment(), m_tra->Handle(), st);
}

void FibStatement::execute()
{
    if (!m_stmt)
        throw Exception("Statement is not prepared");
    if (!m_tra->InTransaction())
        throw Exception("Transaction is not active");
    closeCursor();
    Status st;
    if (m_isSelect) {
        m_cursor = m_stmt->openCursor(&st, m_tra->Handle(), m_inMeta, m_in.data(), m_outMeta, 0);
        st.check();
    } else {
        m_stmt->execute(&st, m_tra->Handle(), m_inMeta, m_in.data(), m_outMeta,
                        m_columns.empty() ? nullptr : m_row.data());
        st.check();
    }
}

bool FibStatement::fetch()
{
    if (!m_cursor)
        return false;
    const int rc = m_cursor->fetchNext(&m_fetchStatus, m_row.data());
    m_fetchStatus.check();
    return rc == IStatus::RESULT_OK;
}

void FibStatement::closeCursor()
{
    if (!m_cursor)
        return;
    Status st;
    m_cursor->close(&st);
    if (st.failed())
        m_cursor->release();
    m_cursor = nullptr;
}

Variant FibStatement::value(std::size_t column) const { return valueFrom(m_row.data(), column); }

Variant FibStatement::valueFrom(const unsigned char* row, std::size_t column) const
{
    Status st;
    return readValue(m_columns.at(column).slot, row, m_db->Attachment(), m_tra->Handle(), st);
}

} // namespace lm::fib
