// TRegistry: the registry object through which the package reads and writes per-user settings
// (root HKEY_CURRENT_USER), over a TRegistryStore.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "host/registrystore.h"
#include "util/exceptions.h"

namespace lm {

// Raised by the typed reads and the writes, with the platform's messages:
// "Invalid data type for '%s'", "Failed to set data for '%s'".
class ERegistryException : public Exception {
public:
    using Exception::Exception;
};

class TRegistry {
public:
    // Works on `store`, or on CurrentRegistryStore() when null. The store is not owned.
    explicit TRegistry(TRegistryStore* store = nullptr);

    // A key beginning with "\" is taken from the root, any other relative to the current key.
    // Opens it (creating it and its parents when `canCreate`); false when it does not exist
    // and may not be created.
    bool OpenKey(const std::string& key, bool canCreate);
    // Like OpenKey without creating.
    bool OpenKeyReadOnly(const std::string& key) { return OpenKey(key, false); }
    void CloseKey();
    // The current key's path with a leading "\" ("" when none is open).
    std::string CurrentPath() const;
    bool HasCurrentKey() const { return m_open; }

    bool KeyExists(const std::string& key);
    bool ValueExists(const std::string& name);
    // Typed reads from the current key. A missing value or one of the other type raises
    // ERegistryException "Invalid data type for '%s'", except ReadString, which gives "" for a
    // missing value.
    int ReadInteger(const std::string& name);
    std::string ReadString(const std::string& name);
    bool ReadBool(const std::string& name);
    // Writes into the current key; raises "Failed to set data for '%s'" when no key is open or
    // the key has gone.
    void WriteInteger(const std::string& name, int value);
    void WriteString(const std::string& name, const std::string& value);
    void WriteBool(const std::string& name, bool value);
    bool DeleteValue(const std::string& name);
    // Deletes a key (relative or absolute as in OpenKey) with everything beneath it.
    bool DeleteKey(const std::string& key);
    void GetKeyNames(std::vector<std::string>& names);
    void GetValueNames(std::vector<std::string>& names);
    bool GetKeyInfo(TRegKeyInfo& info);

    TRegistryStore* Store() const { return m_store; }

private:
    std::string resolve(const std::string& key) const;

    TRegistryStore* m_store;
    std::string m_current;  // canonical path of the open key
    bool m_open = false;
};

// The process-wide store: the SQLite file of DefaultRegistryFileName(), opened on first use,
// unless a store was installed with SetDefaultRegistryStore.
TRegistryStore* DefaultRegistryStore();
// Installs the process-wide store (e.g. a TMemoryRegistryStore in tests); returns the previous
// one. nullptr goes back to the SQLite file.
std::unique_ptr<TRegistryStore> SetDefaultRegistryStore(std::unique_ptr<TRegistryStore> store);

// The store that registry objects made without one work on: the host's store given here (not
// owned; the global settings object installs its own) while set, else DefaultRegistryStore().
// Returns the previous host store; nullptr goes back to the default.
TRegistryStore* SetHostRegistryStore(TRegistryStore* store);
TRegistryStore* CurrentRegistryStore();

} // namespace lm
