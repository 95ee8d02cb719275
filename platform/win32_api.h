// The real seam: each operation is the Windows call it names. A program
// constructs only the parts it uses, so it imports only their libraries.
#ifndef TEVRA_PLATFORM_WIN32_API_H
#define TEVRA_PLATFORM_WIN32_API_H

#include "platform/windows_api.h"

namespace tevra {

class Win32Console final : public ConsoleApi {
 public:
  void AttachConsole() override;
  void ReopenStdoutOnConsole() override;
  void WriteStdout(const char* text) override;
};

class Win32Files final : public FileApi {
 public:
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
};

class Win32Registry final : public RegistryApi {
 public:
  long RegCreateKeyExW(const std::wstring& subkey, Handle* key) override;
  long RegSetValueExW(Handle key, const wchar_t* name, const std::wstring& data,
                      std::uint32_t byte_count) override;
  long RegCloseKey(Handle key) override;
};

class Win32Http final : public HttpApi {
 public:
  Handle WinHttpOpen(const std::wstring& user_agent) override;
  Handle WinHttpConnect(Handle session, const std::wstring& host,
                        std::uint16_t port) override;
  Handle WinHttpOpenRequest(Handle connection, const std::wstring& verb,
                            const std::wstring& path) override;
  bool WinHttpSendRequest(Handle request) override;
  bool WinHttpReceiveResponse(Handle request) override;
  bool WinHttpCloseHandle(Handle handle) override;
};

class Win32Shell final : public ShellApi {
 public:
  long SHGetFolderPathW(PathBuffer& buffer) override;
  int SHCreateDirectoryExW(const std::wstring& path) override;
  std::intptr_t ShellExecuteW(const std::wstring& file, const wchar_t* parameters,
                              const wchar_t* directory) override;
};

}  // namespace tevra

#endif  // TEVRA_PLATFORM_WIN32_API_H
