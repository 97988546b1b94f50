// clsTipoDatoConex: the record a connection description file is read into (all OSes).
#pragma once

#include <cstdint>
#include <string>

namespace kelv {

struct clsTipoDatoConex {
  std::string Contra;     // section Permisos: the database password
  std::string Usuario;    // section Usuario: the database user (placeholders allowed)
  std::string TipoBD;     // section TipoBD: back-end kind
  std::string ConStr;     // section ConStr: extra parameters or custom string (placeholders)
  std::string NombreBD;   // section NombreBD: database name (placeholders allowed)
  std::string Host;       // section Host: server, data-source name or database file
  std::string NombBDUsu;  // section NombBDUsu: users database name; kept, not used
  std::int32_t Puerto = 0;  // section Puerto: port number
};

}  // namespace kelv
