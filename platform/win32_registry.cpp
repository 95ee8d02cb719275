#include <windows.h>

#include "platform/win32_api.h"

namespace tevra {

long Win32Registry::RegCreateKeyExW(const std::wstring& subkey, Handle* key) {
  HKEY opened = nullptr;
  const LSTATUS status =
      ::RegCreateKeyExW(HKEY_CURRENT_USER, subkey.c_str(), 0, nullptr,
                        REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr, &opened,
                        nullptr);
  *key = opened;
  return status;
}

long Win32Registry::RegSetValueExW(Handle key, const wchar_t* name,
                                   const std::wstring& data,
                                   std::uint32_t byte_count) {
  return ::RegSetValueExW(static_cast<HKEY>(key), name, 0, REG_SZ,
                          reinterpret_cast<const BYTE*>(data.c_str()),
                          byte_count);
}

long Win32Registry::RegCloseKey(Handle key) {
  return ::RegCloseKey(static_cast<HKEY>(key));
}

}  // namespace tevra
