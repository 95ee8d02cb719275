#include "installer/install_location.h"

namespace tevra {

std::wstring MakeInstallFolderPath(const std::wstring& local_app_data) {
  return local_app_data + kInstallFolderSuffix;
}

std::wstring MakeInstalledExecutablePath(const std::wstring& install_folder) {
  return install_folder + kInstalledExecutableSuffix;
}

}  // namespace tevra
