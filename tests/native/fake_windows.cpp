#include "tests/native/fake_windows.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace tevra {
namespace {

constexpr long kAccessDenied = 5;

}  // namespace

void PrintTo(const FakeWindows::RegistryValue& value, std::ostream* os) {
  *os << testing::PrintToString(value.key) << " " << testing::PrintToString(value.name)
      << " = " << testing::PrintToString(value.data) << " (" << value.byte_count
      << " bytes)";
}

Handle FakeWindows::Open(const std::wstring& label) {
  Handle handle = reinterpret_cast<Handle>(next_handle_);
  next_handle_ += 0x10;
  open_handles[handle] = label;
  return handle;
}

std::wstring FakeWindows::Close(Handle handle) {
  const auto found = open_handles.find(handle);
  if (found == open_handles.end()) return L"unknown";
  std::wstring label = found->second;
  open_handles.erase(found);
  return label;
}

void FakeWindows::AttachConsole() { calls.push_back(L"AttachConsole"); }

void FakeWindows::ReopenStdoutOnConsole() {
  calls.push_back(L"ReopenStdoutOnConsole");
}

void FakeWindows::WriteStdout(const char* text) {
  calls.push_back(L"WriteStdout");
  if (!every_call_fails) stdout_text += text;
}

std::uint32_t FakeWindows::GetModuleFileNameW(PathBuffer& buffer) {
  calls.push_back(L"GetModuleFileNameW");
  if (every_call_fails || module_path_fails) return 0;
  const std::size_t fits = std::min(module_path.size(), buffer.size() - 1);
  std::copy_n(module_path.begin(), fits, buffer.begin());
  buffer[fits] = L'\0';
  return module_path.size() < buffer.size()
             ? static_cast<std::uint32_t>(module_path.size())
             : static_cast<std::uint32_t>(buffer.size());
}

std::uint32_t FakeWindows::GetFileAttributesW(const std::wstring& path) {
  calls.push_back(L"GetFileAttributesW " + path);
  const auto found = existing_paths.find(path);
  if (every_call_fails || found == existing_paths.end()) {
    return kInvalidFileAttributes;
  }
  return found->second;
}

Handle FakeWindows::FindResourceW(Handle module, int id, int type) {
  calls.push_back(L"FindResourceW " + std::to_wstring(id) + L" " +
                  std::to_wstring(type));
  if (every_call_fails || !payload || module != module_handle() || id != 101 ||
      type != 10) {
    return nullptr;
  }
  return Open(L"resource");
}

Handle FakeWindows::LoadResource(Handle, Handle resource) {
  calls.push_back(L"LoadResource");
  if (every_call_fails || resource == nullptr) return nullptr;
  return Open(L"loaded");
}

std::uint32_t FakeWindows::SizeofResource(Handle, Handle resource) {
  calls.push_back(L"SizeofResource");
  if (every_call_fails || resource == nullptr || !payload) return 0;
  return static_cast<std::uint32_t>(payload->size());
}

const void* FakeWindows::LockResource(Handle loaded) {
  calls.push_back(L"LockResource");
  if (every_call_fails || lock_resource_fails || loaded == nullptr || !payload) {
    return nullptr;
  }
  // An empty resource still has an address, as a real one would.
  return payload->empty() ? static_cast<const void*>(&module_marker_)
                          : payload->data();
}

Handle FakeWindows::CreateFileW(const std::wstring& path) {
  calls.push_back(L"CreateFileW " + path);
  if (every_call_fails || files_failing_to_open.count(path) != 0) return nullptr;
  return Open(path);
}

bool FakeWindows::WriteFile(Handle file, const void* bytes, std::uint32_t size,
                            std::uint32_t* written) {
  calls.push_back(L"WriteFile");
  *written = 0;
  if (every_call_fails || write_fails) return false;
  const std::uint32_t count = std::min(size, bytes_written.value_or(size));
  const auto* first = static_cast<const unsigned char*>(bytes);
  const auto found = open_handles.find(file);
  files_written.push_back(
      {found == open_handles.end() ? L"unknown" : found->second,
       std::vector<unsigned char>(first, first + count)});
  *written = count;
  return true;
}

bool FakeWindows::CloseHandle(Handle handle) {
  calls.push_back(L"CloseHandle " + Close(handle));
  return !every_call_fails;
}

long FakeWindows::RegCreateKeyExW(const std::wstring& subkey, Handle* key) {
  calls.push_back(L"RegCreateKeyExW " + subkey);
  if (every_call_fails || registry_keys_failing.count(subkey) != 0) {
    return kAccessDenied;
  }
  *key = Open(subkey);
  return kErrorSuccess;
}

long FakeWindows::RegSetValueExW(Handle key, const wchar_t* name,
                                 const std::wstring& data,
                                 std::uint32_t byte_count) {
  const auto found = open_handles.find(key);
  const std::wstring key_name =
      found == open_handles.end() ? L"unknown" : found->second;
  const std::wstring value_name = name == nullptr ? L"(default)" : name;
  calls.push_back(L"RegSetValueExW " + key_name + L" " + value_name);
  if (every_call_fails) return kAccessDenied;
  registry_values.push_back({key_name, value_name, data, byte_count});
  return kErrorSuccess;
}

long FakeWindows::RegCloseKey(Handle key) {
  calls.push_back(L"RegCloseKey " + Close(key));
  return every_call_fails ? kAccessDenied : kErrorSuccess;
}

Handle FakeWindows::WinHttpOpen(const std::wstring& agent) {
  calls.push_back(L"WinHttpOpen");
  user_agent = agent;
  if (every_call_fails || http_failing.count(L"WinHttpOpen") != 0) return nullptr;
  return Open(L"session");
}

Handle FakeWindows::WinHttpConnect(Handle, const std::wstring& server,
                                   std::uint16_t server_port) {
  calls.push_back(L"WinHttpConnect");
  host = server;
  port = server_port;
  if (every_call_fails || http_failing.count(L"WinHttpConnect") != 0) {
    return nullptr;
  }
  return Open(L"connection");
}

Handle FakeWindows::WinHttpOpenRequest(Handle, const std::wstring& request_verb,
                                       const std::wstring& path) {
  calls.push_back(L"WinHttpOpenRequest");
  verb = request_verb;
  object_path = path;
  if (every_call_fails || http_failing.count(L"WinHttpOpenRequest") != 0) {
    return nullptr;
  }
  return Open(L"request");
}

bool FakeWindows::WinHttpSendRequest(Handle) {
  calls.push_back(L"WinHttpSendRequest");
  return !every_call_fails && http_failing.count(L"WinHttpSendRequest") == 0;
}

bool FakeWindows::WinHttpReceiveResponse(Handle) {
  calls.push_back(L"WinHttpReceiveResponse");
  return !every_call_fails && http_failing.count(L"WinHttpReceiveResponse") == 0;
}

bool FakeWindows::WinHttpCloseHandle(Handle handle) {
  calls.push_back(L"WinHttpCloseHandle " + Close(handle));
  return !every_call_fails;
}

long FakeWindows::SHGetFolderPathW(PathBuffer& buffer) {
  calls.push_back(L"SHGetFolderPathW");
  if (every_call_fails || !local_app_data) return -1;
  const std::size_t fits = std::min(local_app_data->size(), buffer.size() - 1);
  std::copy_n(local_app_data->begin(), fits, buffer.begin());
  return 0;
}

int FakeWindows::SHCreateDirectoryExW(const std::wstring& path) {
  calls.push_back(L"SHCreateDirectoryExW " + path);
  if (every_call_fails) return 5;
  folders_created.push_back(path);
  return 0;
}

std::intptr_t FakeWindows::ShellExecuteW(const std::wstring& file,
                                         const wchar_t* parameters,
                                         const wchar_t* directory) {
  calls.push_back(L"ShellExecuteW " + file);
  starts.push_back({file,
                    parameters ? std::optional<std::wstring>(parameters)
                               : std::nullopt,
                    directory ? std::optional<std::wstring>(directory)
                              : std::nullopt});
  if (every_call_fails) return 2;
  const auto found = start_results.find(file);
  return found == start_results.end() ? 42 : found->second;
}

}  // namespace tevra
