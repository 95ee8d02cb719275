#include "installer/uninstall_entry.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/native/fake_windows.h"

namespace tevra {
namespace {

using Value = FakeWindows::RegistryValue;

const std::wstring kKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\TevraComms";
// 77 units.
const std::wstring kExecutable =
    L"C:\\Users\\user1\\AppData\\Local\\Programs\\TevraHoldings\\TevraComms\\TevraComms.exe";

TEST(UninstallEntry, SetsTheFourValuesWithExactByteCounts) {
  FakeWindows windows;
  WriteUninstallEntry(windows, kExecutable);
  EXPECT_EQ(windows.calls,
            (std::vector<std::wstring>{
                L"RegCreateKeyExW " + kKey, L"RegSetValueExW " + kKey + L" DisplayName",
                L"RegSetValueExW " + kKey + L" Publisher",
                L"RegSetValueExW " + kKey + L" DisplayVersion",
                L"RegSetValueExW " + kKey + L" DisplayIcon", L"RegCloseKey " + kKey}));
  EXPECT_EQ(windows.registry_values,
            (std::vector<Value>{{kKey, L"DisplayName", L"Tevra Comms", 24},
                                {kKey, L"Publisher", L"Tevra Holdings", 30},
                                {kKey, L"DisplayVersion", L"0.0.1", 12},
                                {kKey, L"DisplayIcon", kExecutable, 156}}));
  EXPECT_TRUE(windows.open_handles.empty());
}

TEST(UninstallEntry, AKeyThatCannotBeCreatedGetsNothing) {
  FakeWindows windows;
  windows.registry_keys_failing = {kKey};
  WriteUninstallEntry(windows, kExecutable);
  EXPECT_EQ(windows.calls, (std::vector<std::wstring>{L"RegCreateKeyExW " + kKey}));
  EXPECT_TRUE(windows.registry_values.empty());
}

}  // namespace
}  // namespace tevra
