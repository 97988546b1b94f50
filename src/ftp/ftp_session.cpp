// cFTP: the FTP session logic shared by every OS, over the back-end of ftp_backend.h.
#include "ftp/ftp_session.h"

#include <limits>

#include "dialogs/mensaje_preg.h"
#include "ftp/file_time.h"
#include "ftp/find_data.h"
#include "ftp/ftp_backend.h"
#include "ftp/local_file_time.h"
#include "ftp/server_address.h"
#include "ftp/transfer_file.h"
#include "platform/files.h"
#include "platform/ui_yield.h"
#include "text/error.h"
#include "text/toolbox.h"

namespace kelv {
namespace {

constexpr std::uint32_t kErrorNoMoreFiles = 18;
constexpr std::uint32_t kErrorAccessDenied = 5;
constexpr std::uint32_t kErrorHandleEof = 38;
constexpr std::uint32_t kErrorFileTooLarge = 223;
constexpr std::uint32_t kErrorExtended = 12003;
constexpr std::size_t kChunk = 255;
constexpr std::size_t kMessageLimit = 255;
constexpr std::uint64_t kMaxCount = std::numeric_limits<std::int32_t>::max();

// Closes the remote file of a chunked transfer when the transfer leaves early.
class RemoteFileGuard {
 public:
  explicit RemoteFileGuard(FtpBackend& backend) : backend_(backend) {}
  ~RemoteFileGuard() {
    if (open_) backend_.CloseFile();
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

cFTP::cFTP(std::unique_ptr<FtpBackend> backend) : backend_(std::move(backend)) {}

cFTP::~cFTP() { CloseConnection(); }

void cFTP::OnFileTransferProgress(ProgressHandler handler) {
  progressHandlers_.push_back(std::move(handler));
}

void cFTP::OnErrorEnEnvio(ErrorHandler handler) { errorHandlers_.push_back(std::move(handler)); }

void cFTP::RaiseProgress(std::int32_t& current, std::int32_t& total) {
  for (auto& handler : progressHandlers_) handler(current, total);
}

bool cFTP::EjecFTPCommand(std::string_view strCommand) {
  return backend_->Command(std::string(strCommand), true);
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
  if (backend_->PutFile(std::string(sLocal), std::string(sRemote), Binary())) return true;
  ReportError(backend_->ErrorCode(), "SimpleFtpPutFile");
  return false;
}

bool cFTP::RenameFTPFile(std::string_view sExisting, std::string_view sNewName) {
  if (backend_->RenameFile(std::string(sExisting), std::string(sNewName))) return true;
  ReportError(backend_->ErrorCode(), "RenameFTPFile");
  return false;
}

bool cFTP::CreateFTPDirectory(std::string_view sDirectory) {
  if (backend_->CreateDir(std::string(sDirectory))) return true;
  ReportError(backend_->ErrorCode(), "CreateFTPDirectory");
  return false;
}

bool cFTP::RemoveFTPDirectory(std::string_view sDirectory) {
  if (backend_->RemoveDir(std::string(sDirectory))) return true;
  ReportError(backend_->ErrorCode(), "RemoveFTPDirectory");
  return false;
}

bool cFTP::DeleteFTPFile(std::string_view sRemote) {
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
  // Reads exactly n bytes; a short read (the remote file shrank) is a failure too.
  auto readChunk = [&](char* buffer, std::size_t n, const char* context) {
    std::size_t got = 0;
    const bool ok = backend_->ReadFile(buffer, n, got);
    if (ok && got == n) return true;
    ReportError(ok ? kErrorHandleEof : backend_->ErrorCode(), context);
    return false;
  };
  std::int32_t count = 0;
  std::int32_t total = size;
  const std::int32_t chunks = size / static_cast<std::int32_t>(kChunk);
  char buffer[kChunk];
  for (std::int32_t i = 0; i < chunks; ++i) {
    if (!readChunk(buffer, kChunk, "InternetReadFile")) return false;
    out.Write(buffer, kChunk);
    YieldToWindowSystem();
    count += static_cast<std::int32_t>(kChunk);
    RaiseProgress(count, total);
  }
  const std::size_t rest = static_cast<std::size_t>(size) % kChunk;
  if (rest != 0) {
    if (!readChunk(buffer, rest, "InternetReadFile2")) return false;
    out.Write(buffer, rest);
  }
  out.Commit();
  count = size;
  total = size;
  RaiseProgress(count, total);
  file.Close();
  return true;
}

bool cFTP::SimpleFTPGetFile(std::string_view sLocal, std::string_view sRemote) {
  // The file arrives beside the target and replaces it only when complete. A local file
  // that cannot be replaced (read-only, say) fails as the system's own download would.
  auto localStep = [this](auto step) {
    try {
      step();
      return true;
    } catch (const KelvError&) {
      ReportError(kErrorAccessDenied, "SimpleFtpGetFile");
      return false;
    }
  };
  std::unique_ptr<LocalFileWriter> out;
  std::string temp;
  if (!localStep([&] {
        out = std::make_unique<LocalFileWriter>(std::string(sLocal));
        temp = out->HandOver();
      })) {
    return false;
  }
  if (!backend_->GetFile(std::string(sRemote), temp, Binary())) {
    ReportError(backend_->ErrorCode(), "SimpleFtpGetFile");
    return false;
  }
  return localStep([&] { out->Commit(); });
}

std::string cFTP::GetFTPDirectory() {
  std::string dir;
  if (backend_->GetCurrentDir(dir)) return dir;
  ReportError(backend_->ErrorCode(), "FtpGetCurrentDirectory");
  return std::string();
}

bool cFTP::SetFTPDirectory(std::string_view sDir) {
  if (backend_->SetCurrentDir(std::string(sDir))) return true;
  ReportError(backend_->ErrorCode(), "FtpSetCurrentDirectory");
  return false;
}

std::int32_t cFTP::GetFTPFileSize(std::string_view sFile) {
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
  const double creation = FileTimeToDate(found.creationTime);
  const double access = FileTimeToDate(found.lastAccessTime);
  const double write = FileTimeToDate(found.lastWriteTime);
  Directory()->Add(static_cast<std::int32_t>(found.attributes), creation, access, write,
                   static_cast<std::int32_t>(static_cast<std::uint32_t>(found.size)),
                   found.name);
}

std::shared_ptr<cDirList> cFTP::GetDirectoryListing(std::string_view sFilter) {
  dirList_.reset();
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
  if (code == kErrorExtended) lastError_ = backend_->LastResponse();
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
