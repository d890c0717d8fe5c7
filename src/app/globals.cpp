// The global settings object and the functions that work through it.
#include "app/globals.h"

#include <filesystem>

#include "app/hooks.h"
#include "db/fibdatabase.h"
#include "db/fibquery.h"
#include "db/fibtransaction.h"
#include "host/registry.h"
#include "util/exceptions.h"
#include "util/filefunc.h"

namespace lm {

TGlobalVars* glVars = nullptr;

std::string ProgramDir()
{
    std::error_code ec;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec)
        return "./";
    std::string dir = exe.parent_path().string();
    if (dir.empty() || dir.back() != '/')
        dir += '/';
    return dir;
}

namespace {

TGlobalVars& vars()
{
    if (!glVars)
        throw Exception("glVars is not created");
    return *glVars;
}

} // namespace

TGlobalVars::TGlobalVars(TComponent* application, TRegistryStore* store)
    : Application(application), ExeDir(ProgramDir()), m_store(store)
{
    RussianRegionSettings();
    if (!glVars) {
        glVars = this;
        // every component's registry object then works on the host's store, not the default
        if (m_store)
            m_previousHostStore = SetHostRegistryStore(m_store);
    }
}

TGlobalVars::~TGlobalVars()
{
    if (glVars != this)
        return;
    glVars = nullptr;
    if (m_store)
        SetHostRegistryStore(m_previousHostStore);
}

TRegistry& TGlobalVars::Registry()
{
    if (!m_registry)
        m_registry = std::make_unique<TRegistry>(m_store);
    return *m_registry;
}

void TGlobalVars::ReadQuerySet(TpFIBQuery* query) const
{
    query->SetDatabase(Database);
    query->SetTransaction(ReadTransaction);
    query->SetOptions(TpFIBQuery::qoStartTransaction);
}

void TGlobalVars::WriteQuerySet(TpFIBQuery* query, bool autoCommit) const
{
    query->SetDatabase(Database);
    query->SetTransaction(WriteTransaction);
    query->SetOptions(TpFIBQuery::qoStartTransaction | (autoCommit ? TpFIBQuery::qoAutoCommit : 0));
}

Variant SelectValue(const std::string& sql, const std::vector<Variant>& params, TFIBTransaction* transaction)
{
    TFIBTransaction* tra = transaction ? transaction : vars().ReadTransaction;
    if (!tra)
        throw Exception("SelectValue: no transaction");
    TpFIBQuery query;
    query.SetDatabase(tra->DefaultDatabase());
    query.SetTransaction(tra);
    query.SetOptions(TpFIBQuery::qoStartTransaction);
    query.SetSQL(sql);
    query.ExecWP(params);
    if (query.FieldCount() == 0)
        return Variant(true);
    if (query.Eof())
        return Variant::Null();
    return query.Fields(0);
}

std::string LMResolveRegKey(const std::string& key)
{
    const std::string& root = vars().RegRoot;
    if (key.empty())
        return root;
    std::string k = key[0] == '\\' ? key : '\\' + key;
    if (root.empty() || k.compare(0, root.size(), root) != 0)
        k = root + k;
    return k;
}

namespace {

// Opens the resolved key for reading; false when it does not exist.
bool openForRead(TRegistry& reg, const std::string& key)
{
    const std::string path = LMResolveRegKey(key);
    return reg.OpenKey(path.empty() || path[0] != '\\' ? '\\' + path : path, false);
}

void openForWrite(TRegistry& reg, const std::string& key)
{
    const std::string path = LMResolveRegKey(key);
    reg.OpenKey(path.empty() || path[0] != '\\' ? '\\' + path : path, true);
}

// Reads a value of the resolved key with `read`; `def` when the key or value is missing, has
// the other type, or the store cannot be opened or read.
template <typename T, typename Read>
T readRegValue(const std::string& name, T def, const std::string& key, Read read)
{
    try {
        TRegistry& reg = vars().Registry();
        T result = def;
        if (openForRead(reg, key) && reg.ValueExists(name)) {
            try {
                result = read(reg);
            } catch (const ERegistryException&) {
                // a value of the other type reads as missing
            }
        }
        reg.CloseKey();
        return result;
    } catch (const EInOutError&) {
        return def;
    }
}

// Writes with `write` into the resolved key, creating it; failures raise.
template <typename Write>
void writeRegValue(const std::string& key, Write write)
{
    TRegistry& reg = vars().Registry();
    openForWrite(reg, key);
    try {
        write(reg);
    } catch (...) {
        reg.CloseKey();
        throw;
    }
    reg.CloseKey();
}

} // namespace

int LMReadRegInt(const std::string& name, int def, const std::string& key)
{
    return readRegValue(name, def, key, [&](TRegistry& r) { return r.ReadInteger(name); });
}

int64_t LMReadRegInt64(const std::string& name, int64_t def, const std::string& key)
{
    return readRegValue(name, def, key, [&](TRegistry& r) { return static_cast<int64_t>(r.ReadInteger(name)); });
}

std::string LMReadRegStr(const std::string& name, const std::string& def, const std::string& key)
{
    return readRegValue(name, def, key, [&](TRegistry& r) { return r.ReadString(name); });
}

void LMWriteRegInt(const std::string& name, int value, const std::string& key)
{
    writeRegValue(key, [&](TRegistry& r) { r.WriteInteger(name, value); });
}

void LMWriteRegInt64(const std::string& name, int64_t value, const std::string& key)
{
    LMWriteRegInt(name, static_cast<int>(static_cast<uint32_t>(static_cast<uint64_t>(value))), key);
}

void LMWriteRegStr(const std::string& name, const std::string& value, const std::string& key)
{
    writeRegValue(key, [&](TRegistry& r) { r.WriteString(name, value); });
}

void LMBeep(bool success)
{
    if (!glVars)
        return;
    const int freq = success ? glVars->BeepOkFreq : glVars->BeepWarnFreq;
    const int duration = success ? glVars->BeepOkDuration : glVars->BeepWarnDuration;
    if (freq > 0 && duration > 0)
        PlayBeep(freq, duration);
}

int WarningBeep(const std::string& msg, int buttons)
{
    LMBeep(false);
    return ShowMessageBox(msg, std::string(), buttons | MB_ICONWARNING);
}

} // namespace lm
