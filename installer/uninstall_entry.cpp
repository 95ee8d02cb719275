#include "installer/uninstall_entry.h"

namespace tevra {

void WriteUninstallEntry(RegistryApi& registry,
                         const std::wstring& installed_executable) {
  Handle key = nullptr;
  if (registry.RegCreateKeyExW(kUninstallKey, &key) != kErrorSuccess) return;
  SetRegistryString(registry, key, L"DisplayName", L"" TEVRA_PRODUCT_NAME);
  SetRegistryString(registry, key, L"Publisher", L"" TEVRA_VENDOR_NAME);
  SetRegistryString(registry, key, L"DisplayVersion", L"" TEVRA_VERSION);
  SetRegistryString(registry, key, L"DisplayIcon", installed_executable);
  registry.RegCloseKey(key);
}

}  // namespace tevra
