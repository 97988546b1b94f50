// Tests of Conectar and ConectarBD against the real back-end of the OS: a real Access
// database through the MDBTools driver on Linux; failures, their log, and the single
// Access retry on every OS (under Wine there is no Jet provider, so Access fails there).
#include <gtest/gtest.h>

#include <string>

#include "connector/conector.h"
#include "connector/connection_strings.h"
#include "connector/dato_bien_simple.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "settings/test_folder.h"
#include "test_env.h"
#include "text/toolbox.h"

namespace kelv {
namespace {

// Where nothing listens: port 1 of the loopback address.
constexpr const char* kNadieEscucha = "127.0.0.1,1";

// The error log of a kind and host, removed before and after the test.
class LogFile {
 public:
  LogFile(const std::string& tipo, const std::string& host) : path_(RutaLogDeError(tipo, host)) {
    DeleteFileForced(path_);
  }
  ~LogFile() { DeleteFileForced(path_); }
  std::string Text() const { return ReadCp1252File(path_); }
  bool Exists() const { return PathExists(path_); }

 private:
  std::string path_;
};

// The real Jet database the build fetched, or "" where there is none.
std::string SampleDatabase() { return GetEnv("KELV_TEST_MDB").value_or(""); }

TEST(Conectar, OpensARealAccessDatabase) {
  const std::string mdb = SampleDatabase();
  if (mdb.empty() || !PathExists(mdb)) {
    GTEST_SKIP() << "no Jet database here: opening one needs the Access driver of the Linux build";
  }
  Conector c;
  std::shared_ptr<Connection> con;
  c.Conectar(mdb, con);
  ASSERT_TRUE(con);
  EXPECT_EQ(con->State(), kStateOpen);
  EXPECT_EQ(con->CursorLocation(), kUseClient);
  EXPECT_EQ(con->ConnectionString(), CadenaAccessSimple(mdb));
  EXPECT_EQ(c.TipoBD(), "MicrosoftJet");
  EXPECT_EQ(c.Host(), mdb);
  EXPECT_EQ(c.CarpetaDatos(), FolderOf(mdb));

  // Conectar again: the open connection is closed and replaced.
  const std::shared_ptr<Connection> first = con;
  c.Conectar(mdb, con);
  EXPECT_EQ(first->State(), kStateClosed);
  EXPECT_EQ(con->State(), kStateOpen);

  // ConectarBD, as the update run calls it, with no connection and with an open one.
  std::shared_ptr<Connection> run;
  ConectarBD(mdb, run);
  ASSERT_TRUE(run);
  EXPECT_EQ(run->State(), kStateOpen);
  ConectarBD(mdb, run);
  EXPECT_EQ(run->State(), kStateOpen);
  run.reset();  // releasing the last reference closes it
}

TEST(Conectar, AccessRetriesOnceWithThePlainString) {
  const std::string mdb = SampleDatabase();
  if (mdb.empty() || !PathExists(mdb)) {
    GTEST_SKIP() << "no Jet database here: opening one needs the Access driver of the Linux build";
  }
  const LogFile log("MicrosoftJet", mdb);
  Conector c;
  c.Password("s3cr3t");
  c.ConStr("Propiedad Rara=1");  // the provider rejects it
  std::shared_ptr<Connection> con;
  c.Conectar(mdb, con);
  EXPECT_EQ(con->State(), kStateOpen);
  EXPECT_EQ(con->ConnectionString(), CadenaAccessSimple(mdb));
  // The log keeps the failure of the first attempt, with its full string, password masked.
  const std::string text = log.Text();
  EXPECT_EQ(text.rfind(CadenaAccessSimple(mdb) +
                           ";Jet OLEDB:Database Password=***;Propiedad Rara=1;\r\n", 0),
            0u)
      << text;
  EXPECT_NE(text.find("Propiedad Rara", text.find('\n')), std::string::npos);  // the reason
  EXPECT_EQ(text.find("s3cr3t"), std::string::npos);
}

// A database protected by a password opens only with that password, first attempt and retry
// alike, as Jet does; a password given for a database that has none is ignored. On Linux the
// check is the connector's own, since MDBTools opens protected files without one.
TEST(Conectar, PasswordProtectedAccessDatabase) {
  const std::string mdb = GetEnv("KELV_TEST_MDB_PROTECTED").value_or("");
  const std::string password = GetEnv("KELV_TEST_MDB_PASSWORD").value_or("");
  if (mdb.empty() || !PathExists(mdb) || password.empty()) {
    GTEST_SKIP() << "no protected Jet database here: the Linux build makes one";
  }
  struct Case { const char* name; std::string password; int state; };
  const Case cases[] = {
      {"its password", password, kStateOpen},
      {"another password", password + "x", kStateClosed},
      {"letter case differs", UpperCase(password), kStateClosed},
      {"no password", "", kStateClosed},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    const LogFile log("MicrosoftJet", mdb);
    Conector c;
    c.Password(k.password);
    std::shared_ptr<Connection> con;
    c.Conectar(mdb, con);
    EXPECT_EQ(con->State(), k.state);
    if (k.state == kStateOpen) {
      EXPECT_FALSE(log.Exists()) << log.Text();
    } else {
      // The retry, with no password, failed too: the log keeps its plain string.
      EXPECT_EQ(log.Text(), CadenaAccessSimple(mdb) + "\r\nNo es una contraseña válida.");
    }
  }

  const std::string plain = SampleDatabase();
  if (plain.empty() || !PathExists(plain)) return;
  const LogFile log("MicrosoftJet", plain);
  Conector c;
  c.Password("cualquiera");
  std::shared_ptr<Connection> con;
  c.Conectar(plain, con);
  EXPECT_EQ(con->State(), kStateOpen);
  EXPECT_FALSE(log.Exists()) << log.Text();
}

TEST(Conectar, MissingAccessDatabaseFailsWithItsLog) {
  TestFolder dir;
  const std::string mdb = dir.File("Falta.mdb");
  const LogFile log("MicrosoftJet", mdb);
  Conector c;
  c.Password("s3cr3t");
  std::shared_ptr<Connection> con;
  c.Conectar(mdb, con);
  ASSERT_TRUE(con);
  EXPECT_EQ(con->State(), kStateClosed);
  // Both attempts failed; the log holds the retry's string and a description.
  const std::string text = log.Text();
  const std::string head = CadenaAccessSimple(mdb) + "\r\n";
  ASSERT_EQ(text.rfind(head, 0), 0u) << text;
  EXPECT_GT(text.size(), head.size());
  EXPECT_EQ(text.find("s3cr3t"), std::string::npos);
  EXPECT_FALSE(PathExists(mdb));
}

TEST(Conectar, DescriptionFileInTheDataFolder) {
  TestFolder dir;
  WriteConfBase(dir.File("ConfBase.cfg"),
                {{"TipoBD", "SQLServer"}, {"Host", kNadieEscucha}, {"NombreBD", "[Base]"},
                 {"Usuario", ""}, {"Puerto", "1433"}});
  const LogFile log("SQLServer", kNadieEscucha);
  Conector c;
  c.Parametros()->Agregar(std::make_shared<datoBienSimple>("Base", "Personal"), "Base");
  std::shared_ptr<Connection> con;
  c.Conectar(dir.File("cualquiera.txt"), con);
  EXPECT_EQ(c.CarpetaDatos(), FolderOf(dir.File("x")));
  EXPECT_EQ(c.TipoBD(), "SQLServer");
  EXPECT_EQ(c.Puerto(), 1433);
  const std::string want =
      std::string("Provider=SQLOLEDB;Server=") + kNadieEscucha + ";Database=Personal;Trusted_Connection=Yes";
  EXPECT_EQ(con->ConnectionString(), want);
  EXPECT_EQ(con->State(), kStateClosed);
  // Not retried: Base names no Access database.
  EXPECT_EQ(log.Text().rfind(want + "\r\n", 0), 0u) << log.Text();
}

TEST(Conectar, CallersPropertiesAndPasswordMasking) {
  const LogFile log("SQLServer", kNadieEscucha);
  Conector c;
  c.TipoBD("SQLServer");
  c.Host(kNadieEscucha);
  c.NombreBD("Personal");
  c.Usuario("sa");
  c.Password("s3cr3t");
  std::shared_ptr<Connection> con;
  c.Conectar("", con);  // empty Base: the properties as set, no data folder
  EXPECT_EQ(con->State(), kStateClosed);
  EXPECT_EQ(c.CarpetaDatos(), "");
  const std::string text = log.Text();
  EXPECT_EQ(text.rfind(std::string("Provider=SQLOLEDB;Server=") + kNadieEscucha +
                           ";Database=Personal;UID=sa;PWD=***\r\n", 0),
            0u)
      << text;
  EXPECT_EQ(text.find("s3cr3t"), std::string::npos);
}

TEST(Conectar, UnreadableDescriptionsChangeNothing) {
  struct Case { const char* name; std::vector<std::pair<std::string, std::string>> sections; const char* key; };
  const Case cases[] = {
      {"port beyond 32 bits", {{"Host", "otro"}, {"TipoBD", "MySQL"}, {"Puerto", "99999999999"}}, "QqRrSs86420975"},
      {"wrong key", {{"Host", "otro"}, {"TipoBD", "MySQL"}}, "otra clave"},
      {"only a port", {{"Puerto", "5"}, {"NombBDUsu", "u"}}, "QqRrSs86420975"},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    TestFolder dir;
    WriteConfBase(dir.File("ConfBase.cfg"), k.sections, k.key);
    const LogFile log("SQLServer", kNadieEscucha);
    Conector c;
    c.TipoBD("SQLServer");
    c.Host(kNadieEscucha);
    std::shared_ptr<Connection> con;
    c.Conectar(dir.File(""), con);
    EXPECT_EQ(c.Host(), kNadieEscucha);
    EXPECT_EQ(c.TipoBD(), "SQLServer");
    EXPECT_EQ(c.Puerto(), 0);
    EXPECT_EQ(con->State(), kStateClosed);
  }

  // A parameter that is not a datoBienSimple: the substituted fields keep their values,
  // the others are taken over.
  TestFolder dir;
  WriteConfBase(dir.File("ConfBase.cfg"),
                {{"TipoBD", "SQLServer"}, {"Host", kNadieEscucha}, {"Usuario", "[U]"}, {"Permisos", "p"}});
  const LogFile log("SQLServer", kNadieEscucha);
  Conector c;
  c.Usuario("antes");
  c.Parametros()->Agregar(42, "malo");
  std::shared_ptr<Connection> con;
  c.Conectar(dir.File(""), con);
  EXPECT_EQ(c.Usuario(), "antes");
  EXPECT_EQ(c.Password(), "p");
  EXPECT_EQ(c.Host(), kNadieEscucha);
  EXPECT_EQ(con->State(), kStateClosed);
}

}  // namespace
}  // namespace kelv
