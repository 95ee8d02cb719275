// Hostile command-line texts against the launcher's browser switches, with the
// launcher's own code and the system's CommandLineToArgvW, the way a browser
// of the Chromium family splits its command line.
//
//   argv_check check SEED COUNT
//     Resolves COUNT generated texts (up to 32,000 units, U+0000 included) as
//     the launcher does, builds the browser switches for them with one of a
//     few profile folders, and splits "program switches" with
//     CommandLineToArgvW. Each must give exactly the program, --app= with the
//     resolved page, --user-data-dir= with the profile folder and
//     --class=TevraComms. Prints "cases N failures F", then the first few
//     failures as JSON lines (texts and arguments cut to 400 units); exits 0
//     only when none fails.
//
//   argv_check start PROGRAM SEED FIRST COUNT
//     Starts PROGRAM once for each generated text FIRST .. FIRST+COUNT-1 (no
//     U+0000, and up to 10,000 units, so that the browser's command line,
//     where the link's units may grow threefold, stays within 32,767 units)
//     with the exact command line `"PROGRAM" text`, and waits for it. Texts
//     holding "--version-json" are passed over. Prints one JSON line per run:
//     {"case": i, "text": "...", "exit": code, "page": "..."}, page being the
//     one the launcher should open for the text and exit null when the
//     program could not be started. Exits 0 when every program could be
//     started, else 1.
#include <windows.h>
#include <shellapi.h>

#include <cstdint>
#include <cwchar>
#include <string>
#include <vector>

#include "json_output.h"
#include "run_program.h"
#include "launcher/app_window.h"
#include "launcher/deep_link.h"
#include "tests/hostile_text.h"

namespace {

constexpr std::size_t kCheckMaxUnits = 32000;
constexpr std::size_t kStartMaxUnits = 10000;
constexpr int kFailuresShown = 5;
constexpr std::size_t kUnitsShown = 400;
constexpr wchar_t kBrowser[] = L"\"C:\\x\\browser.exe\" ";

// Local application data folders with blanks, non-ASCII letters, an
// apostrophe and a UNC share among them.
const wchar_t* const kLocalFolders[] = {
    L"C:\\users\\someone\\AppData\\Local",
    L"C:\\Users\\Ann Lee\\AppData\\Local",
    L"C:\\Users\\Zo\u00eb  \u00c5ngstr\u00f6m\\AppData\\Local",
    L"\\\\server\\home dirs\\o'neil\\AppData\\Local",
};

// The page the launcher opens for a command-line text.
std::wstring PageFor(const std::wstring& text) {
  std::wstring page = tevra::kSignUpPage;
  tevra::ResolveDeepLink(text, page);
  return page;
}

// Units at which CommandLineToArgvW may end an argument, or that open or
// close quoting; none may be in a page.
bool SplitsTheArgument(wchar_t unit) {
  const auto code = static_cast<unsigned>(unit);
  return code <= 0x20 || code == 0x22 || code == 0x7F;
}

// Why the switches built for text split wrongly, or empty when they are right.
std::wstring Fault(const std::wstring& text, const std::wstring& profile,
                   const std::vector<std::wstring>& argv) {
  const std::wstring page = PageFor(text);
  const std::wstring base = tevra::kDeepLinkBase;
  if (page.compare(0, base.size(), base) != 0) return L"page off the service";
  if (text.find(L"tevra-comms://") == std::wstring::npos && page != tevra::kSignUpPage) {
    return L"a page without a link";
  }
  for (const wchar_t unit : page) {
    if (SplitsTheArgument(unit)) return L"page holds a splitting unit";
  }
  if (argv.size() != 4) return L"not 4 arguments";
  if (argv[1] != L"--app=" + page) return L"argv[1]";
  if (argv[2] != L"--user-data-dir=" + profile) return L"argv[2]";
  if (argv[3] != L"--class=TevraComms") return L"argv[3]";
  return std::wstring();
}

// The command line as CommandLineToArgvW splits it; empty when it fails.
std::vector<std::wstring> Split(const std::wstring& command_line) {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(command_line.c_str(), &argc);
  std::vector<std::wstring> split(argv, argv + (argv ? argc : 0));
  LocalFree(argv);
  return split;
}

// One line on standard output; ASCII only.
void Print(const std::wstring& line) {
  WriteAscii(GetStdHandle(STD_OUTPUT_HANDLE), line + L"\n");
}

// The "check" mode; its exit code.
int Check(std::uint64_t seed, std::uint64_t count) {
  std::uint64_t failures = 0;
  std::wstring shown;
  for (std::uint64_t i = 0; i < count; ++i) {
    const std::wstring text = tevra::MakeHostileText(seed, i, kCheckMaxUnits, true);
    const std::wstring profile = tevra::MakeProfileFolderPath(
        kLocalFolders[i % (sizeof kLocalFolders / sizeof kLocalFolders[0])]);
    const std::vector<std::wstring> argv =
        Split(kBrowser + tevra::MakeAppWindowArguments(PageFor(text), profile));
    const std::wstring fault = Fault(text, profile, argv);
    if (fault.empty()) continue;
    if (++failures > kFailuresShown) continue;
    // The seed and case number rebuild the whole text; its start and the
    // arguments' starts show what went wrong.
    shown += L"{\"case\": " + std::to_wstring(i) + L", \"fault\": " + JsonString(fault) +
             L", \"units\": " + std::to_wstring(text.size()) + L", \"text\": " +
             JsonString(text.substr(0, kUnitsShown)) + L", \"argv\": [";
    for (std::size_t a = 0; a < argv.size(); ++a) {
      shown += (a ? L", " : L"") + JsonString(argv[a].substr(0, kUnitsShown));
    }
    shown += L"]}\n";
  }
  Print(L"cases " + std::to_wstring(count) + L" failures " + std::to_wstring(failures));
  WriteAscii(GetStdHandle(STD_OUTPUT_HANDLE), shown);
  return failures == 0 ? 0 : 1;
}

// The "start" mode; its exit code.
int Start(const std::wstring& program, std::uint64_t seed, std::uint64_t first,
          std::uint64_t count) {
  int result = 0;
  for (std::uint64_t i = first; i < first + count; ++i) {
    const std::wstring text = tevra::MakeHostileText(seed, i, kStartMaxUnits, false);
    if (text.find(L"--version-json") != std::wstring::npos) continue;
    const std::optional<DWORD> code = RunAndWait(nullptr, L"\"" + program + L"\" " + text);
    if (!code) result = 1;
    const std::wstring exit_code = code ? std::to_wstring(*code) : L"null";
    Print(L"{\"case\": " + std::to_wstring(i) + L", \"text\": " + JsonString(text) +
          L", \"exit\": " + exit_code + L", \"page\": " +
          JsonString(PageFor(text)) + L"}");
  }
  return result;
}

// A decimal number; 0 when there is none.
std::uint64_t Number(const wchar_t* text) { return std::wcstoull(text, nullptr, 10); }

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const std::wstring mode = argc > 1 ? argv[1] : L"";
  if (mode == L"check" && argc == 4) return Check(Number(argv[2]), Number(argv[3]));
  if (mode == L"start" && argc == 6) {
    return Start(argv[2], Number(argv[3]), Number(argv[4]), Number(argv[5]));
  }
  Print(L"usage: argv_check check SEED COUNT | start PROGRAM SEED FIRST COUNT");
  return 2;
}
