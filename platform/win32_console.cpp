#include <windows.h>

#include <cstdio>

#include "platform/win32_api.h"

namespace tevra {

void Win32Console::AttachConsole() { ::AttachConsole(ATTACH_PARENT_PROCESS); }

void Win32Console::ReopenStdoutOnConsole() {
  FILE* stream = nullptr;
  freopen_s(&stream, "CONOUT$", "w", stdout);
}

void Win32Console::WriteStdout(const char* text) { std::fputs(text, stdout); }

}  // namespace tevra
