// Tests of the pure text building: connection strings per kind, the error log's name and
// masking, connection-string parts, and the mapping to ODBC connection strings.
#include <gtest/gtest.h>

#include <string>

#include "connector/conector.h"
#include "connector/connection_string_parts.h"
#include "connector/connection_strings.h"
#include "connector/odbc_mapping.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "text/error.h"

namespace kelv {
namespace {

TEST(ConnectionStrings, EveryKind) {
  struct Case {
    const char* tipo; const char* usuario; const char* password; const char* conStr;
    const char* want;
  };
  const Case cases[] = {
      {"", "", "", "",
       "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=\"C:\\App\\Datos\\Usuarios.mdb\";Mode=ReadWrite;"
       "Persist Security Info=False"},
      {"MicrosoftJet", "", "pw", "",
       "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=\"C:\\App\\Datos\\Usuarios.mdb\";Mode=ReadWrite;"
       "Persist Security Info=False;Jet OLEDB:Database Password='pw';"},
      {"microsoftjet", "", "", "X=1",
       "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=\"C:\\App\\Datos\\Usuarios.mdb\";Mode=ReadWrite;"
       "Persist Security Info=False;X=1;"},
      {"MicrosoftJet", "", "pw", "X=1",
       "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=\"C:\\App\\Datos\\Usuarios.mdb\";Mode=ReadWrite;"
       "Persist Security Info=False;Jet OLEDB:Database Password='pw';X=1;"},
      {"MySQL", "u", "p", "",
       "Provider=OleMySql.MySqlSource.1; Data Source=srv; User ID =u; Password=p; Initial Catalog=db;"},
      {"mysql", "", "", "Port=3307",
       "Provider=OleMySql.MySqlSource.1; Data Source=srv; User ID =; Password=; Initial Catalog=db;Port=3307;"},
      {"FileDSN", "u", "p", "", "FILEDSN=srv;Uid=u;Pwd=p;"},
      {"FILEDSN", "", "", "X=1", "FILEDSN=srv;Uid=;Pwd=;X=1;"},
      {"DSN", "", "", "", "DSN=srv;Uid=;Pwd=;Persist Security Info=False;"},
      {"dsn", "u", "p", "X=1", "DSN=srv;Uid=u;Pwd=p;Persist Security Info=False;X=1;"},
      {"SQLServer", "", "", "", "Provider=SQLOLEDB;Server=srv;Database=db;Trusted_Connection=Yes"},
      {"SQLServer", "u", "", "App=K", "Provider=SQLOLEDB;Server=srv;Database=db;UID=u;PWD=;App=K"},
      {"Postgres", "", "", "Driver={X};Server=[Host];Port=[Puerto]", "Driver={X};Server=srv;Port=0;"},
      {"Postgres", "u", "p", "S=[HOST];D=[nombrebd];P=[puerto]", "S=srv;D=db;P=0;Uid=u;Pwd=p;"},
      {"Postgres", "", "", "[Host]", "srv;"},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(std::string(k.tipo) + " / " + k.conStr);
    Conector c;
    c.TipoBD(k.tipo);
    c.Host("srv");
    c.NombreBD("db");
    c.Usuario(k.usuario);
    c.Password(k.password);
    c.ConStr(k.conStr);
    EXPECT_EQ(CadenaDeConexion(c, "C:\\App\\Datos\\Usuarios.mdb"), k.want);
  }
  Conector self;
  self.TipoBD("Otro");
  self.Host("[Host]");  // a placeholder that expands to itself
  self.ConStr("H=[Host]");
  EXPECT_EQ(CadenaDeConexion(self, ""), "H=[Host];");
  EXPECT_EQ(CadenaAccessSimple("x.mdb"),
            "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=\"x.mdb\";Mode=ReadWrite;Persist Security Info=False");
  EXPECT_EQ(KindOf("sqlSERVER"), TipoConexion::SQLServer);
  EXPECT_EQ(KindOf("x"), TipoConexion::Custom);
}

TEST(ErrorLog, NameOfHost) {
  struct Case { std::string host; std::string want; };
  const Case cases[] = {
      {"C:\\Datos\\Empresa\\Usuarios.mdb", "Empresa_Usuarios"},
      {"C:\\Usuarios.MDB", "C_Usuarios"},
      {"Usuarios.mdb", "Usuarios"},
      {"srv\\SQLEXPRESS", "srv_SQLEXPRESS"},
      {"\\", "_"},
      {"\\Usuarios.mdb", "_Usuarios"},
      {"", ""},
      {"127.0.0.1:3306", "127.0.0.13306"},
      {NativeSeparators("\\srv\\datos\\Empresa\\Base.mdb.mdb"), "Empresa_Base"},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.host);
    EXPECT_EQ(NombreLogDeHost(k.host), k.want);
  }
  EXPECT_EQ(RutaLogDeError("MicrosoftJet", "C:\\Datos\\Empresa\\Usuarios.mdb"),
            JoinSep(ExecutableFolder(), "Error MicrosoftJet_Empresa_Usuarios.LOG"));
}

TEST(ErrorLog, PasswordsAreMasked) {
  struct Case { const char* text; const char* want; };
  const Case cases[] = {
      {"DSN=a;Uid=u;Pwd=secreto;X=1", "DSN=a;Uid=u;Pwd=***;X=1"},
      {"Server=s;UID=u;PWD=secreto", "Server=s;UID=u;PWD=***"},
      {"Provider=OleMySql.MySqlSource.1; Data Source=h; User ID =u; Password=secreto; Initial Catalog=d;",
       "Provider=OleMySql.MySqlSource.1; Data Source=h; User ID =u; Password=***; Initial Catalog=d;"},
      {"Data Source=\"x\";Jet OLEDB:Database Password='se;creto';Y=2",
       "Data Source=\"x\";Jet OLEDB:Database Password=***;Y=2"},
      {"pASSWORD = {a;b} ;pwd=", "pASSWORD =***;pwd=***"},
      {"Driver={X};Server=s;", "Driver={X};Server=s;"},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.text);
    EXPECT_EQ(MaskPasswords(k.text), k.want);
  }
  EXPECT_EQ(ConnectionValue("a=1; Data Source = \"C:\\x;y.mdb\" ;b=2", "data source"), "C:\\x;y.mdb");
}

TEST(ErrorLog, WrittenWholeWithTheLatestFailure) {
  const std::string host = "C:\\Prueba\\Log\\Conector.mdb";
  const std::string path = RutaLogDeError("Prueba", host);
  DeleteFileForced(path);
  EscribirLogDeError("Prueba", host, "DSN=x;Pwd=oculta", "primera");
  EscribirLogDeError("Prueba", host, "DSN=y;Pwd=oculta", "segunda");
  EXPECT_EQ(ReadFileBytes(path).value_or(""), "DSN=y;Pwd=***\r\nsegunda");
  EXPECT_TRUE(DeleteFileForced(path));
}

TEST(OdbcMapping, ProvidersBecomeDrivers) {
  const OdbcDrivers drivers;
  struct Case { std::string ado; std::string want; };
  const Case cases[] = {
      {"Provider=Microsoft.Jet.OLEDB.4.0;Data Source=\"/datos/Usuarios.mdb\";Mode=ReadWrite;"
       "Persist Security Info=False;Jet OLEDB:Database Password='x';",
       "Driver={MDBTools};DBQ=/datos/Usuarios.mdb"},
      {"Provider=Microsoft.Jet.OLEDB.4.0;Data Source=\"/d/a;b.mdb\"", "Driver={MDBTools};DBQ={/d/a;b.mdb}"},
      {"Provider=SQLOLEDB;Server=srv;Database=db;UID=u;PWD=p;App=K",
       "Driver={FreeTDS};Server=srv;Port=1433;Database=db;UID=u;PWD=p;App=K;TDS_Version=7.4"},
      {"Provider=SQLOLEDB;Server=127.0.0.1,1533;Database=db;Trusted_Connection=Yes",
       "Driver={FreeTDS};Server=127.0.0.1;Port=1533;Database=db;Trusted_Connection=Yes;TDS_Version=7.4"},
      {"Provider=SQLOLEDB;Server=srv;tds_version=7.1", "Driver={FreeTDS};Server=srv;Port=1433;tds_version=7.1"},
      {"Provider=SQLOLEDB;Server=srv\\SQLEXPRESS;Database=db", "Driver={FreeTDS};Server=srv\\SQLEXPRESS;Database=db;TDS_Version=7.4"},
      {"Provider=OleMySql.MySqlSource.1; Data Source=h; User ID =u; Password=p; Initial Catalog=d;Port=3307;",
       "Driver={MariaDB Unicode};Server=h;User=u;Password=p;Database=d;Port=3307;CONN_TIMEOUT=15"},
      {"Provider=OleMySql.MySqlSource.1; Data Source=h; User ID =u; Password=p; Initial Catalog=d;conn_timeout=3",
       "Driver={MariaDB Unicode};Server=h;User=u;Password=p;Database=d;conn_timeout=3"},
      {"DSN=x;Uid=;Pwd=;Persist Security Info=False;", "DSN=x;Uid=;Pwd=;Persist Security Info=False;"},
      {"Driver={PostgreSQL Unicode};Server=h;Port=5;", "Driver={PostgreSQL Unicode};Server=h;Port=5;"},
      {"FILEDSN=k.dsn;Uid=u;", "FILEDSN=/c/ODBC" + std::string(1, kPathSep) + "k.dsn;Uid=u;"},
      {"FILEDSN=/otra/k.dsn;Uid=u;", "FILEDSN=/otra/k.dsn;Uid=u;"},
      // ODBC behind OLE DB, in the forms ADO writes.
      {"Provider=MSDASQL.1;Persist Security Info=False;User ID=sa;Password=p;Data Source=Nomina;"
       "Initial Catalog=Personal",
       "UID=sa;PWD=p;DSN=Nomina;DATABASE=Personal"},
      {"Provider=MSDASQL;Extended Properties=\"Driver={SQL Server};Server=srv;\";Uid=u;Pwd=p;",
       "Driver={SQL Server};Server=srv;Uid=u;Pwd=p"},
      {"provider=msdasql; DSN=Nomina; App=Kelv", "DSN=Nomina;App=Kelv"},
      {"Provider=MSDASQL;FILEDSN=k.dsn", "FILEDSN=/c/ODBC" + std::string(1, kPathSep) + "k.dsn"},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.ado);
    EXPECT_EQ(MapToOdbc(k.ado, drivers, "/c/ODBC"), k.want);
  }
  OdbcDrivers paths;
  paths.access = "/usr/lib/odbc/libmdbodbc.so";
  EXPECT_EQ(MapToOdbc("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=\"a.mdb\"", paths, ""),
            "Driver=/usr/lib/odbc/libmdbodbc.so;DBQ=a.mdb");
  EXPECT_EQ(MapToOdbc("FILEDSN=k.dsn", drivers, ""), "FILEDSN=k.dsn");

  // A property the Access provider does not know, and an unknown provider, are refused.
  EXPECT_THROW(MapToOdbc("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=\"a.mdb\";Rara=1;", drivers, ""),
               KelvError);
  EXPECT_THROW(MapToOdbc("Provider=Desconocido.1;Data Source=x", drivers, ""), KelvError);
}

}  // namespace
}  // namespace kelv
