// The seam between both programs and Windows: every operating-system call
// they make goes through one of these interfaces. win32_api.h has the real
// calls; tests substitute a recording fake, so the order of calls and every
// failure path can be exercised without Windows.
//
// Each operation is one Windows call, with the arguments the programs never
// vary fixed inside the real implementation. Results come back as the call
// returns them; the callers decide which ones steer the flow. The interfaces
// are split by concern so that a program links, and imports, only the
// libraries it uses: the installer never loads WinHTTP.
#ifndef TEVRA_PLATFORM_WINDOWS_API_H
#define TEVRA_PLATFORM_WINDOWS_API_H

#include <array>
#include <cstdint>
#include <string>

namespace tevra {

// An opaque Windows handle (HKEY, HINTERNET, HRSRC, HGLOBAL, HANDLE, HMODULE).
using Handle = void*;

// Paths Windows fills in are read into 260 units cleared to zeros beforehand,
// so the text before the first NUL holds at most 259 units.
inline constexpr std::size_t kPathBufferUnits = 260;
using PathBuffer = std::array<wchar_t, kPathBufferUnits>;

// The text in a path buffer, up to its first NUL.
std::wstring PathBufferText(const PathBuffer& buffer);

// The command-line text wWinMain was handed; a null lpCmdLine is empty.
std::wstring MakeCommandLineText(const wchar_t* command_line);

class ConsoleApi {
 public:
  virtual ~ConsoleApi() = default;
  // AttachConsole(ATTACH_PARENT_PROCESS). Failure (no parent console) is silent.
  virtual void AttachConsole() = 0;
  // freopen_s(&stream, "CONOUT$", "w", stdout): standard output, in text mode,
  // now goes to the attached console. Failure leaves stdout writing nowhere.
  virtual void ReopenStdoutOnConsole() = 0;
  // Writes text to stdout without flushing; the runtime's exit flushes it.
  virtual void WriteStdout(const char* text) = 0;
};

class FileApi {
 public:
  virtual ~FileApi() = default;
  // GetModuleFileNameW(NULL, buffer, 260). Returns the call's result: the
  // units written without the NUL, 0 on failure, 260 when the path was cut.
  virtual std::uint32_t GetModuleFileNameW(PathBuffer& buffer) = 0;
  // GetFileAttributesW(path); kInvalidFileAttributes when absent.
  virtual std::uint32_t GetFileAttributesW(const std::wstring& path) = 0;

  // FindResourceW(module, MAKEINTRESOURCE(id), MAKEINTRESOURCE(type)).
  // Null when the image holds no such resource.
  virtual Handle FindResourceW(Handle module, int id, int type) = 0;
  // LoadResource(module, resource): the handle LockResource takes; null on
  // failure (also when given a null resource).
  virtual Handle LoadResource(Handle module, Handle resource) = 0;
  // SizeofResource(module, resource): the resource's byte count; 0 on failure.
  virtual std::uint32_t SizeofResource(Handle module, Handle resource) = 0;
  // A read-only view of the resource's bytes, valid until the process exits;
  // null on failure (also when given null).
  virtual const void* LockResource(Handle loaded) = 0;

  // CreateFileW(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS,
  // FILE_ATTRIBUTE_NORMAL, NULL). Null, never INVALID_HANDLE_VALUE, when the
  // file cannot be opened.
  virtual Handle CreateFileW(const std::wstring& path) = 0;
  // WriteFile(file, bytes, size, &written, NULL) with *written set to 0 first.
  virtual bool WriteFile(Handle file, const void* bytes, std::uint32_t size,
                         std::uint32_t* written) = 0;
  // CloseHandle(handle): releases a handle CreateFileW gave. False on failure.
  virtual bool CloseHandle(Handle handle) = 0;
};

class RegistryApi {
 public:
  virtual ~RegistryApi() = default;
  // RegCreateKeyExW(HKEY_CURRENT_USER, subkey, 0, NULL,
  // REG_OPTION_NON_VOLATILE, KEY_WRITE, NULL, key, NULL): opens or creates the
  // key with any missing parents. Returns the registry status; 0 means *key is
  // an open, writable handle that the caller must close.
  virtual long RegCreateKeyExW(const std::wstring& subkey, Handle* key) = 0;
  // RegSetValueExW(key, name, 0, REG_SZ, data, byte_count). A null name sets
  // the key's default value. Returns the registry status.
  virtual long RegSetValueExW(Handle key, const wchar_t* name,
                              const std::wstring& data,
                              std::uint32_t byte_count) = 0;
  // RegCloseKey(key): releases a key RegCreateKeyExW opened; its status.
  virtual long RegCloseKey(Handle key) = 0;
};

class HttpApi {
 public:
  virtual ~HttpApi() = default;
  // WinHttpOpen(user_agent, WINHTTP_ACCESS_TYPE_DEFAULT_PROXY, no proxy name,
  // no bypass list, 0): a synchronous session. Null on failure.
  virtual Handle WinHttpOpen(const std::wstring& user_agent) = 0;
  // WinHttpConnect(session, host, port, 0). Null on failure.
  virtual Handle WinHttpConnect(Handle session, const std::wstring& host,
                                std::uint16_t port) = 0;
  // WinHttpOpenRequest(connection, verb, path, NULL, WINHTTP_NO_REFERER,
  // WINHTTP_DEFAULT_ACCEPT_TYPES, WINHTTP_FLAG_SECURE). Null on failure.
  virtual Handle WinHttpOpenRequest(Handle connection, const std::wstring& verb,
                                    const std::wstring& path) = 0;
  // WinHttpSendRequest with no extra headers and no body; blocks until sent.
  virtual bool WinHttpSendRequest(Handle request) = 0;
  // WinHttpReceiveResponse(request, NULL); blocks until the response headers
  // arrive or the request fails.
  virtual bool WinHttpReceiveResponse(Handle request) = 0;
  // WinHttpCloseHandle(handle): releases a session, connection or request
  // handle, dropping whatever answer it held. False on failure.
  virtual bool WinHttpCloseHandle(Handle handle) = 0;
};

class ShellApi {
 public:
  virtual ~ShellApi() = default;
  // SHGetFolderPathW(NULL, CSIDL_LOCAL_APPDATA, NULL, SHGFP_TYPE_CURRENT,
  // buffer). Returns the HRESULT; on failure the buffer is left as it was.
  virtual long SHGetFolderPathW(PathBuffer& buffer) = 0;
  // SHCreateDirectoryExW(NULL, path, NULL): the folder and every missing
  // parent. Returns the call's result (an existing folder is not an error).
  virtual int SHCreateDirectoryExW(const std::wstring& path) = 0;
  // ShellExecuteW(NULL, L"open", file, parameters, directory, SW_SHOWNORMAL);
  // parameters and directory may be null. Returns the call's result: above 32
  // means started. Does not wait for what it started.
  virtual std::intptr_t ShellExecuteW(const std::wstring& file,
                                      const wchar_t* parameters,
                                      const wchar_t* directory) = 0;
};

// GetFileAttributesW's answer for a path that does not exist.
inline constexpr std::uint32_t kInvalidFileAttributes = 0xFFFFFFFFu;
// The registry status of a call that succeeded.
inline constexpr long kErrorSuccess = 0;
// ShellExecuteW results above this mean the program was started.
inline constexpr std::intptr_t kShellExecuteStarted = 32;

// The user's local application data folder as SHGetFolderPathW leaves it in a
// zeroed 260-unit buffer: at most 259 units, empty when the query fails.
std::wstring ReadLocalAppDataFolder(ShellApi& shell);

// Sets a REG_SZ value with the byte count of its UTF-16 units and the NUL,
// 2 x (units + 1). Returns the registry status.
long SetRegistryString(RegistryApi& registry, Handle key, const wchar_t* name,
                       const std::wstring& data);

}  // namespace tevra

#endif  // TEVRA_PLATFORM_WINDOWS_API_H
