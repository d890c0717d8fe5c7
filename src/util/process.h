// The command line of the program and child processes: switches and their parameters, running
// a console program with its output passed on line by line, and running a program while the
// user interface stays live.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace lm {

// The program's arguments in Windows-1251, the program itself first. The host sets them from
// main (UTF-8 there); until then they are read from /proc/self/cmdline.
void SetCmdLineArgs(int argc, const char* const* argv);
void SetCmdLineArgs(std::vector<std::string> args);
const std::vector<std::string>& CmdLineArgs();

// The 1-based index of the first argument after the program that is "-" or "/" followed by
// name (letters compared ignoring case); 0 when there is none.
int FindCmdLineSwitchN(std::string_view name);
// The argument right after that switch; empty when the switch is missing or last, or when the
// next argument starts with "-" (another switch). An argument starting with "/" is taken: here
// it is an absolute path, not a switch.
std::string FindCmdLineParam(std::string_view name);

// Splits a command line into arguments the way a POSIX shell quotes them, without any
// expansion: blanks separate; '...' is literal; "..." groups, with \" and \\ escaped; outside
// quotes a backslash takes the next character literally.
std::vector<std::string> SplitCmdLine(std::string_view cmdLine);

// Receives one line of a program's output, in Windows-1251, without its line end.
using TLogLineEvent = std::function<void(const std::string& line)>;

// Runs the program of cmdLine (split by SplitCmdLine, looked up on PATH) in currentDir (the
// current directory when empty), with standard input from /dev/null, standard output and
// error into one pipe, and no other open file of this process. The output is converted from UTF-8 and passed to onLine line by line:
// LF ends a line and a CR before it is dropped, so CR LF and bare LF both work; a last line
// without an end is passed on as well. Returns the exit code (128 + the signal number when a
// signal ended it, -1 when it cannot be known). Raises Exception "Ошибка CreatePipe:\r\n..."
// or "Ошибка запуска программы \"<cmdLine>\":\r\n..." with LastErrorStr. If onLine throws, the
// pipe is closed, the program is waited for (it ends at its next write) and the exception goes
// on.
int ExecLogOutput(const std::string& cmdLine, const std::string& currentDir, const TLogLineEvent& onLine);

// Processes the user interface's pending events; returns false when the application is
// terminating. The user-interface layer installs it; without one, waits simply block.
using TProcessMessagesHook = std::function<bool()>;
void SetProcessMessagesHook(TProcessMessagesHook hook);
const TProcessMessagesHook& ProcessMessagesHook();

// Starts fileName (looked up on PATH; no other open file of this process goes with it) with
// the arguments of params (split by SplitCmdLine) and waits until it
// ends, calling the process-messages hook between short polls so the user interface stays
// live; stops waiting early when the hook reports that the application is terminating.
// Returns whether the program could be started.
// A document (an existing file that may not be executed, or a folder) or a URL ("https:...",
// "mailto:...") is opened, as the shell would open it, with the desktop's default application
// through xdg-open; params are then not used, and the wait ends when xdg-open has handed the
// target over, not when the document is closed. The result is then whether xdg-open reported
// success (false when it is missing or no application takes the target).
bool ExecAndWait(const std::string& fileName, const std::string& params);

} // namespace lm
