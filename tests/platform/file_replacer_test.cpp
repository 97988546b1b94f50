// Tests of FileReplacer and of the writers over it, against real files (all OSes). The
// full-disk, unwritable-folder and link cases use the folders that with_test_mounts.sh
// prepares, so that they run the same natively and under Wine.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/file_replacer.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/replace_test_support.h"
#include "settings/test_folder.h"
#include "text/error.h"

namespace kelv {
namespace {

namespace fs = std::filesystem;
using Names = std::set<std::string>;

// Writes bytes straight to a file, as another program would.
void WriteRaw(const std::string& path, const std::string& bytes) {
  std::ofstream(fs::u8path(path), std::ios::binary | std::ios::trunc) << bytes;
}

TEST(FileReplacer, NothingChangesBeforeCommitAndNothingIsLeftAfter) {
  TestFolder dir;
  const std::string path = dir.File("data.bin");
  WriteFileReplacing(path, "old");
  {
    FileReplacer out(path);
    out.Write("new ");
    EXPECT_EQ(NamesIn(dir.Path()).size(), 2u);  // the temporary file is made at once, beside
    out.Write("content");
    EXPECT_EQ(ReadFileBytes(path), "old");
    out.Commit();
  }
  EXPECT_EQ(ReadFileBytes(path), "new content");
  {
    FileReplacer out(path);
    out.Write("dropped without Commit");
  }
  {
    FileReplacer out(path, ReplaceOptions{10, {}});
    out.Write("short");
    EXPECT_THROW(out.Commit(), KelvError);  // fewer bytes than announced
  }
  EXPECT_EQ(ReadFileBytes(path), "new content");
  EXPECT_EQ(NamesIn(dir.Path()), Names{"data.bin"});
}

TEST(FileReplacer, WritesOfEverySizeArriveInOrder) {
  // A download's pieces: small ones that are gathered, and large ones that pass straight on,
  // across several write-back stretches.
  TestFolder dir;
  const std::string path = dir.File("pieces.bin");
  std::string expected;
  {
    FileReplacer out(path);
    const std::size_t sizes[] = {1, 16384, 255, 300000, 7, 1 << 20, 262143, 2, 3 << 20, 9};
    char next = 'a';
    for (std::size_t size : sizes) {
      const std::string piece(size, next);
      next = next == 'z' ? 'a' : static_cast<char>(next + 1);
      out.Write(piece);
      expected += piece;
    }
    out.Commit();
  }
  EXPECT_EQ(ReadFileBytes(path), expected);
}

TEST(FileReplacer, HandsTheTemporaryFileToAWriterByName) {
  TestFolder dir;
  const std::string path = dir.File("down.bin");
  WriteFileReplacing(path, "old");
  {
    FileReplacer out(path);
    const std::string temp = out.HandOver();
    EXPECT_EQ(ReadFileBytes(temp), "");  // already there, empty, before the writer comes
    WriteRaw(temp, "downloaded");
    EXPECT_THROW(out.Write("x"), KelvError);
    out.Commit();
  }
  EXPECT_EQ(ReadFileBytes(path), "downloaded");
  {
    FileReplacer out(path);
    WriteRaw(out.HandOver(), "a broken download");
  }
  EXPECT_EQ(ReadFileBytes(path), "downloaded");
  EXPECT_EQ(NamesIn(dir.Path()), Names{"down.bin"});
}

TEST(FileReplacer, RefusesWhatCannotBeReplacedAndLeavesItAlone) {
  TestFolder dir;
  const std::string source = dir.File("source.bin");
  WriteFileReplacing(source, "source");
  WriteFileReplacing(dir.File("ro.cfg"), "old");
  ASSERT_TRUE(SetReadOnly(dir.File("ro.cfg"), true));
  fs::create_directory(fs::u8path(dir.File("folder.cfg")));
  for (const std::string& path : {dir.File("ro.cfg"), dir.File("folder.cfg"),
                                  JoinSep(dir.File("no-such-folder"), "f.cfg")}) {
    SCOPED_TRACE(path);
    try {
      WriteFileReplacing(path, "new");
      ADD_FAILURE() << "replaced";
    } catch (const KelvError& e) {
      EXPECT_EQ(e.Number(), kErrFile);
      EXPECT_NE(std::string(e.what()).find(path), std::string::npos) << e.what();
    }
    EXPECT_THROW(FileReplacer{path}, KelvError);
    EXPECT_FALSE(CopyFileOverwriting(source, path));
  }
  EXPECT_EQ(ReadFileBytes(dir.File("ro.cfg")), "old");
  EXPECT_EQ(NamesIn(dir.Path()), (Names{"folder.cfg", "ro.cfg", "source.bin"}));
  EXPECT_TRUE(NamesIn(dir.File("folder.cfg")).empty());
}

TEST(FileReplacer, HardLinksStayLinked) {
  TestFolder dir;
  const std::string a = dir.File("a.cfg"), b = dir.File("b.cfg"), source = dir.File("src");
  WriteFileReplacing(a, "old");
  WriteFileReplacing(source, std::string(100000, 's'));
  std::error_code ec;
  fs::create_hard_link(fs::u8path(a), fs::u8path(b), ec);
  if (ec) GTEST_SKIP() << "this file system makes no hard links: " << ec.message();
  WriteFileReplacing(a, "new and longer");
  EXPECT_EQ(ReadFileBytes(b), "new and longer");
  {
    FileReplacer out(b);  // streamed, size unknown: copied over the old content at the end
    out.Write("via b");
    out.Commit();
  }
  EXPECT_EQ(ReadFileBytes(a), "via b");
  EXPECT_TRUE(CopyFileOverwriting(source, a));
  EXPECT_EQ(ReadFileBytes(b), std::string(100000, 's'));
  EXPECT_TRUE(fs::equivalent(fs::u8path(a), fs::u8path(b)));
  EXPECT_EQ(NamesIn(dir.Path()), (Names{"a.cfg", "b.cfg", "src"}));
}

TEST(FileReplacer, CopiesAreExact) {
  TestFolder dir;
  std::string bytes;
  for (int i = 0; i < 300000; ++i) bytes.push_back(static_cast<char>(i * 7 % 251));
  WriteFileReplacing(dir.File("installer"), bytes);
  WriteFileReplacing(dir.File("copy"), std::string(500000, 'x'));  // a longer earlier copy
  EXPECT_TRUE(CopyFileOverwriting(dir.File("installer"), dir.File("copy")));
  EXPECT_EQ(ReadFileBytes(dir.File("copy")), bytes);
  EXPECT_TRUE(CopyFileOverwriting(dir.File("installer"), dir.File("new copy")));
  EXPECT_EQ(ReadFileBytes(dir.File("new copy")), bytes);
  EXPECT_FALSE(CopyFileOverwriting(dir.File("missing"), dir.File("copy")));
  EXPECT_EQ(ReadFileBytes(dir.File("copy")), bytes);
  EXPECT_EQ(NamesIn(dir.Path()), (Names{"copy", "installer", "new copy"}));
}

TEST(FileReplacerMounted, FollowsSymbolicLinks) {
  const std::optional<std::string> links = MountedFolder("KELV_TEST_LINKS");
  if (!links) GTEST_SKIP() << kNeedsMounts;
  // link.cfg -> real.cfg: writing through the link changes real.cfg, so the link was
  // followed rather than replaced by a plain file (with_test_mounts.sh checks it is a link).
  WriteFileReplacing(JoinSep(*links, "link.cfg"), "through the link");
  EXPECT_EQ(ReadFileBytes(JoinSep(*links, "real.cfg")), "through the link");
  {
    FileReplacer out(JoinSep(*links, "link.cfg"));
    out.Write("streamed through the link");
    out.Commit();
  }
  EXPECT_EQ(ReadFileBytes(JoinSep(*links, "real.cfg")), "streamed through the link");
  EXPECT_EQ(NamesIn(*links), (Names{"link.cfg", "real.cfg"}));
}

TEST(FileReplacerMounted, UnwritableFolderIsWrittenInPlace) {
  const std::optional<std::string> locked = MountedFolder("KELV_TEST_LOCKED_FOLDER");
  if (!locked) GTEST_SKIP() << kNeedsMounts;
  const std::string path = JoinSep(*locked, "open.cfg");
  WriteFileReplacing(path, "a content longer than the one before");
  EXPECT_EQ(ReadFileBytes(path), "a content longer than the one before");
  WriteFileReplacing(path, "short");
  EXPECT_EQ(ReadFileBytes(path), "short");  // no old tail
  TestFolder dir;
  WriteFileReplacing(dir.File("installer"), std::string(70000, 'i'));
  EXPECT_TRUE(CopyFileOverwriting(dir.File("installer"), path));
  EXPECT_EQ(ReadFileBytes(path), std::string(70000, 'i'));
  // Without a known size (a download) the file is not written in place before the whole
  // content is there, and with no file to write in place nothing can be made.
  EXPECT_THROW(FileReplacer{path}, KelvError);
  EXPECT_THROW(WriteFileReplacing(JoinSep(*locked, "new.cfg"), "x"), KelvError);
  EXPECT_EQ(ReadFileBytes(path), std::string(70000, 'i'));
  EXPECT_EQ(NamesIn(*locked), Names{"open.cfg"});
}

TEST(FileReplacerMounted, FullDiskLeavesTheOldFilesWhole) {
  const std::optional<std::string> disk = MountedFolder("KELV_TEST_SMALL_DISK");
  const std::optional<std::string> locked = MountedFolder("KELV_TEST_LOCKED_FOLDER");
  if (!disk || !locked) GTEST_SKIP() << kNeedsMounts;
  const std::string target = JoinSep(*disk, "ConfBase.cfg");
  const std::string inPlace = JoinSep(*locked, "open.cfg");  // on the same small disk
  const std::string filler = JoinSep(*disk, "filler");
  const std::string old(20000, 'o'), bigger(100000, 'n');
  WriteFileReplacing(target, old);
  WriteFileReplacing(inPlace, old);
  TestFolder dir;
  WriteFileReplacing(dir.File("installer"), bigger);

  struct RemoveFiller {
    std::string path;
    ~RemoveFiller() { DeleteFileForced(path); }
  } removeFiller{filler};
  {
    std::ofstream fill(fs::u8path(filler), std::ios::binary);
    const std::string block(4096, 'f');
    while (fill.write(block.data(), block.size()).flush()) {
    }
  }
  EXPECT_THROW(WriteFileReplacing(target, bigger), KelvError);
  EXPECT_THROW(WriteFileReplacing(inPlace, bigger), KelvError);
  EXPECT_FALSE(CopyFileOverwriting(dir.File("installer"), target));
  {
    // Small writes are gathered: the full disk shows by the commit at the latest.
    FileReplacer download(target);
    EXPECT_THROW(
        {
          download.Write(bigger);
          download.Commit();
        },
        KelvError);
  }
  EXPECT_EQ(ReadFileBytes(target), old);
  EXPECT_EQ(ReadFileBytes(inPlace), old);
  const std::string lockedName = fs::u8path(*locked).filename().u8string();
  EXPECT_EQ(NamesIn(*disk), (Names{"ConfBase.cfg", "filler", lockedName}));
  EXPECT_EQ(NamesIn(*locked), Names{"open.cfg"});

  // With room again the same writes succeed: it was the disk.
  ASSERT_TRUE(DeleteFileForced(filler));
  WriteFileReplacing(inPlace, bigger);
  EXPECT_TRUE(CopyFileOverwriting(dir.File("installer"), target));
  EXPECT_EQ(ReadFileBytes(target), bigger);
  EXPECT_EQ(ReadFileBytes(inPlace), bigger);
  WriteFileReplacing(inPlace, "");
  DeleteFileForced(target);
}

}  // namespace
}  // namespace kelv
