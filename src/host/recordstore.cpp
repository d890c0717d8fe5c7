// Column storage of the dataset records: null bits, fixed 8-byte values and string arenas.
#include "host/recordstore.h"

#include <algorithm>

namespace lm {

namespace {
// Arenas smaller than this are never compacted: the copying would cost more than the bytes.
constexpr std::size_t kCompactThreshold = 1 << 16;
}

void TRecordStore::Reset(std::vector<TStoreKind> kinds)
{
    m_cols.clear();
    m_cols.resize(kinds.size());
    for (std::size_t i = 0; i < kinds.size(); ++i)
        m_cols[i].kind = kinds[i];
    m_size = 0;
}

void TRecordStore::Clear()
{
    for (Column& c : m_cols) {
        const TStoreKind kind = c.kind;
        c = Column();
        c.kind = kind;
    }
    m_size = 0;
}

void TRecordStore::Reserve(std::size_t records, const std::vector<std::size_t>& textBytes)
{
    records = (records + 63) / 64 * 64;  // whole blocks, see AddRecord
    for (std::size_t i = 0; i < m_cols.size(); ++i) {
        Column& c = m_cols[i];
        c.nulls.reserve((records + 63) / 64);
        if (c.kind == TStoreKind::skString) {
            c.offsets.reserve(records);
            c.lengths.reserve(records);
            if (i < textBytes.size())
                c.arena.reserve(textBytes[i]);
        } else {
            c.fixed.reserve(records);
        }
    }
}

std::vector<std::size_t> TRecordStore::TextBytes() const
{
    std::vector<std::size_t> bytes;
    for (const Column& c : m_cols)
        bytes.push_back(c.arena.size() - c.garbage);
    return bytes;
}

TRecordStore::RecId TRecordStore::AddRecord()
{
    // Columns grow by blocks of 64 records, one word of null bits each, all null and zero: a
    // record of the block is there (and null) from the block's start, so adding it costs
    // nothing more, which matters when a dataset loads hundreds of thousands of rows.
    const RecId r = m_size++;
    if ((r & 63) == 0)
        for (Column& c : m_cols) {
            c.nulls.push_back(~uint64_t(0));
            if (c.kind == TStoreKind::skString) {
                c.offsets.resize(r + 64);
                c.lengths.resize(r + 64);
            } else {
                c.fixed.resize(r + 64);
            }
        }
    return r;
}

void TRecordStore::releaseString(Column& c, RecId r)
{
    c.garbage += c.lengths[r];
    c.offsets[r] = 0;
    c.lengths[r] = 0;
}

void TRecordStore::SetNull(int col, RecId r)
{
    Column& c = m_cols[col];
    if (c.kind == TStoreKind::skString)
        releaseString(c, r);
    else
        c.fixed[r] = 0;
    setNullBit(c, r, true);
}

void TRecordStore::SetString(int col, RecId r, std::string_view value)
{
    Column& c = m_cols[col];
    releaseString(c, r);
    if (c.garbage > kCompactThreshold && c.garbage > c.arena.size() / 2)
        compact(c);
    c.offsets[r] = c.arena.size();
    c.lengths[r] = static_cast<uint32_t>(value.size());
    c.arena.insert(c.arena.end(), value.begin(), value.end());
    setNullBit(c, r, false);
}

void TRecordStore::CopyRecord(const TRecordStore& from, RecId src, RecId dst)
{
    for (int col = 0; col < ColumnCount(); ++col) {
        if (from.IsNull(col, src)) {
            SetNull(col, dst);
            continue;
        }
        Column& c = m_cols[col];
        if (c.kind == TStoreKind::skString) {
            SetString(col, dst, from.GetString(col, src));
        } else {
            c.fixed[dst] = from.m_cols[col].fixed[src];
            setNullBit(c, dst, false);
        }
    }
}

void TRecordStore::ClearRecord(RecId r)
{
    for (int col = 0; col < ColumnCount(); ++col)
        SetNull(col, r);
}

// Rewrites the arena with only the bytes that records refer to, in record order.
void TRecordStore::compact(Column& c)
{
    std::vector<char> arena;
    arena.reserve(c.arena.size() - c.garbage);
    for (RecId r = 0; r < m_size; ++r) {
        const uint64_t off = c.offsets[r];
        c.offsets[r] = arena.size();
        arena.insert(arena.end(), c.arena.begin() + static_cast<std::ptrdiff_t>(off),
                     c.arena.begin() + static_cast<std::ptrdiff_t>(off + c.lengths[r]));
    }
    c.arena.swap(arena);
    c.garbage = 0;
}

} // namespace lm
