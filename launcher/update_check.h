// The update check: one HTTPS GET of the latest-version document, answer unread.
#ifndef TEVRA_LAUNCHER_UPDATE_CHECK_H
#define TEVRA_LAUNCHER_UPDATE_CHECK_H

#include "platform/windows_api.h"
#include "resources/product.h"

namespace tevra {

inline constexpr wchar_t kUserAgent[] =
    L"" TEVRA_PROGRAM_NAME "/" TEVRA_VERSION " (Windows x64; " TEVRA_VENDOR_NAME ")";
inline constexpr wchar_t kUpdateHost[] = L"" TEVRA_UPDATE_HOST;
inline constexpr wchar_t kLatestVersionPath[] = L"/tevra-comms/latest/version.json";
inline constexpr std::uint16_t kHttpsPort = 443;

// Sends the request synchronously and waits for the answer or the failure,
// with the platform's default time-outs. Whatever happens, every handle it
// obtained is closed, in reverse order, before it returns. Reports nothing.
void SendUpdateCheck(HttpApi& http);

}  // namespace tevra

#endif  // TEVRA_LAUNCHER_UPDATE_CHECK_H
