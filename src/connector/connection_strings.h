// The connection string of each back-end kind, and the error log's name and content
// (all OSes; pure text building, no connection is touched).
#pragma once

#include <string>
#include <string_view>

namespace kelv {

class Conector;

// The back-end kinds, chosen from TipoBD in this order (any letter case): MicrosoftJet or
// empty, MySQL, FileDSN, DSN, SQLServer, anything else custom.
enum class TipoConexion { MicrosoftJet, MySQL, FileDSN, DSN, SQLServer, Custom };
TipoConexion KindOf(std::string_view tipoBD);

// The connection string for the connector's current properties and kind. base is the
// database path the Access string names.
std::string CadenaDeConexion(const Conector& conector, std::string_view base);

// The plain Access string of the single retry: provider, quoted path, mode, and nothing
// else.
std::string CadenaAccessSimple(std::string_view base);

// The log name of a Host: the text after its second-to-last separator ('\', or the native
// one), or all of it when it has fewer than two; separators become "_", ':' and ".MDB"
// (any letter case) are removed. "C:\Datos\Empresa\Usuarios.mdb" gives "Empresa_Usuarios".
std::string NombreLogDeHost(std::string_view host);

// The error log's full path: the running program's folder + "Error " + tipoBD + "_" +
// NombreLogDeHost(host) + ".LOG".
std::string RutaLogDeError(std::string_view tipoBD, std::string_view host);

// Makes the error log hold connectionString (its passwords masked), CR LF, description;
// the file is replaced whole. Never throws: a failed write is ignored.
void EscribirLogDeError(std::string_view tipoBD, std::string_view host,
                        std::string_view connectionString, std::string_view description);

}  // namespace kelv
