// Tests of Conectar against real servers on 127.0.0.1: the MySQL kind through MariaDB's
// ODBC driver, the custom, DSN and FileDSN kinds through PostgreSQL's, and every driver's
// give-up against a server that never answers. Each suite starts its server once and stops
// it at the end. Linux only: skipped under Windows.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <future>
#include <memory>
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

TEST_F(Postgres, DsnAndFileDsnKinds) {
  TestFolder dir;
  const std::string driver = OdbcDriverLibrary("psqlodbcw.so");
  // A user data source in the test's own odbc.ini, and a file data source in the test's own
  // CommonProgramFiles folder.
  WriteFileReplacing(dir.File("odbc.ini"), "[KelvPg]\nDriver=" + driver +
                                               "\nServername=127.0.0.1\nPort=" + Port() +
                                               "\nDatabase=" + server_->database + "\n");
  WriteFileReplacing(dir.File("odbcinst.ini"), "");
  const std::string dsnFolder = JoinSep(dir.Path(), NativeSeparators("ODBC\\Data Sources"));
  std::filesystem::create_directories(std::filesystem::u8path(dsnFolder));
  WriteFileReplacing(JoinSep(dsnFolder, "Kelv.dsn"),
                     "[ODBC]\r\nDRIVER=" + driver + "\r\nSERVER=127.0.0.1\r\nPORT=" + Port() +
                         "\r\nDATABASE=" + server_->database + "\r\n");
  const ScopedEnv odbcIni("ODBCINI", dir.File("odbc.ini"));
  const ScopedEnv odbcSysIni("ODBCSYSINI", dir.Path());
  const ScopedEnv common("CommonProgramFiles", dir.Path());
  // The registry's entry of the user data source, where DevHost reads its SERVER.
  WriteFileReplacing(dir.File("registry.reg"),
                     "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\ODBC\\ODBC.INI\\KelvPg]\r\n"
                     "\"SERVER\"=\"127.0.0.1\"\r\n");
  const ScopedEnv registry("KELV_REGISTRY", dir.File("registry.reg"));

  struct Case { const char* tipo; const char* host; const char* server; };
  for (const Case& k : {Case{"DSN", "KelvPg", "127.0.0.1"}, Case{"FileDSN", "Kelv.dsn", "127.0.0.1"}}) {
    SCOPED_TRACE(k.tipo);
    Conector c;
    c.TipoBD(k.tipo);
    c.Host(k.host);
    c.Usuario(server_->user);
    c.Password(server_->password);
    std::shared_ptr<Connection> con;
    c.Conectar("", con);
    EXPECT_EQ(con->State(), kStateOpen);
    EXPECT_EQ(c.DevHost(), k.server);  // from the file data source, or from the registry

    const LogFile log(k.tipo, k.host);
    c.Password("equivocada");
    c.Conectar("", con);
    EXPECT_EQ(con->State(), kStateClosed);
    EXPECT_NE(log.Text().find("Pwd=***;"), std::string::npos) << log.Text();
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
