// TSqliteRegistryStore: the registry store kept in an SQLite file per user, safe for several
// processes writing at once.
#pragma once

#include <string>

#include "host/registrystore.h"

struct sqlite3;

namespace lm {

class TSqliteRegistryStore : public TRegistryStore {
public:
    // Opens or creates the store file (and its folder). Raises EInOutError when the file cannot
    // be opened or is not a store. A file the user may only read opens read-only: reads work,
    // changes raise EInOutError "Registry store <file> is read-only".
    explicit TSqliteRegistryStore(const std::string& fileName);
    ~TSqliteRegistryStore() override;
    TSqliteRegistryStore(const TSqliteRegistryStore&) = delete;
    TSqliteRegistryStore& operator=(const TSqliteRegistryStore&) = delete;

    const std::string& FileName() const { return m_fileName; }
    bool ReadOnly() const { return m_readOnly; }

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
    class Stmt;
    void exec(const char* sql);
    void checkWritable() const;
    void reopenImmutableIfUnreadable();
    [[noreturn]] void fail(const char* what);

    std::string m_fileName;
    sqlite3* m_db = nullptr;
    bool m_readOnly = false;
};

// The per-user store file: $LMPACK_REGISTRY when set, else $XDG_CONFIG_HOME/lmpack/registry.db,
// else ~/.config/lmpack/registry.db.
std::string DefaultRegistryFileName();

} // namespace lm
