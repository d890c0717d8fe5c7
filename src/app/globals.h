// TGlobalVars: the one process-wide settings object (connection objects, default login,
// registry root, beep settings), and the registry functions, the single-value query and the
// beeps that work through it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "util/component.h"
#include "util/variant.h"

namespace lm {

class TFIBDatabase;
class TFIBTransaction;
class TpFIBQuery;
class TRegistry;
class TRegistryStore;

class TGlobalVars {
public:
    // Applies the Russian regional settings and, when no other instance exists, becomes glVars
    // (until it is destroyed). The registry works on `store`, or on the per-user default store
    // when null (opened on first use). As glVars, its `store` is also the one of every registry
    // object the components create (SetHostRegistryStore), so all settings go to one store.
    explicit TGlobalVars(TComponent* application = nullptr, TRegistryStore* store = nullptr);
    ~TGlobalVars();
    TGlobalVars(const TGlobalVars&) = delete;
    TGlobalVars& operator=(const TGlobalVars&) = delete;

    TComponent* Application = nullptr;
    std::string ExeDir;              // folder of the running program, with a trailing "/"
    std::string RegRoot;             // the key the registry functions resolve against; set by the host
    TFIBDatabase* Database = nullptr;
    TFIBTransaction* WriteTransaction = nullptr;
    TFIBTransaction* ReadTransaction = nullptr;
    int Count = 200;                 // kept for hosts that read it; the package gives it no meaning
    std::string UserName = "SYSDBA";
    std::string Password = "vellumrod";
    std::string RoleName = "ADMROLE";
    int BeepOkFreq = 0, BeepOkDuration = 0;      // 0 disables the success beep
    int BeepWarnFreq = 0, BeepWarnDuration = 0;  // 0 disables the warning beep
    bool UseOpenOffice = false;      // grid export goes to Calc instead of Excel
    bool Flag1 = true, Flag2 = true; // kept for hosts that read them
    std::string InsertShortCut = "Ins";

    // The registry object (root HKEY_CURRENT_USER), owned, created on first use.
    TRegistry& Registry();

    // Binds the query to Database and ReadTransaction and lets it start the transaction.
    void ReadQuerySet(TpFIBQuery* query) const;
    // The same with WriteTransaction; with `autoCommit` the query also commits after running.
    void WriteQuerySet(TpFIBQuery* query, bool autoCommit) const;

private:
    TRegistryStore* m_store;
    TRegistryStore* m_previousHostStore = nullptr;
    std::unique_ptr<TRegistry> m_registry;
};

// The folder of the running program, with a trailing "/" ("./" when it cannot be told).
std::string ProgramDir();

// The process-wide instance (nullptr until the host creates one).
extern TGlobalVars* glVars;

// Runs `sql` with `params` in a query of its own on `transaction` (ReadTransaction of glVars
// when null; the database is the transaction's), starting the transaction when needed. Returns
// the first column of the first row, Null when there is no row, true for a statement without
// a result. Raises lm::Exception with the server's message on failure.
Variant SelectValue(const std::string& sql, const std::vector<Variant>& params = {},
                    TFIBTransaction* transaction = nullptr);

// Registry functions on glVars' registry. Key resolution: an empty key is RegRoot; otherwise a
// "\" is put in front when missing, and RegRoot in front unless the key already begins with it.
// Reads give `def` when the key or value is missing or has the other type, or when the store
// cannot be opened; writes create the key and raise on failure. The 64-bit pair keeps only the low 32 bits and reads them back sign-extended.
int LMReadRegInt(const std::string& name, int def, const std::string& key);
int64_t LMReadRegInt64(const std::string& name, int64_t def, const std::string& key);
std::string LMReadRegStr(const std::string& name, const std::string& def, const std::string& key);
void LMWriteRegInt(const std::string& name, int value, const std::string& key);
void LMWriteRegInt64(const std::string& name, int64_t value, const std::string& key);
void LMWriteRegStr(const std::string& name, const std::string& value, const std::string& key);
// The key the functions above use for `key`.
std::string LMResolveRegKey(const std::string& key);

// The success (true) or warning (false) beep of glVars, when both its numbers are positive.
void LMBeep(bool success);
// The warning beep, then a warning message box with `buttons` (MB_OK, MB_YESNO, ...); returns
// the button pressed.
int WarningBeep(const std::string& msg, int buttons);

} // namespace lm
