// Database servers for the connector's tests on Linux: MariaDB and PostgreSQL started from
// the distribution's programs, on 127.0.0.1 and a free port, in a temporary folder.
#include "server_fixture.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <cstdlib>
#include <filesystem>
#include <thread>

#ifndef KELV_ODBC_DRIVER_DIR
#define KELV_ODBC_DRIVER_DIR "/usr/lib/x86_64-linux-gnu/odbc"
#endif

namespace kelv {

namespace {

constexpr const char* kUser = "kelv";
constexpr const char* kPassword = "Clave-2026";
constexpr const char* kPgBin = "/usr/lib/postgresql/15/bin/";

// A TCP socket bound to a port of 127.0.0.1 the system picks, with that port in port; -1
// when there is none.
int BoundLoopbackSocket(int& port) {
  const int s = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  if (s < 0 || bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      getsockname(s, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    if (s >= 0) close(s);
    return -1;
  }
  port = ntohs(address.sin_port);
  return s;
}

// A TCP port on 127.0.0.1 that nothing listens on right now.
int FreePort() {
  int port = 0;
  const int s = BoundLoopbackSocket(port);
  if (s >= 0) close(s);
  return port;
}

bool Run(const std::string& command) { return std::system(command.c_str()) == 0; }

std::string MakeFolder(const char* prefix) {
  std::string pattern = (std::filesystem::temp_directory_path() / prefix).string() + "XXXXXX";
  return mkdtemp(pattern.data()) ? pattern : std::string();
}

// A server that failed to start keeps its folder, so its logs can be read.
void RemoveUnlessFailed(const std::string& folder, bool ready) {
  std::error_code ec;
  if (ready) std::filesystem::remove_all(folder, ec);
}

// Repeats check every 200 ms for up to a minute.
bool WaitFor(const std::string& check) {
  for (int i = 0; i < 300; ++i) {
    if (Run(check + " >/dev/null 2>&1")) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
  }
  return false;
}

class MariaDbServer final : public DatabaseServer {
 public:
  explicit MariaDbServer(std::string folder) : folder_(std::move(folder)) {}
  ~MariaDbServer() override {
    Run(Client("mariadb-admin") + " shutdown >/dev/null 2>&1");
    RemoveUnlessFailed(folder_, ready_);
  }
  std::string Client(const char* program) const {
    return std::string(program) + " --no-defaults --socket=" + folder_ + "/sock -uroot";
  }
  bool Start(std::string& why) {
    port = FreePort();
    user = kUser;
    password = kPassword;
    database = "kelv";
    const std::string data = folder_ + "/data";
    if (!Run("mariadb-install-db --no-defaults --user=root --datadir=" + data +
             " --skip-test-db >" + folder_ + "/install.log 2>&1")) {
      why = "mariadb-install-db failed; see " + folder_ + "/install.log";
      return false;
    }
    Run("mariadbd --no-defaults --user=root --datadir=" + data + " --port=" + std::to_string(port) +
        " --bind-address=127.0.0.1 --skip-name-resolve --socket=" + folder_ + "/sock --pid-file=" +
        folder_ + "/pid --log-error=" + folder_ + "/error.log >/dev/null 2>&1 &");
    if (!WaitFor(Client("mariadb-admin") + " ping")) {
      why = "mariadbd did not start; see " + folder_ + "/error.log";
      return false;
    }
    const std::string login = std::string("'") + kUser + "'@'127.0.0.1'";
    if (!Run(Client("mariadb") + " -e \"CREATE DATABASE kelv; CREATE USER " + login +
             " IDENTIFIED BY '" + kPassword + "'; GRANT ALL ON kelv.* TO " + login + ";\"")) {
      why = "could not create the test login in MariaDB";
      return false;
    }
    ready_ = true;
    return true;
  }

 private:
  std::string folder_;
  bool ready_ = false;
};

class PostgresServer final : public DatabaseServer {
 public:
  explicit PostgresServer(std::string folder) : folder_(std::move(folder)) {}
  ~PostgresServer() override {
    if (started_) Run(AsPostgres("pg_ctl") + " -D " + folder_ + "/data -m fast -w stop >/dev/null 2>&1");
    RemoveUnlessFailed(folder_, ready_);
  }
  // PostgreSQL refuses to run as root: its programs run as the postgres system user.
  static std::string AsPostgres(const char* program) {
    return std::string("runuser -u postgres -- ") + kPgBin + program;
  }
  bool Start(std::string& why) {
    port = FreePort();
    user = kUser;
    password = kPassword;
    database = "kelvdb";
    if (!Run("chown postgres:postgres " + folder_)) {
      why = "cannot give the data folder to the postgres user";
      return false;
    }
    if (!Run(AsPostgres("initdb") + " -D " + folder_ + "/data -U postgres --auth-local=trust" +
             " --auth-host=scram-sha-256 >" + folder_ + "/initdb.log 2>&1")) {
      why = "initdb failed; see " + folder_ + "/initdb.log";
      return false;
    }
    started_ = Run(AsPostgres("pg_ctl") + " -D " + folder_ + "/data -l " + folder_ +
                   "/server.log -w -t 60 -o \"-p " + std::to_string(port) + " -k " + folder_ +
                   " -c listen_addresses=127.0.0.1\" start >/dev/null 2>&1");
    if (!started_) {
      why = "PostgreSQL did not start; see " + folder_ + "/server.log";
      return false;
    }
    if (!Run(AsPostgres("psql") + " -q -h " + folder_ + " -p " + std::to_string(port) +
             " -U postgres -d postgres -c \"CREATE ROLE " + kUser + " LOGIN PASSWORD '" + kPassword +
             "'\" -c \"CREATE DATABASE kelvdb OWNER " + kUser + "\" >/dev/null")) {
      why = "could not create the test login in PostgreSQL";
      return false;
    }
    ready_ = true;
    return true;
  }

 private:
  std::string folder_;
  bool started_ = false;
  bool ready_ = false;
};

// A listening socket that is never accepted from: the system completes each connection in
// the backlog, takes what the client sends, and nothing ever answers.
class SilentServer final : public DatabaseServer {
 public:
  ~SilentServer() override {
    if (socket_ >= 0) close(socket_);
  }

  bool Start(std::string& why) {
    socket_ = BoundLoopbackSocket(port);
    if (socket_ < 0 || listen(socket_, 64) != 0) {
      why = std::string("cannot listen on 127.0.0.1: ") + std::strerror(errno);
      return false;
    }
    return true;
  }

 private:
  int socket_ = -1;
};

template <class Server>
std::unique_ptr<DatabaseServer> StartServer(const char* prefix, const char* program,
                                            std::string& why) {
  if (!Run(std::string("command -v ") + program + " >/dev/null 2>&1")) {
    why = std::string(program) + " is not installed";
    return nullptr;
  }
  const std::string folder = MakeFolder(prefix);
  if (folder.empty()) {
    why = "cannot make a temporary folder";
    return nullptr;
  }
  auto server = std::make_unique<Server>(folder);
  if (!server->Start(why)) return nullptr;
  return server;
}

}  // namespace

std::unique_ptr<DatabaseServer> StartMariaDb(std::string& why) {
  return StartServer<MariaDbServer>("kelv-mariadb-", "mariadbd", why);
}

std::unique_ptr<DatabaseServer> StartPostgres(std::string& why) {
  return StartServer<PostgresServer>("kelv-postgres-", "/usr/lib/postgresql/15/bin/postgres", why);
}

std::unique_ptr<DatabaseServer> StartSilentServer(std::string& why) {
  auto server = std::make_unique<SilentServer>();
  if (!server->Start(why)) return nullptr;
  return server;
}

std::string OdbcDriverLibrary(const std::string& fileName) {
  return std::string(KELV_ODBC_DRIVER_DIR) + "/" + fileName;
}

}  // namespace kelv
