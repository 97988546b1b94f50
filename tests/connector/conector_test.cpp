// Tests of Conector's description: properties, the description file, placeholders, and the
// ODBC helpers (link strings, data-source settings where the system keeps them, host machine).
#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#endif

#include <cstdio>
#include <random>
#include <string>

#include "connector/conector.h"
#include "connector/dato_bien_simple.h"
#include "connector/odbc_sources.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "settings/test_folder.h"
#include "test_env.h"
#include "text/error.h"

namespace kelv {
namespace {

TEST(Conector, DefaultsAndArchDeConexion) {
  Conector c;
  EXPECT_EQ(c.ArchDeConexion(), "ConfBase.cfg");
  EXPECT_EQ(c.CarpetaDatos(), "");
  EXPECT_EQ(c.Puerto(), 0);
  ASSERT_TRUE(c.Parametros());
  EXPECT_EQ(c.Parametros()->Cantidad(), 0);

  c.ArchDeConexion("C:\\App\\Datos\\Otra.cfg");
  EXPECT_EQ(c.CarpetaDatos(), "C:\\App\\Datos\\");
  EXPECT_EQ(c.ArchDeConexion(), "Otra.cfg");
  c.ArchDeConexion("Tercera.cfg");  // a bare name keeps the folder
  EXPECT_EQ(c.CarpetaDatos(), "C:\\App\\Datos\\");
  EXPECT_EQ(c.ArchDeConexion(), "Tercera.cfg");
  c.ArchDeConexion(NativeSeparators("\\srv\\datos\\X.cfg"));  // native separators too
  EXPECT_EQ(c.CarpetaDatos(), NativeSeparators("\\srv\\datos\\"));

  // The last backslash at character 32,767 still fits; one further overflows.
  const std::string fits = std::string(32766, 'a') + "\\f.cfg";
  c.ArchDeConexion(fits);
  EXPECT_EQ(c.ArchDeConexion(), "f.cfg");
  try {
    c.ArchDeConexion(std::string(32767, 'a') + "\\g.cfg");
    FAIL() << "no overflow";
  } catch (const KelvError& e) {
    EXPECT_EQ(e.Number(), kErrOverflow);
  }
  EXPECT_EQ(c.ArchDeConexion(), "f.cfg");
}

TEST(Conector, ReemplazaConParam) {
  Conector c;
  c.Parametros()->Agregar(std::make_shared<datoBienSimple>("Host", "srv[Base]"), "Host");
  c.Parametros()->Agregar(std::make_shared<datoBienSimple>("Base", "empresa"), "Base");
  c.Parametros()->Agregar(std::make_shared<datoBienSimple>("Yo", "[Yo]"), "Yo");
  // Any letter case; later parameters apply to earlier values; a value that expands to
  // itself stays.
  EXPECT_EQ(c.ReemplazaConParam("S=[HOST];s=[host];D=[base];U=[Yo];[Otro]"),
            "S=srvempresa;s=srvempresa;D=empresa;U=[Yo];[Otro]");

  c.Parametros()->Agregar("no soy un parámetro", "malo");
  EXPECT_THROW(c.ReemplazaConParam("[Host]"), KelvError);

  c.Parametros(nullptr);
  EXPECT_EQ(c.ReemplazaConParam("[Host]"), "[Host]");
}

TEST(Conector, DevDatosSegunArch) {
  TestFolder dir;
  const std::string file = dir.File("ConfBase.cfg");
  WriteConfBase(file, {{"Permisos", "clave"}, {"Usuario", "[Yo]"}, {"TipoBD", "SQLServer"},
                       {"ConStr", "App=Kelv"}, {"NombreBD", "Personal"}, {"Host", "srv\\sql"},
                       {"Puerto", " 1 433 "}, {"NombBDUsu", "Usuarios"}});
  Conector c;
  const clsTipoDatoConex rec = c.DevDatosSegunArch(file, "");
  EXPECT_EQ(rec.Contra, "clave");
  EXPECT_EQ(rec.Usuario, "[Yo]");  // not substituted here
  EXPECT_EQ(rec.TipoBD, "SQLServer");
  EXPECT_EQ(rec.ConStr, "App=Kelv");
  EXPECT_EQ(rec.NombreBD, "Personal");
  EXPECT_EQ(rec.Host, "srv\\sql");
  EXPECT_EQ(rec.Puerto, 1433);  // blanks are ignored
  EXPECT_EQ(rec.NombBDUsu, "Usuarios");

  // An own key; the wrong key, a missing, empty or random file: an empty record.
  WriteConfBase(dir.File("propia.cfg"), {{"Host", "h"}}, "otra clave");
  EXPECT_EQ(c.DevDatosSegunArch(dir.File("propia.cfg"), "otra clave").Host, "h");
  std::mt19937 random(7);
  std::string noise(4096, '\0');
  for (char& ch : noise) ch = static_cast<char>(random());
  WriteFileReplacing(dir.File("ruido.cfg"), noise);
  WriteFileReplacing(dir.File("vacio.cfg"), "");
  for (const auto& [path, key] : {std::pair<std::string, std::string>{file, "otra clave"},
                                  {dir.File("falta.cfg"), ""},
                                  {dir.File("vacio.cfg"), ""},
                                  {dir.File("ruido.cfg"), ""}}) {
    SCOPED_TRACE(path + " / " + key);
    const clsTipoDatoConex empty = c.DevDatosSegunArch(path, key);
    EXPECT_EQ(empty.Host + empty.Contra + empty.Usuario + empty.TipoBD + empty.ConStr +
                  empty.NombreBD + empty.NombBDUsu,
              "");
    EXPECT_EQ(empty.Puerto, 0);
  }
  EXPECT_FALSE(PathExists(dir.File("falta.cfg")));

  struct Port { const char* text; std::int32_t want; };
  for (const Port& p : {Port{"2.5", 2}, Port{"3.5", 4}, Port{"", 0}, Port{"abc", 0},
                        Port{"&H10", 16}, Port{"-7", -7}, Port{"2147483647", 2147483647}}) {
    SCOPED_TRACE(p.text);
    WriteConfBase(file, {{"Puerto", p.text}});
    EXPECT_EQ(c.DevDatosSegunArch(file, "").Puerto, p.want);
  }
  WriteConfBase(file, {{"Puerto", "2147483648"}});
  try {
    c.DevDatosSegunArch(file, "");
    FAIL() << "no overflow";
  } catch (const KelvError& e) {
    EXPECT_EQ(e.Number(), kErrOverflow);
  }
}

TEST(Conector, LinkParaAcces) {
  struct Case { const char* tipo; const char* usuario; const char* password; const char* conStr; const char* want; };
  const Case cases[] = {
      {"SQLServer", "", "", "", "[ODBC;Driver=SQL Server;Server=srv;Database=Educacion_Publica__2010]"},
      {"sqlserver", "u", "p", "App=K",
       "[ODBC;Driver=SQL Server;Server=srv;Database=Educacion_Publica__2010;UID=u;PWD=p;App=K]"},
      {"DSN", "", "", "", "[ODBC;DSN=srv;Database=Educacion_Publica__2010;UID=;PWD=;]"},
      {"FileDSN", "u", "", "X=1", "[ODBC;FileDSN=srv;Database=Educacion_Publica__2010;UID=u;PWD=;X=1;]"},
      {"MicrosoftJet", "", "p", "X=1", "[ODBC;FileDSN=srv;Database=Educacion_Publica__2010;PWD=p;X=1;]"},
      {"", "", "", "", "[ODBC;DSN=TolveTMP;Database=Educacion_Publica__2010;UID=;PWD=;]"},
      {"MySQL", "u", "p", "", "[ODBC;DSN=TolveTMP;Database=Educacion_Publica__2010;UID=u;PWD=p;]"},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.tipo);
    Conector c;
    c.TipoBD(k.tipo);
    c.Host("srv");
    c.NombreBD("Educación Pública - 2010");
    c.Usuario(k.usuario);
    c.Password(k.password);
    c.ConStr(k.conStr);
    EXPECT_EQ(c.LinkParaAcces(), k.want);
  }
  Conector c;
  c.TipoBD("SQLServer");
  c.NombreBD("[Base]'s, d.b. ÁÉÍÓÚ´ ñandú");
  c.Parametros()->Agregar(std::make_shared<datoBienSimple>("Base", "Año"), "Base");
  EXPECT_EQ(c.LinkParaAcces(), "[ODBC;Driver=SQL Server;Server=;Database=Años_db_aeiou_ñandu]");
}

TEST(Conector, LeerDSNFromFiles) {
  TestFolder dir;
  const ScopedEnv common("CommonProgramFiles", dir.Path());
  const std::string folder = JoinSep(dir.Path(), NativeSeparators("ODBC\\Data Sources"));
  ASSERT_TRUE(std::filesystem::create_directories(std::filesystem::u8path(folder)));
  WriteFileReplacing(JoinSep(folder, "a.dsn"),
                     "[ODBC]\r\nDRIVER=SQL Server\r\nSERVER=srv\r\nDATABASE=Personal");
  WriteFileReplacing(JoinSep(folder, "lf.dsn"), "[ODBC]\nSERVER=srv2\nUID=x\n");
  Conector c;
  struct Case { const char* nombre; const char* tipo; const char* valor; const char* want; };
  const Case cases[] = {
      // "Server" at the end of the DRIVER line comes first: the value starts after it.
      {"a.dsn", "FileDSN", "SERVER", "\nSERVER=srv"},
      {"a.dsn", "", "database", "Personal"},         // the last value, with no line break
      {"a.dsn", "filedsn", "UID", ""},                // a file without the key
      {"a.dsn", "DSN", "DATABASE", ""},               // DSN never reads a file
      {"lf.dsn", "FileDSN", "SERVER", "srv2"},        // LF line breaks
      {"falta.dsn", "FileDSN", "SERVER", ""},
      {"a.dsn", "Otro", "SERVER", ""},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(std::string(k.nombre) + " " + k.tipo + " " + k.valor);
    EXPECT_EQ(c.LeerDSN(k.nombre, k.tipo, k.valor), k.want);
  }

  c.TipoBD("FileDSN");
  c.Host("lf.dsn");
  EXPECT_EQ(c.DevHost(), "srv2");
}

#ifdef _WIN32
// Machine and user data sources on Windows: registry keys under Software\ODBC\ODBC.INI, the
// current user's first.
TEST(Conector, LeerDSNFromTheRegistry) {
  const wchar_t* key = L"Software\\ODBC\\ODBC.INI\\KelvPrueba";
  auto set = [&](HKEY root, const wchar_t* name, const std::wstring& value) {
    return RegSetKeyValueW(root, key, name, REG_SZ, value.c_str(),
                           static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
  };
  ASSERT_TRUE(set(HKEY_CURRENT_USER, L"SERVER", L"del usuario"));
  if (!set(HKEY_LOCAL_MACHINE, L"SERVER", L"de la maquina") ||
      !set(HKEY_LOCAL_MACHINE, L"Database", L"Personal")) {
    RegDeleteTreeW(HKEY_CURRENT_USER, key);
    GTEST_SKIP() << "the machine's registry cannot be written here";
  }
  TestFolder dir;
  const ScopedEnv common("CommonProgramFiles", dir.Path());  // no file data sources
  Conector c;
  struct Case { const char* tipo; const char* valor; const char* want; };
  const Case cases[] = {
      {"DSN", "SERVER", "del usuario"},
      {"", "server", "del usuario"},
      {"DSN", "Database", "Personal"},  // the user's lacks it: the machine's value
      {"FileDSN", "SERVER", ""},
      {"DSN", "Falta", ""},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(std::string(k.tipo) + " " + k.valor);
    EXPECT_EQ(c.LeerDSN("KelvPrueba", k.tipo, k.valor), k.want);
  }
  c.TipoBD("DSN");
  c.Host("kelvprueba");
  EXPECT_EQ(c.DevHost(), "del usuario");
  RegDeleteTreeW(HKEY_CURRENT_USER, key);
  RegDeleteTreeW(HKEY_LOCAL_MACHINE, key);
}
#endif

#ifndef _WIN32
// The folder of unixODBC's configuration this test program owns (its ODBCSYSINI), or "".
std::string OwnOdbcConfigFolder() { return GetEnv("ODBCSYSINI").value_or(""); }

// The file data-source folder `odbcinst -j` reports, or "" when the tool is missing.
std::string OdbcinstFileDataSources() {
  std::string out;
  if (FILE* pipe = popen("odbcinst -j 2>/dev/null", "r")) {
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, pipe)) out += buffer;
    pclose(pipe);
  }
  const std::string label = "FILE DATA SOURCES..: ";
  const std::size_t at = out.find(label);
  if (at == std::string::npos) return std::string();
  const std::size_t start = at + label.size();
  return out.substr(start, out.find('\n', start) - start);
}

// Machine and user data sources on Linux: the odbc.ini files unixODBC reads (the user's named
// by ODBCINI, the machine's in ODBCSYSINI), never the registry file. The names are this
// test's own: unixODBC keeps what it read for 20 seconds, whatever file it came from.
TEST(Conector, LeerDSNWhereUnixOdbcKeepsThem) {
  const std::string system = OwnOdbcConfigFolder();
  if (system.empty()) GTEST_SKIP() << "ODBCSYSINI names no configuration folder of this test";
  TestFolder dir;
  WriteFileReplacing(JoinSep(system, "odbc.ini"),
                     "[Ambos]\nSERVER = de la maquina\nDatabase=Personal\n\n"
                     "[SoloMaquina]\nServer=srv-sistema\n");
  WriteFileReplacing(dir.File("odbc.ini"), "[Ambos]\nSERVER=del usuario\n");
  const ScopedEnv user("ODBCINI", dir.File("odbc.ini"));
  const ScopedEnv common("CommonProgramFiles", dir.Path());
  const std::string folder = JoinSep(dir.Path(), NativeSeparators("ODBC\\Data Sources"));
  ASSERT_TRUE(std::filesystem::create_directories(std::filesystem::u8path(folder)));
  WriteFileReplacing(JoinSep(folder, "Ambos"), "SERVER=del archivo\r\n");
  // A registry file that names the same data source: it is not where they are kept here.
  WriteFileReplacing(dir.File("registry.reg"),
                     "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\ODBC\\ODBC.INI\\Ambos]\r\n"
                     "\"SERVER\"=\"del registro\"\r\n\"Database\"=\"del registro\"\r\n");
  const ScopedEnv registry("KELV_REGISTRY", dir.File("registry.reg"));
  Conector c;
  struct Case { const char* nombre; const char* tipo; const char* valor; const char* want; };
  const Case cases[] = {
      {"Ambos", "", "SERVER", "del archivo"},     // a file with the key wins
      {"Ambos", "DSN", "SERVER", "del usuario"},  // the user's definition before the machine's
      {"ambos", "dsn", "database", "Personal"},   // the user's lacks it: the machine's value
      {"Ambos", "FileDSN", "Database", ""},       // FileDSN never reads odbc.ini
      {"SoloMaquina", "DSN", "SERVER", "srv-sistema"},
      {"Ambos", "DSN", "Falta", ""},
      {"Ninguno", "", "SERVER", ""},
      {"Ambos", "DSN", "", ""},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(std::string(k.nombre) + " " + k.tipo + " " + k.valor);
    EXPECT_EQ(c.LeerDSN(k.nombre, k.tipo, k.valor), k.want);
  }
  c.TipoBD("DSN");
  c.Host("SoloMaquina");
  EXPECT_EQ(c.DevHost(), "srv-sistema");
  DeleteFileForced(JoinSep(system, "odbc.ini"));
}

// File data sources without CommonProgramFiles: the folder unixODBC resolves FILEDSN names
// in, here the FileDSNPath of the test's own odbcinst.ini, as `odbcinst -j` reports it.
TEST(Conector, FileDataSourcesWhereUnixOdbcKeepsThem) {
  const std::string system = OwnOdbcConfigFolder();
  if (system.empty()) GTEST_SKIP() << "ODBCSYSINI names no configuration folder of this test";
  const std::string folder = JoinSep(system, "Archivos DSN");
  for (const std::optional<std::string>& common : {std::optional<std::string>(), std::optional<std::string>("")}) {
    const ScopedEnv unset("CommonProgramFiles", common);
    EXPECT_EQ(FileDataSourceFolder(), folder);
  }
  const ScopedEnv unset("CommonProgramFiles", std::nullopt);
  const std::string reported = OdbcinstFileDataSources();
  if (!reported.empty()) {
    EXPECT_EQ(FileDataSourceFolder(), reported);
  }

  std::filesystem::create_directories(std::filesystem::u8path(folder));
  WriteFileReplacing(JoinSep(folder, "Kelv.dsn"), "[ODBC]\r\nDRIVER=X\r\nSERVER=srv-archivo\r\n");
  Conector c;
  EXPECT_EQ(c.LeerDSN("Kelv.dsn", "FileDSN", "SERVER"), "srv-archivo");
  c.TipoBD("FileDSN");
  c.Host("Kelv.dsn");
  EXPECT_EQ(c.DevHost(), "srv-archivo");
  DeleteFileForced(JoinSep(folder, "Kelv.dsn"));
}
#endif

TEST(Conector, DevHost) {
  Conector c;
  {
    const ScopedEnv name("computername", std::string("PUESTO-7"));
    EXPECT_EQ(c.DevHost(), "PUESTO-7");
    c.TipoBD("MicrosoftJet");
    EXPECT_EQ(c.DevHost(), "PUESTO-7");
  }
  c.Host("srv");
  for (const char* tipo : {"SQLServer", "MySQL", "Postgres"}) {
    c.TipoBD(tipo);
    EXPECT_EQ(c.DevHost(), "srv") << tipo;
  }
#ifndef _WIN32
  // Without computername Linux names the machine by its host name.
  const ScopedEnv none("computername", std::nullopt);
  c.TipoBD("");
  EXPECT_FALSE(c.DevHost().empty());
#endif
}

}  // namespace
}  // namespace kelv
