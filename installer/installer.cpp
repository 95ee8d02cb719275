#include "installer/installer.h"

#include <cstdint>
#include <string>

#include "installer/install_location.h"
#include "installer/payload_resource.h"
#include "installer/silent_switch.h"
#include "installer/uninstall_entry.h"

namespace tevra {
namespace {

constexpr int kRcDataType = 10;  // RT_RCDATA

// The payload's bytes as the installer's image maps them, for the process's
// whole life; null bytes or a zero size when it could not be read.
struct Payload {
  const void* bytes;
  std::uint32_t size;
};

// Resource handles are not closed: they live as long as the image.
Payload ReadPayload(FileApi& files, Handle module, Handle resource) {
  const Handle loaded = files.LoadResource(module, resource);
  const std::uint32_t size = files.SizeofResource(module, resource);
  return {files.LockResource(loaded), size};
}

// One WriteFile of the whole payload; true only when all of it was written.
bool WritePayload(FileApi& files, Handle file, const Payload& payload) {
  std::uint32_t written = 0;
  return files.WriteFile(file, payload.bytes, payload.size, &written) &&
         written == payload.size;
}

}  // namespace

InstallerExitCode RunInstaller(InstallerSystem& windows, Handle module,
                               const wchar_t* command_line) {
  const std::wstring install_folder =
      MakeInstallFolderPath(ReadLocalAppDataFolder(windows.shell));
  windows.shell.SHCreateDirectoryExW(install_folder);

  const Handle resource =
      windows.files.FindResourceW(module, TEVRA_PAYLOAD_RESOURCE_ID, kRcDataType);
  if (resource == nullptr) return InstallerExitCode::kPayloadMissing;
  const Payload payload = ReadPayload(windows.files, module, resource);
  if (payload.bytes == nullptr || payload.size == 0) {
    return InstallerExitCode::kPayloadEmpty;
  }

  const std::wstring installed_executable = MakeInstalledExecutablePath(install_folder);
  const Handle file = windows.files.CreateFileW(installed_executable);
  if (file == nullptr) return InstallerExitCode::kCannotOpenExecutable;
  const bool written = WritePayload(windows.files, file, payload);
  windows.files.CloseHandle(file);
  if (!written) return InstallerExitCode::kWriteFailed;

  WriteUninstallEntry(windows.registry, installed_executable);
  if (!IsSilentInstall(MakeCommandLineText(command_line))) {
    windows.shell.ShellExecuteW(installed_executable, nullptr,
                                install_folder.c_str());
  }
  return InstallerExitCode::kInstalled;
}

}  // namespace tevra
