// Trusts a certificate authority for the current user, as a user who accepts
// it into "Trusted Root Certification Authorities" would.
// Usage: add_root_ca.exe CERTIFICATE.der
// Adds the DER certificate to the current user's Root system store, replacing
// an equal one already there. Exits 0 once it is stored; otherwise prints
// what failed and the Windows error code to stderr and exits 1.
#include <windows.h>
#include <wincrypt.h>

#include <cstdio>
#include <vector>

#include "tool_failure.h"

namespace {

// Reports the failed step with the thread's last Windows error; returns the
// exit status for a failure.
int Fail(const char* what) { return ReportFailure("add_root_ca", what, 1); }

// The whole file's bytes; false if it cannot be opened or read whole.
bool ReadWholeFile(const wchar_t* path, std::vector<BYTE>& bytes) {
  HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  LARGE_INTEGER size;
  DWORD read = 0;
  bool whole = GetFileSizeEx(file, &size) && size.QuadPart < (1 << 20);
  if (whole) {
    bytes.resize(static_cast<size_t>(size.QuadPart));
    whole = ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) &&
            read == bytes.size();
  }
  CloseHandle(file);
  return whole;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: add_root_ca CERTIFICATE.der\n");
    return 1;
  }
  std::vector<BYTE> der;
  if (!ReadWholeFile(argv[1], der)) return Fail("reading the certificate");

  HCERTSTORE root = CertOpenStore(CERT_STORE_PROV_SYSTEM_W, 0, 0,
                                  CERT_SYSTEM_STORE_CURRENT_USER, L"Root");
  if (root == nullptr) return Fail("CertOpenStore");
  const BOOL added = CertAddEncodedCertificateToStore(
      root, X509_ASN_ENCODING, der.data(), static_cast<DWORD>(der.size()),
      CERT_STORE_ADD_REPLACE_EXISTING, nullptr);
  const int result = added ? 0 : Fail("CertAddEncodedCertificateToStore");
  CertCloseStore(root, 0);
  return result;
}
