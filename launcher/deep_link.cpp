#include "launcher/deep_link.h"

#include <cstdint>
#include <string_view>
#include <utility>

namespace tevra {
namespace {

constexpr std::wstring_view kSchemePrefix = L"" TEVRA_LINK_SCHEME "://";

bool IsTrimmed(wchar_t unit) {
  return unit == L' ' || unit == L'"' || unit == L'/';
}

bool EndsOrSplitsArgument(wchar_t unit) {
  const auto code = static_cast<std::uint32_t>(unit);
  return code <= 0x20 || code == 0x22 || code == 0x7F;
}

void AppendEscapedTail(std::wstring_view tail, std::wstring& out) {
  constexpr wchar_t kHex[] = L"0123456789ABCDEF";
  for (const wchar_t unit : tail) {
    if (!EndsOrSplitsArgument(unit)) {
      out += unit;
      continue;
    }
    const auto code = static_cast<std::uint32_t>(unit);
    out += L'%';
    out += kHex[code >> 4];
    out += kHex[code & 0xF];
  }
}

}  // namespace

void ResolveDeepLink(const std::wstring& command_line, std::wstring& target_url) {
  const std::size_t prefix_at = command_line.find(kSchemePrefix);
  if (prefix_at == std::wstring::npos) return;

  std::wstring_view tail(command_line);
  tail.remove_prefix(prefix_at + kSchemePrefix.size());
  while (!tail.empty() && IsTrimmed(tail.back())) tail.remove_suffix(1);
  if (tail.empty()) return;

  std::wstring page = kDeepLinkBase;
  AppendEscapedTail(tail, page);
  target_url = std::move(page);
}

}  // namespace tevra
