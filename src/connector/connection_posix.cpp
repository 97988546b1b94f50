// Connection on Linux: a unixODBC connection. The connector's provider strings are mapped
// to ODBC connection strings when opening (odbc_mapping.h); ConnectionString keeps the
// text it was given. The password of an Access database is checked here, since the Access
// driver does not.
#include <sql.h>
#include <sqlext.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <optional>

#include "connector/connection.h"
#include "connector/connection_string_parts.h"
#include "connector/jet_header.h"
#include "connector/odbc_mapping.h"
#include "connector/odbc_sources.h"
#include "text/error.h"
#include "text/toolbox.h"

#ifndef KELV_ODBC_DRIVER_DIR
#define KELV_ODBC_DRIVER_DIR "/usr/lib/x86_64-linux-gnu/odbc"
#endif

namespace kelv {

namespace {

constexpr const char* kSource = "ODBC";

// The driver manager's and the driver's messages for a failed call, one per record.
std::string Diagnostics(SQLSMALLINT handleType, SQLHANDLE handle) {
  std::string text;
  for (SQLSMALLINT record = 1;; ++record) {
    SQLCHAR state[6] = {};
    SQLCHAR message[SQL_MAX_MESSAGE_LENGTH + 1] = {};
    SQLINTEGER nativeError = 0;
    SQLSMALLINT length = 0;
    const SQLRETURN rc = SQLGetDiagRec(handleType, handle, record, state, &nativeError, message,
                                       sizeof message, &length);
    if (!SQL_SUCCEEDED(rc)) break;
    if (!text.empty()) text += "; ";
    text += reinterpret_cast<const char*>(message);
  }
  return text;
}

// The name a driver is registered under, in braces, or its library's path.
std::string DriverFor(SQLHENV env, std::initializer_list<const char*> names, const char* library) {
  SQLCHAR description[256];
  SQLCHAR attributes[1024];
  SQLSMALLINT descriptionLength = 0;
  SQLSMALLINT attributesLength = 0;
  for (const char* wanted : names) {
    SQLUSMALLINT direction = SQL_FETCH_FIRST;
    while (SQL_SUCCEEDED(SQLDrivers(env, direction, description, sizeof description,
                                    &descriptionLength, attributes, sizeof attributes,
                                    &attributesLength))) {
      direction = SQL_FETCH_NEXT;
      if (TextEquals(reinterpret_cast<const char*>(description), wanted, Compare::AnyCase)) {
        return std::string("{") + wanted + "}";
      }
    }
  }
  return std::string(KELV_ODBC_DRIVER_DIR) + "/" + library;
}

OdbcDrivers InstalledDrivers(SQLHENV env) {
  OdbcDrivers drivers;
  drivers.access = DriverFor(env, {"MDBTools"}, "libmdbodbc.so");
  drivers.sqlServer = DriverFor(env, {"FreeTDS"}, "libtdsodbc.so");
  drivers.mysql = DriverFor(env, {"MariaDB Unicode", "MariaDB"}, "libmaodbc.so");
  return drivers;
}

// MDBTools opens a password-protected Jet database without asking for its password, where
// Jet refuses it unless it is given the database's own. The same check is made here, from
// the database's first page, before the driver opens it. A file that cannot be read, or that
// is not a Jet 3 or Jet 4 database, is left to the driver to report.
void CheckAccessPassword(std::string_view connectionString) {
  if (!IsAccessProvider(ConnectionValue(connectionString, "Provider"))) return;
  std::ifstream file(std::filesystem::u8path(ConnectionValue(connectionString, "Data Source")),
                     std::ios::binary);
  std::string header(kJetHeaderBytes, '\0');
  if (!file.read(header.data(), static_cast<std::streamsize>(header.size()))) return;
  const std::optional<std::string> stored = JetDatabasePassword(header);
  if (!stored || stored->empty()) return;
  if (ConnectionValue(connectionString, "Jet OLEDB:Database Password") == *stored) return;
  throw KelvError(kErrInvalidArgument, "Microsoft JET Database Engine",
                  "No es una contraseña válida.");
}

bool HasAnyKey(std::string_view text, std::initializer_list<std::string_view> keys) {
  for (const ConnectionPart& part : SplitConnectionString(text)) {
    for (std::string_view key : keys) {
      if (TextEquals(part.key, key, Compare::AnyCase)) return true;
    }
  }
  return false;
}

class OdbcConnection final : public Connection {
 public:
  ~OdbcConnection() override {
    Disconnect();
    if (env_ != SQL_NULL_HENV) SQLFreeHandle(SQL_HANDLE_ENV, env_);
  }

  int State() const override { return open_ ? kStateOpen : kStateClosed; }

  void Close() override {
    if (!open_) Refuse("cerrado");
    Disconnect();
  }

  int CursorLocation() const override { return cursorLocation_; }
  void CursorLocation(int value) override { cursorLocation_ = value; }

  const std::string& ConnectionString() const override { return connectionString_; }
  void ConnectionString(std::string_view value) override {
    if (open_) Refuse("abierto");
    connectionString_ = std::string(value);
  }

  void Open(std::string_view connectionString, std::string_view user, std::string_view password,
            int /*options: ODBC has no asynchronous open*/) override {
    if (open_) Refuse("abierto");
    if (!connectionString.empty()) connectionString_ = std::string(connectionString);
    CheckAccessPassword(connectionString_);
    Environment();
    std::string odbc = MapToOdbc(connectionString_, InstalledDrivers(env_), FileDataSourceFolder());
    if (!user.empty() && !HasAnyKey(odbc, {"UID", "User", "User ID"})) {
      odbc += ";UID=" + std::string(user);
      if (!HasAnyKey(odbc, {"PWD", "Password"})) odbc += ";PWD=" + std::string(password);
    }

    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_DBC, env_, &dbc_))) {
      dbc_ = SQL_NULL_HDBC;
      throw KelvError(kErrInvalidArgument, kSource,
                      "No se pudo crear la conexión ODBC: " + Diagnostics(SQL_HANDLE_ENV, env_));
    }
    const auto timeout = reinterpret_cast<SQLPOINTER>(static_cast<std::uintptr_t>(kOdbcLoginTimeoutSeconds));
    SQLSetConnectAttr(dbc_, SQL_ATTR_LOGIN_TIMEOUT, timeout, SQL_IS_UINTEGER);
    SQLSetConnectAttr(dbc_, SQL_ATTR_CONNECTION_TIMEOUT, timeout, SQL_IS_UINTEGER);
    SQLCHAR completed[1024];
    SQLSMALLINT completedLength = 0;
    const SQLRETURN rc = SQLDriverConnect(
        dbc_, nullptr, reinterpret_cast<SQLCHAR*>(odbc.data()), static_cast<SQLSMALLINT>(odbc.size()),
        completed, sizeof completed, &completedLength, SQL_DRIVER_NOPROMPT);
    if (!SQL_SUCCEEDED(rc)) {
      std::string why = Diagnostics(SQL_HANDLE_DBC, dbc_);
      if (why.empty()) {  // some drivers (MDBTools) post no diagnostic record
        why = "No se pudo abrir la conexión y el controlador no dio el motivo (" +
              MaskPasswords(odbc) + ")";
      }
      SQLFreeHandle(SQL_HANDLE_DBC, dbc_);
      dbc_ = SQL_NULL_HDBC;
      throw KelvError(kErrInvalidArgument, kSource, why);
    }
    open_ = true;
  }

 private:
  [[noreturn]] static void Refuse(const char* state) {
    throw KelvError(kErrInvalidArgument, kSource,
                    std::string("La operación no está permitida si el objeto está ") + state + ".");
  }

  void Environment() {
    if (env_ != SQL_NULL_HENV) return;
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &env_))) {
      env_ = SQL_NULL_HENV;
      throw KelvError(kErrInvalidArgument, kSource,
                      "No se pudo iniciar el administrador de controladores ODBC");
    }
    SQLSetEnvAttr(env_, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
  }

  void Disconnect() {
    if (dbc_ == SQL_NULL_HDBC) return;
    if (open_) SQLDisconnect(dbc_);
    SQLFreeHandle(SQL_HANDLE_DBC, dbc_);
    dbc_ = SQL_NULL_HDBC;
    open_ = false;
  }

  SQLHENV env_ = SQL_NULL_HENV;
  SQLHDBC dbc_ = SQL_NULL_HDBC;
  bool open_ = false;
  int cursorLocation_ = kUseServer;
  std::string connectionString_;
};

}  // namespace

std::shared_ptr<Connection> NewConnection() { return std::make_shared<OdbcConnection>(); }

}  // namespace kelv
