#include "installer/install_location.h"

#include <gtest/gtest.h>

#include <string>

namespace tevra {
namespace {

TEST(InstallLocation, PathsAreJoinedWithoutTestingSeparators) {
  const struct {
    std::wstring local;
    std::wstring folder;
    std::wstring executable;
  } cases[] = {
      {L"C:\\Users\\user1\\AppData\\Local",
       L"C:\\Users\\user1\\AppData\\Local\\Programs\\TevraHoldings\\TevraComms",
       L"C:\\Users\\user1\\AppData\\Local\\Programs\\TevraHoldings\\TevraComms"
       L"\\TevraComms.exe"},
      {L"", L"\\Programs\\TevraHoldings\\TevraComms",
       L"\\Programs\\TevraHoldings\\TevraComms\\TevraComms.exe"},
      {L"D:\\Data\\", L"D:\\Data\\\\Programs\\TevraHoldings\\TevraComms",
       L"D:\\Data\\\\Programs\\TevraHoldings\\TevraComms\\TevraComms.exe"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "local app data: " << c.local);
    EXPECT_EQ(MakeInstallFolderPath(c.local), c.folder);
    EXPECT_EQ(MakeInstalledExecutablePath(c.folder), c.executable);
  }
  EXPECT_EQ(MakeInstalledExecutablePath(L""), L"\\TevraComms.exe");
  EXPECT_EQ(MakeInstalledExecutablePath(L"E:\\"), L"E:\\\\TevraComms.exe");
}

TEST(InstallLocation, TheExampleExecutablePathIs77Units) {
  EXPECT_EQ(MakeInstalledExecutablePath(
                MakeInstallFolderPath(L"C:\\Users\\user1\\AppData\\Local")).size(),
            77u);
}

}  // namespace
}  // namespace tevra
