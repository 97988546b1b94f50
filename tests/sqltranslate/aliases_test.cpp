// Tests of the alias pass.
#include <gtest/gtest.h>

#include "sqltranslate/cambia_tipo_sql.h"
#include "translation_cases.h"

namespace kelv {
namespace {

// SQLCambiarAlias over a table; strAux must end holding the result too.
void Comprueba(const Caso* casos, std::size_t n) {
  const clsCambiaTipoSQL t;
  CompruebaCasos(casos, n, [&](std::string s) {
    const std::string r = t.SQLCambiarAlias(s);
    EXPECT_EQ(s, r);
    return r;
  });
}

TEST(SQLCambiarAlias, ReplacesAliasesUsedInTheSameList) {
  const Caso casos[] = {
      // The expression goes in as one operand, in parentheses unless it is one already.
      {"SELECT a+b AS Total, Total*2 AS Doble FROM t",
       "SELECT a+b as Total, \r\n(a+b)*2 as Doble FROM t"},
      {"SELECT a-b AS d, -d AS m, f(x) AS g, g*2 AS h, t.c AS q, q/2 AS r FROM t",
       "SELECT a-b as d, \r\n-(a-b) as m, \r\nf(x) as g, \r\nf(x)*2 as h, \r\n"
       "t.c as q, \r\nt.c/2 as r FROM t"},
      {"SELECT  CAST(Horas as SMALLINT) FROM Marcas",
       "SELECT  CAST(Horas as SMALLINT) FROM Marcas"},
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
  Comprueba(casos, std::size(casos));
}

TEST(SQLCambiarAlias, KeepsTopAndDistinctOutOfTheFields) {
  const Caso casos[] = {
      {"SELECT TOP 5 a AS x, x+1 AS y FROM t", "SELECT TOP 5 a as x, \r\na+1 as y FROM t"},
      {"SELECT DISTINCT TOP 10 PERCENT a AS x, x+1 AS y FROM t",
       "SELECT DISTINCT TOP 10 PERCENT a as x, \r\na+1 as y FROM t"},
      {"SELECT TOP (3) WITH TIES a AS x, x+1 AS y FROM t",
       "SELECT TOP (3) WITH TIES a as x, \r\na+1 as y FROM t"},
      {"SELECT Top, Top+1 AS y FROM t", "SELECT Top, \r\nTop+1 as y FROM t"},
      // The list ends at its own FROM or INTO, not at a subquery's.
      {"SELECT a AS x, x+1 AS y INTO t2 FROM t", "SELECT a as x, \r\na+1 as y INTO t2 FROM t"},
      {"SELECT (SELECT Max(b) FROM u) AS m, m+1 AS n FROM t",
       "SELECT (SELECT Max(b) FROM u) as m, \r\n(SELECT Max(b) FROM u)+1 as n FROM t"},
      // A subquery has names of its own: the list's aliases are not replaced inside it.
      {"SELECT a AS x, (SELECT x FROM u) AS y, x+1 AS z FROM t",
       "SELECT a as x, \r\n(SELECT x FROM u) as y, \r\na+1 as z FROM t"},
  };
  Comprueba(casos, std::size(casos));
}

TEST(SQLCambiarAlias, BracketedAliasesAndUses) {
  const Caso casos[] = {
      // A use written in brackets takes the expression in parentheses.
      {"SELECT [a]+[b] AS Total, [Total]*2 AS Doble FROM t",
       "SELECT [a]+[b] as Total, \r\n([a]+[b])*2 as Doble FROM t"},
      {"SELECT [Sueldo]*1.1 AS [Sueldo Ajustado], [Sueldo Ajustado]-[Sueldo] AS Aumento FROM t",
       "SELECT [Sueldo]*1.1 as [Sueldo Ajustado], \r\n([Sueldo]*1.1)-[Sueldo] as Aumento FROM t"},
      {"SELECT a+b AS [Total], Total*2 AS Doble FROM t",
       "SELECT a+b as [Total], \r\n(a+b)*2 as Doble FROM t"},
      // A qualified name is another column.
      {"SELECT a AS Total, [t].[Total] AS y FROM t", "SELECT a AS Total, [t].[Total] AS y FROM t"},
  };
  Comprueba(casos, std::size(casos));
}

}  // namespace
}  // namespace kelv
