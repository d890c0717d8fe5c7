// TAtomicFile: a temporary file beside a target that replaces the target only when the writing
// succeeded, so a failed save never leaves a partial file and keeps the old one. A target that
// is a symbolic link has the file it names replaced; the replaced file keeps its permissions.
#pragma once

#include <string>

namespace lm {

class TAtomicFile {
public:
    // Reserves a new temporary name in the target's folder (names are Windows-1251). Raises
    // EInOutError "Ошибка записи файла %s : %s" when the folder cannot take a file.
    explicit TAtomicFile(const std::string& target);
    // Removes the temporary file unless Commit succeeded.
    ~TAtomicFile();
    TAtomicFile(const TAtomicFile&) = delete;
    TAtomicFile& operator=(const TAtomicFile&) = delete;

    // The temporary file's path in the file system's encoding, for the writing library.
    const std::string& TempPath() const { return m_temp; }
    // Renames the temporary file over the target. Raises EInOutError as above.
    void Commit();
    // Raises the write error for the target with `reason` (Windows-1251).
    [[noreturn]] void Fail(const std::string& reason) const;

private:
    std::string m_target;  // Windows-1251, as given
    std::string m_path;    // file-system encoding, links followed
    std::string m_temp;    // file-system encoding
    bool m_done = false;
};

} // namespace lm
