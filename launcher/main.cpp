#include <windows.h>

#include "launcher/launcher.h"
#include "platform/win32_api.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR command_line, int) {
  // Nothing loaded later (by the shell, WinHTTP or the registry) may come
  // from the folder this program was started from.
  SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);

  tevra::Win32Console console;
  tevra::Win32Files files;
  tevra::Win32Registry registry;
  tevra::Win32Http http;
  tevra::Win32Shell shell;
  tevra::LauncherSystem windows{console, files, registry, http, shell};
  return static_cast<int>(tevra::RunLauncher(windows, command_line));
}
