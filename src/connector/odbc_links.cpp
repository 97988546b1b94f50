// Conector's ODBC services: the Access link string, the host machine and data-source
// settings from file data sources and the system's store of data sources (all OSes).
#include "connector/conector.h"
#include "connector/machine_name.h"
#include "connector/odbc_sources.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "text/cp1252.h"
#include "text/toolbox.h"

namespace kelv {

namespace {

bool Is(std::string_view text, std::string_view name) {
  return TextEquals(text, name, Compare::AnyCase);
}

// The database name as a link may carry it: blanks become '_', punctuation goes, and the
// accented vowels lose their accent.
std::string NombreParaLink(std::string name) {
  static constexpr std::pair<std::string_view, std::string_view> kReplacements[] = {
      {" ", "_"}, {".", ""}, {"'", ""}, {"\u00B4", ""}, {"-", ""}, {",", ""},
      {"\u00E1", "a"}, {"\u00E9", "e"}, {"\u00ED", "i"}, {"\u00F3", "o"}, {"\u00FA", "u"},
  };
  for (const auto& [find, with] : kReplacements) name = Replace(name, find, with, Compare::AnyCase);
  return name;
}

// The value of key valor in the text of a file data source: the first occurrence of valor
// anywhere (any letter case), one character skipped after it, up to the next CR LF; in a
// text with no CR LF after it, up to the next LF or the end of the text. nullopt when valor
// is absent.
std::optional<std::string> ValorEnTexto(std::string_view text, std::string_view valor) {
  const std::size_t p = InStr(text, valor, Compare::AnyCase);
  if (p == 0 || valor.empty()) return std::nullopt;
  const std::size_t start = p - 1 + valor.size() + 1;
  if (start >= text.size()) return std::string();
  std::string_view value = text.substr(start);
  const std::size_t crlf = value.find("\r\n");
  return std::string(value.substr(0, crlf != std::string_view::npos ? crlf : value.find('\n')));
}

}  // namespace

std::string Conector::LinkParaAcces() const {
  const std::string name = NombreParaLink(ReemplazaConParam(nombreBD_));
  const std::string credentials = ";UID=" + usuario_ + ";PWD=" + password_ + ";";
  const std::string extra = conStr_.empty() ? "" : conStr_ + ";";
  if (Is(tipoBD_, "SQLServer")) {
    std::string link = "[ODBC;Driver=SQL Server;Server=" + host_ + ";Database=" + name;
    if (!usuario_.empty()) link += ";UID=" + usuario_;
    if (!password_.empty()) link += ";PWD=" + password_;
    if (!conStr_.empty()) link += ";" + conStr_;
    return link + "]";
  }
  if (Is(tipoBD_, "DSN")) return "[ODBC;DSN=" + host_ + ";Database=" + name + credentials + extra + "]";
  if (Is(tipoBD_, "FileDSN")) {
    return "[ODBC;FileDSN=" + host_ + ";Database=" + name + credentials + extra + "]";
  }
  if (Is(tipoBD_, "MicrosoftJet")) {
    std::string link = "[ODBC;FileDSN=" + host_ + ";Database=" + name;
    if (!usuario_.empty()) link += ";UID=" + usuario_;
    if (!password_.empty()) link += ";PWD=" + password_;
    if (!conStr_.empty()) link += ";" + conStr_ + ";";
    return link + "]";
  }
  mCrearDSN("TolveTMP", *this);
  return "[ODBC;DSN=TolveTMP;Database=" + name + credentials + extra + "]";
}

std::string Conector::DevHost() const {
  if (tipoBD_.empty() || Is(tipoBD_, "MicrosoftJet")) return LocalMachineName();
  if (Is(tipoBD_, "MySQL")) return host_;
  if (Is(tipoBD_, "DSN") || Is(tipoBD_, "FileDSN")) return LeerDSN(host_, "", "SERVER");
  return host_;
}

std::string Conector::LeerDSN(std::string_view NombreDSN, std::string_view Tipo,
                              std::string_view Valor) const {
  if (Is(Tipo, "FileDSN") || Tipo.empty()) {
    const std::string folder = FileDataSourceFolder();
    const std::string path = JoinSep(folder, NombreDSN);
    if (!folder.empty() && PathExists(path)) {
      if (auto bytes = ReadFileBytes(path)) {
        if (auto value = ValorEnTexto(Cp1252ToUtf8(*bytes), Valor)) return *value;
      }
    }
  }
  if (Is(Tipo, "DSN") || Tipo.empty()) return DataSourceValue(NombreDSN, Valor);
  return std::string();
}

}  // namespace kelv
