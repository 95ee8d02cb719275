// Per-user registration of the tevra-comms link scheme, so that Windows starts
// this executable with the link as its command-line text.
#ifndef TEVRA_LAUNCHER_LINK_SCHEME_H
#define TEVRA_LAUNCHER_LINK_SCHEME_H

#include <string>

#include "platform/windows_api.h"
#include "resources/product.h"

namespace tevra {

// The scheme's keys under HKEY_CURRENT_USER.
inline constexpr wchar_t kSchemeKey[] = L"Software\\Classes\\" TEVRA_LINK_SCHEME;
inline constexpr wchar_t kCommandKey[] =
    L"Software\\Classes\\" TEVRA_LINK_SCHEME "\\shell\\open\\command";

// The open command: the module path and "%1", each in double quotes, one space
// between. The path is taken as it is; it is n + 7 units long.
std::wstring MakeOpenCommand(const std::wstring& module_path);

// Rewrites both keys under HKEY_CURRENT_USER, each on its own: a key that
// cannot be created loses only its own values. Other values and subkeys are
// left alone. An empty module path (unread or cut short) writes no open
// command, so an earlier working registration is kept. Reports nothing.
void RegisterLinkScheme(RegistryApi& registry, const std::wstring& module_path);

}  // namespace tevra

#endif  // TEVRA_LAUNCHER_LINK_SCHEME_H
