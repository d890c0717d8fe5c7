// Key path helpers and the in-memory registry store.
#include "host/registrystore.h"

#include <algorithm>

#include "util/cp1251.h"

namespace lm {

std::string canonicalRegPath(const std::string& path)
{
    std::string out;
    std::size_t i = 0;
    while (i < path.size()) {
        const std::size_t j = std::min(path.find('\\', i), path.size());
        if (j > i) {
            if (!out.empty())
                out += '\\';
            out.append(path, i, j - i);
        }
        i = j + 1;
    }
    return out;
}

std::string foldRegName(const std::string& name) { return upperCase(name); }

std::string regParentPath(const std::string& canon)
{
    const auto p = canon.rfind('\\');
    return p == std::string::npos ? std::string() : canon.substr(0, p);
}

std::string regKeyName(const std::string& canon)
{
    const auto p = canon.rfind('\\');
    return p == std::string::npos ? canon : canon.substr(p + 1);
}

std::vector<std::string> regPathChain(const std::string& canon)
{
    std::vector<std::string> chain;
    std::size_t i = 0;
    while (i < canon.size()) {
        const std::size_t j = std::min(canon.find('\\', i), canon.size());
        chain.push_back(canon.substr(0, j));
        i = j + 1;
    }
    return chain;
}

TMemoryRegistryStore::TMemoryRegistryStore() { m_keys[""] = Key{}; }

void TMemoryRegistryStore::Batch(const std::function<void()>& changes)
{
    auto saved = m_keys;
    try {
        changes();
    } catch (...) {
        m_keys = std::move(saved);
        throw;
    }
}

bool TMemoryRegistryStore::KeyExists(const std::string& path)
{
    return m_keys.count(foldRegName(canonicalRegPath(path))) != 0;
}

void TMemoryRegistryStore::CreateKey(const std::string& path)
{
    for (const std::string& prefix : regPathChain(canonicalRegPath(path))) {
        auto& key = m_keys[foldRegName(prefix)];
        if (key.name.empty())
            key.name = regKeyName(prefix);
    }
}

bool TMemoryRegistryStore::DeleteKey(const std::string& path)
{
    const std::string fold = foldRegName(canonicalRegPath(path));
    if (fold.empty() || !m_keys.count(fold))
        return false;
    const std::string sub = fold + '\\';
    for (auto it = m_keys.lower_bound(fold); it != m_keys.end();) {
        if (it->first == fold || it->first.compare(0, sub.size(), sub) == 0)
            it = m_keys.erase(it);
        else if (it->first.compare(0, fold.size(), fold) == 0)
            ++it;  // a sibling whose name extends this one ("A\BC" after "A\B")
        else
            break;
    }
    return true;
}

std::optional<TRegValue> TMemoryRegistryStore::ReadValue(const std::string& path, const std::string& name)
{
    auto k = m_keys.find(foldRegName(canonicalRegPath(path)));
    if (k == m_keys.end())
        return std::nullopt;
    auto v = k->second.values.find(foldRegName(name));
    if (v == k->second.values.end())
        return std::nullopt;
    return v->second.second;
}

bool TMemoryRegistryStore::WriteValue(const std::string& path, const std::string& name, const TRegValue& value)
{
    auto k = m_keys.find(foldRegName(canonicalRegPath(path)));
    if (k == m_keys.end())
        return false;
    auto& slot = k->second.values[foldRegName(name)];
    if (slot.first.empty())
        slot.first = name;
    slot.second = value;
    return true;
}

bool TMemoryRegistryStore::DeleteValue(const std::string& path, const std::string& name)
{
    auto k = m_keys.find(foldRegName(canonicalRegPath(path)));
    return k != m_keys.end() && k->second.values.erase(foldRegName(name)) > 0;
}

std::vector<std::string> TMemoryRegistryStore::KeyNames(const std::string& path)
{
    std::vector<std::string> out;
    const std::string fold = foldRegName(canonicalRegPath(path));
    for (const auto& [kfold, key] : m_keys)
        if (!kfold.empty() && regParentPath(kfold) == fold)
            out.push_back(key.name);
    return out;
}

std::vector<std::string> TMemoryRegistryStore::ValueNames(const std::string& path)
{
    std::vector<std::string> out;
    auto k = m_keys.find(foldRegName(canonicalRegPath(path)));
    if (k != m_keys.end())
        for (const auto& [vfold, v] : k->second.values)
            out.push_back(v.first);
    return out;
}

std::optional<TRegKeyInfo> TMemoryRegistryStore::KeyInfo(const std::string& path)
{
    const std::string canon = canonicalRegPath(path);
    auto k = m_keys.find(foldRegName(canon));
    if (k == m_keys.end())
        return std::nullopt;
    TRegKeyInfo info;
    for (const std::string& n : KeyNames(canon)) {
        ++info.NumSubKeys;
        info.MaxSubKeyLen = std::max(info.MaxSubKeyLen, static_cast<int>(n.size()));
    }
    for (const auto& [vfold, v] : k->second.values) {
        ++info.NumValues;
        info.MaxValueLen = std::max(info.MaxValueLen, static_cast<int>(v.first.size()));
        const int len = v.second.Type == TRegValue::rdInteger ? 4 : static_cast<int>(v.second.Str.size()) + 1;
        info.MaxDataLen = std::max(info.MaxDataLen, len);
    }
    return info;
}

} // namespace lm
