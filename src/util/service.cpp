// The executable of a service from its systemd unit file.
//
// A unit file is an INI-like text: "[Section]" headers, "Key=Value" lines, comments starting
// with "#" or ";", and a backslash at a line's end continuing it on the next line. ExecStart
// in [Service] holds the command; it may repeat, an empty assignment clearing the list.
#include "util/service.h"

#include <cstdlib>
#include <fstream>
#include <iterator>

#include "util/cp1251.h"
#include "util/filefunc.h"
#include "util/sysutils.h"

namespace lm {

namespace {

std::vector<std::string>& unitDirsStore()
{
    static std::vector<std::string> dirs;
    return dirs;
}

// The logical lines of a unit file: continued lines joined with a blank.
std::vector<std::string> logicalLines(std::string_view text)
{
    std::vector<std::string> lines;
    std::string cur;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        std::string line(text.substr(start, end - start));
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        start = end + 1;
        const std::string trimmed = Trim(line);
        if (cur.empty() && !trimmed.empty() && (trimmed[0] == '#' || trimmed[0] == ';'))
            continue;
        if (!line.empty() && line.back() == '\\') {
            line.back() = ' ';
            cur += line;
            continue;
        }
        cur += line;
        lines.push_back(std::move(cur));
        cur.clear();
    }
    if (!cur.empty())
        lines.push_back(std::move(cur));
    return lines;
}

std::string readFile(const std::string& sysName, bool& found)
{
    std::ifstream in(sysName, std::ios::binary);
    found = static_cast<bool>(in);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

} // namespace

void SetServiceUnitDirs(std::vector<std::string> dirs)
{
    unitDirsStore() = std::move(dirs);
}

const std::vector<std::string>& ServiceUnitDirs()
{
    static const std::vector<std::string> defaults = {
        "/etc/systemd/system", "/lib/systemd/system", "/usr/lib/systemd/system"};
    const auto& dirs = unitDirsStore();
    return dirs.empty() ? defaults : dirs;
}

std::string UnitExecStart(std::string_view unitText)
{
    std::string result;
    bool inService = false;
    for (const std::string& raw : logicalLines(unitText)) {
        const std::string line = Trim(raw);
        if (!line.empty() && line[0] == '[') {
            inService = line == "[Service]";
            continue;
        }
        const size_t eq = line.find('=');
        if (!inService || eq == std::string::npos || TrimRight(line.substr(0, eq)) != "ExecStart")
            continue;
        std::string value = Trim(line.substr(eq + 1));
        size_t skip = 0;
        while (skip < value.size() && std::string_view("@-:+!").find(value[skip]) != std::string_view::npos)
            ++skip;
        value = Trim(value.substr(skip));
        if (value.empty())
            result.clear();
        else if (result.empty())
            result = value;
    }
    return result;
}

std::string SystemEnv(const std::string& name)
{
    const char* value = std::getenv(ToSysPath(name).c_str());
    return value ? FromSysPath(value) : std::string();
}

std::string ServiceExeFromImagePath(std::string_view imagePath, const TEnvLookup& env)
{
    std::string path = Trim(imagePath);
    if (!path.empty() && path[0] == '"') {
        const size_t close = path.find('"', 1);
        path = path.substr(1, close == std::string::npos ? std::string::npos : close - 1);
    } else {
        static const std::string kProgramFiles = "PROGRAM FILES";
        const size_t part = upperCase(path).find(kProgramFiles);
        const size_t from = part == std::string::npos ? 0 : part + kProgramFiles.size();
        const size_t space = path.find(' ', from);
        if (space != std::string::npos)
            path.resize(space);
    }
    const size_t open = path.find('%');
    if (open == std::string::npos)
        return path;
    const size_t close = path.find('%', open + 1);
    if (close == std::string::npos || close < open + 2)
        return path;
    const std::string name = path.substr(open + 1, close - open - 1);
    const std::string pattern = "%" + name + "%";
    const std::string value = env ? env(name) : std::string();
    std::string result;
    size_t pos = 0;
    for (size_t hit; (hit = path.find(pattern, pos)) != std::string::npos; pos = hit + pattern.size())
        result.append(path, pos, hit - pos).append(value);
    result.append(path, pos, std::string::npos);
    return result;
}

std::string GetServiceExe(const std::string& service)
{
    // A name is looked up only as a file inside the unit folders.
    if (service.empty() || service.find('/') != std::string::npos || service == "." || service == "..")
        return std::string();
    std::string unit = service;
    if (unit.size() < 8 || unit.compare(unit.size() - 8, 8, ".service") != 0)
        unit += ".service";
    for (const auto& dir : ServiceUnitDirs()) {
        bool found = false;
        const std::string text = readFile(ToSysPath(IncludeTrailingSlash(dir) + unit), found);
        if (found)
            return ServiceExeFromImagePath(UnitExecStart(utf8ToCp1251(text)));
    }
    return std::string();
}

} // namespace lm
