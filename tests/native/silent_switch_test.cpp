#include "installer/silent_switch.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "tests/hostile_text.h"

namespace tevra {
namespace {

TEST(SilentSwitch, FoundAnywhereUnitByUnit) {
  const struct {
    const wchar_t* command_line;
    bool silent;
  } cases[] = {
      {L"/S", true},
      {L"/SILENT", true},
      {L"/Silent", true},
      {L"/S=1", true},
      {L"C:/Stuff", true},
      {L"a/Sb", true},
      {L"\"/S\"", true},
      {L"--silent", true},
      {L"--silently", true},
      {L"x --silent y", true},
      {L"/s", false},
      {L"/silent", false},
      {L"-S", false},
      {L"--SILENT", false},
      {L"-silent", false},
      {L"", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "command line: " << c.command_line);
    EXPECT_EQ(IsSilentInstall(c.command_line), c.silent);
  }
}

// Thousands of awkward texts, near misses of both switches among them: the
// answer is always the plain search for either switch.
TEST(SilentSwitch, HostileTextsGetThePlainSearchAnswer) {
  constexpr std::uint64_t kSeed = 20261210;
  constexpr std::uint64_t kCases = 4000;
  std::uint64_t silent = 0;
  for (std::uint64_t i = 0; i < kCases; ++i) {
    const std::wstring text = MakeHostileText(kSeed, i, 32000, true);
    const bool expected = text.find(L"/S") != std::wstring::npos ||
                          text.find(L"--silent") != std::wstring::npos;
    ASSERT_EQ(IsSilentInstall(text), expected) << "case " << i;
    silent += expected;
  }
  // Both answers come up often enough for the comparison to mean something.
  EXPECT_GT(silent, kCases / 4);
  EXPECT_LT(silent, kCases * 3 / 4);
}

}  // namespace
}  // namespace tevra
