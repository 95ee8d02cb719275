#include "installer/silent_switch.h"

namespace tevra {

bool IsSilentInstall(const std::wstring& command_line) {
  return command_line.find(L"/S") != std::wstring::npos ||
         command_line.find(L"--silent") != std::wstring::npos;
}

}  // namespace tevra
