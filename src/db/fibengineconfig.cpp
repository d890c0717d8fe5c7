// Configuration of the embedded engine for database files shared between processes.
//
// The embedded engine reads firebird.conf once, from the folder named by FIREBIRD (else its
// built-in root). Its default mode (Super) opens a database file exclusively; SuperClassic keeps
// a cache per connection and coordinates through the lock manager, as the server does for its
// clients. The first setting of a name wins in that file, so ours comes before the include.
#include "db/fibengineconfig.h"

#include <dlfcn.h>
#include <firebird/Interface.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace lm::fib {

namespace {

namespace fs = std::filesystem;

// The engine's root folder (the one holding firebird.conf) of the client library in use: the
// distribution layout (LIBDIR/firebird/3.0) or a self-contained install (ROOT/lib); "" when
// neither is found.
fs::path systemRoot()
{
    Dl_info info{};
    if (!dladdr(reinterpret_cast<void*>(&Firebird::fb_get_master_interface), &info) || !info.dli_fname)
        return {};
    std::error_code ec;
    const fs::path libDir = fs::canonical(info.dli_fname, ec).parent_path();
    if (ec)
        return {};
    for (const fs::path& root : {libDir / "firebird" / "3.0", libDir.parent_path()})
        if (fs::exists(root / "firebird.conf", ec) && fs::exists(root / "intl", ec))
            return root;
    return {};
}

// Makes `link` a symbolic link to `target` (a hard link, or else a copy, with `physical`),
// through a temporary name so that processes starting together never see it missing.
bool placeLink(const fs::path& target, const fs::path& link, bool physical)
{
    std::error_code ec;
    if (physical ? fs::equivalent(target, link, ec)
                 : fs::is_symlink(link, ec) && fs::read_symlink(link, ec) == target)
        return true;
    const fs::path temp = link.string() + "." + std::to_string(getpid()) + ".tmp";
    fs::remove(temp, ec);
    ec.clear();
    if (!physical)
        fs::create_symlink(target, temp, ec);
    else if (fs::create_hard_link(target, temp, ec); ec)
        fs::copy_file(target, temp, ec);
    if (!ec)
        fs::rename(temp, link, ec);
    if (ec)
        fs::remove(temp, ec);
    return !ec;
}

// Mirrors the system's root folder in `dir`: every entry but firebird.conf is linked. The
// character set modules are refused by the engine when their real path lies outside the root,
// so the libraries of "intl" are linked physically into a folder of their own.
bool mirrorRoot(const fs::path& root, const fs::path& dir)
{
    std::error_code ec;
    bool ok = true;
    for (const fs::directory_entry& e : fs::directory_iterator(root, ec)) {
        const fs::path name = e.path().filename();
        if (name == "firebird.conf")
            continue;
        if (name != "intl") {
            ok = placeLink(e.path(), dir / name, false) && ok;
            continue;
        }
        const fs::path intl = dir / name;
        if (fs::is_symlink(intl, ec))
            fs::remove(intl, ec);
        fs::create_directory(intl, ec);
        for (const fs::directory_entry& m : fs::directory_iterator(e.path(), ec))
            ok = placeLink(m.path(), intl / m.path().filename(),
                           m.path().extension() == ".so" && !fs::is_symlink(m.path())) && ok;
    }
    return ok && !ec;
}

// The user's folder for the configuration: created when missing, refused when it is not a plain
// folder of this user.
std::string configFolder()
{
    std::string base;
    if (const char* c = std::getenv("XDG_CACHE_HOME"); c && *c == '/')
        base = c;
    else if (const char* h = std::getenv("HOME"); h && *h == '/')
        base = std::string(h) + "/.cache";
    else
        return {};
    const fs::path dir = fs::path(base) / "lmpack" / "firebird";
    std::error_code ec;
    fs::create_directories(dir, ec);
    struct stat st{};
    if (lstat(dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != getuid())
        return {};
    return dir.string();
}

// Writes `text` to `file` unless it already holds it; through a temporary name, so a process
// starting at the same moment never reads half a file.
bool writeIfChanged(const fs::path& file, const std::string& text)
{
    {
        std::ifstream in(file, std::ios::binary);
        std::ostringstream old;
        old << in.rdbuf();
        if (in && old.str() == text)
            return true;
    }
    const fs::path temp = file.string() + "." + std::to_string(getpid()) + ".tmp";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        out << text;
        if (!out.flush())
            return false;
    }
    std::error_code ec;
    fs::rename(temp, file, ec);
    if (ec)
        fs::remove(temp, ec);
    return !ec;
}

} // namespace

std::string ConfigureEmbeddedEngine()
{
    static const std::string folder = []() -> std::string {
        if (const char* root = std::getenv("FIREBIRD"); root && *root)
            return {};
        const fs::path root = systemRoot();
        const std::string dir = root.empty() ? std::string() : configFolder();
        if (dir.empty() || !mirrorRoot(root, dir))
            return {};
        const std::string text = "# Written by LMPack: embedded connections share database files with other\n"
                                 "# processes; everything else comes from the system's configuration.\n"
                                 "ServerMode = SuperClassic\n"
                                 "include " + (root / "firebird.conf").string() + "\n";
        if (!writeIfChanged(fs::path(dir) / "firebird.conf", text))
            return {};
        return setenv("FIREBIRD", dir.c_str(), 1) == 0 ? dir : std::string();
    }();
    return folder;
}

} // namespace lm::fib
