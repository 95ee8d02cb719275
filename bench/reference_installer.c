/* What a silent install must do at the least, for bench/run to time the
   installer against: the launcher's bytes, carried as the installer carries
   them (RCDATA resource TEVRA_PAYLOAD_RESOURCE_ID), written with one
   WriteFile to the same file in the same folder, created the same way. No
   uninstall entry. Exits 0 once the file is written whole, 1 otherwise. */
#include <windows.h>
#include <shlobj.h>

#include <wchar.h>

#include "installer/payload_resource.h"
#include "resources/product.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE previous, LPWSTR command_line, int show) {
  (void)previous, (void)command_line, (void)show;
  wchar_t path[MAX_PATH + 64];
  if (FAILED(SHGetFolderPathW(NULL, CSIDL_LOCAL_APPDATA, NULL, SHGFP_TYPE_CURRENT, path))) {
    return 1;
  }
  wcscat(path, L"\\Programs\\" TEVRA_VENDOR_FOLDER "\\" TEVRA_PRODUCT_FOLDER);
  SHCreateDirectoryExW(NULL, path, NULL);
  wcscat(path, L"\\" TEVRA_EXECUTABLE_NAME);

  HRSRC resource = FindResourceW(instance, MAKEINTRESOURCEW(TEVRA_PAYLOAD_RESOURCE_ID),
                                 MAKEINTRESOURCEW(10) /* RT_RCDATA */);
  const DWORD size = resource ? SizeofResource(instance, resource) : 0;
  const void* bytes = size ? LockResource(LoadResource(instance, resource)) : NULL;
  if (bytes == NULL) return 1;

  HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                            NULL);
  if (file == INVALID_HANDLE_VALUE) return 1;
  DWORD written = 0;
  const BOOL ok = WriteFile(file, bytes, size, &written, NULL);
  CloseHandle(file);
  return ok && written == size ? 0 : 1;
}
