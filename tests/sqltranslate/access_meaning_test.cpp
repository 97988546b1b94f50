// Tests of what an Access query means where the same text reads otherwise in T-SQL: text
// concatenation, divisions, rounding conversions, conditions in joins, groups and select
// lists, Switch without a default, days of the week.
#include <gtest/gtest.h>

#include "translation_cases.h"

namespace kelv {
namespace {

TEST(SignificadoDeAccess, AmpersandJoinsAnyValuesAsTexts) {
  const Caso casos[] = {
      // Numbers and Null join as texts; texts alone keep "+".
      {"SELECT \"Legajo \" & [Legajo], [Apellido] & \", \" & [Nombre], \"a\" & \"b\" & 'c' FROM t",
       "SELECT CONCAT('Legajo ', [Legajo]), CONCAT([Apellido], ', ', [Nombre]), "
       "'a' + 'b' + 'c' FROM t"},
      // Without a text, Null only when every part is Null, as in Access; CONCAT, Space(2)
      // and numbers are never Null.
      {"SELECT [a] & [b], (x & \"-\") & y, Space(2) & [a] FROM t",
       "SELECT IIF([a] IS NULL AND [b] IS NULL, NULL, CONCAT([a], [b])), "
       "CONCAT((CONCAT(x, '-')), y), CONCAT(Space(2), [a]) FROM t"},
      // & binds less tightly than + and more tightly than comparisons.
      {"SELECT \"N: \" & a + 1 AS n, [Calle] + \" \" + [Numero] & \"\" AS d FROM t "
       "WHERE a & \"x\" = b",
       "SELECT CONCAT('N: ', a + 1) AS n, CONCAT([Calle] + ' ' + [Numero], '') AS d FROM t "
       "WHERE CONCAT(a, 'x') = b"},
      // The pieces of a LIKE pattern joined with & take T-SQL's wildcards.
      {"SELECT a FROM t WHERE b LIKE \"*\" & [Forms]![f]![c] & \"?\" AND IIf(x, \"S\" & s, \"\")",
       "SELECT a FROM t WHERE b LIKE CONCAT('%', @f_c, '_') AND IIF(x=1, CONCAT('S', s), '')"},
  };
  CompruebaTraduccion(casos, std::size(casos));
}

TEST(SignificadoDeAccess, DivisionsKeepTheirResults) {
  const Caso casos[] = {
      // "/" divides as floating-point numbers; a divisor with decimals needs nothing.
      {"SELECT a / b, a / 2.5, -a / -b, a / b ^ 2, (a + b) / (c - d), a * b / c FROM t",
       "SELECT a / CAST(b AS float), a / 2.5, -a / CAST(-b AS float), "
       "a / CAST(POWER(CAST(b AS float), 2) AS float), (a + b) / CAST((c - d) AS float), "
       "a * b / CAST(c AS float) FROM t"},
      // "\" rounds both sides, binds less tightly than * and /, more tightly than Mod.
      {"SELECT a * b \\ c * d AS x, -7 \\ 2 AS y, a \\ b \\ c AS z, 10 \\ 3 Mod 2 AS m FROM t",
       "SELECT (CAST(ROUND(a * b, 0) AS bigint) / CAST(ROUND(c * d, 0) AS bigint)) AS x, "
       "(-7 / 2) AS y, (CAST(ROUND((CAST(ROUND(a, 0) AS bigint) / CAST(ROUND(b, 0) AS bigint)), "
       "0) AS bigint) / CAST(ROUND(c, 0) AS bigint)) AS z, (10 / 3) % 2 AS m FROM t"},
      // Averages are floating-point too (not one with DISTINCT, which is T-SQL's).
      {"SELECT Avg(x), Avg(DISTINCT y) FROM t",
       "SELECT AVG(CAST(x AS float)), Avg(DISTINCT y) FROM t"},
      // A pass-through text (it has comments) is T-SQL already: its "/" and AVG stay.
      {"-- total\r\nSELECT a / b, AVG(c) FROM t", "SELECT a / b, AVG(c) FROM t"},
      // An AS inside CAST( is no alias of the field.
      {"SELECT CDbl(x) AS y, x / 3, z FROM t",
       "SELECT CAST(x AS float) AS y, x / CAST(3 AS float), z FROM t"},
  };
  CompruebaTraduccion(casos, std::size(casos));
}

TEST(SignificadoDeAccess, ConditionsWhereTSqlNeedsThem) {
  const Caso casos[] = {
      // A Yes/No column alone in ON and HAVING, as in WHERE; LEFT( is a function there.
      {"SELECT a FROM t INNER JOIN u ON t.x = u.x AND u.Activo WHERE LEFT(a, 1) = 'x' AND t.F",
       "SELECT a FROM t INNER JOIN u ON t.x = u.x AND u.Activo=1 WHERE LEFT(a, 1) = 'x' AND "
       "t.F=1"},
      {"SELECT s FROM t GROUP BY s HAVING Max(Fijo) AND Count(*) > 1",
       "SELECT s FROM t GROUP BY s HAVING Max(Fijo)=1 AND Count(*) > 1"},
      {"UPDATE a INNER JOIN b ON a.x = b.x AND b.f SET a.y = 1",
       "UPDATE a SET a.y = 1 FROM a INNER JOIN b ON a.x = b.x AND b.f=1"},
      // An ON of no join is left.
      {"SET NOCOUNT ON SELECT a FROM t", "SET NOCOUNT ON SELECT a FROM t"},
      // A condition standing as a value gives 1 or 0; T-SQL's name = value is left, and a
      // subquery is a value.
      {"SELECT [Sueldo]>[Tope] AS Excede, a = b, Not [Baja] AS Vigente, Not IsNull(m) AS ConM, "
       "x IN (1, 2) AS EnLista, (SELECT Count(*) FROM u WHERE u.a = t.a) AS Cuenta FROM t",
       "SELECT IIF([Sueldo]>[Tope],1,0) AS Excede, a = b, IIF(Not [Baja]=1,1,0) AS Vigente, "
       "IIF(Not m IS NULL ,1,0) AS ConM, IIF(x IN (1, 2),1,0) AS EnLista, "
       "(SELECT Count(*) FROM u WHERE u.a = t.a) AS Cuenta FROM t"},
      // Switch gives Null when no condition holds; only True (or -1) is a default.
      {"SELECT Switch(a=1,'x',a=2,'y'), Switch(a=1,'x',True,'y'), Switch(a=1,'x',-1,'y') FROM t",
       "SELECT (Case  When a=1 Then 'x' When a=2 Then 'y' End), "
       "(Case  When a=1 Then 'x' Else 'y' End), (Case  When a=1 Then 'x' Else 'y' End) FROM t"},
  };
  CompruebaTraduccion(casos, std::size(casos));
}

TEST(SignificadoDeAccess, WeeksAndRepeatedCharacters) {
  const Caso casos[] = {
      // Weeks counted from Sunday (or the first day given), whatever the server's DATEFIRST.
      {"SELECT DatePart(\"ww\", d), DatePart(\"ww\", d, 2), DatePart(\"ww\", d, 2, 2), "
       "DatePart(\"w\", d, 2), DateDiff(\"ww\", a, b, 2) FROM t",
       "SELECT (datediff(week, DATEFROMPARTS(YEAR(d), 1, 1), d) + 1), "
       "(datediff(week, DateAdd(day, -1, DATEFROMPARTS(YEAR(d), 1, 1)), DateAdd(day, -1, d)) + 1), "
       "datepart(iso_week, d), ((datepart(weekday, d) + @@DATEFIRST + 5) % 7 + 1), "
       "datediff(week, DateAdd(day, -1, a), DateAdd(day, -1, b)) FROM t"},
      {"SELECT String(3, \"*\"), String(n, 42), String(n, [c]), String(2, \"ab\") FROM t",
       "SELECT REPLICATE('*', 3), REPLICATE(CHAR(42), n), REPLICATE(LEFT([c], 1), n), "
       "REPLICATE('a', 2) FROM t"},
  };
  CompruebaTraduccion(casos, std::size(casos));
}

}  // namespace
}  // namespace kelv
