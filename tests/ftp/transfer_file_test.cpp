// Tests of the local files of downloads (all OSes): LocalFileWriter follows the rules of
// every file the system replaces.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "ftp/transfer_file.h"
#include "platform/files.h"
#include "settings/test_folder.h"
#include "text/error.h"

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace kelv {
namespace {

namespace fs = std::filesystem;

std::size_t EntriesIn(const std::string& folder) {
  return static_cast<std::size_t>(std::distance(fs::directory_iterator(fs::u8path(folder)),
                                                fs::directory_iterator()));
}

TEST(LocalFileWriter, ReadOnlyTargetIsRefusedAndKept) {
  TestFolder dir;
  const std::string path = dir.File("bajada.bin");
  WriteFileReplacing(path, "old");
  ASSERT_TRUE(SetReadOnly(path, true));
  try {
    LocalFileWriter out(path);
    FAIL() << "a read-only file was opened for a download";
  } catch (const KelvError& e) {
    EXPECT_EQ(e.Number(), kErrFile);
  }
  EXPECT_EQ(ReadFileBytes(path), "old");
  EXPECT_EQ(EntriesIn(dir.Path()), 1u);
}

TEST(LocalFileWriter, TemporaryFileIsNewPlainAndRemovedOnFailure) {
  TestFolder dir;
  const std::string path = dir.File("bajada.bin");
  WriteFileReplacing(path, "old");
  {
    LocalFileWriter out(path);
    // Created at once, empty, as a plain file of its own (never through a link).
    ASSERT_EQ(EntriesIn(dir.Path()), 2u);
    for (auto& e : fs::directory_iterator(fs::u8path(dir.Path()))) {
      EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(e.path()))) << e.path();
    }
    out.Write("par", 3);
  }  // the download broke off before Commit
  EXPECT_EQ(ReadFileBytes(path), "old");
  EXPECT_EQ(EntriesIn(dir.Path()), 1u);
  {
    LocalFileWriter out(path);
    out.Write("complete", 8);
    out.Commit();
  }
  EXPECT_EQ(ReadFileBytes(path), "complete");
  EXPECT_EQ(EntriesIn(dir.Path()), 1u);
}

#ifndef _WIN32
TEST(LocalFileWriter, KeepsTheModeAndFollowsLinks) {
  TestFolder dir;
  const std::string real = dir.File("real.bin");
  WriteFileReplacing(real, "old");
  ASSERT_EQ(::chmod(real.c_str(), 0600), 0);
  ASSERT_EQ(::symlink("real.bin", dir.File("link.bin").c_str()), 0);
  {
    LocalFileWriter out(dir.File("link.bin"));
    out.Write("new", 3);
    out.Commit();
  }
  struct stat st;
  ASSERT_EQ(::lstat(dir.File("link.bin").c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  ASSERT_EQ(::stat(real.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0600u);
  EXPECT_EQ(ReadFileBytes(real), "new");
  EXPECT_EQ(EntriesIn(dir.Path()), 2u);
}
#endif

}  // namespace
}  // namespace kelv
