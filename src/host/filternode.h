// The compiled form of a local filter text, shared by its parser and its evaluator: the values
// met during evaluation, the node kinds and the flat node array the parser fills.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "host/field.h"

namespace lm {

class TDataSet;

namespace filterexpr {

enum class VK : uint8_t { Null, Int, Float, Date, Str };

// A value during evaluation. Text is a view into the store, a constant or a node's scratch
// buffer; `map` is the case table that UPPER/LOWER applied to it (nullptr: as stored).
struct Val {
    VK k = VK::Null;
    int64_t i = 0;
    double f = 0;
    std::string_view s;
    const unsigned char* map = nullptr;
    double num() const { return k == VK::Int ? static_cast<double>(i) : f; }
};

inline unsigned char mapped(const unsigned char* map, char c)
{
    const auto b = static_cast<unsigned char>(c);
    return map ? map[b] : b;
}

// A number written with the locale's decimal separator or ".", blanks around allowed.
bool parseNumber(std::string_view s, double& out);
// A date-time in the locale's form (dd.MM.yyyy [h:nn[:ss]]) or the ISO form yyyy-mm-dd.
bool parseDate(std::string_view s, double& out);

enum class Op : uint8_t {
    // conditions
    Or, And, Not, Cmp, Like, IsNull, Truthy,
    // values
    Const, Field, FieldSlow, Add, Sub, Mul, Div, Neg, Upper, Lower,
};

enum class Cmp : uint8_t { Eq, Ne, Lt, Gt, Le, Ge };

// The static kind of a value node, used to convert constants once and to refuse nonsense.
enum class ST : uint8_t { Unknown, Num, Date, Str, Null, Cond };

// How a constant LIKE pattern is matched.
enum class LikeKind : uint8_t { Generic, Any, Exact, Prefix, Suffix, Contains };

struct Node {
    Op op = Op::Const;
    Cmp cmp = Cmp::Eq;
    ST st = ST::Unknown;
    bool negate = false;      // NOT LIKE, IS NOT NULL
    int a = -1, b = -1;       // operands
    int pos = 0;              // 1-based position in the text, for messages
    // Field / FieldSlow
    int col = -1;
    VK fieldKind = VK::Null;
    bool bcd = false;
    TField* field = nullptr;
    // Const
    Val value;
    std::string text;         // a string constant's bytes (value.s views it)
    // Like with a constant pattern
    LikeKind like = LikeKind::Generic;
    std::string needle;       // the pattern without its surrounding "%"
    const unsigned char* subjectMap = nullptr;
    int directCol = -1;                // the subject is this stored text column (under subjectMap)
    std::array<uint8_t, 256> first{};  // bytes whose mapped form is needle[0]
    mutable std::string scratch;       // text of a non-text value or a field read as Variant
};

// Compiles `text` against the fields of `dataSet` into `nodes` and returns the root's index;
// `slow` tells whether some field is read through TField (a lookup). Raises EFilterError.
int Parse(const std::string& text, TDataSet& dataSet, std::vector<Node>& nodes, bool& slow);

} // namespace filterexpr
} // namespace lm
