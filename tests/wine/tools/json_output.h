// How the tests' own Windows programs report: JSON in plain ASCII, from which
// the reader recovers every UTF-16 unit exactly.
#ifndef TEVRA_TESTS_WINE_TOOLS_JSON_OUTPUT_H
#define TEVRA_TESTS_WINE_TOOLS_JSON_OUTPUT_H

#include <windows.h>

#include <string>
#include <string_view>

// A JSON string holding exactly these units, embedded NULs included: printable
// ASCII other than quotation mark and backslash as it is, every other unit as
// \uXXXX. The result is ASCII.
inline std::wstring JsonString(std::wstring_view text) {
  constexpr wchar_t kHex[] = L"0123456789abcdef";
  std::wstring out = L"\"";
  for (const wchar_t unit : text) {
    const unsigned code = static_cast<unsigned>(unit);
    if (code >= 0x20 && code < 0x7F && unit != L'"' && unit != L'\\') {
      out += unit;
      continue;
    }
    out += L"\\u";
    for (int shift = 12; shift >= 0; shift -= 4) out += kHex[(code >> shift) & 0xF];
  }
  return out + L"\"";
}

// Writes ASCII text (the low byte of each unit) to an open handle. False when
// not all of it was written.
inline bool WriteAscii(HANDLE handle, std::wstring_view text) {
  const std::string bytes(text.begin(), text.end());
  DWORD written = 0;
  return WriteFile(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                   nullptr) &&
         written == bytes.size();
}

// Writes ASCII text to a file, created or emptied first. False when the file
// cannot be opened or written whole.
inline bool WriteAsciiFile(const std::wstring& path, std::wstring_view text) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  const bool written = WriteAscii(file, text);
  return CloseHandle(file) && written;
}

#endif  // TEVRA_TESTS_WINE_TOOLS_JSON_OUTPUT_H
