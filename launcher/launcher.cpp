#include "launcher/launcher.h"

#include <string>

#include "launcher/app_window.h"
#include "launcher/deep_link.h"
#include "launcher/identity.h"
#include "launcher/link_scheme.h"
#include "launcher/update_check.h"

namespace tevra {
namespace {

// The launcher's own path, or empty when it could not be read whole: a
// result of 0 is a failure and a full buffer means the path was cut.
std::wstring ReadModulePath(FileApi& files) {
  PathBuffer buffer{};
  const std::uint32_t length = files.GetModuleFileNameW(buffer);
  if (length == 0 || length >= buffer.size()) return std::wstring();
  return PathBufferText(buffer);
}

}  // namespace

LauncherExitCode RunLauncher(LauncherSystem& windows, const wchar_t* command_line) {
  const std::wstring command_line_text = MakeCommandLineText(command_line);
  if (IsIdentityRequest(command_line_text)) {
    PrintIdentityRecord(windows.console);
    return LauncherExitCode::kDone;
  }

  const std::wstring module_path = ReadModulePath(windows.files);
  RegisterLinkScheme(windows.registry, module_path);
  SendUpdateCheck(windows.http);
  std::wstring target_url = kSignUpPage;
  ResolveDeepLink(command_line_text, target_url);
  LaunchAppWindow(windows.shell, windows.files, target_url);
  return LauncherExitCode::kDone;
}

}  // namespace tevra
