// Starts several copies of a program at the same moment and waits for them all.
// Usage: start_at_once.exe COUNT PROGRAM [ARGUMENT...]
// Creates COUNT (1 to 64) processes of PROGRAM, each with the command line
// "PROGRAM" followed by the arguments (joined by blanks, passed as they are),
// all suspended, then resumes them one right after another, so that none has
// run before the last exists. Waits until every one has ended, then prints
// {"started": T, "ended": T, "exit_codes": [N, ...]}: the system times (100 ns
// units since 1601) just before the first was created and once the last had
// ended, and the exit codes in order of creation. Exits 0 then; when a process
// cannot be created, ends those already created, prints what failed and the
// Windows error code to stderr and exits 255.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "json_output.h"
#include "tool_failure.h"

namespace {

constexpr int kToolFailed = 255;

int Fail(const char* what) { return ReportFailure("start_at_once", what, kToolFailed); }

// Creates the process suspended. Wine now and then fails a creation on a busy
// machine (ERROR_INTERNAL_ERROR); nothing has run yet then, so trying again
// keeps the start together.
bool CreateSuspended(const wchar_t* program, const std::wstring& command_line,
                     PROCESS_INFORMATION* process) {
  constexpr int kAttempts = 5;
  for (int attempt = 1;; ++attempt) {
    // CreateProcessW may write to the command line it is given.
    std::wstring writable = command_line;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    if (CreateProcessW(program, writable.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED,
                       nullptr, nullptr, &startup, process)) {
      return true;
    }
    if (GetLastError() != ERROR_INTERNAL_ERROR || attempt == kAttempts) return false;
    Sleep(50);
  }
}

// The system time now, in 100 ns units since 1601.
unsigned long long Now() {
  FILETIME now;
  GetSystemTimePreciseAsFileTime(&now);
  return (static_cast<unsigned long long>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const long count = argc >= 3 ? std::wcstol(argv[1], nullptr, 10) : 0;
  if (count < 1 || count > MAXIMUM_WAIT_OBJECTS) {
    std::fprintf(stderr, "usage: start_at_once.exe COUNT(1-64) PROGRAM [ARGUMENT...]\n");
    return kToolFailed;
  }
  std::wstring command_line = L"\"" + std::wstring(argv[2]) + L"\"";
  for (int i = 3; i < argc; ++i) command_line += L" " + std::wstring(argv[i]);

  const unsigned long long started = Now();
  std::vector<PROCESS_INFORMATION> processes;
  for (long i = 0; i < count; ++i) {
    PROCESS_INFORMATION process{};
    if (!CreateSuspended(argv[2], command_line, &process)) {
      const int result = Fail("starting the program");
      for (const PROCESS_INFORMATION& created : processes) {
        TerminateProcess(created.hProcess, kToolFailed);
      }
      return result;
    }
    processes.push_back(process);
  }
  std::vector<HANDLE> handles;
  for (const PROCESS_INFORMATION& process : processes) {
    ResumeThread(process.hThread);
    handles.push_back(process.hProcess);
  }
  WaitForMultipleObjects(static_cast<DWORD>(handles.size()), handles.data(), TRUE, INFINITE);
  const unsigned long long ended = Now();

  std::wstring exit_codes;
  for (const PROCESS_INFORMATION& process : processes) {
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    if (!exit_codes.empty()) exit_codes += L", ";
    exit_codes += std::to_wstring(code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
  WriteAscii(GetStdHandle(STD_OUTPUT_HANDLE),
             L"{\"started\": " + std::to_wstring(started) + L", \"ended\": " +
                 std::to_wstring(ended) + L", \"exit_codes\": [" + exit_codes + L"]}\n");
  return 0;
}
