#include "launcher/app_window.h"

#include "resources/product.h"

namespace tevra {
namespace {

constexpr std::size_t kMaxPathUnits = kPathBufferUnits - 1;

// True when a program at a path of program_units units can be started with
// arguments of argument_units units: the quoted path, a blank and the
// arguments fit kMaxCommandLineUnits.
bool FitsCommandLine(std::size_t program_units, std::size_t argument_units) {
  return program_units + 3 + argument_units <= kMaxCommandLineUnits;
}

bool StartFirstBrowserCandidate(ShellApi& shell, FileApi& files,
                                const BrowserCandidates& candidates,
                                const std::wstring& arguments) {
  for (const std::wstring& candidate : candidates) {
    if (files.GetFileAttributesW(candidate) == kInvalidFileAttributes) continue;
    if (!FitsCommandLine(candidate.size(), arguments.size())) continue;
    if (shell.ShellExecuteW(candidate, arguments.c_str(), nullptr) >
        kShellExecuteStarted) {
      return true;
    }
  }
  return false;
}

}  // namespace

std::wstring MakeProfileFolderPath(const std::wstring& local_app_data) {
  return local_app_data +
         L"\\" TEVRA_VENDOR_FOLDER "\\" TEVRA_PRODUCT_FOLDER "\\Profile";
}

BrowserCandidates MakeBrowserCandidates(const std::wstring& local_app_data) {
  std::wstring per_user =
      local_app_data + L"\\Programs\\Tevra Quiln\\quiln-browser.exe";
  if (per_user.size() > kMaxPathUnits) per_user.resize(kMaxPathUnits);
  return {
      L"C:\\Program Files\\Tevra Quiln\\quiln-browser.exe",
      per_user,
      L"C:\\Program Files\\Tevra Quiln\\quiln.exe",
      L"C:\\Program Files (x86)\\Microsoft\\Edge\\Application\\msedge.exe",
      L"C:\\Program Files\\Microsoft\\Edge\\Application\\msedge.exe",
  };
}

std::wstring MakeAppWindowArguments(const std::wstring& target_url,
                                    const std::wstring& profile_folder) {
  return L"--app=" + target_url + L" --user-data-dir=\"" + profile_folder +
         L"\" --class=" TEVRA_PROGRAM_NAME;
}

void LaunchAppWindow(ShellApi& shell, FileApi& files,
                     const std::wstring& target_url) {
  const std::wstring local_app_data = ReadLocalAppDataFolder(shell);
  const std::wstring profile_folder = MakeProfileFolderPath(local_app_data);
  shell.SHCreateDirectoryExW(profile_folder);

  const std::wstring arguments = MakeAppWindowArguments(target_url, profile_folder);
  if (StartFirstBrowserCandidate(shell, files,
                                 MakeBrowserCandidates(local_app_data),
                                 arguments)) {
    return;
  }
  // The default browser's handler, at a path of any length, gets the URL as
  // one quoted argument.
  if (FitsCommandLine(kMaxPathUnits, target_url.size() + 2)) {
    shell.ShellExecuteW(target_url, nullptr, nullptr);
  }
}

}  // namespace tevra
