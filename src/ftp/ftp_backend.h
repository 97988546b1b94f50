// The FTP back-end cFTP works through: one small interface, one implementation per OS
// (WinINet on Windows, libcurl elsewhere). Internal to the ftp library and its tests.
//
// Every call that can fail returns false (or an unset result) and then ErrorCode() holds the
// WinINet-style code taken right after the failure: 12003 for a command the server refused
// (LastResponse() then holds its reply), 12014 for a refused login, 12029 for a connection
// that cannot be made, 12030 for one that broke, 12002 for a timeout, 18 when a search finds
// no (more) entries, 6 when there is no connection, and the system's file error codes for
// local files.
//
// A transfer or listing that moves no data for the no-progress limit fails with 12002; the
// connection may then be closed, so that later calls fail with 6 until the next Connect.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "ftp/find_data.h"
#include "ftp/server_address.h"

namespace kelv {

class FtpBackend {
 public:
  // Receives downloaded bytes in order; it may throw, which ends the transfer.
  using DataSink = std::function<void(const char* data, std::size_t size)>;

  virtual ~FtpBackend() = default;

  // The longest a transfer or listing may go without moving a byte (60 s until set).
  virtual void SetNoProgressLimit(std::chrono::seconds limit) = 0;

  // Brings the machine online where that is a separate step; false means "stay offline".
  virtual bool Autodial() = 0;
  // Starts a session under the agent name.
  virtual bool OpenSession(const std::string& agent) = 0;
  // Sets the proxy user name and password of the session (empty texts are set too).
  virtual void SetProxyCredentials(const std::string& user, const std::string& password) = 0;
  // Connects and logs in; passive selects passive data connections.
  virtual bool Connect(const ServerAddress& server, const std::string& user,
                       const std::string& password, bool passive) = 0;
  // Closes the connection (and any open remote file or search), then the session.
  virtual void CloseConnection() = 0;
  virtual void CloseSession() = 0;

  // Whole-file transfers; binary selects image type, otherwise ASCII. PutFile reads the
  // local file itself; GetFile hands the bytes to sink and is true only when the server
  // confirmed the whole file (an exception from sink leaves GetFile after the transfer has
  // been ended).
  virtual bool PutFile(const std::string& local, const std::string& remote, bool binary) = 0;
  virtual bool GetFile(const std::string& remote, const DataSink& sink, bool binary) = 0;

  virtual bool RenameFile(const std::string& from, const std::string& to) = 0;
  virtual bool CreateDir(const std::string& dir) = 0;
  virtual bool RemoveDir(const std::string& dir) = 0;
  virtual bool DeleteRemote(const std::string& name) = 0;
  virtual bool SetCurrentDir(const std::string& dir) = 0;
  virtual bool GetCurrentDir(std::string& dir) = 0;

  // The remote file of a chunked transfer: one at a time.
  virtual bool OpenFile(const std::string& remote, bool forWrite, bool binary) = 0;
  virtual bool WriteFile(const char* data, std::size_t size) = 0;
  // Reads up to size bytes; got < size only at the end of the data.
  virtual bool ReadFile(char* data, std::size_t size, std::size_t& got) = 0;
  // Ends the transfer. For an upload, and for a download read to its end, true only when
  // the server confirmed it; a download left before its end is dropped, and gives true.
  virtual bool CloseFile() = 0;
  // Ends the transfer cut short, so that the server takes an upload as aborted rather than
  // complete. Keeps ErrorCode() as it was.
  virtual void AbortFile() = 0;

  // Searches the remote folder named by the pattern's folder part for names matching its
  // last part; one search at a time.
  virtual bool FindFirst(const std::string& pattern, FindData& found) = 0;
  virtual bool FindNext(FindData& found) = 0;
  virtual void CloseFind() = 0;

  // Sends a raw command; true when the server accepted it.
  virtual bool Command(const std::string& command, bool binary) = 0;

  virtual std::uint32_t ErrorCode() const = 0;
  // The text that describes code (the system's or the library's own words).
  virtual std::string ErrorText(std::uint32_t code) = 0;
  // The server's last reply.
  virtual std::string LastResponse() = 0;
};

// The back-end of this OS.
std::unique_ptr<FtpBackend> MakeFtpBackend();

}  // namespace kelv
