// Tests of the report of what has no T-SQL translation: each construct is reported once,
// with what it is and its text, and the translation is still the best one.
#include <gtest/gtest.h>

#include <string>

#include "sqltranslate/cambia_tipo_sql.h"

namespace kelv {
namespace {

struct CasoAviso {
  const char* entrada;
  const char* que;
  const char* texto;
};

TEST(Avisos, OneForEachConstructWithoutTranslation) {
  const CasoAviso casos[] = {
      {"SELECT MiFuncion([x]) AS y, Left(a, 1), dbo.Val(c) FROM t", "user-defined or VBA function",
       "MiFuncion([x])"},
      {"SELECT InStrRev(a, 'x') FROM t", "user-defined or VBA function", "InStrRev(a, 'x')"},
      {"SELECT Eval(\"1+1\") FROM t", "Eval (an expression evaluated at run time)", "Eval('1+1')"},
      {"SELECT First(a) FROM t GROUP BY d", "First/Last aggregate (no T-SQL counterpart)",
       "First(a)"},
      // A value of a query of several tables: which table's column it is is not known.
      {"SELECT DLookup(\"Nombre\", \"Personas\", \"Legajo = \" & [Legajo]) FROM t, u",
       "domain function with arguments built at run time",
       "DLookup('Nombre', 'Personas', 'Legajo = ' & [Legajo])"},
      {"SELECT DCount(\"*\", \"t\", \"Sector = \" & [Sector]) FROM t",
       "domain function with arguments built at run time",
       "DCount('*', 't', 'Sector = ' & [Sector])"},
      {"SELECT * FROM t WHERE Activo = -1",
       "comparison with -1, Access's True (a Yes/No column holds 1 in SQL Server)",
       "Activo = -1"},
      {"SELECT DatePart(\"ww\", d, 1, 3) FROM t",
       "first day of the week or first week of the year T-SQL cannot follow",
       "DatePart('ww', d, 1, 3)"},
      {"SELECT DCount(\"*\", \"Marcas\", [crit]) FROM t",
       "domain function with arguments built at run time", "DCount('*', 'Marcas', [crit])"},
      {"TRANSFORM Count(*) AS Cuenta SELECT Sector FROM Personas GROUP BY Sector PIVOT Categoria",
       "crosstab without an IN list (its columns are only known at run time)", "PIVOT Categoria"},
      {"SELECT * FROM Clientes IN 'C:\\datos\\otra.mdb' WHERE a IN ('x')",
       "table in another database", "IN 'C:\\datos\\otra.mdb'"},
      {"SELECT * FROM Clientes AS C IN '' [MS Access;DATABASE=C:\\x.mdb]",
       "table in another database", "IN '' [MS Access;DATABASE=C:\\x.mdb]"},
      {"SELECT Format(d, \"ww\") FROM t", "Format pattern with no T-SQL counterpart",
       "Format(d, 'ww')"},
      {"SELECT Format(d, [pat]) FROM t", "Format pattern built at run time", "Format(d, [pat])"},
      {"SELECT StrConv(a, 3) FROM t", "StrConv conversion with no T-SQL counterpart",
       "StrConv(a, 3)"},
      {"UPDATE a INNER JOIN b ON a.x = b.x SET a.y = 1, b.z = 2",
       "UPDATE of columns of more than one table", "SET a.y = 1, b.z = 2"},
      {"DELETE a.*, b.* FROM a INNER JOIN b ON a.x = b.x", "DELETE from more than one table",
       "a.*, b.*"},
      // A subquery built from a domain function is searched too.
      {"SELECT DLookup(\"Calcula(x)\", \"t\") FROM u", "user-defined or VBA function",
       "Calcula(x)"},
  };
  const clsCambiaTipoSQL t;
  for (const CasoAviso& c : casos) {
    SCOPED_TRACE(c.entrada);
    const Traduccion r = t.DeAccesASQLConAvisos(c.entrada);
    ASSERT_EQ(r.avisos.size(), 1u);
    EXPECT_EQ(r.avisos[0].que, c.que);
    EXPECT_EQ(r.avisos[0].texto, c.texto);
    EXPECT_EQ(r.texto, t.DeAccesASQL(c.entrada));
  }
}

TEST(Avisos, NoneForWhatTSqlKnows) {
  const char* casos[] = {
      "INSERT INTO t (a, b) SELECT Count(*), Sum(x) FROM u",
      "SELECT CAST(a AS decimal(10,2)), Convert(nvarchar(10), b), x FROM t "
      "WHERE a IN (1, 2) AND EXISTS (SELECT 1 FROM u)",
      "SELECT Left(a, 2), Len(b), Year(d), IsNumeric(c), Choose(i, 'a', 'b'), Abs(x) FROM t",
      "TRANSFORM Sum(x) SELECT a FROM t GROUP BY a PIVOT b IN ('x', 'y')",
      "SELECT 'MiFuncion(x)', [Calcula(x)] FROM t",
  };
  const clsCambiaTipoSQL t;
  for (const char* c : casos) {
    SCOPED_TRACE(c);
    const Traduccion r = t.DeAccesASQLConAvisos(c);
    EXPECT_TRUE(r.avisos.empty()) << r.avisos[0].que << ": " << r.avisos[0].texto;
  }
}

TEST(Avisos, InTheOrderFoundAndEachOnce) {
  const clsCambiaTipoSQL t;
  const Traduccion r = t.DeAccesASQLConAvisos(
      "SELECT Uno(a), Dos(b), Uno(a), First(c) FROM t IN 'x.mdb' GROUP BY d");
  ASSERT_EQ(r.avisos.size(), 4u);
  EXPECT_EQ(r.avisos[0].texto, "IN 'x.mdb'");
  EXPECT_EQ(r.avisos[1].texto, "Uno(a)");
  EXPECT_EQ(r.avisos[2].texto, "Dos(b)");
  EXPECT_EQ(r.avisos[3].texto, "First(c)");
  EXPECT_EQ(r.texto, "SELECT Uno(a), Dos(b), Uno(a), First(c) FROM t GROUP BY d");
}

}  // namespace
}  // namespace kelv
