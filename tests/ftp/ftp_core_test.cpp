// Tests of the FTP client's pure logic on every host: listing parsers, search masks, server
// addresses, file-time arithmetic, cDirList, and cFTP over an in-memory back-end (chunk
// arithmetic, failure records, events, listing rules).
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <random>
#include <stdexcept>
#include <thread>

#include "ftp/dir_list.h"
#include "ftp/file_time.h"
#include "ftp/ftp_backend.h"
#include "ftp/ftp_session.h"
#include "ftp/listing_parser.h"
#include "ftp/server_address.h"
#include "ftp/stall_watch.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/ui_yield.h"
#include "text/error.h"

namespace kelv {
namespace {

// 9 Dec 2026 23:00 UTC, the "now" of the listing tests.
const std::uint64_t kNow = CivilToFileTime(2026, 12, 9, 23, 0, 0);

// The zone the test runs in, in hours east of UTC: the test registrations set TZ and, beside
// it, KELV_TEST_UTC_OFFSET (0 when absent). Zones without summer time keep this exact.
double ZoneHours() {
  const auto v = GetEnv("KELV_TEST_UTC_OFFSET");
  return v ? std::stod(*v) : 0.0;
}

TEST(ListingParser, UnixMlsdAndDosLines) {
  struct Case {
    const char* line;
    bool mlsd;
    const char* name;  // nullptr: not an entry
    std::uint32_t attributes;
    std::uint64_t size;
    std::uint64_t writeTime;
  };
  const Case cases[] = {
      {"-rw-r--r--   1 root     root          600 Dec 09 23:38 a.txt", false, "a.txt",
       kAttrNormal, 600, CivilToFileTime(2026, 12, 9, 23, 38, 0)},
      {"-rw-r--r--   1 root root 5 Jan  3  2019 with  two blanks.txt", false,
       "with  two blanks.txt", kAttrNormal, 5, CivilToFileTime(2019, 1, 3, 0, 0, 0)},
      // A recent date after today belongs to the year before.
      {"-rw-r--r--   1 u g 7 Dec 20 10:00 later.txt", false, "later.txt", kAttrNormal, 7,
       CivilToFileTime(2025, 12, 20, 10, 0, 0)},
      {"drwxr-xr-x   2 u g 4096 Mar  1 09:05 My Folder", false, "My Folder", kAttrDirectory,
       4096, CivilToFileTime(2026, 3, 1, 9, 5, 0)},
      {"-r--r--r--   1 u 12 Feb 28 2020 nogroup.txt", false, "nogroup.txt", kAttrReadOnly, 12,
       CivilToFileTime(2020, 2, 28, 0, 0, 0)},
      {"lrwxrwxrwx   1 u g 3 Dec 01 01:02 link -> target", false, "link", kAttrNormal, 3,
       CivilToFileTime(2026, 12, 1, 1, 2, 0)},
      {"-rw-r--r--   1 Dec Dec 99 Dec 01 01:02 Dec 5 2020", false, "Dec 5 2020", kAttrNormal,
       99, CivilToFileTime(2026, 12, 1, 1, 2, 0)},
      {"12-09-26  11:38PM       <DIR>          folder name", false, "folder name",
       kAttrDirectory, 0, CivilToFileTime(2026, 12, 9, 23, 38, 0)},
      {"01-02-1999  12:05AM                 600 old file.txt", false, "old file.txt",
       kAttrNormal, 600, CivilToFileTime(1999, 1, 2, 0, 5, 0)},
      {"03-04-05  07:00                 1 nosuffix", false, "nosuffix", kAttrNormal, 1,
       CivilToFileTime(2005, 3, 4, 7, 0, 0)},
      {"type=file;size=600;modify=20261209233800;perm=radfwMT; name with blanks", true,
       "name with blanks", kAttrNormal, 600, CivilToFileTime(2026, 12, 9, 23, 38, 0)},
      {"Type=dir;Modify=20200101000000.5;perm=flcdmpe; sub", true, "sub", kAttrDirectory, 0,
       CivilToFileTime(2020, 1, 1, 0, 0, 0) + 5000000},
      {"type=file;size=1;perm=r;modify=20200101000000; ro.txt", true, "ro.txt", kAttrReadOnly,
       1, CivilToFileTime(2020, 1, 1, 0, 0, 0)},
      {"type=cdir;modify=20200101000000; .", true, nullptr, 0, 0, 0},
      {"type=pdir;modify=20200101000000; ..", true, nullptr, 0, 0, 0},
      {"total 12", false, nullptr, 0, 0, 0},
      {"drwxr-xr-x   2 u g 4096 Mar  1 09:05 .", false, nullptr, 0, 0, 0},
      {"-rw-r--r--   1 u g 4096 Foo  1 09:05 x", false, nullptr, 0, 0, 0},
      {"13-45-26  11:38PM  1 bad", false, nullptr, 0, 0, 0},
      {"garbage", false, nullptr, 0, 0, 0},
      // Numbers are read with their range checked: an entry whose number does not fit is
      // skipped, never wrapped.
      {"type=file;size=18446744073709551615;modify=20200101000000; max", true, "max",
       kAttrNormal, 18446744073709551615ULL, CivilToFileTime(2020, 1, 1, 0, 0, 0)},
      {"type=file;size=18446744073709551617;modify=20200101000000; wraps", true, nullptr, 0, 0,
       0},
      {"type=file;size=12ab;modify=20200101000000; notanumber", true, nullptr, 0, 0, 0},
      {"-rw-r--r--   1 u g 18446744073709551617 Dec 01 01:02 wraps", false, nullptr, 0, 0, 0},
      {"-rw-r--r--   1 u g 5 Dec 4294967297 01:02 day", false, nullptr, 0, 0, 0},
      {"-rw-r--r--   1 u g 5 Dec 32 01:02 day", false, nullptr, 0, 0, 0},
      {"01-02-1999  12:05AM   99999999999999999999 wraps", false, nullptr, 0, 0, 0},
      // A time that is absent or cannot be read is 0 (the entry stays).
      {"type=file;size=3; nodate", true, "nodate", kAttrNormal, 3, 0},
      {"type=file;size=3;modify=2020x; baddate", true, "baddate", kAttrNormal, 3, 0},
      {"type=file;size=3;modify=20201340000000; nomonth", true, "nomonth", kAttrNormal, 3, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    auto d = c.mlsd ? ParseMlsdLine(c.line) : ParseListLine(c.line, kNow);
    if (!c.name) {
      EXPECT_FALSE(d.has_value());
      continue;
    }
    ASSERT_TRUE(d.has_value());
    EXPECT_EQ(d->name, c.name);
    EXPECT_EQ(d->attributes, c.attributes);
    EXPECT_EQ(d->size, c.size);
    EXPECT_EQ(d->lastWriteTime, c.writeTime);
    EXPECT_EQ(d->creationTime, c.writeTime);
    EXPECT_EQ(d->lastAccessTime, c.writeTime);
  }
  auto created = ParseMlsdLine("type=file;create=20100101000000;modify=20200101000000; c");
  ASSERT_TRUE(created);
  EXPECT_EQ(created->creationTime, CivilToFileTime(2010, 1, 1, 0, 0, 0));
  EXPECT_EQ(created->lastWriteTime, CivilToFileTime(2020, 1, 1, 0, 0, 0));
}

TEST(ListingParser, NamesAreHeldToWhatTheFindRecordCarries) {
  auto mlsd = [](const std::string& name) {
    return ParseMlsdLine("type=file;size=1;modify=20200101000000; " + name);
  };
  auto unix = [](const std::string& name) {
    return ParseListLine("-rw-r--r-- 1 u g 1 Jan  3  2019 " + name, kNow);
  };
  auto dos = [](const std::string& name) {
    return ParseListLine("01-02-1999  12:05AM  1 " + name, kNow);
  };
  const std::string accented = "\u00E9";  // two bytes, one character
  std::string longest;
  for (int i = 0; i < 259; ++i) longest += accented;
  struct Case { std::string raw; const char* name; };
  const Case cases[] = {
      {std::string("cut\0here.txt", 12), "cut"},
      {std::string("\0hidden", 7), nullptr},
      {std::string(259, 'n'), "259"},
      {std::string(260, 'n'), nullptr},
      {longest, "longest"},
      {longest + "x", nullptr},
      {".", nullptr},
      {"..", nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.raw.size());
    for (auto parse : {+mlsd, +unix, +dos}) {
      auto d = parse(c.raw);
      if (!c.name) {
        EXPECT_FALSE(d.has_value());
        continue;
      }
      ASSERT_TRUE(d.has_value());
      const std::string expected = std::string(c.name) == "259"       ? std::string(259, 'n')
                                   : std::string(c.name) == "longest" ? longest
                                                                      : std::string(c.name);
      EXPECT_EQ(d->name, expected);
    }
  }
}

TEST(ListingReader, ReadsPiecesOfAnySizeAndSkipsOverlongLines) {
  const std::string overlong = "type=file;size=1;x=" + std::string(kMaxListingLine, 'x') + "; long";
  const std::string text = "type=file;size=1;modify=20200101000000; a\r\n" + overlong +
                           "\r\ntype=dir;modify=20200101000000; b\n\ntype=file;size=3; c";
  auto names = [](const std::vector<FindData>& entries) {
    std::string out;
    for (const FindData& d : entries) out += d.name + ",";
    return out;
  };
  EXPECT_EQ(names(ParseListing(text, ListingFormat::Mlsd, kNow)), "a,b,c,");
  // However the bytes arrive, the same entries come out.
  for (std::size_t piece : {1, 2, 3, 7, 64, 4096, 9000}) {
    SCOPED_TRACE(piece);
    std::vector<FindData> got;
    ListingReader reader(ListingFormat::Mlsd, kNow, [&](FindData&& d) { got.push_back(d); });
    for (std::size_t pos = 0; pos < text.size(); pos += piece) {
      reader.Feed(std::string_view(text).substr(pos, piece));
    }
    EXPECT_EQ(names(got), "a,b,") << "the last line waits for its end";
    reader.Finish();
    EXPECT_EQ(names(got), "a,b,c,");
  }
}

TEST(StallWatch, FiresOnlyWithoutProgress) {
  using namespace std::chrono_literals;
  std::atomic<int> fired{0};
  StallWatch watch([&] { ++fired; });
  watch.SetLimit(200ms);
  // Progress more often than the limit keeps it quiet.
  watch.Start();
  for (int i = 0; i < 8; ++i) {
    std::this_thread::sleep_for(50ms);
    watch.Progress();
  }
  EXPECT_FALSE(watch.Stop());
  EXPECT_EQ(fired, 0);
  // Silence for longer than the limit fires it, once.
  watch.Start();
  std::this_thread::sleep_for(700ms);
  EXPECT_TRUE(watch.Stop());
  EXPECT_EQ(fired, 1);
  // A stopped watch stays quiet, and the next call starts clean.
  std::this_thread::sleep_for(300ms);
  EXPECT_EQ(fired, 1);
  watch.Start();
  EXPECT_FALSE(watch.Stop());
}

TEST(ListingParser, WholeListingsKeepOrderAndSkipNoise) {
  const auto entries = ParseListing(
      "total 8\r\n-rw-r--r-- 1 u g 1 Dec 01 01:02 b\r\n\r\n-rw-r--r-- 1 u g 2 Dec 01 01:02 a\n",
      ListingFormat::List, kNow);
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].name, "b");
  EXPECT_EQ(entries[1].name, "a");
}

TEST(ListingParser, SearchMasks) {
  struct Case { const char* name; const char* mask; bool match; };
  const Case cases[] = {
      {"a.txt", "", true},          {"a.txt", "*", true},         {"noext", "*.*", true},
      {"a.txt", "*.txt", true},     {"a.TXT", "*.txt", false},    {"aXb.txt", "a?b.txt", true},
      {"a b.txt", "a?b.txt", true}, {"ab.txt", "a?b.txt", false}, {"#1[x].txt", "#1[x].txt", true},
      {"21x.txt", "#1[x].txt", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.name) + " ~ " + c.mask);
    EXPECT_EQ(MatchesSearchMask(c.name, c.mask), c.match);
  }
}

TEST(ServerAddress, HostAndPort) {
  struct Case { const char* text; const char* host; std::uint16_t port; };
  const Case cases[] = {
      {"ftp.example.com", "ftp.example.com", 21}, {"127.0.0.1:2121", "127.0.0.1", 2121},
      {"host:0", "host:0", 21},                   {"host:99999", "host:99999", 21},
      {"host:", "host:", 21},                     {"host:21a", "host:21a", 21},
      {"::1", "::1", 21},                         {"[::1]:990", "::1", 990},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const ServerAddress a = SplitServerAddress(c.text);
    EXPECT_EQ(a.host, c.host);
    EXPECT_EQ(a.port, c.port);
  }
}

TEST(FileTime, DateValues) {
  EXPECT_DOUBLE_EQ(FileTimeToDateValue(0), -109205.0);
  EXPECT_DOUBLE_EQ(FileTimeToDateValue(CivilToFileTime(1899, 12, 30, 0, 0, 0)), 0.0);
  EXPECT_DOUBLE_EQ(FileTimeToDateValue(CivilToFileTime(2000, 1, 1, 18, 0, 0)), 36526.75);
  EXPECT_EQ(CivilToFileTime(1600, 12, 31, 0, 0, 0), 0u);
  EXPECT_EQ(CivilToFileTime(2021, 2, 29, 0, 0, 0), 0u);
  EXPECT_EQ(UnixSecondsToFileTime(0), CivilToFileTime(1970, 1, 1, 0, 0, 0));
  int y, m, d, h, mi, s;
  DateValueToCivil(36526.75, y, m, d, h, mi, s);
  EXPECT_EQ((std::vector<int>{y, m, d, h, mi, s}), (std::vector<int>{2000, 1, 1, 18, 0, 0}));
  DateValueToCivil(-1.25, y, m, d, h, mi, s);
  EXPECT_EQ((std::vector<int>{y, m, d, h, mi, s}), (std::vector<int>{1899, 12, 28, 18, 0, 0}));
}

TEST(DirList, FlagsKeysAndOrder) {
  cDirList list;
  EXPECT_EQ(list.Count(), 0);
  cDirItem& item = list.Add(48, 1.5, 2.5, 3.5, 42, "Folder");
  EXPECT_TRUE(item.Directory && item.Archive);
  EXPECT_FALSE(item.ReadOnly || item.Hidden || item.System || item.Normal || item.Temporary ||
               item.Compressed || item.Offline);
  EXPECT_EQ(item.CreationTime, 1.5);
  EXPECT_EQ(item.LastAccessTime, 2.5);
  EXPECT_EQ(item.LastWriteTime, 3.5);
  EXPECT_EQ(item.FileSize, 42);
  const cDirItem& all = list.Add(1 | 2 | 4 | 16 | 32 | 128 | 256 | 2048 | 4096, 0, 0, 0, -1, "b");
  EXPECT_TRUE(all.ReadOnly && all.Hidden && all.System && all.Directory && all.Archive &&
              all.Normal && all.Temporary && all.Compressed && all.Offline);
  for (const char* name : {"c", "d", "\u00C1rbol"}) list.Add(128, 0, 0, 0, 0, name);
  EXPECT_EQ(list.Count(), 5);

  EXPECT_EQ(&list.Item("FOLDER"), &item);
  EXPECT_EQ(&list.Item("\u00E1RBOL"), &list.Item(5));
  EXPECT_EQ(&list.Item(1), &item);
  std::vector<std::string> names;
  for (const cDirItem& i : list.NewEnum()) names.push_back(i.Filename);
  EXPECT_EQ(names, (std::vector<std::string>{"Folder", "b", "c", "d", "\u00C1rbol"}));

  struct Bad { std::function<void()> call; int number; };
  const Bad bad[] = {
      {[&] { list.Add(0, 0, 0, 0, 0, "folder"); }, kErrDuplicateKey},
      {[&] { list.Item(0); }, kErrSubscript},
      {[&] { list.Item(6); }, kErrSubscript},
      {[&] { list.Item("none"); }, kErrInvalidArgument},
  };
  for (const Bad& b : bad) {
    try {
      b.call();
      ADD_FAILURE() << "an error " << b.number << " was expected";
    } catch (const KelvError& e) {
      EXPECT_EQ(e.Number(), b.number);
    }
  }
  EXPECT_EQ(list.Count(), 5);  // the duplicate was not added
  list.Clear();
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(list.begin(), list.end());
  list.Add(0, 0, 0, 0, 0, "folder");  // a cleared key can be used again
}

// An in-memory back-end: remote files in a map, a scripted failure, a call log.
class FakeBackend : public FtpBackend {
 public:
  std::map<std::string, std::string> files;
  std::vector<FindData> entries;        // what FindFirst/FindNext hand out
  std::uint32_t findEndCode = 18;       // the code after the last entry
  std::string failOn;                   // the call that fails, with failCode
  int failAfter = 0;                    // ... after this many successful calls of it
  std::uint32_t failCode = 12003;
  std::map<std::uint32_t, std::string> texts;
  std::string response = "550 refused.";
  std::vector<std::string> log;
  std::vector<std::size_t> writes;
  bool fileOpen = false, finding = false;
  bool closeResult = true;
  std::chrono::seconds noProgressLimit{0};

  void SetNoProgressLimit(std::chrono::seconds limit) override { noProgressLimit = limit; }
  bool Autodial() override { return Call("Autodial"); }
  bool OpenSession(const std::string&) override { return Call("OpenSession"); }
  void SetProxyCredentials(const std::string& u, const std::string& p) override {
    log.push_back("Proxy:" + u + "/" + p);
  }
  bool Connect(const ServerAddress& a, const std::string&, const std::string&,
               bool passive) override {
    return Call("Connect:" + a.host + ":" + std::to_string(a.port) + (passive ? ":P" : ":A"));
  }
  void CloseConnection() override { log.push_back("CloseConnection"); }
  void CloseSession() override { log.push_back("CloseSession"); }
  bool PutFile(const std::string&, const std::string&, bool) override { return Call("PutFile"); }
  bool GetFile(const std::string& remote, const DataSink& sink, bool) override {
    if (!Call("GetFile")) {
      sink("partial", 7);
      return false;
    }
    sink(files[remote].data(), files[remote].size());
    return true;
  }
  bool RenameFile(const std::string&, const std::string&) override { return Call("Rename"); }
  bool CreateDir(const std::string&) override { return Call("CreateDir"); }
  bool RemoveDir(const std::string&) override { return Call("RemoveDir"); }
  bool DeleteRemote(const std::string&) override { return Call("Delete"); }
  bool SetCurrentDir(const std::string&) override { return Call("SetCurrentDir"); }
  bool GetCurrentDir(std::string& dir) override {
    dir = "/x";
    return Call("GetCurrentDir");
  }
  bool OpenFile(const std::string& remote, bool forWrite, bool) override {
    if (!Call(forWrite ? "OpenWrite" : "OpenRead")) return false;
    fileOpen = true;
    current_ = remote;
    readPos_ = 0;
    if (forWrite) files[remote].clear();
    return true;
  }
  bool WriteFile(const char* data, std::size_t size) override {
    if (!Call("Write")) return false;
    writes.push_back(size);
    files[current_].append(data, size);
    return true;
  }
  bool ReadFile(char* data, std::size_t size, std::size_t& got) override {
    got = 0;
    if (!Call("Read")) return false;
    const std::string& f = files[current_];
    got = std::min(size, f.size() - readPos_);
    std::copy(f.begin() + static_cast<long>(readPos_),
              f.begin() + static_cast<long>(readPos_ + got), data);
    readPos_ += got;
    return true;
  }
  bool CloseFile() override {
    log.push_back("CloseFile");
    fileOpen = false;
    if (!closeResult) error_ = 12030;
    return closeResult;
  }
  void AbortFile() override {
    log.push_back("AbortFile");
    fileOpen = false;
  }
  bool FindFirst(const std::string& pattern, FindData& found) override {
    log.push_back("FindFirst:" + pattern);
    if (!Call("FindFirst")) return false;
    pos_ = 0;
    finding = true;
    return FindNext(found);
  }
  bool FindNext(FindData& found) override {
    if (pos_ >= entries.size()) {
      error_ = findEndCode;
      return false;
    }
    found = entries[pos_++];
    return true;
  }
  void CloseFind() override {
    log.push_back("CloseFind");
    finding = false;
  }
  bool Command(const std::string& c, bool) override { return Call("Command:" + c); }
  std::uint32_t ErrorCode() const override { return error_; }
  std::string ErrorText(std::uint32_t code) override {
    auto it = texts.find(code);
    return it == texts.end() ? "text of " + std::to_string(code) : it->second;
  }
  std::string LastResponse() override { return response; }

 private:
  bool Call(const std::string& what) {
    log.push_back(what);
    if (!failOn.empty() && what.rfind(failOn, 0) == 0) {
      if (failAfter-- <= 0) {
        error_ = failCode;
        return false;
      }
    }
    return true;
  }

  std::uint32_t error_ = 0;
  std::string current_;
  std::size_t readPos_ = 0, pos_ = 0;
};

// A cFTP over a FakeBackend, with its events recorded and a scratch folder.
class CoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    auto backend = std::make_unique<FakeBackend>();
    fake_ = backend.get();
    ftp_ = std::make_unique<cFTP>(std::move(backend));
    ftp_->OnErrorEnEnvio([this] { ++errorEvents_; });
    ftp_->OnFileTransferProgress(
        [this](std::int32_t& c, std::int32_t& t) { progress_.emplace_back(c, t); });
    // The same program runs in several zones at once: each run has folders of its own.
    static const std::string run = std::to_string(std::random_device()());
    dir_ = JoinSep(testing::TempDir(), "kelv_ftp_core_" + run + "_" + std::to_string(++counter_));
    std::filesystem::remove_all(std::filesystem::u8path(dir_));
    std::filesystem::create_directories(std::filesystem::u8path(dir_));
  }
  void TearDown() override {
    SetYieldHook({});
    std::filesystem::remove_all(std::filesystem::u8path(dir_));
  }
  std::string Local(const std::string& name) { return JoinSep(dir_, name); }
  static FindData Entry(const std::string& name, std::uint32_t attrs, std::uint64_t size) {
    FindData d;
    d.name = name;
    d.attributes = attrs;
    d.size = size;
    d.creationTime = d.lastAccessTime = d.lastWriteTime = CivilToFileTime(2000, 1, 1, 18, 0, 0);
    return d;
  }

  FakeBackend* fake_ = nullptr;
  std::unique_ptr<cFTP> ftp_;
  int errorEvents_ = 0;
  std::vector<std::pair<std::int32_t, std::int32_t>> progress_;
  std::string dir_;
  static inline int counter_ = 0;
};

using Events = std::vector<std::pair<std::int32_t, std::int32_t>>;

TEST_F(CoreTest, ReportErrorComposesTheMessage) {
  fake_->texts[12029] = "cannot connect\r\n";
  ftp_->ReportError(12029, "InternetConnect");
  EXPECT_EQ(ftp_->GetLastErrorMessage(),
            "InternetConnect error code: 12029 Message: cannot connect");
  EXPECT_EQ(errorEvents_, 1);
  // 12003: the server's reply replaces the composed text.
  ftp_->ReportError(12003, "DeleteFTPFile");
  EXPECT_EQ(ftp_->GetLastErrorMessage(), "550 refused.");
  EXPECT_EQ(errorEvents_, 2);
  // At most 255 characters of the system's text.
  fake_->texts[7] = std::string(300, 'x');
  ftp_->ReportError(7, "C");
  EXPECT_EQ(ftp_->GetLastErrorMessage(), "C error code: 7 Message: " + std::string(255, 'x'));
  // DarMsgErr off: recorded, no event.
  ftp_->DarMsgErr(false);
  ftp_->ReportError(12002, "X");
  EXPECT_EQ(ftp_->GetLastErrorMessage(), "X error code: 12002 Message: text of 12002");
  EXPECT_EQ(errorEvents_, 3);
}

TEST_F(CoreTest, OpenConnectionSteps) {
  EXPECT_TRUE(ftp_->OpenConnection("host:2121", "u", "p", "", ""));
  ftp_->SetModePassive();
  EXPECT_TRUE(ftp_->OpenConnection("other", "u", "p", "pu", "pp"));
  EXPECT_EQ(fake_->log,
            (std::vector<std::string>{"CloseConnection", "CloseSession", "Autodial",
                                      "OpenSession", "Proxy:/", "Connect:host:2121:A",
                                      "CloseConnection", "CloseSession", "Autodial",
                                      "OpenSession", "Proxy:pu/pp", "Connect:other:21:P"}));
  // A failed session is recorded and the connect still tried; a failed autodial says nothing.
  fake_->failOn = "OpenSession";
  fake_->failCode = 12004;
  EXPECT_FALSE([&] {
    fake_->log.clear();
    fake_->failOn = "OpenSession";
    return ftp_->OpenConnection("h", "u", "p") && false;
  }());
  EXPECT_EQ(ftp_->GetLastErrorMessage().rfind("InternetOpen error code: 12004", 0), 0u);
  fake_->failOn = "Autodial";
  ftp_->DeleteFTPFile("x");
  const std::string before = ftp_->GetLastErrorMessage();
  EXPECT_FALSE(ftp_->OpenConnection("h", "u", "p"));
  EXPECT_EQ(ftp_->GetLastErrorMessage(), before);
}

TEST_F(CoreTest, ChunkedUploadArithmetic) {
  struct Case { std::size_t size; Events events; std::vector<std::size_t> writes; };
  const Case cases[] = {
      {600, {{255, 600}, {510, 600}, {600, 600}}, {255, 255, 90}},
      {510, {{255, 510}, {510, 510}, {510, 510}}, {255, 255}},
      {0, {{0, 0}}, {}},
  };
  int yields = 0;
  SetYieldHook([&] { ++yields; });
  for (const Case& c : cases) {
    SCOPED_TRACE(c.size);
    progress_.clear();
    fake_->writes.clear();
    yields = 0;
    WriteFileReplacing(Local("f"), std::string(c.size, 'q'));
    ASSERT_TRUE(ftp_->FTPUploadFile(Local("f"), "r"));
    EXPECT_EQ(progress_, c.events);
    EXPECT_EQ(fake_->writes, c.writes);
    EXPECT_EQ(yields, static_cast<int>(c.size / 255) * 2);
    EXPECT_EQ(fake_->files["r"], std::string(c.size, 'q'));
    EXPECT_FALSE(fake_->fileOpen);
  }
}

TEST_F(CoreTest, ChunkedFailuresCloseTheRemoteFileAtOnce) {
  WriteFileReplacing(Local("f"), std::string(600, 'q'));
  struct Case { const char* failOn; int after; const char* context; };
  const Case cases[] = {
      {"OpenWrite", 0, "FtpOpenFile:PutFile"},
      {"Write", 1, "InternetWriteFile"},
      {"Write", 2, "InternetWriteFile2"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.context);
    fake_->failOn = c.failOn;
    fake_->failAfter = c.after;
    fake_->failCode = 12030;
    EXPECT_FALSE(ftp_->FTPUploadFile(Local("f"), "r"));
    EXPECT_EQ(ftp_->GetLastErrorMessage(),
              std::string(c.context) + " error code: 12030 Message: text of 12030");
    EXPECT_FALSE(fake_->fileOpen);
  }
  // An upload the server does not confirm at the end is a failure.
  fake_->failOn.clear();
  fake_->closeResult = false;
  EXPECT_FALSE(ftp_->FTPUploadFile(Local("f"), "r"));
  EXPECT_EQ(ftp_->GetLastErrorMessage().rfind("InternetCloseHandle error code: 12030", 0), 0u);
  // Files of 2 GiB and more are refused before anything is sent.
  std::filesystem::resize_file(std::filesystem::u8path(Local("f")), 0x80000000ULL);
  fake_->log.clear();
  EXPECT_FALSE(ftp_->FTPUploadFile(Local("f"), "r"));
  EXPECT_EQ(ftp_->GetLastErrorMessage().rfind("FTPUploadFile error code: 223", 0), 0u);
  EXPECT_TRUE(fake_->log.empty());
}

TEST_F(CoreTest, ChunkedDownloadArithmeticAndFailures) {
  fake_->files["r"] = std::string(510, 'd');
  fake_->entries = {Entry("r", kAttrNormal, 510)};
  WriteFileReplacing(Local("out"), std::string(1000, 'o'));
  ASSERT_TRUE(ftp_->FTPDownloadFile(Local("out"), "r"));
  EXPECT_EQ(progress_, (Events{{255, 510}, {510, 510}, {510, 510}}));
  EXPECT_EQ(ReadFileBytes(Local("out")), std::string(510, 'd'));
  EXPECT_FALSE(fake_->fileOpen);

  // The listing claims more than the server sends: in binary mode a short read fails and
  // the local file is left as it was.
  ftp_->SetTransferBinary();
  fake_->entries = {Entry("r", kAttrNormal, 600)};
  EXPECT_FALSE(ftp_->FTPDownloadFile(Local("out"), "r"));
  EXPECT_EQ(ftp_->GetLastErrorMessage().rfind("InternetReadFile2 error code: 38", 0), 0u);
  EXPECT_EQ(ReadFileBytes(Local("out")), std::string(510, 'd'));
  EXPECT_FALSE(fake_->fileOpen);
  fake_->failOn = "Read";
  fake_->failAfter = 1;
  fake_->failCode = 12030;
  EXPECT_FALSE(ftp_->FTPDownloadFile(Local("out"), "r"));
  EXPECT_EQ(ftp_->GetLastErrorMessage().rfind("InternetReadFile error code: 12030", 0), 0u)
      << ftp_->GetLastErrorMessage();
  fake_->failOn = "OpenRead";
  EXPECT_FALSE(ftp_->FTPDownloadFile(Local("out"), "r"));
  EXPECT_EQ(ftp_->GetLastErrorMessage().rfind("FtpOpenFile:GetFile error code: 12030", 0), 0u);
  // No remote search hit means nothing happens at all.
  fake_->failOn.clear();
  fake_->entries.clear();
  fake_->log.clear();
  EXPECT_FALSE(ftp_->FTPDownloadFile(Local("new"), "r"));
  EXPECT_FALSE(PathExists(Local("new")));
  EXPECT_EQ(fake_->log, (std::vector<std::string>{"FindFirst:r", "FindFirst"}));
}

TEST_F(CoreTest, SimpleGetKeepsTheLocalFileOnFailure) {
  WriteFileReplacing(Local("keep"), "old");
  fake_->failOn = "GetFile";
  EXPECT_FALSE(ftp_->SimpleFTPGetFile(Local("keep"), "r"));
  EXPECT_EQ(ReadFileBytes(Local("keep")), "old");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(std::filesystem::u8path(dir_)),
                          std::filesystem::directory_iterator()),
            1);
  fake_->failOn.clear();
  fake_->files["r"] = "new";
  EXPECT_TRUE(ftp_->SimpleFTPGetFile(Local("keep"), "r"));
  EXPECT_EQ(ReadFileBytes(Local("keep")), "new");
  // A local file that cannot be made is a recorded failure, as when the library writes it.
  fake_->log.clear();
  EXPECT_FALSE(ftp_->SimpleFTPGetFile(JoinSep(Local("no-folder"), "x"), "r"));
  EXPECT_EQ(ftp_->GetLastErrorMessage(), "SimpleFtpGetFile error code: 3 Message: text of 3");
  EXPECT_TRUE(fake_->log.empty()) << "nothing is asked of the server";
}

TEST_F(CoreTest, FileSizeRules) {
  fake_->entries = {Entry("a?b", kAttrNormal, 77)};
  EXPECT_EQ(ftp_->GetFTPFileSize("a b"), 77);
  EXPECT_EQ(fake_->log.front(), "FindFirst:a?b");
  EXPECT_FALSE(fake_->finding);
  fake_->entries = {Entry("big", kAttrNormal, 0x80000000ULL)};
  EXPECT_EQ(ftp_->GetFTPFileSize("big"), -2);
  fake_->entries.clear();
  const std::string before = ftp_->GetLastErrorMessage();
  EXPECT_EQ(ftp_->GetFTPFileSize("none"), -1);
  EXPECT_EQ(ftp_->GetLastErrorMessage(), before);
  fake_->failOn = "FindFirst";
  fake_->failCode = 12029;
  EXPECT_EQ(ftp_->GetFTPFileSize("x"), -2);
  EXPECT_EQ(ftp_->GetLastErrorMessage().rfind("FtpFindFirstFile error code: 12029", 0), 0u);
}

TEST_F(CoreTest, ListingRules) {
  fake_->entries = {Entry("dir", 48, 0), Entry("f.txt", kAttrNormal, 0x1'0000'0005ULL)};
  auto list = ftp_->GetDirectoryListing("*");
  ASSERT_TRUE(list);
  EXPECT_EQ(list, ftp_->Directory());
  EXPECT_TRUE(list->Item(1).Directory && list->Item(1).Archive);
  EXPECT_EQ(list->Item("F.TXT").FileSize, 5);  // the low 32 bits of the size
  EXPECT_DOUBLE_EQ(list->Item(2).LastWriteTime, 36526.75 + ZoneHours() / 24);
  EXPECT_FALSE(fake_->finding);

  // Nothing found: no list, nothing recorded, and Directory is then an empty list.
  fake_->entries.clear();
  EXPECT_EQ(ftp_->GetDirectoryListing("*.x"), nullptr);
  EXPECT_EQ(ftp_->GetLastErrorMessage(), "");
  EXPECT_EQ(ftp_->Directory()->Count(), 0);
  EXPECT_NE(ftp_->Directory(), list);

  // A failure in the middle: no list, but what was gathered stays in Directory.
  fake_->entries = {Entry("a", 0, 1), Entry("b", 0, 2)};
  fake_->findEndCode = 12030;
  EXPECT_EQ(ftp_->GetDirectoryListing("*"), nullptr);
  EXPECT_EQ(ftp_->GetLastErrorMessage().rfind("InternetFindNextFile error code: 12030", 0), 0u);
  EXPECT_EQ(ftp_->Directory()->Count(), 2);
  EXPECT_FALSE(fake_->finding);

  // A duplicate name raises to the caller, and the search is still closed.
  fake_->findEndCode = 18;
  fake_->entries = {Entry("a.txt", 0, 1), Entry("A.txt", 0, 2)};
  try {
    ftp_->GetDirectoryListing("*");
    ADD_FAILURE() << "a duplicate key error was expected";
  } catch (const KelvError& e) {
    EXPECT_EQ(e.Number(), kErrDuplicateKey);
  }
  EXPECT_FALSE(fake_->finding);
}

TEST_F(CoreTest, SimpleOperationsRecordTheirContext) {
  struct Case { const char* failOn; std::function<bool()> call; const char* context; };
  const Case cases[] = {
      {"PutFile", [&] { return ftp_->SimpleFTPPutFile("l", "r"); }, "SimpleFtpPutFile"},
      {"GetFile", [&] { return ftp_->SimpleFTPGetFile(Local("l"), "r"); }, "SimpleFtpGetFile"},
      {"Rename", [&] { return ftp_->RenameFTPFile("a", "b"); }, "RenameFTPFile"},
      {"CreateDir", [&] { return ftp_->CreateFTPDirectory("d"); }, "CreateFTPDirectory"},
      {"RemoveDir", [&] { return ftp_->RemoveFTPDirectory("d"); }, "RemoveFTPDirectory"},
      {"Delete", [&] { return ftp_->DeleteFTPFile("d"); }, "DeleteFTPFile"},
      {"SetCurrentDir", [&] { return ftp_->SetFTPDirectory("d"); }, "FtpSetCurrentDirectory"},
      {"GetCurrentDir", [&] { return !ftp_->GetFTPDirectory().empty(); },
       "FtpGetCurrentDirectory"},
  };
  fake_->failCode = 6;
  int events = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.context);
    fake_->failOn.clear();
    EXPECT_TRUE(c.call());
    fake_->failOn = c.failOn;
    EXPECT_FALSE(c.call());
    EXPECT_EQ(ftp_->GetLastErrorMessage(),
              std::string(c.context) + " error code: 6 Message: text of 6");
    EXPECT_EQ(errorEvents_, ++events);
  }
  // Raw commands report only their result.
  fake_->failOn = "Command";
  EXPECT_FALSE(ftp_->EjecFTPCommand("NOOP"));
  EXPECT_EQ(errorEvents_, events);
}

TEST_F(CoreTest, FileTimeToDateUsesLocalTime) {
  EXPECT_DOUBLE_EQ(ftp_->FileTimeToDate(CivilToFileTime(2000, 1, 1, 18, 0, 0)),
                   36526.75 + ZoneHours() / 24);
  if (ZoneHours() >= 0) {
    EXPECT_DOUBLE_EQ(ftp_->FileTimeToDate(0), -109205.0 + ZoneHours() / 24);
  }
#ifndef _WIN32
  // A time the system cannot convert gives 0, and its error code is shown (KELV_NO_UI sends
  // the message dialog's text to standard error). Wine converts such times without failing.
  testing::internal::CaptureStderr();
  EXPECT_EQ(ftp_->FileTimeToDate(0x8000000000000000ULL), 0.0);
  EXPECT_NE(testing::internal::GetCapturedStderr().find("87"), std::string::npos);
#endif
}

TEST_F(CoreTest, NamesWithLineEndsOrNulAreRefusedBeforeAnythingIsSent) {
  struct Case { const char* context; std::function<bool(const std::string&)> call; };
  const Case cases[] = {
      {"RenameFTPFile", [&](const std::string& n) { return ftp_->RenameFTPFile(n, "b"); }},
      {"RenameFTPFile", [&](const std::string& n) { return ftp_->RenameFTPFile("a", n); }},
      {"CreateFTPDirectory", [&](const std::string& n) { return ftp_->CreateFTPDirectory(n); }},
      {"RemoveFTPDirectory", [&](const std::string& n) { return ftp_->RemoveFTPDirectory(n); }},
      {"DeleteFTPFile", [&](const std::string& n) { return ftp_->DeleteFTPFile(n); }},
      {"FtpSetCurrentDirectory", [&](const std::string& n) { return ftp_->SetFTPDirectory(n); }},
      {"SimpleFtpPutFile",
       [&](const std::string& n) { return ftp_->SimpleFTPPutFile(Local("up"), n); }},
      {"SimpleFtpGetFile",
       [&](const std::string& n) { return ftp_->SimpleFTPGetFile(Local("down"), n); }},
      {"FtpOpenFile:PutFile",
       [&](const std::string& n) { return ftp_->FTPUploadFile(std::string_view(Local("up")), n); }},
      {"FtpFindFirstFile", [&](const std::string& n) {
         return ftp_->FTPDownloadFile(std::string_view(Local("down")), n);
       }},
      {"FtpFindFirstFile", [&](const std::string& n) { return ftp_->GetFTPFileSize(n) != -2; }},
      {"FtpFindFirstFile",
       [&](const std::string& n) { return ftp_->GetDirectoryListing(n) != nullptr; }},
      {"InternetConnect",
       [&](const std::string& n) { return ftp_->OpenConnection("host", n, "pw"); }},
      {"InternetConnect",
       [&](const std::string& n) { return ftp_->OpenConnection("host", "user", n); }},
  };
  WriteFileReplacing(Local("up"), "data");
  fake_->entries = {Entry("x", kAttrNormal, 5)};
  const std::string names[] = {"a.txt\r\nDELE victim.txt", "a\nb", std::string("a\0b", 3),
                               "a\rb"};
  int events = 0;
  for (const Case& c : cases) {
    for (const std::string& name : names) {
      SCOPED_TRACE(std::string(c.context) + " / " + std::to_string(name.size()));
      fake_->log.clear();
      EXPECT_FALSE(c.call(name));
      EXPECT_EQ(ftp_->GetLastErrorMessage(),
                std::string(c.context) + " error code: 123 Message: text of 123");
      EXPECT_EQ(errorEvents_, ++events);
      for (const std::string& call : fake_->log) {
        EXPECT_TRUE(call == "CloseConnection" || call == "CloseSession") << call;
      }
    }
  }
  EXPECT_FALSE(PathExists(Local("down")));
  // A raw command with a line end in it would be two commands: it is not sent either.
  fake_->log.clear();
  EXPECT_FALSE(ftp_->EjecFTPCommand("NOOP\r\nDELE victim.txt"));
  EXPECT_TRUE(fake_->log.empty());
  EXPECT_TRUE(ftp_->EjecFTPCommand("NOOP"));
}

TEST_F(CoreTest, NoProgressLimitIsOneMinuteUntilSet) {
  EXPECT_EQ(fake_->noProgressLimit, std::chrono::seconds(60));
  ftp_->SetNoProgressLimit(std::chrono::seconds(3));
  EXPECT_EQ(fake_->noProgressLimit, std::chrono::seconds(3));
}

TEST_F(CoreTest, ListingTimesThatCannotBeConvertedAreTheZeroDateWithoutAMessage) {
  FindData none = Entry("none", kAttrNormal, 1);
  none.creationTime = none.lastAccessTime = none.lastWriteTime = 0;
  // Before 1601 in local time west of UTC; out of range everywhere on Linux.
  FindData early = Entry("early", kAttrNormal, 1);
  early.lastWriteTime = 1;
  FindData wild = Entry("wild", kAttrNormal, 1);
  wild.creationTime = wild.lastAccessTime = wild.lastWriteTime = 0x8000000000000000ULL;
  fake_->entries = {none, early, wild, Entry("good", kAttrNormal, 1)};
  testing::internal::CaptureStderr();
  auto list = ftp_->GetDirectoryListing("*");
  const std::string shown = testing::internal::GetCapturedStderr();
  ASSERT_TRUE(list);
  EXPECT_EQ(shown, "") << "no dialog for any entry";
  for (const char* name : {"none", "wild"}) {
    SCOPED_TRACE(name);
    const cDirItem& item = list->Item(name);
    EXPECT_EQ(item.CreationTime, 0.0);
    EXPECT_EQ(item.LastAccessTime, 0.0);
    EXPECT_EQ(item.LastWriteTime, 0.0);
  }
  if (ZoneHours() < 0) {
    EXPECT_EQ(list->Item("early").LastWriteTime, 0.0);
  }
  EXPECT_DOUBLE_EQ(list->Item("good").LastWriteTime, 36526.75 + ZoneHours() / 24);
}

TEST_F(CoreTest, AsciiChunkedDownloadsReadUntilTheServerEndsTheData) {
  // Line ends change on the way, so the listed size and the bytes that arrive differ.
  struct Case { std::size_t listed, sent; Events events; };
  const Case cases[] = {
      {700, 600, {{255, 700}, {510, 700}, {600, 600}}},  // CR LF became LF: fewer bytes
      {300, 600, {{255, 300}, {510, 510}, {600, 600}}},  // LF became CR LF: more bytes
      {600, 510, {{255, 600}, {510, 600}, {510, 510}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.listed);
    progress_.clear();
    fake_->files["t.txt"] = std::string(c.sent, 'a');
    fake_->entries = {Entry("t.txt", kAttrNormal, c.listed)};
    ASSERT_TRUE(ftp_->FTPDownloadFile(Local("t.txt"), "t.txt")) << ftp_->GetLastErrorMessage();
    EXPECT_EQ(ReadFileBytes(Local("t.txt")), std::string(c.sent, 'a'));
    EXPECT_EQ(progress_, c.events);
  }
  // Binary keeps the size check, both ways.
  ftp_->SetTransferBinary();
  fake_->entries = {Entry("t.txt", kAttrNormal, 700)};
  EXPECT_FALSE(ftp_->FTPDownloadFile(Local("t.txt"), "t.txt"));
  EXPECT_EQ(ftp_->GetLastErrorMessage().rfind("InternetReadFile2 error code: 38", 0), 0u)
      << ftp_->GetLastErrorMessage();
  fake_->entries = {Entry("t.txt", kAttrNormal, 300)};
  EXPECT_FALSE(ftp_->FTPDownloadFile(Local("t.txt"), "t.txt"));
  EXPECT_EQ(ftp_->GetLastErrorMessage().rfind("InternetReadFile2 error code: 234", 0), 0u)
      << ftp_->GetLastErrorMessage();
  EXPECT_EQ(ReadFileBytes(Local("t.txt")), std::string(510, 'a'));
  EXPECT_FALSE(fake_->fileOpen);
}

TEST_F(CoreTest, ADownloadTheServerReportsAsFailedLeavesTheLocalFile) {
  WriteFileReplacing(Local("out"), "old");
  fake_->files["r"] = std::string(300, 'd');
  fake_->entries = {Entry("r", kAttrNormal, 300)};
  fake_->closeResult = false;
  EXPECT_FALSE(ftp_->FTPDownloadFile(Local("out"), "r"));
  EXPECT_EQ(ftp_->GetLastErrorMessage().rfind("InternetCloseHandle error code: 12030", 0), 0u);
  EXPECT_EQ(ReadFileBytes(Local("out")), "old");
}

TEST_F(CoreTest, AnUploadLeftMidwayIsAbortedNotCompleted) {
  WriteFileReplacing(Local("f"), std::string(2000, 'q'));
  ftp_->OnFileTransferProgress([](std::int32_t& cur, std::int32_t&) {
    if (cur == 510) throw std::runtime_error("cancelled");
  });
  fake_->log.clear();
  EXPECT_THROW(ftp_->FTPUploadFile(Local("f"), "r"), std::runtime_error);
  EXPECT_EQ(std::count(fake_->log.begin(), fake_->log.end(), "AbortFile"), 1);
  EXPECT_EQ(std::count(fake_->log.begin(), fake_->log.end(), "CloseFile"), 0);
  EXPECT_FALSE(fake_->fileOpen);
}

TEST_F(CoreTest, ServerRepliesAreCutAt2048Characters) {
  fake_->response = "550 " + std::string(5000, 'x');
  ftp_->ReportError(12003, "DeleteFTPFile");
  EXPECT_EQ(ftp_->GetLastErrorMessage(), "550 " + std::string(2044, 'x'));
  std::string accented;
  for (int i = 0; i < 3000; ++i) accented += "\u00E9";
  fake_->response = accented;
  ftp_->ReportError(12003, "DeleteFTPFile");
  EXPECT_EQ(ftp_->GetLastErrorMessage(), accented.substr(0, 2 * 2048));
}

}  // namespace
}  // namespace kelv
