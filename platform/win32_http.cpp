#include <windows.h>
#include <winhttp.h>

#include "platform/win32_api.h"

namespace tevra {

Handle Win32Http::WinHttpOpen(const std::wstring& user_agent) {
  return ::WinHttpOpen(user_agent.c_str(), WINHTTP_ACCESS_TYPE_DEFAULT_PROXY,
                       WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0);
}

Handle Win32Http::WinHttpConnect(Handle session, const std::wstring& host,
                                 std::uint16_t port) {
  return ::WinHttpConnect(static_cast<HINTERNET>(session), host.c_str(), port,
                          0);
}

Handle Win32Http::WinHttpOpenRequest(Handle connection, const std::wstring& verb,
                                     const std::wstring& path) {
  return ::WinHttpOpenRequest(static_cast<HINTERNET>(connection), verb.c_str(),
                              path.c_str(), nullptr, WINHTTP_NO_REFERER,
                              WINHTTP_DEFAULT_ACCEPT_TYPES, WINHTTP_FLAG_SECURE);
}

bool Win32Http::WinHttpSendRequest(Handle request) {
  return ::WinHttpSendRequest(static_cast<HINTERNET>(request),
                              WINHTTP_NO_ADDITIONAL_HEADERS, 0,
                              WINHTTP_NO_REQUEST_DATA, 0, 0, 0) != FALSE;
}

bool Win32Http::WinHttpReceiveResponse(Handle request) {
  return ::WinHttpReceiveResponse(static_cast<HINTERNET>(request), nullptr) !=
         FALSE;
}

bool Win32Http::WinHttpCloseHandle(Handle handle) {
  return ::WinHttpCloseHandle(static_cast<HINTERNET>(handle)) != FALSE;
}

}  // namespace tevra
