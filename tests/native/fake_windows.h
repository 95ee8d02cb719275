// A recording stand-in for Windows. It answers every seam operation from the
// settings below and logs each call, in order, as one line of text such as
// "RegCreateKeyExW Software\Classes\tevra-comms" or "WinHttpCloseHandle
// request", so tests can compare the whole conversation with a table.
#ifndef TEVRA_TESTS_NATIVE_FAKE_WINDOWS_H
#define TEVRA_TESTS_NATIVE_FAKE_WINDOWS_H

#include <cstdint>
#include <map>
#include <ostream>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/windows_api.h"

namespace tevra {

class FakeWindows final : public ConsoleApi,
                          public FileApi,
                          public RegistryApi,
                          public HttpApi,
                          public ShellApi {
 public:
  // --- What Windows answers -------------------------------------------------
  // GetModuleFileNameW copies this (cut to 259 units and NUL-terminated, as
  // Windows does) and returns its length, or 260 when it was cut.
  std::wstring module_path = L"C:\\Users\\u1\\AppData\\Local\\Programs\\TevraComms.exe";
  bool module_path_fails = false;  // returns 0 and writes nothing
  // SHGetFolderPathW's folder; nullopt makes the query fail.
  std::optional<std::wstring> local_app_data = L"C:\\Users\\u1\\AppData\\Local";
  std::set<std::wstring> registry_keys_failing;  // RegCreateKeyExW gives 5
  bool every_call_fails = false;                // every operation fails
  // WinHttp calls that fail, by name ("WinHttpOpen", "WinHttpSendRequest" ...).
  std::set<std::wstring> http_failing;
  // Paths GetFileAttributesW finds, with the attributes it reports.
  std::map<std::wstring, std::uint32_t> existing_paths;
  // ShellExecuteW results by file; anything else gives 42 (started).
  std::map<std::wstring, std::intptr_t> start_results;
  // The resource FindResourceW finds (id 101, type 10); nullopt: none.
  std::optional<std::vector<unsigned char>> payload;
  bool lock_resource_fails = false;
  std::set<std::wstring> files_failing_to_open;  // CreateFileW gives null
  std::optional<std::uint32_t> bytes_written;     // WriteFile's count; all if unset
  bool write_fails = false;

  // --- What happened ----------------------------------------------------------
  std::vector<std::wstring> calls;
  struct RegistryValue {
    std::wstring key;
    std::wstring name;  // "(default)" for the default value
    std::wstring data;
    std::uint32_t byte_count;
    bool operator==(const RegistryValue& other) const {
      return key == other.key && name == other.name && data == other.data &&
             byte_count == other.byte_count;
    }
    // How GoogleTest shows one in a failure.
    friend void PrintTo(const RegistryValue& value, std::ostream* os);
  };
  std::vector<RegistryValue> registry_values;
  struct Start {
    std::wstring file;
    std::optional<std::wstring> parameters;
    std::optional<std::wstring> directory;
  };
  std::vector<Start> starts;
  std::vector<std::wstring> folders_created;
  std::string stdout_text;
  struct FileWrite {
    std::wstring path;
    std::vector<unsigned char> bytes;
  };
  std::vector<FileWrite> files_written;
  // Handles handed out and not yet closed, by label.
  std::map<Handle, std::wstring> open_handles;

  // The handle the installer passes as its own module.
  Handle module_handle() { return &module_marker_; }

  void AttachConsole() override;
  void ReopenStdoutOnConsole() override;
  void WriteStdout(const char* text) override;

  std::uint32_t GetModuleFileNameW(PathBuffer& buffer) override;
  std::uint32_t GetFileAttributesW(const std::wstring& path) override;
  Handle FindResourceW(Handle module, int id, int type) override;
  Handle LoadResource(Handle module, Handle resource) override;
  std::uint32_t SizeofResource(Handle module, Handle resource) override;
  const void* LockResource(Handle loaded) override;
  Handle CreateFileW(const std::wstring& path) override;
  bool WriteFile(Handle file, const void* bytes, std::uint32_t size,
                 std::uint32_t* written) override;
  bool CloseHandle(Handle handle) override;

  long RegCreateKeyExW(const std::wstring& subkey, Handle* key) override;
  long RegSetValueExW(Handle key, const wchar_t* name, const std::wstring& data,
                      std::uint32_t byte_count) override;
  long RegCloseKey(Handle key) override;

  Handle WinHttpOpen(const std::wstring& user_agent) override;
  Handle WinHttpConnect(Handle session, const std::wstring& host,
                        std::uint16_t port) override;
  Handle WinHttpOpenRequest(Handle connection, const std::wstring& verb,
                            const std::wstring& path) override;
  bool WinHttpSendRequest(Handle request) override;
  bool WinHttpReceiveResponse(Handle request) override;
  bool WinHttpCloseHandle(Handle handle) override;

  long SHGetFolderPathW(PathBuffer& buffer) override;
  int SHCreateDirectoryExW(const std::wstring& path) override;
  std::intptr_t ShellExecuteW(const std::wstring& file, const wchar_t* parameters,
                              const wchar_t* directory) override;

  // The arguments the last WinHttp opens were given.
  std::wstring user_agent, host, verb, object_path;
  std::uint16_t port = 0;

 private:
  Handle Open(const std::wstring& label);
  std::wstring Close(Handle handle);  // the label, or "unknown"
  std::uintptr_t next_handle_ = 0x1000;
  char module_marker_ = 0;
};

}  // namespace tevra

#endif  // TEVRA_TESTS_NATIVE_FAKE_WINDOWS_H
