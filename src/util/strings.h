// TStrings: the abstract string list. Concrete lists supply the storage through a few virtual
// operations; text, name=value access, files and streams are built here on top of them.
#pragma once

#include <iosfwd>
#include <string>
#include <string_view>

#include "util/object.h"

namespace lm {

class TStrings : public TObject {
public:
    TStrings() = default;
    TStrings(const TStrings&) = delete;
    TStrings& operator=(const TStrings&) = delete;

    // --- Storage operations, overridden by concrete lists. Indexes are 0-based. ---

    // The string at `index`; a concrete list raises EStringListError "SListIndexError" when
    // the index is out of range.
    virtual const std::string& Get(int index) const = 0;
    // Entries the list can hold without growing; the base answers GetCount().
    virtual int GetCapacity() const;
    virtual int GetCount() const = 0;
    // The object attached to the entry (a link, not owned unless the list says so); the base
    // list keeps no objects and answers nullptr.
    virtual TObject* GetObject(int index) const;
    // Replaces the string, keeping the attached object. The base deletes and re-inserts.
    virtual void Put(int index, const std::string& s);
    // Attaches an object to the entry; the base list ignores it.
    virtual void PutObject(int index, TObject* object);
    // A hint; the base ignores it.
    virtual void SetCapacity(int capacity);
    // Adds the string and returns its index; the base inserts at the end.
    virtual int Add(const std::string& s);
    virtual void Clear() = 0;
    virtual void Delete(int index) = 0;
    // Swaps two entries with their objects.
    virtual void Exchange(int index1, int index2);
    // Index of the first entry equal to `s` ignoring letter case, or -1.
    virtual int IndexOf(const std::string& s) const;
    virtual void Insert(int index, const std::string& s) = 0;

    // --- Built on the operations above. ---

    int Count() const { return GetCount(); }
    int Capacity() const { return GetCapacity(); }
    const std::string& Strings(int index) const { return Get(index); }
    void SetStrings(int index, const std::string& s) { Put(index, s); }
    TObject* Objects(int index) const { return GetObject(index); }
    void SetObjects(int index, TObject* object) { PutObject(index, object); }

    // Adds the string with its object and returns the index. When the list declines a new
    // entry (a sorted list ignoring duplicates), the existing entry keeps its own object and
    // `object` stays with the caller.
    int AddObject(const std::string& s, TObject* object);
    void InsertObject(int index, const std::string& s, TObject* object);
    // Adds every entry of `other` with its object (the objects are linked, not copied).
    void AddStrings(const TStrings& other);
    // Replaces the contents with those of `other`.
    void Assign(const TStrings& other);
    // True when both lists hold the same strings in the same order (exact comparison).
    bool Equals(const TStrings& other) const;
    // Index of the first entry whose attached object is `object`, or -1.
    int IndexOfObject(const TObject* object) const;

    // Every entry followed by CR LF.
    std::string Text() const;
    // Replaces the contents by the lines of `text`; CR LF, a lone LF and a lone CR all end a
    // line, and a last line without an ending is kept. An empty text leaves the list empty.
    void SetText(std::string_view text);

    // Name=value entries: the name is the text before the first "=" (empty when there is none),
    // names are compared ignoring letter case.
    std::string Names(int index) const;
    std::string ValueFromIndex(int index) const;
    // Index of the first entry named `name`, or -1.
    int IndexOfName(std::string_view name) const;
    // The value of the first entry named `name`, or the empty text.
    std::string Values(std::string_view name) const;
    // Sets the value of the entry named `name`, adding the entry when there is none; an empty
    // value deletes the entry.
    void SetValues(std::string_view name, std::string_view value);

    // Reads the whole stream as text (SetText). Raises EInOutError when the stream fails.
    void LoadFromStream(std::istream& stream);
    // Writes Text() to the stream. Raises EInOutError when the stream fails.
    void SaveToStream(std::ostream& stream) const;
    // Reads the file's bytes as text. Raises EInOutError "Cannot open file ..." with the
    // system's error when the file cannot be read.
    void LoadFromFile(const std::string& fileName);
    // Writes Text() as the new content of `fileName`, as StrtoFile does (a failure never leaves
    // a half-written file). Raises EInOutError on failure.
    void SaveToFile(const std::string& fileName) const;

protected:
    // Equality ignoring letter case by the Windows-1251 tables (Cyrillic and Ё/ё included).
    static bool SameText(std::string_view a, std::string_view b);
    // Puts "name=value" at `index`, or appends it when `index` is negative; an empty value
    // deletes the entry at `index` instead (nothing when negative).
    void SetValueAt(int index, std::string_view name, std::string_view value);
};

} // namespace lm
