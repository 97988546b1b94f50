// Connection: an open-or-closed database connection, the object Conectar hands to its
// callers (all OSes).
//
// On Windows it is ADO's own ADODB.Connection, reached through COM automation. On Linux it
// is a unixODBC connection; the provider texts of the connection strings are mapped to
// ODBC drivers when opening (see odbc_mapping.h), while ConnectionString keeps the text
// it was given. Releasing the last reference closes the connection.
#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace kelv {

// ADO's values for State and CursorLocation.
inline constexpr int kStateClosed = 0;
inline constexpr int kStateOpen = 1;
inline constexpr int kUseServer = 2;
inline constexpr int kUseClient = 3;
// Options value "unspecified" for Open.
inline constexpr int kOptionUnspecified = -1;

class Connection {
 public:
  virtual ~Connection() = default;

  // 1 when the connection is open, 0 when it is closed.
  virtual int State() const = 0;

  // Closes an open connection. Closing a closed one throws KelvError, as ADO does.
  virtual void Close() = 0;

  // Where cursors live: 2 server, 3 client. New connections start with 2.
  virtual int CursorLocation() const = 0;
  virtual void CursorLocation(int value) = 0;

  // The connection string as the connection reports it.
  virtual const std::string& ConnectionString() const = 0;
  // Sets the connection string used by the next Open with an empty connectionString.
  // Throws KelvError while the connection is open.
  virtual void ConnectionString(std::string_view value) = 0;

  // Opens the connection. An empty connectionString uses the ConnectionString property
  // (a non-empty one replaces it first); user and password, when not empty, are the
  // login. options is passed on (-1: unspecified). Throws KelvError carrying the
  // back-end's own description when the connection cannot be opened; the connection is
  // then closed. A login that cannot reach its server gives up within 15 seconds.
  virtual void Open(std::string_view connectionString, std::string_view user,
                    std::string_view password, int options) = 0;
};

// A new, closed connection of this OS's back-end. Never throws: when the back-end itself
// is not available (no ADO on the machine, no ODBC driver manager), the connection is
// created anyway and its Open fails with the reason.
std::shared_ptr<Connection> NewConnection();

}  // namespace kelv
