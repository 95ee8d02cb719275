// Reads the current user's registry as programs see it, and follows links the
// way the shell does with a per-user scheme registration.
//
//   registry_probe query KEY
//     Prints the key under HKEY_CURRENT_USER as
//     {"values": {"NAME": {"type": T, "bytes": N, "data": "..."}, ...},
//      "subkeys": ["NAME", ...]}
//     or null when it does not exist. T and N are what RegQueryValueExW
//     reports; data is the value's bytes read as UTF-16 units (for REG_SZ its
//     terminating NUL included when the byte count includes it).
//
//   registry_probe follow LINK
//     Reads the open command of the link's scheme (the text before the first
//     ':') from HKEY_CURRENT_USER\Software\Classes\SCHEME\shell\open\command,
//     replaces every "%1" with the link, starts that command line, waits for
//     it to end and prints {"exit_code": N}.
//
// Exits 0 when it printed its answer, 1 otherwise (bad arguments, no open
// command, the command could not be started).
#include <windows.h>

#include <string>
#include <vector>

#include "json_output.h"
#include "run_program.h"

namespace {

// Writes one line of ASCII text to standard output; false when it could not.
bool Print(const std::wstring& text) {
  return WriteAscii(GetStdHandle(STD_OUTPUT_HANDLE), text + L"\n");
}

// A value as RegQueryValueExW reports it; type and bytes mean nothing unless
// status is ERROR_SUCCESS.
struct Value {
  LSTATUS status = ERROR_SUCCESS;
  DWORD type = REG_NONE;
  std::vector<BYTE> bytes;
};

// One value of an open key, the default one for a null or empty name.
Value QueryValue(HKEY key, const wchar_t* name) {
  Value value;
  DWORD size = 0;
  value.status = RegQueryValueExW(key, name, nullptr, &value.type, nullptr, &size);
  if (value.status != ERROR_SUCCESS) return value;
  value.bytes.resize(size);
  value.status = RegQueryValueExW(key, name, nullptr, &value.type, value.bytes.data(), &size);
  value.bytes.resize(size);
  return value;
}

// The bytes as UTF-16 units; an odd last byte is left out.
std::wstring Units(const std::vector<BYTE>& bytes) {
  std::wstring units(bytes.size() / 2, L'\0');
  CopyMemory(units.data(), bytes.data(), units.size() * sizeof(wchar_t));
  return units;
}

// Every value and subkey of an open key, as JSON; empty when one cannot be read.
std::wstring DescribeKey(HKEY key) {
  DWORD subkey_count = 0, longest_subkey = 0, value_count = 0, longest_value = 0;
  if (RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &subkey_count, &longest_subkey,
                       nullptr, &value_count, &longest_value, nullptr, nullptr,
                       nullptr) != ERROR_SUCCESS) {
    return std::wstring();
  }
  std::wstring values;
  for (DWORD i = 0; i < value_count; ++i) {
    std::wstring name(longest_value + 1, L'\0');
    DWORD length = static_cast<DWORD>(name.size());
    if (RegEnumValueW(key, i, name.data(), &length, nullptr, nullptr, nullptr, nullptr) !=
        ERROR_SUCCESS) {
      return std::wstring();
    }
    name.resize(length);
    const Value value = QueryValue(key, name.c_str());
    if (value.status != ERROR_SUCCESS) return std::wstring();
    if (!values.empty()) values += L", ";
    values += JsonString(name) + L": {\"type\": " + std::to_wstring(value.type) +
              L", \"bytes\": " + std::to_wstring(value.bytes.size()) +
              L", \"data\": " + JsonString(Units(value.bytes)) + L"}";
  }
  std::wstring subkeys;
  for (DWORD i = 0; i < subkey_count; ++i) {
    std::wstring name(longest_subkey + 1, L'\0');
    DWORD length = static_cast<DWORD>(name.size());
    if (RegEnumKeyExW(key, i, name.data(), &length, nullptr, nullptr, nullptr, nullptr) !=
        ERROR_SUCCESS) {
      return std::wstring();
    }
    name.resize(length);
    if (!subkeys.empty()) subkeys += L", ";
    subkeys += JsonString(name);
  }
  return L"{\"values\": {" + values + L"}, \"subkeys\": [" + subkeys + L"]}";
}

// Prints the key under HKEY_CURRENT_USER, or null when it does not exist.
// Returns the exit code: 1 when the key could not be read.
int Query(const std::wstring& key_name) {
  HKEY key = nullptr;
  const LSTATUS status =
      RegOpenKeyExW(HKEY_CURRENT_USER, key_name.c_str(), 0, KEY_READ, &key);
  if (status == ERROR_FILE_NOT_FOUND) return Print(L"null") ? 0 : 1;
  if (status != ERROR_SUCCESS) return 1;
  const std::wstring description = DescribeKey(key);
  RegCloseKey(key);
  return !description.empty() && Print(description) ? 0 : 1;
}

// The default value of a key under HKEY_CURRENT_USER if it is a string;
// empty otherwise.
std::wstring ReadDefaultString(const std::wstring& key_name) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, key_name.c_str(), 0, KEY_READ, &key) !=
      ERROR_SUCCESS) {
    return std::wstring();
  }
  const Value value = QueryValue(key, nullptr);
  RegCloseKey(key);
  if (value.status != ERROR_SUCCESS || value.type != REG_SZ) return std::wstring();
  const std::wstring units = Units(value.bytes);
  return units.substr(0, units.find(L'\0'));
}

// Starts the link's open command as the shell would and prints the exit code
// it ends with. Returns the exit code: 1 when there is nothing to start or the
// start failed.
int Follow(const std::wstring& link) {
  const std::wstring scheme = link.substr(0, link.find(L':'));
  std::wstring command_line =
      ReadDefaultString(L"Software\\Classes\\" + scheme + L"\\shell\\open\\command");
  if (command_line.empty()) return 1;
  for (std::size_t at = command_line.find(L"%1"); at != std::wstring::npos;
       at = command_line.find(L"%1", at + link.size())) {
    command_line.replace(at, 2, link);
  }

  const std::optional<DWORD> exit_code = RunAndWait(nullptr, command_line);
  if (!exit_code) return 1;
  return Print(L"{\"exit_code\": " + std::to_wstring(*exit_code) + L"}") ? 0 : 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 3) return 1;
  const std::wstring command = argv[1];
  if (command == L"query") return Query(argv[2]);
  if (command == L"follow") return Follow(argv[2]);
  return 1;
}
