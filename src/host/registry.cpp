// TRegistry over the store, and the process-wide default store.
#include "host/registry.h"

#include <mutex>

#include "host/sqliteregistrystore.h"

namespace lm {

namespace {
std::mutex g_storeMutex;
std::unique_ptr<TRegistryStore> g_store;
TRegistryStore* g_hostStore = nullptr;
} // namespace

TRegistryStore* DefaultRegistryStore()
{
    std::lock_guard lock(g_storeMutex);
    if (!g_store)
        g_store = std::make_unique<TSqliteRegistryStore>(DefaultRegistryFileName());
    return g_store.get();
}

std::unique_ptr<TRegistryStore> SetDefaultRegistryStore(std::unique_ptr<TRegistryStore> store)
{
    std::lock_guard lock(g_storeMutex);
    std::swap(store, g_store);
    return store;
}

TRegistryStore* SetHostRegistryStore(TRegistryStore* store)
{
    std::lock_guard lock(g_storeMutex);
    std::swap(store, g_hostStore);
    return store;
}

TRegistryStore* CurrentRegistryStore()
{
    {
        std::lock_guard lock(g_storeMutex);
        if (g_hostStore)
            return g_hostStore;
    }
    return DefaultRegistryStore();
}

TRegistry::TRegistry(TRegistryStore* store) : m_store(store ? store : CurrentRegistryStore()) {}

std::string TRegistry::resolve(const std::string& key) const
{
    if (!key.empty() && key[0] == '\\')
        return canonicalRegPath(key);
    return canonicalRegPath(m_current + '\\' + key);
}

bool TRegistry::OpenKey(const std::string& key, bool canCreate)
{
    const std::string path = resolve(key);
    if (!m_store->KeyExists(path)) {
        if (!canCreate)
            return false;
        m_store->CreateKey(path);
    }
    m_current = path;
    m_open = true;
    return true;
}

void TRegistry::CloseKey()
{
    m_current.clear();
    m_open = false;
}

std::string TRegistry::CurrentPath() const { return m_open ? '\\' + m_current : std::string(); }

bool TRegistry::KeyExists(const std::string& key) { return m_store->KeyExists(resolve(key)); }

bool TRegistry::ValueExists(const std::string& name)
{
    return m_open && m_store->ReadValue(m_current, name).has_value();
}

int TRegistry::ReadInteger(const std::string& name)
{
    const auto v = m_open ? m_store->ReadValue(m_current, name) : std::nullopt;
    if (!v || v->Type != TRegValue::rdInteger)
        throw ERegistryException(Format("Invalid data type for '%s'", {name}));
    return v->Int;
}

std::string TRegistry::ReadString(const std::string& name)
{
    const auto v = m_open ? m_store->ReadValue(m_current, name) : std::nullopt;
    if (!v)
        return {};
    if (v->Type != TRegValue::rdString)
        throw ERegistryException(Format("Invalid data type for '%s'", {name}));
    return v->Str;
}

bool TRegistry::ReadBool(const std::string& name) { return ReadInteger(name) != 0; }

void TRegistry::WriteInteger(const std::string& name, int value)
{
    if (!m_open || !m_store->WriteValue(m_current, name, TRegValue::Integer(value)))
        throw ERegistryException(Format("Failed to set data for '%s'", {name}));
}

void TRegistry::WriteString(const std::string& name, const std::string& value)
{
    if (!m_open || !m_store->WriteValue(m_current, name, TRegValue::String(value)))
        throw ERegistryException(Format("Failed to set data for '%s'", {name}));
}

void TRegistry::WriteBool(const std::string& name, bool value) { WriteInteger(name, value ? 1 : 0); }

bool TRegistry::DeleteValue(const std::string& name) { return m_open && m_store->DeleteValue(m_current, name); }

bool TRegistry::DeleteKey(const std::string& key)
{
    const std::string path = resolve(key);
    const bool done = m_store->DeleteKey(path);
    // the open key went with its ancestor: nothing is open any more
    if (done && m_open) {
        const std::string cur = foldRegName(m_current), del = foldRegName(path);
        if (cur == del || cur.compare(0, del.size() + 1, del + '\\') == 0)
            CloseKey();
    }
    return done;
}

void TRegistry::GetKeyNames(std::vector<std::string>& names)
{
    names = m_open ? m_store->KeyNames(m_current) : std::vector<std::string>();
}

void TRegistry::GetValueNames(std::vector<std::string>& names)
{
    names = m_open ? m_store->ValueNames(m_current) : std::vector<std::string>();
}

bool TRegistry::GetKeyInfo(TRegKeyInfo& info)
{
    info = TRegKeyInfo{};
    if (!m_open)
        return false;
    const auto r = m_store->KeyInfo(m_current);
    if (r)
        info = *r;
    return r.has_value();
}

} // namespace lm
