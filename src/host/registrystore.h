// TRegistryStore: the per-user hierarchical key/value store behind TRegistry, and its in-memory
// implementation.
//
// Key paths are canonical here: segments separated by "\", no leading or trailing separator,
// the root is "". Key and value names compare ignoring letter case (Windows-1251 tables) and keep
// the spelling they were created with. Values are a 32-bit integer or a string.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace lm {

struct TRegValue {
    enum TRegDataType { rdInteger, rdString };
    TRegDataType Type = rdString;
    int32_t Int = 0;
    std::string Str;

    static TRegValue Integer(int32_t v) { TRegValue r; r.Type = rdInteger; r.Int = v; return r; }
    static TRegValue String(std::string v) { TRegValue r; r.Type = rdString; r.Str = std::move(v); return r; }
};

struct TRegKeyInfo {
    int NumSubKeys = 0;
    int MaxSubKeyLen = 0;
    int NumValues = 0;
    int MaxValueLen = 0;
    int MaxDataLen = 0;
};

class TRegistryStore {
public:
    virtual ~TRegistryStore() = default;

    virtual bool KeyExists(const std::string& path) = 0;
    // Creates the key and its missing parents; no-op when it exists.
    virtual void CreateKey(const std::string& path) = 0;
    // Deletes the key with its sub-keys and values; false when it did not exist. The root
    // cannot be deleted (false).
    virtual bool DeleteKey(const std::string& path) = 0;
    // The value, or nothing when the key or the value is missing.
    virtual std::optional<TRegValue> ReadValue(const std::string& path, const std::string& name) = 0;
    // Writes a value into an existing key (replacing a value of either type); false when the
    // key does not exist.
    virtual bool WriteValue(const std::string& path, const std::string& name, const TRegValue& value) = 0;
    virtual bool DeleteValue(const std::string& path, const std::string& name) = 0;
    // Names of the direct sub-keys and of the values, ordered by name ignoring case.
    virtual std::vector<std::string> KeyNames(const std::string& path) = 0;
    virtual std::vector<std::string> ValueNames(const std::string& path) = 0;
    virtual std::optional<TRegKeyInfo> KeyInfo(const std::string& path) = 0;
    // Runs `changes` as one unit: when it raises, none of its changes remain. The default only
    // runs it; stores that can undo override it.
    virtual void Batch(const std::function<void()>& changes) { changes(); }
};

// Canonical form of a key path: empty segments dropped ("\A\\B\" gives "A\B").
std::string canonicalRegPath(const std::string& path);
// The case-folded form used for comparisons.
std::string foldRegName(const std::string& name);
// The parent of a canonical path ("" for a key under the root) and its last segment.
std::string regParentPath(const std::string& canon);
std::string regKeyName(const std::string& canon);
// The canonical paths of a key's ancestors below the root and of the key itself, outermost
// first ("A\B" gives "A", "A\B"): what creating the key creates.
std::vector<std::string> regPathChain(const std::string& canon);

// A store kept in memory for the life of the object (tests, hosts without a settings file).
class TMemoryRegistryStore : public TRegistryStore {
public:
    TMemoryRegistryStore();
    bool KeyExists(const std::string& path) override;
    void CreateKey(const std::string& path) override;
    bool DeleteKey(const std::string& path) override;
    std::optional<TRegValue> ReadValue(const std::string& path, const std::string& name) override;
    bool WriteValue(const std::string& path, const std::string& name, const TRegValue& value) override;
    bool DeleteValue(const std::string& path, const std::string& name) override;
    std::vector<std::string> KeyNames(const std::string& path) override;
    std::vector<std::string> ValueNames(const std::string& path) override;
    std::optional<TRegKeyInfo> KeyInfo(const std::string& path) override;
    void Batch(const std::function<void()>& changes) override;

private:
    struct Key {
        std::string name;  // last segment as spelled at creation
        std::map<std::string, std::pair<std::string, TRegValue>> values;  // fold -> (name, value)
    };
    std::map<std::string, Key> m_keys;  // folded canonical path -> key
};

} // namespace lm
