// The executable of a system service: the command of its systemd unit, reduced to the program
// path by the rules the package applies to a Windows service's "ImagePath".
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace lm {

// The program path of service `service` (a unit name, ".service" optional): the ExecStart of
// its unit file taken as the service's "ImagePath" and reduced by ServiceExeFromImagePath.
// Empty when no unit file of that name is found or it has no ExecStart.
std::string GetServiceExe(const std::string& service);

// The folders searched for unit files, in order. Default: /etc/systemd/system,
// /lib/systemd/system, /usr/lib/systemd/system. An empty list restores the default.
void SetServiceUnitDirs(std::vector<std::string> dirs);
const std::vector<std::string>& ServiceUnitDirs();

// The value of ExecStart in the [Service] section of a unit file's text (Windows-1251), with
// systemd's prefix characters ("@", "-", ":", "+", "!") removed and blanks trimmed; continued
// lines are joined; an empty assignment clears earlier ones; the first command counts. Empty
// when there is none.
std::string UnitExecStart(std::string_view unitText);

// Reads the value of an environment variable; empty when it is not set.
using TEnvLookup = std::function<std::string(const std::string& name)>;
// The process environment, converted to Windows-1251.
std::string SystemEnv(const std::string& name);

// Reduces an "ImagePath" (trimmed) to the program path: a path in double quotes is the text
// up to the next quote; otherwise the text is cut at the first space after "PROGRAM FILES"
// (searched ignoring case; from the start when absent), so arguments go but that folder's own
// space stays. Then, when the result holds "%NAME%" (a name of at least one character), every
// "%NAME%" is replaced by the value env gives for NAME.
std::string ServiceExeFromImagePath(std::string_view imagePath, const TEnvLookup& env = SystemEnv);

} // namespace lm
