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

// Every chain a & b & c (Access's text concatenation) becomes CONCAT(a, b, c), or keeps "+"
// between text literals alone (see concatenation.cpp).
std::string Concatenaciones(const Literales& lit, const std::string& t);

// Access's "/" (always a floating-point division; only when flotante) and "\" (rounded
// operands, whole result) in T-SQL (see division.cpp).
std::string Divisiones(const std::string& t, bool flotante);

// One condition revised in boolean mode, as the clause of "Where " + condicion would be.
std::string RevisaCondicion(const std::string& condicion);

// Every field of a select list that is a condition ([Activo]=True AS EsActivo, Not IsNull(a)
// AS b) becomes IIF(condition,1,0) (see value_conditions.cpp): T-SQL's conditions make no
// values.
std::string CondicionesComoValor(std::string t);

// Every IsNull(x) with one argument becomes a null test: "x IS NULL " where a condition
// stands, IIF(x IS NULL,1,0) where a value is needed. A two-argument IsNull is left. One
// without a closing parenthesis raises KelvError(kErrInvalidArgument).
std::string CambiaIsNull(std::string t);

// The ORDER BY that ends the last statement, outside parentheses, is cut (with what follows
// it) when the statement has no TOP: a view cannot keep it. With TOP it stays, and so does
// one followed by a clause that needs it (OFFSET, FOR XML, OPTION (...)) or by more of the
// statement (PIVOT, UNION). The blank before ORDER BY is kept.
std::string QuitaOrdenFinal(std::string t);

// The ORDER BY of a parenthesised subquery without TOP (or OFFSET, FOR XML) is cut, with what
// follows it up to the closing parenthesis: T-SQL refuses it there, and without TOP it
// chooses nothing.
std::string QuitaOrdenEnSubconsultas(std::string t);

}  // namespace kelv::enmascarado
