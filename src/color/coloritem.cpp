// The colour rules: comparisons, value conversion by field type, storage of one rule, the
// event and formula rules, and the rule list.
#include "color/coloritem.h"

#include <typeinfo>

#include "color/colorgrid.h"
#include "color/lmcolors.h"
#include "host/dataset.h"
#include "host/field.h"
#include "host/registry.h"
#include "util/cp1251.h"
#include "util/strings.h"
#include "util/sysutils.h"

namespace lm {

bool StrToBoolean(const std::string& s)
{
    const std::string up = upperCase(s);
    if (up == "1" || up == "ДА"_w || up == "TRUE")
        return true;
    if (up == "0" || up == "НЕТ"_w || up == "FALSE")
        return false;
    throw Exception(Format("Ошибка преобразования строки %s к типу boolean"_w, {s}));
}

std::string BooleanToStr(bool b)
{
    return b ? "Да"_w : "Нет"_w;
}

// ---- TColorItem ----

TColorItem::TColorItem(TColorGrid* grid, int type, std::string id, std::string caption)
    : m_grid(grid), m_type(type), m_id(std::move(id)), m_caption(std::move(caption))
{
}

TColorItem::TColorItem(TColorItem& source)
    : m_grid(source.m_grid), m_fontColor(source.m_fontColor), m_backColor(source.m_backColor),
      m_type(source.m_type), m_id(source.m_id), m_caption(source.GetCaption()),
      m_value(source.GetValue())
{
    SetOperator(source.m_operator);
}

std::unique_ptr<TColorItem> TColorItem::Clone()
{
    return std::unique_ptr<TColorItem>(new TColorItem(*this));
}

void TColorItem::SetFontColor(TColor color)
{
    if (ColorIndex(color) < 0)
        throw Exception("TColorItem.SetFontColor: Значение цвета отсутствует в списке."_w);
    m_fontColor = color;
}

void TColorItem::SetBackColor(TColor color)
{
    if (ColorIndex(color) < 0)
        throw Exception("TColorItem.SetBackColor: Значение цвета отсутствует в списке."_w);
    m_backColor = color;
}

bool TColorItem::IsTrue()
{
    return ConditionIsTrue(GetCurrentValue());
}

std::string TColorItem::GetAsString()
{
    const Variant v = GetValue();
    return v.IsNullOrEmpty() ? std::string() : v.AsString();
}

void TColorItem::SetDefValues()
{
    SetOperator("=");
    m_value = Variant::Null();
}

void TColorItem::SaveItem(TRegistry& reg)
{
    reg.WriteInteger("Type", m_type);
    reg.WriteString("ID", m_id);
    reg.WriteString("Operator", m_operator);
    reg.WriteString("Value", GetAsString());
    reg.WriteInteger("FontColor", m_fontColor);
    reg.WriteInteger("BackColor", m_backColor);
}

void TColorItem::LoadItem(TRegistry& reg)
{
    SetValues(reg.ReadString("Operator"), reg.ReadString("Value"));
    // a colour is taken only when it is one of the table's; a value of the wrong kind is ignored
    auto storedColor = [&](const char* name, TColor& target) {
        if (!reg.ValueExists(name))
            return;
        try {
            const TColor c = reg.ReadInteger(name);
            if (ColorIndex(c) >= 0)
                target = c;
        } catch (const ERegistryException&) {
        }
    };
    storedColor("FontColor", m_fontColor);
    storedColor("BackColor", m_backColor);
}

std::string TColorItem::GetCaption()
{
    return m_caption;
}

Variant TColorItem::GetValue()
{
    return m_value;
}

void TColorItem::FillPickList(TStrings& strings)
{
    strings.Clear();
}

void TColorItem::SetValues(const std::string& op, const std::string& value)
{
    SetOperator(op);
    m_value = value.empty() ? Variant::Null() : Variant(value);
}

Variant TColorItem::GetCurrentValue()
{
    return Variant::Null();
}

// The operator is read once when it is set, not at every record.
void TColorItem::SetOperator(const std::string& op)
{
    static const std::pair<std::string, TOp> codes[] = {
        {"ПУСТО"_w, TOp::opEmpty}, {"НЕ ПУСТО"_w, TOp::opNotEmpty}, {"=", TOp::opEq}, {"<>", TOp::opNe},
        {">", TOp::opGt}, {"<", TOp::opLt}, {">=", TOp::opGe}, {"<=", TOp::opLe}};
    m_operator = op;
    const std::string up = upperCase(op);
    m_opCode = TOp::opNone;
    for (const auto& [text, code] : codes)
        if (up == text)
            m_opCode = code;
}

bool TColorItem::ConditionIsTrue(const Variant& current)
{
    try {
        const TOp op = m_opCode;
        if (current.IsNullOrEmpty())
            return op == TOp::opEmpty;
        if (op == TOp::opNotEmpty)
            return true;
        if (op == TOp::opNone || op == TOp::opEmpty)
            return false;
        const Variant v = GetValue();
        if (v.IsNullOrEmpty())
            return false;
        const int c = current.Compare(v);
        switch (op) {
        case TOp::opEq: return c == 0;
        case TOp::opNe: return c != 0;
        case TOp::opGt: return c > 0;
        case TOp::opLt: return c < 0;
        case TOp::opGe: return c >= 0;
        default: return c <= 0;
        }
    } catch (const std::exception&) {
    }
    return false;
}

bool TColorItem::ItemEqual(TColorItem& other)
{
    try {
        return typeid(*this) == typeid(other) && m_type == other.m_type && upperCase(m_id) == upperCase(other.m_id) &&
               m_operator == other.m_operator && m_fontColor == other.m_fontColor &&
               m_backColor == other.m_backColor && GetValue() == other.GetValue();
    } catch (const std::exception&) {
        return false;
    }
}

// ---- TFieldItem ----

TFieldItem::TFieldItem(TColorGrid* grid, int type, std::string id, std::string caption)
    : TColorItem(grid, type, std::move(id), std::move(caption))
{
}

TFieldItem::TFieldItem(TColorGrid* grid, const std::string& fieldName, const Variant& value, const std::string& op)
    : TColorItem(grid, citField, fieldName, std::string())
{
    m_value = value;
    SetOperator(op);
    if (TField* f = field())
        m_caption = f->DisplayLabel();
}

TFieldItem::TFieldItem(TFieldItem& source) : TColorItem(source), m_pending(source.m_pending) {}

std::unique_ptr<TColorItem> TFieldItem::Clone()
{
    return std::unique_ptr<TColorItem>(new TFieldItem(*this));
}

TField* TFieldItem::field() const
{
    TDataSet* ds = m_grid ? m_grid->DataSet() : nullptr;
    if (!ds)
        return nullptr;
    // the field found last time is checked first, so colouring a record costs no name search
    if (m_fieldIndex >= 0 && m_fieldIndex < ds->FieldCount()) {
        TField* f = ds->Fields(m_fieldIndex);
        if (f->FieldName() == m_id)
            return f;
    }
    TField* f = ds->FindField(m_id);
    m_fieldIndex = f ? f->Index() : -1;
    return f;
}

Variant TFieldItem::GetCurrentValue()
{
    TDataSet* ds = m_grid ? m_grid->DataSet() : nullptr;
    if (!ds || !ds->Active() || ds->IsEmpty())
        return Variant::Null();
    TField* f = field();
    return f ? f->Value() : Variant::Null();
}

bool TFieldItem::IsTrue()
{
    return ConditionIsTrue(GetCurrentValue());
}

void TFieldItem::SetValues(const std::string& op, const std::string& text)
{
    m_value = Variant::Null();
    SetOperator(op);
    m_pending = text;
    if (text.empty())
        return;
    TDataSet* ds = m_grid ? m_grid->DataSet() : nullptr;
    if (!ds || ds->FieldCount() == 0)
        return;  // converted on first use, once the dataset has its fields
    m_pending.clear();
    TField* f = field();
    try {
        switch (f ? f->DataType() : ftString) {
        case ftSmallint:
        case ftInteger: m_value = Variant(StrToInt(text)); break;
        case ftLargeint: m_value = Variant(StrToInt64(text)); break;
        case ftBoolean: m_value = Variant(StrToBoolean(text)); break;
        case ftFloat: m_value = Variant(StrToFloat(text)); break;
        case ftCurrency:
        case ftBCD: m_value = Variant(StrToCurr(text)); break;
        case ftDate: m_value = Variant::FromDate(StrToDate(text)); break;
        // a date-time value is saved with its time of day, so it is read back with it
        case ftDateTime: m_value = Variant::FromDate(StrToDateTime(text)); break;
        default: m_value = Variant(text); break;
        }
    } catch (const Exception&) {
        m_value = Variant::Null();
    }
}

Variant TFieldItem::GetValue()
{
    if (m_value.IsNull() && !m_pending.empty()) {
        const std::string pending = m_pending;  // SetValues clears the member it would read
        SetValues(Operator(), pending);
    }
    return m_value;
}

void TFieldItem::SetDefValues()
{
    SetOperator("=");
    m_value = Variant::Null();
    m_pending.clear();
    if (TField* f = field(); f && f->DataType() == ftBoolean)
        m_value = Variant(true);
}

std::string TFieldItem::GetAsString()
{
    const Variant v = GetValue();
    if (v.IsNullOrEmpty())
        return m_pending;  // a value that could not convert yet is kept as it was stored
    if (TField* f = field(); f && f->DataType() == ftBoolean)
        return BooleanToStr(v.AsBoolean());
    return v.AsString();
}

std::string TFieldItem::GetCaption()
{
    if (m_caption.empty() && m_grid && m_grid->DataSet())
        if (TField* f = field())
            m_caption = f->DisplayLabel();
    return m_caption;
}

void TFieldItem::FillPickList(TStrings& strings)
{
    strings.Clear();
    TField* f = field();
    if (!f)
        return;
    if (f->DataType() == ftBoolean) {
        strings.Add("Да"_w);
        strings.Add("Нет"_w);
        return;
    }
    TDataSet* lookup = f->Lookup() ? f->LookupDataSet() : nullptr;
    if (!lookup || !lookup->Active())
        return;
    TField* result = lookup->FindField(f->LookupResultField());
    if (!result)
        return;
    const TBookmark where = lookup->GetBookmark();
    for (lookup->First(); !lookup->Eof(); lookup->Next())
        strings.Add(result->DisplayText());
    if (lookup->BookmarkValid(where))
        lookup->GotoBookmark(where);
}

// ---- TEventItem ----

TEventItem::TEventItem(TColorGrid* grid, std::string id, std::string caption)
    : TColorItem(grid, citEvent, std::move(id), std::move(caption))
{
    SetDefValues();
}

std::unique_ptr<TColorItem> TEventItem::Clone()
{
    return std::unique_ptr<TColorItem>(new TEventItem(*this));
}

bool TEventItem::IsTrue()
{
    TDataSet* ds = m_grid ? m_grid->DataSet() : nullptr;
    if (!ds || !ds->Active() || ds->IsEmpty() || !m_grid->OnEventItem)
        return false;
    bool isTrue = false;
    m_grid->OnEventItem(m_grid, m_id, isTrue);
    return isTrue;
}

std::string TEventItem::GetAsString()
{
    return "Да"_w;
}

void TEventItem::SetDefValues()
{
    SetOperator("=");
    m_value = Variant(true);
}

void TEventItem::SetValues(const std::string&, const std::string&)
{
    SetDefValues();
}

Variant TEventItem::GetCurrentValue()
{
    return Variant(IsTrue());
}

// ---- TExprItem ----

TExprItem::TExprItem(TColorGrid* grid, int type, std::string id, std::string caption)
    : TColorItem(grid, type, std::move(id), std::move(caption))
{
}

TExprItem::~TExprItem() = default;

std::unique_ptr<TColorItem> TExprItem::Clone()
{
    return std::unique_ptr<TColorItem>(new TExprItem(*this));
}

std::string TExprItem::ProgramText(const std::string& formula)
{
    return "function Expr_IsTrue: boolean;\r\nbegin\r\n  Result := " + formula + ";\r\nend;\r\nbegin\r\nend.";
}

void TExprItem::SetValues(const std::string& op, const std::string& value)
{
    TColorItem::SetValues(op, value);
    m_function = nullptr;
}

bool TExprItem::IsTrue()
{
    try {
        if (!m_function) {
            const std::string formula = GetAsString();
            if (formula.empty())
                return false;
            if (!m_script)
                m_script = m_grid->CreateScript();
            m_script->SetText(ProgramText(formula));
            if (!m_script->Compile())
                return false;  // tried again at the next evaluation
            m_function = m_script->FindRoutine("Expr_IsTrue");
            if (!m_function)
                return false;
        }
        return m_script->Call(m_function).AsBoolean();
    } catch (const std::exception&) {
        return false;
    }
}

// ---- TColorItemList ----

TColorItem* TColorItemList::Add(std::unique_ptr<TColorItem> item)
{
    m_items.push_back(std::move(item));
    return m_items.back().get();
}

TColorItem* TColorItemList::FindItem(int type, const std::string& id) const
{
    const std::string up = upperCase(id);
    for (const auto& item : m_items)
        if (item->Type() == type && upperCase(item->ID()) == up)
            return item.get();
    return nullptr;
}

void TColorItemList::Assign(const TColorItemList& source)
{
    if (&source == this)
        return;
    std::vector<std::unique_ptr<TColorItem>> copies;
    copies.reserve(source.m_items.size());
    for (const auto& item : source.m_items)
        copies.push_back(item->Clone());
    m_items = std::move(copies);
}

bool TColorItemList::ListEqual(const TColorItemList& other) const
{
    if (Count() != other.Count())
        return false;
    for (int i = 0; i < Count(); ++i)
        if (!GetItem(i)->ItemEqual(*other.GetItem(i)))
            return false;
    return true;
}

std::unique_ptr<TColorItem> TColorItemList::Extract(int index)
{
    auto it = m_items.begin() + index;
    std::unique_ptr<TColorItem> item = std::move(*it);
    m_items.erase(it);
    return item;
}

void TColorItemList::Delete(int index)
{
    m_items.erase(m_items.begin() + index);
}

} // namespace lm
