// Tests of cFTP and its back-end against a real FTP server (pyftpdlib on 127.0.0.1),
// started around this program by with_ftp_server.sh. The same program runs natively and,
// for the Windows build, under Wine; where Wine's WinINet differs from Windows the test
// says so.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "ftp/ftp_session.h"
#include "ftp/ftp_test_support.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/ui_yield.h"
#include "text/error.h"

namespace kelv {
namespace {

namespace fs = std::filesystem;

// A connected client per test, in active or passive mode, with the server's root and a
// local scratch folder at hand.
class FtpServerTest : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override {
    if (Env("KELV_FTP_PORT").empty()) GTEST_SKIP() << "run through tests/ftp/with_ftp_server.sh";
    server_ = Env("KELV_FTP_HOST") + ":" + Env("KELV_FTP_PORT");
    user_ = Env("KELV_FTP_USER");
    password_ = Env("KELV_FTP_PASSWORD");
    root_ = Env("KELV_FTP_ROOT");
    local_ = Env("KELV_FTP_LOCAL");
    // Each test starts from empty folders.
    for (const std::string& dir : {root_, local_}) {
      for (auto& entry : fs::directory_iterator(fs::u8path(dir))) fs::remove_all(entry.path());
    }
    ftp_ = std::make_unique<cFTP>();
    ftp_->OnErrorEnEnvio([this] { ++errorEvents_; });
    if (Passive()) ftp_->SetModePassive();
    ASSERT_TRUE(ftp_->OpenConnection(server_, user_, password_, "", ""))
        << ftp_->GetLastErrorMessage();
  }

  void TearDown() override { SetYieldHook({}); }

  bool Passive() const { return GetParam(); }
  std::string Remote(const std::string& name) const { return JoinSep(root_, name); }
  std::string Local(const std::string& name) const { return JoinSep(local_, name); }
  void PutRemote(const std::string& name, const std::string& bytes) {
    WriteFileReplacing(Remote(name), bytes);
  }
  std::string RemoteBytes(const std::string& name) const {
    return ReadFileBytes(Remote(name)).value_or("<missing>");
  }

  // Records FileTransferProgress events.
  std::vector<std::pair<std::int32_t, std::int32_t>>& RecordProgress() {
    ftp_->OnFileTransferProgress(
        [this](std::int32_t& cur, std::int32_t& total) { progress_.emplace_back(cur, total); });
    return progress_;
  }

  std::string server_, user_, password_, root_, local_;
  std::unique_ptr<cFTP> ftp_;
  int errorEvents_ = 0;
  std::vector<std::pair<std::int32_t, std::int32_t>> progress_;
};

using Events = std::vector<std::pair<std::int32_t, std::int32_t>>;

TEST_P(FtpServerTest, WholeFileTransfersInBinaryAndAscii) {
  const std::string data = Bytes(70000) + "\r\nend\r\n";
  WriteFileReplacing(Local("up.bin"), data);
  ftp_->SetTransferBinary();
  ASSERT_TRUE(ftp_->SimpleFTPPutFile(Local("up.bin"), "up.bin")) << ftp_->GetLastErrorMessage();
  EXPECT_EQ(RemoteBytes("up.bin"), data);
  // A download replaces a longer local file with exactly the remote bytes.
  WriteFileReplacing(Local("down.bin"), std::string(100000, 'x'));
  ASSERT_TRUE(ftp_->SimpleFTPGetFile(Local("down.bin"), "up.bin")) << ftp_->GetLastErrorMessage();
  EXPECT_EQ(ReadFileBytes(Local("down.bin")), data);

  // ASCII: the server sends CR LF line ends on the wire; binary sends the bytes as stored.
  PutRemote("lines.txt", "one\ntwo\n");
  ASSERT_TRUE(ftp_->SimpleFTPGetFile(Local("bin.txt"), "lines.txt"));
  EXPECT_EQ(ReadFileBytes(Local("bin.txt")), "one\ntwo\n");
  ftp_->SetTransferASCII();
  ASSERT_TRUE(ftp_->SimpleFTPGetFile(Local("ascii.txt"), "lines.txt"));
  EXPECT_EQ(ReadFileBytes(Local("ascii.txt")), kWindows ? "one\r\ntwo\r\n" : "one\ntwo\n");
  WriteFileReplacing(Local("up.txt"), "three\r\n");
  ASSERT_TRUE(ftp_->SimpleFTPPutFile(Local("up.txt"), "up.txt")) << ftp_->GetLastErrorMessage();
  EXPECT_NE(RemoteBytes("up.txt").find("three"), std::string::npos);
  EXPECT_EQ(errorEvents_, 0);
}

TEST_P(FtpServerTest, WholeFileFailuresKeepTheLocalFile) {
  WriteFileReplacing(Local("keep.txt"), "precious");
  EXPECT_FALSE(ftp_->SimpleFTPGetFile(Local("keep.txt"), "missing.txt"));
  EXPECT_EQ(ReadFileBytes(Local("keep.txt")), "precious");
  EXPECT_EQ(ftp_->GetLastErrorMessage().substr(0, 4), "550 ") << ftp_->GetLastErrorMessage();
  EXPECT_EQ(errorEvents_, 1);
  EXPECT_EQ(fs::directory_iterator(fs::u8path(local_)) == fs::directory_iterator(), false);
  int files = 0;
  for (auto& e : fs::directory_iterator(fs::u8path(local_))) files += e.is_regular_file();
  EXPECT_EQ(files, 1) << "no temporary file is left behind";

  EXPECT_FALSE(ftp_->SimpleFTPPutFile(Local("nothing-here.bin"), "x.bin"));
  EXPECT_NE(ftp_->GetLastErrorMessage().find("SimpleFtpPutFile error code: "), std::string::npos)
      << ftp_->GetLastErrorMessage();
  EXPECT_FALSE(PathExists(Remote("x.bin")));
}

TEST_P(FtpServerTest, ChunkedUploadRaisesProgressPerChunk) {
  struct Case { std::size_t size; Events events; int yields; };
  const Case cases[] = {
      {600, {{255, 600}, {510, 600}, {600, 600}}, 4},
      {510, {{255, 510}, {510, 510}, {510, 510}}, 4},
      {100, {{100, 100}}, 0},
  };
  ftp_->SetTransferBinary();
  auto& events = RecordProgress();
  int yields = 0;
  SetYieldHook([&] { ++yields; });
  for (const Case& c : cases) {
    SCOPED_TRACE(c.size);
    events.clear();
    yields = 0;
    const std::string data = Bytes(c.size);
    WriteFileReplacing(Local("chunk.bin"), data);
    std::string local = "  " + Local("chunk.bin") + " ";
    std::string remote = " chunk.bin ";
    ASSERT_TRUE(ftp_->FTPUploadFile(local, remote)) << ftp_->GetLastErrorMessage();
    EXPECT_EQ(local, Local("chunk.bin"));  // the caller's texts come back trimmed
    EXPECT_EQ(remote, "chunk.bin");
    EXPECT_EQ(events, c.events);
    EXPECT_EQ(yields, c.yields);
    EXPECT_EQ(RemoteBytes("chunk.bin"), data);
  }
  // The connection is free for the next operation after a chunked transfer.
  EXPECT_EQ(ftp_->GetFTPFileSize("chunk.bin"), 100);
  EXPECT_FALSE(ftp_->FTPUploadFile(std::string_view("  "), std::string_view("x")));
  EXPECT_EQ(ftp_->GetLastErrorMessage(), "");
}

TEST_P(FtpServerTest, ChunkedDownloadRaisesProgressAndWritesExactBytes) {
  ftp_->SetTransferBinary();
  const std::string data = Bytes(600);
  PutRemote("d600.bin", data);
  PutRemote("empty.bin", "");
  auto& events = RecordProgress();
  WriteFileReplacing(Local("d.bin"), std::string(2000, 'z'));
  ASSERT_TRUE(ftp_->FTPDownloadFile(Local("d.bin"), "d600.bin")) << ftp_->GetLastErrorMessage();
  EXPECT_EQ(events, (Events{{255, 600}, {510, 600}, {600, 600}}));
  EXPECT_EQ(ReadFileBytes(Local("d.bin")), data);

  // A bigger file crosses the back-end's buffers.
  const std::string big = Bytes(3 * 1024 * 1024 + 17);
  PutRemote("big.bin", big);
  events.clear();
  ASSERT_TRUE(ftp_->FTPDownloadFile(Local("big.bin"), "big.bin")) << ftp_->GetLastErrorMessage();
  EXPECT_EQ(ReadFileBytes(Local("big.bin")), big);
  EXPECT_EQ(events.back(), std::make_pair(std::int32_t(big.size()), std::int32_t(big.size())));

  // Empty and missing remote files: false, no local file, no message.
  events.clear();
  EXPECT_FALSE(ftp_->FTPDownloadFile(Local("e.bin"), "empty.bin"));
  EXPECT_FALSE(ftp_->FTPDownloadFile(Local("d.bin"), "missing.bin"));
  EXPECT_FALSE(PathExists(Local("e.bin")));
  EXPECT_EQ(ReadFileBytes(Local("d.bin")), data);
  EXPECT_TRUE(events.empty());
  EXPECT_EQ(ftp_->GetLastErrorMessage(), "");
  EXPECT_EQ(errorEvents_, 0);
}

TEST_P(FtpServerTest, ChunkedUploadOfAMissingLocalFileLeavesTheRemoteFileAlone) {
  PutRemote("keep.bin", "remote data");
  EXPECT_THROW(ftp_->FTPUploadFile(Local("absent.bin"), "keep.bin"), KelvError);
  EXPECT_EQ(RemoteBytes("keep.bin"), "remote data");
  EXPECT_EQ(ftp_->GetFTPFileSize("keep.bin"), 11);
}

TEST_P(FtpServerTest, HandlerFailureEndsTheTransferAndFreesTheConnection) {
  ftp_->SetTransferBinary();
  PutRemote("src.bin", Bytes(2000));
  ftp_->OnFileTransferProgress([](std::int32_t& cur, std::int32_t&) {
    if (cur == 510) throw std::runtime_error("stop");
  });
  EXPECT_THROW(ftp_->FTPDownloadFile(Local("x.bin"), "src.bin"), std::runtime_error);
  EXPECT_FALSE(PathExists(Local("x.bin")));
  WriteFileReplacing(Local("u.bin"), Bytes(2000));
  EXPECT_THROW(ftp_->FTPUploadFile(Local("u.bin"), "u.bin"), std::runtime_error);
  EXPECT_EQ(ftp_->GetFTPFileSize("src.bin"), 2000) << ftp_->GetLastErrorMessage();
}

TEST_P(FtpServerTest, RenameDeleteAndServerReplies) {
  PutRemote("a.txt", "A");
  ASSERT_TRUE(ftp_->RenameFTPFile("a.txt", "b.txt")) << ftp_->GetLastErrorMessage();
  EXPECT_FALSE(PathExists(Remote("a.txt")));
  EXPECT_EQ(RemoteBytes("b.txt"), "A");
  ASSERT_TRUE(ftp_->DeleteFTPFile("b.txt")) << ftp_->GetLastErrorMessage();
  EXPECT_FALSE(PathExists(Remote("b.txt")));
  EXPECT_EQ(errorEvents_, 0);

  // A refused command leaves the server's reply (12003) as the message and raises the event.
  EXPECT_FALSE(ftp_->DeleteFTPFile("b.txt"));
  const std::string reply = ftp_->GetLastErrorMessage();
  EXPECT_EQ(reply.substr(0, 4), "550 ") << reply;
  EXPECT_EQ(reply.find("error code"), std::string::npos) << reply;
  EXPECT_EQ(errorEvents_, 1);
  EXPECT_FALSE(ftp_->RenameFTPFile("none.txt", "x.txt"));
  EXPECT_EQ(ftp_->GetLastErrorMessage().substr(0, 4), "550 ");
  EXPECT_EQ(errorEvents_, 2);

  // With DarMsgErr off the message is still kept, but no event is raised.
  ftp_->DarMsgErr(false);
  EXPECT_FALSE(ftp_->DarMsgErr());
  EXPECT_FALSE(ftp_->RemoveFTPDirectory("nofolder"));
  EXPECT_EQ(ftp_->GetLastErrorMessage().substr(0, 4), "550 ");
  EXPECT_EQ(errorEvents_, 2);
}

TEST_P(FtpServerTest, FoldersAndCurrentFolder) {
  EXPECT_EQ(ftp_->GetFTPDirectory(), "/");
  ASSERT_TRUE(ftp_->CreateFTPDirectory("sub")) << ftp_->GetLastErrorMessage();
  EXPECT_TRUE(FolderExists(Remote("sub")));
  ASSERT_TRUE(ftp_->SetFTPDirectory("sub")) << ftp_->GetLastErrorMessage();
  EXPECT_EQ(ftp_->GetFTPDirectory(), "/sub");
  // Names are taken relative to the current folder, by every kind of operation.
  WriteFileReplacing(Local("f.txt"), "in sub");
  ASSERT_TRUE(ftp_->SimpleFTPPutFile(Local("f.txt"), "f.txt"));
  EXPECT_EQ(RemoteBytes("sub/f.txt"), "in sub");
  EXPECT_EQ(ftp_->GetFTPFileSize("f.txt"), 6);
  ASSERT_TRUE(ftp_->CreateFTPDirectory("deeper"));
  EXPECT_TRUE(FolderExists(Remote("sub/deeper")));
  ASSERT_TRUE(ftp_->SetFTPDirectory(".."));
  EXPECT_EQ(ftp_->GetFTPDirectory(), "/");
  EXPECT_EQ(ftp_->GetFTPFileSize("sub/f.txt"), 6);
  EXPECT_FALSE(ftp_->RemoveFTPDirectory("sub"));  // not empty
  ASSERT_TRUE(ftp_->RemoveFTPDirectory("sub/deeper")) << ftp_->GetLastErrorMessage();
  EXPECT_FALSE(FolderExists(Remote("sub/deeper")));

  EXPECT_FALSE(ftp_->SetFTPDirectory("nowhere"));
  EXPECT_EQ(ftp_->GetLastErrorMessage().substr(0, 4), "550 ");
  EXPECT_EQ(ftp_->GetFTPDirectory(), "/");
}

TEST_P(FtpServerTest, FileSizes) {
  PutRemote("six.bin", "123456");
  EXPECT_EQ(ftp_->GetFTPFileSize("six.bin"), 6);
  // A missing name gives -1 and leaves the last message as it was.
  EXPECT_FALSE(ftp_->DeleteFTPFile("nothing"));
  const std::string before = ftp_->GetLastErrorMessage();
  const int events = errorEvents_;
  EXPECT_EQ(ftp_->GetFTPFileSize("nothing.bin"), -1);
  EXPECT_EQ(ftp_->GetLastErrorMessage(), before);
  EXPECT_EQ(errorEvents_, events);
  if (UnderWine()) GTEST_SKIP() << "Wine's WinINet cuts listed names at blanks";
  PutRemote("a b.txt", "blank");
  EXPECT_EQ(ftp_->GetFTPFileSize("a b.txt"), 5);
  // The blank is searched as "?", so another character in its place matches too.
  fs::remove(fs::u8path(Remote("a b.txt")));
  PutRemote("aXb.txt", "other");
  EXPECT_EQ(ftp_->GetFTPFileSize("a b.txt"), 5);
}

TEST_P(FtpServerTest, SizesOfTwoGibibytesAreRefused) {
  if (UnderWine()) GTEST_SKIP() << "Wine's WinINet caps listed sizes at 2^31 - 1";
  {
    std::ofstream(fs::u8path(Remote("huge.bin")), std::ios::binary).put('x');
  }
  std::error_code ec;
  fs::resize_file(fs::u8path(Remote("huge.bin")), 0x80000000ULL, ec);
  if (ec) GTEST_SKIP() << "cannot make a sparse 2 GiB file here: " << ec.message();
  EXPECT_EQ(ftp_->GetFTPFileSize("huge.bin"), -2);
  EXPECT_NE(ftp_->GetLastErrorMessage().find("error code: 223"), std::string::npos)
      << ftp_->GetLastErrorMessage();
  EXPECT_FALSE(ftp_->FTPDownloadFile(Local("huge.bin"), "huge.bin"));
  EXPECT_FALSE(PathExists(Local("huge.bin")));
}

TEST_P(FtpServerTest, ListingAttributesNamesAndCase) {
  ASSERT_TRUE(ftp_->CreateFTPDirectory("folder"));
  // Wine's WinINet cuts listed names at blanks; Windows and Linux keep them whole.
  const std::string blankName = UnderWine() ? "without_blank.txt" : "with blank.txt";
  PutRemote(blankName, "12345");
  PutRemote("plain.bin", Bytes(300));
  auto list = ftp_->GetDirectoryListing("*");
  ASSERT_TRUE(list) << ftp_->GetLastErrorMessage();
  EXPECT_EQ(list, ftp_->Directory());
  EXPECT_EQ(list->Count(), 3);
  const cDirItem& folder = list->Item("FOLDER");
  EXPECT_TRUE(folder.Directory);
  EXPECT_FALSE(folder.Normal || folder.ReadOnly || folder.Hidden || folder.System);
  const cDirItem& blank = list->Item(blankName);
  EXPECT_EQ(blank.Filename, blankName);
  EXPECT_EQ(blank.FileSize, 5);
  EXPECT_FALSE(blank.Directory);
  EXPECT_EQ(list->Item("plain.bin").FileSize, 300);
  // Written just now: the last-write date is today (within a day, whatever the zone).
  const double now = static_cast<double>(std::time(nullptr)) / 86400.0 + 25569.0;
  EXPECT_NEAR(blank.LastWriteTime, now, 1.0);
  std::vector<std::string> names;
  for (const cDirItem& item : list->NewEnum()) names.push_back(item.Filename);
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"folder", "plain.bin", blankName}));

  // A mask picks entries; a mask that matches nothing gives no list and no message.
  list = ftp_->GetDirectoryListing("*.txt");
  ASSERT_TRUE(list);
  EXPECT_EQ(list->Count(), 1);
  EXPECT_EQ(ftp_->GetDirectoryListing("*.none"), nullptr);
  EXPECT_EQ(ftp_->GetLastErrorMessage(), "");
  EXPECT_EQ(ftp_->Directory()->Count(), 0);
  EXPECT_EQ(errorEvents_, 0);

  // Two names that differ only in letter case cannot both be keys.
  // Uploaded through the server: under Wine the test's own file access ignores letter case.
  WriteFileReplacing(Local("one.txt"), "1");
  ASSERT_TRUE(ftp_->SimpleFTPPutFile(Local("one.txt"), "a.txt"));
  ASSERT_TRUE(ftp_->SimpleFTPPutFile(Local("one.txt"), "A.txt"));
  try {
    auto got = ftp_->GetDirectoryListing("*");
    std::string listed;
    if (got) {
      for (const cDirItem& item : got->NewEnum()) listed += item.Filename + " ";
    }
    ADD_FAILURE() << "a duplicate key error was expected; listed: " << listed;
  } catch (const KelvError& e) {
    EXPECT_EQ(e.Number(), kErrDuplicateKey);
  }
  // The search was closed: the connection goes on working.
  EXPECT_EQ(ftp_->GetFTPFileSize("plain.bin"), 300) << ftp_->GetLastErrorMessage();
}

TEST_P(FtpServerTest, ListingOfAMissingFolderIsRecorded) {
  EXPECT_EQ(ftp_->GetDirectoryListing("nowhere/*"), nullptr);
  // The server's refusal (a 5xx reply) is the message.
  EXPECT_EQ(ftp_->GetLastErrorMessage().substr(0, 1), "5") << ftp_->GetLastErrorMessage();
  EXPECT_EQ(ftp_->GetLastErrorMessage().find("error code"), std::string::npos);
  EXPECT_EQ(errorEvents_, 1);
}

TEST_P(FtpServerTest, RawCommands) {
  EXPECT_TRUE(ftp_->EjecFTPCommand("NOOP"));
  EXPECT_TRUE(ftp_->EjecFTPCommand("MKD rawdir"));
  EXPECT_TRUE(FolderExists(Remote("rawdir")));
  // A refused command is not recorded.
  EXPECT_FALSE(ftp_->EjecFTPCommand("XYZZY"));
  EXPECT_EQ(ftp_->GetLastErrorMessage(), "");
  EXPECT_EQ(errorEvents_, 0);
}

TEST_P(FtpServerTest, LoginAndConnectionFailures) {
  cFTP other;
  int events = 0;
  other.OnErrorEnEnvio([&] { ++events; });
  EXPECT_FALSE(other.OpenConnection(server_, user_, "wrong password"));
  // Wine's WinINet reports a refused login as 12015 (login failure) where Windows says
  // 12014 (incorrect password).
  const std::string refused = UnderWine() ? "12015" : "12014";
  EXPECT_EQ(other.GetLastErrorMessage().rfind("InternetConnect error code: " + refused +
                                                  " Message: ", 0), 0u)
      << other.GetLastErrorMessage();
  EXPECT_EQ(events, 1);
  // Without a connection every operation fails and says so.
  EXPECT_FALSE(other.DeleteFTPFile("x"));
  EXPECT_EQ(other.GetLastErrorMessage().rfind("DeleteFTPFile error code: ", 0), 0u)
      << other.GetLastErrorMessage();

  // A port where nothing listens (the server's own port, once it is closed, is unknown, so
  // port 1 on loopback stands for it).
  EXPECT_FALSE(other.OpenConnection("127.0.0.1:1", user_, password_));
  EXPECT_EQ(other.GetLastErrorMessage().rfind("InternetConnect error code: 12029 Message: ", 0), 0u)
      << other.GetLastErrorMessage();

  // A second OpenConnection replaces the first.
  EXPECT_TRUE(ftp_->OpenConnection(server_, user_, password_));
  PutRemote("r.txt", "r");
  EXPECT_EQ(ftp_->GetFTPFileSize("r.txt"), 1);
}

INSTANTIATE_TEST_SUITE_P(Modes, FtpServerTest, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) {
                           return info.param ? "Passive" : "Active";
                         });

}  // namespace
}  // namespace kelv
