#include "launcher/link_scheme.h"

#include "resources/product.h"

namespace tevra {
namespace {

void WriteSchemeKey(RegistryApi& registry) {
  Handle key = nullptr;
  if (registry.RegCreateKeyExW(kSchemeKey, &key) != kErrorSuccess) return;
  SetRegistryString(registry, key, nullptr, L"URL:" TEVRA_PRODUCT_NAME " Protocol");
  SetRegistryString(registry, key, L"URL Protocol", L"");
  registry.RegCloseKey(key);
}

void WriteOpenCommand(RegistryApi& registry, const std::wstring& module_path) {
  Handle key = nullptr;
  if (registry.RegCreateKeyExW(kCommandKey, &key) != kErrorSuccess) return;
  SetRegistryString(registry, key, nullptr, MakeOpenCommand(module_path));
  registry.RegCloseKey(key);
}

}  // namespace

std::wstring MakeOpenCommand(const std::wstring& module_path) {
  return L"\"" + module_path + L"\" \"%1\"";
}

void RegisterLinkScheme(RegistryApi& registry, const std::wstring& module_path) {
  WriteSchemeKey(registry);
  if (!module_path.empty()) WriteOpenCommand(registry, module_path);
}

}  // namespace tevra
