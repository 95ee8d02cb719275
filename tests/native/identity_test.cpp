#include "launcher/identity.h"

#include <gtest/gtest.h>

#include <string>

#include "launcher/launcher.h"
#include "tests/native/fake_windows.h"

namespace tevra {
namespace {

TEST(IdentityRequest, FoundAnywhereUnitByUnit) {
  const struct {
    const wchar_t* command_line;
    bool identity;
  } cases[] = {
      {L"--version-json", true},
      {L"x--version-jsonx", true},
      {L"--version-json --other argument", true},
      {L"\"tevra-comms://chat/--version-json\"", true},
      {L"a b \"c\" --version-json", true},
      {L"--VERSION-JSON", false},
      {L"--version-jso", false},
      {L"-version-json", false},
      {L"--version_json", false},
      {L"", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "command line: " << c.command_line);
    EXPECT_EQ(IsIdentityRequest(c.command_line), c.identity);
  }
}

TEST(IdentityRecord, IsTheFixedOneLineJsonObject) {
  const std::string record = kIdentityRecord;
  EXPECT_EQ(record,
            "{\"product\":\"Tevra Comms\",\"vendor\":\"Tevra Holdings\","
            "\"bundleId\":\"com.tevraholdings.comms\","
            "\"appId\":\"{5E0B7C2A-41D3-4F8E-A6B9-2C7D90E13F48}\","
            "\"version\":\"0.0.1\",\"platform\":\"win-x64\"}\n");
  EXPECT_EQ(record.size(), 153 + std::string("com.tevraholdings.comms").size() + 1);
}

TEST(IdentityMode, TouchesNothingButTheConsole) {
  for (const wchar_t* command_line :
       {L"--version-json", L"\"tevra-comms://chat/42\" --version-json"}) {
    FakeWindows windows;
    LauncherSystem system{windows, windows, windows, windows, windows};
    EXPECT_EQ(RunLauncher(system, command_line), LauncherExitCode::kDone);
    EXPECT_EQ(windows.calls,
              (std::vector<std::wstring>{L"AttachConsole", L"ReopenStdoutOnConsole",
                                         L"WriteStdout"}));
    EXPECT_EQ(windows.stdout_text, kIdentityRecord);
  }
}

TEST(IdentityMode, WithoutAConsoleStillEndsWithZero) {
  FakeWindows windows;
  windows.every_call_fails = true;
  LauncherSystem system{windows, windows, windows, windows, windows};
  EXPECT_EQ(RunLauncher(system, L"--version-json"), LauncherExitCode::kDone);
  EXPECT_EQ(windows.calls,
            (std::vector<std::wstring>{L"AttachConsole", L"ReopenStdoutOnConsole",
                                       L"WriteStdout"}));
}

}  // namespace
}  // namespace tevra
