// ODBC data sources on Linux: read where unixODBC keeps them, through libodbcinst, so the
// definitions are the ones its driver manager connects with. Texts are UTF-8, as the
// configuration files of the system are.
#include <odbcinst.h>

#include <array>

#include "connector/odbc_sources.h"
#include "platform/files.h"
#include "platform/paths.h"

// libodbcinst's own resolution of the file data-source folder, the one its driver manager
// and `odbcinst -j` use: FileDSNPath in the [ODBC] section of odbcinst.ini, else
// ODBCDataSources in the configuration folder (ODBCSYSINI or the built-in one). Exported by
// the library since 2.3.1 but declared only in its private header.
extern "C" BOOL _odbcinst_FileINI(char* path);

namespace kelv {

namespace {

// Large enough for any path the library composes (its own limit is FILENAME_MAX).
constexpr std::size_t kPathBuffer = 2 * FILENAME_MAX + 64;

// The value of one entry of a data source in the odbc.ini that the mode names, or "".
std::string ProfileValue(UWORD mode, const std::string& section, const std::string& entry) {
  std::array<char, 4096> value{};
  SQLSetConfigMode(mode);
  const int length = SQLGetPrivateProfileString(section.c_str(), entry.c_str(), "", value.data(),
                                                static_cast<int>(value.size()), "ODBC.INI");
  return length > 0 ? std::string(value.data()) : std::string();
}

}  // namespace

std::string FileDataSourceFolder() {
  if (auto common = GetEnv("CommonProgramFiles"); common && !common->empty()) {
    return *common + NativeSeparators("\\ODBC\\Data Sources");
  }
  std::string path(kPathBuffer, '\0');
  if (!_odbcinst_FileINI(path.data())) return std::string();
  path.resize(path.find('\0'));
  while (path.size() > 1 && path.back() == kPathSep) path.pop_back();
  return path;
}

std::string DataSourceValue(std::string_view nombreDSN, std::string_view valor) {
  const std::string section(nombreDSN);
  const std::string entry(valor);
  // An empty section or entry would make the library list sections or entries instead.
  if (section.empty() || entry.empty()) return std::string();
  // The configuration mode is the library's process-wide setting; it is put back as it was.
  UWORD previous = ODBC_BOTH_DSN;
  SQLGetConfigMode(&previous);
  std::string value = ProfileValue(ODBC_USER_DSN, section, entry);
  if (value.empty()) value = ProfileValue(ODBC_SYSTEM_DSN, section, entry);
  SQLSetConfigMode(previous);
  return value;
}

}  // namespace kelv
