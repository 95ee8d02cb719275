// Awkward command-line texts for the property tests, the same on every
// platform and library version: a seeded generator of our own, no <random>.
#ifndef TEVRA_TESTS_HOSTILE_TEXT_H
#define TEVRA_TESTS_HOSTILE_TEXT_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tevra {

// splitmix64: a fixed, well-mixed sequence of 64-bit numbers for each seed.
class SplitMix64 {
 public:
  explicit SplitMix64(std::uint64_t seed) : state_(seed) {}

  std::uint64_t Next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }

  // A number in [0, bound); bound > 0. The modulo bias is far below what a
  // test of a few thousand cases could notice.
  std::uint32_t Below(std::uint32_t bound) {
    return static_cast<std::uint32_t>(Next() % bound);
  }

 private:
  std::uint64_t state_;
};

// Case `index` of the stream `seed`: UTF-16 units (one per wchar_t, whatever
// its width) built from pieces that stress command-line parsing: quotation
// marks, backslash runs before quotation marks, blanks, tabs, CR, LF and other
// control units (U+0000 only when with_nul), %, /, -, letters, the link scheme
// "tevra-comms://" and near misses of it, switch-like words ("--app=", "/S",
// "--silent" and near misses of those), non-ASCII BMP characters (blank-like
// ones among them), surrogate pairs and unpaired surrogates. Mostly short,
// some up to max_units long; the last piece may be cut, a surrogate pair too.
// Three in four texts of 14 units or more hold the whole scheme at a random
// place. Each case depends only on (seed, index), so any one can be rebuilt
// alone.
inline std::wstring MakeHostileText(std::uint64_t seed, std::uint64_t index,
                                    std::size_t max_units, bool with_nul) {
  // The scheme thrice: several links in one text matter most.
  static const wchar_t* const kWords[] = {
      L"tevra-comms://", L"tevra-comms://", L"tevra-comms://", L"tevra-comms:/",
      L"TEVRA-COMMS://", L"tevra-comms:", L"https://", L"--", L"--app=",
      L"--user-data-dir=", L"--class=", L"--gpu-launcher=", L"--renderer-cmd-prefix=",
      L"/S", L"/s", L"-S", L"/ S", L"\"/S\"", L"--silent", L"--silen", L"--SILENT",
      L"-silent", L"--version", L"%20", L"%22", L"%%", L"%1", L"\"\"", L"\" \"",
      L"\\\\server\\share", L"C:\\Program Files\\x.exe",
  };
  static const wchar_t kAscii[] = L"\"\\ \t\r\n%/-:=?#&'^.@abcXYZ019";
  // Blank-like and otherwise notable non-ASCII units.
  static const std::uint32_t kNotable[] = {0x0085, 0x00A0, 0x1680, 0x2000, 0x2028,
                                           0x2029, 0x202E, 0x3000, 0xFEFF, 0xFFFD,
                                           0xFFFE, 0xFFFF, 0x00E9, 0x65E5};

  SplitMix64 random(seed ^ (index * 0xD1B54A32D192ED03ull));
  const std::uint32_t size_class = random.Below(10);
  const std::size_t limit = size_class < 7   ? 64
                            : size_class < 9 ? 2000
                                             : max_units;
  const std::size_t length = random.Below(static_cast<std::uint32_t>(limit) + 1);
  const std::wstring_view scheme = L"tevra-comms://";
  const bool with_scheme = length >= scheme.size() && random.Below(4) != 0;
  const std::size_t body = with_scheme ? length - scheme.size() : length;

  std::wstring text;
  while (text.size() < body) {
    const std::uint32_t kind = random.Below(100);
    if (kind < 30) {
      text += kAscii[random.Below(sizeof kAscii / sizeof kAscii[0] - 1)];
    } else if (kind < 40) {
      text += static_cast<wchar_t>(L'A' + random.Below(26) + 32 * random.Below(2));
    } else if (kind < 55) {
      text += kWords[random.Below(sizeof kWords / sizeof kWords[0])];
    } else if (kind < 62) {
      text.append(1 + random.Below(6), L'\\');
      text += L'"';
    } else if (kind < 70) {
      const std::uint32_t control = random.Below(0x21);  // 0x20 stands for U+007F
      if (control == 0 && !with_nul) continue;
      text += static_cast<wchar_t>(control == 0x20 ? 0x7F : control);
    } else if (kind < 80) {
      text += static_cast<wchar_t>(kNotable[random.Below(sizeof kNotable /
                                                         sizeof kNotable[0])]);
    } else if (kind < 88) {
      std::uint32_t unit = 0x80 + random.Below(0xFFFF - 0x80 - 0x800);
      if (unit >= 0xD800) unit += 0x800;  // surrogates have cases of their own
      text += static_cast<wchar_t>(unit);
    } else if (kind < 94) {
      const std::uint32_t code = random.Below(0x100000);  // above U+FFFF, less 0x10000
      text += static_cast<wchar_t>(0xD800 + (code >> 10));
      text += static_cast<wchar_t>(0xDC00 + (code & 0x3FF));
    } else {
      text += static_cast<wchar_t>(0xD800 + random.Below(0x800));  // unpaired
    }
  }
  text.resize(body);
  if (with_scheme) text.insert(random.Below(static_cast<std::uint32_t>(body) + 1), scheme);
  return text;
}

}  // namespace tevra

#endif  // TEVRA_TESTS_HOSTILE_TEXT_H
