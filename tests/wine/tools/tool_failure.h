// How the tests' own Windows programs report a Windows call that failed.
#ifndef TEVRA_TESTS_WINE_TOOLS_TOOL_FAILURE_H
#define TEVRA_TESTS_WINE_TOOLS_TOOL_FAILURE_H

#include <windows.h>

#include <cstdio>

// Prints "TOOL: WHAT failed (error N)" with the last Windows error to stderr;
// returns exit_code for the tool to end with.
inline int ReportFailure(const char* tool, const char* what, int exit_code) {
  std::fprintf(stderr, "%s: %s failed (error %lu)\n", tool, what, GetLastError());
  return exit_code;
}

#endif  // TEVRA_TESTS_WINE_TOOLS_TOOL_FAILURE_H
