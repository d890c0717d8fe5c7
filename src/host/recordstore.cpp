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

void TRecordStore::Reserve(std::size_t records)
{
    for (Column& c : m_cols) {
        c.nulls.reserve((records + 63) / 64);
        if (c.kind == TStoreKind::skString) {
            c.offsets.reserve(records);
            c.lengths.reserve(records);
        } else {
            c.fixed.reserve(records);
        }
    }
}

TRecordStore::RecId TRecordStore::AddRecord()
{
    const RecId r = m_size++;
    for (Column& c : m_cols) {
        if ((r & 63) == 0)
            c.nulls.push_back(~uint64_t(0));
        else
            c.nulls[r >> 6] |= uint64_t(1) << (r & 63);
        if (c.kind == TStoreKind::skString) {
            c.offsets.push_back(0);
            c.lengths.push_back(0);
        } else {
            c.fixed.push_back(0);
        }
    }
    return r;
}

void TRecordStore::setNullBit(Column& c, RecId r, bool null)
{
    const uint64_t bit = uint64_t(1) << (r & 63);
    if (null)
        c.nulls[r >> 6] |= bit;
    else
        c.nulls[r >> 6] &= ~bit;
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

void TRecordStore::SetInt(int col, RecId r, int64_t value)
{
    Column& c = m_cols[col];
    c.fixed[r] = value;
    setNullBit(c, r, false);
}

void TRecordStore::SetFloat(int col, RecId r, double value)
{
    Column& c = m_cols[col];
    std::memcpy(&c.fixed[r], &value, sizeof value);
    setNullBit(c, r, false);
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
