// Word search, tokens and small text edits.
#include "util/strs_words.h"

#include <algorithm>

#include "util/cp1251.h"
#include "util/strings.h"

namespace lm {

namespace {
bool isWordDelimiter(char c) { return kWordDelimiters.find(c) != std::string_view::npos; }

template <typename List>
std::string decodeIn(std::string_view s, const List& pairs)
{
    const std::size_t n = pairs.size();
    if (n == 0)
        return std::string();
    auto at = [&](std::size_t i) { return std::string_view(*(pairs.begin() + static_cast<std::ptrdiff_t>(i))); };
    for (std::size_t i = 0; i + 1 < n; i += 2)
        if (at(i) == s)
            return std::string(at(i + 1));
    return std::string(at(n - 1));
}

template <typename List>
bool contains(std::string_view s, const List& list)
{
    return std::any_of(list.begin(), list.end(), [&](const auto& e) { return std::string_view(e) == s; });
}
} // namespace

int WordPos(std::string_view word, std::string_view text)
{
    if (word.empty())
        return 0;
    const std::string w = upperCase(word);
    const std::string t = upperCase(text);
    for (std::size_t at = t.find(w); at != std::string::npos; at = t.find(w, at + 1)) {
        const std::size_t end = at + w.size();
        if ((at == 0 || isWordDelimiter(t[at - 1])) && (end == t.size() || isWordDelimiter(t[end])))
            return static_cast<int>(at + 1);
    }
    return 0;
}

std::string Q_StrTok(std::string& s, std::string_view delims)
{
    const std::size_t start = s.find_first_not_of(delims);
    if (start == std::string::npos) {
        s.clear();
        return std::string();
    }
    const std::size_t end = std::min(s.find_first_of(delims, start), s.size());
    std::string token = s.substr(start, end - start);
    s.erase(0, end);
    return token;
}

void StrToTokens(std::string_view s, std::string_view delims, TStrings& list)
{
    std::string rest(s);
    while (!rest.empty()) {
        std::string token = Q_StrTok(rest, delims);
        if (!token.empty())
            list.Add(token);
    }
}

std::string Decode(std::string_view s, std::initializer_list<std::string_view> pairs) { return decodeIn(s, pairs); }
std::string Decode(std::string_view s, const std::vector<std::string>& pairs) { return decodeIn(s, pairs); }
bool StrIn(std::string_view s, std::initializer_list<std::string_view> list) { return contains(s, list); }
bool StrIn(std::string_view s, const std::vector<std::string>& list) { return contains(s, list); }

std::string CopyToPos(std::string_view s, std::string_view sub)
{
    const std::size_t at = s.find(sub);
    return at == std::string_view::npos ? std::string() : std::string(s.substr(0, at));
}

bool StartsWith(std::string_view s, std::string_view prefix) { return s.starts_with(prefix); }
bool EndsWith(std::string_view s, std::string_view suffix) { return s.ends_with(suffix); }

void AddStr(std::string& s, std::string_view add, std::string_view sep)
{
    if (!s.empty())
        s += sep;
    s += add;
}

void InsertStr(std::string_view sub, std::string& s, int index)
{
    const std::size_t at = std::min<std::size_t>(index < 0 ? 0 : static_cast<std::size_t>(index), s.size());
    s.replace(at, sub.size(), sub);
}

std::string ExtractQuotedStr(std::string& s)
{
    if (s.empty() || s[0] != '\'')
        return std::string();
    std::string content;
    std::size_t i = 1;
    for (; i < s.size(); ++i) {
        if (s[i] != '\'') {
            content += s[i];
        } else if (i + 1 < s.size() && s[i + 1] == '\'') {
            content += '\'';
            ++i;
        } else {
            break;
        }
    }
    s.erase(0, std::min(i + 1, s.size()));
    return content;
}

void FastTrim(std::string& s)
{
    auto blank = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
    const auto first = std::find_if_not(s.begin(), s.end(), blank);
    const auto last = std::find_if_not(s.rbegin(), std::make_reverse_iterator(first), blank).base();
    s.erase(last, s.end());
    s.erase(s.begin(), first);
}

std::string Trans(std::string_view s) { return std::string(s); }

} // namespace lm
