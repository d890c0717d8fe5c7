// The operations of the abstract string list that work through the storage operations.
#include "util/strings.h"

#include <istream>
#include <iterator>
#include <ostream>

#include "util/cp1251.h"
#include "util/exceptions.h"
#include "util/strs_files.h"

namespace lm {

namespace {

constexpr std::string_view kLineBreak = "\r\n";

} // namespace

int TStrings::GetCapacity() const
{
    return GetCount();
}

TObject* TStrings::GetObject(int) const
{
    return nullptr;
}

void TStrings::Put(int index, const std::string& s)
{
    TObject* object = GetObject(index);
    const std::string copy = s;  // `s` may be the entry about to be deleted
    Delete(index);
    InsertObject(index, copy, object);
}

void TStrings::PutObject(int, TObject*) {}

void TStrings::SetCapacity(int) {}

int TStrings::Add(const std::string& s)
{
    const int index = GetCount();
    Insert(index, s);
    return index;
}

void TStrings::Exchange(int index1, int index2)
{
    TObject* object1 = GetObject(index1);
    TObject* object2 = GetObject(index2);
    const std::string s1 = Get(index1);
    const std::string s2 = Get(index2);
    Put(index1, s2);
    Put(index2, s1);
    PutObject(index1, object2);
    PutObject(index2, object1);
}

int TStrings::IndexOf(const std::string& s) const
{
    const int count = GetCount();
    for (int i = 0; i < count; ++i)
        if (SameText(Get(i), s))
            return i;
    return -1;
}

int TStrings::AddObject(const std::string& s, TObject* object)
{
    const int before = GetCount();
    const int index = Add(s);
    if (GetCount() > before)
        PutObject(index, object);
    return index;
}

void TStrings::InsertObject(int index, const std::string& s, TObject* object)
{
    Insert(index, s);
    PutObject(index, object);
}

void TStrings::AddStrings(const TStrings& other)
{
    const int count = other.GetCount();
    SetCapacity(GetCount() + count);
    for (int i = 0; i < count; ++i)
        AddObject(other.Get(i), other.GetObject(i));
}

void TStrings::Assign(const TStrings& other)
{
    if (&other == this)
        return;
    Clear();
    AddStrings(other);
}

bool TStrings::Equals(const TStrings& other) const
{
    const int count = GetCount();
    if (count != other.GetCount())
        return false;
    for (int i = 0; i < count; ++i)
        if (Get(i) != other.Get(i))
            return false;
    return true;
}

int TStrings::IndexOfObject(const TObject* object) const
{
    const int count = GetCount();
    for (int i = 0; i < count; ++i)
        if (GetObject(i) == object)
            return i;
    return -1;
}

std::string TStrings::Text() const
{
    const int count = GetCount();
    size_t size = 0;
    for (int i = 0; i < count; ++i)
        size += Get(i).size() + kLineBreak.size();
    std::string text;
    text.reserve(size);
    for (int i = 0; i < count; ++i) {
        text += Get(i);
        text += kLineBreak;
    }
    return text;
}

void TStrings::SetText(std::string_view text)
{
    Clear();
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos)
            end = text.size();
        Add(std::string(text.substr(start, end - start)));
        start = end;
        if (start < text.size() && text[start] == '\r')
            ++start;
        if (start < text.size() && text[start] == '\n')
            ++start;
    }
}

std::string TStrings::Names(int index) const
{
    const std::string& s = Get(index);
    const size_t eq = s.find('=');
    return eq == std::string::npos ? std::string() : s.substr(0, eq);
}

std::string TStrings::ValueFromIndex(int index) const
{
    const std::string& s = Get(index);
    const size_t eq = s.find('=');
    return eq == std::string::npos ? std::string() : s.substr(eq + 1);
}

int TStrings::IndexOfName(std::string_view name) const
{
    const int count = GetCount();
    for (int i = 0; i < count; ++i) {
        const std::string& s = Get(i);
        const size_t eq = s.find('=');
        if (eq != std::string::npos && SameText(std::string_view(s).substr(0, eq), name))
            return i;
    }
    return -1;
}

std::string TStrings::Values(std::string_view name) const
{
    const int index = IndexOfName(name);
    return index < 0 ? std::string() : ValueFromIndex(index);
}

void TStrings::SetValues(std::string_view name, std::string_view value)
{
    SetValueAt(IndexOfName(name), name, value);
}

void TStrings::SetValueAt(int index, std::string_view name, std::string_view value)
{
    if (value.empty()) {
        if (index >= 0)
            Delete(index);
        return;
    }
    std::string entry(name);
    entry += '=';
    entry += value;
    if (index >= 0)
        Put(index, entry);
    else
        Add(entry);
}

void TStrings::LoadFromStream(std::istream& stream)
{
    const std::string text{std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>()};
    if (stream.bad())
        throw EInOutError("Stream read error");
    SetText(text);
}

void TStrings::SaveToStream(std::ostream& stream) const
{
    const std::string text = Text();
    stream.write(text.data(), static_cast<std::streamsize>(text.size()));
    if (!stream)
        throw EInOutError("Stream write error");
}

void TStrings::LoadFromFile(const std::string& fileName)
{
    SetText(FileToStr(fileName));
}

void TStrings::SaveToFile(const std::string& fileName) const
{
    StrtoFile(Text(), fileName);
}

bool TStrings::SameText(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    const unsigned char* upper = upperTable();
    for (size_t i = 0; i < a.size(); ++i)
        if (upper[static_cast<unsigned char>(a[i])] != upper[static_cast<unsigned char>(b[i])])
            return false;
    return true;
}

} // namespace lm
