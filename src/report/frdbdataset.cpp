// The record walk of the report datasets and the alias look-ups.
#include "report/frdbdataset.h"

#include "host/dataset.h"
#include "util/cp1251.h"

namespace lm {

void TfrCustomDBDataSet::SetDataSet(TDataSet* dataSet)
{
    ReplaceLink(m_dataSet, dataSet);
}

void TfrCustomDBDataSet::First()
{
    m_recNo = 0;
    if (OnFirst)
        OnFirst(this);
    else if (m_dataSet)
        m_dataSet->First();
}

void TfrCustomDBDataSet::Next()
{
    ++m_recNo;
    if (OnNext)
        OnNext(this);
    else if (m_dataSet)
        m_dataSet->Next();
}

void TfrCustomDBDataSet::Prior()
{
    if (m_recNo > 0)
        --m_recNo;
    if (OnPrior)
        OnPrior(this);
    else if (m_dataSet)
        m_dataSet->Prior();
}

bool TfrCustomDBDataSet::Eof()
{
    bool eof = !m_dataSet || !m_dataSet->Active() || m_dataSet->Eof();
    if (OnCheckEOF)
        OnCheckEOF(this, eof);
    return eof;
}

void TfrCustomDBDataSet::Notification(TComponent* component, TOperation operation)
{
    TComponent::Notification(component, operation);
    if (operation == opRemove && component == m_dataSet)
        m_dataSet = nullptr;
}

namespace {

// The two sides of an "A=B" line.
std::pair<std::string, std::string> splitAlias(const std::string& line)
{
    const auto eq = line.find('=');
    if (eq == std::string::npos)
        return {line, line};
    return {line.substr(0, eq), line.substr(eq + 1)};
}

} // namespace

std::string TfrxDBDataset::GetAlias(const std::string& fieldName) const
{
    const std::string key = upperCase(fieldName);
    for (const std::string& line : m_aliases) {
        auto [field, alias] = splitAlias(line);
        if (upperCase(field) == key)
            return alias;
    }
    return fieldName;
}

std::string TfrxDBDataset::GetFieldName(const std::string& alias) const
{
    const std::string key = upperCase(alias);
    for (const std::string& line : m_aliases) {
        auto [field, name] = splitAlias(line);
        if (upperCase(name) == key)
            return field;
    }
    return alias;
}

} // namespace lm
