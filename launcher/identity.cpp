#include "launcher/identity.h"

namespace tevra {

bool IsIdentityRequest(const std::wstring& command_line) {
  return command_line.find(L"--version-json") != std::wstring::npos;
}

void PrintIdentityRecord(ConsoleApi& console) {
  console.AttachConsole();
  console.ReopenStdoutOnConsole();
  console.WriteStdout(kIdentityRecord);
}

}  // namespace tevra
