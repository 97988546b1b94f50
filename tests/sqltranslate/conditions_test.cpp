// Tests of the conditional functions (IIF, Switch) and of the boolean and XOR revision.
#include <gtest/gtest.h>

#include "sqltranslate/cambia_tipo_sql.h"
#include "text/error.h"
#include "translation_cases.h"

namespace kelv {
namespace {

TEST(SQLCambiarIIF, KeepsIifAndComparesLoneConditions) {
  const Caso casos[] = {
      {"IIF(Activo,'S','N')", "IIF(Activo=1,'S','N')"},
      {"IIF(x > 1,'S','N')", "IIF(x > 1,'S','N')"},
      {"IIF(IsNull(Sueldo),0,Sueldo)", "ISNULL(Sueldo,0)"},
      {"IIF(Not IsNull(Sueldo),Sueldo,0)", "ISNULL(Sueldo,0)"},
      {"IIF(IsNull(a),b,c)", "IIF(IsNull(a),b,c)"},
      {"IIF(a,'x,y','z')", "IIF(a=1,'x,y','z')"},
      {"IIF(a,b,c) + IIF(a,b,c)", "IIF(a=1,b,c) + IIF(a=1,b,c)"},
      {"iif(a,b,c)", "IIF(a=1,b,c)"},
      {"IIF(IIF(a,b,c),d,e)", "IIF(IIF(a=1,b,c)=1,d,e)"},
      {"IIF(a AND b,1,0)", "IIF(a=1 AND b=1,1,0)"},
  };
  const clsCambiaTipoSQL t;
  CompruebaCasos(casos, std::size(casos),
                 [&](const std::string& e) { return t.SQLCambiarIIF(e); });
  EXPECT_THROW(t.SQLCambiarIIF("IIF(a,b)"), KelvError);
}

TEST(SQLCambiaSwitch, BuildsASearchedCase) {
  const Caso casos[] = {
      {"Switch(a=1,'x',1,'y')", "(Case  When a=1 Then 'x' Else 'y' End)"},
      {"Switch (a,'x',1,'y')", "(Case  When a=1 Then 'x' Else 'y' End)"},
      {"Switch  (a=1,'x',1,'y')", "(Case  When a=1 Then 'x' Else 'y' End)"},
      {"switch(a,'x',1,'y')", "(Case  When a=1 Then 'x' Else 'y' End)"},
  };
  const clsCambiaTipoSQL t;
  CompruebaCasos(casos, std::size(casos),
                 [&](const std::string& e) { return t.SQLCambiaSwitch(e); });
  EXPECT_THROW(t.SQLCambiaSwitch("Switch(a,1,b)"), KelvError);
}

TEST(SQLRevisaRecursiva, BooleanMode) {
  const Caso casos[] = {
      {"Activo AND Sueldo > 100", "Activo=1 AND Sueldo > 100"},
      {"(Activo AND Fijo) OR Sueldo > 100", "(Activo=1 AND Fijo=1) OR Sueldo > 100"},
      {"Not Activo", "Not Activo=1"},
      {"Turno IN (1,2) AND IsNull(Baja)", "Turno IN (1,2) AND IsNull(Baja)"},
      {"Not (a AND b)", "Not (a=1 AND b=1)"},
      {"Not(a AND b)", "Not (a=1 AND b=1)"},
      // Conditions that already are conditions get no "=1"; BETWEEN keeps its AND.
      {"Fecha BETWEEN '2006-1-5' AND '2006-2-5' AND Activo",
       "Fecha BETWEEN '2006-1-5' AND '2006-2-5' AND Activo=1"},
      {"a between 1 and 2", "a between 1 AND 2"},
      {"Nombre LIKE 'A*' AND Baja IS NOT NULL AND x Is Null AND y is null",
       "Nombre LIKE 'A*' AND Baja IS NOT NULL AND x Is Null AND y is null"},
      {"EXISTS (SELECT 1 FROM t) AND Turno in(1) AND Activo",
       "EXISTS (SELECT 1 FROM t) AND Turno in(1) AND Activo=1"},
      {"NotaFinal IN (SELECT x FROM t WHERE a AND b)",
       "NotaFinal IN (SELECT x FROM t WHERE a AND b)"},
      {"Likes AND Existsx", "Likes=1 AND Existsx=1"},
      // A part whose only operator sits in a call is revised as it stands.
      {"f(a AND b OR c)", "f(a AND b OR c)=1"},
  };
  const clsCambiaTipoSQL t;
  CompruebaCasos(casos, std::size(casos),
                 [&](const std::string& e) { return t.SQLRevisaRecursiva(e, "AND", 0); });
  EXPECT_EQ(t.SQLRevisaRecursiva("Activo or Baja", "OR", 0), "Activo=1 OR Baja=1");
  // A lower-case "and" inside an OR is not recursed into.
  EXPECT_EQ(t.SQLRevisaRecursiva("a and b OR c", "OR", 0), "a and b=1 OR c=1");
}

// A Yes/No column standing alone as an IIF condition is compared with 1 (T-SQL's IIF needs a
// condition); comparisons stay as they are.
TEST(SQLRevisaRecursiva, XorMode) {
  clsCambiaTipoSQL t;
  EXPECT_EQ(t.SQLRevisaRecursiva("a XOR b", "XOR", 1), "IIF(a=1,1,0) + IIF(b=1,1,0)=1");
  EXPECT_EQ(t.SQLRevisaRecursiva("a XOR b XOR c", "XOR", 1),
            "IIF(a=1,1,0) + IIF(b=1,1,0) + IIF(c=1,1,0)=1");
  EXPECT_EQ(t.SQLRevisaRecursiva("(a XOR b)", "XOR", 1), "(IIF(a=1,1,0) + IIF(b=1,1,0))=1");
  EXPECT_EQ(t.SQLRevisaRecursiva("x > 1 XOR (a AND b)", "XOR", 1),
            "IIF(x > 1,1,0) + IIF((a=1 AND b=1),1,0)=1");
}

TEST(CambiarBooleanos, RevisesEveryWhereClause) {
  const Caso casos[] = {
      {"SELECT a FROM t", "SELECT a FROM t"},
      {"SELECT a FROM t WHERE Activo or Baja", "SELECT a FROM t WHERE Activo=1 OR Baja=1"},
      // The WHERE of a subquery inside a condition is revised too.
      {"SELECT a FROM t WHERE x IN (SELECT b FROM u WHERE Fijo) AND Activo",
       "SELECT a FROM t WHERE x IN (SELECT b FROM u WHERE Fijo=1) AND Activo=1"},
      // A subquery's WHERE ends at its closing parenthesis.
      {"SELECT a FROM (SELECT b FROM u WHERE Fijo) AS q WHERE Activo",
       "SELECT a FROM (SELECT b FROM u WHERE Fijo=1) AS q WHERE Activo=1"},
      {"SELECT a FROM t WHERE Activo GROUP BY a", "SELECT a FROM t WHERE Activo=1 GROUP BY a"},
      {"SELECT a FROM t WHERE Activo Order By a", "SELECT a FROM t WHERE Activo=1 Order By a"},
  };
  const clsCambiaTipoSQL t;
  CompruebaCasos(casos, std::size(casos),
                 [&](const std::string& e) { return t.CambiarBooleanos(e); });
}

TEST(CambiarBooleanos, ReplacesAConditionOnlyWhereItStands) {
  const Caso casos[] = {
      // The column FechaActivo of the select list is not the condition Activo.
      {"SELECT FechaActivo, Activo FROM t WHERE Activo",
       "SELECT FechaActivo, Activo FROM t WHERE Activo=1"},
      {"SELECT Somewhere FROM t WHERE a", "SELECT Somewhere FROM t WHERE a=1"},
      // A condition ends at its UNION or at the end of its statement.
      {"SELECT a FROM t WHERE b; SELECT c FROM u", "SELECT a FROM t WHERE b=1; SELECT c FROM u"},
      {"SELECT a FROM t WHERE b UNION SELECT a FROM u WHERE c",
       "SELECT a FROM t WHERE b=1 UNION SELECT a FROM u WHERE c=1"},
      // An ORDER BY inside a subquery does not end the outer condition.
      {"SELECT a FROM t WHERE Activo AND x IN "
       "(SELECT TOP 1 b FROM u WHERE Fijo ORDER BY b) AND Baja",
       "SELECT a FROM t WHERE Activo=1 AND x IN "
       "(SELECT TOP 1 b FROM u WHERE Fijo=1 ORDER BY b) AND Baja=1"},
  };
  const clsCambiaTipoSQL t;
  CompruebaCasos(casos, std::size(casos),
                 [&](const std::string& e) { return t.CambiarBooleanos(e); });
  // The IIF condition is revised by itself: the word "Where" is not touched.
  EXPECT_EQ(t.SQLCambiarIIF("IIF(h,1,0)"), "IIF(h=1,1,0)");
  EXPECT_EQ(t.DeAccesASQL("SELECT IIf(h,1,0) AS x FROM t WHERE h"),
            "SELECT IIF(h=1,1,0) AS x FROM t WHERE h=1");
  EXPECT_EQ(t.SQLCambiaSwitch("Switch(e,'x',1,'y') + Where"),
            "(Case  When e=1 Then 'x' Else 'y' End) + Where");
}

TEST(SQLRevisaRecursiva, PeelsOnlyParenthesesAroundTheWholeText) {
  struct CasoOp { const char* entrada; const char* op; const char* salida; };
  const CasoOp casos[] = {
      {"(x OR y) AND (z OR w)", "OR", "(x=1 OR y=1) AND (z=1 OR w=1)"},
      {"(x OR y) AND (z OR w)", "AND", "(x=1 OR y=1) AND (z=1 OR w=1)"},
      {"Not (a AND b) AND Not c", "AND", "Not (a=1 AND b=1) AND Not c=1"},
      {"(a AND b) AND c", "AND", "(a=1 AND b=1) AND c=1"},
      {"NOT (a OR b) OR c", "OR", "Not (a=1 OR b=1) OR c=1"},
      {"((a) OR (b))", "OR", "((a)=1 OR (b)=1)"},
      // A subquery is not a group of conditions.
      {"(SELECT Max(a) FROM u WHERE c AND d) AND e", "AND",
       "(SELECT Max(a) FROM u WHERE c AND d)=1 AND e=1"},
  };
  clsCambiaTipoSQL t;
  for (const CasoOp& c : casos) {
    SCOPED_TRACE(c.entrada);
    EXPECT_EQ(t.SQLRevisaRecursiva(c.entrada, c.op, 0), c.salida);
  }
  EXPECT_EQ(t.DeAccesASQL("SELECT a FROM t WHERE (x OR y) AND (z OR w)"),
            "SELECT a FROM t WHERE (x=1 OR y=1) AND (z=1 OR w=1)");
}

TEST(SQLCambiarXOR, FindsWhereOrOn) {
  clsCambiaTipoSQL t;
  EXPECT_EQ(t.SQLCambiarXOR("SELECT a FROM t INNER JOIN u ON x XOR y"),
            "SELECT a FROM t INNER JOIN u ON IIF(x=1,1,0) + IIF(y=1,1,0)=1");
  EXPECT_EQ(t.SQLCambiarXOR("SELECT a FROM t"), "SELECT a FROM t");
}

}  // namespace
}  // namespace kelv
