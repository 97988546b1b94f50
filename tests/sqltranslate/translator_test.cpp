// Tests of the translator's entry DeAccesASQL: the order of its passes, whole queries,
// and input it must refuse or survive.
#include <gtest/gtest.h>

#include <string>

#include "platform/ui_yield.h"
#include "sqltranslate/cambia_tipo_sql.h"
#include "text/error.h"
#include "translation_cases.h"

namespace kelv {
namespace {

TEST(DeAccesASQL, WorkedExamples) {
  const Caso casos[] = {
      // Access's & reads Null as an empty text and joins numbers as texts: CONCAT, not +.
      {"SELECT DistinctROW Nombre & ' ' & Apellido FROM Personas;",
       "SELECT Distinct CONCAT(Nombre, ' ', Apellido) FROM Personas"},
      // CInt rounds; CAST alone would drop the fraction.
      {"SELECT CINT(Horas) FROM Marcas ORDER BY Fecha",
       "SELECT  CAST(ROUND(Horas, 0) as SMALLINT) FROM Marcas "},
      {"SELECT Trim([Nombre]) FROM Personas", "SELECT RTrim(LTrim([Nombre])) FROM Personas"},
      {"SELECT datepart('yyyy',Fecha) FROM Marcas", "SELECT datepart(yyyy,Fecha) FROM Marcas"},
      {"SELECT instr(Nombre,'ez') FROM Personas", "SELECT PATINDEX('%ez%',Nombre) FROM Personas"},
      {"SELECT IIF(IsNull(Baja),0,Baja) FROM Personas", "SELECT ISNULL(Baja,0) FROM Personas"},
      // yyyymmdd: read the same under any language of the server (yyyy-mm-dd is not).
      {"SELECT * FROM Marcas WHERE Fecha > #12/31/2005#",
       "SELECT * FROM Marcas WHERE Fecha > '20051231'"},
      // The alias's expression goes in as one operand: (a+b)*2, not a+b*2.
      {"SELECT a+b AS Total, Total*2 AS Doble FROM t",
       "SELECT a+b as Total, \r\n(a+b)*2 as Doble FROM t"},
      {"SELECT CINT(x) AS n, n+1 AS m FROM t",
       "SELECT CAST(ROUND(x, 0) as SMALLINT) as n, \r\n"
       "CAST(ROUND(x, 0) as SMALLINT)+1 as m FROM t"},
      {"SELECT Switch(Tipo=1,'A',Tipo=2,'B',1,'C') FROM t",
       "SELECT (Case  When Tipo=1 Then 'A' When Tipo=2 Then 'B' Else 'C' End) FROM t"},
  };
  CompruebaTraduccion(casos, std::size(casos));
}

TEST(DeAccesASQL, SimplePassesAndTheirOrder) {
  const Caso casos[] = {
      {"", ""},
      {"   ", ""},
      {"SELECT a FROM t;;", "SELECT a FROM t;"},
      {"SELECT a\r\nFROM t", "SELECT a FROM t"},
      {"SELECT True, False, true, FALSE, 'True' FROM t", "SELECT 1, 0, 1, 0, 'True' FROM t"},
      {"SELECT \"x\" FROM t", "SELECT 'x' FROM t"},
      {"SELECT Mid(a,1,2), MID(b,1,2) FROM t", "SELECT SUBSTRING(a,1,2), SUBSTRING(b,1,2) FROM t"},
      {"SELECT CAST(a AS Memo) FROM t", "SELECT CAST(a AS Memo) FROM t"},
      {"SELECT (Memo) FROM t", "SELECT Memo FROM t"},
      // Access's \ rounds both sides and drops the fraction of the result.
      {"SELECT val(a), Sgn(b), a MOD 2, a\\b, 7 \\ 2 FROM t",
       "SELECT dbo.Val(a), Sign(b), a % 2, (CAST(ROUND(a, 0) AS bigint) / CAST(ROUND(b, 0) AS "
       "bigint)), (7 / 2) FROM t"},
      // Access's Int rounds down.
      {"SELECT Int(a), INT(b) FROM t", "SELECT FLOOR(a), FLOOR(b) FROM t"},
      // nvarchar without a length is 30 characters.
      {"SELECT CSTR(a) FROM t", "SELECT Convert(nvarchar(4000),a) FROM t"},
      {"SELECT CINT(CINT(x)) FROM t",
       "SELECT  CAST(ROUND( CAST(ROUND(x, 0) as SMALLINT), 0) as SMALLINT) FROM t"},
      {"SELECT CINT(x, y", "SELECT  CAST(ROUND(x, y, 0) as SMALLINT)"},
      {"SELECT Round(x), Round(x,2) FROM t", "SELECT Round(x,0), Round(x,2) FROM t"},
      {"SELECT datepart('m',d,1,1), datepart(d) FROM t",
       "SELECT datepart(m,d), datepart(d) FROM t"},
      {"SELECT datediff('d',a,b,1) FROM t", "SELECT datediff(d,a,b) FROM t"},
      // T-SQL's IIF needs a condition: a Yes/No column is compared with 1.
      {"SELECT CBOOL(a), CBOOL(b > 2) FROM t", "SELECT IIF(a=1,1,0), IIF(b > 2,1,0) FROM t"},
      // Sunday is day 1 whatever the server's DATEFIRST; 2 makes Monday day 1.
      {"SELECT Weekday(d), Weekday(d, 2) FROM t",
       "SELECT ((datepart(weekday, d) + @@DATEFIRST + 6) % 7 + 1), "
       "((datepart(weekday, d) + @@DATEFIRST + 5) % 7 + 1) FROM t"},
      {"SELECT dateadd('m',1,d) FROM t", "SELECT DateAdd(m,1,d) FROM t"},
      // Date() is today at midnight.
      {"SELECT a FROM t WHERE d = date() OR e < Date()",
       "SELECT a FROM t WHERE d = CAST(CAST(GETDATE() AS date) AS datetime) OR "
       "e < CAST(CAST(GETDATE() AS date) AS datetime)"},
      {"SELECT cdate(x) FROM t", "SELECT  CONVERT(datetime,x,103) FROM t"},
      // Access's mm is the month, .NET's MM.
      {"SELECT cdate(Format(d,'mm/yyyy')) FROM t",
       "SELECT  CONVERT(datetime,Format(d, 'MM/yyyy'),103) FROM t"},
      {"SELECT cdate(Format(d,'MM/yyyy')) FROM t",
       "SELECT  CONVERT(datetime,'01/' + Format(d,'MM/yyyy'),103) FROM t"},
      {"SELECT CLNG(a), CSNG(b) FROM t",
       "SELECT  CAST(ROUND(a, 0) as INT),  CAST(b as Float) FROM t"},
      {"SELECT a FROM t Group by a", "SELECT a FROM t Group by a"},
      {"SELECT a FROM (t)Group by a", "SELECT a FROM (t) Group by a"},
      // Text already in the target form is left: LTrim, RTrim, getdate(), dbo.Val(.
      {"SELECT Trim(LTrim(a)), RTrim(b), ltrim(c) FROM t",
       "SELECT RTrim(LTrim(LTrim(a))), RTrim(b), ltrim(c) FROM t"},
      {"SELECT getdate(), date(), dbo.Val(a), Interval(b) FROM t",
       "SELECT getdate(), CAST(CAST(GETDATE() AS date) AS datetime), dbo.Val(a), Interval(b) "
       "FROM t"},
  };
  CompruebaTraduccion(casos, std::size(casos));
}

TEST(DeAccesASQL, OrderByAndNullTests) {
  const Caso casos[] = {
      // The last ORDER BY is cut, and so is one of a subquery without TOP, which T-SQL
      // refuses there.
      {"SELECT * FROM (SELECT a FROM t ORDER BY a) ORDER BY b", "SELECT * FROM (SELECT a FROM t) "},
      {"SELECT a FROM t WHERE a IN (SELECT b FROM u WHERE c = 1 ORDER BY b DESC)",
       "SELECT a FROM t WHERE a IN (SELECT b FROM u WHERE c = 1)"},
      {"SELECT a FROM t Order by a", "SELECT a FROM t "},
      // Where a value is needed the null test gives 1 or 0.
      {"SELECT IsNull(a), IsNull(a,0) FROM t", "SELECT IIF(a IS NULL,1,0), IsNull(a,0) FROM t"},
  };
  CompruebaTraduccion(casos, std::size(casos));
}

TEST(DeAccesASQL, CutsOnlyATrailingOrderByWithoutTop) {
  const Caso casos[] = {
      {"SELECT a FROM t UNION SELECT b FROM u ORDER BY 1;",
       "SELECT a FROM t UNION SELECT b FROM u "},
      {"SELECT a FROM t ORDER  BY a DESC", "SELECT a FROM t "},
      // With TOP the ORDER BY chooses the rows: it stays.
      {"SELECT TOP 5 a FROM t ORDER BY a", "SELECT TOP 5 a FROM t ORDER BY a"},
      {"SELECT TOP 10 PERCENT a FROM t ORDER BY a DESC",
       "SELECT TOP 10 PERCENT a FROM t ORDER BY a DESC"},
      {"SELECT DISTINCT TOP 5 a FROM t ORDER BY a", "SELECT DISTINCT TOP 5 a FROM t ORDER BY a"},
      // Never inside a literal, a name or parentheses.
      {"SELECT a FROM t WHERE b = 'x ORDER BY y'", "SELECT a FROM t WHERE b = 'x ORDER BY y'"},
      {"SELECT [Order by] FROM t", "SELECT [Order by] FROM t"},
      {"SELECT a FROM (SELECT TOP 3 b FROM u ORDER BY b) AS q",
       "SELECT a FROM (SELECT TOP 3 b FROM u ORDER BY b) AS q"},
      {"SELECT a FROM t WHERE x IN (SELECT TOP 1 b FROM u ORDER BY b)",
       "SELECT a FROM t WHERE x IN (SELECT TOP 1 b FROM u ORDER BY b)"},
      // Nor when more of the statement follows it.
      // (A crosstab's ORDER BY stands before PIVOT: the crosstab pass writes the query anew.)
      {"SELECT TOP 5 a FROM t ORDER BY a PIVOT b", "SELECT TOP 5 a FROM t ORDER BY a PIVOT b"},
      {"SELECT a FROM t ORDER BY a UNION SELECT b FROM u",
       "SELECT a FROM t ORDER BY a UNION SELECT b FROM u"},
      {"SELECT a FROM t ORDER BY a OFFSET 10 ROWS", "SELECT a FROM t ORDER BY a OFFSET 10 ROWS"},
      // Only the last statement's; an earlier statement is kept whole.
      {"SELECT a FROM t ORDER BY a;SELECT b FROM u;", "SELECT a FROM t ORDER BY a;SELECT b FROM u"},
  };
  CompruebaTraduccion(casos, std::size(casos));
}

TEST(DeAccesASQL, IsNullTakesTheMatchingParenthesis) {
  const Caso casos[] = {
      {"SELECT * FROM t WHERE IsNull([t]![c])", "SELECT * FROM t WHERE [t].[c] IS NULL"},
      {"SELECT * FROM t WHERE IsNull(Trim(a)) AND b",
       "SELECT * FROM t WHERE RTrim(LTrim(a)) IS NULL  AND b=1"},
      {"SELECT IsNull(f(a,b)), IsNull(a,f(b)) FROM t",
       "SELECT IIF(f(a,b) IS NULL,1,0), IsNull(a,f(b)) FROM t"},
  };
  CompruebaTraduccion(casos, std::size(casos));
}

TEST(DeAccesASQL, FindsAccessSpellingsInAnyCaseAsWholeWords) {
  const Caso casos[] = {
      {"SELECT DISTINCTROW IIf([Activo],'S','N'), Mid([Nombre],2,3), Date() FROM t",
       "SELECT Distinct IIF([Activo]=1,'S','N'), SUBSTRING([Nombre],2,3), "
       "CAST(CAST(GETDATE() AS date) AS datetime) FROM t"},
      // SUBSTRING needs a length: a two-argument Mid runs to the end.
      {"SELECT Mid(Nombre,2) FROM t", "SELECT SUBSTRING(Nombre,2,2147483647) FROM t"},
      {"SELECT SWITCH(a=1,'x',1,'y') FROM t",
       "SELECT (Case  When a=1 Then 'x' Else 'y' End) FROM t"},
      {"SELECT a FROM t WHERE NOT (a AND b)", "SELECT a FROM t WHERE Not (a=1 AND b=1)"},
      // Longer names that end or start like them are other names.
      {"SELECT Point(a), MyRound(b), IsTrue, FalseAlarm, xMid(c), Midpoint, Datedue() FROM t",
       "SELECT Point(a), MyRound(b), IsTrue, FalseAlarm, xMid(c), Midpoint, Datedue() FROM t"},
  };
  CompruebaTraduccion(casos, std::size(casos));
}

TEST(DeAccesASQL, WholeQueries) {
  const Caso casos[] = {
      {"SELECT Nombre FROM Personas WHERE Activo AND Sueldo > 100;",
       "SELECT Nombre FROM Personas WHERE Activo=1 AND Sueldo > 100"},
      {"SELECT * FROM Marcas WHERE Fecha BETWEEN #1/5/2006# AND #2/5/2006#",
       "SELECT * FROM Marcas WHERE Fecha BETWEEN '20060105' AND '20060205'"},
      {"SELECT * FROM p WHERE Nombre LIKE 'A*' AND Baja IS NOT NULL AND Activo",
       "SELECT * FROM p WHERE Nombre LIKE 'A%' AND Baja IS NOT NULL AND Activo=1"},
      {"SELECT * FROM p WHERE IsNull(Baja) AND Activo",
       "SELECT * FROM p WHERE Baja IS NULL  AND Activo=1"},
      {"SELECT a FROM t WHERE x XOR y", "SELECT a FROM t WHERE IIF(x=1,1,0) + IIF(y=1,1,0)=1"},
      {"SELECT IIF(Activo,'S','N') AS Estado, Estado & '!' AS E2 FROM [Personas] "
       "WHERE [Fijo] ORDER BY Nombre;",
       "SELECT IIF(Activo=1,'S','N') as Estado, \r\nCONCAT(IIF(Activo=1,'S','N'), '!') as E2 "
       "FROM [Personas] WHERE [Fijo]=1"},
      {"SELECT Round(Sueldo * 1.1, 2) AS Nuevo, Nuevo - Sueldo AS Aumento FROM Personas",
       "SELECT Round(Sueldo * 1.1, 2) as Nuevo, \r\nRound(Sueldo * 1.1, 2) - Sueldo as Aumento "
       "FROM Personas"},
  };
  CompruebaTraduccion(casos, std::size(casos));
}

TEST(DeAccesASQL, YieldsToTheWindowSystemOnceAndKeepsItsInput) {
  int veces = 0;
  SetYieldHook([&] { ++veces; });
  clsCambiaTipoSQL t;
  const std::string vista = "SELECT CINT(a) FROM t WHERE Activo";
  EXPECT_EQ(t.DeAccesASQL(vista), "SELECT  CAST(ROUND(a, 0) as SMALLINT) FROM t WHERE Activo=1");
  EXPECT_EQ(vista, "SELECT CINT(a) FROM t WHERE Activo");
  EXPECT_EQ(veces, 1);
  SetYieldHook(nullptr);
}

TEST(DeAccesASQL, RefusesWhatItCannotTranslate) {
  const char* casos[] = {
      "SELECT IIF(a,b) FROM t",
      "SELECT IIF() FROM t",
      "SELECT Switch(a,1,b) FROM t",
      "SELECT IsNull(a FROM t",
      "SELECT Weekday() FROM t",
      "SELECT dateadd() FROM t",
      "SELECT cdate(Format(d)) FROM t",
  };
  clsCambiaTipoSQL t;
  for (const char* c : casos) {
    SCOPED_TRACE(c);
    try {
      t.DeAccesASQL(c);
      ADD_FAILURE() << "no error";
    } catch (const KelvError& e) {
      EXPECT_FALSE(e.Description().empty());
    }
  }
}

TEST(DeAccesASQL, SurvivesMalformedInput) {
  const std::string casos[] = {
      "SELECT ((((a FROM t",
      "SELECT a)))) FROM t WHERE )",
      "SELECT # FROM t WHERE #a",
      std::string("SELECT \x01\x02\x7f a FROM t WHERE\t x", 28),
      "SELECT \xff\xfe\xc3 a AS b, b AS c FROM t WHERE \xc3 AND x",
      "Where Where Where ( AND ) OR (Not ( AND ))",
      "SELECT x FROM t WHERE f(a AND b OR c)",
      "SELECT x FROM t WHERE Not(a AND b)",
      "SELECT , AS , AS FROM t",
      "IIF(IIF(IIF(",
      "Switch(Switch(Switch(",
  };
  clsCambiaTipoSQL t;
  for (const std::string& c : casos) {
    SCOPED_TRACE(c);
    try {
      t.DeAccesASQL(c);
    } catch (const KelvError&) {
    }
  }
}

TEST(DeAccesASQL, DeepAndLongInput) {
  clsCambiaTipoSQL t;
  std::string profundo = "SELECT x FROM t WHERE ";
  for (int i = 0; i < 600; ++i) profundo += i % 2 ? "(a OR " : "(b AND ";
  profundo += "c";
  for (int i = 0; i < 600; ++i) profundo += ")";
  EXPECT_NO_THROW(t.DeAccesASQL(profundo));

  // An alias chain that doubles its expression at each step stays bounded.
  std::string cadena = "SELECT a AS x0";
  for (int i = 1; i < 60; ++i) {
    cadena += ", x" + std::to_string(i - 1) + "+x" + std::to_string(i - 1) + " AS x" +
              std::to_string(i);
  }
  cadena += " FROM t";
  const std::string salida = t.DeAccesASQL(cadena);
  EXPECT_LT(salida.size(), 2000000u);

  // A rebuilt list holds copies of its subqueries; searching them again would multiply the
  // work at every level of nesting.
  std::string anidada = "SELECT b AS a0, a0+a0 AS a1 FROM u";
  for (int i = 0; i < 30; ++i) anidada = "SELECT (" + anidada + ") AS c, c+c AS d FROM u";
  EXPECT_LT(t.DeAccesASQL(anidada).size(), 4 * anidada.size());
}

}  // namespace
}  // namespace kelv
