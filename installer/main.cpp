#include <windows.h>

#include "installer/installer.h"
#include "platform/win32_api.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR command_line, int) {
  // An installer is started from a downloads folder, where anyone's DLL may
  // lie beside it: nothing loaded later may come from there.
  SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);

  tevra::Win32Files files;
  tevra::Win32Registry registry;
  tevra::Win32Shell shell;
  tevra::InstallerSystem windows{files, registry, shell};
  return static_cast<int>(tevra::RunInstaller(windows, instance, command_line));
}
