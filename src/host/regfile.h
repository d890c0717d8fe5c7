// Registry export files (.reg): reading "REGEDIT4" (Windows-1251) and "Windows Registry Editor
// Version 5.00" (UTF-16LE with a byte-order mark) files into the settings store, and writing a
// key with its sub-keys in the version 5.00 text form.
//
// The format: a header line; "[HKEY_CURRENT_USER\Path]" opens (and creates) a key,
// "[-HKEY_CURRENT_USER\Path]" deletes one; below a key, "Name"=... or @=... lines set values:
// "text" (with \\ and \" escapes), dword:XXXXXXXX (hexadecimal), or - to delete the value.
// hex:..., hex(N):... data may continue over lines ending in a backslash. Lines starting with
// ";" are comments.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "host/registrystore.h"
#include "util/exceptions.h"

namespace lm {

// One change a .reg file asks for.
struct TRegFileOp {
    enum TKind { rkCreateKey, rkDeleteKey, rkSetValue, rkDeleteValue };
    TKind Kind;
    std::string Key;    // canonical path below HKEY_CURRENT_USER
    std::string Name;   // value name ("" for the default value @)
    TRegValue Value;
    int Line = 0;
};

struct TRegFileContents {
    std::vector<TRegFileOp> Ops;
    // What was not imported, each "Строка N: ..." (other roots, binary and other value kinds).
    std::vector<std::string> Skipped;
};

// A malformed file: the message names the line.
class ERegFileError : public Exception {
public:
    ERegFileError(int line, const std::string& message);
    int Line() const noexcept { return m_line; }

private:
    int m_line;
};

// Reads a whole .reg file's bytes; raises ERegFileError for a malformed one.
TRegFileContents ParseRegFile(std::string_view bytes);
// Applies the changes to `store` in one batch: all of them, or none when one fails.
void ApplyRegFile(const TRegFileContents& contents, TRegistryStore& store);
// The key (a path below HKEY_CURRENT_USER, with or without the root's name) and everything
// beneath it as version 5.00 text in UTF-8 with CR LF line ends. Raises lm::Exception
// "Раздел не найден: %s" for a missing key.
std::string ExportRegKey(TRegistryStore& store, const std::string& key);

} // namespace lm
