// TpFIBQuery: running statements and reading their rows.
#include "db/fibquery.h"

#include "db/fibstatement.h"
#include "db/fibtransaction.h"
#include "util/cp1251.h"
#include "util/exceptions.h"

namespace lm {

TpFIBQuery::TpFIBQuery(TComponent* owner)
    : TComponent(owner), m_stmt(std::make_unique<fib::FibStatement>()), m_links(*this, *m_stmt, [this] { Close(); })
{
}

TpFIBQuery::~TpFIBQuery() = default;

void TpFIBQuery::Notification(TComponent* component, TOperation operation)
{
    TComponent::Notification(component, operation);
    if (m_links.removed(component, operation))
        Close();
}

void TpFIBQuery::SetSQL(const std::string& sql)
{
    Close();
    m_stmt->unprepare();
    m_sql = sql;
}

bool TpFIBQuery::Prepared() const { return m_stmt->prepared(); }

void TpFIBQuery::ensurePrepared()
{
    TFIBTransaction* tr = m_links.requireTransaction();
    if (!tr->InTransaction()) {
        if (!(m_options & qoStartTransaction))
            throw Exception("Transaction is not active");
        tr->StartTransaction();
    }
    if (!m_stmt->prepared())
        m_stmt->prepare(m_links.runDatabase(), tr, m_sql);
}

void TpFIBQuery::Prepare() { ensurePrepared(); }

void TpFIBQuery::ExecQuery()
{
    ensurePrepared();
    m_hasRow = false;
    m_eof = true;
    m_stmt->execute();
    if (m_stmt->isSelect()) {
        Next();
        return;
    }
    if (!m_stmt->columns().empty())
        takeRow();
    if (m_options & qoAutoCommit)
        m_links.transaction()->CommitRetaining();
}

void TpFIBQuery::ExecWP(const std::vector<Variant>& params)
{
    ensurePrepared();
    if (params.size() > m_stmt->paramCount())
        throw Exception(Format("%s: %d parameters given, the statement has %d",
                               {Name(), params.size(), m_stmt->paramCount()}));
    for (std::size_t i = 0; i < m_stmt->paramCount(); ++i)
        m_stmt->setParam(i, i < params.size() ? params[i] : Variant::Null());
    ExecQuery();
}

void TpFIBQuery::Next()
{
    if (m_stmt->cursorOpen() && m_stmt->fetch())
        takeRow();
    else
        Close();  // past the last row, or no cursor: Eof
}

void TpFIBQuery::takeRow()
{
    m_row.clear();
    for (std::size_t i = 0; i < m_stmt->columns().size(); ++i)
        m_row.push_back(m_stmt->value(i));
    m_hasRow = true;
    m_eof = false;
}

bool TpFIBQuery::Open() const { return m_stmt->cursorOpen(); }

void TpFIBQuery::Close()
{
    m_stmt->closeCursor();
    m_hasRow = false;
    m_eof = true;
}

int TpFIBQuery::ParamCount() const { return static_cast<int>(m_stmt->paramCount()); }

std::string TpFIBQuery::ParamName(int index) const { return m_stmt->paramNames().at(index); }

void TpFIBQuery::SetParam(int index, const Variant& value)
{
    ensurePrepared();
    m_stmt->setParam(static_cast<std::size_t>(index), value);
}

void TpFIBQuery::SetParamByName(const std::string& name, const Variant& value)
{
    ensurePrepared();
    const std::string key = upperCase(name);
    bool found = false;
    for (std::size_t i = 0; i < m_stmt->paramNames().size(); ++i)
        if (m_stmt->paramNames()[i] == key) {
            m_stmt->setParam(i, value);
            found = true;
        }
    if (!found)
        throw Exception(Format("Parameter %s not found", {name}));
}

int TpFIBQuery::FieldCount() const { return static_cast<int>(m_stmt->columns().size()); }

std::string TpFIBQuery::FieldName(int index) const { return m_stmt->columns().at(index).name; }

Variant TpFIBQuery::Fields(int index) const
{
    if (index < 0 || index >= FieldCount())
        throw Exception(Format("Field index %d out of range", {index}));
    if (!m_hasRow)
        throw Exception("No current record");
    return m_row[index];
}

int TpFIBQuery::FieldIndex(const std::string& name) const
{
    const std::string key = upperCase(name);
    for (std::size_t i = 0; i < m_stmt->columns().size(); ++i)
        if (upperCase(m_stmt->columns()[i].name) == key)
            return static_cast<int>(i);
    return -1;
}

Variant TpFIBQuery::FieldByName(const std::string& name) const
{
    const int i = FieldIndex(name);
    if (i < 0)
        throw Exception(Format("Field %s not found", {name}));
    return Fields(i);
}

} // namespace lm
