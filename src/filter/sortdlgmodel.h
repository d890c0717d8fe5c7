// The logic of the sort dialog ("Сортировка") without widgets: the field list and the sort
// list with descending ticks, the move buttons and drags, saving to a sort file, and what the
// closing buttons do.
#pragma once

#include <string>
#include <vector>

#include "filter/sortorderlist.h"

namespace lm {

class TUserSort;

class TSortDlgModel {
public:
    // "Применить", "Сохранить", "По умолчанию", Cancel.
    enum TSortResult { srApply, srSave, srDefault, srCancel };

    struct TItem {
        std::string FieldName;
        std::string Label;       // the field's display label
        bool Descending = false; // the tick of a sort list item
    };

    TSortDlgModel(TUserSort& sort, const std::string& caption, bool showSaveToFile);

    std::string Caption() const;
    bool SaveToFileVisible() const { return m_showSaveToFile; }

    // "Список полей": the visible fields not in the sort list, in dataset order.
    const std::vector<TItem>& Fields() const { return m_fields; }
    // "Поля сортировки": the sort fields in order.
    const std::vector<TItem>& SortFields() const { return m_sortFields; }
    void SetDescending(int sortIndex, bool descending) { m_sortFields.at(sortIndex).Descending = descending; }

    // ">" (or a drag into the sort list at `at`, -1 the end): the field moves to the sort list.
    // Returns its index there, -1 when `fieldIndex` is out of range.
    int AddToSort(int fieldIndex, int at = -1);
    // "<" (or a drag back): the sort field returns to the field list.
    void RemoveFromSort(int sortIndex);
    // "<<".
    void ClearSort();
    // Up, down, top, bottom and drags within the sort list: moves the item to `to` (clamped);
    // returns where it now stands, -1 when `from` is out of range.
    int MoveSort(int from, int to);
    int MoveUp(int index) { return MoveSort(index, index - 1); }
    int MoveDown(int index) { return MoveSort(index, index + 1); }
    int MoveTop(int index) { return MoveSort(index, 0); }
    int MoveBottom(int index) { return MoveSort(index, static_cast<int>(m_sortFields.size()) - 1); }

    // The sort list as an order (ascending where not ticked).
    TSortOrderList SortList() const;

    // "Сохранить в файл": raises lm::Exception "Не задано ни одного поля" when the sort list is
    // empty (ask for the file only after CheckCanSave), else writes the sort file.
    void CheckCanSave() const;
    void SaveToFile(const std::string& fileName) const;
    static const char* SaveDefaultExt() { return ".srt"; }
    static const char* SaveFilter();
    static const char* SaveTitle();
    // The program's folder, where the save dialog starts.
    static std::string SaveInitialDir();

    // Apply and Save choose the sort list (the default order when it is empty), Default the
    // default order; all three apply it, Save and Default also store it (Default deletes the
    // stored order). Cancel changes nothing.
    void Finish(TSortResult result);

private:
    void refillFields();

    TUserSort& m_sort;
    std::string m_caption;
    bool m_showSaveToFile;
    std::vector<TItem> m_fields;
    std::vector<TItem> m_sortFields;
};

} // namespace lm
