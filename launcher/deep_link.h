// Turning a tevra-comms:// link into a page of the service.
#ifndef TEVRA_LAUNCHER_DEEP_LINK_H
#define TEVRA_LAUNCHER_DEEP_LINK_H

#include <string>

#include "resources/product.h"

namespace tevra {

inline constexpr wchar_t kSignUpPage[] =
    L"https://" TEVRA_SERVICE_HOST "/comms/oauth/openid/signup";
inline constexpr wchar_t kDeepLinkBase[] = L"https://" TEVRA_SERVICE_HOST "/comms/";

// Finds the first "tevra-comms://" anywhere in the command-line text (exact,
// case-sensitive) and takes everything after it as the link tail, later
// arguments included. Trailing blanks, quotation marks and slashes are
// trimmed; an empty tail leaves target_url as it was. Otherwise target_url
// becomes the deep-link base followed by the tail, in which every unit that
// could end or split a command-line argument (blank, quotation mark, U+0000
// to U+001F, U+007F) is percent-encoded; all else passes unchanged. The page
// thus never holds a blank or a quotation mark and stays one argument.
void ResolveDeepLink(const std::wstring& command_line, std::wstring& target_url);

}  // namespace tevra

#endif  // TEVRA_LAUNCHER_DEEP_LINK_H
