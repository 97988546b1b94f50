// Connection strings per back-end kind and the error log (all OSes).
#include "connector/connection_strings.h"

#include "connector/conector.h"
#include "connector/connection_string_parts.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "settings/tagged_text.h"
#include "text/toolbox.h"

namespace kelv {

namespace {

bool Is(std::string_view tipoBD, std::string_view name) {
  return TextEquals(tipoBD, name, Compare::AnyCase);
}

bool IsSeparator(char c) { return c == '\\' || c == kPathSep; }

}  // namespace

TipoConexion KindOf(std::string_view tipoBD) {
  if (tipoBD.empty() || Is(tipoBD, "MicrosoftJet")) return TipoConexion::MicrosoftJet;
  if (Is(tipoBD, "MySQL")) return TipoConexion::MySQL;
  if (Is(tipoBD, "FileDSN")) return TipoConexion::FileDSN;
  if (Is(tipoBD, "DSN")) return TipoConexion::DSN;
  if (Is(tipoBD, "SQLServer")) return TipoConexion::SQLServer;
  return TipoConexion::Custom;
}

std::string CadenaAccessSimple(std::string_view base) {
  std::string s = "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=\"";
  s.append(base);
  s.append("\";Mode=ReadWrite;Persist Security Info=False");
  return s;
}

std::string CadenaDeConexion(const Conector& c, std::string_view base) {
  const std::string& user = c.Usuario();
  const std::string& password = c.Password();
  const std::string& conStr = c.ConStr();
  std::string s;
  switch (KindOf(c.TipoBD())) {
    case TipoConexion::MicrosoftJet:
      s = CadenaAccessSimple(base);
      if (!password.empty()) s += ";Jet OLEDB:Database Password='" + password + "';";
      if (!conStr.empty()) s += (password.empty() ? ";" : "") + conStr + ";";
      return s;
    case TipoConexion::MySQL:
      s = "Provider=OleMySql.MySqlSource.1; Data Source=" + c.Host() + "; User ID =" + user +
          "; Password=" + password + "; Initial Catalog=" + c.NombreBD() + ";";
      if (!conStr.empty()) s += conStr + ";";
      return s;
    case TipoConexion::FileDSN:
      s = "FILEDSN=" + c.Host() + ";Uid=" + user + ";Pwd=" + password + ";";
      if (!conStr.empty()) s += conStr + ";";
      return s;
    case TipoConexion::DSN:
      s = "DSN=" + c.Host() + ";Uid=" + user + ";Pwd=" + password +
          ";Persist Security Info=False;";
      if (!conStr.empty()) s += conStr + ";";
      return s;
    case TipoConexion::SQLServer:
      s = "Provider=SQLOLEDB;Server=" + c.Host() + ";Database=" + c.NombreBD();
      s += user.empty() ? ";Trusted_Connection=Yes" : ";UID=" + user + ";PWD=" + password;
      if (!conStr.empty()) s += ";" + conStr;
      return s;
    case TipoConexion::Custom:
      s = Replace(conStr, "[Host]", c.Host(), Compare::AnyCase);
      s = Replace(s, "[NombreBD]", c.NombreBD(), Compare::AnyCase);
      s = Replace(s, "[Puerto]", std::to_string(c.Puerto()), Compare::AnyCase);
      s += ";";
      if (!user.empty()) s += "Uid=" + user + ";";
      if (!password.empty()) s += "Pwd=" + password + ";";
      return s;
  }
  return s;
}

std::string NombreLogDeHost(std::string_view host) {
  std::size_t last = std::string_view::npos;
  std::size_t secondToLast = std::string_view::npos;
  for (std::size_t i = 0; i < host.size(); ++i) {
    if (IsSeparator(host[i])) {
      secondToLast = last;
      last = i;
    }
  }
  std::string name(secondToLast == std::string_view::npos ? host : host.substr(secondToLast + 1));
  for (char& ch : name) {
    if (IsSeparator(ch)) ch = '_';
  }
  name = Replace(name, ":", "");
  return Replace(name, ".MDB", "", Compare::AnyCase);
}

std::string RutaLogDeError(std::string_view tipoBD, std::string_view host) {
  std::string name = "Error ";
  name.append(tipoBD);
  name += "_" + NombreLogDeHost(host) + ".LOG";
  return JoinSep(ExecutableFolder(), name);
}

void EscribirLogDeError(std::string_view tipoBD, std::string_view host,
                        std::string_view connectionString, std::string_view description) {
  try {
    std::string content = MaskPasswords(connectionString);
    content += "\r\n";
    content.append(description);
    GuardoBloqueArch(RutaLogDeError(tipoBD, host), "*", content);
  } catch (...) {
    // The log is a help for people, never a reason to fail the connection attempt.
  }
}

}  // namespace kelv
