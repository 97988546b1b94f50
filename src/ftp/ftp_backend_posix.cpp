// The FTP back-end on Linux: libcurl, one easy handle in one multi handle per session, so
// the control connection is kept between operations. The client keeps the remote current
// folder and builds every path from it; listings come from MLSD when the server offers it,
// otherwise from LIST, and are parsed as they arrive and matched against the search mask
// here. libcurl's low-speed limit is the no-progress limit of every transfer and listing.
#include <curl/curl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <exception>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "ftp/ftp_backend.h"
#include "ftp/listing_parser.h"

namespace kelv {
namespace {

constexpr std::uint32_t kNoMoreFiles = 18;
constexpr std::uint32_t kInvalidHandle = 6;
constexpr std::uint32_t kTimeout = 12002;
constexpr std::uint32_t kInternalError = 12004;
constexpr std::uint32_t kNameNotResolved = 12007;
constexpr std::uint32_t kExtendedError = 12003;
constexpr std::uint32_t kLoginFailure = 12014;
constexpr std::uint32_t kCannotConnect = 12029;
constexpr std::uint32_t kConnectionAborted = 12030;
constexpr std::uint32_t kTransferInProgress = 12110;
constexpr std::size_t kDownloadBufferLimit = 1 << 20;
constexpr std::size_t kUploadFlushSize = 1 << 16;
// Server replies are kept up to this many bytes (a hostile server may send no end).
constexpr std::size_t kReplyKeep = 8192;

struct GlobalInit {
  GlobalInit() { curl_global_init(CURL_GLOBAL_DEFAULT); }
};

// Fixed texts for the codes that do not come with a library message.
std::string DefaultText(std::uint32_t code) {
  switch (code) {
    case 2: return "The system cannot find the file specified.";
    case 3: return "The system cannot find the path specified.";
    case 5: return "Access is denied.";
    case kInvalidHandle: return "The handle is invalid.";
    case kNoMoreFiles: return "There are no more files.";
    case 29: return "The system cannot write to the specified device.";
    case 38: return "Reached the end of the file.";
    case 123: return "The filename, directory name, or volume label syntax is incorrect.";
    case 223: return "The file size exceeds the limit allowed and cannot be saved.";
    case 234: return "More data is available.";
    case kTimeout: return "The operation timed out";
    case kExtendedError: return "An extended error was returned from the server.";
    case kInternalError: return "An internal error occurred.";
    case kNameNotResolved: return "The server name or address could not be resolved";
    case kLoginFailure: return "The password was not allowed";
    case kCannotConnect: return "A connection with the server could not be established";
    case kConnectionAborted: return "The connection with the server was terminated abnormally";
    case kTransferInProgress: return "There is already an FTP request in progress on this session.";
    default: return std::strerror(static_cast<int>(code));
  }
}

std::uint32_t FileErrorCode(int err) {
  switch (err) {
    case ENOENT: return 3;
    case EACCES: case EPERM: case EROFS: return 5;
    case EISDIR: return 5;
    default: return 29;
  }
}

// Percent-encodes every byte but the unreserved ones, '/' included.
std::string Encode(const std::string& s) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : s) {
    if (std::isalnum(c) || c == '-' || c == '.' || c == '_' || c == '~') {
      out += static_cast<char>(c);
    } else {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 15];
    }
  }
  return out;
}

class CurlFtpBackend final : public FtpBackend {
 public:
  CurlFtpBackend() { static GlobalInit init; }
  ~CurlFtpBackend() override { CloseConnection(); }

  void SetNoProgressLimit(std::chrono::seconds limit) override { noProgressLimit_ = limit; }

  bool Autodial() override { return true; }

  bool OpenSession(const std::string&) override {
    session_ = true;
    return true;
  }

  void SetProxyCredentials(const std::string& user, const std::string& password) override {
    proxyUser_ = user;
    proxyPassword_ = password;
  }

  bool Connect(const ServerAddress& server, const std::string& user,
               const std::string& password, bool passive) override {
    CloseConnection();
    if (!session_) return Fail(kInvalidHandle, "");
    multi_ = curl_multi_init();
    easy_ = curl_easy_init();
    if (!multi_ || !easy_) return Fail(kInternalError, "libcurl could not start");
    const std::string host =
        server.host.find(':') != std::string::npos ? "[" + server.host + "]" : server.host;
    base_ = "ftp://" + host + ":" + std::to_string(server.port);
    user_ = user;
    password_ = password;
    passive_ = passive;
    cwd_ = "/";
    connected_ = true;
    // Logging in, learning the login folder and whether MLSD is offered.
    if (!Quote({"PWD", "*FEAT"}, false)) {
      const std::uint32_t code = error_;
      const std::string text = errorText_;
      CloseConnection();
      return Fail(code, text);
    }
    if (!pwd_.empty()) cwd_ = pwd_;
    mlsd_ = feat_.find("\n MLST") != std::string::npos || feat_.find("\nMLST") != std::string::npos;
    return true;
  }

  void CloseConnection() override {
    CloseFind();
    if (transfer_ != Transfer::None) AbortTransfer();
    if (easy_) curl_easy_cleanup(easy_);
    if (multi_) curl_multi_cleanup(multi_);
    easy_ = nullptr;
    multi_ = nullptr;
    connected_ = false;
  }

  void CloseSession() override { session_ = false; }

  bool PutFile(const std::string& local, const std::string& remote, bool binary) override {
    if (!Ready()) return false;
    FILE* f = std::fopen(local.c_str(), "rb");
    if (!f) {
      const int err = errno;
      return Fail(err == ENOENT ? 2 : FileErrorCode(err), local + ": " + std::strerror(err));
    }
    std::fseek(f, 0, SEEK_END);
    const long long size = ftello(f);
    std::fseek(f, 0, SEEK_SET);
    const bool ok = Run(FileUrl(remote), [&] {
      curl_easy_setopt(easy_, CURLOPT_UPLOAD, 1L);
      curl_easy_setopt(easy_, CURLOPT_READDATA, f);
      curl_easy_setopt(easy_, CURLOPT_INFILESIZE_LARGE, static_cast<curl_off_t>(size));
      curl_easy_setopt(easy_, CURLOPT_TRANSFERTEXT, binary ? 0L : 1L);
    });
    std::fclose(f);
    return ok;
  }

  bool GetFile(const std::string& remote, const DataSink& sink, bool binary) override {
    if (!Ready()) return false;
    sink_ = &sink;
    sinkError_ = nullptr;
    const bool ok = Run(FileUrl(remote), [&] {
      curl_easy_setopt(easy_, CURLOPT_WRITEFUNCTION, &CurlFtpBackend::WriteToSink);
      curl_easy_setopt(easy_, CURLOPT_WRITEDATA, this);
      curl_easy_setopt(easy_, CURLOPT_TRANSFERTEXT, binary ? 0L : 1L);
    });
    sink_ = nullptr;
    if (sinkError_) std::rethrow_exception(std::exchange(sinkError_, nullptr));
    return ok;
  }

  bool RenameFile(const std::string& from, const std::string& to) override {
    return Ready() && Quote({"RNFR " + from, "RNTO " + to}, true);
  }
  bool CreateDir(const std::string& dir) override {
    return Ready() && Quote({"MKD " + dir}, true);
  }
  bool RemoveDir(const std::string& dir) override {
    return Ready() && Quote({"RMD " + dir}, true);
  }
  bool DeleteRemote(const std::string& name) override {
    return Ready() && Quote({"DELE " + name}, true);
  }

  bool SetCurrentDir(const std::string& dir) override {
    if (!Ready() || !Quote({"CWD " + dir, "PWD"}, true)) return false;
    if (!pwd_.empty()) cwd_ = pwd_;
    return true;
  }

  bool GetCurrentDir(std::string& dir) override {
    if (!Ready()) return false;
    dir = cwd_;
    return true;
  }

  bool Command(const std::string& command, bool) override {
    if (!Ready() || !Quote({command, "PWD"}, true)) return false;
    if (!pwd_.empty()) cwd_ = pwd_;
    return true;
  }

  bool OpenFile(const std::string& remote, bool forWrite, bool binary) override {
    if (!Ready()) return false;
    if (transfer_ != Transfer::None) return Fail(kTransferInProgress, "");
    Prepare(FileUrl(remote));
    pending_.clear();
    pendingPos_ = 0;
    received_.clear();
    receivedPos_ = 0;
    eof_ = paused_ = started_ = done_ = false;
    result_ = CURLE_OK;
    curl_easy_setopt(easy_, CURLOPT_TRANSFERTEXT, binary ? 0L : 1L);
    if (forWrite) {
      curl_easy_setopt(easy_, CURLOPT_UPLOAD, 1L);
      curl_easy_setopt(easy_, CURLOPT_READFUNCTION, &CurlFtpBackend::ReadPending);
      curl_easy_setopt(easy_, CURLOPT_READDATA, this);
    } else {
      curl_easy_setopt(easy_, CURLOPT_WRITEFUNCTION, &CurlFtpBackend::WriteReceived);
      curl_easy_setopt(easy_, CURLOPT_WRITEDATA, this);
    }
    curl_multi_add_handle(multi_, easy_);
    transfer_ = forWrite ? Transfer::Upload : Transfer::Download;
    // Open means the server accepted STOR or RETR: data is asked for or has come.
    Drive([&] { return started_ || received_.size() > 0; });
    if (done_ && result_ != CURLE_OK) {
      curl_multi_remove_handle(multi_, easy_);
      transfer_ = Transfer::None;
      return Finish(result_);
    }
    return true;
  }

  bool WriteFile(const char* data, std::size_t size) override {
    if (transfer_ != Transfer::Upload) return Fail(kInvalidHandle, "");
    if (done_) return EndedEarly();
    pending_.append(data, size);
    if (pending_.size() - pendingPos_ < kUploadFlushSize) return true;
    Resume();
    Drive([&] { return paused_; });
    if (done_) return EndedEarly();
    return true;
  }

  bool ReadFile(char* data, std::size_t size, std::size_t& got) override {
    got = 0;
    if (transfer_ != Transfer::Download) return Fail(kInvalidHandle, "");
    while (received_.size() - receivedPos_ < size && !done_) {
      if (paused_) Resume();
      Drive([&] { return received_.size() - receivedPos_ >= size || paused_; });
    }
    const std::size_t avail = received_.size() - receivedPos_;
    if (avail < size && done_ && result_ != CURLE_OK) return Finish(result_);
    got = avail < size ? avail : size;
    std::memcpy(data, received_.data() + receivedPos_, got);
    receivedPos_ += got;
    if (receivedPos_ >= kDownloadBufferLimit) {
      received_.erase(0, receivedPos_);
      receivedPos_ = 0;
    }
    return true;
  }

  bool CloseFile() override {
    if (transfer_ == Transfer::None) return Fail(kInvalidHandle, "");
    if (transfer_ == Transfer::Download) {
      // Read to its end, the transfer's result stands; left early, it is simply dropped.
      const bool ended = done_ && receivedPos_ == received_.size();
      AbortTransfer();
      return ended ? Finish(result_) : true;
    }
    eof_ = true;
    if (!done_) {
      Resume();
      Drive([] { return false; });
    }
    curl_multi_remove_handle(multi_, easy_);
    transfer_ = Transfer::None;
    return Finish(result_);
  }

  void AbortFile() override {
    if (transfer_ == Transfer::None) return;
    // Closed as they stand, the connections would end with a normal close, which a server
    // takes for the end of an upload; reset, they tell it the transfer was cut short.
    const linger reset{1, 0};
    for (curl_socket_t s : sockets_) setsockopt(s, SOL_SOCKET, SO_LINGER, &reset, sizeof reset);
    AbortTransfer();
  }

  bool FindFirst(const std::string& pattern, FindData& found) override {
    CloseFind();
    if (!Ready()) return false;
    const std::size_t slash = pattern.rfind('/');
    std::string folder = slash == std::string::npos ? "" : pattern.substr(0, slash);
    if (slash == 0) folder = "/";
    const std::string mask = slash == std::string::npos ? pattern : pattern.substr(slash + 1);
    std::string dir = Resolve(folder);
    if (dir.empty() || dir.back() != '/') dir += '/';
    // The listing is read line by line as it arrives; only matching entries are kept.
    ListingReader reader(mlsd_ ? ListingFormat::Mlsd : ListingFormat::List,
                         UnixSecondsToFileTimeNow(), [&](FindData&& d) {
                           if (MatchesSearchMask(d.name, mask)) found_.push_back(std::move(d));
                         });
    const bool ok = Run(base_ + "/" + Encode(dir), [&] {
      curl_easy_setopt(easy_, CURLOPT_WRITEFUNCTION, &CurlFtpBackend::FeedListing);
      curl_easy_setopt(easy_, CURLOPT_WRITEDATA, &reader);
      if (mlsd_) curl_easy_setopt(easy_, CURLOPT_CUSTOMREQUEST, "MLSD");
    });
    if (!ok) {
      found_.clear();
      return false;
    }
    reader.Finish();
    finding_ = true;
    foundPos_ = 0;
    return FindNext(found);
  }

  bool FindNext(FindData& found) override {
    if (!finding_) return Fail(kInvalidHandle, "");
    if (foundPos_ >= found_.size()) return Fail(kNoMoreFiles, "");
    found = found_[foundPos_++];
    return true;
  }

  void CloseFind() override {
    finding_ = false;
    found_.clear();
  }

  std::uint32_t ErrorCode() const override { return error_; }

  std::string ErrorText(std::uint32_t code) override {
    if (code == error_ && !errorText_.empty()) return errorText_;
    return DefaultText(code);
  }

  std::string LastResponse() override { return lastReply_; }

 private:
  enum class Transfer { None, Upload, Download };

  static std::uint64_t UnixSecondsToFileTimeNow() {
    return (static_cast<std::uint64_t>(std::time(nullptr)) + 11644473600ULL) * 10000000ULL;
  }

  bool Fail(std::uint32_t code, std::string text) {
    error_ = code;
    errorText_ = std::move(text);
    return false;
  }

  bool Ready() {
    if (!connected_) return Fail(kInvalidHandle, "");
    if (transfer_ != Transfer::None) return Fail(kTransferInProgress, "");
    return true;
  }

  // An absolute remote path: absolute ones as they are, others below the current folder.
  std::string Resolve(const std::string& path) const {
    if (!path.empty() && path[0] == '/') return path;
    if (path.empty()) return cwd_;
    return cwd_ + (cwd_.empty() || cwd_.back() != '/' ? "/" : "") + path;
  }

  std::string FileUrl(const std::string& remote) const {
    return base_ + "/" + Encode(Resolve(remote));
  }

  // Resets the handle to the session's settings and the given URL.
  void Prepare(const std::string& url) {
    curl_easy_reset(easy_);
    errorBuffer_[0] = '\0';
    replyLines_.clear();
    lastReplyCode_ = 0;
    pwd_.clear();
    curl_easy_setopt(easy_, CURLOPT_URL, url.c_str());
    curl_easy_setopt(easy_, CURLOPT_USERNAME, user_.c_str());
    curl_easy_setopt(easy_, CURLOPT_PASSWORD, password_.c_str());
    if (!proxyUser_.empty()) curl_easy_setopt(easy_, CURLOPT_PROXYUSERNAME, proxyUser_.c_str());
    if (!proxyPassword_.empty()) {
      curl_easy_setopt(easy_, CURLOPT_PROXYPASSWORD, proxyPassword_.c_str());
    }
    curl_easy_setopt(easy_, CURLOPT_ERRORBUFFER, errorBuffer_);
    curl_easy_setopt(easy_, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(easy_, CURLOPT_FTP_FILEMETHOD, static_cast<long>(CURLFTPMETHOD_NOCWD));
    curl_easy_setopt(easy_, CURLOPT_FTPPORT, passive_ ? nullptr : "-");
    curl_easy_setopt(easy_, CURLOPT_CONNECTTIMEOUT, 30L);
    curl_easy_setopt(easy_, CURLOPT_SERVER_RESPONSE_TIMEOUT, 60L);
    // Less than a byte a second over the limit is no progress.
    curl_easy_setopt(easy_, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(easy_, CURLOPT_LOW_SPEED_TIME, static_cast<long>(noProgressLimit_.count()));
    // Every socket is known, so that an aborted upload can reset its connections.
    curl_easy_setopt(easy_, CURLOPT_SOCKOPTFUNCTION, &CurlFtpBackend::OnSocketOpened);
    curl_easy_setopt(easy_, CURLOPT_SOCKOPTDATA, this);
    curl_easy_setopt(easy_, CURLOPT_CLOSESOCKETFUNCTION, &CurlFtpBackend::CloseSocket);
    curl_easy_setopt(easy_, CURLOPT_CLOSESOCKETDATA, this);
    curl_easy_setopt(easy_, CURLOPT_BUFFERSIZE, 102400L);
    curl_easy_setopt(easy_, CURLOPT_HEADERFUNCTION, &CurlFtpBackend::OnReplyLine);
    curl_easy_setopt(easy_, CURLOPT_HEADERDATA, this);
  }

  template <typename Setup>
  bool Run(const std::string& url, Setup setup) {
    Prepare(url);
    setup();
    done_ = false;
    result_ = CURLE_OK;
    curl_multi_add_handle(multi_, easy_);
    Drive([] { return false; });
    curl_multi_remove_handle(multi_, easy_);
    return Finish(result_);
  }

  // Sends commands only, each after a CWD to the current folder when relative is set.
  bool Quote(const std::vector<std::string>& commands, bool inCurrentFolder) {
    curl_slist* list = nullptr;
    if (inCurrentFolder) list = curl_slist_append(list, ("CWD " + cwd_).c_str());
    for (const std::string& c : commands) list = curl_slist_append(list, c.c_str());
    const bool ok = Run(base_ + "/", [&] {
      curl_easy_setopt(easy_, CURLOPT_NOBODY, 1L);
      curl_easy_setopt(easy_, CURLOPT_QUOTE, list);
    });
    curl_slist_free_all(list);
    return ok;
  }

  // Runs the transfer until it ends or until ready() holds.
  template <typename Ready>
  void Drive(Ready ready) {
    for (;;) {
      int running = 0;
      curl_multi_perform(multi_, &running);
      int left = 0;
      while (CURLMsg* msg = curl_multi_info_read(multi_, &left)) {
        if (msg->msg == CURLMSG_DONE) {
          done_ = true;
          result_ = msg->data.result;
        }
      }
      if (done_ || ready()) return;
      // A short wait: while a passive data connection is being set up libcurl does not
      // always hand out a socket to wait on, and a long wait would stall each transfer.
      curl_multi_poll(multi_, nullptr, 0, 10, nullptr);
    }
  }

  void Resume() {
    paused_ = false;
    curl_easy_pause(easy_, CURLPAUSE_CONT);
  }

  void AbortTransfer() {
    curl_multi_remove_handle(multi_, easy_);
    transfer_ = Transfer::None;
  }

  bool EndedEarly() {
    if (result_ != CURLE_OK) return Finish(result_);
    return Fail(kConnectionAborted, "the server ended the transfer early");
  }

  // Turns a libcurl result into the code that means the same.
  bool Finish(CURLcode result) {
    if (result == CURLE_OK) return true;
    std::string text = errorBuffer_;
    // In active mode libcurl notes a harmless failure to print an address first, and that
    // note would stand for every later failure.
    if (text.empty() || text.find("inet_ntop() failed") != std::string::npos) {
      text = curl_easy_strerror(result);
    }
    std::uint32_t code;
    switch (result) {
      case CURLE_LOGIN_DENIED: code = kLoginFailure; break;
      case CURLE_OPERATION_TIMEDOUT: code = kTimeout; break;
      case CURLE_COULDNT_RESOLVE_HOST:
      case CURLE_COULDNT_RESOLVE_PROXY: code = kNameNotResolved; break;
      default:
        if (lastReplyCode_ >= 400) {
          code = kExtendedError;
        } else if (result == CURLE_COULDNT_CONNECT || result == CURLE_FTP_ACCEPT_FAILED ||
                   result == CURLE_FTP_ACCEPT_TIMEOUT || result == CURLE_FTP_CANT_GET_HOST) {
          code = kCannotConnect;
        } else if (result == CURLE_RECV_ERROR || result == CURLE_SEND_ERROR ||
                   result == CURLE_GOT_NOTHING || result == CURLE_PARTIAL_FILE) {
          code = kConnectionAborted;
        } else {
          code = kInternalError;
        }
    }
    // A failed command leaves the connection usable; a broken one is dropped by libcurl.
    return Fail(code, text);
  }

  // Every line the server sends on the control connection.
  static size_t OnReplyLine(char* data, size_t size, size_t count, void* user) {
    auto* self = static_cast<CurlFtpBackend*>(user);
    std::string line(data, size * count);
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
    if (self->replyLines_.size() < kReplyKeep) {
      self->replyLines_ += self->replyLines_.empty() ? line : "\r\n" + line;
      if (self->replyLines_.size() > kReplyKeep) self->replyLines_.resize(kReplyKeep);
    }
    const bool final = line.size() >= 3 && std::isdigit(static_cast<unsigned char>(line[0])) &&
                       std::isdigit(static_cast<unsigned char>(line[1])) &&
                       std::isdigit(static_cast<unsigned char>(line[2])) &&
                       (line.size() == 3 || line[3] == ' ');
    if (final) {
      const int code = std::stoi(line.substr(0, 3));
      self->lastReply_ = self->replyLines_;
      self->lastReplyCode_ = code;
      if (code == 257) {
        const std::size_t open = line.find('"');
        if (open != std::string::npos) {
          // The folder is quoted; a doubled quote stands for one.
          std::string dir;
          for (std::size_t i = open + 1; i < line.size(); ++i) {
            if (line[i] == '"') {
              if (i + 1 < line.size() && line[i + 1] == '"') {
                dir += '"';
                ++i;
              } else {
                break;
              }
            } else {
              dir += line[i];
            }
          }
          self->pwd_ = dir;
        }
      } else if (code == 211 && self->replyLines_.rfind("211-", 0) == 0) {
        self->feat_ = "\n" + self->replyLines_;
      }
      self->replyLines_.clear();
    }
    return size * count;
  }

  static size_t FeedListing(char* data, size_t size, size_t count, void* user) {
    static_cast<ListingReader*>(user)->Feed(std::string_view(data, size * count));
    return size * count;
  }

  // Hands downloaded bytes on; an exception cannot cross libcurl, so it ends the transfer
  // and is thrown again once libcurl has returned.
  static size_t WriteToSink(char* data, size_t size, size_t count, void* user) {
    auto* self = static_cast<CurlFtpBackend*>(user);
    try {
      (*self->sink_)(data, size * count);
    } catch (...) {
      self->sinkError_ = std::current_exception();
      return 0;
    }
    return size * count;
  }

  static int OnSocketOpened(void* user, curl_socket_t s, curlsocktype) {
    static_cast<CurlFtpBackend*>(user)->sockets_.insert(s);
    return CURL_SOCKOPT_OK;
  }

  static int CloseSocket(void* user, curl_socket_t s) {
    static_cast<CurlFtpBackend*>(user)->sockets_.erase(s);
    return close(s);
  }

  static size_t ReadPending(char* buffer, size_t size, size_t count, void* user) {
    auto* self = static_cast<CurlFtpBackend*>(user);
    self->started_ = true;
    const std::size_t avail = self->pending_.size() - self->pendingPos_;
    if (avail == 0) {
      if (self->eof_) return 0;
      self->paused_ = true;
      return CURL_READFUNC_PAUSE;
    }
    const std::size_t n = avail < size * count ? avail : size * count;
    std::memcpy(buffer, self->pending_.data() + self->pendingPos_, n);
    self->pendingPos_ += n;
    if (self->pendingPos_ == self->pending_.size()) {
      self->pending_.clear();
      self->pendingPos_ = 0;
    }
    return n;
  }

  static size_t WriteReceived(char* data, size_t size, size_t count, void* user) {
    auto* self = static_cast<CurlFtpBackend*>(user);
    if (self->received_.size() - self->receivedPos_ >= kDownloadBufferLimit) {
      self->paused_ = true;
      return CURL_WRITEFUNC_PAUSE;
    }
    self->received_.append(data, size * count);
    return size * count;
  }

  CURLM* multi_ = nullptr;
  CURL* easy_ = nullptr;
  bool session_ = false;
  bool connected_ = false;
  bool passive_ = false;
  bool mlsd_ = false;
  std::string base_, user_, password_, proxyUser_, proxyPassword_;
  std::string cwd_ = "/";
  std::string pwd_, feat_;
  std::string replyLines_, lastReply_;
  int lastReplyCode_ = 0;
  char errorBuffer_[CURL_ERROR_SIZE] = {};
  std::uint32_t error_ = 0;
  std::string errorText_;

  Transfer transfer_ = Transfer::None;
  std::string pending_, received_;
  std::size_t pendingPos_ = 0, receivedPos_ = 0;
  bool eof_ = false, paused_ = false, started_ = false, done_ = false;
  CURLcode result_ = CURLE_OK;
  std::chrono::seconds noProgressLimit_{60};
  std::set<curl_socket_t> sockets_;
  const DataSink* sink_ = nullptr;
  std::exception_ptr sinkError_;

  bool finding_ = false;
  std::vector<FindData> found_;
  std::size_t foundPos_ = 0;
};

}  // namespace

std::unique_ptr<FtpBackend> MakeFtpBackend() { return std::make_unique<CurlFtpBackend>(); }

}  // namespace kelv
