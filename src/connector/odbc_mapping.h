// From the provider connection strings of the connector to ODBC connection strings, for
// the ODBC back-end of Connection (all OSes; pure text building).
#pragma once

#include <string>
#include <string_view>

namespace kelv {

// How long a login may wait for its server, in seconds.
inline constexpr int kOdbcLoginTimeoutSeconds = 15;

// The Driver= values used for each provider: a registered driver name in braces, or the
// driver library's path.
struct OdbcDrivers {
  std::string access = "{MDBTools}";
  std::string sqlServer = "{FreeTDS}";
  std::string mysql = "{MariaDB Unicode}";
};

// True for the providers of Access databases: Microsoft.Jet.OLEDB.* and Microsoft.ACE.OLEDB.*
// (any letter case).
bool IsAccessProvider(std::string_view provider);

// The ODBC connection string for a connection string of the connector:
//  - Provider=Microsoft.Jet.OLEDB.4.0 (or ACE): Driver=<access>;DBQ=<Data Source unquoted>.
//    Mode, Persist Security Info, User ID, Password and every "Jet OLEDB:" property
//    (the database password included) are dropped: the driver opens files read-only and
//    does not check database passwords (the Linux Connection checks it before opening).
//    Any other property throws KelvError, as the Jet provider rejects properties it does
//    not know.
//  - Provider=SQLOLEDB: Driver=<sqlServer>;Server=<host>;Port=<port>;Database=..;UID=..;
//    PWD=..; a Server of "host,port" gives that port, "host\instance" no port, else 1433.
//    Trusted_Connection and other parts are passed on.
//  - Provider=OleMySql.MySqlSource.1: Driver=<mysql>;Server=<Data Source>;
//    Database=<Initial Catalog>;User=<User ID>;Password=..; other parts are passed on, and
//    CONN_TIMEOUT=15 is added unless given (the driver ignores the login timeout attribute).
//  - Provider=MSDASQL (ODBC behind OLE DB): the provider and Persist Security Info are
//    dropped; Data Source becomes DSN, User ID UID, Password PWD, Initial Catalog DATABASE;
//    the ODBC string held in Extended Properties is put in its place; other parts are
//    passed on; the result is then treated as a string without a provider.
//  - Any other provider throws KelvError. Strings without a provider (DSN=, FILEDSN=,
//    custom driver strings) are passed on unchanged, except that a FILEDSN naming a file
//    without a folder is looked for in fileDsnFolder when that is not empty.
// Values holding ';', '{' or '}' are written in braces.
std::string MapToOdbc(std::string_view connectionString, const OdbcDrivers& drivers,
                      std::string_view fileDsnFolder);

}  // namespace kelv
