// The per-user entry that lists the product among the installed programs.
#ifndef TEVRA_INSTALLER_UNINSTALL_ENTRY_H
#define TEVRA_INSTALLER_UNINSTALL_ENTRY_H

#include <string>

#include "platform/windows_api.h"
#include "resources/product.h"

namespace tevra {

inline constexpr wchar_t kUninstallKey[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" TEVRA_PROGRAM_NAME;

// Opens or creates the key under HKEY_CURRENT_USER and sets, in this order,
// the REG_SZ values DisplayName, Publisher, DisplayVersion and DisplayIcon (the
// installed executable's path), each whatever became of the others; then
// closes the key. Other values are left alone. A key that cannot be created
// gets nothing and there is nothing to close. Reports nothing.
void WriteUninstallEntry(RegistryApi& registry,
                         const std::wstring& installed_executable);

}  // namespace tevra

#endif  // TEVRA_INSTALLER_UNINSTALL_ENTRY_H
