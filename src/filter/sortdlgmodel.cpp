// The sort dialog's logic over a TUserSort.
#include "filter/sortdlgmodel.h"

#include <algorithm>

#include "app/globals.h"
#include "filter/usersort.h"
#include "host/dataset.h"
#include "util/cp1251.h"
#include "util/exceptions.h"

namespace lm {

TSortDlgModel::TSortDlgModel(TUserSort& sort, const std::string& caption, bool showSaveToFile)
    : m_sort(sort), m_caption(caption), m_showSaveToFile(showSaveToFile)
{
    TDataSet* ds = sort.DataSet();
    const TSortOrderList& order = sort.SortOrder();
    for (int i = 0; ds && i < order.Count(); ++i)
        if (TField* f = ds->FindField(order.Strings(i)))
            m_sortFields.push_back({f->FieldName(), f->DisplayLabel(), !order.GetAsc(i)});
    refillFields();
}

void TSortDlgModel::refillFields()
{
    m_fields.clear();
    TDataSet* ds = m_sort.DataSet();
    for (int i = 0; ds && i < ds->FieldCount(); ++i) {
        TField* f = ds->Fields(i);
        const bool sorted = std::any_of(m_sortFields.begin(), m_sortFields.end(),
                                        [&](const TItem& item) { return item.FieldName == f->FieldName(); });
        if (!sorted && m_sort.CheckSortField(f->FieldName()))
            m_fields.push_back({f->FieldName(), f->DisplayLabel(), false});
    }
}

std::string TSortDlgModel::Caption() const { return m_caption.empty() ? std::string("Сортировка"_w) : m_caption; }

int TSortDlgModel::AddToSort(int fieldIndex, int at)
{
    if (fieldIndex < 0 || fieldIndex >= static_cast<int>(m_fields.size()))
        return -1;
    const int size = static_cast<int>(m_sortFields.size());
    const int pos = at < 0 || at > size ? size : at;
    m_sortFields.insert(m_sortFields.begin() + pos, m_fields[fieldIndex]);
    m_fields.erase(m_fields.begin() + fieldIndex);
    return pos;
}

void TSortDlgModel::RemoveFromSort(int sortIndex)
{
    if (sortIndex < 0 || sortIndex >= static_cast<int>(m_sortFields.size()))
        return;
    m_sortFields.erase(m_sortFields.begin() + sortIndex);
    refillFields();
}

void TSortDlgModel::ClearSort()
{
    m_sortFields.clear();
    refillFields();
}

int TSortDlgModel::MoveSort(int from, int to)
{
    const int size = static_cast<int>(m_sortFields.size());
    if (from < 0 || from >= size)
        return -1;
    to = std::clamp(to, 0, size - 1);
    TItem item = m_sortFields[from];
    m_sortFields.erase(m_sortFields.begin() + from);
    m_sortFields.insert(m_sortFields.begin() + to, item);
    return to;
}

TSortOrderList TSortDlgModel::SortList() const
{
    TSortOrderList list;
    for (const TItem& item : m_sortFields)
        list.Add(item.FieldName, !item.Descending);
    return list;
}

void TSortDlgModel::CheckCanSave() const
{
    if (m_sortFields.empty())
        throw Exception("Не задано ни одного поля"_w);
}

void TSortDlgModel::SaveToFile(const std::string& fileName) const
{
    CheckCanSave();
    const TSortOrderList list = SortList();
    m_sort.SaveSortToFile(fileName, &list);
}

const char* TSortDlgModel::SaveFilter() { return "Файлы сортировки *.srt|*.srt|Все *.*|*.*"_w; }
const char* TSortDlgModel::SaveTitle() { return "Сохранить сортировку в файл"_w; }

std::string TSortDlgModel::SaveInitialDir() { return glVars ? glVars->ExeDir : ProgramDir(); }

void TSortDlgModel::Finish(TSortResult result)
{
    if (result == srCancel)
        return;
    TSortOrderList order = result == srDefault || m_sortFields.empty() ? m_sort.DefaultOrder() : SortList();
    m_sort.SetOrder(order);
    if (result != srApply)
        m_sort.WriteToReg();
}

} // namespace lm
