// ODBC data sources on Windows: the registry and CommonProgramFiles\ODBC\Data Sources.
#include "connector/odbc_sources.h"

#include "platform/files.h"
#include "platform/paths.h"
#include "settings/registry.h"

namespace kelv {

std::string FileDataSourceFolder() {
  return GetEnv("CommonProgramFiles").value_or("") + NativeSeparators("\\ODBC\\Data Sources");
}

std::string DataSourceValue(std::string_view nombreDSN, std::string_view valor) {
  const std::string key = "Software\\ODBC\\ODBC.INI\\" + std::string(nombreDSN);
  std::int32_t type = kRegSz;
  std::string result = LeerRegistro(kHkeyCurrentUser, key, type, valor);
  if (result.empty()) {
    type = kRegSz;
    result = LeerRegistro(kHkeyLocalMachine, key, type, valor);
  }
  return result;
}

}  // namespace kelv
