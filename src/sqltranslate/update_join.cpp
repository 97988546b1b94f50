// Access's UPDATE over joined tables in T-SQL's form (all OSes):
//   UPDATE a INNER JOIN b ON … SET a.x = b.y WHERE … → UPDATE a SET a.x = b.y FROM a INNER
//   JOIN b ON … WHERE …
// The table updated is the one that qualifies the first assignment's column (a table or an
// alias of the FROM list), or the first table when the column is not qualified; T-SQL
// updates one table per statement, so assignments to columns of another table are
// reported. The DISTINCTROW (Distinct by then) that Access's designer writes after UPDATE
// goes: T-SQL has no such word there.
#include <string>

#include "sqltranslate/access_passes.h"
#include "sqltranslate/call_rewrite.h"
#include "sqltranslate/sql_scan.h"

namespace kelv::acceso {

std::string UpdateConJoin(const Literales& lit, std::string t, Informe& informe) {
  return ReescribeSentencias(
      std::move(t), "UPDATE",
      [&](std::string_view s, std::size_t tablas, bool distinct,
          std::size_t fin) -> std::optional<std::string> {
        const std::size_t set = BuscaFraseFuera(s, "SET", tablas);
        if (set == std::string::npos) return std::nullopt;
        const std::string_view lista = SinEspacios(s.substr(tablas, set - tablas));
        if (BuscaFrase(lista, "JOIN") == std::string::npos) {
          if (!distinct) return std::nullopt;
          return "UPDATE " + std::string(s.substr(tablas, fin - tablas));
        }
        const std::size_t donde = BuscaFraseFuera(s, "WHERE", set + 3);
        const std::size_t finSet = donde == std::string::npos ? fin : donde;
        const std::string_view asignaciones = SinEspacios(s.substr(set + 3, finSet - set - 3));
        std::string columnas;
        for (const std::string& a : PartesDeLlamada(asignaciones)) {
          if (!columnas.empty()) columnas += ",";
          columnas += a.substr(0, a.find('='));
        }
        bool varias = false;
        std::string destino = CalificadorComun(columnas, varias);
        if (varias) {
          informe.Avisa(lit, "UPDATE of columns of more than one table",
                        s.substr(set, finSet - set));
        }
        if (destino.empty()) {
          const TablaDeLista primera = PrimeraTabla(lista);
          destino = std::string(primera.alias.empty() ? primera.nombre : primera.alias);
        }
        std::string nueva = "UPDATE " + destino + " SET " + std::string(asignaciones) + " FROM " +
                            std::string(lista);
        if (donde != std::string::npos) nueva += " " + std::string(s.substr(donde, fin - donde));
        return nueva;
      });
}

}  // namespace kelv::acceso
