// Whole-file text helpers of the string library: reading and writing a file as one string,
// appending, listing a directory by mask, one value of an INI file, and freeing the objects of
// a string list.
//
// Names are Windows-1251 text; they reach the file system as UTF-8 (ToSysPath). Failures raise
// EInOutError with the system's error number and LastErrorStr text.
#pragma once

#include <string>
#include <string_view>

namespace lm {

class TStrings;

// The whole file as raw bytes. EInOutError "Cannot open file "%s". %s" (or "Cannot read
// file ...") on failure.
std::string FileToStr(const std::string& fileName);
// Creates or replaces the file with the bytes of `s` as TFileReplacer does: a failure leaves the
// old file whole, a link is followed to its file, an existing file keeps its permission bits and
// one the user may not write is refused. EInOutError "Cannot create file "%s". %s" on failure.
void StrtoFile(std::string_view s, const std::string& fileName);
// Appends `s` to an existing file, holding an exclusive lock on it meanwhile (another writer
// that holds the lock makes the call fail rather than wait). EInOutError "Cannot open file
// "%s". %s" when the file is missing or locked, "Cannot write file ..." when writing fails.
void FileAppend(const std::string& fileName, std::string_view s);
// Clears `list` and adds, in byte order, the names (without path) of the files matching
// `path`: a directory, a separator ("/" or "\") and a mask with "*" and "?" compared ignoring
// letter case; a path ending in a separator gets "*.*" (every name). Directories and names
// starting with "." are left out; an unreadable directory gives an empty list.
void DirectorytoStringList(std::string_view path, TStrings& list);

// The value of `key` in `section` of the INI file (section and key compared ignoring letter
// case, blanks around the value and one pair of enclosing quotes removed); empty when the file,
// the section or the key is missing.
std::string ReadIni(const std::string& fileName, std::string_view section, std::string_view key);
// Sets `key` in `section` to `value`, adding the key after the section's last entry or the
// section at the end of the file when missing, and creating the file when needed. The file is
// written with CR LF line ends and replaced as StrtoFile replaces a file. A section
// with "]" or a line break, a key with "=" or a line break, or a value with a line break
// raises lm::Exception "Недопустимые символы в INI-файле %s", since they would change other
// entries of the file.
void WriteIni(const std::string& fileName, std::string_view section, std::string_view key, std::string_view value);

// Deletes every object attached to the entries of `list` and clears the links.
void FreeListObjects(TStrings& list);

} // namespace lm
