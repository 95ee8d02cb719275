#include "launcher/app_window.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "tests/native/fake_windows.h"

namespace tevra {
namespace {

const std::wstring kLocal = L"C:\\Users\\u1\\AppData\\Local";
const std::wstring kProfile = kLocal + L"\\TevraHoldings\\TevraComms\\Profile";
const std::wstring kUrl = L"https://comms.tevraholdings.com/comms/chat/42";
const std::wstring kQuilnMachine = L"C:\\Program Files\\Tevra Quiln\\quiln-browser.exe";
const std::wstring kQuilnUser = kLocal + L"\\Programs\\Tevra Quiln\\quiln-browser.exe";
const std::wstring kQuilnOld = L"C:\\Program Files\\Tevra Quiln\\quiln.exe";
const std::wstring kEdgeX86 =
    L"C:\\Program Files (x86)\\Microsoft\\Edge\\Application\\msedge.exe";
const std::wstring kEdge = L"C:\\Program Files\\Microsoft\\Edge\\Application\\msedge.exe";
const std::wstring kArguments = L"--app=" + kUrl + L" --user-data-dir=\"" + kProfile +
                                L"\" --class=TevraComms";
constexpr std::uint32_t kFile = 0x80;
constexpr std::uint32_t kDirectory = 0x10;

TEST(AppWindow, ProfileFolderIsJoinedWithoutTestingSeparators) {
  const struct {
    std::wstring local;
    std::wstring profile;
  } cases[] = {
      {kLocal, kProfile},
      {L"", L"\\TevraHoldings\\TevraComms\\Profile"},
      {L"D:\\Data\\", L"D:\\Data\\\\TevraHoldings\\TevraComms\\Profile"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(MakeProfileFolderPath(c.local), c.profile);
  }
}

TEST(AppWindow, CandidatesInOrderWithThePerUserOneCutTo259Units) {
  EXPECT_EQ(MakeBrowserCandidates(kLocal),
            (BrowserCandidates{kQuilnMachine, kQuilnUser, kQuilnOld, kEdgeX86, kEdge}));
  EXPECT_EQ(MakeBrowserCandidates(L"")[1], L"\\Programs\\Tevra Quiln\\quiln-browser.exe");

  const std::wstring user_candidate = L"\\Programs\\Tevra Quiln\\quiln-browser.exe";
  for (const std::size_t local_units : {219u, 220u, 221u, 259u}) {
    const std::wstring local(local_units, L'x');
    const std::wstring expected = (local + user_candidate).substr(0, 259);
    EXPECT_EQ(MakeBrowserCandidates(local)[1], expected) << local_units;
  }
}

TEST(AppWindow, ArgumentsAreTheThreeSwitchesWithTheUrlAsItIs) {
  EXPECT_EQ(MakeAppWindowArguments(kUrl, kProfile), kArguments);
  EXPECT_EQ(MakeAppWindowArguments(L"a b\"c", L"C:\\Users\\Ann Lee\\P"),
            L"--app=a b\"c --user-data-dir=\"C:\\Users\\Ann Lee\\P\" --class=TevraComms");
}

std::wstring Attributes(const std::wstring& path) { return L"GetFileAttributesW " + path; }
std::wstring Start(const std::wstring& path) { return L"ShellExecuteW " + path; }

TEST(AppWindow, WalksTheCandidatesUntilOneStarts) {
  const std::wstring kMakeProfile = L"SHCreateDirectoryExW " + kProfile;
  const struct {
    const char* name;
    std::map<std::wstring, std::uint32_t> present;
    std::map<std::wstring, std::intptr_t> results;
    std::vector<std::wstring> calls_after_profile;
  } cases[] = {
      {"no candidate present",
       {},
       {},
       {Attributes(kQuilnMachine), Attributes(kQuilnUser), Attributes(kQuilnOld),
        Attributes(kEdgeX86), Attributes(kEdge), Start(kUrl)}},
      {"candidate 1 started",
       {{kQuilnMachine, kFile}, {kEdge, kFile}},
       {},
       {Attributes(kQuilnMachine), Start(kQuilnMachine)}},
      {"1 fails, 2 missing, 3 starts",
       {{kQuilnMachine, kFile}, {kQuilnOld, kFile}},
       {{kQuilnMachine, 32}},
       {Attributes(kQuilnMachine), Start(kQuilnMachine), Attributes(kQuilnUser),
        Attributes(kQuilnOld), Start(kQuilnOld)}},
      {"a directory counts as present",
       {{kQuilnUser, kDirectory}},
       {},
       {Attributes(kQuilnMachine), Attributes(kQuilnUser), Start(kQuilnUser)}},
      {"both Edge paths: the x86 one",
       {{kEdgeX86, kFile}, {kEdge, kFile}},
       {},
       {Attributes(kQuilnMachine), Attributes(kQuilnUser), Attributes(kQuilnOld),
        Attributes(kEdgeX86), Start(kEdgeX86)}},
      {"every present candidate fails: the default browser",
       {{kQuilnMachine, kFile}, {kEdge, kFile}},
       {{kQuilnMachine, 0}, {kEdge, 31}},
       {Attributes(kQuilnMachine), Start(kQuilnMachine), Attributes(kQuilnUser),
        Attributes(kQuilnOld), Attributes(kEdgeX86), Attributes(kEdge), Start(kEdge),
        Start(kUrl)}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    FakeWindows windows;
    windows.existing_paths = c.present;
    windows.start_results = c.results;
    LaunchAppWindow(windows, windows, kUrl);

    std::vector<std::wstring> expected{L"SHGetFolderPathW", kMakeProfile};
    expected.insert(expected.end(), c.calls_after_profile.begin(),
                    c.calls_after_profile.end());
    EXPECT_EQ(windows.calls, expected);
    for (const auto& start : windows.starts) {
      EXPECT_FALSE(start.directory.has_value());
      if (start.file == kUrl) {
        EXPECT_FALSE(start.parameters.has_value());
      } else {
        EXPECT_EQ(start.parameters, kArguments);
      }
    }
  }
}

// A link long enough to push the switches past the longest command line never
// reaches a browser as a cut command line: a browser is passed over when its
// command line would not fit, the default browser gets the page only while a
// handler at any path could take it whole, and past that nothing is started
// (as Windows would refuse it).
TEST(AppWindow, NothingIsStartedWithACommandLineTooLongToStart) {
  const std::wstring kFixedUnits = L"\"\" --app= --user-data-dir=\"\" --class=TevraComms";
  const std::size_t browser_room =
      kMaxCommandLineUnits - kFixedUnits.size() - kQuilnMachine.size() - kProfile.size();
  const std::size_t handler_room = kMaxCommandLineUnits - 259 - 5;  // "path" "url"
  const struct {
    bool browser_present;
    std::size_t url_units;
    std::vector<std::wstring> started;  // "url" for the default browser
  } cases[] = {
      {true, browser_room, {kQuilnMachine}},
      {true, browser_room + 1, {}},  // nor could a handler at any path take it
      {false, handler_room, {L"url"}},
      {false, handler_room + 1, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.url_units);
    const std::wstring url = std::wstring(L"https://") + std::wstring(c.url_units - 8, L'a');
    FakeWindows windows;
    if (c.browser_present) windows.existing_paths = {{kQuilnMachine, kFile}};
    LaunchAppWindow(windows, windows, url);
    std::vector<std::wstring> started;
    for (const auto& start : windows.starts) {
      started.push_back(start.file == url ? L"url" : start.file);
    }
    EXPECT_EQ(started, c.started);
  }
}

TEST(AppWindow, WithoutALocalFolderPathsStartAtTheDriveRoot) {
  FakeWindows windows;
  windows.local_app_data = std::nullopt;
  windows.existing_paths = {{L"\\Programs\\Tevra Quiln\\quiln-browser.exe", kFile}};
  LaunchAppWindow(windows, windows, kUrl);
  EXPECT_EQ(windows.folders_created,
            std::vector<std::wstring>{L"\\TevraHoldings\\TevraComms\\Profile"});
  ASSERT_EQ(windows.starts.size(), 1u);
  EXPECT_EQ(windows.starts[0].file, L"\\Programs\\Tevra Quiln\\quiln-browser.exe");
  EXPECT_EQ(windows.starts[0].parameters,
            L"--app=" + kUrl +
                L" --user-data-dir=\"\\TevraHoldings\\TevraComms\\Profile\" "
                L"--class=TevraComms");
}

TEST(AppWindow, ALongLocalFolderCutsOnlyThePerUserCandidate) {
  FakeWindows windows;
  windows.local_app_data = std::wstring(259, L'L');
  const std::wstring cut = std::wstring(259, L'L');  // nothing of the suffix fits
  windows.existing_paths = {{cut, kFile}};
  LaunchAppWindow(windows, windows, kUrl);
  ASSERT_EQ(windows.starts.size(), 1u);
  EXPECT_EQ(windows.starts[0].file, cut);
  EXPECT_EQ(windows.folders_created,
            std::vector<std::wstring>{cut + L"\\TevraHoldings\\TevraComms\\Profile"});
}

}  // namespace
}  // namespace tevra
