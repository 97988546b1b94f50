// Tests of cFTP and its back-end against a server that misbehaves on purpose
// (tests/ftp/hostile_ftp_server.py on 127.0.0.1, started around this program by
// with_ftp_server.sh --hostile): stalls, dropped and aborted transfers, hostile listing lines,
// command injection, cancelled uploads and text-mode line ends. The same program runs
// natively (libcurl) and, for the Windows build, under Wine (WinINet); where Wine's WinINet
// reads listings differently the test says so.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "ftp/ftp_session.h"
#include "ftp/ftp_test_support.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "text/error.h"

namespace kelv {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;


// One misbehaving server per test program; each test logs in with the user name that picks
// the misbehaviour, in active or passive mode, with a no-progress limit of one second.
class HostileServerTest : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override {
    if (Env("KELV_FTP_LOG").empty()) {
      GTEST_SKIP() << "run through tests/ftp/with_ftp_server.sh --hostile";
    }
    server_ = Env("KELV_FTP_HOST") + ":" + Env("KELV_FTP_PORT");
    root_ = Env("KELV_FTP_ROOT");
    local_ = Env("KELV_FTP_LOCAL");
    for (const std::string& dir : {root_, local_}) {
      for (auto& entry : fs::directory_iterator(fs::u8path(dir))) fs::remove_all(entry.path());
    }
    WriteFileReplacing(Env("KELV_FTP_LOG"), "");
  }

  // A client logged in as user (the misbehaviour words).
  std::unique_ptr<cFTP> Login(const std::string& user) {
    auto ftp = std::make_unique<cFTP>();
    ftp->SetNoProgressLimit(1s);
    if (GetParam()) ftp->SetModePassive();
    EXPECT_TRUE(ftp->OpenConnection(server_, user, "pw")) << ftp->GetLastErrorMessage();
    return ftp;
  }

  std::string Remote(const std::string& name) const { return JoinSep(root_, name); }
  std::string Local(const std::string& name) const { return JoinSep(local_, name); }

  // The files in the local folder, by name.
  std::vector<std::string> LocalFiles() const {
    std::vector<std::string> names;
    for (auto& e : fs::directory_iterator(fs::u8path(local_))) {
      names.push_back(e.path().filename().u8string());
    }
    return names;
  }

  // The server's log, once it holds want (uploads are logged when the server notices their
  // end, which may come a moment after the client has moved on).
  std::string LogHolding(const std::string& want) const {
    std::string log;
    for (int i = 0; i < 100; ++i) {
      log = ReadFileBytes(Env("KELV_FTP_LOG")).value_or("");
      if (log.find(want) != std::string::npos) break;
      std::this_thread::sleep_for(50ms);
    }
    return log;
  }

  bool Passive() const { return GetParam(); }

  std::string server_, root_, local_;
};

// What one stalled operation left behind, gathered on its own thread.
struct StallOutcome {
  bool ok = true;
  std::string message;
  std::string keep;
  bool reconnected = false;
  std::int32_t sizeAfter = 0;
};

// Runs the operations, each on its own client logged in as its user, and gathers what they
// left. With libcurl they run at the same time, so that the seconds its low-speed check
// waits overlap. The WinINet back-end tells its sockets from others by what appears during
// its own calls, so clients working at the same time in one process would be taken for
// each other there: one at a time (its watch needs only the limit itself).
std::vector<StallOutcome> RunStalls(
    const std::function<std::unique_ptr<cFTP>(const std::string&)>& login,
    const std::vector<std::pair<std::string, std::function<bool(cFTP&, std::size_t)>>>& ops,
    const std::function<void(cFTP&, StallOutcome&, std::size_t)>& after) {
  std::vector<StallOutcome> outcomes(ops.size());
  std::vector<std::unique_ptr<cFTP>> clients;
  for (const auto& op : ops) clients.push_back(login(op.first));
  auto run = [&](std::size_t i) {
    outcomes[i].ok = ops[i].second(*clients[i], i);
    outcomes[i].message = clients[i]->GetLastErrorMessage();
    after(*clients[i], outcomes[i], i);
  };
  std::vector<std::thread> threads;
  for (std::size_t i = 0; i < ops.size(); ++i) {
    if (kWindows) {
      run(i);
    } else {
      threads.emplace_back(run, i);
    }
  }
  for (std::thread& t : threads) t.join();
  return outcomes;
}

TEST_P(HostileServerTest, StalledTransfersFailWithTheTimeoutAndKeepTheLocalFile) {
  WriteFileReplacing(Remote("data.bin"), Bytes(200000));
  // Bigger than what the socket buffers on both sides can swallow.
  WriteFileReplacing(Local("big.bin"), Bytes(16 * 1024 * 1024));
  auto keep = [&](std::size_t i) { return Local("keep" + std::to_string(i) + ".bin"); };
  const std::vector<std::pair<std::string, std::function<bool(cFTP&, std::size_t)>>> ops = {
      {"stall-retr", [&](cFTP& f, std::size_t i) { return f.SimpleFTPGetFile(keep(i), "data.bin"); }},
      {"stall-retr", [&](cFTP& f, std::size_t i) { return f.FTPDownloadFile(keep(i), "data.bin"); }},
      {"stall-stor", [&](cFTP& f, std::size_t) { return f.SimpleFTPPutFile(Local("big.bin"), "up0.bin"); }},
      {"stall-stor", [&](cFTP& f, std::size_t) {
         return f.FTPUploadFile(std::string_view(Local("big.bin")), "up1.bin");
       }},
  };
  const char* const what[] = {"whole download", "chunked download", "whole upload",
                              "chunked upload"};
  for (std::size_t i = 0; i < ops.size(); ++i) WriteFileReplacing(keep(i), "earlier");
  const std::vector<StallOutcome> outcomes = RunStalls(
      [&](const std::string& user) {
        auto ftp = Login(user);
        ftp->SetTransferBinary();
        return ftp;
      },
      ops,
      [&](cFTP& ftp, StallOutcome& o, std::size_t i) {
        o.keep = ReadFileBytes(keep(i)).value_or("<missing>");
        // Nothing is left hanging: a new login on the same client works.
        o.reconnected = ftp.OpenConnection(server_, "plain", "pw");
        o.sizeAfter = ftp.GetFTPFileSize("data.bin");
      });
  for (std::size_t i = 0; i < outcomes.size(); ++i) {
    SCOPED_TRACE(what[i]);
    const StallOutcome& o = outcomes[i];
    EXPECT_FALSE(o.ok);
    EXPECT_NE(o.message.find(" error code: 12002 "), std::string::npos) << o.message;
    EXPECT_EQ(o.keep, "earlier");
    EXPECT_TRUE(o.reconnected);
    EXPECT_EQ(o.sizeAfter, 200000);
  }
  std::vector<std::string> files = LocalFiles();
  std::sort(files.begin(), files.end());
  EXPECT_EQ(files, (std::vector<std::string>{"big.bin", "keep0.bin", "keep1.bin", "keep2.bin",
                                             "keep3.bin"}))
      << "no partial file is left beside a target";
}

TEST_P(HostileServerTest, AListingThatStallsIsAFailureNotAShortFolder) {
  // The active and passive data connections of a listing are those of the transfers above.
  // Wine's WinINet reads a listing in one call with its own 30-second wait per line, and
  // lists with LIST only: one listing there.
  if (!Passive()) GTEST_SKIP() << "checked in passive mode";
  WriteFileReplacing(Remote("a.txt"), "a");
  WriteFileReplacing(Remote("b.txt"), "b");
  std::vector<std::pair<std::string, std::function<bool(cFTP&, std::size_t)>>> ops = {
      {"stall-list", [](cFTP& f, std::size_t) { return f.GetDirectoryListing("*") != nullptr; }},
  };
  if (!UnderWine()) {
    ops.push_back({"stall-list+no-mlsd",
                   [](cFTP& f, std::size_t) { return f.GetDirectoryListing("*") != nullptr; }});
    // A file search reads the same listing: a stall is a failure (-2), not "missing" (-1).
    ops.push_back({"stall-list", [](cFTP& f, std::size_t) { return f.GetFTPFileSize("b.txt") != -2; }});
  }
  const std::vector<StallOutcome> outcomes =
      RunStalls([&](const std::string& user) { return Login(user); }, ops,
                [](cFTP&, StallOutcome&, std::size_t) {});
  for (std::size_t i = 0; i < outcomes.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_FALSE(outcomes[i].ok);
    // Linux and Windows: the timeout. Wine: the server's "426" once Wine gave up on it.
    const std::string& message = outcomes[i].message;
    EXPECT_TRUE(message.find(" error code: 12002 ") != std::string::npos ||
                message.rfind("426 ", 0) == 0)
        << message;
  }
}

TEST_P(HostileServerTest, DroppedAndAbortedDownloadsFailAndKeepTheLocalFile) {
  WriteFileReplacing(Remote("data.bin"), Bytes(200000));
  struct Case {
    const char* user;
    bool chunked;
    bool binary;
  };
  const Case cases[] = {
      {"drop-retr", false, true},  {"drop-retr", true, true},  {"abort-retr", false, true},
      {"abort-retr", true, true},  {"abort-retr", true, false}, {"abort-retr", false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.user) + (c.chunked ? " chunked" : " whole") +
                 (c.binary ? " binary" : " ascii"));
    WriteFileReplacing(Local("keep.bin"), "earlier");
    auto ftp = Login(c.user);
    if (c.binary) ftp->SetTransferBinary();
    EXPECT_FALSE(c.chunked ? ftp->FTPDownloadFile(Local("keep.bin"), "data.bin")
                           : ftp->SimpleFTPGetFile(Local("keep.bin"), "data.bin"));
    EXPECT_NE(ftp->GetLastErrorMessage(), "");
    EXPECT_EQ(ReadFileBytes(Local("keep.bin")), "earlier");
    EXPECT_EQ(LocalFiles().size(), 1u) << "no partial file is left beside the target";
  }
}

TEST_P(HostileServerTest, AnUploadCutShortIsAbortedOnTheServer) {
  WriteFileReplacing(Local("up.bin"), Bytes(2000));
  auto ftp = Login("plain");
  ftp->SetTransferBinary();
  ftp->OnFileTransferProgress([](std::int32_t& cur, std::int32_t&) {
    if (cur == 510) throw std::runtime_error("cancelled by the user");
  });
  EXPECT_THROW(ftp->FTPUploadFile(Local("up.bin"), "up.bin"), std::runtime_error);
  const std::string log = LogHolding("up.bin ");
  EXPECT_NE(log.find("ABORTED up.bin "), std::string::npos) << log;
  EXPECT_EQ(log.find("STORED up.bin "), std::string::npos) << log;
}

TEST_P(HostileServerTest, InjectedCommandsAreNeverSent) {
  WriteFileReplacing(Remote("a.txt"), "a");
  WriteFileReplacing(Remote("victim.txt"), "precious");
  WriteFileReplacing(Local("up.txt"), "up");
  const std::string evil = "a.txt\r\nDELE victim.txt";
  auto ftp = Login("plain");
  WriteFileReplacing(Env("KELV_FTP_LOG"), "");
  struct Case {
    const char* what;
    std::function<bool()> run;
  };
  const Case cases[] = {
      {"rename from", [&] { return ftp->RenameFTPFile(evil, "b.txt"); }},
      {"rename to", [&] { return ftp->RenameFTPFile("a.txt", evil); }},
      {"delete", [&] { return ftp->DeleteFTPFile(evil); }},
      {"make folder", [&] { return ftp->CreateFTPDirectory(evil); }},
      {"remove folder", [&] { return ftp->RemoveFTPDirectory(evil); }},
      {"change folder", [&] { return ftp->SetFTPDirectory(evil); }},
      {"whole upload", [&] { return ftp->SimpleFTPPutFile(Local("up.txt"), evil); }},
      {"whole download", [&] { return ftp->SimpleFTPGetFile(Local("down.txt"), evil); }},
      {"chunked upload", [&] { return ftp->FTPUploadFile(Local("up.txt"), evil); }},
      {"chunked download", [&] { return ftp->FTPDownloadFile(Local("down.txt"), evil); }},
      {"file size", [&] { return ftp->GetFTPFileSize(evil) >= 0; }},
      {"listing", [&] { return ftp->GetDirectoryListing(evil) != nullptr; }},
      {"raw command", [&] { return ftp->EjecFTPCommand("NOOP\r\nDELE victim.txt"); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_FALSE(c.run());
  }
  EXPECT_EQ(ReadFileBytes(Remote("victim.txt")), "precious");
  EXPECT_EQ(ReadFileBytes(Remote("a.txt")), "a");
  const std::string log = ReadFileBytes(Env("KELV_FTP_LOG")).value_or("");
  EXPECT_EQ(log.find("victim"), std::string::npos) << log;
  EXPECT_FALSE(PathExists(Local("down.txt")));
  // The connection is unharmed.
  EXPECT_EQ(ftp->GetFTPFileSize("victim.txt"), 8) << ftp->GetLastErrorMessage();
}

TEST_P(HostileServerTest, HostileListingLinesAreReadSafely) {
  const std::string date = ";modify=20200101000000; ";
  const std::string mlsd =
      "type=file;size=10" + date + "good.txt\r\n" +
      "type=file;size=18446744073709551617" + date + "wraps.bin\r\n" +
      "type=file;size=99999999999999999999999" + date + "huge.bin\r\n" +
      "type=file;size=5" + date + std::string("cut\0hidden.txt", 14) + "\r\n" +
      "type=file;size=5" + date + std::string(260, 'x') + "\r\n" +
      "type=file;size=5" + date + std::string(259, 'y') + "\r\n" +
      "type=file;size=6; nodate.txt\r\n" +
      "type=file;size=7" + date + "\x1b]0;pwned\x07title.txt\r\n" +
      "type=file;size=1;junk=" + std::string(100000, 'j') + "; long-line.txt\r\n" +
      "type=file;size=1" + date + "after.txt\r\n";
  const std::string list =
      "-rw-r--r-- 1 u g 10 Jan  3  2019 good.txt\r\n"
      "-rw-r--r-- 1 u g 18446744073709551617 Jan  3  2019 wraps.bin\r\n"
      "-rw-r--r-- 1 u g 5 Jan 4294967297 2019 badday.bin\r\n"
      "01-02-1999  12:05AM   99999999999999999999 doswraps.bin\r\n"
      "01-02-1999  12:05AM                 12 dosgood.bin\r\n";
  WriteFileReplacing(Remote("mlsd.txt"), mlsd);
  WriteFileReplacing(Remote("list.txt"), list);
  // A real file behind the listed size that does not fit: it must not come down as 1 byte.
  WriteFileReplacing(Remote("wraps.bin"), Bytes(100));
  struct Case {
    const char* user;
    std::vector<std::string> names;  // what the libcurl back-end must list, in order
  };
  const Case cases[] = {
      {"listing=mlsd.txt",
       {"good.txt", "cut", std::string(259, 'y'), "nodate.txt", "\x1b]0;pwned\x07title.txt",
        "after.txt"}},
      {"listing=list.txt+no-mlsd", {"good.txt", "dosgood.bin"}},
  };
  for (const Case& c : cases) {
    // Wine lists with LIST only, and reads it with its own parser.
    if (UnderWine() && std::string(c.user).find("no-mlsd") == std::string::npos) continue;
    SCOPED_TRACE(c.user);
    auto ftp = Login(c.user);
    testing::internal::CaptureStderr();
    auto dir = ftp->GetDirectoryListing("*");
    const std::string shown = testing::internal::GetCapturedStderr();
    ASSERT_TRUE(dir) << ftp->GetLastErrorMessage();
    EXPECT_EQ(shown, "") << "no message box for entries without a usable time";
    std::vector<std::string> names;
    for (const cDirItem& item : dir->NewEnum()) {
      names.push_back(item.Filename);
      EXPECT_FALSE(item.Filename.empty());
      EXPECT_LE(item.Filename.size(), 259u * 4);
      if (item.Filename == "nodate.txt") {
        EXPECT_EQ(item.LastWriteTime, 0.0);
      }
    }
    if (!UnderWine()) {
      EXPECT_EQ(names, c.names);
      EXPECT_EQ(dir->Item("good.txt").FileSize, 10);
    }
    // Whatever the listing said about its size, the file is never cut to fit it.
    ftp->SetTransferBinary();
    EXPECT_FALSE(ftp->FTPDownloadFile(Local("wraps.bin"), "wraps.bin"));
    EXPECT_FALSE(PathExists(Local("wraps.bin")));
  }
}

TEST_P(HostileServerTest, AsciiChunkedDownloadsMatchWholeFileDownloads) {
  // The server sends text with CR LF line ends, whatever the stored file has.
  WriteFileReplacing(Remote("crlf.txt"), "one\r\ntwo\r\n");
  WriteFileReplacing(Remote("lf.txt"), "one\ntwo\n");
  // libcurl on Linux turns CR LF into LF; WinINet keeps the bytes as they come.
  const std::string expected = kWindows ? "one\r\ntwo\r\n" : "one\ntwo\n";
  auto ftp = Login("plain");
  for (const char* name : {"crlf.txt", "lf.txt"}) {
    SCOPED_TRACE(name);
    ASSERT_TRUE(ftp->FTPDownloadFile(Local("chunked.txt"), name)) << ftp->GetLastErrorMessage();
    ASSERT_TRUE(ftp->SimpleFTPGetFile(Local("whole.txt"), name)) << ftp->GetLastErrorMessage();
    EXPECT_EQ(ReadFileBytes(Local("chunked.txt")), expected);
    EXPECT_EQ(ReadFileBytes(Local("whole.txt")), expected);
  }
}

INSTANTIATE_TEST_SUITE_P(Modes, HostileServerTest, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) {
                           return info.param ? "Passive" : "Active";
                         });

}  // namespace
}  // namespace kelv
