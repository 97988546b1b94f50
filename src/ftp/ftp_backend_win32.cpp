// The FTP back-end on Windows: WinINet (W functions; texts converted from UTF-8 here).
#include <windows.h>
#include <wininet.h>

#include <vector>

#include "ftp/ftp_backend.h"
#include "platform/wide_text.h"

namespace kelv {
namespace {

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

class WinInetFtpBackend final : public FtpBackend {
 public:
  ~WinInetFtpBackend() override {
    CloseConnection();
    CloseSession();
  }

  bool Autodial() override {
    return InternetAutodial(INTERNET_AUTODIAL_FORCE_ONLINE, nullptr) ? true : Fail();
  }

  bool OpenSession(const std::string& agent) override {
    session_ = InternetOpenW(Utf8ToWide(agent).c_str(), INTERNET_OPEN_TYPE_PRECONFIG, nullptr,
                             nullptr, 0);
    return session_ ? true : Fail();
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
    connection_ = InternetConnectW(session_, Utf8ToWide(server.host).c_str(), server.port,
                                   Utf8ToWide(user).c_str(), Utf8ToWide(password).c_str(),
                                   INTERNET_SERVICE_FTP, passive ? INTERNET_FLAG_PASSIVE : 0, 0);
    return connection_ ? true : Fail();
  }

  void CloseConnection() override {
    CloseFind();
    Close(file_);
    Close(connection_);
  }

  void CloseSession() override { Close(session_); }

  bool PutFile(const std::string& local, const std::string& remote, bool binary) override {
    return Check(FtpPutFileW(connection_, Utf8ToWide(local).c_str(), Utf8ToWide(remote).c_str(),
                             Type(binary), 0));
  }

  bool GetFile(const std::string& remote, const std::string& local, bool binary) override {
    return Check(FtpGetFileW(connection_, Utf8ToWide(remote).c_str(), Utf8ToWide(local).c_str(),
                             FALSE, FILE_ATTRIBUTE_NORMAL, Type(binary) | INTERNET_FLAG_RELOAD,
                             0));
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
    file_ = FtpOpenFileW(connection_, Utf8ToWide(remote).c_str(),
                         forWrite ? GENERIC_WRITE : GENERIC_READ, Type(binary), 0);
    return file_ ? true : Fail();
  }

  bool WriteFile(const char* data, std::size_t size) override {
    DWORD written = 0;
    if (!InternetWriteFile(file_, data, static_cast<DWORD>(size), &written)) return Fail();
    return true;
  }

  bool ReadFile(char* data, std::size_t size, std::size_t& got) override {
    // A read may return less than asked while more is on its way; zero bytes is the end.
    got = 0;
    while (got < size) {
      DWORD n = 0;
      if (!InternetReadFile(file_, data + got, static_cast<DWORD>(size - got), &n)) return Fail();
      if (n == 0) break;
      got += n;
    }
    return true;
  }

  bool CloseFile() override {
    if (!file_) return Check(FALSE);
    const BOOL ok = InternetCloseHandle(file_);
    file_ = nullptr;
    return Check(ok);
  }


  bool FindFirst(const std::string& pattern, FindData& found) override {
    WIN32_FIND_DATAW data{};
    const std::wstring wide = Utf8ToWide(pattern);
    find_ = FtpFindFirstFileW(connection_, wide.empty() ? nullptr : wide.c_str(), &data, 0, 0);
    if (!find_) {
      Fail();
      // Wine's WinINet ends a search that matched nothing without an error code; Windows
      // says "no more files" there.
      if (error_ == 0) error_ = ERROR_NO_MORE_FILES;
      return false;
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
  static DWORD Type(bool binary) {
    return binary ? FTP_TRANSFER_TYPE_BINARY : FTP_TRANSFER_TYPE_ASCII;
  }

  bool Fail() {
    error_ = GetLastError();
    return false;
  }

  bool Check(BOOL ok) { return ok ? true : Fail(); }

  static void Close(HINTERNET& handle) {
    if (handle) InternetCloseHandle(handle);
    handle = nullptr;
  }

  HINTERNET session_ = nullptr;
  HINTERNET connection_ = nullptr;
  HINTERNET file_ = nullptr;
  HINTERNET find_ = nullptr;
  DWORD error_ = 0;
};

}  // namespace

std::unique_ptr<FtpBackend> MakeFtpBackend() { return std::make_unique<WinInetFtpBackend>(); }

}  // namespace kelv
