// The FTP back-end on Windows: WinINet (W functions; texts converted from UTF-8 here).
//
// Transfers go through FtpOpenFile and InternetReadFile / InternetWriteFile, whole-file ones
// too, so that every blocking call is watched: WinINet on Windows keeps the receive and send
// timeouts it is given, but Wine's ignores them and can wait for ever on a server that stops
// sending or reading. When a watched call makes no progress for the no-progress limit, the
// watch shuts down the sockets of the connection (closing a handle does not wake a call
// that is blocked on it under Wine), the call returns, and the transfer fails with the
// timeout code; the connection is then closed. A listing is one library call that reads
// the whole folder, with the library's own per-line limit; a listing that did not end with
// the server's completion reply is a failure, not an empty or short folder.
//
// WinINet gives no access to its sockets; they are found as the ones that appear in the
// process while a connection or transfer is being opened. Like the rest of cFTP this
// assumes one thread doing FTP work at a time.
#include <winsock2.h>
#include <windows.h>
#include <wininet.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <vector>

#include "ftp/ftp_backend.h"
#include "ftp/stall_watch.h"
#include "platform/wide_text.h"

namespace kelv {
namespace {

// Bytes asked of the library per read or write in whole-file transfers.
constexpr std::size_t kBlock = 64 * 1024;
// Handle values tried when looking for the library's sockets.
constexpr UINT_PTR kHandleScanEnd = 0x10000;

std::uint64_t ToUint64(const FILETIME& t) {
  return (static_cast<std::uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
}

FindData ToFindData(const WIN32_FIND_DATAW& w) {
  FindData d;
  d.attributes = w.dwFileAttributes;
  d.creationTime = ToUint64(w.ftCreationTime);
  d.lastAccessTime = ToUint64(w.ftLastAccessTime);
  d.lastWriteTime = ToUint64(w.ftLastWriteTime);
  d.size = (static_cast<std::uint64_t>(w.nFileSizeHigh) << 32) | w.nFileSizeLow;
  d.name = WideToUtf8(w.cFileName);
  return d;
}

// The sockets open in this process. WinINet gives no access to the sockets of its
// connections; sockets are kernel handles, so the handle values are tried in turn.
std::set<SOCKET> OpenSockets() {
  std::set<SOCKET> out;
  for (UINT_PTR h = 4; h < kHandleScanEnd; h += 4) {
    int type = 0;
    int length = sizeof type;
    if (getsockopt(static_cast<SOCKET>(h), SOL_SOCKET, SO_TYPE, reinterpret_cast<char*>(&type),
                   &length) == 0) {
      out.insert(static_cast<SOCKET>(h));
    }
  }
  return out;
}

// The sockets opened since before was taken.
std::vector<SOCKET> SocketsOpenedSince(const std::set<SOCKET>& before) {
  std::vector<SOCKET> out;
  for (SOCKET s : OpenSockets()) {
    if (!before.count(s)) out.push_back(s);
  }
  return out;
}

class WinInetFtpBackend final : public FtpBackend {
 public:
  WinInetFtpBackend() {
    WSADATA data;
    winsock_ = WSAStartup(MAKEWORD(2, 2), &data) == 0;
  }

  ~WinInetFtpBackend() override {
    CloseConnection();
    CloseSession();
    if (winsock_) WSACleanup();
  }

  void SetNoProgressLimit(std::chrono::seconds limit) override {
    limit_ = limit;
    watch_.SetLimit(limit);
    ApplyTimeouts();
  }

  bool Autodial() override {
    return InternetAutodial(INTERNET_AUTODIAL_FORCE_ONLINE, nullptr) ? true : Fail();
  }

  bool OpenSession(const std::string& agent) override {
    session_ = InternetOpenW(Utf8ToWide(agent).c_str(), INTERNET_OPEN_TYPE_PRECONFIG, nullptr,
                             nullptr, 0);
    if (!session_) return Fail();
    ApplyTimeouts();
    return true;
  }

  void SetProxyCredentials(const std::string& user, const std::string& password) override {
    std::wstring u = Utf8ToWide(user), p = Utf8ToWide(password);
    InternetSetOptionW(session_, INTERNET_OPTION_PROXY_USERNAME, &u[0],
                       static_cast<DWORD>(u.size() + 1));
    InternetSetOptionW(session_, INTERNET_OPTION_PROXY_PASSWORD, &p[0],
                       static_cast<DWORD>(p.size() + 1));
  }

  bool Connect(const ServerAddress& server, const std::string& user,
               const std::string& password, bool passive) override {
    const std::set<SOCKET> before = OpenSockets();
    connection_ = InternetConnectW(session_, Utf8ToWide(server.host).c_str(), server.port,
                                   Utf8ToWide(user).c_str(), Utf8ToWide(password).c_str(),
                                   INTERNET_SERVICE_FTP, passive ? INTERNET_FLAG_PASSIVE : 0, 0);
    if (!connection_) return Fail();
    std::lock_guard<std::mutex> lock(socketsMutex_);
    controlSockets_ = SocketsOpenedSince(before);
    return true;
  }

  void CloseConnection() override {
    CloseFind();
    Close(file_);
    Close(connection_);
    std::lock_guard<std::mutex> lock(socketsMutex_);
    controlSockets_.clear();
    dataSockets_.clear();
  }

  void CloseSession() override { Close(session_); }

  bool PutFile(const std::string& local, const std::string& remote, bool binary) override {
    // The local file is opened first, so that a missing one sends nothing.
    std::ifstream in(std::filesystem::u8path(local), std::ios::binary);
    if (!in) return Fail(std::filesystem::exists(std::filesystem::u8path(local))
                             ? ERROR_ACCESS_DENIED
                             : ERROR_FILE_NOT_FOUND);
    if (!OpenFile(remote, true, binary)) return false;
    TransferGuard guard(*this);
    std::vector<char> buffer(kBlock);
    while (in) {
      in.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
      const auto n = static_cast<std::size_t>(in.gcount());
      if (n != 0 && !WriteFile(buffer.data(), n)) return false;
    }
    if (in.bad()) return Fail(ERROR_READ_FAULT);
    guard.Release();
    return CloseFile();
  }

  bool GetFile(const std::string& remote, const DataSink& sink, bool binary) override {
    if (!OpenFile(remote, false, binary)) return false;
    TransferGuard guard(*this);
    std::vector<char> buffer(kBlock);
    for (;;) {
      std::size_t got = 0;
      if (!ReadFile(buffer.data(), buffer.size(), got)) return false;
      if (got != 0) sink(buffer.data(), got);
      if (got < buffer.size()) break;
    }
    guard.Release();
    return CloseFile();
  }

  bool RenameFile(const std::string& from, const std::string& to) override {
    return Check(FtpRenameFileW(connection_, Utf8ToWide(from).c_str(), Utf8ToWide(to).c_str()));
  }
  bool CreateDir(const std::string& dir) override {
    return Check(FtpCreateDirectoryW(connection_, Utf8ToWide(dir).c_str()));
  }
  bool RemoveDir(const std::string& dir) override {
    return Check(FtpRemoveDirectoryW(connection_, Utf8ToWide(dir).c_str()));
  }
  bool DeleteRemote(const std::string& name) override {
    return Check(FtpDeleteFileW(connection_, Utf8ToWide(name).c_str()));
  }
  bool SetCurrentDir(const std::string& dir) override {
    return Check(FtpSetCurrentDirectoryW(connection_, Utf8ToWide(dir).c_str()));
  }

  bool GetCurrentDir(std::string& dir) override {
    std::vector<wchar_t> buffer(1024, L'\0');
    DWORD length = static_cast<DWORD>(buffer.size());
    if (!FtpGetCurrentDirectoryW(connection_, buffer.data(), &length)) return Fail();
    dir = WideToUtf8(buffer.data());
    return true;
  }

  bool OpenFile(const std::string& remote, bool forWrite, bool binary) override {
    const std::set<SOCKET> before = OpenSockets();
    HINTERNET file = nullptr;
    const bool stalled = Watched([&] {
      file = FtpOpenFileW(connection_, Utf8ToWide(remote).c_str(),
                          forWrite ? GENERIC_WRITE : GENERIC_READ, Type(binary), 0);
      return file != nullptr;
    });
    if (!file) return stalled ? Stalled() : Fail(lastCallError_);
    file_ = file;
    upload_ = forWrite;
    sawEnd_ = false;
    std::lock_guard<std::mutex> lock(socketsMutex_);
    dataSockets_ = SocketsOpenedSince(before);
    return stalled ? Stalled() : true;
  }

  bool WriteFile(const char* data, std::size_t size) override {
    while (size != 0) {
      DWORD written = 0;
      const bool stalled = Watched([&] {
        return InternetWriteFile(file_, data, static_cast<DWORD>(size), &written) != FALSE;
      });
      if (stalled) return Stalled();
      if (!lastCallOk_) return Fail(lastCallError_);
      if (written == 0) return Fail(ERROR_INTERNET_CONNECTION_ABORTED);
      data += written;
      size -= written;
    }
    return true;
  }

  bool ReadFile(char* data, std::size_t size, std::size_t& got) override {
    // A read may return less than asked while more is on its way; zero bytes is the end.
    got = 0;
    while (got < size) {
      DWORD n = 0;
      const bool stalled = Watched([&] {
        return InternetReadFile(file_, data + got, static_cast<DWORD>(size - got), &n) != FALSE;
      });
      if (stalled) return Stalled();
      if (!lastCallOk_) return Fail(lastCallError_);
      if (n == 0) {
        sawEnd_ = true;
        break;
      }
      got += n;
    }
    return true;
  }

  bool CloseFile() override {
    if (!file_) return Fail(ERROR_INVALID_HANDLE);
    // An upload, or a download read to its end, is judged by the server's final reply,
    // which the library reads when the handle is closed.
    const bool judged = upload_ || sawEnd_;
    HINTERNET file = file_;
    file_ = nullptr;
    const bool stalled = Watched([&] { return InternetCloseHandle(file) != FALSE; });
    ForgetDataSockets();
    if (stalled) return Stalled();
    if (!lastCallOk_) return Fail(lastCallError_);
    return judged ? FinalReplyOk() : true;
  }

  void AbortFile() override {
    if (!file_) return;
    {
      // Reset rather than closed, the data connection tells the server the transfer was
      // cut short, so it does not keep a partial upload as a whole one.
      std::lock_guard<std::mutex> lock(socketsMutex_);
      const LINGER reset{1, 0};
      for (SOCKET s : dataSockets_) {
        setsockopt(s, SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&reset),
                   sizeof reset);
      }
    }
    HINTERNET file = file_;
    file_ = nullptr;
    const DWORD keep = error_;
    if (Watched([&] { return InternetCloseHandle(file) != FALSE; })) DropConnection();
    ForgetDataSockets();
    error_ = keep;
  }

  bool FindFirst(const std::string& pattern, FindData& found) override {
    WIN32_FIND_DATAW data{};
    const std::wstring wide = Utf8ToWide(pattern);
    find_ = FtpFindFirstFileW(connection_, wide.empty() ? nullptr : wide.c_str(), &data, 0, 0);
    const DWORD error = find_ ? 0 : GetLastError();
    // The library gives up on a listing that stalls and keeps what it read, as if the
    // folder ended there; only the server's completion reply says it did.
    const bool listed = find_ || error == 0 || error == ERROR_NO_MORE_FILES;
    if (listed && !ListingCompleted()) {
      CloseFind();
      return false;
    }
    if (!find_) {
      // Wine's WinINet ends a search that matched nothing without an error code; Windows
      // says "no more files" there.
      return Fail(error == 0 ? ERROR_NO_MORE_FILES : error);
    }
    found = ToFindData(data);
    return true;
  }

  bool FindNext(FindData& found) override {
    WIN32_FIND_DATAW data{};
    if (!InternetFindNextFileW(find_, &data)) return Fail();
    found = ToFindData(data);
    return true;
  }

  void CloseFind() override { Close(find_); }

  bool Command(const std::string& command, bool binary) override {
    return Check(FtpCommandW(connection_, FALSE, Type(binary),
                             Utf8ToWide(command).c_str(), 0, nullptr));
  }

  std::uint32_t ErrorCode() const override { return error_; }

  std::string ErrorText(std::uint32_t code) override {
    wchar_t buffer[256] = {};
    const DWORD n = FormatMessageW(
        FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        GetModuleHandleW(L"wininet.dll"), code, 0, buffer, 256, nullptr);
    return WideToUtf8(std::wstring(buffer, n));
  }

  std::string LastResponse() override {
    std::vector<wchar_t> buffer(2048, L'\0');
    DWORD error = 0, length = static_cast<DWORD>(buffer.size());
    if (!InternetGetLastResponseInfoW(&error, buffer.data(), &length)) return std::string();
    return WideToUtf8(std::wstring(buffer.data(), wcsnlen(buffer.data(), buffer.size())));
  }

 private:
  // Aborts the open transfer when a whole-file transfer leaves early, an exception from
  // the data sink included.
  class TransferGuard {
   public:
    explicit TransferGuard(WinInetFtpBackend& backend) : backend_(backend) {}
    ~TransferGuard() {
      if (armed_) backend_.AbortFile();
    }
    void Release() { armed_ = false; }

   private:
    WinInetFtpBackend& backend_;
    bool armed_ = true;
  };

  static DWORD Type(bool binary) {
    return binary ? FTP_TRANSFER_TYPE_BINARY : FTP_TRANSFER_TYPE_ASCII;
  }

  bool Fail() { return Fail(GetLastError()); }

  bool Fail(DWORD code) {
    error_ = code;
    return false;
  }

  bool Check(BOOL ok) { return ok ? true : Fail(); }

  static void Close(HINTERNET& handle) {
    if (handle) InternetCloseHandle(handle);
    handle = nullptr;
  }

  // The library keeps these on Windows (Wine ignores them, hence the watch).
  void ApplyTimeouts() {
    if (!session_) return;
    DWORD ms = static_cast<DWORD>(std::chrono::milliseconds(limit_).count());
    for (DWORD option : {INTERNET_OPTION_RECEIVE_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT,
                         INTERNET_OPTION_DATA_RECEIVE_TIMEOUT, INTERNET_OPTION_DATA_SEND_TIMEOUT}) {
      InternetSetOptionW(session_, option, &ms, sizeof ms);
    }
  }

  // Runs one blocking library call under the watch; true when the watch had to break it.
  // The call's result and error code are kept in lastCallOk_ and lastCallError_.
  template <typename Call>
  bool Watched(Call call) {
    watch_.Start();
    lastCallOk_ = call();
    lastCallError_ = lastCallOk_ ? 0 : GetLastError();
    return watch_.Stop();
  }

  // Runs on the watch's thread when a call stalls: shuts down the connection's sockets,
  // which makes the blocked call return.
  void BreakStalledCall() {
    std::lock_guard<std::mutex> lock(socketsMutex_);
    const LINGER reset{1, 0};
    for (const std::vector<SOCKET>* sockets : {&dataSockets_, &controlSockets_}) {
      for (SOCKET s : *sockets) {
        setsockopt(s, SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&reset),
                   sizeof reset);
        shutdown(s, SD_BOTH);
      }
    }
  }

  // A stalled call ends the connection: its sockets are shut down.
  bool Stalled() {
    DropConnection();
    return Fail(ERROR_INTERNET_TIMEOUT);
  }

  void DropConnection() {
    Close(file_);
    CloseConnection();
  }

  void ForgetDataSockets() {
    std::lock_guard<std::mutex> lock(socketsMutex_);
    dataSockets_.clear();
  }

  // Judges a transfer by the server's final reply: a failure reply (4xx, 5xx) is a refusal
  // (12003, the reply kept as the message), a preliminary one (1xx: the final reply never
  // came) a broken connection. A library that keeps no reply text leaves the success.
  bool FinalReplyOk() {
    const std::string reply = LastResponse();
    if (reply.empty() || reply[0] == '2') return true;
    if (reply[0] == '4' || reply[0] == '5') return Fail(ERROR_INTERNET_EXTENDED_ERROR);
    return Fail(ERROR_INTERNET_CONNECTION_ABORTED);
  }

  // After a listing the library read: true when it ended with the server's completion
  // reply; false with the failure set when the server reported it failed (4xx, 5xx) or
  // when the library gave up on a listing that stalled (the reply was then never read).
  bool ListingCompleted() {
    const std::string reply = LastResponse();
    if (reply.empty() || reply[0] == '2') return true;
    if (reply[0] == '4' || reply[0] == '5') return Fail(ERROR_INTERNET_EXTENDED_ERROR);
    return Fail(ERROR_INTERNET_TIMEOUT);
  }

  HINTERNET session_ = nullptr;
  HINTERNET connection_ = nullptr;
  HINTERNET file_ = nullptr;
  HINTERNET find_ = nullptr;
  DWORD error_ = 0;
  bool winsock_ = false;
  bool upload_ = false;
  bool sawEnd_ = false;
  bool lastCallOk_ = false;
  DWORD lastCallError_ = 0;
  std::chrono::seconds limit_{60};
  std::mutex socketsMutex_;
  std::vector<SOCKET> controlSockets_;
  std::vector<SOCKET> dataSockets_;
  StallWatch watch_{[this] { BreakStalledCall(); }};
};

}  // namespace

std::unique_ptr<FtpBackend> MakeFtpBackend() { return std::make_unique<WinInetFtpBackend>(); }

}  // namespace kelv
