#include "installer/installer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/native/fake_windows.h"

namespace tevra {
namespace {

const std::wstring kFolder =
    L"C:\\Users\\u1\\AppData\\Local\\Programs\\TevraHoldings\\TevraComms";
const std::wstring kExecutable = kFolder + L"\\TevraComms.exe";
const std::wstring kKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\TevraComms";
const std::vector<unsigned char> kPayload{'M', 'Z', 0x90, 0x00, 0x03, 0x00, 0xFF};

// Every call of a run that installs and launches, in order.
const std::vector<std::wstring> kInstallAndLaunch{
    L"SHGetFolderPathW",
    L"SHCreateDirectoryExW " + kFolder,
    L"FindResourceW 101 10",
    L"LoadResource",
    L"SizeofResource",
    L"LockResource",
    L"CreateFileW " + kExecutable,
    L"WriteFile",
    L"CloseHandle " + kExecutable,
    L"RegCreateKeyExW " + kKey,
    L"RegSetValueExW " + kKey + L" DisplayName",
    L"RegSetValueExW " + kKey + L" Publisher",
    L"RegSetValueExW " + kKey + L" DisplayVersion",
    L"RegSetValueExW " + kKey + L" DisplayIcon",
    L"RegCloseKey " + kKey,
    L"ShellExecuteW " + kExecutable};

// kInstallAndLaunch up to and including the call last_call.
std::vector<std::wstring> CallsThrough(const std::wstring& last_call) {
  const auto last = std::find(kInstallAndLaunch.begin(), kInstallAndLaunch.end(), last_call);
  if (last == kInstallAndLaunch.end()) {
    ADD_FAILURE() << "no such call in a whole run";
    return {};
  }
  return std::vector<std::wstring>(kInstallAndLaunch.begin(), last + 1);
}

struct InstallerRun {
  FakeWindows windows;
  InstallerExitCode code;
  explicit InstallerRun(const wchar_t* command_line, void (*setup)(FakeWindows&) = nullptr) {
    windows.payload = kPayload;
    if (setup != nullptr) setup(windows);
    InstallerSystem system{windows, windows, windows};
    code = RunInstaller(system, windows.module_handle(), command_line);
  }
};

TEST(Installer, EachExitCodeEndsTheRunAtItsStep) {
  const struct {
    const char* name;
    const wchar_t* command_line;
    void (*setup)(FakeWindows&);
    InstallerExitCode code;
    std::wstring last_call;
  } cases[] = {
      {"installed and launched", L"", nullptr, InstallerExitCode::kInstalled,
       L"ShellExecuteW " + kExecutable},
      {"no command line", nullptr, nullptr, InstallerExitCode::kInstalled,
       L"ShellExecuteW " + kExecutable},
      {"silent: the switch is read after the entry", L"/S", nullptr,
       InstallerExitCode::kInstalled, L"RegCloseKey " + kKey},
      {"no payload resource", L"", [](FakeWindows& w) { w.payload.reset(); },
       InstallerExitCode::kPayloadMissing, L"FindResourceW 101 10"},
      {"empty payload", L"", [](FakeWindows& w) { w.payload.emplace(); },
       InstallerExitCode::kPayloadEmpty, L"LockResource"},
      {"payload not locked", L"", [](FakeWindows& w) { w.lock_resource_fails = true; },
       InstallerExitCode::kPayloadEmpty, L"LockResource"},
      {"executable cannot be opened", L"",
       [](FakeWindows& w) { w.files_failing_to_open = {kExecutable}; },
       InstallerExitCode::kCannotOpenExecutable, L"CreateFileW " + kExecutable},
      {"write fails", L"", [](FakeWindows& w) { w.write_fails = true; },
       InstallerExitCode::kWriteFailed, L"CloseHandle " + kExecutable},
      {"short write", L"",
       [](FakeWindows& w) { w.bytes_written = static_cast<std::uint32_t>(kPayload.size() - 1); },
       InstallerExitCode::kWriteFailed, L"CloseHandle " + kExecutable},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    InstallerRun run(c.command_line, c.setup);
    EXPECT_EQ(run.code, c.code);
    EXPECT_EQ(run.windows.calls, CallsThrough(c.last_call));
    if (c.code != InstallerExitCode::kInstalled) {
      EXPECT_TRUE(run.windows.registry_values.empty());
      EXPECT_TRUE(run.windows.starts.empty());
    }
  }
}

TEST(Installer, ExitCodesKeepTheirNumbers) {
  EXPECT_EQ(static_cast<int>(InstallerExitCode::kInstalled), 0);
  EXPECT_EQ(static_cast<int>(InstallerExitCode::kPayloadMissing), 1);
  EXPECT_EQ(static_cast<int>(InstallerExitCode::kPayloadEmpty), 2);
  EXPECT_EQ(static_cast<int>(InstallerExitCode::kCannotOpenExecutable), 3);
  EXPECT_EQ(static_cast<int>(InstallerExitCode::kWriteFailed), 4);
}

TEST(Installer, WritesThePayloadWholeInOneCall) {
  InstallerRun run(L"/S");
  ASSERT_EQ(run.windows.files_written.size(), 1u);
  EXPECT_EQ(run.windows.files_written[0].path, kExecutable);
  EXPECT_EQ(run.windows.files_written[0].bytes, kPayload);
  EXPECT_EQ(run.windows.registry_values.back().data, kExecutable);
}

TEST(Installer, StartsTheInstalledLauncherInTheInstallFolder) {
  InstallerRun run(L"--quiet");
  ASSERT_EQ(run.windows.starts.size(), 1u);
  EXPECT_EQ(run.windows.starts[0].file, kExecutable);
  EXPECT_EQ(run.windows.starts[0].parameters, std::nullopt);
  EXPECT_EQ(run.windows.starts[0].directory, kFolder);
}

TEST(Installer, AnUninstallKeyThatCannotBeCreatedStillInstallsAndLaunches) {
  InstallerRun run(L"", [](FakeWindows& w) { w.registry_keys_failing = {kKey}; });
  EXPECT_EQ(run.code, InstallerExitCode::kInstalled);
  EXPECT_TRUE(run.windows.registry_values.empty());
  EXPECT_EQ(run.windows.calls.back(), L"ShellExecuteW " + kExecutable);
  EXPECT_EQ(run.windows.starts.size(), 1u);
}

TEST(Installer, AFailedStartIsNotAFailedInstall) {
  InstallerRun run(L"", [](FakeWindows& w) { w.start_results = {{kExecutable, 2}}; });
  EXPECT_EQ(run.code, InstallerExitCode::kInstalled);
  EXPECT_EQ(run.windows.calls, kInstallAndLaunch);
}

}  // namespace
}  // namespace tevra
