// TFileReplacer: writes a file's new content so that a reader sees either the old content or
// the new one whole, with the permissions and the links of the file as they were.
#pragma once

#include <string>
#include <string_view>

namespace lm {

// `path` (file-system encoding) with every symbolic link of its last component followed, so
// that the file a link names is the one a writer replaces; a missing file, or the missing end
// of a link, is returned as named. False with errno ELOOP after too many links.
bool FollowLinks(const std::string& path, std::string& target);

// Usage: Open, write through Fd (or Write), Commit. Paths are in the file system's encoding
// (see ToSysPath).
//
// The content goes to a temporary file "<name>.~<pid>.<n>" beside the file, which Commit
// flushes to disk and renames over it. A symbolic link is followed: the file it names is
// replaced in its own folder and the link stays a link. The replacement keeps the file's
// permission bits (and, where the process may set them, its owner and group). A file the
// process may not write is refused as a direct write would refuse it. When no temporary file
// can be made beside a file that may be written (a folder without write permission), the
// content is written into the file itself. Temporaries left behind by a process that no longer
// runs (a save killed midway) are removed by the next Open of the same file.
class TFileReplacer {
public:
    TFileReplacer() = default;
    ~TFileReplacer();  // an uncommitted temporary is removed
    TFileReplacer(const TFileReplacer&) = delete;
    TFileReplacer& operator=(const TFileReplacer&) = delete;

    // Starts replacing path. Returns false with errno set when the file may not be written or
    // nothing can be written for it.
    bool Open(const std::string& path);
    // The descriptor to write the new content to (-1 before Open).
    int Fd() const { return m_fd; }
    // Writes all of data at the current offset; false with errno set on failure.
    bool Write(std::string_view data);
    // Flushes the content to disk and puts it in place; false with errno set on failure (the
    // old file then stays as it was, unless the content was being written in place).
    bool Commit();

    // Where the content goes in the end: path with its links followed.
    const std::string& Target() const { return m_target; }

private:
    void discard();

    std::string m_target;
    std::string m_temp;  // empty when writing in place
    int m_fd = -1;
};

} // namespace lm
