#include "launcher/update_check.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/native/fake_windows.h"

namespace tevra {
namespace {

TEST(UpdateCheck, OneSecureGetOfTheLatestVersionDocument) {
  FakeWindows windows;
  SendUpdateCheck(windows);
  EXPECT_EQ(windows.user_agent, L"TevraComms/0.0.1 (Windows x64; Tevra Holdings)");
  EXPECT_EQ(windows.host, L"updates.tevraholdings.com");
  EXPECT_EQ(windows.port, 443);
  EXPECT_EQ(windows.verb, L"GET");
  EXPECT_EQ(windows.object_path, L"/tevra-comms/latest/version.json");
}

TEST(UpdateCheck, ClosesWhatItOpenedInReverseOrderWhereverItStops) {
  const std::vector<std::wstring> whole_request{
      L"WinHttpOpen", L"WinHttpConnect", L"WinHttpOpenRequest", L"WinHttpSendRequest",
      L"WinHttpReceiveResponse", L"WinHttpCloseHandle request",
      L"WinHttpCloseHandle connection", L"WinHttpCloseHandle session"};
  const struct {
    const wchar_t* failing;  // the call that fails, or none
    std::vector<std::wstring> calls;
  } cases[] = {
      {nullptr, whole_request},
      // A failed send is not tested: the receive fails in its turn.
      {L"WinHttpSendRequest", whole_request},
      {L"WinHttpReceiveResponse", whole_request},
      {L"WinHttpOpen", {L"WinHttpOpen"}},
      {L"WinHttpConnect",
       {L"WinHttpOpen", L"WinHttpConnect", L"WinHttpCloseHandle session"}},
      {L"WinHttpOpenRequest",
       {L"WinHttpOpen", L"WinHttpConnect", L"WinHttpOpenRequest",
        L"WinHttpCloseHandle connection", L"WinHttpCloseHandle session"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "failing: " << (c.failing ? c.failing : L"none"));
    FakeWindows windows;
    if (c.failing != nullptr) windows.http_failing = {c.failing};
    SendUpdateCheck(windows);
    EXPECT_EQ(windows.calls, c.calls);
    EXPECT_TRUE(windows.open_handles.empty());
  }
}

}  // namespace
}  // namespace tevra
