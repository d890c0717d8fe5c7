// Field value access, conversions and display texts of every field class.
#include "host/field.h"

#include <algorithm>
#include <cmath>

#include "host/dataset.h"
#include "util/cp1251.h"
#include "util/exceptions.h"

namespace lm {

namespace {

// Separates the key values in the lookup cache's keys; no field text uses this byte.
constexpr char kKeySeparator = '\x1F';

} // namespace

TField::TField(TComponent* owner) : TComponent(owner) {}

TField::TField(TComponent* owner, TFieldType type, TAlignment alignment)
    : TComponent(owner), m_dataType(type), m_alignment(alignment)
{
}

TField::~TField()
{
    if (m_dataSet)
        m_dataSet->removeField(this);
}

void TField::SetDataSet(TDataSet* dataSet)
{
    if (dataSet == m_dataSet)
        return;
    if ((m_dataSet && m_dataSet->Active()) || (dataSet && dataSet->Active()))
        throw Exception("Cannot perform this operation on an open dataset");
    if (m_dataSet)
        m_dataSet->removeField(this);
    m_dataSet = dataSet;
    if (m_dataSet)
        m_dataSet->addField(this);
}

int TField::Index() const
{
    if (!m_dataSet)
        return -1;
    const auto& fields = m_dataSet->m_fields;
    return static_cast<int>(std::find(fields.begin(), fields.end(), this) - fields.begin());
}

void TField::SetIndex(int index)
{
    if (!m_dataSet)
        return;
    auto& fields = m_dataSet->m_fields;
    const int from = Index();
    index = std::clamp(index, 0, static_cast<int>(fields.size()) - 1);
    if (index == from)
        return;
    fields.erase(fields.begin() + from);
    fields.insert(fields.begin() + index, this);
    m_dataSet->DataEvent(deLayoutChange);
}

void TField::SetVisible(bool visible)
{
    if (visible == m_visible)
        return;
    m_visible = visible;
    if (m_dataSet)
        m_dataSet->DataEvent(deLayoutChange);
}

void TField::SetAlignment(TAlignment alignment)
{
    if (alignment == m_alignment)
        return;
    m_alignment = alignment;
    if (m_dataSet)
        m_dataSet->DataEvent(deLayoutChange);
}

void TField::SetLookupDataSet(TDataSet* dataSet)
{
    if (ReplaceLink(m_lookupDataSet, dataSet))
        RefreshLookupList();
}

void TField::Notification(TComponent* component, TOperation operation)
{
    TComponent::Notification(component, operation);
    if (operation == opRemove && component == m_lookupDataSet) {
        m_lookupDataSet = nullptr;
        RefreshLookupList();
    }
}

bool TField::IsNull() const
{
    if (m_fieldKind == fkLookup)
        return lookupValue().IsNullOrEmpty();
    const TRecordStore* store = nullptr;
    TRecordStore::RecId rec = 0;
    if (!m_dataSet || m_column < 0 || !m_dataSet->ActiveRecord(store, rec))
        return true;
    return store->IsNull(m_column, rec);
}

Variant TField::Value() const
{
    if (m_fieldKind == fkLookup)
        return lookupValue();
    const TRecordStore* store = nullptr;
    TRecordStore::RecId rec = 0;
    if (!m_dataSet || m_column < 0 || !m_dataSet->ActiveRecord(store, rec) || store->IsNull(m_column, rec))
        return Variant::Null();
    return ReadStored(*store, m_column, rec);
}

// The lookup result of the current key values: Null when a key is null, the lookup dataset is
// missing or closed, or no lookup record carries the keys.
Variant TField::lookupValue() const
{
    if (!m_dataSet || !m_lookupDataSet || !m_lookupDataSet->Active() || m_keyFields.empty()
        || m_lookupKeyFields.empty() || m_lookupResultField.empty())
        return Variant::Null();
    std::vector<Variant> keys;
    std::string cacheKey;
    for (TField* keyField : m_dataSet->GetFieldList(m_keyFields)) {
        Variant v = keyField->Value();
        if (v.IsNullOrEmpty())
            return Variant::Null();
        if (m_lookupCache)
            cacheKey += v.AsString() + kKeySeparator;
        keys.push_back(std::move(v));
    }
    if (m_lookupCache) {
        const auto it = m_cache.find(cacheKey);
        if (it != m_cache.end())
            return it->second;
    }
    Variant result = m_lookupDataSet->Lookup(m_lookupKeyFields, keys, m_lookupResultField);
    if (m_lookupCache)
        m_cache.emplace(std::move(cacheKey), result);
    return result;
}

void TField::SetValue(const Variant& value)
{
    if (!m_dataSet)
        throw Exception(Format("Field '%s' has no dataset", {m_fieldName}));
    if (m_readOnly && m_dataSet->State() != dsCalcFields)
        throw Exception(Format("Field '%s' cannot be modified", {DisplayName()}));
    if (m_fieldKind == fkLookup) {
        // A lookup field is written through its key fields: the keys of the lookup record
        // whose result equals the value (null clears the keys).
        const std::vector<TField*> keyFields = m_dataSet->GetFieldList(m_keyFields);
        if (value.IsNullOrEmpty()) {
            for (TField* f : keyFields)
                f->Clear();
            return;
        }
        if (!m_lookupDataSet)
            throw Exception(Format("Field '%s' has no lookup dataset", {m_fieldName}));
        const std::vector<std::string> lookupKeys = [&] {
            std::vector<std::string> names;
            for (TField* f : m_lookupDataSet->GetFieldList(m_lookupKeyFields))
                names.push_back(f->FieldName());
            return names;
        }();
        if (lookupKeys.size() != keyFields.size())
            throw Exception(Format("Field '%s': KeyFields and LookupKeyFields differ in length", {m_fieldName}));
        for (std::size_t i = 0; i < keyFields.size(); ++i) {
            Variant key = m_lookupDataSet->Lookup(m_lookupResultField, {value}, lookupKeys[i]);
            if (key.IsNullOrEmpty())
                throw Exception(Format("Field '%s': no lookup record for '%s'", {m_fieldName, value.AsString()}));
            keyFields[i]->SetValue(key);
        }
        return;
    }
    TRecordStore* store = nullptr;
    TRecordStore::RecId rec = 0;
    if (!m_dataSet->writableRecord(store, rec, this))
        throw Exception("Dataset not in edit or insert mode");
    if (value.IsNullOrEmpty())
        store->SetNull(m_column, rec);
    else
        WriteStored(*store, m_column, rec, value);
    m_dataSet->fieldChanged(this);
}

std::string TField::AsString() const
{
    Variant v = Value();
    return v.IsNullOrEmpty() ? std::string() : ValueText(v);
}

void TField::SetAsString(const std::string& text)
{
    const bool textType = m_dataType == ftString || m_dataType == ftFixedChar || m_dataType == ftMemo
        || m_dataType == ftBlob;
    if (text.empty() && !textType)
        Clear();
    else
        SetValue(Variant(text));
}

int TField::AsInteger() const
{
    const Variant v = Value();
    return v.IsNullOrEmpty() ? 0 : v.AsInteger();
}

int64_t TField::AsLargeInt() const
{
    const Variant v = Value();
    return v.IsNullOrEmpty() ? 0 : v.AsInt64();
}

double TField::AsFloat() const
{
    const Variant v = Value();
    return v.IsNullOrEmpty() ? 0.0 : v.AsFloat();
}

Currency TField::AsCurrency() const
{
    const Variant v = Value();
    return v.IsNullOrEmpty() ? Currency() : v.AsCurrency();
}

TDateTime TField::AsDateTime() const
{
    const Variant v = Value();
    return v.IsNullOrEmpty() ? 0.0 : v.AsDateTime();
}

bool TField::AsBoolean() const
{
    const Variant v = Value();
    return v.IsNullOrEmpty() ? false : v.AsBoolean();
}

bool TField::CanModify() const
{
    if (m_readOnly || !m_dataSet || !m_dataSet->CanModify())
        return false;
    switch (m_fieldKind) {
    case fkData: return true;
    case fkCalculated: return m_dataSet->State() == dsCalcFields;
    case fkLookup:
        for (TField* f : m_dataSet->GetFieldList(m_keyFields))
            if (!f->CanModify())
                return false;
        return !m_keyFields.empty();
    }
    return false;
}

void TField::FocusControl()
{
    if (m_dataSet)
        m_dataSet->DataEvent(deFocusControl, reinterpret_cast<intptr_t>(this));
}

std::string TField::textOf(bool displayText) const
{
    if (OnGetText) {
        std::string text;
        OnGetText(const_cast<TField*>(this), text, displayText);
        return text;
    }
    const Variant v = Value();
    return v.IsNullOrEmpty() ? std::string() : GetText(v, displayText);
}

std::string TField::GetText(const Variant& value, bool displayText) const
{
    (void)displayText;
    return ValueText(value);
}

void TField::SetText(const std::string& text)
{
    if (OnSetText)
        OnSetText(this, text);
    else
        SetAsString(text);
}

// --- TStringField ---------------------------------------------------------------------------

TStringField::TStringField(TComponent* owner, TFieldType type) : TField(owner, type, taLeftJustify)
{
    SetSize(20);
}

Variant TStringField::ReadStored(const TRecordStore& store, int col, TRecordStore::RecId rec) const
{
    return Variant(std::string(store.GetString(col, rec)));
}

void TStringField::WriteStored(TRecordStore& store, int col, TRecordStore::RecId rec, const Variant& value) const
{
    store.SetString(col, rec, value.AsString());
}

// --- numeric fields ---------------------------------------------------------------------------

TNumericField::TNumericField(TComponent* owner, TFieldType type) : TField(owner, type, taRightJustify) {}

std::string TNumericField::GetText(const Variant& value, bool displayText) const
{
    const std::string& format = displayText ? m_displayFormat : m_editFormat;
    return format.empty() ? ValueText(value) : FormatFloat(format, value.AsFloat());
}

std::string TFractionalField::GetText(const Variant& value, bool displayText) const
{
    if (m_currency && displayText && DisplayFormat().empty())
        return FormatFloat(",0.00", value.AsFloat()) + " " + FormatSettings.CurrencyString;
    return TNumericField::GetText(value, displayText);
}

Variant TIntegerField::ReadStored(const TRecordStore& store, int col, TRecordStore::RecId rec) const
{
    return Variant(static_cast<int>(store.GetInt(col, rec)));
}

void TIntegerField::WriteStored(TRecordStore& store, int col, TRecordStore::RecId rec, const Variant& value) const
{
    store.SetInt(col, rec, value.AsInteger());
}

void TSmallintField::WriteStored(TRecordStore& store, int col, TRecordStore::RecId rec, const Variant& value) const
{
    const int n = value.AsInteger();
    if (n < -32768 || n > 32767)
        throw Exception(Format("%d is not a valid value for field '%s'. The allowed range is %d to %d",
                               {n, DisplayName(), -32768, 32767}));
    store.SetInt(col, rec, n);
}

Variant TLargeintField::ReadStored(const TRecordStore& store, int col, TRecordStore::RecId rec) const
{
    return Variant(static_cast<int64_t>(store.GetInt(col, rec)));
}

void TLargeintField::WriteStored(TRecordStore& store, int col, TRecordStore::RecId rec, const Variant& value) const
{
    store.SetInt(col, rec, value.AsInt64());
}

Variant TFloatField::ReadStored(const TRecordStore& store, int col, TRecordStore::RecId rec) const
{
    return Variant(store.GetFloat(col, rec));
}

void TFloatField::WriteStored(TRecordStore& store, int col, TRecordStore::RecId rec, const Variant& value) const
{
    store.SetFloat(col, rec, value.AsFloat());
}

TCurrencyField::TCurrencyField(TComponent* owner) : TFloatField(owner, ftCurrency)
{
    SetCurrency(true);
}

TBCDField::TBCDField(TComponent* owner) : TFractionalField(owner, ftBCD, 18)
{
    SetSize(4);
}

Variant TBCDField::ReadStored(const TRecordStore& store, int col, TRecordStore::RecId rec) const
{
    return Variant(Currency::FromRaw(store.GetInt(col, rec)));
}

// Rounds to Size() decimals (halves away from zero), as the column keeps them.
void TBCDField::WriteStored(TRecordStore& store, int col, TRecordStore::RecId rec, const Variant& value) const
{
    int64_t raw = value.AsCurrency().Raw();
    const int decimals = std::clamp(Size(), 0, 4);
    int64_t step = 1;
    for (int i = decimals; i < 4; ++i)
        step *= 10;
    if (step > 1) {
        const int64_t half = step / 2;
        raw = raw >= 0 ? (raw + half) / step * step : -((-raw + half) / step * step);
    }
    store.SetInt(col, rec, raw);
}

// --- date and time fields -------------------------------------------------------------------

TDateTimeField::TDateTimeField(TComponent* owner, TFieldType type) : TField(owner, type, taLeftJustify) {}

Variant TDateTimeField::ReadStored(const TRecordStore& store, int col, TRecordStore::RecId rec) const
{
    return Variant::FromDate(store.GetFloat(col, rec));
}

// A date field keeps only the day, a time field only the time of day.
void TDateTimeField::WriteStored(TRecordStore& store, int col, TRecordStore::RecId rec, const Variant& value) const
{
    double dt = value.AsDateTime();
    if (DataType() == ftDate)
        dt = std::trunc(dt);
    else if (DataType() == ftTime)
        dt = std::fabs(dt - std::trunc(dt));
    store.SetFloat(col, rec, dt);
}

std::string TDateTimeField::ValueText(const Variant& value) const
{
    const TDateTime dt = value.AsDateTime();
    switch (DataType()) {
    case ftDate: return DateToStr(dt);
    case ftTime: return TimeToStr(dt);
    default: return DateTimeToStr(dt);
    }
}

std::string TDateTimeField::GetText(const Variant& value, bool displayText) const
{
    if (displayText && !m_displayFormat.empty())
        return FormatDateTime(m_displayFormat, value.AsDateTime());
    return ValueText(value);
}

// --- boolean and blob fields ----------------------------------------------------------------

TBooleanField::TBooleanField(TComponent* owner) : TField(owner, ftBoolean, taLeftJustify) {}

void TBooleanField::SetDisplayValues(const std::string& values)
{
    const std::size_t semi = values.find(';');
    if (semi == std::string::npos)
        throw Exception(Format("Invalid format for DisplayValues: '%s'", {values}));
    m_displayValues = values;
    m_true = values.substr(0, semi);
    m_false = values.substr(semi + 1);
}

Variant TBooleanField::ReadStored(const TRecordStore& store, int col, TRecordStore::RecId rec) const
{
    return Variant(store.GetInt(col, rec) != 0);
}

void TBooleanField::WriteStored(TRecordStore& store, int col, TRecordStore::RecId rec, const Variant& value) const
{
    if (value.VarType() == TVarType::varString) {
        const std::string text = upperCase(Trim(value.AsString()));
        if (!m_true.empty() && text == upperCase(m_true)) {
            store.SetInt(col, rec, 1);
            return;
        }
        if (!m_false.empty() && text == upperCase(m_false)) {
            store.SetInt(col, rec, 0);
            return;
        }
    }
    store.SetInt(col, rec, value.AsBoolean() ? 1 : 0);
}

int TBooleanField::DefaultWidth() const
{
    return static_cast<int>(std::max(m_true.size(), m_false.size()));
}

Variant TBlobField::ReadStored(const TRecordStore& store, int col, TRecordStore::RecId rec) const
{
    return Variant(std::string(store.GetString(col, rec)));
}

void TBlobField::WriteStored(TRecordStore& store, int col, TRecordStore::RecId rec, const Variant& value) const
{
    store.SetString(col, rec, value.AsString());
}

std::string TBlobField::GetText(const Variant& value, bool displayText) const
{
    if (DataType() == ftMemo && !displayText)
        return ValueText(value);
    return DataType() == ftMemo ? "(MEMO)" : "(BLOB)";
}

// --- factories ------------------------------------------------------------------------------

TField* CreateField(TFieldType type, TComponent* owner)
{
    switch (type) {
    case ftString:
    case ftFixedChar: return new TStringField(owner, type);
    case ftSmallint: return new TSmallintField(owner);
    case ftInteger: return new TIntegerField(owner);
    case ftLargeint: return new TLargeintField(owner);
    case ftBoolean: return new TBooleanField(owner);
    case ftFloat: return new TFloatField(owner);
    case ftCurrency: return new TCurrencyField(owner);
    case ftBCD: return new TBCDField(owner);
    case ftDate: return new TDateField(owner);
    case ftTime: return new TTimeField(owner);
    case ftDateTime: return new TDateTimeField(owner);
    case ftBlob: return new TBlobField(owner);
    case ftMemo: return new TMemoField(owner);
    case ftUnknown: break;
    }
    throw Exception("Field type not supported");
}

bool IsNumericType(TFieldType type)
{
    switch (type) {
    case ftSmallint:
    case ftInteger:
    case ftLargeint:
    case ftFloat:
    case ftCurrency:
    case ftBCD: return true;
    default: return false;
    }
}

} // namespace lm
