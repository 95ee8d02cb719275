// Holds a file open, as another program using it would, while a program runs.
// Usage: hold_file.exe FILE PROGRAM [ARGUMENT...]
// Opens FILE for reading and writing, sharing nothing, then runs PROGRAM with
// the arguments (joined by blanks, passed as they are) and waits for it; FILE
// is closed only after PROGRAM has ended. Exits with PROGRAM's exit code; when
// FILE cannot be opened or PROGRAM cannot be started, prints what failed and
// the Windows error code to stderr and exits 255.
#include <windows.h>

#include <cstdio>
#include <optional>
#include <string>

#include "run_program.h"
#include "tool_failure.h"

namespace {

constexpr int kToolFailed = 255;

int Fail(const char* what) { return ReportFailure("hold_file", what, kToolFailed); }

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: hold_file.exe FILE PROGRAM [ARGUMENT...]\n");
    return kToolFailed;
  }
  HANDLE held = CreateFileW(argv[1], GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (held == INVALID_HANDLE_VALUE) return Fail("opening the file");

  std::wstring command_line = L"\"" + std::wstring(argv[2]) + L"\"";
  for (int i = 3; i < argc; ++i) command_line += L" " + std::wstring(argv[i]);
  const std::optional<DWORD> exit_code = RunAndWait(argv[2], command_line);
  if (!exit_code) return Fail("starting the program");
  CloseHandle(held);
  return static_cast<int>(*exit_code);
}
