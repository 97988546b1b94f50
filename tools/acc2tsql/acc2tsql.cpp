// The acc2tsql command (all OSes).
#include "acc2tsql.h"

#include <iostream>
#include <iterator>
#include <optional>
#include <string_view>

#include "platform/files.h"
#include "sqltranslate/cambia_tipo_sql.h"
#include "text/cp1252.h"
#include "text/error.h"
#include "text/terminal_text.h"

namespace kelv {
namespace {

constexpr const char* kAyuda =
    "Usage: acc2tsql [--view NAME] [--ansi] [FILE ...]\n"
    "\n"
    "Translates Access (Jet) SQL queries into SQL Server (T-SQL) text. Each FILE holds one\n"
    "query; with no FILE (or FILE \"-\") the query is read from standard input. A leading\n"
    "UTF-8 byte-order mark is ignored and LF line ends count as CR LF. Each translation is\n"
    "printed followed by one line break.\n"
    "\n"
    "  --view NAME  print \"CREATE VIEW NAME AS \" before each translation\n"
    "  --ansi       read and write Windows-1252 text instead of UTF-8\n"
    "  --help       show this help\n"
    "\n"
    "Forms references and the parameters of a PARAMETERS clause become T-SQL parameters\n"
    "named after what they stand for; each is listed on standard error as\n"
    "\"acc2tsql: FILE: parameter @NAME [TYPE] stands for TEXT\".\n"
    "A construct that has no T-SQL translation (a user-defined VBA function, Eval, First,\n"
    "Last, a domain function or Format pattern built at run time, a crosstab without an IN\n"
    "list, a table in another database, a parameter in a view) is left in the printed\n"
    "translation and reported on standard error as\n"
    "\"acc2tsql: FILE: warning: WHAT at \"TEXT\"\".\n"
    "A query that cannot be translated is reported on standard error as\n"
    "\"acc2tsql: FILE: description\"; the other files are still translated.\n"
    "\n"
    "Exit status: 0 every query was translated; 1 a query could not be read or\n"
    "translated; 2 bad command line; 3 every query was translated, with warnings.\n";

// Text of a query shown on the terminal: control characters written as escapes, and a long
// text cut (at a character boundary) with "..." after it.
std::string ParaTerminal(std::string_view texto) {
  constexpr std::size_t kLargo = 160;
  if (texto.size() <= kLargo) return EscapeControls(texto);
  std::size_t corte = kLargo;
  while (corte > 0 && (static_cast<unsigned char>(texto[corte]) & 0xC0) == 0x80) --corte;
  return EscapeControls(texto.substr(0, corte)) + "...";
}

// The query as the translator takes it: UTF-8 (from Windows-1252 when ansi), without a
// leading UTF-8 byte-order mark (exported query files usually carry one) and with CR LF line
// ends (a lone LF becomes CR LF).
std::string TextoDeConsulta(std::string bytes, bool ansi) {
  static constexpr std::string_view kMarca = "\xEF\xBB\xBF";
  if (bytes.compare(0, kMarca.size(), kMarca) == 0) bytes.erase(0, kMarca.size());
  if (ansi) bytes = Cp1252ToUtf8(bytes);
  if (bytes.find('\n') == std::string::npos) return bytes;
  std::string out;
  out.reserve(bytes.size() + bytes.size() / 16);
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] == '\n' && (i == 0 || bytes[i - 1] != '\r')) out.push_back('\r');
    out.push_back(bytes[i]);
  }
  return out;
}

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
    const std::string consulta = TextoDeConsulta(std::move(*bytes), ansi);
    auto texto = [&](const std::string& t) { return ansi ? Utf8ToCp1252(t) : t; };
    try {
      Traduccion r = traductor.DeAccesASQLConAvisos(consulta, vista.has_value());
      if (vista) r.texto = "CREATE VIEW " + *vista + " AS " + r.texto;
      salida << texto(r.texto) << '\n';
      for (const ParametroTraduccion& p : r.parametros) {
        errores << "acc2tsql: " << archivo << ": parameter " << p.nombre
                << (p.tipo.empty() ? "" : " " + p.tipo) << " stands for "
                << texto(ParaTerminal(p.origen)) << '\n';
      }
      for (const AvisoTraduccion& a : r.avisos) {
        errores << "acc2tsql: " << archivo << ": warning: " << a.que << " at \""
                << texto(ParaTerminal(a.texto)) << "\"\n";
      }
      if (!r.avisos.empty() && estado == 0) estado = 3;
    } catch (const KelvError& e) {
      errores << "acc2tsql: " << archivo << ": " << e.Description() << '\n';
      estado = 1;
    }
  }
  salida.flush();
  return estado;
}

}  // namespace kelv
