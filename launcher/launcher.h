// The launcher's run sequence, apart from wWinMain so that it runs against
// any implementation of the Windows seam.
#ifndef TEVRA_LAUNCHER_LAUNCHER_H
#define TEVRA_LAUNCHER_LAUNCHER_H

#include "platform/windows_api.h"

namespace tevra {

// The launcher's exit codes; the numbers never change.
enum class LauncherExitCode : int {
  kDone = 0,  // every run, whatever failed on the way
};

// The parts of Windows the launcher uses.
struct LauncherSystem {
  ConsoleApi& console;
  FileApi& files;
  RegistryApi& registry;
  HttpApi& http;
  ShellApi& shell;
};

// One run: identity mode when the command-line text asks for it, otherwise
// registration, update check, target URL and browser, each whatever the
// earlier ones achieved. command_line is wWinMain's lpCmdLine (may be null).
LauncherExitCode RunLauncher(LauncherSystem& windows, const wchar_t* command_line);

}  // namespace tevra

#endif  // TEVRA_LAUNCHER_LAUNCHER_H
