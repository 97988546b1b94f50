// Where ODBC data sources are kept, for LeerDSN, DevHost and Conectar (one back-end per OS).
//
// On Windows machine and user data sources are registry keys under
// Software\ODBC\ODBC.INI and file data sources live in CommonProgramFiles\ODBC\Data Sources.
// On Linux they are where unixODBC keeps them, read through its own library (libodbcinst):
// the user's odbc.ini (ODBCINI, else ~/.odbc.ini), the system's odbc.ini (in ODBCSYSINI, else
// unixODBC's configuration folder), and its file data-source folder. So the data source that
// Conectar opens is the one these read.
#pragma once

#include <string>
#include <string_view>

namespace kelv {

// The folder of file data sources, without a final separator. When CommonProgramFiles is set
// and not empty: CommonProgramFiles + "\ODBC\Data Sources" (native separators), on every OS.
// Otherwise on Windows "\ODBC\Data Sources" (the variable's empty value in front); on Linux
// the folder unixODBC resolves FILEDSN names in (FileDSNPath of the [ODBC] section of
// odbcinst.ini, else ODBCDataSources in its configuration folder), as `odbcinst -j` shows it.
std::string FileDataSourceFolder();

// The value named valor of the machine or user data source nombreDSN: the current user's
// definition first, then, when that gives the empty text, the machine's. Windows: registry
// values under Software\ODBC\ODBC.INI\nombreDSN in HKEY_CURRENT_USER, then
// HKEY_LOCAL_MACHINE. Linux: the [nombreDSN] section of the user's odbc.ini, then of the
// system's (unixODBC keeps a value it has read for up to 20 seconds). Names compare without
// regard to letter case; anything missing gives "". Never throws.
std::string DataSourceValue(std::string_view nombreDSN, std::string_view valor);

}  // namespace kelv
