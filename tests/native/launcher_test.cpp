#include "launcher/launcher.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/native/fake_windows.h"

namespace tevra {
namespace {

const std::wstring kModule = L"C:\\Users\\u1\\AppData\\Local\\Programs\\TevraComms.exe";
const std::wstring kScheme = L"Software\\Classes\\tevra-comms";
const std::wstring kCommand = L"Software\\Classes\\tevra-comms\\shell\\open\\command";

struct LauncherRun {
  FakeWindows windows;
  LauncherExitCode code;
  explicit LauncherRun(const wchar_t* command_line, FakeWindows setup = FakeWindows()) : windows(std::move(setup)) {
    LauncherSystem system{windows, windows, windows, windows, windows};
    code = RunLauncher(system, command_line);
  }
};

TEST(Launcher, NormalModeRunsTheStagesInOrder) {
  LauncherRun run(L"\"tevra-comms://chat/42/\"");
  EXPECT_EQ(run.code, LauncherExitCode::kDone);
  const std::wstring profile = L"C:\\Users\\u1\\AppData\\Local\\TevraHoldings\\TevraComms\\Profile";
  const std::wstring page = L"https://comms.tevraholdings.com/comms/chat/42";
  std::vector<std::wstring> expected{
      L"GetModuleFileNameW",
      L"RegCreateKeyExW " + kScheme,
      L"RegSetValueExW " + kScheme + L" (default)",
      L"RegSetValueExW " + kScheme + L" URL Protocol",
      L"RegCloseKey " + kScheme,
      L"RegCreateKeyExW " + kCommand,
      L"RegSetValueExW " + kCommand + L" (default)",
      L"RegCloseKey " + kCommand,
      L"WinHttpOpen",
      L"WinHttpConnect",
      L"WinHttpOpenRequest",
      L"WinHttpSendRequest",
      L"WinHttpReceiveResponse",
      L"WinHttpCloseHandle request",
      L"WinHttpCloseHandle connection",
      L"WinHttpCloseHandle session",
      L"SHGetFolderPathW",
      L"SHCreateDirectoryExW " + profile};
  for (const auto& candidate : {L"C:\\Program Files\\Tevra Quiln\\quiln-browser.exe",
                                L"C:\\Users\\u1\\AppData\\Local\\Programs\\Tevra Quiln\\quiln-browser.exe",
                                L"C:\\Program Files\\Tevra Quiln\\quiln.exe",
                                L"C:\\Program Files (x86)\\Microsoft\\Edge\\Application\\msedge.exe",
                                L"C:\\Program Files\\Microsoft\\Edge\\Application\\msedge.exe"}) {
    expected.push_back(std::wstring(L"GetFileAttributesW ") + candidate);
  }
  expected.push_back(L"ShellExecuteW " + page);
  EXPECT_EQ(run.windows.calls, expected);
  EXPECT_EQ(run.windows.registry_values.back().data, L"\"" + kModule + L"\" \"%1\"");
}

TEST(Launcher, TheSignUpPageWithoutALink) {
  for (const wchar_t* command_line : {static_cast<const wchar_t*>(nullptr), L"", L"--help",
                                      L"\"tevra-comms://\"", L"-version-json"}) {
    LauncherRun run(command_line);
    EXPECT_EQ(run.code, LauncherExitCode::kDone);
    ASSERT_EQ(run.windows.starts.size(), 1u);
    EXPECT_EQ(run.windows.starts[0].file,
              L"https://comms.tevraholdings.com/comms/oauth/openid/signup");
  }
}

TEST(Launcher, ReturnsZeroWhenEveryOperationFails) {
  FakeWindows failing;
  failing.every_call_fails = true;
  LauncherRun run(L"tevra-comms://chat/42", std::move(failing));
  EXPECT_EQ(run.code, LauncherExitCode::kDone);
  EXPECT_TRUE(run.windows.registry_values.empty());
  // No browser is found, and the default browser is still tried.
  ASSERT_FALSE(run.windows.starts.empty());
  EXPECT_EQ(run.windows.starts.back().file, L"https://comms.tevraholdings.com/comms/chat/42");
}

TEST(Launcher, AModulePathNotReadWholeWritesNoOpenCommand) {
  const struct {
    const char* name;
    std::wstring module_path;
    bool fails;
    bool command_written;
  } cases[] = {
      {"read fails", kModule, true, false},
      {"path cut at the buffer's end", std::wstring(260, L'p'), false, false},
      {"much longer path", std::wstring(400, L'p'), false, false},
      {"259 units fit", std::wstring(259, L'p'), false, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    FakeWindows setup;
    setup.module_path = c.module_path;
    setup.module_path_fails = c.fails;
    LauncherRun run(L"", std::move(setup));
    bool command_written = false;
    for (const auto& value : run.windows.registry_values) {
      if (value.key == kCommand) {
        command_written = true;
        EXPECT_EQ(value.data, L"\"" + c.module_path + L"\" \"%1\"");
        EXPECT_EQ(value.byte_count, 2 * (c.module_path.size() + 8));
      }
    }
    EXPECT_EQ(command_written, c.command_written);
    EXPECT_EQ(run.windows.registry_values.front().key, kScheme);
    EXPECT_EQ(run.windows.starts.size(), 1u);
  }
}

}  // namespace
}  // namespace tevra
