// Tests of the alias pass.
#include <gtest/gtest.h>

#include "sqltranslate/cambia_tipo_sql.h"

namespace kelv {
namespace {

TEST(SQLCambiarAlias, ReplacesAliasesUsedInTheSameList) {
  struct Caso { const char* entrada; const char* salida; };
  const Caso casos[] = {
      {"SELECT a+b AS Total, Total*2 AS Doble FROM t",
       "SELECT a+b as Total, \r\na+b*2 as Doble FROM t"},
      {"SELECT  CAST(Horas as SMALLINT) FROM Marcas", "SELECT  CAST(Horas as SMALLINT) FROM Marcas"},
      {"SELECT a AS x, b AS y FROM t", "SELECT a AS x, b AS y FROM t"},
      {"SELECT a AS Total, t.Total AS y FROM t", "SELECT a AS Total, t.Total AS y FROM t"},
      {"SELECT 'a, b' AS x, x AS y FROM t", "SELECT 'a, b' as x, \r\n'a, b' as y FROM t"},
      {"SELECT a AS x, x+1 AS y, b AS x FROM t", "SELECT b as x, \r\nb+1 as y FROM t"},
      {"SELECT a AS x, x AS y FROM t UNION SELECT c AS z, d FROM u",
       "SELECT a as x, \r\na as y FROM t UNION SELECT c AS z, d FROM u"},
      {"SELECT a AS x, x+1 AS y FROM t WHERE k IN (SELECT b AS p, p+1 AS q FROM u)",
       "SELECT a as x, \r\na+1 as y FROM t WHERE k IN (SELECT b as p, \r\nb+1 as q FROM u)"},
      {"SELECT a AS x, x+1 AS y", "SELECT a AS x, x+1 AS y"},
      {"SELECT a, a+1 AS b FROM t", "SELECT a, \r\na+1 as b FROM t"},
      // Commas inside a call do not split its field.
      {"SELECT IIF(a,'x','y') AS k, k+'!' AS m FROM t",
       "SELECT IIF(a,'x','y') as k, \r\nIIF(a,'x','y')+'!' as m FROM t"},
  };
  clsCambiaTipoSQL t;
  for (const Caso& c : casos) {
    SCOPED_TRACE(c.entrada);
    std::string s = c.entrada;
    EXPECT_EQ(t.SQLCambiarAlias(s), c.salida);
    EXPECT_EQ(s, c.salida);
  }
}

}  // namespace
}  // namespace kelv
