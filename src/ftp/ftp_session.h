// cFTP: one FTP session to one server, with whole-file and 255-byte-chunk transfers,
// remote file and folder operations, the remote directory listing and raw commands
// (all OSes; WinINet on Windows, libcurl elsewhere).
//
// Operations report success by their result (false, -1, -2, an empty text or no list) and
// keep the text of the last failure for GetLastErrorMessage(); with DarMsgErr set, every
// recorded failure also raises ErrorEnEnvio. Local files that cannot be opened, read or
// written by the chunked transfers, and exceptions thrown by event handlers, reach the
// caller as exceptions.
//
// Servers are not trusted: a name or login text holding CR, LF or NUL is refused before
// anything is sent (recorded with the code 123, "invalid name"), a transfer or listing that
// moves no data for the no-progress limit fails with the timeout code 12002, and a server
// reply kept as the failure text is cut at 2,048 characters.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "ftp/dir_list.h"

namespace kelv {

class FtpBackend;
struct FindData;

class cFTP {
 public:
  // FileTransferProgress(lCurrentBytes, lTotalBytes): both passed by reference.
  using ProgressHandler = std::function<void(std::int32_t& lCurrentBytes,
                                             std::int32_t& lTotalBytes)>;
  // ErrorEnEnvio(): raised after each recorded failure while DarMsgErr is true.
  using ErrorHandler = std::function<void()>;

  // A client of this OS's back-end: no session, ASCII, active mode, DarMsgErr true.
  cFTP();
  // A client over the given back-end (tests hand in their own).
  explicit cFTP(std::unique_ptr<FtpBackend> backend);
  // Closes the connection and the session.
  ~cFTP();
  cFTP(const cFTP&) = delete;
  cFTP& operator=(const cFTP&) = delete;

  // Subscribes to the events; handlers run synchronously, in subscription order.
  void OnFileTransferProgress(ProgressHandler handler);
  void OnErrorEnEnvio(ErrorHandler handler);

  // Sends strCommand as it is; true when the server accepted it. Failures are not recorded;
  // a command holding CR, LF or NUL is not sent and gives false.
  bool EjecFTPCommand(std::string_view strCommand);
  // The list of the last listing; an empty list is created when there is none.
  std::shared_ptr<cDirList> Directory();
  bool DarMsgErr() const { return darMsgErr_; }
  void DarMsgErr(bool value) { darMsgErr_ = value; }
  // The text of the last recorded failure.
  const std::string& GetLastErrorMessage() const { return lastError_; }

  // Closes any earlier connection and session, then connects and logs in. sServer is "host"
  // or "host:port" (port 21 when absent). Failures are recorded with the contexts
  // "InternetOpen" and "InternetConnect".
  bool OpenConnection(std::string_view sServer, std::string_view sUser,
                      std::string_view sPassword, std::string_view sProxyUser = {},
                      std::string_view sProxyPass = {});
  // Closes the connection, then the session.
  void CloseConnection();

  // Uploads sLocal as sRemote in one call, without events ("SimpleFtpPutFile").
  bool SimpleFTPPutFile(std::string_view sLocal, std::string_view sRemote);
  bool RenameFTPFile(std::string_view sExisting, std::string_view sNewName);
  bool CreateFTPDirectory(std::string_view sDirectory);
  bool RemoveFTPDirectory(std::string_view sDirectory);
  bool DeleteFTPFile(std::string_view sRemote);

  // Uploads in 255-byte chunks, raising FileTransferProgress after each and once more at
  // the end with (length, length). The arguments are trimmed of blanks (the caller's
  // variables receive the trimmed texts); an empty one gives false with nothing recorded.
  // A local file of 2 GiB or more is refused with a recorded failure.
  bool FTPUploadFile(std::string& sLocal, std::string& sRemote);
  bool FTPUploadFile(std::string_view sLocal, std::string_view sRemote);
  // Downloads in 255-byte chunks with the same events. A remote file that is empty or
  // missing gives false, and the local file is neither created nor changed. The local file
  // ends up holding exactly the downloaded bytes, and only once they have all arrived. In
  // binary mode exactly the listed size is read (fewer or more bytes is a failure, code 38
  // or 234); in ASCII mode,
  // where line ends may change on the way, the data is read until the server ends it, the
  // events count the bytes received against the larger of that count and the listed size,
  // and the last event is (received, received).
  bool FTPDownloadFile(std::string& sLocal, std::string& sRemote);
  bool FTPDownloadFile(std::string_view sLocal, std::string_view sRemote);

  // Downloads sRemote to sLocal in one call, replacing sLocal only when the whole file has
  // arrived ("SimpleFtpGetFile"); a local file that cannot be made or written is recorded
  // as a failure (code 3 when its folder is missing, 5 otherwise, 29 when writing fails
  // midway).
  bool SimpleFTPGetFile(std::string_view sLocal, std::string_view sRemote);

  // The remote current folder, or "" on failure.
  std::string GetFTPDirectory();
  bool SetFTPDirectory(std::string_view sDir);

  // Size of the first entry matching sFile (blanks searched as "?"): -1 when nothing
  // matches (nothing recorded), -2 on failure or for a size of 2 GiB or more.
  std::int32_t GetFTPFileSize(std::string_view sFile);

  // The entries of the remote folder matching sFilter, or nullptr when nothing matched
  // (nothing recorded) or the listing failed. A name present twice in any letter case
  // throws KelvError(kErrDuplicateKey). Entry times that are absent or cannot be converted
  // are the date value 0, and no message is shown for them.
  std::shared_ptr<cDirList> GetDirectoryListing(std::string_view sFilter);

  void SetTransferASCII() { transferType_ = kTransferAscii; }
  void SetTransferBinary() { transferType_ = kTransferBinary; }
  // Take effect at the next OpenConnection.
  void SetModeActive() { connectionFlags_ = 0; }
  void SetModePassive() { connectionFlags_ = kFlagPassive; }

  // The longest a transfer or listing may go without moving a byte before it fails with the
  // timeout code 12002 (60 seconds unless set); takes effect at once. Not part of the
  // original interface: tools and tests set it.
  void SetNoProgressLimit(std::chrono::seconds limit);

  // Records a failure: "context error code: N Message: text", or for code 12003 the
  // server's last reply (at most 2,048 characters); then raises ErrorEnEnvio when DarMsgErr
  // is true.
  void ReportError(std::uint32_t code, std::string_view context);

  // The local date value of a UTC file time; when the system cannot convert it, its error
  // code is shown in the message dialog and the result is 0.
  double FileTimeToDate(std::uint64_t fileTime);

  static constexpr std::uint32_t kTransferAscii = 1;
  static constexpr std::uint32_t kTransferBinary = 2;
  static constexpr std::uint32_t kFlagPassive = 0x08000000;
  static constexpr std::chrono::seconds kDefaultNoProgressLimit{60};

 private:
  void RaiseProgress(std::int32_t& current, std::int32_t& total);
  void AddEntry(const FindData& found);
  // True (and the refusal recorded under context) when a text holds CR, LF or NUL.
  bool Refused(std::initializer_list<std::string_view> texts, std::string_view context);
  // The reading loop of FTPDownloadFile: hands the bytes to write and counts them.
  bool DownloadChunks(std::int32_t size,
                      const std::function<void(const char*, std::size_t)>& write,
                      std::int32_t& count);
  bool Binary() const { return transferType_ == kTransferBinary; }

  std::unique_ptr<FtpBackend> backend_;
  bool darMsgErr_ = true;
  std::uint32_t transferType_ = kTransferAscii;
  std::uint32_t connectionFlags_ = 0;
  std::string lastError_;
  std::shared_ptr<cDirList> dirList_;
  std::vector<ProgressHandler> progressHandlers_;
  std::vector<ErrorHandler> errorHandlers_;
};

}  // namespace kelv
