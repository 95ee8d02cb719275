#include "launcher/deep_link.h"

#include <gtest/gtest.h>

#include <string>

namespace tevra {
namespace {

const std::wstring kBase = L"https://comms.tevraholdings.com/comms/";

TEST(DeepLink, SignUpAndDeepLinkPagesAreOnTheServiceHost) {
  EXPECT_EQ(std::wstring(kSignUpPage),
            L"https://comms.tevraholdings.com/comms/oauth/openid/signup");
  EXPECT_EQ(std::wstring(kDeepLinkBase), kBase);
}

TEST(DeepLink, ResolvesTheLinkTailIntoAPageOfTheService) {
  const struct {
    std::wstring command_line;
    std::wstring target;  // empty: the sign-up page stays
  } cases[] = {
      {L"", L""},
      {L"\"tevra-comms://chat/42/\"", kBase + L"chat/42"},
      {L"tevra-comms://chat/42 more", kBase + L"chat/42%20more"},
      {L"\"tevra-comms://\"", L""},
      {L"tevra-comms:////", L""},
      {L"TEVRA-COMMS://chat/42", L""},
      {L"tevra-comms:/chat/42", L""},
      {L"tevra-comms:///chat", kBase + L"/chat"},
      {L"tevra-comms://a/ tevra-comms://b/", kBase + L"a/%20tevra-comms://b"},
      {L"--open=tevra-comms://chat/42", kBase + L"chat/42"},
      {L"tevra-comms://chat/42?x=%2F#top/", kBase + L"chat/42?x=%2F#top"},
      {L"tevra-comms://chat/42/\" \"", kBase + L"chat/42"},
      {L"tevra-comms://chat/42\t", kBase + L"chat/42%09"},
      {L"tevra-comms://caf\u00e9/\u65e5\u672c", kBase + L"caf\u00e9/\u65e5\u672c"},
      {L"tevra-comms://a\\b\\c", kBase + L"a\\b\\c"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "command line: " << c.command_line);
    std::wstring target_url = kSignUpPage;
    ResolveDeepLink(c.command_line, target_url);
    EXPECT_EQ(target_url, c.target.empty() ? std::wstring(kSignUpPage) : c.target);
  }
}

// A link is attacker-controlled text: nothing in it may end the browser's
// --app= argument or start a switch of its own.
TEST(DeepLink, HostileLinksStayInsideOneArgument) {
  const struct {
    std::wstring command_line;
    std::wstring target;
  } cases[] = {
      {L"\"tevra-comms://x\" --gpu-launcher=\"cmd /c calc\"",
       kBase + L"x%22%20--gpu-launcher=%22cmd%20/c%20calc"},
      {L"\"tevra-comms://x\\\" --renderer-cmd-prefix=calc\"",
       kBase + L"x\\%22%20--renderer-cmd-prefix=calc"},
      {L"tevra-comms://x\\\\\" /gpu-launcher=calc", kBase + L"x\\\\%22%20/gpu-launcher=calc"},
      {L"tevra-comms://x\r\n--utility-cmd-prefix=calc",
       kBase + L"x%0D%0A--utility-cmd-prefix=calc"},
      {L"tevra-comms://x\t--version", kBase + L"x%09--version"},
      {L"tevra-comms://x\x7f\x01\x1f", kBase + L"x%7F%01%1F"},
      {std::wstring(L"tevra-comms://x\0y", 17), kBase + L"x%00y"},
      {L"tevra-comms://%22already%20escaped", kBase + L"%22already%20escaped"},
      // Blank-like elsewhere, and surrogates paired or not: no argument ends
      // at any of them, so they pass unchanged.
      {L"tevra-comms://a\u3000b\u00a0c\u0085d\xD83D\xDE00e\xD800f\xDFFF",
       kBase + L"a\u3000b\u00a0c\u0085d\xD83D\xDE00e\xD800f\xDFFF"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "command line: " << c.command_line);
    std::wstring target_url = kSignUpPage;
    ResolveDeepLink(c.command_line, target_url);
    EXPECT_EQ(target_url, c.target);
  }
}

TEST(DeepLink, AVeryLongLinkIsKeptWhole) {
  const std::wstring tail(32000, L'a');
  std::wstring target_url = kSignUpPage;
  ResolveDeepLink(L"\"tevra-comms://" + tail + L" " + tail + L"\"", target_url);
  EXPECT_EQ(target_url, kBase + tail + L"%20" + tail);
}

}  // namespace
}  // namespace tevra
