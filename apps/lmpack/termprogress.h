// The progress of long commands on a terminal: a progress box's window as one line on stderr.
#pragma once

namespace lmcli {

// Makes every progress box draw on stderr when stderr is a terminal; otherwise nothing.
void InstallTerminalProgress();

} // namespace lmcli
