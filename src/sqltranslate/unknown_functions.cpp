// Calls that the translation leaves and T-SQL does not have (all OSes): a name called like
// a function that is neither a T-SQL built-in nor translated is a user-defined VBA function
// of the Access application (or a VBA function no pass knows), which the target database
// lacks. Eval (an expression evaluated at run time) and the aggregates First and Last
// (no T-SQL counterpart: T-SQL has no order of rows to take the first of) are named as such.
// A call qualified by a schema (dbo.Val) is the target database's own; a name after INTO,
// TABLE, WITH, AS or REFERENCES names a table and its columns, not a call.
#include <string>

#include "sqltranslate/access_passes.h"
#include "sqltranslate/call_rewrite.h"
#include "sqltranslate/sql_scan.h"
#include "sqltranslate/text_search.h"
#include "sqltranslate/tsql_builtins.h"

namespace kelv::acceso {

void FuncionesDesconocidas(const Literales& lit, std::string_view t, Informe& informe) {
  for (std::size_t abre = t.find('('); abre != std::string_view::npos;
       abre = t.find('(', abre + 1)) {
    std::size_t fin = abre;
    while (fin > 0 && EsEspacio(t[fin - 1])) --fin;
    std::size_t p = fin;
    while (p > 0 && EsLetraDeNombre(t[p - 1])) --p;
    if (p == fin || (t[p] >= '0' && t[p] <= '9')) continue;
    if (p > 0 && (t[p - 1] == '.' || t[p - 1] == '@' || t[p - 1] == '#')) continue;
    const std::string_view nombre = t.substr(p, fin - p);
    if (ConocidoEnTSql(nombre)) continue;
    const std::string_view antes = PalabraAntes(t, p);
    bool tabla = false;
    for (std::string_view w :
         {"INTO", "TABLE", "WITH", "AS", "REFERENCES", "VIEW", "JOIN", "FROM", "UPDATE"}) {
      if (EsPalabra(antes, w)) tabla = true;
    }
    if (tabla) continue;
    // Domain functions and StrConv calls that stay were reported by their own passes.
    bool propio = false;
    for (std::string_view d :
         {"DLookup", "DCount", "DSum", "DAvg", "DMin", "DMax", "DFirst", "DLast", "StrConv"}) {
      if (EsPalabra(nombre, d)) propio = true;
    }
    if (propio) continue;
    const std::size_t cierre = ContenidoParentesis(t, abre).cierre;
    const std::string_view llamada = t.substr(p, std::min(cierre + 1, t.size()) - p);
    if (EsPalabra(nombre, "Eval")) {
      informe.Avisa(lit, "Eval (an expression evaluated at run time)", llamada);
    } else if (EsPalabra(nombre, "First") || EsPalabra(nombre, "Last")) {
      informe.Avisa(lit, "First/Last aggregate (no T-SQL counterpart)", llamada);
    } else {
      informe.Avisa(lit, "user-defined or VBA function", llamada);
    }
  }
}

}  // namespace kelv::acceso
