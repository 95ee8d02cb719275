#include "launcher/link_scheme.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/native/fake_windows.h"

namespace tevra {
namespace {

using Value = FakeWindows::RegistryValue;

const std::wstring kScheme = L"Software\\Classes\\tevra-comms";
const std::wstring kCommand = L"Software\\Classes\\tevra-comms\\shell\\open\\command";
const std::wstring kPath = L"C:\\Program Files\\Tevra Comms\\TevraComms.exe";

TEST(OpenCommand, QuotesThePathAndTheLinkPlaceholder) {
  EXPECT_EQ(MakeOpenCommand(kPath), L"\"" + kPath + L"\" \"%1\"");
  EXPECT_EQ(MakeOpenCommand(L""), L"\"\" \"%1\"");
  for (const std::size_t units : {0u, 1u, 259u}) {
    EXPECT_EQ(MakeOpenCommand(std::wstring(units, L'p')).size(), units + 7);
  }
}

TEST(LinkScheme, WritesBothKeysWithExactByteCounts) {
  FakeWindows windows;
  RegisterLinkScheme(windows, kPath);
  EXPECT_EQ(windows.calls,
            (std::vector<std::wstring>{
                L"RegCreateKeyExW " + kScheme, L"RegSetValueExW " + kScheme + L" (default)",
                L"RegSetValueExW " + kScheme + L" URL Protocol", L"RegCloseKey " + kScheme,
                L"RegCreateKeyExW " + kCommand,
                L"RegSetValueExW " + kCommand + L" (default)",
                L"RegCloseKey " + kCommand}));
  const auto command_bytes = static_cast<std::uint32_t>(2 * (kPath.size() + 8));
  EXPECT_EQ(windows.registry_values,
            (std::vector<Value>{
                {kScheme, L"(default)", L"URL:Tevra Comms Protocol", 50},
                {kScheme, L"URL Protocol", L"", 2},
                {kCommand, L"(default)", MakeOpenCommand(kPath), command_bytes}}));
  EXPECT_TRUE(windows.open_handles.empty());
}

TEST(LinkScheme, EachKeyIsHandledOnItsOwn) {
  const struct {
    const char* name;
    std::set<std::wstring> failing;
    std::vector<std::wstring> keys_written;
  } cases[] = {
      {"scheme key fails", {kScheme}, {kCommand}},
      {"command key fails", {kCommand}, {kScheme, kScheme}},
      {"both fail", {kScheme, kCommand}, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    FakeWindows windows;
    windows.registry_keys_failing = c.failing;
    RegisterLinkScheme(windows, kPath);
    std::vector<std::wstring> keys_written;
    for (const auto& value : windows.registry_values) keys_written.push_back(value.key);
    EXPECT_EQ(keys_written, c.keys_written);
    EXPECT_TRUE(windows.open_handles.empty());
  }
}

TEST(LinkScheme, AnUnreadModulePathLeavesTheOpenCommandAlone) {
  FakeWindows windows;
  RegisterLinkScheme(windows, L"");
  EXPECT_EQ(windows.calls,
            (std::vector<std::wstring>{
                L"RegCreateKeyExW " + kScheme, L"RegSetValueExW " + kScheme + L" (default)",
                L"RegSetValueExW " + kScheme + L" URL Protocol", L"RegCloseKey " + kScheme}));
}

}  // namespace
}  // namespace tevra
