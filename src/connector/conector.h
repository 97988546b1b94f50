// Conector: describes one database connection, reads the description from its enciphered
// file, opens the connection, and offers the ODBC data-source helpers (all OSes).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "connector/col_datos_simples_aa.h"
#include "connector/connection.h"
#include "connector/tipo_dato_conex.h"

namespace kelv {

// The key the connection description file is enciphered with when none is given.
inline constexpr std::string_view kClaveConfBase = "QqRrSs86420975";
// The default name of the connection description file.
inline constexpr std::string_view kArchConfBase = "ConfBase.cfg";

class Conector {
 public:
  // ArchDeConexion "ConfBase.cfg", an empty Parametros list, every other member empty (0).
  Conector();

  // The ODBC link text for the connector's database, in the bracketed form an Access
  // database uses for linked tables.
  std::string LinkParaAcces() const;

  // Meant to create a data source; does nothing.
  void mCrearDSN(std::string_view Nombre, const Conector& ObjCon) const;

  // Back-end kind: MicrosoftJet, SQLServer, MySQL, DSN, FileDSN (any letter case) or any
  // other text for a custom kind; empty counts as MicrosoftJet when connecting.
  const std::string& TipoBD() const { return tipoBD_; }
  void TipoBD(std::string_view vNewValue) { tipoBD_ = std::string(vNewValue); }

  // The data folder, ending in a separator when set from a path. Set by writing
  // ArchDeConexion with a path and by Conectar.
  const std::string& CarpetaDatos() const { return carpetaDatos_; }

  // The connection description file's name, without folder. Writing a text that holds a
  // separator ('\' or the native one) makes everything up to and including the last one
  // CarpetaDatos and the rest the name; a bare name leaves CarpetaDatos as it was. A last
  // separator beyond character 32,767 throws KelvError(kErrOverflow) and changes nothing.
  const std::string& ArchDeConexion() const { return archDeConexion_; }
  void ArchDeConexion(std::string_view vNewValue);

  const std::string& NombreBD() const { return nombreBD_; }
  void NombreBD(std::string_view vNewValue) { nombreBD_ = std::string(vNewValue); }
  const std::string& ConStr() const { return conStr_; }
  void ConStr(std::string_view vNewValue) { conStr_ = std::string(vNewValue); }
  const std::string& Host() const { return host_; }
  void Host(std::string_view vNewValue) { host_ = std::string(vNewValue); }
  const std::string& Usuario() const { return usuario_; }
  void Usuario(std::string_view vNewValue) { usuario_ = std::string(vNewValue); }
  const std::string& Password() const { return password_; }
  void Password(std::string_view vNewValue) { password_ = std::string(vNewValue); }
  std::int32_t Puerto() const { return puerto_; }
  void Puerto(std::int32_t vNewValue) { puerto_ = vNewValue; }
  // Key of the description file; empty means kClaveConfBase.
  const std::string& PasswordDesEnc() const { return passwordDesEnc_; }
  void PasswordDesEnc(std::string_view vNewValue) { passwordDesEnc_ = std::string(vNewValue); }

  // The substitution parameters (datoBienSimple items), shared; may be replaced, also by
  // a null pointer (unset).
  const std::shared_ptr<ColDatosSimplesAA>& Parametros() const { return parametros_; }
  void Parametros(std::shared_ptr<ColDatosSimplesAA> value) { parametros_ = std::move(value); }

  // strAReemp with every "[Key]" of each parameter, in list order and any letter case,
  // replaced by its Dato. Unchanged when Parametros is unset. An item that is not a
  // datoBienSimple throws KelvError(kErrTypeMismatch).
  std::string ReemplazaConParam(std::string_view strAReemp) const;

  // Reads the connection description file strArchDatos (a full path), deciphered with
  // strDeCodif or, when that is empty, kClaveConfBase. A missing, empty or undecipherable
  // file gives an empty record. A Puerto beyond 32 bits throws KelvError(kErrOverflow).
  clsTipoDatoConex DevDatosSegunArch(const std::string& strArchDatos,
                                     std::string_view strDeCodif) const;

  // Opens the connection Base describes into Con (replaced by a new connection): Base is an
  // Access database path, a path inside the data folder (whose description file is then
  // read), or empty (the properties as set). Never throws: each failing step is written to
  // the error log beside the program and the next step runs; an Access database that does
  // not open is tried once more with the plain connection string. Success is
  // Con->State() == 1 on return.
  void Conectar(std::string_view Base, std::shared_ptr<Connection>& Con);

  // The machine that holds the database: this machine for Access (environment variable
  // computername, or the system's host name when that is not set), the SERVER setting of
  // the data source for DSN and FileDSN, Host for every other kind.
  std::string DevHost() const;

  // The value of key Valor of data source NombreDSN: for Tipo FileDSN or empty, from the
  // file data source NombreDSN in FileDataSourceFolder() (first occurrence of Valor anywhere
  // in the text, any letter case; the value skips one character after it and runs to the
  // next CR LF, or, with none after it, to the next LF or the end); then, for Tipo DSN or
  // empty when the file gave nothing, from the data source's definition where the system
  // keeps it, the current user's first, then the machine's (DataSourceValue: the registry
  // on Windows, unixODBC's odbc.ini files on Linux). Other Tipo values and anything absent
  // give "".
  std::string LeerDSN(std::string_view NombreDSN, std::string_view Tipo,
                      std::string_view Valor) const;

 private:
  std::string carpetaDatos_;
  std::string passwordDesEnc_;
  std::string password_;
  std::string usuario_;
  std::string tipoBD_;
  std::string conStr_;
  std::string nombreBD_;
  std::string archDeConexion_;
  std::string host_;
  std::int32_t puerto_ = 0;
  std::shared_ptr<ColDatosSimplesAA> parametros_;
};

// Opens the database Base with a new Conector of default properties: creates Con when it
// is unset, closes it when it is open, sets its CursorLocation to 3 and calls Conectar.
// The caller tests Con->State() == 1 afterwards.
void ConectarBD(const std::string& Base, std::shared_ptr<Connection>& Con);

}  // namespace kelv
