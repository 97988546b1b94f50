// Tests of FileReplacer's Windows rules (run under Wine here): the replaced file keeps its
// attributes, and its creation time where the file system stores one.
#include <windows.h>

#include <gtest/gtest.h>

#include "platform/files.h"
#include "platform/replace_test_support.h"
#include "platform/wide_text.h"
#include "settings/test_folder.h"

namespace kelv {
namespace {

std::uint64_t CreationTime(const std::wstring& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return 0;
  return (static_cast<std::uint64_t>(data.ftCreationTime.dwHighDateTime) << 32) |
         data.ftCreationTime.dwLowDateTime;
}

TEST(FileReplacerWin32, KeepsAttributesAndCreationTime) {
  TestFolder dir;
  const std::string path = dir.File("ConfBase.cfg");
  const std::wstring wide = Utf8ToWide(path);
  WriteFileReplacing(path, "old");
  ASSERT_TRUE(SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE));
  // 1 January 2001: whether the file system keeps it decides what can be checked below.
  FILETIME created;
  created.dwHighDateTime = 0x01C07385;
  created.dwLowDateTime = 0xC89DC000;
  HANDLE h = CreateFileW(wide.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr,
                         OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  SetFileTime(h, &created, nullptr, nullptr);
  CloseHandle(h);
  const std::uint64_t before = CreationTime(wide);
  const bool storesCreationTime = before == 0x01C07385C89DC000ULL;

  WriteFileReplacing(path, "new");
  EXPECT_EQ(ReadFileBytes(path), "new");
  EXPECT_EQ(GetFileAttributesW(wide.c_str()) & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY),
            static_cast<DWORD>(FILE_ATTRIBUTE_HIDDEN));
  if (storesCreationTime) {
    EXPECT_EQ(CreationTime(wide), before);
  }
  EXPECT_EQ(NamesIn(dir.Path()), std::set<std::string>{"ConfBase.cfg"});
}

}  // namespace
}  // namespace kelv
