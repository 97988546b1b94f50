// Tests of Conectar against real servers on 127.0.0.1: the MySQL and DSN kinds through
// MariaDB's ODBC driver, the custom and FileDSN kinds and ODBC behind OLE DB through
// PostgreSQL's, and every driver's give-up against a server that never answers. Each suite starts its server once and stops
// it at the end. Linux only: skipped under Windows.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <future>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "connector/conector.h"
#include "connector/connection_strings.h"
#include "connector/dato_bien_simple.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "server_fixture.h"
#include "settings/test_folder.h"
#include "test_env.h"

namespace kelv {
namespace {

// The error log of a kind and host, removed before and after the test.
class LogFile {
 public:
  LogFile(const std::string& tipo, const std::string& host) : path_(RutaLogDeError(tipo, host)) {
    DeleteFileForced(path_);
  }
  ~LogFile() { DeleteFileForced(path_); }
  std::string Text() const { return ReadCp1252File(path_); }

 private:
  std::string path_;
};

// Connects to the data source of kind tipo (DSN or FileDSN) named name with the server's
// login, and checks that it opens and that DevHost finds the same definition's SERVER,
// 127.0.0.1. Returns the connector for further attempts.
Conector OpenDataSource(const char* tipo, const std::string& name, const DatabaseServer& server) {
  Conector c;
  c.TipoBD(tipo);
  c.Host(name);
  c.Usuario(server.user);
  c.Password(server.password);
  std::shared_ptr<Connection> con;
  c.Conectar("", con);
  EXPECT_EQ(con->State(), kStateOpen);
  EXPECT_EQ(c.DevHost(), "127.0.0.1");
  return c;
}

class MariaDb : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { server_ = StartMariaDb(why_).release(); }
  static void TearDownTestSuite() {
    delete server_;
    server_ = nullptr;
  }
  void SetUp() override {
    if (!server_) GTEST_SKIP() << "no MariaDB server: " << why_;
  }
  static DatabaseServer* server_;
  static std::string why_;
};
DatabaseServer* MariaDb::server_ = nullptr;
std::string MariaDb::why_;

TEST_F(MariaDb, MySqlKindOpensWithItsPassword) {
  Conector c;
  c.TipoBD("MySQL");
  c.Host("127.0.0.1");
  c.NombreBD(server_->database);
  c.Usuario(server_->user);
  c.Password(server_->password);
  c.ConStr("Port=" + std::to_string(server_->port));
  std::shared_ptr<Connection> con;
  c.Conectar("", con);
  EXPECT_EQ(con->State(), kStateOpen);
  EXPECT_EQ(con->ConnectionString(),
            "Provider=OleMySql.MySqlSource.1; Data Source=127.0.0.1; User ID =kelv; Password=" +
                server_->password + "; Initial Catalog=kelv;Port=" + std::to_string(server_->port) + ";");

  const LogFile log("MySQL", "127.0.0.1");
  c.Password("equivocada");
  c.Conectar("", con);
  EXPECT_EQ(con->State(), kStateClosed);
  const std::string text = log.Text();
  EXPECT_NE(text.find("; Password=***; Initial Catalog=kelv;"), std::string::npos) << text;
  EXPECT_NE(text.find("Access denied"), std::string::npos) << text;  // the server's own words
  EXPECT_EQ(text.find("equivocada"), std::string::npos);
}

// The DSN kind: Conectar opens the data source through unixODBC and DevHost reads its SERVER
// from the same definition, a user's (ODBCINI) or the machine's (odbc.ini in ODBCSYSINI); the
// user's comes first for both. No registry file is involved.
TEST_F(MariaDb, DsnKindAndDevHostShareOneDefinition) {
  const char* system = std::getenv("ODBCSYSINI");
  if (system == nullptr) GTEST_SKIP() << "ODBCSYSINI names no configuration folder of this test";
  TestFolder dir;
  const std::string driver = OdbcDriverLibrary("libmaodbc.so");
  auto source = [&](const std::string& name, const std::string& server, int port) {
    return "[" + name + "]\nDriver=" + driver + "\nSERVER=" + server + "\nPORT=" +
           std::to_string(port) + "\nDATABASE=" + server_->database + "\n\n";
  };
  // KelvAmbos is defined twice: the machine's definition names a port where nothing listens.
  WriteFileReplacing(JoinSep(system, "odbc.ini"),
                     source("KelvMaquina", "127.0.0.1", server_->port) + source("KelvAmbos", "127.0.0.2", 1));
  WriteFileReplacing(dir.File("odbc.ini"), source("KelvUsuario", "127.0.0.1", server_->port) +
                                               source("KelvAmbos", "127.0.0.1", server_->port));
  const ScopedEnv user("ODBCINI", dir.File("odbc.ini"));
  const ScopedEnv registry("KELV_REGISTRY", dir.File("falta.reg"));

  for (const char* name : {"KelvMaquina", "KelvUsuario", "KelvAmbos"}) {
    SCOPED_TRACE(name);
    OpenDataSource("DSN", name, *server_);
  }
  DeleteFileForced(JoinSep(system, "odbc.ini"));
}

class Postgres : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { server_ = StartPostgres(why_).release(); }
  static void TearDownTestSuite() {
    delete server_;
    server_ = nullptr;
  }
  void SetUp() override {
    if (!server_) GTEST_SKIP() << "no PostgreSQL server: " << why_;
  }
  std::string Port() const { return std::to_string(server_->port); }
  static DatabaseServer* server_;
  static std::string why_;
};
DatabaseServer* Postgres::server_ = nullptr;
std::string Postgres::why_;

TEST_F(Postgres, CustomKindFromTheDescriptionFile) {
  TestFolder dir;
  WriteConfBase(dir.File("ConfBase.cfg"),
                {{"TipoBD", "PostgreSQL"}, {"Host", "127.0.0.1"}, {"Puerto", Port()},
                 {"NombreBD", "[Base]"}, {"Usuario", server_->user}, {"Permisos", server_->password},
                 {"ConStr", "Driver={PostgreSQL Unicode};Server=[Host];Port=[PUERTO];Database=[nombrebd]"}});
  Conector c;
  c.Parametros()->Agregar(std::make_shared<datoBienSimple>("Base", server_->database), "Base");
  std::shared_ptr<Connection> con;
  c.Conectar(dir.File("Usuarios.txt"), con);
  EXPECT_EQ(con->State(), kStateOpen);
  EXPECT_EQ(con->ConnectionString(), "Driver={PostgreSQL Unicode};Server=127.0.0.1;Port=" + Port() +
                                         ";Database=kelvdb;Uid=kelv;Pwd=" + server_->password + ";");
  EXPECT_EQ(c.DevHost(), "127.0.0.1");

  // Nothing listens on the port: closed, and logged without the password.
  WriteConfBase(dir.File("ConfBase.cfg"),
                {{"TipoBD", "PostgreSQL"}, {"Host", "127.0.0.1"}, {"Puerto", "1"},
                 {"Usuario", server_->user}, {"Permisos", server_->password},
                 {"ConStr", "Driver={PostgreSQL Unicode};Server=[Host];Port=[Puerto]"}});
  const LogFile log("PostgreSQL", "127.0.0.1");
  c.Conectar(dir.File("Usuarios.txt"), con);
  EXPECT_EQ(con->State(), kStateClosed);
  EXPECT_EQ(log.Text().rfind("Driver={PostgreSQL Unicode};Server=127.0.0.1;Port=1;Uid=kelv;Pwd=***;\r\n", 0), 0u)
      << log.Text();
}

// The FileDSN kind: Conectar opens the file data source and DevHost reads its SERVER from
// the same file, in CommonProgramFiles\ODBC\Data Sources when that is set, and otherwise in
// unixODBC's own folder for file data sources (here ODBCDataSources in the test's
// configuration folder).
TEST_F(Postgres, FileDsnKindWhereverTheFolderIs) {
  const char* system = std::getenv("ODBCSYSINI");
  if (system == nullptr) GTEST_SKIP() << "ODBCSYSINI names no configuration folder of this test";
  TestFolder dir;
  const std::string text = "[ODBC]\r\nDRIVER=" + OdbcDriverLibrary("psqlodbcw.so") +
                           "\r\nSERVER=127.0.0.1\r\nPORT=" + Port() + "\r\nDATABASE=" +
                           server_->database + "\r\n";
  const std::string common = JoinSep(dir.Path(), NativeSeparators("ODBC\\Data Sources"));
  const std::string own = JoinSep(system, "ODBCDataSources");
  struct Case { std::optional<std::string> common; std::string folder; };
  for (const Case& k : {Case{dir.Path(), common}, Case{std::nullopt, own}}) {
    SCOPED_TRACE(k.folder);
    const ScopedEnv variable("CommonProgramFiles", k.common);
    std::filesystem::create_directories(std::filesystem::u8path(k.folder));
    WriteFileReplacing(JoinSep(k.folder, "Kelv.dsn"), text);
    Conector c = OpenDataSource("FileDSN", "Kelv.dsn", *server_);

    const LogFile log("FileDSN", "Kelv.dsn");
    c.Password("equivocada");
    std::shared_ptr<Connection> con;
    c.Conectar("", con);
    EXPECT_EQ(con->State(), kStateClosed);
    EXPECT_NE(log.Text().find("Pwd=***;"), std::string::npos) << log.Text();
    DeleteFileForced(JoinSep(k.folder, "Kelv.dsn"));
  }
}

// ODBC behind OLE DB in a custom connection string: the provider is dropped and its OLE DB
// names become ODBC ones, in both forms ADO writes (a driver string in Extended Properties,
// and Data Source naming a data source).
TEST_F(Postgres, OdbcThroughTheOleDbBridge) {
  TestFolder dir;
  WriteFileReplacing(dir.File("odbc.ini"), "[KelvPuente]\nDriver=" + OdbcDriverLibrary("psqlodbcw.so") +
                                               "\nServername=127.0.0.1\nPort=" + Port() +
                                               "\nDatabase=" + server_->database + "\n");
  const ScopedEnv user("ODBCINI", dir.File("odbc.ini"));
  const std::string conStrs[] = {
      "Provider=MSDASQL.1;Persist Security Info=False;Extended Properties=\"Driver={PostgreSQL "
      "Unicode};Server=[Host];Port=[Puerto];Database=[NombreBD]\"",
      "Provider=MSDASQL;Data Source=KelvPuente",
  };
  for (const std::string& conStr : conStrs) {
    SCOPED_TRACE(conStr);
    Conector c;
    c.TipoBD("ODBC");
    c.Host("127.0.0.1");
    c.Puerto(server_->port);
    c.NombreBD(server_->database);
    c.Usuario(server_->user);
    c.Password(server_->password);
    c.ConStr(conStr);
    std::shared_ptr<Connection> con;
    c.Conectar("", con);
    EXPECT_EQ(con->State(), kStateOpen);
  }
}

// A server that accepts the connection and never answers: each driver's login gives up on
// its own timer (15 seconds), Conectar returns with the connection closed, and the log says
// why. The three kinds wait side by side; a login still waiting after two minutes has no
// timer at all, and the test ends the process rather than wait for it.
TEST(SilentServer, EveryDriverGivesUp) {
  std::string why;
  const std::unique_ptr<DatabaseServer> server = StartSilentServer(why);
  if (!server) GTEST_SKIP() << why;
  const std::string port = std::to_string(server->port);

  struct Case { const char* tipo; std::string host; std::string conStr; };
  const Case cases[] = {
      {"SQLServer", "127.0.0.1," + port, ""},
      {"MySQL", "127.0.0.1", "Port=" + port},
      {"PostgreSQL", "127.0.0.1",
       "Driver={PostgreSQL Unicode};Server=[Host];Port=" + port + ";Database=[NombreBD]"},
  };
  struct Outcome { int state = -1; double seconds = 0; };
  std::vector<std::unique_ptr<LogFile>> logs;
  std::vector<std::future<Outcome>> runs;
  for (const Case& k : cases) {
    logs.push_back(std::make_unique<LogFile>(k.tipo, k.host));
    runs.push_back(std::async(std::launch::async, [k] {
      Conector c;
      c.TipoBD(k.tipo);
      c.Host(k.host);
      c.NombreBD("Personal");
      c.Usuario("sa");
      c.Password("s3cr3t");
      c.ConStr(k.conStr);
      std::shared_ptr<Connection> con;
      const auto start = std::chrono::steady_clock::now();
      c.Conectar("", con);
      const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
      return Outcome{con ? con->State() : -1, took.count()};
    }));
  }
  for (std::size_t i = 0; i < runs.size(); ++i) {
    SCOPED_TRACE(cases[i].tipo);
    if (runs[i].wait_for(std::chrono::minutes(2)) != std::future_status::ready) {
      std::fprintf(stderr, "Conectar (%s) still waits after two minutes: the login has no timer\n",
                   cases[i].tipo);
      std::fflush(stderr);
      std::_Exit(1);
    }
    const Outcome outcome = runs[i].get();
    std::printf("%s gave up after %.1f s\n", cases[i].tipo, outcome.seconds);
    EXPECT_EQ(outcome.state, kStateClosed);
    const std::string text = logs[i]->Text();
    EXPECT_NE(text.find("\r\n"), std::string::npos) << text;  // the string, then the reason
    EXPECT_EQ(text.find("s3cr3t"), std::string::npos) << text;
  }
}

}  // namespace
}  // namespace kelv
