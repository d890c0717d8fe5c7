// The SQL builder's items in the textual component format: the saved report state, and a
// builder described in a host's form file.
#include <algorithm>
#include <array>

#include "filter/sqlbuilder.h"
#include "host/dataset.h"
#include "util/cp1251.h"
#include "util/dfmobject.h"

namespace lm::sqlbuilder {

namespace {

constexpr std::array<const char*, 4> kKinds = {"fikData", "fikLookup", "fikDateTime", "fikSumm"};
constexpr std::array<const char*, 3> kDetails = {"dtDateTime", "dtDate", "dtMonth"};
constexpr std::array<const char*, 3> kSorts = {"skNone", "skAsc", "skDesc"};
constexpr std::array<const char*, 2> kJoins = {"jkInner", "jkOuter"};

template <std::size_t N>
int enumValue(const TDfmValue& v, const std::array<const char*, N>& names)
{
    const std::string ident = upperCase(v.AsIdent());
    for (std::size_t i = 0; i < N; ++i)
        if (ident == upperCase(names[i]))
            return static_cast<int>(i);
    throw EParserError("Неверное значение свойства"_w + std::string(" ") + v.Str);
}

[[noreturn]] void unknownProperty(const std::string& name)
{
    throw EParserError("Свойство "_w + name + " не существует"_w);
}

void addString(std::vector<TDfmProperty>& props, const char* name, const std::string& value)
{
    if (!value.empty())
        props.push_back({name, TDfmValue::String(value)});
}

std::vector<TDfmProperty> fieldToDfm(const TFieldItem& f, bool designTime)
{
    std::vector<TDfmProperty> p;
    addString(p, "Category", f.Category);
    addString(p, "DisplayLabel", f.DisplayLabel);
    addString(p, "DisplayFormat", f.DisplayFormat);
    addString(p, "FieldName", f.FieldName());
    addString(p, "SQLName", f.SQLName());
    if (f.Kind != fikData)
        p.push_back({"Kind", TDfmValue::Ident(kKinds[f.Kind])});
    addString(p, "SelectSQL", f.SelectSQL);
    addString(p, "GroupBySQL", f.GroupBySQL);
    addString(p, "Table", f.Table());
    if (designTime && f.TableList().size() >= 2)
        p.push_back({"TableList.Strings", TDfmValue::StringList(f.TableList())});
    const std::string lookupName = f.LookupDataSet ? f.LookupDataSet->Name() : f.LookupDataSetName;
    if (!lookupName.empty())
        p.push_back({"LookupDataSet", TDfmValue::Ident(lookupName)});
    addString(p, "LookupKeyField", f.LookupKeyField);
    addString(p, "LookupResultField", f.LookupResultField);
    if (f.RoundSumTo != -1)
        p.push_back({"RoundSumTo", TDfmValue::Integer(f.RoundSumTo)});
    if (f.DisplayCategory)
        p.push_back({"DisplayCategory", TDfmValue::Boolean(true)});
    if (f.DateDetail != dtDateTime)
        p.push_back({"DateDetail", TDfmValue::Ident(kDetails[f.DateDetail])});
    if (f.SortKind != skNone)
        p.push_back({"SortKind", TDfmValue::Ident(kSorts[f.SortKind])});
    if (!designTime && !f.Filters().empty())
        p.push_back({"Filters.Strings", TDfmValue::StringList(f.Filters())});
    return p;
}

void fieldFromDfm(const std::vector<TDfmProperty>& props, TFieldItem& f)
{
    for (const TDfmProperty& p : props) {
        const std::string name = upperCase(p.Name);
        const TDfmValue& v = p.Value;
        if (name == "CATEGORY") f.Category = v.AsString();
        else if (name == "DISPLAYLABEL") f.DisplayLabel = v.AsString();
        else if (name == "DISPLAYFORMAT") f.DisplayFormat = v.AsString();
        else if (name == "FIELDNAME") f.SetFieldName(v.AsString());
        else if (name == "SQLNAME") f.SetSQLName(v.AsString());
        else if (name == "KIND") f.Kind = static_cast<TFieldItemKind>(enumValue(v, kKinds));
        else if (name == "SELECTSQL") f.SelectSQL = v.AsString();
        else if (name == "GROUPBYSQL") f.GroupBySQL = v.AsString();
        else if (name == "TABLE") f.SetTable(v.AsString());
        else if (name == "TABLELIST.STRINGS" || name == "TABLELIST") f.SetTableList(v.AsStrings());
        else if (name == "LOOKUPDATASET") f.LookupDataSetName = v.AsIdent();
        else if (name == "LOOKUPKEYFIELD") f.LookupKeyField = v.AsString();
        else if (name == "LOOKUPRESULTFIELD") f.LookupResultField = v.AsString();
        else if (name == "ROUNDSUMTO") f.RoundSumTo = static_cast<int>(std::clamp<int64_t>(v.AsInteger(), -128, 127));
        else if (name == "DISPLAYCATEGORY") f.DisplayCategory = v.AsBoolean();
        else if (name == "DATEDETAIL") f.DateDetail = static_cast<TDateDetail>(enumValue(v, kDetails));
        else if (name == "SORTKIND") f.SortKind = static_cast<TSortKind>(enumValue(v, kSorts));
        else if (name == "FILTERS.STRINGS" || name == "FILTERS") f.SetFilters(v.AsStrings());
        else unknownProperty(p.Name);
    }
}

void tableFromDfm(const std::vector<TDfmProperty>& props, TTableItem& t)
{
    for (const TDfmProperty& p : props) {
        const std::string name = upperCase(p.Name);
        if (name == "TABLENAME") t.SetTableName(p.Value.AsString());
        else if (name == "SQLNAME") t.SetSQLName(p.Value.AsString());
        else if (name == "PARENTTABLE") t.SetParentTable(p.Value.AsString());
        else if (name == "JOINKIND") t.SetJoinKind(static_cast<TJoinKind>(enumValue(p.Value, kJoins)));
        else if (name == "JOINSQL") t.SetJoinSQL(p.Value.AsString());
        else unknownProperty(p.Name);
    }
}

const std::vector<std::vector<TDfmProperty>>& collectionItems(const TDfmValue& v)
{
    if (v.Kind != TDfmValue::vkCollection)
        throw EParserError("Неверное значение свойства"_w);
    return v.Items;
}

} // namespace

TDfmObject StateToDfm(const TSQLBuilderState& state)
{
    TDfmObject o;
    o.Name = state.Name().empty() ? std::string("SQLBuilderState") : state.Name();
    o.ClassName = "TSQLBuilderState";
    TDfmValue fields;
    fields.Kind = TDfmValue::vkCollection;
    for (int i = 0; i < state.Fields.Count(); ++i)
        fields.Items.push_back(fieldToDfm(*state.Fields.Items(i), false));
    o.Properties.push_back({"Fields", fields});
    addString(o.Properties, "UserData", state.UserData);
    return o;
}

void StateFromDfm(const TDfmObject& object, TSQLBuilderState& state)
{
    if (upperCase(object.ClassName) != "TSQLBUILDERSTATE")
        throw EParserError("Ожидается объект TSQLBuilderState"_w);
    for (const TDfmProperty& p : object.Properties) {
        const std::string name = upperCase(p.Name);
        if (name == "FIELDS") {
            for (const auto& item : collectionItems(p.Value))
                fieldFromDfm(item, *state.Fields.Add());
        } else if (name == "USERDATA") {
            state.UserData = p.Value.AsString();
        } else {
            unknownProperty(p.Name);
        }
    }
}

void TSQLBuilder::LoadFromDfm(const TDfmObject& object)
{
    TTableCollection tables;
    TFieldCollection fields(this);
    std::string directory = m_directory;
    if (const TDfmValue* v = object.Find("Tables"))
        for (const auto& item : collectionItems(*v))
            tableFromDfm(item, *tables.Add());
    if (const TDfmValue* v = object.Find("Fields"))
        for (const auto& item : collectionItems(*v))
            fieldFromDfm(item, *fields.Add());
    if (const TDfmValue* v = object.Find("Directory"))
        directory = v->AsString();
    m_tables = std::move(tables);
    m_fields = std::move(fields);
    m_directory = directory;
    m_active.Clear();
    if (!object.Name.empty())
        SetName(object.Name);
}

} // namespace lm::sqlbuilder
