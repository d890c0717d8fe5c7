// TRecordStore: the column-wise record storage beneath every dataset (one vector per column,
// strings packed in a per-column byte arena), built so that a filter pass over a million
// records touches only the columns it reads.
#pragma once

#include <cstdint>
#include <cstring>
#include <string_view>
#include <vector>

namespace lm {

// How a column keeps its values: integers (also booleans and currency as its raw value),
// doubles (floats and date-times) or byte strings (text, memo, blob).
enum class TStoreKind : uint8_t { skInt, skFloat, skString };

class TRecordStore {
public:
    using RecId = uint32_t;

    TRecordStore() = default;
    explicit TRecordStore(std::vector<TStoreKind> kinds) { Reset(std::move(kinds)); }

    // Drops every record and sets the column layout.
    void Reset(std::vector<TStoreKind> kinds);
    // Drops every record and keeps the layout.
    void Clear();
    // Makes room for `records` records, and for `textBytes[col]` bytes of text in each text
    // column (as TextBytes of a similar store reported), without moving anything later.
    void Reserve(std::size_t records, const std::vector<std::size_t>& textBytes = {});
    // The text bytes each column holds (0 for the others).
    std::vector<std::size_t> TextBytes() const;

    int ColumnCount() const { return static_cast<int>(m_cols.size()); }
    TStoreKind Kind(int col) const { return m_cols[col].kind; }
    // Record slots made so far (records are never renumbered; deleted ones stay as slots).
    RecId Size() const { return m_size; }

    // Appends a record with every column null and returns its id.
    RecId AddRecord();

    // Readers. The column and record must exist; the kind must match the column's kind.
    // A null value reads as 0 or the empty text.
    bool IsNull(int col, RecId r) const
    {
        return (m_cols[col].nulls[r >> 6] >> (r & 63)) & 1u;
    }
    int64_t GetInt(int col, RecId r) const { return m_cols[col].fixed[r]; }
    double GetFloat(int col, RecId r) const
    {
        double d;
        std::memcpy(&d, &m_cols[col].fixed[r], sizeof d);
        return d;
    }
    std::string_view GetString(int col, RecId r) const
    {
        const Column& c = m_cols[col];
        return {c.arena.data() + c.offsets[r], c.lengths[r]};
    }

    // Writers: each makes the value non-null, SetNull makes it null.
    void SetNull(int col, RecId r);
    void SetInt(int col, RecId r, int64_t value)
    {
        Column& c = m_cols[col];
        c.fixed[r] = value;
        setNullBit(c, r, false);
    }
    void SetFloat(int col, RecId r, double value)
    {
        Column& c = m_cols[col];
        std::memcpy(&c.fixed[r], &value, sizeof value);
        setNullBit(c, r, false);
    }
    void SetString(int col, RecId r, std::string_view value);

    // Copies every column of record `src` of `from` (which has the same layout) into `dst`.
    void CopyRecord(const TRecordStore& from, RecId src, RecId dst);
    // Makes every column of the record null and frees its text for reuse by compaction.
    void ClearRecord(RecId r);

private:
    struct Column {
        TStoreKind kind = TStoreKind::skInt;
        std::vector<uint64_t> nulls;    // one bit per record, set = null
        std::vector<int64_t> fixed;     // skInt values, skFloat bit patterns
        std::vector<char> arena;        // skString bytes
        std::vector<uint64_t> offsets;  // skString: start in the arena
        std::vector<uint32_t> lengths;  // skString: byte count
        std::size_t garbage = 0;        // arena bytes no record refers to any more
    };
    static void setNullBit(Column& c, RecId r, bool null)
    {
        const uint64_t bit = uint64_t(1) << (r & 63);
        if (null)
            c.nulls[r >> 6] |= bit;
        else
            c.nulls[r >> 6] &= ~bit;
    }
    void releaseString(Column& c, RecId r);
    void compact(Column& c);

    std::vector<Column> m_cols;
    RecId m_size = 0;
};

} // namespace lm
