// The two import functions: row detection, column mapping, the per-kind record layouts.
#include "export/excelimport.h"

#include <algorithm>
#include <array>
#include <map>
#include <set>

#include "export/sheetreader.h"
#include "host/dataset.h"
#include "util/cp1251.h"
#include "util/exceptions.h"

namespace lm {

namespace {

// The positions (1-based) of the appended record of every logical name, and the names each
// kind reads.
struct ItemPosition {
    const char* Name;
    int Position;
    bool Numeric;  // stored as text with a decimal comma
};

constexpr ItemPosition kItems[] = {
    {"MED_ID", 1, false}, {"PRICE_VAL", 2, false}, {"MED_NAME", 3, false}, {"VENDOR_NAME", 4, false},
    {"COUNTRY_NAME", 5, false}, {"FLOATQTTY", 6, true}, {"VPRICE", 7, true}, {"SUM_MARGA", 7, true},
    {"SPRICE", 8, true}, {"SUM_PLAN", 8, true}, {"NDS", 9, false}, {"SNDSSUM", 10, true},
    {"AVERAGE_CHECK_PLAN", 10, true}, {"SERIA", 11, false}, {"VALID_DATE", 12, false}, {"DATA_SMEN", 12, false},
    {"GTD", 13, false}, {"SERT_NUM", 14, false}, {"AKCIZE", 15, true}, {"VENDORBARCODE", 16, false},
    {"EXTBARCODE", 16, false}, {"DIVISOR", 17, false}, {"RPRICE", 18, true}, {"REFPRICE", 18, true},
    {"LPRICE", 19, true}, {"OPRICE", 20, true}, {"ALT_IID", 21, false}, {"REG_SERT_NUM", 22, false},
    {"REG_PRICE", 23, true}, {"REG_PRICE_CUR", 24, true}, {"REG_CURRENCY", 25, false}, {"ISGV", 26, false},
    {"DISCOUNT", 27, true}, {"PMINSTOCK", 28, false}, {"QPLAN", 29, false}, {"BONUSMEM", 30, false},
    {"MESS", 31, false}, {"DATA_ITEM_MONTH", 32, false}, {"DEP_ID", 33, false}, {"QTTY_POS", 34, false},
    {"COUNT_CHECK", 35, false}, {"SUM_SALLSUM", 36, false}, {"SUM_ASUM", 37, false},
    {"DATA_ITEM_WEEKENDS", 38, false}, {"NODE_ID", 39, false}, {"PLAN_VAL", 40, false}, {"EXT_CODE", 41, false},
    {"EMPLOYEE_ID", 0, false},
};

const std::vector<std::vector<std::string>> kKindNames = {
    {"MED_ID", "MED_NAME", "VENDOR_NAME", "COUNTRY_NAME", "FLOATQTTY", "VPRICE", "SPRICE", "NDS", "SNDSSUM", "SERIA",
     "VALID_DATE", "GTD", "SERT_NUM", "AKCIZE", "VENDORBARCODE", "DIVISOR", "RPRICE", "LPRICE", "OPRICE", "ALT_IID",
     "REG_SERT_NUM", "REG_PRICE", "REG_PRICE_CUR", "REG_CURRENCY", "ISGV"},
    {"MED_ID", "PRICE_VAL"},
    {"MED_ID", "MED_NAME", "VENDOR_NAME", "COUNTRY_NAME", "DISCOUNT", "PMINSTOCK", "REFPRICE", "QPLAN", "BONUSMEM", "MESS",
     "EXTBARCODE", "EXT_CODE"},
    {"DATA_ITEM_MONTH", "DEP_ID", "QTTY_POS", "COUNT_CHECK", "SUM_SALLSUM", "SUM_ASUM", "DATA_ITEM_WEEKENDS"},
    {"NODE_ID", "PLAN_VAL"},
    {"MED_ID", "PROP"},
    {"NODE_ID", "SUM_PLAN", "SUM_MARGA", "AVERAGE_CHECK_PLAN", "EMPLOYEE_ID", "DATA_SMEN"},
};

// How many positions each kind sends (kind 1 sends two values of its own, kind 6 none).
constexpr std::array<int, 7> kKindWidth = {26, 2, 41, 38, 40, 43, 0};

const ItemPosition* itemOf(const std::string& name)
{
    for (const ItemPosition& item : kItems)
        if (name == item.Name)
            return &item;
    return nullptr;
}

// The chosen sheet of an opened file, and the error wrapping of the row loop.
class SheetSource {
public:
    SheetSource(const std::string& fileName, int sheetIndex) : m_file(TSheetFile::Open(fileName))
    {
        const int index = sheetIndex > 0 ? sheetIndex - 1 : m_file->ActiveSheet();
        if (index >= m_file->SheetCount())
            throw Exception(Format("Лист %d не найден в файле %s"_w, {sheetIndex, fileName}));
        m_sheet = &m_file->Sheet(index);
    }
    // The text and value of a 1-based cell.
    std::string Text(int row, int col) const
    {
        const TReadCell* cell = m_sheet->Cell(row - 1, col - 1);
        return cell ? cell->Text : std::string();
    }
    Variant Value(int row, int col) const
    {
        const TReadCell* cell = m_sheet->Cell(row - 1, col - 1);
        return cell ? cell->Value : Variant();
    }
    // The rows from startRow while the key column shows text; raises for an empty start cell.
    int CountRows(int startRow, int keyCol) const
    {
        if (startRow < 1 || keyCol < 1 || Text(startRow, keyCol).empty())
            throw Exception(Format("Стартовая ячейка [%d, %d] содержит пустое значение"_w, {startRow, keyCol}));
        int n = 0;
        while (startRow + n <= kMaxSheetRows && !Text(startRow + n, keyCol).empty())
            ++n;
        return n;
    }

private:
    std::unique_ptr<TSheetFile> m_file;
    const TReadSheet* m_sheet = nullptr;
};

// Runs the row loop; any error gets the file and the current row in front of its message.
template <typename F>
void withRowContext(const std::string& fileName, int& currentRow, F body)
{
    try {
        body();
    } catch (Exception& e) {
        e.SetMessage(Format("Ошибка разбора файла %s строка %d:\r\n%s"_w, {fileName, currentRow, e.Message()}));
        throw;
    }
}

// A numeric item's value as text with a decimal comma.
Variant commaText(const Variant& value)
{
    if (value.IsNullOrEmpty())
        return value;
    std::string s = value.VarType() == TVarType::varString ? value.AsString() : FloatToStr(value.AsFloat());
    std::replace(s.begin(), s.end(), '.', ',');
    return Variant(s);
}

} // namespace

void ExcelToDataSet(const std::string& FileName, TDataSet* DataSet, int StartRow, int KeyCol,
                    const TImportProgressEvent& OnProgress, int SheetIndex)
{
    const SheetSource source(FileName, SheetIndex);
    int row = StartRow;
    withRowContext(FileName, row, [&] {
        const int n = source.CountRows(StartRow, KeyCol);
        if (!DataSet->Active())
            DataSet->Open();
        for (int i = 0; i < n; ++i) {
            row = StartRow + i;
            DataSet->Append();
            for (int f = 0; f < DataSet->FieldCount(); ++f) {
                TField* field = DataSet->Fields(f);
                if (field->Tag() <= 0)
                    continue;
                const Variant value = source.Value(row, field->Tag());
                field->SetValue(value.IsEmpty() ? Variant::Null() : value);
                if (dynamic_cast<TStringField*>(field))
                    field->SetAsString(Trim(field->AsString()));
            }
            if (OnProgress)
                OnProgress(n, i);
            if (DataSet->State() != dsBrowse)
                DataSet->Post();
        }
    });
}

void ExcelToDocs(const std::string& FileName, TDataSet* MapDataSet, TDataSet* TargetDataSet, int StartRow, int KeyCol,
                 const TImportProgressEvent&, int SheetIndex, uint8_t Kind)
{
    if (Kind > 6)
        return;
    const std::vector<std::string>& names = kKindNames[Kind];
    const SheetSource source(FileName, SheetIndex);
    int row = StartRow;
    withRowContext(FileName, row, [&] {
        std::map<std::string, int> columns;  // logical name -> sheet column
        std::vector<std::pair<std::string, int>> props;  // kind 5: property code, column
        for (MapDataSet->First(); !MapDataSet->Eof(); MapDataSet->Next()) {
            const std::string name = MapDataSet->FieldByName("FNAME")->AsString();
            const int col = MapDataSet->FieldByName("COL")->AsInteger();
            if (Kind == 5 && name.find("PROP") != std::string::npos && col > 0)
                props.emplace_back(name.size() > 4 ? name.substr(4, 10) : std::string(), col);
            if (std::find(names.begin(), names.end(), name) == names.end())
                continue;
            if (Kind == 6 && col <= 0) {
                const TField* label = MapDataSet->FindField("FLABEL");
                const std::string text = name == "SUM_MARGA" || !label ? name : label->AsString();
                throw Exception(Format("Недопустимое значение : '%s'"_w, {text}));
            }
            columns[name] = col;
        }
        if (Kind == 6)
            for (const std::string& name : names)
                if (columns.find(name) == columns.end())
                    throw Exception(Format("Недопустимое значение : '%s'"_w, {name}));
        if (Kind == 5 && columns["MED_ID"] <= 0)
            return;

        const int n = source.CountRows(StartRow, KeyCol);
        if (!TargetDataSet->Active())
            TargetDataSet->Open();
        std::set<std::string> seen;  // kind 1: MED_ID texts already imported
        for (int i = 0; i < n; ++i) {
            row = StartRow + i;
            std::vector<Variant> values(43, Variant::Null());
            for (const auto& [name, col] : columns) {
                const ItemPosition* item = itemOf(name);
                if (!item || item->Position == 0 || col <= 0)
                    continue;
                const Variant v = source.Value(row, col);
                values[static_cast<size_t>(item->Position - 1)] = v.IsEmpty() ? Variant::Null() : item->Numeric ? commaText(v) : v;
            }
            if (Kind == 1) {
                const std::string key = values[0].AsString();
                if (seen.insert(key).second)
                    TargetDataSet->AppendRecord({values[0], values[1]});
            } else if (Kind == 5) {
                for (const auto& [code, col] : props) {
                    std::vector<Variant> record(values.begin(), values.begin() + 1);
                    record.resize(41, Variant::Null());
                    record.push_back(Variant(code));
                    const Variant v = source.Value(row, col);
                    record.push_back(v.IsEmpty() ? Variant::Null() : v);
                    TargetDataSet->AppendRecord(record);
                }
            } else if (Kind == 6) {
                TargetDataSet->Append();
                for (const char* name : {"SUM_MARGA", "SUM_PLAN", "AVERAGE_CHECK_PLAN", "DATA_SMEN", "NODE_ID", "EMPLOYEE_ID"}) {
                    const Variant v = source.Value(row, columns[name]);
                    TargetDataSet->FieldByName(name)->SetValue(v.IsEmpty() ? Variant::Null() : v);
                }
                TargetDataSet->Post();
            } else {
                values.resize(static_cast<size_t>(kKindWidth[Kind]));
                TargetDataSet->AppendRecord(values);
            }
        }
    });
}

} // namespace lm
