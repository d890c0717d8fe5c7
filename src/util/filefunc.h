// File functions: copying, moving and deleting with the package's Russian messages, directory
// listings and chains, file sizes, dates and versions, and the process-wide regional settings.
//
// Names are Windows-1251 text like all the package's text; on the way to the file system they
// are converted to UTF-8 (ToSysPath) and names read from it come back in Windows-1251
// (FromSysPath). Paths are POSIX paths with "/"; only NormalDir keeps the backslash rules of
// the package's Windows paths, as a text function. The command-line and process functions
// (util/process.h) and the service path (util/service.h) belong to the same unit and come with
// this header.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "util/process.h"
#include "util/service.h"
#include "util/sysutils.h"

namespace lm {

// "Код: ", the error number, ": " and the system's text for it (trailing blanks, control
// characters and periods removed), in Windows-1251. Without an argument: the current errno.
std::string LastErrorStr();
std::string LastErrorStr(int code);

// Sets FormatSettings to the Russian conventions: decimal ",", date separator ".", short date
// "dd.MM.yyyy", time separator ":", times "h:nn" and "h:nn:ss", thousands the byte 160.
void RussianRegionSettings();

// Whether the system reports the Windows NT platform: never on this one.
bool OSisNT();

// A Windows-1251 name in the file system's encoding (UTF-8), and back. Characters the code
// page lacks come back as '?'.
std::string ToSysPath(std::string_view name);
std::string FromSysPath(std::string_view name);

// Copies src over dst (written as TFileReplacer replaces a file: a link at dst is followed, a
// dst the user may not write is refused; the permission bits and the last-write time of src go
// with it). Raises EInOutError
// "Ошибка копирования файла %s в %s.\r\n%s" with LastErrorStr on failure.
void CopyFileExcept(const std::string& src, const std::string& dst);
// Renames src to dst, replacing dst; across file systems a copy followed by deleting src.
// Raises EInOutError "Ошибка переименования файла %s в %s:\r\n%s." on failure.
void MoveFileExcept(const std::string& src, const std::string& dst);
// The same move; false instead of an exception (errno tells why).
bool MoveFileRes(const std::string& src, const std::string& dst);
// Deletes the file (a missing file is a failure). Raises EInOutError
// "Ошибка удаления файла %s : %s." on failure.
void DeleteFileExcept(const std::string& name);
// ForceDirectories(dir); on failure EInOutError "Ошибка создания директории %s : %s".
// Returns dir.
std::string CreateDirExcept(const std::string& dir);
// Creates dir and its missing parents; true when all of it exists as directories afterwards.
// An empty dir raises Exception "Невозможно создать директорию \"\"". A trailing "/" is
// ignored; the root and existing directories count as success.
bool ForceDirectories(const std::string& dir);
// Raises Exception "Не найдена директория \"<dir>\"" when dir is not an existing directory.
void CheckDirectory(const std::string& dir);
// Deletes everything inside dir, subdirectories included, then dir itself unless keepRoot.
// Failures are ignored. Symbolic links are deleted as links, never followed.
void RemoveDir(const std::string& dir, bool keepRoot = false);
// Copies the files (not directories) of srcDir matching mask into dstDir, overwriting.
// Returns the number copied, or -1 at the first failed copy (no further file is tried).
int CopyFiles(const std::string& srcDir, const std::string& dstDir, const std::string& mask);
// Makes an existing file writable for its owner (the counterpart of clearing the read-only
// attribute; hidden and system attributes have no counterpart here).
void ClearReadOnlyAttr(const std::string& name);
// Sets the last-access and last-write times of the file to the local date-time dt (creation
// times cannot be set here). Returns success.
bool SetFileDateTime(const std::string& name, TDateTime dt);

// Windows path text: "" stays ""; a single letter A-Z/a-z gets ":\"; any other text without a
// trailing backslash gets "\".
std::string NormalDir(std::string_view dir);
// Appends "/" when dir is not empty and lacks it: the directory prefix for names inside it.
std::string IncludeTrailingSlash(std::string_view dir);
// Whether name matches a file mask: "*" any run, "?" one character, letters compared ignoring
// case (Windows-1251 tables); "*.*" matches every name, with or without a dot.
bool MatchesMask(std::string_view name, std::string_view mask);

// Adds to list the names (without path) of the files in dir matching mask, skipping
// directories and names already in list. An unreadable dir adds nothing.
void CreateFileList(const std::string& dir, const std::string& mask, std::vector<std::string>& list);
// The same for the subdirectories of dir ("." and ".." excluded).
void CreateDirList(const std::string& dir, std::vector<std::string>& list);
// Adds the full paths of the files of dir matching mask, then those of each subdirectory,
// recursively (symbolic links to directories are not followed).
void RecursiveFileList(const std::string& dir, const std::string& mask, std::vector<std::string>& list);

bool DirectoryExists(const std::string& dir);
bool FileExists(const std::string& name);  // an existing entry that is not a directory
// The size in bytes; -1 when the file does not exist or is a directory.
int64_t GetFileSize(const std::string& name);
// The last-write time as a local date-time; 0 when the file does not exist.
TDateTime FileDateTime(const std::string& name);
// Bytes free for the caller on the volume of path; 0 on failure.
int64_t GetDiskFreeSpace(const std::string& path);
// "major.minor.release.build" of the file's fixed version information; files here carry none,
// so the result is always empty.
std::string GetFileVersion(const std::string& name);

} // namespace lm
