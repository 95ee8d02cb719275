// Starting another program from the tests' own Windows programs.
#ifndef TEVRA_TESTS_WINE_TOOLS_RUN_PROGRAM_H
#define TEVRA_TESTS_WINE_TOOLS_RUN_PROGRAM_H

#include <windows.h>

#include <optional>
#include <string>

// Starts a program with exactly this command line (application may be null:
// the command line then names it), sharing this console, and waits for it to
// end. Its exit code, or nothing when it could not be started.
inline std::optional<DWORD> RunAndWait(const wchar_t* application,
                                       std::wstring command_line) {
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessW(application, command_line.data(), nullptr, nullptr, FALSE, 0,
                      nullptr, nullptr, &startup, &process)) {
    return std::nullopt;
  }
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD exit_code = 0;
  GetExitCodeProcess(process.hProcess, &exit_code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return exit_code;
}

#endif  // TEVRA_TESTS_WINE_TOOLS_RUN_PROGRAM_H
