// The dataset's view of its records: the local filter (text and OnFilterRecord), the local
// sort, passes over the visible records, fetching on demand, and re-reading the store.
#include <algorithm>

#include "host/datasetstate.h"
#include "host/filterexpr.h"
#include "util/exceptions.h"
#include "util/sysutils.h"

namespace lm {

namespace {

// The fewest records one fetch on demand asks for, so that stepping one record at a time past
// the fetched ones does not go to the source for each.
constexpr std::size_t kFetchStep = 100;

} // namespace

bool TDataSet::InternalFetchMore(int) { return false; }

int TDataSet::FetchMore(int count)
{
    if (!Active() || m_allFetched)
        return 0;
    const std::size_t firstNew = m_store.Size();
    const std::size_t shown = m_view.size();
    try {
        m_allFetched = !InternalFetchMore(count);
    } catch (...) {
        // the records read before the failure stay; the source is not asked again
        m_allFetched = true;
        appendFetched(firstNew);
        throw;
    }
    appendFetched(firstNew);
    return static_cast<int>(m_view.size() - shown);
}

// Puts the records the store gained from `firstNew` on at the end of the order and, when they
// pass the filter, of the view (a sort fetches everything first, so the order stays sorted).
void TDataSet::appendFetched(std::size_t firstNew)
{
    m_deleted.resize(m_store.Size(), 0);
    const bool filtering = m_filtered && (m_filterExpr || OnFilterRecord);
    for (auto rec = static_cast<TRecordStore::RecId>(firstNew); rec < m_store.Size(); ++rec) {
        calculateFields(rec);
        m_order.push_back(rec);
        bool passes = true;
        if (filtering) {
            const TRecordStore::RecId saved = m_testRec;
            DataSetStateGuard guard(m_state, dsFilter);
            m_testRec = rec;
            passes = recordPasses(rec);
            m_testRec = saved;
        }
        if (passes)
            m_view.push_back(rec);
    }
    m_posIndexValid = false;
}

void TDataSet::ensureFetched(std::size_t size) const
{
    auto* self = const_cast<TDataSet*>(this);  // datasets are never defined const
    while (Active() && !m_allFetched && m_view.size() < size) {
        const bool all = size == std::string::npos;
        self->FetchMore(all ? 0 : static_cast<int>(std::max(size - m_view.size(), kFetchStep)));
    }
}

void TDataSet::ScanRecords(const std::function<void()>& visit)
{
    if (!Active())
        return;
    fetchAll();
    const TRecordStore::RecId saved = m_testRec;
    DataSetStateGuard guard(m_state, dsFilter);
    for (TRecordStore::RecId rec : std::vector<TRecordStore::RecId>(m_view)) {
        m_testRec = rec;
        visit();
    }
    m_testRec = saved;
}

void TDataSet::ScanRecords(int first, int count, const std::function<void(int index)>& visit)
{
    if (!Active() || first < 0 || count <= 0)
        return;
    const std::size_t begin = static_cast<std::size_t>(first);
    ensureFetched(begin + static_cast<std::size_t>(count));
    const std::size_t end = std::min(m_view.size(), begin + static_cast<std::size_t>(count));
    const bool editing = m_state == dsEdit;
    for (std::size_t pos = begin; pos < end; ++pos) {
        if (editing && pos == m_cur) {
            visit(static_cast<int>(pos));
            continue;
        }
        const TRecordStore::RecId saved = m_testRec;
        DataSetStateGuard guard(m_state, dsFilter);
        m_testRec = m_view[pos];
        visit(static_cast<int>(pos));
        m_testRec = saved;
    }
}

TBookmark TDataSet::BookmarkAt(int index) const
{
    if (index >= 0)
        ensureFetched(static_cast<std::size_t>(index) + 1);
    if (!Active() || index < 0 || static_cast<std::size_t>(index) >= m_view.size())
        return TBookmark();
    return TBookmark(m_view[static_cast<std::size_t>(index)], m_generation);
}

int TDataSet::IndexOfBookmark(const TBookmark& bookmark) const
{
    if (!BookmarkValid(bookmark))
        return -1;
    return static_cast<int>(positionOf(bookmark.m_rec));
}

bool TDataSet::recordPasses(TRecordStore::RecId rec)
{
    if (m_filterExpr && !m_filterExpr->Matches(rec))
        return false;
    if (!OnFilterRecord)
        return true;
    bool accept = true;
    OnFilterRecord(this, accept);
    return accept;
}

void TDataSet::rebuildView()
{
    m_posIndexValid = false;
    if (!m_filtered || (!m_filterExpr && !OnFilterRecord)) {
        m_view = m_order;
        return;
    }
    std::vector<TRecordStore::RecId> view;
    view.reserve(m_order.size());
    if (m_filterExpr && !m_filterExpr->ReadsThroughFields() && !OnFilterRecord) {
        const TFilterExpr& expr = *m_filterExpr;
        for (TRecordStore::RecId rec : m_order)
            if (expr.Matches(rec))
                view.push_back(rec);
    } else {
        const TRecordStore::RecId saved = m_testRec;
        DataSetStateGuard guard(m_state, dsFilter);
        for (TRecordStore::RecId rec : m_order) {
            m_testRec = rec;
            if (recordPasses(rec))
                view.push_back(rec);
        }
        m_testRec = saved;
    }
    m_view.swap(view);
}

// Applies the filter again, keeping the current record when it stays visible.
void TDataSet::refilter()
{
    CheckBrowseMode();
    const bool hadRecord = !m_view.empty();
    const TRecordStore::RecId current = hadRecord ? m_view[m_cur] : 0;
    rebuildView();
    ensureFetched(1);
    const std::size_t pos = hadRecord ? positionOf(current) : std::string::npos;
    m_cur = pos == std::string::npos ? 0 : pos;
    m_bof = pos == std::string::npos || m_view.empty();
    m_eof = m_view.empty();
    DataEvent(deDataSetChange);
    DoAfterScroll();
}

void TDataSet::SetFilter(const std::string& text)
{
    if (text == m_filterText)
        return;
    if (Active() && m_filtered) {
        std::unique_ptr<TFilterExpr> expr;
        if (!Trim(text).empty())
            expr = std::make_unique<TFilterExpr>(text, *this);
        m_filterText = text;
        m_filterExpr = std::move(expr);
        refilter();
    } else {
        m_filterText = text;
    }
}

void TDataSet::SetFiltered(bool filtered)
{
    if (filtered == m_filtered)
        return;
    if (!Active()) {
        m_filtered = filtered;
        return;
    }
    if (filtered) {
        std::unique_ptr<TFilterExpr> expr;
        if (!Trim(m_filterText).empty())
            expr = std::make_unique<TFilterExpr>(m_filterText, *this);
        m_filterExpr = std::move(expr);
    } else {
        m_filterExpr.reset();
    }
    m_filtered = filtered;
    refilter();
}

void TDataSet::SortRecords(const std::vector<TSortKey>& keys)
{
    checkActive();
    CheckBrowseMode();
    fetchAll();
    const bool hadRecord = !m_view.empty();
    const TRecordStore::RecId current = hadRecord ? m_view[m_cur] : 0;
    if (keys.empty()) {
        std::sort(m_order.begin(), m_order.end());
    } else {
        // Variants only for fields without a store column (lookups); stored columns compare raw.
        auto compare = [&](TRecordStore::RecId a, TRecordStore::RecId b) {
            for (const TSortKey& key : keys) {
                TField* f = key.Field;
                int c = 0;
                const int col = f->StoreColumn();
                if (col >= 0) {
                    const bool na = m_store.IsNull(col, a);
                    const bool nb = m_store.IsNull(col, b);
                    if (na || nb) {
                        c = na == nb ? 0 : (na ? -1 : 1);
                    } else {
                        switch (m_store.Kind(col)) {
                        case TStoreKind::skInt: {
                            const int64_t x = m_store.GetInt(col, a), y = m_store.GetInt(col, b);
                            c = x < y ? -1 : (x > y ? 1 : 0);
                            break;
                        }
                        case TStoreKind::skFloat: {
                            const double x = m_store.GetFloat(col, a), y = m_store.GetFloat(col, b);
                            c = x < y ? -1 : (x > y ? 1 : 0);
                            break;
                        }
                        case TStoreKind::skString: {
                            const std::string_view x = m_store.GetString(col, a), y = m_store.GetString(col, b);
                            c = x.compare(y);  // byte order: char_traits<char> compares as unsigned
                            break;
                        }
                        }
                    }
                } else {
                    c = valueAt(f, a).Compare(valueAt(f, b));
                }
                if (c != 0)
                    return key.Descending ? c > 0 : c < 0;
            }
            return false;
        };
        std::stable_sort(m_order.begin(), m_order.end(), compare);
    }
    std::vector<uint8_t> visible(m_store.Size(), 0);
    for (TRecordStore::RecId rec : m_view)
        visible[rec] = 1;
    m_view.clear();
    for (TRecordStore::RecId rec : m_order)
        if (visible[rec])
            m_view.push_back(rec);
    m_posIndexValid = false;
    m_cur = hadRecord ? positionOf(current) : 0;
    DataEvent(deDataSetChange);
}

void TDataSet::Resync()
{
    checkActive();
    const std::size_t known = m_deleted.size();
    if (m_store.Size() < known)
        ++m_generation;  // slots were dropped: old bookmarks could name new records
    m_deleted.resize(m_store.Size(), 0);
    for (TRecordStore::RecId rec = static_cast<TRecordStore::RecId>(known); rec < m_store.Size(); ++rec)
        calculateFields(rec);
    m_order.clear();
    for (TRecordStore::RecId rec = 0; rec < m_store.Size(); ++rec)
        if (!m_deleted[rec])
            m_order.push_back(rec);
    rebuildView();
    m_cur = 0;
    m_bof = true;
    m_eof = m_view.empty();
    DataEvent(deDataSetChange);
}

} // namespace lm
