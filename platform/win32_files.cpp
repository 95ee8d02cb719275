#include <windows.h>

#include "platform/win32_api.h"

namespace tevra {

std::uint32_t Win32Files::GetModuleFileNameW(PathBuffer& buffer) {
  return ::GetModuleFileNameW(nullptr, buffer.data(),
                              static_cast<DWORD>(buffer.size()));
}

std::uint32_t Win32Files::GetFileAttributesW(const std::wstring& path) {
  return ::GetFileAttributesW(path.c_str());
}

Handle Win32Files::FindResourceW(Handle module, int id, int type) {
  return ::FindResourceW(static_cast<HMODULE>(module), MAKEINTRESOURCEW(id),
                         MAKEINTRESOURCEW(type));
}

Handle Win32Files::LoadResource(Handle module, Handle resource) {
  return ::LoadResource(static_cast<HMODULE>(module),
                        static_cast<HRSRC>(resource));
}

std::uint32_t Win32Files::SizeofResource(Handle module, Handle resource) {
  return ::SizeofResource(static_cast<HMODULE>(module),
                          static_cast<HRSRC>(resource));
}

const void* Win32Files::LockResource(Handle loaded) {
  return ::LockResource(static_cast<HGLOBAL>(loaded));
}

Handle Win32Files::CreateFileW(const std::wstring& path) {
  HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr,
                              CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  return file == INVALID_HANDLE_VALUE ? nullptr : file;
}

bool Win32Files::WriteFile(Handle file, const void* bytes, std::uint32_t size,
                           std::uint32_t* written) {
  DWORD count = 0;
  const BOOL ok = ::WriteFile(static_cast<HANDLE>(file), bytes, size, &count,
                              nullptr);
  *written = count;
  return ok != FALSE;
}

bool Win32Files::CloseHandle(Handle handle) {
  return ::CloseHandle(static_cast<HANDLE>(handle)) != FALSE;
}

}  // namespace tevra
