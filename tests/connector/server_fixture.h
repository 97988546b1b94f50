// Database servers for the connector's server tests: each runs on 127.0.0.1 on a free port
// with a throw-away data folder, and is stopped and removed when its object goes away.
// Servers are started on Linux only; on Windows the start functions report why not.
#pragma once

#include <memory>
#include <string>

namespace kelv {

class DatabaseServer {
 public:
  virtual ~DatabaseServer() = default;
  int port = 0;
  std::string user;      // a login with a password, made for the test
  std::string password;
  std::string database;  // a database the login owns
};

// MariaDB (mariadbd) with the login and database made through its Unix socket. nullptr,
// with the reason in why, when it cannot be started.
std::unique_ptr<DatabaseServer> StartMariaDb(std::string& why);

// PostgreSQL 15, run as the postgres system user, with password logins over TCP. nullptr,
// with the reason in why, when it cannot be started.
std::unique_ptr<DatabaseServer> StartPostgres(std::string& why);

// A port on 127.0.0.1 that takes TCP connections and never sends a byte, as a server that
// hangs after accepting does. Only port is set. nullptr, with the reason in why, when it
// cannot listen.
std::unique_ptr<DatabaseServer> StartSilentServer(std::string& why);

// The full path of an ODBC driver library of the distribution ("psqlodbcw.so").
std::string OdbcDriverLibrary(const std::string& fileName);

}  // namespace kelv
