// TDBGridEh: the state of the host's grid that exports, print menus and the grid widget read —
// columns with titles, widths, colours, fonts and pick lists, footer rows, selected rows.
#pragma once

#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "host/dataset.h"
#include "host/graphics.h"
#include "util/component.h"

namespace lm {

class TDataSource;
class TDBGridEh;

// What a footer cell shows: nothing, the sum, average or count of the records (filter
// applied), the current record's value, or its own text.
enum TFooterValueType : uint8_t { fvtNon, fvtSum, fvtAvg, fvtCount, fvtFieldValue, fvtStaticText };

class TColumnFooterEh {
public:
    TFooterValueType ValueType() const { return m_valueType; }
    void SetValueType(TFooterValueType type) { m_valueType = type; }
    // The text of fvtStaticText.
    const std::string& Value() const { return m_value; }
    void SetValue(const std::string& value) { m_value = value; }
    // The field summed or shown; empty means the column's field.
    const std::string& FieldName() const { return m_fieldName; }
    void SetFieldName(const std::string& name) { m_fieldName = name; }
    // FormatFloat pattern of a sum or average (empty: the field's DisplayFormat, else FloatToStr).
    const std::string& DisplayFormat() const { return m_displayFormat; }
    void SetDisplayFormat(const std::string& format) { m_displayFormat = format; }
    TAlignment Alignment() const { return m_alignment; }
    void SetAlignment(TAlignment alignment) { m_alignment = alignment; }

private:
    std::string m_value;
    std::string m_fieldName;
    std::string m_displayFormat;
    TFooterValueType m_valueType = fvtNon;
    TAlignment m_alignment = taLeftJustify;
};

class TColumnTitleEh {
public:
    // The caption set, or the field's DisplayLabel, or the column's FieldName.
    std::string Caption() const;
    void SetCaption(const std::string& caption) { m_caption = caption; }

private:
    friend class TColumnEh;
    explicit TColumnTitleEh(const class TColumnEh* column) : m_column(column) {}
    const class TColumnEh* m_column;
    std::string m_caption;
};

class TColumnEh {
public:
    explicit TColumnEh(TDBGridEh* grid);
    TColumnEh(const TColumnEh&) = delete;
    TColumnEh& operator=(const TColumnEh&) = delete;
    TDBGridEh* Grid() const { return m_grid; }
    int Index() const;

    const std::string& FieldName() const { return m_fieldName; }
    void SetFieldName(const std::string& name) { m_fieldName = name; }
    // The grid's dataset field of FieldName, looked up at each call (so a reopened dataset's
    // new fields are found); nullptr when absent.
    TField* Field() const;
    TColumnTitleEh& Title() { return m_title; }
    const TColumnTitleEh& Title() const { return m_title; }
    // Pixels; until set, the field's DisplayWidth in average characters of 7 pixels plus 4.
    int Width() const;
    void SetWidth(int width) { m_width = width; }
    bool Visible() const { return m_visible; }
    void SetVisible(bool visible) { m_visible = visible; }
    TColor Color() const { return m_color; }
    void SetColor(TColor color) { m_color = color; }
    TFont& Font() { return m_font; }
    const TFont& Font() const { return m_font; }
    TAlignment Alignment() const;
    void SetAlignment(TAlignment alignment) { m_alignment = alignment; m_alignmentSet = true; }
    // PickList texts shown for the field values listed at the same index of KeyList.
    std::vector<std::string>& PickList() { return m_pickList; }
    const std::vector<std::string>& PickList() const { return m_pickList; }
    std::vector<std::string>& KeyList() { return m_keyList; }
    const std::vector<std::string>& KeyList() const { return m_keyList; }
    // The current record's text in this column: with a KeyList, the PickList entry of the
    // field's text (the field's display text when it is not listed); otherwise the field's
    // DisplayText; empty without a field.
    std::string DisplayText() const;

    // The footer of row `row`; rows up to the grid's FooterRowCount exist.
    TColumnFooterEh& Footers(int row);
    TColumnFooterEh& Footer() { return Footers(0); }

private:
    friend class TDBGridEh;
    TDBGridEh* m_grid;
    std::string m_fieldName;
    TColumnTitleEh m_title{this};
    TFont m_font;
    std::vector<std::string> m_pickList;
    std::vector<std::string> m_keyList;
    std::deque<TColumnFooterEh> m_footers;  // grows at the end: references stay valid
    int m_width = 0;
    TColor m_color = clWindow;
    TAlignment m_alignment = taLeftJustify;
    bool m_alignmentSet = false;
    bool m_visible = true;
};

// csDefault: one column per field of the dataset, rebuilt whenever the fields differ;
// csCustomized: the columns added by the host.
enum TDBGridColumnsState : uint8_t { csDefault, csCustomized };

class TDBGridColumnsEh {
public:
    explicit TDBGridColumnsEh(TDBGridEh* grid) : m_grid(grid) {}
    int Count() const;
    TColumnEh* Items(int index) const;
    // Adds a column at the end and switches to csCustomized (dropping default columns).
    TColumnEh* Add();
    void Clear();  // back to csDefault
    TDBGridColumnsState State() const { return m_state; }

private:
    void syncDefault() const;
    TDBGridEh* m_grid;
    mutable std::vector<std::unique_ptr<TColumnEh>> m_items;
    TDBGridColumnsState m_state = csDefault;
};

// The selected rows as bookmarks of the grid's dataset, in the order of selection.
class TBookmarkListEh {
public:
    explicit TBookmarkListEh(TDBGridEh* grid) : m_grid(grid) {}
    int Count() const { return static_cast<int>(m_items.size()); }
    const TBookmark& Items(int index) const { return m_items.at(index); }
    // Drops bookmarks that no longer lead to a record; returns whether any was dropped.
    bool Refresh();
    void Clear() { m_items.clear(); }
    // Whether the dataset's current record is selected; setting selects or deselects it.
    bool CurrentRowSelected() const;
    void SetCurrentRowSelected(bool selected);
    // Selects every record of the dataset (filter applied); the current record stays.
    void SelectAll();

private:
    int indexOfCurrent() const;
    TDBGridEh* m_grid;
    std::vector<TBookmark> m_items;
};

class TDBGridEh : public TComponent {
public:
    explicit TDBGridEh(TComponent* owner = nullptr);
    ~TDBGridEh() override;

    TDataSource* DataSource() const { return m_dataSource; }
    void SetDataSource(TDataSource* source);
    // The data source's dataset, or nullptr.
    TDataSet* DataSet() const;

    TDBGridColumnsEh& Columns() { return m_columns; }
    const TDBGridColumnsEh& Columns() const { return m_columns; }
    // The first column bound to the field of that name (ignoring letter case), or nullptr.
    TColumnEh* FieldColumns(const std::string& fieldName) const;

    int FooterRowCount() const { return m_footerRowCount; }
    void SetFooterRowCount(int count) { m_footerRowCount = count < 0 ? 0 : count; }
    // The text of footer row `row` under `column`: a sum or average formatted by the footer's
    // DisplayFormat (or the field's), a count, the field's display text or the static text.
    // Sums walk the dataset's records (filter applied) without moving the current record.
    std::string GetFooterValue(int row, const TColumnEh& column) const;

    TBookmarkListEh& SelectedRows() { return m_selectedRows; }
    const TBookmarkListEh& SelectedRows() const { return m_selectedRows; }

protected:
    void Notification(TComponent* component, TOperation operation) override;

private:
    TDataSource* m_dataSource = nullptr;
    TDBGridColumnsEh m_columns{this};
    TBookmarkListEh m_selectedRows{this};
    int m_footerRowCount = 0;
};

} // namespace lm
