// Tests of FileReplacer's POSIX rules (Linux): permission bits, owners, symbolic links, and
// an unprivileged user (nobody) in folders it may or may not write. The owner and nobody cases
// need root to hand files to another user and to become nobody.
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

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

struct stat Stat(const std::string& path) {
  struct stat st = {};
  EXPECT_EQ(::lstat(path.c_str(), &st), 0) << path;
  return st;
}

unsigned Mode(const std::string& path) { return Stat(path).st_mode & 07777; }

constexpr const char* kNeedsRoot =
    "needs root: only root can hand a file to another user and become the user nobody";

// Runs check as the user nobody in a child process; true when it returned true there.
bool AsNobody(const std::function<bool()>& check) {
  const struct passwd* nobody = ::getpwnam("nobody");
  if (!nobody) return false;
  const uid_t uid = nobody->pw_uid;
  const gid_t gid = nobody->pw_gid;
  const pid_t pid = ::fork();
  if (pid == 0) {
    bool ok = ::setgroups(0, nullptr) == 0 && ::setgid(gid) == 0 && ::setuid(uid) == 0;
    try {
      ok = ok && check();
    } catch (const std::exception& e) {
      std::fprintf(stderr, "as nobody: %s\n", e.what());
      ok = false;
    }
    ::_exit(ok ? 0 : 1);
  }
  int status = 0;
  return pid > 0 && ::waitpid(pid, &status, 0) == pid && WIFEXITED(status) &&
         WEXITSTATUS(status) == 0;
}

TEST(FileReplacerPosix, KeepsPermissionBits) {
  TestFolder dir;
  const mode_t mask = ::umask(0);
  ::umask(mask);
  for (unsigned mode : {0600u, 0640u, 0755u, 0604u}) {
    SCOPED_TRACE(mode);
    const std::string path = dir.File("ConfBase.cfg");
    WriteFileReplacing(path, "old");
    ASSERT_EQ(::chmod(path.c_str(), mode), 0);
    WriteFileReplacing(path, "new");
    EXPECT_EQ(Mode(path), mode);
    {
      FileReplacer download(path);
      download.Write("downloaded");
      download.Commit();
    }
    EXPECT_EQ(Mode(path), mode);
    EXPECT_EQ(ReadFileBytes(path), "downloaded");
    DeleteFileForced(path);
  }
  // A new file gets the usual permissions; a new copy those of its source, writable.
  WriteFileReplacing(dir.File("new.cfg"), "x");
  EXPECT_EQ(Mode(dir.File("new.cfg")), 0666u & ~mask);
  ASSERT_EQ(::chmod(dir.File("new.cfg").c_str(), 0555), 0);
  EXPECT_TRUE(CopyFileOverwriting(dir.File("new.cfg"), dir.File("copy")));
  EXPECT_EQ(Mode(dir.File("copy")), 0755u & ~mask);
  ASSERT_EQ(::chmod(dir.File("copy").c_str(), 0700), 0);
  EXPECT_TRUE(CopyFileOverwriting(dir.File("new.cfg"), dir.File("copy")));
  EXPECT_EQ(Mode(dir.File("copy")), 0700u);  // an existing copy keeps its own
}

TEST(FileReplacerPosix, FollowsSymbolicLinks) {
  TestFolder dir;
  fs::create_directory(dir.File("real"));
  const std::string real = JoinSep(dir.File("real"), "ConfBase.cfg");
  WriteFileReplacing(real, "old");
  ASSERT_EQ(::chmod(real.c_str(), 0600), 0);
  ASSERT_EQ(::symlink("real/ConfBase.cfg", dir.File("relative").c_str()), 0);
  ASSERT_EQ(::symlink(real.c_str(), dir.File("absolute").c_str()), 0);
  ASSERT_EQ(::symlink("relative", dir.File("chain").c_str()), 0);
  for (const char* name : {"relative", "absolute", "chain"}) {
    SCOPED_TRACE(name);
    const std::string link = dir.File(name);
    const std::string pointsTo = fs::read_symlink(link).string();
    WriteFileReplacing(link, std::string("via ") + name);
    EXPECT_TRUE(S_ISLNK(Stat(link).st_mode));
    EXPECT_EQ(fs::read_symlink(link).string(), pointsTo);
    EXPECT_EQ(ReadFileBytes(real), std::string("via ") + name);
    EXPECT_EQ(Mode(real), 0600u);
  }
  // A dangling link: the file it names is created, and the link stays.
  ASSERT_EQ(::symlink("real/later.cfg", dir.File("dangling").c_str()), 0);
  WriteFileReplacing(dir.File("dangling"), "made");
  EXPECT_TRUE(S_ISLNK(Stat(dir.File("dangling")).st_mode));
  EXPECT_EQ(ReadFileBytes(JoinSep(dir.File("real"), "later.cfg")), "made");
  // A loop of links cannot be written and is left as it is.
  ASSERT_EQ(::symlink("loop2", dir.File("loop1").c_str()), 0);
  ASSERT_EQ(::symlink("loop1", dir.File("loop2").c_str()), 0);
  EXPECT_THROW(WriteFileReplacing(dir.File("loop1"), "x"), KelvError);
  EXPECT_TRUE(S_ISLNK(Stat(dir.File("loop1")).st_mode));
  EXPECT_EQ(NamesIn(dir.Path()),
            (Names{"absolute", "chain", "dangling", "loop1", "loop2", "real", "relative"}));
  EXPECT_EQ(NamesIn(dir.File("real")), (Names{"ConfBase.cfg", "later.cfg"}));
}

TEST(FileReplacerPosix, RootKeepsTheOwner) {
  if (::geteuid() != 0) GTEST_SKIP() << kNeedsRoot;
  TestFolder dir;
  const std::string path = dir.File("ConfBase.cfg");
  WriteFileReplacing(path, "old");
  ASSERT_EQ(::chown(path.c_str(), 65534, 65534), 0);
  ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
  WriteFileReplacing(path, "new");
  EXPECT_EQ(Stat(path).st_uid, 65534u);
  EXPECT_EQ(Stat(path).st_gid, 65534u);
  EXPECT_EQ(Mode(path), 0640u);
  // A read-only file is refused, even to root, who could write it.
  ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
  EXPECT_THROW(WriteFileReplacing(path, "newer"), KelvError);
  EXPECT_EQ(ReadFileBytes(path), "new");
}

TEST(FileReplacerPosix, AnUnprivilegedUser) {
  if (::geteuid() != 0) GTEST_SKIP() << kNeedsRoot;
  TestFolder dir;
  ASSERT_EQ(::chmod(dir.Path().c_str(), 0755), 0);
  // A folder nobody may not write, holding a file nobody may write.
  const std::string locked = dir.File("locked");
  fs::create_directory(locked);
  ASSERT_EQ(::chmod(locked.c_str(), 0755), 0);
  const std::string own = JoinSep(locked, "ConfBase.cfg");
  const std::string foreignRo = JoinSep(locked, "ajeno.cfg");
  WriteFileReplacing(own, "old");
  WriteFileReplacing(foreignRo, "old");
  ASSERT_EQ(::chown(own.c_str(), 65534, 65534), 0);
  ASSERT_EQ(::chmod(own.c_str(), 0600), 0);
  ASSERT_EQ(::chmod(foreignRo.c_str(), 0644), 0);  // root's, and not writable by nobody
  // A folder everyone may write, holding a file of root's that everyone may write.
  const std::string shared = dir.File("shared");
  fs::create_directory(shared);
  ASSERT_EQ(::chmod(shared.c_str(), 0777), 0);
  const std::string foreign = JoinSep(shared, "comun.cfg");
  WriteFileReplacing(foreign, "old");
  ASSERT_EQ(::chmod(foreign.c_str(), 0666), 0);
  const ino_t ownInode = Stat(own).st_ino, foreignInode = Stat(foreign).st_ino;

  EXPECT_TRUE(AsNobody([&] {
    WriteFileReplacing(own, "rewritten in place");
    bool refused = false;
    try {
      WriteFileReplacing(foreignRo, "x");
    } catch (const KelvError&) {
      refused = true;
    }
    bool noDownload = false;
    try {
      FileReplacer download(own);  // no temporary file can be made and the size is unknown
    } catch (const KelvError&) {
      noDownload = true;
    }
    WriteFileReplacing(foreign, "copied in, owner kept");
    return refused && noDownload;
  }));
  EXPECT_EQ(ReadFileBytes(own), "rewritten in place");
  EXPECT_EQ(Stat(own).st_ino, ownInode);
  EXPECT_EQ(Mode(own), 0600u);
  EXPECT_EQ(ReadFileBytes(foreignRo), "old");
  EXPECT_EQ(ReadFileBytes(foreign), "copied in, owner kept");
  EXPECT_EQ(Stat(foreign).st_uid, 0u);
  EXPECT_EQ(Stat(foreign).st_ino, foreignInode);
  EXPECT_EQ(NamesIn(locked), (Names{"ConfBase.cfg", "ajeno.cfg"}));
  EXPECT_EQ(NamesIn(shared), Names{"comun.cfg"});
}

}  // namespace
}  // namespace kelv
