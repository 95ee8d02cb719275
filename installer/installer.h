// The installer's run sequence, apart from wWinMain so that it runs against
// any implementation of the Windows seam.
#ifndef TEVRA_INSTALLER_INSTALLER_H
#define TEVRA_INSTALLER_INSTALLER_H

#include "platform/windows_api.h"

namespace tevra {

// The installer's exit codes; the numbers never change.
enum class InstallerExitCode : int {
  kInstalled = 0,             // launcher written; entry and start attempted
  kPayloadMissing = 1,        // the image holds no payload resource
  kPayloadEmpty = 2,          // the payload could not be read or has no bytes
  kCannotOpenExecutable = 3,  // the installed executable could not be opened
  kWriteFailed = 4,           // the payload was not written whole
};

// The parts of Windows the installer uses.
struct InstallerSystem {
  FileApi& files;
  RegistryApi& registry;
  ShellApi& shell;
};

// One run: creates the install folder under the user's local application
// data, writes the payload (the launcher, byte for byte) there, records the
// per-user uninstall entry and, unless the command-line text asks for a silent
// install, starts the installed launcher without waiting for it. The first
// failure ends the run with its exit code and nothing after it happens; the
// folder stays created, and a failed write leaves the file as far as it got.
// module is the installer's own image (wWinMain's hInstance); command_line is
// wWinMain's lpCmdLine (may be null).
InstallerExitCode RunInstaller(InstallerSystem& windows, Handle module,
                               const wchar_t* command_line);

}  // namespace tevra

#endif  // TEVRA_INSTALLER_INSTALLER_H
