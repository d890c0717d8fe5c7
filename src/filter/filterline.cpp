// The context search's condition: preparing the typed text into values and words, and
// testing a record against them.
#include "filter/filterline.h"

#include <algorithm>
#include <cstring>

#include "filter/contextfilter.h"
#include "host/dataset.h"
#include "util/cp1251.h"

namespace lm {

int CachedFieldIndex(TDataSet* dataSet, const std::string& name, int& cache)
{
    if (!dataSet)
        return -1;
    if (cache >= 0 && cache < dataSet->FieldCount() && dataSet->Fields(cache)->FieldName() == name)
        return cache;
    TField* field = dataSet->FindField(name);
    if (!field)
        return -1;
    cache = field->Index();
    return cache;
}

std::vector<std::string> SplitSearchWords(const std::string& upper)
{
    std::vector<std::string> words;
    std::size_t i = 0;
    while (i < upper.size()) {
        const std::size_t start = upper.find_first_not_of(" *", i);
        if (start == std::string::npos)
            break;
        std::size_t end = upper.find_first_of(" *", start);
        if (end == std::string::npos)
            end = upper.size();
        words.push_back(upper.substr(start, end - start));
        i = end;
    }
    return words;
}

namespace {

// Upper-cases `text` in place with the code page's table.
void upperInPlace(std::string& text)
{
    const unsigned char* table = upperTable();
    for (char& c : text)
        c = static_cast<char>(table[static_cast<unsigned char>(c)]);
}

// `out` := `text` upper-cased, in one pass.
void assignUpper(std::string& out, std::string_view text)
{
    const unsigned char* table = upperTable();
    out.resize(text.size());
    for (std::size_t i = 0; i < text.size(); ++i)
        out[i] = static_cast<char>(table[static_cast<unsigned char>(text[i])]);
}

bool contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

bool isStringType(TFieldType type) { return type == ftString || type == ftFixedChar || type == ftMemo; }
bool isDateType(TFieldType type) { return type == ftDate || type == ftDateTime; }

// The upper-cased text of a string field in `out`; false when the field is null. A plain stored
// column is read from the record store directly, without the field's conversions.
bool upperText(TField* field, std::string& out)
{
    const TRecordStore* store = nullptr;
    TRecordStore::RecId rec = 0;
    const int col = field->StoreColumn();
    if (col >= 0 && field->FieldKind() == fkData && !field->OnGetText &&
        field->StoreKind() == TStoreKind::skString && field->DataSet()->ActiveRecord(store, rec)) {
        if (store->IsNull(col, rec))
            return false;
        assignUpper(out, store->GetString(col, rec));
        return true;
    }
    if (field->IsNull())
        return false;
    assignUpper(out, field->AsString());
    return true;
}

} // namespace

TFilterLine::TFilterLine(TContextFilter* owner, TDataSet* dataSet, const std::string& fieldName,
                         const std::string& value)
    : m_dataSet(dataSet), m_fieldName(fieldName), m_value(value), m_owner(owner), m_multi(fieldName == "*")
{
}

TField* TFilterLine::GetField()
{
    if (IsMulti())
        return nullptr;
    const int index = CachedFieldIndex(m_dataSet, m_fieldName, m_fieldIndex);
    return index < 0 ? nullptr : m_dataSet->Fields(index);
}

TField* TFilterLine::TestedField()
{
    TField* field = GetField();
    if (!field || !field->Lookup())
        return field;
    const int index = CachedFieldIndex(m_dataSet, field->KeyFields(), m_keyIndex);
    return index < 0 ? nullptr : m_dataSet->Fields(index);
}

void TFilterLine::SetVals(const std::vector<Variant>& vals)
{
    m_all = Trim(m_value) == "*";
    m_vals = vals;
    m_valTexts.clear();
    m_upper = upperCase(m_value);
    m_prepared = true;
}

void TFilterLine::splitWords(const std::string& upper)
{
    std::vector<std::string> words = SplitSearchWords(upper);
    if (words.size() > 1)
        m_words = std::move(words);
    m_vals[0] = Variant(upper);
}

void TFilterLine::PrepareVals()
{
    if (m_prepared)
        return;
    m_prepared = true;
    m_all = Trim(m_value) == "*";
    m_vals.assign(1, Variant::Null());
    m_valTexts.clear();
    m_words.clear();
    m_upper = upperCase(m_value);
    if (IsMulti()) {
        m_multiFields.clear();
        std::string names = m_owner ? m_owner->MultiFields() : std::string();
        std::size_t start = 0;
        while (start <= names.size()) {
            std::size_t end = names.find(';', start);
            if (end == std::string::npos)
                end = names.size();
            if (end > start && m_dataSet)
                if (TField* f = m_dataSet->FindField(names.substr(start, end - start)))
                    m_multiFields.push_back(f);
            start = end + 1;
        }
        splitWords(m_upper);
        return;
    }
    TField* field = GetField();
    if (!field)
        return;
    if (field->Lookup()) {
        TDataSet* lookup = field->LookupDataSet();
        if (!lookup)
            return;
        if (!lookup->Active())
            lookup->Open();
        TField* result = lookup->FieldByName(field->LookupResultField());
        TField* key = lookup->FieldByName(field->LookupKeyFields());
        std::vector<Variant> found;
        lookup->ScanRecords([&] {
            if (contains(upperCase(result->AsString()), m_upper))
                found.push_back(key->Value());
        });
        if (!found.empty())
            m_vals = std::move(found);
    } else if (field->DataType() == ftBoolean) {
        if (m_upper == "НЕТ"_w)
            m_vals[0] = Variant(false);
        else if (m_upper == "ДА"_w)
            m_vals[0] = Variant(true);
    } else if (isStringType(field->DataType())) {
        splitWords(m_upper);
    } else {
        m_vals[0] = Variant(m_upper);
    }
}

bool TFilterLine::MatchWords(const std::string& upperText) const
{
    return std::all_of(m_words.begin(), m_words.end(), [&](const std::string& w) { return contains(upperText, w); });
}

bool TFilterLine::IsAccept()
{
    PrepareVals();
    // "*" stands for anything, as the server statement has it.
    if (m_all)
        return true;
    if (m_vals.empty() || m_vals[0].IsNull())
        return false;
    if (IsMulti()) {
        m_text.clear();
        for (TField* f : m_multiFields) {
            m_text += f->DisplayText();
            m_text += ' ';
        }
        upperInPlace(m_text);
        return m_words.size() > 1 ? MatchWords(m_text) : contains(m_text, m_upper);
    }
    TField* field = TestedField();
    if (!field)
        return false;
    if (m_valTexts.size() != m_vals.size()) {
        m_valTexts.clear();
        for (const Variant& v : m_vals)
            m_valTexts.push_back(v.IsNullOrEmpty() ? std::string() : v.AsString());
    }
    if (isStringType(field->DataType()))
        return upperText(field, m_text) && acceptText();
    if (field->IsNull())
        return false;
    for (std::size_t i = 0; i < m_vals.size(); ++i)
        if (acceptSingle(field, i))
            return true;
    return false;
}

// The test of a string field's upper-cased text in m_text: every word, or one of the values.
bool TFilterLine::acceptText()
{
    if (m_words.size() > 1)
        return MatchWords(m_text);
    for (std::size_t i = 0; i < m_vals.size(); ++i)
        if (!m_vals[i].IsNullOrEmpty() && contains(m_text, m_valTexts[i]))
            return true;
    return false;
}

bool TFilterLine::acceptSingle(TField* field, std::size_t index)
{
    const Variant& val = m_vals[index];
    const TFieldType type = field->DataType();
    if (isDateType(type)) {
        m_text = field->DisplayText();
        upperInPlace(m_text);
        return !val.IsNullOrEmpty() && contains(m_text, m_valTexts[index]);
    }
    if (type == ftCurrency || type == ftBCD) {
        Currency typed;
        if (val.VarType() == TVarType::varString)
            return TryStrToCurr(m_valTexts[index], typed) && typed == field->AsCurrency();
        return !val.IsNullOrEmpty() && val.AsCurrency() == field->AsCurrency();
    }
    return val == field->Value();
}

} // namespace lm
