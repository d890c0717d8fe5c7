// Words, tokens and pieces of text: whole-word search, tokenising, look-up helpers and small
// edits of Windows-1251 strings.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace lm {

class TStrings;

// The characters that end a word for WordPos.
inline constexpr std::string_view kWordDelimiters = "\r\n .,{}()/<>+-~@#$%^&*?\";:'";

// 1-based position of the first whole-word occurrence of `word` in `text`, ignoring letter
// case: the occurrence starts the text or follows a delimiter and ends the text or is followed
// by one. 0 when there is none (or `word` is empty).
int WordPos(std::string_view word, std::string_view text);

// Skips the delimiters at the start of `s`, returns the characters up to the next delimiter
// and removes both from `s` (the delimiter after the token stays). Empty when only delimiters
// are left, and `s` is then empty.
std::string Q_StrTok(std::string& s, std::string_view delims);
// Adds every token of `s` (see Q_StrTok) to `list`.
void StrToTokens(std::string_view s, std::string_view delims, TStrings& list);

// `pairs` holds search/result pairs followed by a default: the result of the first pair whose
// search text equals `s`, else the last element (empty for an empty list).
std::string Decode(std::string_view s, std::initializer_list<std::string_view> pairs);
std::string Decode(std::string_view s, const std::vector<std::string>& pairs);
// True when `s` equals one of `list` exactly.
bool StrIn(std::string_view s, std::initializer_list<std::string_view> list);
bool StrIn(std::string_view s, const std::vector<std::string>& list);

// The text of `s` before the first `sub`; empty when `sub` does not occur.
std::string CopyToPos(std::string_view s, std::string_view sub);
bool StartsWith(std::string_view s, std::string_view prefix);
bool EndsWith(std::string_view s, std::string_view suffix);
// Appends `add` to `s`, with `sep` between them when `s` is not empty.
void AddStr(std::string& s, std::string_view add, std::string_view sep);
// Overwrites `s` from the 0-based `index` with `sub`: as many characters as `sub` has are
// deleted there and `sub` inserted. An index past the end appends; a negative one counts as 0.
void InsertStr(std::string_view sub, std::string& s, int index);
// `s` starts with a text in apostrophes: returns its content with doubled apostrophes made
// single and removes the quoted part from `s`. Without an opening apostrophe returns empty and
// leaves `s` alone; without a closing one takes the rest of `s`.
std::string ExtractQuotedStr(std::string& s);
// Removes the bytes with codes up to 32 at both ends of `s`.
void FastTrim(std::string& s);
// The hook through which user-interface texts pass: returns `s` unchanged.
std::string Trans(std::string_view s);

} // namespace lm
