// Where the installer puts the launcher: a per-user folder, so that installing
// needs no administrator.
#ifndef TEVRA_INSTALLER_INSTALL_LOCATION_H
#define TEVRA_INSTALLER_INSTALL_LOCATION_H

#include <string>

#include "resources/product.h"

namespace tevra {

inline constexpr wchar_t kInstallFolderSuffix[] =
    L"\\Programs\\" TEVRA_VENDOR_FOLDER "\\" TEVRA_PRODUCT_FOLDER;
inline constexpr wchar_t kInstalledExecutableSuffix[] = L"\\" TEVRA_EXECUTABLE_NAME;

// The local application data folder followed by
// "\Programs\TevraHoldings\TevraComms"; no separator is added or removed.
std::wstring MakeInstallFolderPath(const std::wstring& local_app_data);

// The install folder followed by "\TevraComms.exe"; no separator is added or
// removed.
std::wstring MakeInstalledExecutablePath(const std::wstring& install_folder);

}  // namespace tevra

#endif  // TEVRA_INSTALLER_INSTALL_LOCATION_H
