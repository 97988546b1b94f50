// What Access writes between DELETE and FROM, in T-SQL's form (all OSes):
//   DELETE t.* FROM t WHERE …            → DELETE FROM t WHERE …
//   DELETE * FROM t AS x WHERE …         → DELETE x FROM t AS x WHERE …
//   DELETE t.* FROM t INNER JOIN u ON …  → DELETE t FROM t INNER JOIN u ON …
// Access deletes whole rows whatever columns it names; with joined tables the rows go from
// the table the columns name (or the first table). Columns of more than one table are
// reported: T-SQL deletes from one table per statement. DISTINCTROW (Distinct by then)
// goes.
#include <string>

#include "sqltranslate/access_passes.h"
#include "sqltranslate/call_rewrite.h"
#include "sqltranslate/sql_scan.h"

namespace kelv::acceso {

std::string DeleteConDestino(const Literales& lit, std::string t, Informe& informe) {
  return ReescribeSentencias(
      std::move(t), "DELETE",
      [&](std::string_view s, std::size_t destinos, bool distinct,
          std::size_t fin) -> std::optional<std::string> {
        const std::size_t from = BuscaFraseFuera(s, "FROM", destinos);
        if (from == std::string::npos) return std::nullopt;
        const std::string_view columnas = SinEspacios(s.substr(destinos, from - destinos));
        if (columnas.empty() && !distinct) return std::nullopt;
        const std::size_t donde = BuscaFraseFuera(s, "WHERE", from + 4);
        const std::string_view tablas =
            s.substr(from + 4, (donde == std::string::npos ? fin : donde) - from - 4);
        bool varias = false;
        std::string destino = CalificadorComun(columnas, varias);
        if (varias) informe.Avisa(lit, "DELETE from more than one table", columnas);
        const TablaDeLista primera = PrimeraTabla(tablas);
        if (BuscaFrase(tablas, "JOIN") == std::string::npos &&
            PartesDeLlamada(tablas).size() <= 1) {
          destino = std::string(primera.alias);  // one table: its alias, when it has one
        } else if (destino.empty()) {
          destino = std::string(primera.alias.empty() ? primera.nombre : primera.alias);
        }
        std::string nueva = "DELETE ";
        if (!destino.empty()) nueva += destino + " ";
        return nueva + std::string(s.substr(from, fin - from));
      });
}

}  // namespace kelv::acceso
