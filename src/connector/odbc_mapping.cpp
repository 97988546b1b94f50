// Provider connection strings mapped to ODBC ones (all OSes).
#include "connector/odbc_mapping.h"

#include <vector>

#include "connector/connection_string_parts.h"
#include "platform/paths.h"
#include "text/error.h"
#include "text/toolbox.h"

namespace kelv {

namespace {

bool Is(std::string_view a, std::string_view b) { return TextEquals(a, b, Compare::AnyCase); }

bool StartsWithAnyCase(std::string_view text, std::string_view head) {
  return text.size() >= head.size() && Is(text.substr(0, head.size()), head);
}

// key=value for an ODBC string, the value in braces when it needs them.
std::string OdbcPair(std::string_view key, std::string_view value) {
  std::string out(key);
  out += '=';
  if (value.find_first_of(";{}") == std::string_view::npos && value == Trim(value)) {
    out.append(value);
  } else {
    out += '{';
    out += Replace(value, "}", "}}");
    out += '}';
  }
  return out;
}

// A connection-string key and the ODBC key it becomes.
struct Rename {
  std::string_view from, to;
};

class OdbcBuilder {
 public:
  void Add(std::string_view key, std::string_view value) { pairs_.push_back(OdbcPair(key, value)); }
  // Adds part under its ODBC name when its key is one of the names' first members (any
  // letter case); false, adding nothing, when it is none of them.
  bool AddRenamed(const ConnectionPart& part, std::initializer_list<Rename> names) {
    for (const Rename& name : names) {
      if (Is(part.key, name.from)) {
        Add(name.to, part.value);
        return true;
      }
    }
    return false;
  }
  // Driver= with the driver's text as it is ("{Name}" or a library path).
  void Driver(std::string_view driver) { pairs_.push_back("Driver=" + std::string(driver)); }
  void AddRaw(std::string_view text, const ConnectionPart& part) {
    AddText(text.substr(part.begin, part.end - part.begin));
  }
  // Text that is already in ODBC form (one or more parts), without its outer blanks and ';'.
  void AddText(std::string_view text) {
    std::string trimmed = Trim(std::string(text));
    while (!trimmed.empty() && trimmed.back() == ';') trimmed.pop_back();
    if (!trimmed.empty()) pairs_.push_back(std::move(trimmed));
  }
  std::string Text() const { return Join(pairs_, ";"); }

 private:
  std::vector<std::string> pairs_;
};

[[noreturn]] void Unsupported(std::string_view what) {
  throw KelvError(kErrInvalidArgument, "Conexión ODBC", std::string(what));
}

std::string MapJet(std::string_view text, const std::vector<ConnectionPart>& parts,
                   const OdbcDrivers& drivers) {
  OdbcBuilder odbc;
  odbc.Driver(drivers.access);
  for (const ConnectionPart& part : parts) {
    if (Is(part.key, "Provider") || Is(part.key, "Mode") || Is(part.key, "Persist Security Info") ||
        Is(part.key, "User ID") || Is(part.key, "Password") ||
        StartsWithAnyCase(part.key, "Jet OLEDB:")) {
      continue;
    }
    if (Is(part.key, "Data Source")) {
      odbc.Add("DBQ", part.value);
      continue;
    }
    Unsupported("No se encuentra el ISAM instalable: el controlador de Access no admite la "
                "propiedad \"" + part.key + "\" de la cadena de conexión \"" +
                std::string(text.substr(part.begin, part.end - part.begin)) + "\"");
  }
  return odbc.Text();
}

std::string MapSqlServer(std::string_view text, const std::vector<ConnectionPart>& parts,
                         const OdbcDrivers& drivers) {
  OdbcBuilder odbc;
  odbc.Driver(drivers.sqlServer);
  bool versionGiven = false;
  for (const ConnectionPart& part : parts) {
    if (Is(part.key, "Provider")) continue;
    if (Is(part.key, "Server") || Is(part.key, "Data Source")) {
      const std::string& server = part.value;
      const std::size_t comma = server.find(',');
      if (comma != std::string::npos) {
        odbc.Add("Server", Trim(server.substr(0, comma)));
        odbc.Add("Port", Trim(server.substr(comma + 1)));
      } else {
        odbc.Add("Server", server);
        if (server.find('\\') == std::string::npos) odbc.Add("Port", "1433");
      }
    } else if (!odbc.AddRenamed(part, {{"Database", "Database"}, {"Initial Catalog", "Database"},
                                        {"UID", "UID"}, {"User ID", "UID"},
                                        {"PWD", "PWD"}, {"Password", "PWD"}})) {
      versionGiven = versionGiven || Is(part.key, "TDS_Version");
      odbc.AddRaw(text, part);
    }
  }
  // FreeTDS left to guess the protocol falls back to a second, Sybase-style login on a new
  // connection, and that attempt waits with no timer: a server that accepts the connection
  // but never answers holds the login forever. SQLOLEDB only ever talks to Microsoft SQL
  // Server, which speaks TDS 7; naming 7.4 (what the guess tries first, and what servers
  // older than 2012 answer with their own version) keeps the login timeout in force.
  if (!versionGiven) odbc.Add("TDS_Version", "7.4");
  return odbc.Text();
}

std::string MapMySql(std::string_view text, const std::vector<ConnectionPart>& parts,
                     const OdbcDrivers& drivers) {
  OdbcBuilder odbc;
  odbc.Driver(drivers.mysql);
  bool timeoutGiven = false;
  for (const ConnectionPart& part : parts) {
    if (Is(part.key, "Provider")) continue;
    if (!odbc.AddRenamed(part, {{"Data Source", "Server"}, {"Initial Catalog", "Database"},
                                {"User ID", "User"}, {"Password", "Password"}})) {
      timeoutGiven = timeoutGiven || Is(part.key, "CONN_TIMEOUT");
      odbc.AddRaw(text, part);
    }
  }
  // MariaDB's driver ignores the login timeout attribute; its own option bounds the wait.
  if (!timeoutGiven) odbc.Add("CONN_TIMEOUT", std::to_string(kOdbcLoginTimeoutSeconds));
  return odbc.Text();
}

std::string PassOn(std::string_view text, const std::vector<ConnectionPart>& parts,
                   std::string_view fileDsnFolder) {
  for (const ConnectionPart& part : parts) {
    if (!Is(part.key, "FILEDSN") || fileDsnFolder.empty() || part.value.empty() ||
        part.value.find_first_of("\\/") != std::string::npos) {
      continue;
    }
    std::string out(text.substr(0, part.begin));
    out += OdbcPair("FILEDSN", JoinSep(fileDsnFolder, part.value));
    out.append(text.substr(part.end));
    return out;
  }
  return std::string(text);
}

// ODBC behind OLE DB (MSDASQL): the provider goes, its OLE DB names become the ODBC ones
// (Data Source the data source, User ID and Password the login, Initial Catalog the
// database), Extended Properties, which holds an ODBC connection string, is put in place as it
// is, Persist Security Info (ADO's own) goes, and every other part is passed on. The result
// is then passed on as any string without a provider.
std::string MapOdbcBridge(std::string_view text, const std::vector<ConnectionPart>& parts,
                          std::string_view fileDsnFolder) {
  OdbcBuilder odbc;
  for (const ConnectionPart& part : parts) {
    if (Is(part.key, "Provider") || Is(part.key, "Persist Security Info")) continue;
    if (odbc.AddRenamed(part, {{"Data Source", "DSN"}, {"User ID", "UID"}, {"Password", "PWD"},
                               {"Initial Catalog", "DATABASE"}})) {
      continue;
    }
    if (Is(part.key, "Extended Properties")) {
      odbc.AddText(part.value);
    } else {
      odbc.AddRaw(text, part);
    }
  }
  const std::string mapped = odbc.Text();
  return PassOn(mapped, SplitConnectionString(mapped), fileDsnFolder);
}

}  // namespace

bool IsAccessProvider(std::string_view provider) {
  return StartsWithAnyCase(provider, "Microsoft.Jet.OLEDB.") ||
         StartsWithAnyCase(provider, "Microsoft.ACE.OLEDB.");
}

std::string MapToOdbc(std::string_view connectionString, const OdbcDrivers& drivers,
                      std::string_view fileDsnFolder) {
  const std::vector<ConnectionPart> parts = SplitConnectionString(connectionString);
  std::string provider;
  for (const ConnectionPart& part : parts) {
    if (Is(part.key, "Provider")) {
      provider = part.value;
      break;
    }
  }
  if (provider.empty()) return PassOn(connectionString, parts, fileDsnFolder);
  if (IsAccessProvider(provider)) return MapJet(connectionString, parts, drivers);
  if (Is(provider, "SQLOLEDB") || StartsWithAnyCase(provider, "SQLOLEDB.")) {
    return MapSqlServer(connectionString, parts, drivers);
  }
  if (StartsWithAnyCase(provider, "OleMySql.MySqlSource")) {
    return MapMySql(connectionString, parts, drivers);
  }
  if (Is(provider, "MSDASQL") || StartsWithAnyCase(provider, "MSDASQL.")) {
    return MapOdbcBridge(connectionString, parts, fileDsnFolder);
  }
  Unsupported("No se encuentra el proveedor especificado: \"" + provider + "\"");
}

}  // namespace kelv
