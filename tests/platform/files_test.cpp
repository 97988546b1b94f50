// Tests of the shared file services against real files in a temporary folder.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>

#include "platform/files.h"
#include "platform/paths.h"
#include "text/error.h"

namespace kelv {
namespace {

namespace fs = std::filesystem;

class FilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::random_device rd;
    dir_ = (fs::temp_directory_path() / ("kelv-files-" + std::to_string(rd()))).u8string();
    fs::create_directories(fs::u8path(dir_));
  }
  void TearDown() override {
    std::error_code ec;
    for (auto& e : fs::recursive_directory_iterator(fs::u8path(dir_), ec)) {
      fs::permissions(e.path(), fs::perms::owner_all, fs::perm_options::add, ec);
    }
    fs::remove_all(fs::u8path(dir_), ec);
  }
  std::string Path(const std::string& name) const { return JoinSep(dir_, name); }

  std::string dir_;
};

TEST_F(FilesTest, WriteThenReadGivesTheSameBytes) {
  std::string bytes("a\0b\r\n\xFF", 6);
  WriteFileReplacing(Path("x.bin"), bytes);
  EXPECT_EQ(ReadFileBytes(Path("x.bin")), bytes);
  WriteFileReplacing(Path("x.bin"), "short");  // a shorter content leaves no tail behind
  EXPECT_EQ(ReadFileBytes(Path("x.bin")), "short");
  EXPECT_EQ(FileSize(Path("x.bin")), 5u);
  // Nothing but the target is left in the folder.
  EXPECT_EQ(std::distance(fs::directory_iterator(fs::u8path(dir_)), fs::directory_iterator()), 1);
}

TEST_F(FilesTest, FailedWriteLeavesTheOldFileWhole) {
  WriteFileReplacing(Path("keep.cfg"), "old");
  ASSERT_TRUE(SetReadOnly(Path("keep.cfg"), true));
  EXPECT_THROW(WriteFileReplacing(Path("keep.cfg"), "new"), KelvError);
  EXPECT_EQ(ReadFileBytes(Path("keep.cfg")), "old");

  const std::string missing = JoinSep(Path("no-such-folder"), "f.cfg");
  try {
    WriteFileReplacing(missing, "x");
    FAIL() << "writing into a missing folder succeeded";
  } catch (const KelvError& e) {
    EXPECT_EQ(e.Number(), kErrFile);
    EXPECT_NE(std::string(e.what()).find("f.cfg"), std::string::npos) << e.what();
  }
  EXPECT_FALSE(PathExists(missing));
}

TEST_F(FilesTest, MissingFilesAreValuesNotErrors) {
  EXPECT_FALSE(ReadFileBytes(Path("absent")).has_value());
  EXPECT_FALSE(FileSize(Path("absent")).has_value());
  EXPECT_FALSE(PathExists(Path("absent")));
  EXPECT_FALSE(PathExists(""));
  EXPECT_TRUE(FolderExists(dir_));
  EXPECT_TRUE(DeleteFileForced(Path("absent")));
  EXPECT_TRUE(CreateFileIfMissing(Path("new.ini")));
  EXPECT_EQ(ReadFileBytes(Path("new.ini")), "");
  EXPECT_FALSE(CreateFileIfMissing(JoinSep(Path("no-such-folder"), "x.ini")));
}

TEST_F(FilesTest, DeleteCopyRename) {
  WriteFileReplacing(Path("ro.tmp"), "r");
  ASSERT_TRUE(SetReadOnly(Path("ro.tmp"), true));
  EXPECT_FALSE(DeleteFilePlain(Path("ro.tmp")));  // a read-only file stays
  EXPECT_TRUE(PathExists(Path("ro.tmp")));
  EXPECT_TRUE(DeleteFileForced(Path("ro.tmp")));  // unless forced
  EXPECT_FALSE(PathExists(Path("ro.tmp")));

  WriteFileReplacing(Path("a"), "A");
  WriteFileReplacing(Path("b"), "B");
  EXPECT_TRUE(CopyFileOverwriting(Path("a"), Path("b")));
  EXPECT_EQ(ReadFileBytes(Path("b")), "A");
  EXPECT_FALSE(CopyFileOverwriting(Path("a"), JoinSep(Path("no-such-folder"), "c")));
  WriteFileReplacing(Path("c"), "C");
  EXPECT_TRUE(RenameFileReplacing(Path("c"), Path("a")));
  EXPECT_EQ(ReadFileBytes(Path("a")), "C");
  EXPECT_FALSE(PathExists(Path("c")));
}

TEST(OwnExecutable, NamesAreConsistent) {
  const std::string path = ExecutablePath();
  ASSERT_FALSE(path.empty());
  EXPECT_TRUE(PathExists(path));
  EXPECT_EQ(JoinSep(ExecutableFolder(), ExecutableFileName()), path);
  EXPECT_EQ(ModuleName(), "platform_test");
#ifdef _WIN32
  EXPECT_EQ(ExecutableFileName(), "platform_test.exe");
#else
  EXPECT_EQ(ExecutableFileName(), "platform_test");
#endif
}

TEST(Environment, ReadsSetVariables) {
  EXPECT_FALSE(GetEnv("KELV_SURELY_NOT_SET_12345").has_value());
  EXPECT_TRUE(GetEnv("PATH").has_value());
}

}  // namespace
}  // namespace kelv
