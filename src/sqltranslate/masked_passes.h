// The translator's specialised operations on masked text (see literal_mask.h) (all OSes).
//
// DeAccesASQL masks the query once and runs these in its order; each public operation of
// clsCambiaTipoSQL masks its own argument, runs the one it names and restores the result.
// They behave as the public operations of the same name describe (cambia_tipo_sql.h).
#pragma once

#include <cstdint>
#include <string>

#include "sqltranslate/literal_mask.h"

namespace kelv::enmascarado {

std::string CambiarAlias(const Literales& lit, std::string strAux);
std::string CambiarIIF(const std::string& strComando);
std::string CambiarXOR(const std::string& strComando);
std::string CambiarBooleanos(const std::string& strComando);
std::string RevisaRecursiva(const std::string& strCampos, const std::string& Operador,
                            std::uint8_t Trans);
std::string CambiaFecha(Literales& lit, const std::string& strComando);
std::string CambiaSwitch(const std::string& strComando);

// One condition revised in boolean mode, as the clause of "Where " + condicion would be.
std::string RevisaCondicion(const std::string& condicion);

}  // namespace kelv::enmascarado
