#include "launcher/update_check.h"

namespace tevra {

void SendUpdateCheck(HttpApi& http) {
  Handle session = http.WinHttpOpen(kUserAgent);
  if (session == nullptr) return;
  if (Handle connection = http.WinHttpConnect(session, kUpdateHost, kHttpsPort)) {
    if (Handle request =
            http.WinHttpOpenRequest(connection, L"GET", kLatestVersionPath)) {
      // A failed send is not tested: the receive then fails in its turn.
      http.WinHttpSendRequest(request);
      http.WinHttpReceiveResponse(request);
      http.WinHttpCloseHandle(request);
    }
    http.WinHttpCloseHandle(connection);
  }
  http.WinHttpCloseHandle(session);
}

}  // namespace tevra
