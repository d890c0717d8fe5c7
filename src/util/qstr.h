// The fast string primitives of the "Q_" family: search, replace, comparison, case conversion,
// masks and raw-buffer helpers over Windows-1251 text.
//
// Positions in strings are 1-based and 0 means "not found", as callers of these functions
// have always counted. Letter case follows the code page's tables (Cyrillic and Ё/ё included).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace lm {

// Every occurrence of `find` replaced by `replace`, scanning left to right without overlaps,
// case-sensitive. An empty `find` leaves the text unchanged.
std::string Q_ReplaceStr(std::string_view s, std::string_view find, std::string_view replace);
// 1-based position of `find` in `s` at or after `start` (values below 1 count as 1); 0 when
// absent or when `find` is empty.
int Q_PosStr(std::string_view find, std::string_view s, int start = 1);

bool Q_SameStr(std::string_view a, std::string_view b);
bool Q_SameText(std::string_view a, std::string_view b);
// Equality of the first `l` characters; a text shorter than `l` takes part as a whole, so
// texts of different lengths below `l` differ.
bool Q_SameStrL(std::string_view a, std::string_view b, int l);
bool Q_SameTextL(std::string_view a, std::string_view b, int l);
// Three-way comparison by byte value: negative, 0 or positive.
int Q_CompStr(std::string_view a, std::string_view b);
// The same after upper-casing both texts.
int Q_CompText(std::string_view a, std::string_view b);

std::string Q_UpperCase(std::string_view s);
std::string Q_LowerCase(std::string_view s);
// Lower-cases the text, then upper-cases its first character and the first character after
// every run of characters from `delims`.
std::string Q_ProperCase(std::string_view s, std::string_view delims);

// Removes `n` characters from the start (everything when n >= length); a negative `n` removes
// that many from the end.
void Q_CutLeft(std::string& s, int n);
// Removes `count` characters from the 1-based `index`, clipped to the text; an index outside
// the text removes nothing.
void Q_Delete(std::string& s, int index, int count);

// True when `s` and `mask` are equally long and every character equals the mask's, or the mask
// has `maskChar` there.
bool Q_TestByMask(std::string_view s, std::string_view mask, char maskChar = 'X');
// Wildcard match of the whole text: `maskChar` stands for one character, `wildCard` for any
// run (the empty one included). Case-sensitive. Runs in O(length of s × length of mask).
bool Q_TestWildStr(std::string_view s, std::string_view mask, char maskChar = '?', char wildCard = '*');

// 1-based position of `ch` in `s` at or after `start`; 0 when absent.
int Q_StrScan(std::string_view s, char ch, int start = 1);
// 1-based position of `ch` within the `len` bytes at `p`; 0 when absent.
int Q_PStrScan(const void* p, char ch, std::size_t len);
// Length of the zero-terminated text at `p` (0 for a null pointer).
std::size_t Q_PStrLen(const char* p);
// Fills `len` bytes at `p` with `ch`.
void Q_FillChar(void* p, std::size_t len, char ch);
// Copies `len` bytes from `source` to `dest`; the ranges may overlap.
void Q_CopyMem(const void* source, void* dest, std::size_t len);
// The same, meant for a handful of bytes.
void Q_TinyCopy(const void* source, void* dest, std::size_t len);

std::string Q_IntToStr(int64_t n);

// 1-based position of `sub` within the `len` bytes at `p`; 0 when absent or `sub` is empty.
int VarStrPos(const char* p, std::string_view sub, std::size_t len);
// Search in the first `len` bytes of `text` (clipped to its length) from the 0-based offset
// `start`: 0 when start >= len, else the position of `sub` counted from `start` as 1, or 0.
int VarPos(std::string_view sub, std::string_view text, int start, int len);
// The bytes of `text` from the 0-based offset `start`, at most `count` of them and never past
// the first `len` bytes; empty when nothing is left.
std::string VarCopy(std::string_view text, int start, int count, int len);

} // namespace lm
