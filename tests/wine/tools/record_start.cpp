// Stands in for a browser: records how it was started and ends at once.
// Each start leaves one file "starts\start-N.json" beside this executable:
// {"argv": [...], "command_line": "...", "directory": "...", "time": T}
// with argv as CommandLineToArgvW splits the command line (argv[0] included),
// every UTF-16 unit outside printable ASCII written as \uXXXX, and T the
// start's system time in 100 ns units since 1601. Starts at the same moment
// never share a file: each record is written aside and then moved to the
// first free number.
#include <windows.h>
#include <shellapi.h>

#include <string>

#include "json_output.h"

namespace {

std::wstring OwnFolder() {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder = path;
  return folder.substr(0, folder.find_last_of(L'\\'));
}

std::wstring MakeRecord() {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  std::wstring record = L"{\"argv\": [";
  for (int i = 0; i < argc; ++i) {
    if (i > 0) record += L", ";
    record += JsonString(argv[i]);
  }
  LocalFree(argv);
  wchar_t directory[MAX_PATH] = {};
  GetCurrentDirectoryW(MAX_PATH, directory);
  FILETIME now;
  GetSystemTimePreciseAsFileTime(&now);
  const unsigned long long time =
      (static_cast<unsigned long long>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
  record += L"], \"command_line\": " + JsonString(GetCommandLineW()) +
            L", \"directory\": " + JsonString(directory) +
            L", \"time\": " + std::to_wstring(time) + L"}\n";
  return record;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
  const std::wstring starts = OwnFolder() + L"\\starts";
  CreateDirectoryW(starts.c_str(), nullptr);
  const std::wstring aside = starts + L"\\writing-" + std::to_wstring(GetCurrentProcessId());

  if (!WriteAsciiFile(aside, MakeRecord())) return 1;

  for (int n = 1; n < 100000; ++n) {
    const std::wstring name = starts + L"\\start-" + std::to_wstring(n) + L".json";
    if (MoveFileW(aside.c_str(), name.c_str())) return 0;
  }
  return 1;
}
