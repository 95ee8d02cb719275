// Runs a program in this console and reads back what it left on the screen.
//
//   console_probe RESULT-FILE PROGRAM [COMMAND-LINE-TEXT]
//
// Starts PROGRAM with the command line "PROGRAM" COMMAND-LINE-TEXT, sharing
// this console, waits for it to end and writes RESULT-FILE:
// {"exit_code": N, "width": W, "before": [X, Y], "after": [X, Y], "screen": "..."}
// where before and after are the cursor positions around the run and screen
// holds the cells from the one to the other, row after row (blank cells as
// spaces). Writes nothing to the console itself, so the screen shows only
// what the program wrote. Exits 0 when the result was written, else 1.
#include <windows.h>

#include <string>

#include "json_output.h"
#include "run_program.h"

namespace {

// A cursor position as the JSON pair [X, Y].
std::wstring JsonPosition(COORD position) {
  return L"[" + std::to_wstring(position.X) + L", " + std::to_wstring(position.Y) + L"]";
}

// The cells from one cursor position to a later one; empty when the later
// one is not later (the screen scrolled or was cleared).
std::wstring ReadScreen(HANDLE console, COORD from, COORD to, SHORT width) {
  const long count = (to.Y - from.Y) * static_cast<long>(width) + (to.X - from.X);
  if (count <= 0) return std::wstring();
  std::wstring cells(static_cast<std::size_t>(count), L'\0');
  DWORD read = 0;
  if (!ReadConsoleOutputCharacterW(console, cells.data(), static_cast<DWORD>(count),
                                   from, &read)) {
    return std::wstring();
  }
  cells.resize(read);
  return cells;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 3 || argc > 4) return 1;
  const std::wstring result_file = argv[1];
  const std::wstring program = argv[2];
  std::wstring command_line = L"\"" + program + L"\"";
  if (argc == 4) command_line += L" " + std::wstring(argv[3]);

  HANDLE console = CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE,
                               FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                               OPEN_EXISTING, 0, nullptr);
  CONSOLE_SCREEN_BUFFER_INFO before;
  if (console == INVALID_HANDLE_VALUE || !GetConsoleScreenBufferInfo(console, &before)) {
    return 1;
  }

  const std::optional<DWORD> exit_code = RunAndWait(program.c_str(), command_line);
  if (!exit_code) return 1;

  CONSOLE_SCREEN_BUFFER_INFO after;
  if (!GetConsoleScreenBufferInfo(console, &after)) return 1;
  const std::wstring screen = ReadScreen(console, before.dwCursorPosition,
                                         after.dwCursorPosition, before.dwSize.X);
  CloseHandle(console);

  const std::wstring result =
      L"{\"exit_code\": " + std::to_wstring(*exit_code) +
      L", \"width\": " + std::to_wstring(before.dwSize.X) +
      L", \"before\": " + JsonPosition(before.dwCursorPosition) +
      L", \"after\": " + JsonPosition(after.dwCursorPosition) +
      L", \"screen\": " + JsonString(screen) + L"}\n";
  return WriteAsciiFile(result_file, result) ? 0 : 1;
}
