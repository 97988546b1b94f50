// The acc2tsql command (all OSes).
#include "acc2tsql.h"

#include <iostream>
#include <iterator>
#include <optional>

#include "platform/files.h"
#include "sqltranslate/cambia_tipo_sql.h"
#include "text/cp1252.h"
#include "text/error.h"

namespace kelv {
namespace {

constexpr const char* kAyuda =
    "Usage: acc2tsql [--view NAME] [--ansi] [FILE ...]\n"
    "\n"
    "Translates Access (Jet) SQL queries into SQL Server (T-SQL) text. Each FILE holds one\n"
    "query; with no FILE (or FILE \"-\") the query is read from standard input. Each\n"
    "translation is printed followed by one line break.\n"
    "\n"
    "  --view NAME  print \"CREATE VIEW NAME AS \" before each translation\n"
    "  --ansi       read and write Windows-1252 text instead of UTF-8\n"
    "  --help       show this help\n"
    "\n"
    "A query that cannot be translated is reported on standard error as\n"
    "\"acc2tsql: FILE: description\"; the other files are still translated and the exit\n"
    "status is 1. A bad command line gives status 2.\n";

}  // namespace

int EjecutaAcc2tsql(const std::vector<std::string>& args, std::istream& entrada,
                    std::ostream& salida, std::ostream& errores) {
  std::optional<std::string> vista;
  bool ansi = false;
  std::vector<std::string> archivos;
  bool soloArchivos = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (soloArchivos || a == "-" || a.empty() || a[0] != '-') {
      archivos.push_back(a);
    } else if (a == "--") {
      soloArchivos = true;
    } else if (a == "--help" || a == "-h") {
      salida << kAyuda;
      return 0;
    } else if (a == "--ansi") {
      ansi = true;
    } else if (a == "--view") {
      if (i + 1 >= args.size()) {
        errores << "acc2tsql: --view needs a view name\n";
        return 2;
      }
      vista = args[++i];
    } else {
      errores << "acc2tsql: unknown option " << a << " (see --help)\n";
      return 2;
    }
  }
  if (archivos.empty()) archivos.push_back("-");

  clsCambiaTipoSQL traductor;
  int estado = 0;
  for (const std::string& archivo : archivos) {
    std::optional<std::string> bytes;
    if (archivo == "-") {
      bytes = std::string(std::istreambuf_iterator<char>(entrada), {});
    } else {
      bytes = ReadFileBytes(archivo);
    }
    if (!bytes) {
      errores << "acc2tsql: " << archivo << ": cannot read the file\n";
      estado = 1;
      continue;
    }
    const std::string consulta = ansi ? Cp1252ToUtf8(*bytes) : *bytes;
    try {
      std::string texto = traductor.DeAccesASQL(consulta);
      if (vista) texto = "CREATE VIEW " + *vista + " AS " + texto;
      salida << (ansi ? Utf8ToCp1252(texto) : texto) << '\n';
    } catch (const KelvError& e) {
      errores << "acc2tsql: " << archivo << ": " << e.Description() << '\n';
      estado = 1;
    }
  }
  salida.flush();
  return estado;
}

}  // namespace kelv
