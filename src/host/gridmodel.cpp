// The grid model: columns bound to fields by name, footer values, selected rows.
#include "host/gridmodel.h"

#include <algorithm>

#include "host/datasource.h"
#include "util/cp1251.h"
#include "util/exceptions.h"
#include "util/sysutils.h"

namespace lm {

namespace {

bool sameName(const std::string& a, const std::string& b)
{
    return upperCase(a) == upperCase(b);
}

// Average characters of the grid font, for widths given in characters.
constexpr int kCharWidth = 7;
constexpr int kCellPadding = 4;
constexpr int kDefaultColumnWidth = 64;

} // namespace

// --- columns --------------------------------------------------------------------------------

std::string TColumnTitleEh::Caption() const
{
    if (!m_caption.empty())
        return m_caption;
    if (TField* field = m_column->Field())
        return field->DisplayLabel();
    return m_column->FieldName();
}

TColumnEh::TColumnEh(TDBGridEh* grid) : m_grid(grid) {}

int TColumnEh::Index() const
{
    const TDBGridColumnsEh& columns = m_grid->Columns();
    for (int i = 0; i < columns.Count(); ++i)
        if (columns.Items(i) == this)
            return i;
    return -1;
}

TField* TColumnEh::Field() const
{
    TDataSet* ds = m_grid->DataSet();
    return ds && !m_fieldName.empty() ? ds->FindField(m_fieldName) : nullptr;
}

int TColumnEh::Width() const
{
    if (m_width > 0)
        return m_width;
    const TField* field = Field();
    return field ? field->DisplayWidth() * kCharWidth + kCellPadding : kDefaultColumnWidth;
}

TAlignment TColumnEh::Alignment() const
{
    if (m_alignmentSet)
        return m_alignment;
    const TField* field = Field();
    return field ? field->Alignment() : taLeftJustify;
}

std::string TColumnEh::DisplayText() const
{
    const TField* field = Field();
    if (!field)
        return std::string();
    if (!m_keyList.empty()) {
        const std::string key = field->Text();
        const auto it = std::find(m_keyList.begin(), m_keyList.end(), key);
        const auto index = static_cast<std::size_t>(it - m_keyList.begin());
        if (it != m_keyList.end() && index < m_pickList.size())
            return m_pickList[index];
    }
    return field->DisplayText();
}

TColumnFooterEh& TColumnEh::Footers(int row)
{
    if (row < 0)
        throw Exception(Format("List index out of bounds (%d)", {row}));
    const std::size_t need = static_cast<std::size_t>(std::max(row + 1, m_grid->FooterRowCount()));
    if (m_footers.size() < need)
        m_footers.resize(need);
    return m_footers[static_cast<std::size_t>(row)];
}

// Default columns follow the dataset's visible fields, in field order.
void TDBGridColumnsEh::syncDefault() const
{
    if (m_state != csDefault)
        return;
    std::vector<std::string> names;
    if (TDataSet* ds = m_grid->DataSet())
        for (int i = 0; i < ds->FieldCount(); ++i)
            if (ds->Fields(i)->Visible())
                names.push_back(ds->Fields(i)->FieldName());
    bool same = names.size() == m_items.size();
    for (std::size_t i = 0; same && i < names.size(); ++i)
        same = m_items[i]->FieldName() == names[i];
    if (same)
        return;
    m_items.clear();
    for (const std::string& name : names) {
        auto column = std::make_unique<TColumnEh>(m_grid);
        column->SetFieldName(name);
        m_items.push_back(std::move(column));
    }
}

int TDBGridColumnsEh::Count() const
{
    syncDefault();
    return static_cast<int>(m_items.size());
}

TColumnEh* TDBGridColumnsEh::Items(int index) const
{
    syncDefault();
    return m_items.at(static_cast<std::size_t>(index)).get();
}

TColumnEh* TDBGridColumnsEh::Add()
{
    if (m_state == csDefault) {
        m_items.clear();
        m_state = csCustomized;
    }
    m_items.push_back(std::make_unique<TColumnEh>(m_grid));
    return m_items.back().get();
}

void TDBGridColumnsEh::Clear()
{
    m_items.clear();
    m_state = csDefault;
}

// --- selected rows --------------------------------------------------------------------------

bool TBookmarkListEh::Refresh()
{
    const TDataSet* ds = m_grid->DataSet();
    const std::size_t before = m_items.size();
    m_items.erase(std::remove_if(m_items.begin(), m_items.end(),
                                 [ds](const TBookmark& b) { return !ds || !ds->BookmarkValid(b); }),
                  m_items.end());
    return m_items.size() != before;
}

int TBookmarkListEh::indexOfCurrent() const
{
    const TDataSet* ds = m_grid->DataSet();
    if (!ds)
        return -1;
    const TBookmark current = ds->GetBookmark();
    if (current.Empty())
        return -1;
    const auto it = std::find(m_items.begin(), m_items.end(), current);
    return it == m_items.end() ? -1 : static_cast<int>(it - m_items.begin());
}

bool TBookmarkListEh::CurrentRowSelected() const
{
    return indexOfCurrent() >= 0;
}

void TBookmarkListEh::SetCurrentRowSelected(bool selected)
{
    const int index = indexOfCurrent();
    if (selected && index < 0) {
        const TBookmark current = m_grid->DataSet() ? m_grid->DataSet()->GetBookmark() : TBookmark();
        if (!current.Empty())
            m_items.push_back(current);
    } else if (!selected && index >= 0) {
        m_items.erase(m_items.begin() + index);
    }
}

void TBookmarkListEh::SelectAll()
{
    TDataSet* ds = m_grid->DataSet();
    m_items.clear();
    if (!ds || !ds->Active())
        return;
    ds->CheckBrowseMode();
    const TBookmark current = ds->GetBookmark();
    ds->DisableControls();
    try {
        for (ds->First(); !ds->Eof(); ds->Next())
            m_items.push_back(ds->GetBookmark());
        if (ds->BookmarkValid(current))
            ds->GotoBookmark(current);
    } catch (...) {
        ds->EnableControls();
        throw;
    }
    ds->EnableControls();
}

// --- grid -----------------------------------------------------------------------------------

TDBGridEh::TDBGridEh(TComponent* owner) : TComponent(owner) {}

TDBGridEh::~TDBGridEh() = default;

void TDBGridEh::SetDataSource(TDataSource* source)
{
    if (ReplaceLink(m_dataSource, source))
        m_selectedRows.Clear();
}

void TDBGridEh::Notification(TComponent* component, TOperation operation)
{
    TComponent::Notification(component, operation);
    if (operation == opRemove && component == m_dataSource) {
        m_dataSource = nullptr;
        m_selectedRows.Clear();
    }
}

TDataSet* TDBGridEh::DataSet() const
{
    return m_dataSource ? m_dataSource->DataSet() : nullptr;
}

TColumnEh* TDBGridEh::FieldColumns(const std::string& fieldName) const
{
    for (int i = 0; i < m_columns.Count(); ++i)
        if (sameName(m_columns.Items(i)->FieldName(), fieldName))
            return m_columns.Items(i);
    return nullptr;
}

std::string TDBGridEh::GetFooterValue(int row, const TColumnEh& column) const
{
    if (row < 0 || static_cast<std::size_t>(row) >= column.m_footers.size())
        return std::string();
    const TColumnFooterEh& footer = column.m_footers[static_cast<std::size_t>(row)];
    TDataSet* ds = DataSet();
    TField* field = !footer.FieldName().empty() && ds ? ds->FindField(footer.FieldName()) : column.Field();
    switch (footer.ValueType()) {
    case fvtNon: return std::string();
    case fvtStaticText: return footer.Value();
    case fvtFieldValue: return field ? field->DisplayText() : std::string();
    case fvtCount: return IntToStr(ds && ds->Active() ? ds->RecordCount() : 0);
    case fvtSum:
    case fvtAvg: break;
    }
    if (!field || !ds || !ds->Active())
        return std::string();
    double sum = 0;
    int count = 0;
    ds->ScanRecords([&] {
        if (!field->IsNull()) {
            sum += field->AsFloat();
            ++count;
        }
    });
    if (footer.ValueType() == fvtAvg) {
        if (count == 0)
            return std::string();
        sum /= count;
    }
    std::string format = footer.DisplayFormat();
    if (format.empty())
        if (const auto* numeric = dynamic_cast<const TNumericField*>(field))
            format = numeric->DisplayFormat();
    return format.empty() ? FloatToStr(sum) : FormatFloat(format, sum);
}

} // namespace lm
