#include "platform/windows_api.h"

#include <algorithm>

namespace tevra {

std::wstring PathBufferText(const PathBuffer& buffer) {
  const auto end = std::find(buffer.begin(), buffer.end(), L'\0');
  return std::wstring(buffer.begin(), end);
}

std::wstring MakeCommandLineText(const wchar_t* command_line) {
  return command_line == nullptr ? std::wstring() : std::wstring(command_line);
}

std::wstring ReadLocalAppDataFolder(ShellApi& shell) {
  PathBuffer buffer{};
  shell.SHGetFolderPathW(buffer);
  return PathBufferText(buffer);
}

long SetRegistryString(RegistryApi& registry, Handle key, const wchar_t* name,
                       const std::wstring& data) {
  const auto byte_count =
      static_cast<std::uint32_t>((data.size() + 1) * sizeof(char16_t));
  return registry.RegSetValueExW(key, name, data, byte_count);
}

}  // namespace tevra
