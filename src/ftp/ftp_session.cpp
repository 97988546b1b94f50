// cFTP: the FTP session logic shared by every OS, over the back-end of ftp_backend.h.
#include "ftp/ftp_session.h"

#include <algorithm>
#include <limits>

#include "dialogs/mensaje_preg.h"
#include "ftp/file_time.h"
#include "ftp/find_data.h"
#include "ftp/ftp_backend.h"
#include "ftp/local_file_time.h"
#include "ftp/server_address.h"
#include "ftp/transfer_file.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/ui_yield.h"
#include "text/error.h"
#include "text/toolbox.h"
#include "text/utf8.h"

namespace kelv {
namespace {

constexpr std::uint32_t kErrorNoMoreFiles = 18;
constexpr std::uint32_t kErrorPathNotFound = 3;
constexpr std::uint32_t kErrorAccessDenied = 5;
constexpr std::uint32_t kErrorWriteFault = 29;
constexpr std::uint32_t kErrorHandleEof = 38;
constexpr std::uint32_t kErrorInvalidName = 123;
constexpr std::uint32_t kErrorFileTooLarge = 223;
constexpr std::uint32_t kErrorMoreData = 234;
constexpr std::uint32_t kErrorExtended = 12003;
constexpr std::size_t kChunk = 255;
constexpr std::size_t kMessageLimit = 255;
constexpr std::size_t kReplyLimit = 2048;
constexpr std::uint64_t kMaxCount = std::numeric_limits<std::int32_t>::max();

// The first limit characters of text.
std::string CutToCharacters(const std::string& text, std::size_t limit) {
  if (text.size() <= limit) return text;  // never more characters than bytes
  const std::u32string cps = DecodeUtf8(text);
  if (cps.size() <= limit) return text;
  return EncodeUtf8(std::u32string_view(cps).substr(0, limit));
}

// Ends the remote file of a chunked transfer that leaves early as cut short, so that the
// server never takes a partial upload for a whole one.
class RemoteFileGuard {
 public:
  explicit RemoteFileGuard(FtpBackend& backend) : backend_(backend) {}
  ~RemoteFileGuard() {
    if (open_) backend_.AbortFile();
  }
  bool Close() {
    open_ = false;
    return backend_.CloseFile();
  }

 private:
  FtpBackend& backend_;
  bool open_ = true;
};

// Closes a remote search when the listing leaves, whichever way.
class FindGuard {
 public:
  explicit FindGuard(FtpBackend& backend) : backend_(backend) {}
  ~FindGuard() { backend_.CloseFind(); }

 private:
  FtpBackend& backend_;
};

}  // namespace

cFTP::cFTP() : cFTP(MakeFtpBackend()) {}

cFTP::cFTP(std::unique_ptr<FtpBackend> backend) : backend_(std::move(backend)) {
  backend_->SetNoProgressLimit(kDefaultNoProgressLimit);
}

cFTP::~cFTP() { CloseConnection(); }

void cFTP::OnFileTransferProgress(ProgressHandler handler) {
  progressHandlers_.push_back(std::move(handler));
}

void cFTP::OnErrorEnEnvio(ErrorHandler handler) { errorHandlers_.push_back(std::move(handler)); }

void cFTP::RaiseProgress(std::int32_t& current, std::int32_t& total) {
  for (auto& handler : progressHandlers_) handler(current, total);
}

bool cFTP::EjecFTPCommand(std::string_view strCommand) {
  // Line ends inside would make the text more than one command.
  if (strCommand.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos) {
    return false;
  }
  return backend_->Command(std::string(strCommand), true);
}

bool cFTP::Refused(std::initializer_list<std::string_view> texts, std::string_view context) {
  for (std::string_view text : texts) {
    if (text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos) {
      ReportError(kErrorInvalidName, context);
      return true;
    }
  }
  return false;
}

void cFTP::SetNoProgressLimit(std::chrono::seconds limit) {
  backend_->SetNoProgressLimit(limit);
}

std::shared_ptr<cDirList> cFTP::Directory() {
  if (!dirList_) dirList_ = std::make_shared<cDirList>();
  return dirList_;
}

bool cFTP::OpenConnection(std::string_view sServer, std::string_view sUser,
                          std::string_view sPassword, std::string_view sProxyUser,
                          std::string_view sProxyPass) {
  // The earlier connection and its session are both closed, so a reconnect leaks nothing.
  backend_->CloseConnection();
  backend_->CloseSession();
  if (Refused({sServer, sUser, sPassword, sProxyUser, sProxyPass}, "InternetConnect")) {
    return false;
  }
  if (!backend_->Autodial()) return false;
  if (!backend_->OpenSession("Tolve FTP Client")) {
    ReportError(backend_->ErrorCode(), "InternetOpen");
  }
  backend_->SetProxyCredentials(std::string(sProxyUser), std::string(sProxyPass));
  if (!backend_->Connect(SplitServerAddress(sServer), std::string(sUser),
                         std::string(sPassword), connectionFlags_ == kFlagPassive)) {
    ReportError(backend_->ErrorCode(), "InternetConnect");
    return false;
  }
  return true;
}

void cFTP::CloseConnection() {
  backend_->CloseConnection();
  backend_->CloseSession();
}

bool cFTP::SimpleFTPPutFile(std::string_view sLocal, std::string_view sRemote) {
  if (Refused({sRemote}, "SimpleFtpPutFile")) return false;
  if (backend_->PutFile(std::string(sLocal), std::string(sRemote), Binary())) return true;
  ReportError(backend_->ErrorCode(), "SimpleFtpPutFile");
  return false;
}

bool cFTP::RenameFTPFile(std::string_view sExisting, std::string_view sNewName) {
  if (Refused({sExisting, sNewName}, "RenameFTPFile")) return false;
  if (backend_->RenameFile(std::string(sExisting), std::string(sNewName))) return true;
  ReportError(backend_->ErrorCode(), "RenameFTPFile");
  return false;
}

bool cFTP::CreateFTPDirectory(std::string_view sDirectory) {
  if (Refused({sDirectory}, "CreateFTPDirectory")) return false;
  if (backend_->CreateDir(std::string(sDirectory))) return true;
  ReportError(backend_->ErrorCode(), "CreateFTPDirectory");
  return false;
}

bool cFTP::RemoveFTPDirectory(std::string_view sDirectory) {
  if (Refused({sDirectory}, "RemoveFTPDirectory")) return false;
  if (backend_->RemoveDir(std::string(sDirectory))) return true;
  ReportError(backend_->ErrorCode(), "RemoveFTPDirectory");
  return false;
}

bool cFTP::DeleteFTPFile(std::string_view sRemote) {
  if (Refused({sRemote}, "DeleteFTPFile")) return false;
  if (backend_->DeleteRemote(std::string(sRemote))) return true;
  ReportError(backend_->ErrorCode(), "DeleteFTPFile");
  return false;
}

bool cFTP::FTPUploadFile(std::string_view sLocal, std::string_view sRemote) {
  std::string local(sLocal), remote(sRemote);
  return FTPUploadFile(local, remote);
}

bool cFTP::FTPUploadFile(std::string& sLocal, std::string& sRemote) {
  sLocal = Trim(sLocal);
  sRemote = Trim(sRemote);
  if (sLocal.empty() || sRemote.empty()) return false;
  if (Refused({sRemote}, "FtpOpenFile:PutFile")) return false;
  // The local file is opened before the remote one, so a local file that cannot be read
  // never leaves an emptied remote file behind.
  LocalFileReader in(sLocal);
  if (in.Size() > kMaxCount) {
    ReportError(kErrorFileTooLarge, "FTPUploadFile");
    return false;
  }
  if (!backend_->OpenFile(sRemote, true, Binary())) {
    ReportError(backend_->ErrorCode(), "FtpOpenFile:PutFile");
    return false;
  }
  RemoteFileGuard file(*backend_);
  std::int32_t length = static_cast<std::int32_t>(in.Size());
  std::int32_t count = 0;
  const std::int32_t chunks = length / static_cast<std::int32_t>(kChunk);
  char buffer[kChunk];
  for (std::int32_t i = 0; i < chunks; ++i) {
    in.Read(buffer, kChunk);
    if (!backend_->WriteFile(buffer, kChunk)) {
      ReportError(backend_->ErrorCode(), "InternetWriteFile");
      return false;
    }
    YieldToWindowSystem();
    count += static_cast<std::int32_t>(kChunk);
    RaiseProgress(count, length);
    YieldToWindowSystem();
  }
  const std::size_t rest = static_cast<std::size_t>(in.Size() % kChunk);
  if (rest != 0) {
    in.Read(buffer, rest);
    if (!backend_->WriteFile(buffer, rest)) {
      ReportError(backend_->ErrorCode(), "InternetWriteFile2");
      return false;
    }
  }
  std::int32_t total = static_cast<std::int32_t>(in.Size());
  count = total;
  RaiseProgress(count, total);
  // An upload the server did not confirm is a failure, not a success.
  if (!file.Close()) {
    ReportError(backend_->ErrorCode(), "InternetCloseHandle");
    return false;
  }
  return true;
}

bool cFTP::FTPDownloadFile(std::string_view sLocal, std::string_view sRemote) {
  std::string local(sLocal), remote(sRemote);
  return FTPDownloadFile(local, remote);
}

bool cFTP::FTPDownloadFile(std::string& sLocal, std::string& sRemote) {
  sLocal = Trim(sLocal);
  sRemote = Trim(sRemote);
  if (sLocal.empty() || sRemote.empty()) return false;
  const std::int32_t size = GetFTPFileSize(sRemote);
  if (size <= 0) return false;
  if (!backend_->OpenFile(sRemote, false, Binary())) {
    ReportError(backend_->ErrorCode(), "FtpOpenFile:GetFile");
    return false;
  }
  RemoteFileGuard file(*backend_);
  LocalFileWriter out(sLocal);
  auto write = [&](const char* data, std::size_t n) { out.Write(data, n); };
  std::int32_t count = 0;
  if (!DownloadChunks(size, write, count)) return false;
  // The server has the last word: a transfer it reports as failed leaves the local file
  // as it was.
  if (!file.Close()) {
    ReportError(backend_->ErrorCode(), "InternetCloseHandle");
    return false;
  }
  out.Commit();
  std::int32_t total = count;
  RaiseProgress(count, total);
  return true;
}

bool cFTP::DownloadChunks(std::int32_t size,
                          const std::function<void(const char*, std::size_t)>& write,
                          std::int32_t& count) {
  char buffer[kChunk];
  // Reads up to n bytes into buffer; in binary mode fewer than n (the remote file shrank)
  // is a failure too.
  auto readChunk = [&](std::size_t n, const char* context, std::size_t& got) {
    const bool ok = backend_->ReadFile(buffer, n, got);
    if (ok && (got == n || !Binary())) return true;
    ReportError(ok ? kErrorHandleEof : backend_->ErrorCode(), context);
    return false;
  };
  std::size_t got = 0;
  if (Binary()) {
    const std::int32_t chunks = size / static_cast<std::int32_t>(kChunk);
    std::int32_t total = size;
    for (std::int32_t i = 0; i < chunks; ++i) {
      if (!readChunk(kChunk, "InternetReadFile", got)) return false;
      write(buffer, kChunk);
      YieldToWindowSystem();
      count += static_cast<std::int32_t>(kChunk);
      RaiseProgress(count, total);
    }
    const std::size_t rest = static_cast<std::size_t>(size) % kChunk;
    if (rest != 0) {
      if (!readChunk(rest, "InternetReadFile2", got)) return false;
      write(buffer, rest);
    }
    // The data must end where the listing said: more means the size was wrong (a number
    // the server's listing could not carry) or the file grew, and the copy would be cut.
    if (!backend_->ReadFile(buffer, 1, got)) {
      ReportError(backend_->ErrorCode(), "InternetReadFile2");
      return false;
    }
    if (got != 0) {
      ReportError(kErrorMoreData, "InternetReadFile2");
      return false;
    }
    count = size;
    return true;
  }
  // ASCII: the line ends may change on the way (CR LF on the wire, LF in a Linux file), so
  // the listed size cannot say where the data ends; the server does.
  for (;;) {
    if (!readChunk(kChunk, "InternetReadFile", got)) return false;
    write(buffer, got);
    if (got < kChunk) break;
    if (static_cast<std::uint64_t>(count) + kChunk > kMaxCount) {
      ReportError(kErrorFileTooLarge, "InternetReadFile");
      return false;
    }
    YieldToWindowSystem();
    count += static_cast<std::int32_t>(kChunk);
    std::int32_t total = std::max(size, count);
    RaiseProgress(count, total);
  }
  count += static_cast<std::int32_t>(got);
  return true;
}

bool cFTP::SimpleFTPGetFile(std::string_view sLocal, std::string_view sRemote) {
  if (Refused({sRemote}, "SimpleFtpGetFile")) return false;
  // The file arrives beside the target and replaces it only when complete; a local file
  // that cannot be made or written is a failure of the call, as when the library writes it.
  std::uint32_t localError = kErrorAccessDenied;
  try {
    LocalFileWriter out{std::string(sLocal)};
    const FtpBackend::DataSink sink = [&](const char* data, std::size_t n) {
      localError = kErrorWriteFault;
      out.Write(data, n);
      localError = kErrorAccessDenied;
    };
    if (!backend_->GetFile(std::string(sRemote), sink, Binary())) {
      ReportError(backend_->ErrorCode(), "SimpleFtpGetFile");
      return false;
    }
    out.Commit();
  } catch (const KelvError&) {
    // A file in a folder that does not exist cannot be made: the system says "path not
    // found" there rather than "access denied".
    const std::string folder = FolderOf(sLocal);
    if (localError == kErrorAccessDenied && !folder.empty() && !FolderExists(folder)) {
      localError = kErrorPathNotFound;
    }
    ReportError(localError, "SimpleFtpGetFile");
    return false;
  }
  return true;
}

std::string cFTP::GetFTPDirectory() {
  std::string dir;
  if (backend_->GetCurrentDir(dir)) return dir;
  ReportError(backend_->ErrorCode(), "FtpGetCurrentDirectory");
  return std::string();
}

bool cFTP::SetFTPDirectory(std::string_view sDir) {
  if (Refused({sDir}, "FtpSetCurrentDirectory")) return false;
  if (backend_->SetCurrentDir(std::string(sDir))) return true;
  ReportError(backend_->ErrorCode(), "FtpSetCurrentDirectory");
  return false;
}

std::int32_t cFTP::GetFTPFileSize(std::string_view sFile) {
  if (Refused({sFile}, "FtpFindFirstFile")) return -2;
  const std::string pattern = Replace(sFile, " ", "?");
  FindData found;
  if (!backend_->FindFirst(pattern, found)) {
    const std::uint32_t code = backend_->ErrorCode();
    if (code == kErrorNoMoreFiles) return -1;
    ReportError(code, "FtpFindFirstFile");
    return -2;
  }
  backend_->CloseFind();
  if (found.size > kMaxCount) {
    // A size that a 32-bit count cannot hold is refused rather than wrapped.
    ReportError(kErrorFileTooLarge, "FtpFindFirstFile");
    return -2;
  }
  return static_cast<std::int32_t>(found.size);
}

void cFTP::AddEntry(const FindData& found) {
  // A time the listing did not give (0) or the system cannot convert is the date value 0,
  // quietly: a message per entry would bury the user in dialogs. Windows refuses file times
  // from 2^63 on, and a local time more than a day from the UTC one has wrapped around
  // (Wine converts such times without complaint).
  auto date = [](std::uint64_t fileTime) {
    constexpr std::uint64_t kDay = 86400ULL * 10000000ULL;
    std::uint64_t local = 0;
    std::uint32_t code = 0;
    if (fileTime == 0 || fileTime >= 0x8000000000000000ULL ||
        !UtcFileTimeToLocal(fileTime, local, code) ||
        (local > fileTime ? local - fileTime : fileTime - local) > kDay) {
      return 0.0;
    }
    return FileTimeToDateValue(local);
  };
  const double creation = date(found.creationTime);
  const double access = date(found.lastAccessTime);
  const double write = date(found.lastWriteTime);
  Directory()->Add(static_cast<std::int32_t>(found.attributes), creation, access, write,
                   static_cast<std::int32_t>(static_cast<std::uint32_t>(found.size)),
                   found.name);
}

std::shared_ptr<cDirList> cFTP::GetDirectoryListing(std::string_view sFilter) {
  dirList_.reset();
  if (Refused({sFilter}, "FtpFindFirstFile")) return nullptr;
  FindData found;
  if (!backend_->FindFirst(std::string(sFilter), found)) {
    const std::uint32_t code = backend_->ErrorCode();
    if (code != kErrorNoMoreFiles) ReportError(code, "FtpFindFirstFile");
    return nullptr;
  }
  // The search is closed however the listing ends, a duplicate name included, so the
  // connection stays usable.
  FindGuard guard(*backend_);
  AddEntry(found);
  while (backend_->FindNext(found)) AddEntry(found);
  const std::uint32_t code = backend_->ErrorCode();
  if (code == kErrorNoMoreFiles) return Directory();
  ReportError(code, "InternetFindNextFile");
  return nullptr;
}

void cFTP::ReportError(std::uint32_t code, std::string_view context) {
  std::string text = backend_->ErrorText(code);
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
  if (text.size() > kMessageLimit) text.resize(kMessageLimit);
  lastError_ = std::string(context) + " error code: " + std::to_string(code) +
               " Message: " + text;
  if (code == kErrorExtended) lastError_ = CutToCharacters(backend_->LastResponse(), kReplyLimit);
  if (darMsgErr_) {
    for (auto& handler : errorHandlers_) handler();
  }
}

double cFTP::FileTimeToDate(std::uint64_t fileTime) {
  std::uint64_t local = 0;
  std::uint32_t code = 0;
  if (UtcFileTimeToLocal(fileTime, local, code)) return FileTimeToDateValue(local);
  MensajePreg(std::to_string(code), 0, 0, "", "");
  return 0;
}

}  // namespace kelv
