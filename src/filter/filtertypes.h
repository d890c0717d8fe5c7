// The enumerations of the user filter language and the small sets built over them.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string_view>

namespace lm {

// A set of enumeration values stored as bits (bit n is the value of ordinal n), like the
// package's Pascal sets. Only for enumerations with fewer than 32 values.
template <typename E>
class TEnumSet {
public:
    constexpr TEnumSet() = default;
    constexpr TEnumSet(std::initializer_list<E> values)
    {
        for (E v : values)
            m_bits |= bit(v);
    }
    static constexpr TEnumSet FromBits(uint32_t bits) { TEnumSet s; s.m_bits = bits; return s; }

    constexpr bool Contains(E v) const { return (m_bits & bit(v)) != 0; }
    constexpr bool Empty() const { return m_bits == 0; }
    constexpr uint32_t Bits() const { return m_bits; }
    constexpr void Include(E v) { m_bits |= bit(v); }
    constexpr void Exclude(E v) { m_bits &= ~bit(v); }
    constexpr void Set(E v, bool on) { on ? Include(v) : Exclude(v); }

    constexpr TEnumSet operator*(TEnumSet o) const { return FromBits(m_bits & o.m_bits); }  // intersection
    constexpr TEnumSet operator+(TEnumSet o) const { return FromBits(m_bits | o.m_bits); }  // union
    constexpr bool operator==(const TEnumSet&) const = default;

private:
    static constexpr uint32_t bit(E v) { return uint32_t{1} << static_cast<unsigned>(v); }
    uint32_t m_bits = 0;
};

// The two forms a filter statement is printed in.
enum TFilterKind : uint8_t { fkLocal, fkSQL };
using TFilterKinds = TEnumSet<TFilterKind>;

// Comparison and logical operators. The ordinals matter: the comparisons are exactly
// fzGreat..fzNotEqual, and fzAnd < fzOr gives AND its higher precedence.
enum TFilterZnak : uint8_t {
    fzNone, fzGreat, fzLess, fzEqual, fzGreatEq, fzLessEq, fzNotEqual, fzNot, fzAnd, fzOr
};

// Arithmetic operators; coAdd/coSub rank below coMult/coDivide by ordinal.
enum TCalcOp : uint8_t { coNone, coAdd, coSub, coMult, coDivide };

enum TNodeType : uint8_t {
    ntBoolNode, ntCalcNode, ntEntry, ntNumConst, ntStrConst, ntNullConst, ntDateConst
};

enum TUFilterOption : uint8_t { ufoSQLEnabled, ufoSQLPrefer, ufoIgnoreCase, ufoSwitchOnShow };
using TUFilterOptions = TEnumSet<TUFilterOption>;

// True for fzGreat..fzNotEqual.
constexpr bool IsComparison(TFilterZnak z) { return z >= fzGreat && z <= fzNotEqual; }

// The printed text of an operator: comparisons bare, the logical words with a blank each side.
constexpr std::string_view ZnakText(TFilterZnak z)
{
    constexpr std::string_view texts[] = {"", ">", "<", "=", ">=", "<=", "<>", " NOT ", " AND ", " OR "};
    return texts[z];
}

constexpr std::string_view CalcOpText(TCalcOp op)
{
    constexpr std::string_view texts[] = {"", "+", "-", "*", "/"};
    return texts[op];
}

} // namespace lm
