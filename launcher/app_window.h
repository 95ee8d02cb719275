// Opening the target URL in a browser's application window, with a browser
// profile of the launcher's own.
#ifndef TEVRA_LAUNCHER_APP_WINDOW_H
#define TEVRA_LAUNCHER_APP_WINDOW_H

#include <array>
#include <string>

#include "platform/windows_api.h"

namespace tevra {

inline constexpr std::size_t kBrowserCandidateCount = 5;
using BrowserCandidates = std::array<std::wstring, kBrowserCandidateCount>;

// The local application data folder followed by
// "\TevraHoldings\TevraComms\Profile"; no separator is added or removed.
std::wstring MakeProfileFolderPath(const std::wstring& local_app_data);

// The browsers to try, in order: the companion browser machine-wide, per user
// (under local_app_data, cut to 259 units), its older name, then Microsoft
// Edge under "Program Files (x86)" and under "Program Files".
BrowserCandidates MakeBrowserCandidates(const std::wstring& local_app_data);

// The three browser switches: --app= with the URL as it is, --user-data-dir=
// with the profile folder in quotation marks, and --class=TevraComms.
std::wstring MakeAppWindowArguments(const std::wstring& target_url,
                                    const std::wstring& profile_folder);

// The longest command line a process can be started with, without its NUL.
// Windows refuses a longer one; some platforms cut it instead, or fail on it,
// which would let a long link decide where the browser's switches end.
inline constexpr std::size_t kMaxCommandLineUnits = 32766;

// Creates the profile folder, then starts the first candidate that exists,
// whose command line fits, and starts (ShellExecuteW above 32) with the
// app-window switches; when none does, hands the target URL to the default
// browser, if it fits the command line of a handler at any path. Does not
// wait for the browser. Every failure is silent.
void LaunchAppWindow(ShellApi& shell, FileApi& files,
                     const std::wstring& target_url);

}  // namespace tevra

#endif  // TEVRA_LAUNCHER_APP_WINDOW_H
