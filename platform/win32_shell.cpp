#include <windows.h>
#include <shlobj.h>
#include <shellapi.h>

#include "platform/win32_api.h"

namespace tevra {

long Win32Shell::SHGetFolderPathW(PathBuffer& buffer) {
  return ::SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr,
                            SHGFP_TYPE_CURRENT, buffer.data());
}

int Win32Shell::SHCreateDirectoryExW(const std::wstring& path) {
  return ::SHCreateDirectoryExW(nullptr, path.c_str(), nullptr);
}

std::intptr_t Win32Shell::ShellExecuteW(const std::wstring& file,
                                        const wchar_t* parameters,
                                        const wchar_t* directory) {
  const HINSTANCE result = ::ShellExecuteW(nullptr, L"open", file.c_str(),
                                           parameters, directory, SW_SHOWNORMAL);
  return reinterpret_cast<std::intptr_t>(result);
}

}  // namespace tevra
