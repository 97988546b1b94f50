// Tests of the literal masking and of what the translator must leave as it is: string
// literals, bracketed names and comments.
#include <gtest/gtest.h>

#include <string>

#include "sqltranslate/cambia_tipo_sql.h"
#include "sqltranslate/literal_mask.h"
#include "translation_cases.h"

namespace kelv {
namespace {

TEST(Literales, MasksAndRestores) {
  const Caso casos[] = {
      // Restaura(Enmascara(x)): T-SQL literals, names and code come back as they were;
      // Access's double-quoted literals as T-SQL ones; comments are dropped.
      {"SELECT 'It''s', [Order Details].[Unit Price] FROM t",
       "SELECT 'It''s', [Order Details].[Unit Price] FROM t"},
      {"\"O'Brien\" \"a\"\"b\" \"\"", "'O''Brien' 'a\"b' ''"},
      {"'a\r\nb' [x]]y] [", "'a\r\nb' [x]]y] ["},
      {"a -- note 'x\r\nb --\nc", "a \r\nb \nc"},
      {"a/* [x] 'y */b /* open", "a b  "},
      {"'open [x] \"y", "'open [x] \"y"},
      {"\"open 'x", "'open ''x"},
      {"a\x01" "b\x02" "c", "a\x01" "b\x02" "c"},
  };
  for (const Caso& c : casos) {
    SCOPED_TRACE(c.entrada);
    Literales lit;
    const std::string masked = lit.Enmascara(c.entrada);
    EXPECT_EQ(masked.find('"'), std::string::npos);  // every double quote opens a literal
    EXPECT_EQ(lit.Restaura(masked), c.salida);
  }
}

TEST(Literales, TokensHideTheirContentAndCompareEqual) {
  Literales lit;
  const std::string m =
      lit.Enmascara("SELECT [Total], 'Order by x', [Total], \"Order by x\" FROM t");
  // Nothing of the content is visible; equal pieces get equal tokens.
  EXPECT_EQ(m.find("Total"), std::string::npos);
  EXPECT_EQ(m.find("Order"), std::string::npos);
  const std::size_t c1 = m.find('['), c2 = m.find('[', c1 + 1);
  const auto k1 = lit.TokenEn(m, c1), k2 = lit.TokenEn(m, c2);
  ASSERT_TRUE(k1 && k2);
  EXPECT_EQ(m.substr(k1->inicio, k1->fin - k1->inicio), m.substr(k2->inicio, k2->fin - k2->inicio));
  EXPECT_EQ(lit.Nombre(*k1), "Total");
  const std::size_t q1 = m.find('\''), q2 = m.find('\'', m.find('\'', q1 + 1) + 1);
  EXPECT_EQ(m.substr(q1, 5), m.substr(q2, 5));

  EXPECT_EQ(lit.NombreDe(m.substr(k1->inicio, k1->fin - k1->inicio) + " "), "Total");
  const auto texto = lit.TextoDe(lit.NuevoTexto("O'Brien"));
  EXPECT_EQ(texto, "O'Brien");
  EXPECT_EQ(lit.Restaura(lit.NuevoTexto("O'Brien")), "'O''Brien'");
  EXPECT_FALSE(lit.TextoDe("x"));
  EXPECT_FALSE(lit.NombreDe(lit.NuevoTexto("x")));
}

TEST(DeAccesASQL, KeepsBracketedNames) {
  const Caso casos[] = {
      {"SELECT a.[Date], [Order Details].[Unit Price] AS [Precio Unitario] "
       "FROM [Order Details] AS a",
       "SELECT a.[Date], [Order Details].[Unit Price] AS [Precio Unitario] "
       "FROM [Order Details] AS a"},
      {"INSERT INTO [~TempCodes] ( Codigo ) SELECT [t].[c] FROM [t];",
       "INSERT INTO [~TempCodes] ( Codigo ) SELECT [t].[c] FROM [t]"},
      // Names holding what the passes rewrite in code.
      {"SELECT [Precio & IVA], [Horas\\Dia], [Nro #1#], [True], [Order by], [Mid(x)] FROM t",
       "SELECT [Precio & IVA], [Horas\\Dia], [Nro #1#], [True], [Order by], [Mid(x)] FROM t"},
      // Steps that relied on the brackets becoming parentheses.
      {"SELECT CStr([Memo]), Trim([t].[Nombre]) FROM t",
       "SELECT Convert(nvarchar(4000),[Memo]), RTrim(LTrim([t].[Nombre])) FROM t"},
      {"SELECT IIf(IsNull([Sueldo]),0,[Sueldo]) FROM [Personas]",
       "SELECT ISNULL([Sueldo],0) FROM [Personas]"},
      {"SELECT * FROM t WHERE [Activo] AND [t].[Fijo]",
       "SELECT * FROM t WHERE [Activo]=1 AND [t].[Fijo]=1"},
  };
  CompruebaTraduccion(casos, std::size(casos));
}

TEST(DeAccesASQL, ConvertsDoubleQuotedLiteralsWhole) {
  const Caso casos[] = {
      {"SELECT \"O'Brien\", \"a\"\"b\", 'It''s' FROM t",
       "SELECT 'O''Brien', 'a\"b', 'It''s' FROM t"},
      // The concatenation stays outside the text.
      {"SELECT * FROM t WHERE c = \"FirstName='\" & x & \"'\"",
       "SELECT * FROM t WHERE c = CONCAT('FirstName=''', x, '''')"},
  };
  CompruebaTraduccion(casos, std::size(casos));
}

TEST(DeAccesASQL, LeavesLiteralTextAsItIs) {
  const Caso casos[] = {
      {"SELECT \"C:\\Temp\\x\", 'True', \"Order by Nombre\", 'a & b', '#1/1/2000#', 'x;y' "
       "FROM t ORDER BY a",
       "SELECT 'C:\\Temp\\x', 'True', 'Order by Nombre', 'a & b', '#1/1/2000#', 'x;y' FROM t "},
      {"SELECT 'a\r\nb', 'Mid(x,1)', 'IIf(a,b,c)', 'Val(1)', 'IsNull(x)' FROM t",
       "SELECT 'a\r\nb', 'Mid(x,1)', 'IIf(a,b,c)', 'Val(1)', 'IsNull(x)' FROM t"},
      {"SELECT * FROM t WHERE Nombre = 'Activo AND Fijo' OR Activo",
       "SELECT * FROM t WHERE Nombre = 'Activo AND Fijo' OR Activo=1"},
      // An alias is not replaced inside a literal.
      {"SELECT a AS x, x & ' x ' AS y FROM t",
       "SELECT a as x, \r\nCONCAT(a, ' x ') as y FROM t"},
      // Date constants are code and are still rewritten.
      {"SELECT * FROM t WHERE d > #12/31/2005# AND n <> '#12/31/2005#'",
       "SELECT * FROM t WHERE d > '20051231' AND n <> '#12/31/2005#'"},
  };
  CompruebaTraduccion(casos, std::size(casos));
}

TEST(DeAccesASQL, DropsCommentsWithoutJoiningLinesIntoThem) {
  const Caso casos[] = {
      {"-- Altas del mes\r\nSELECT a FROM t -- sin bajas\r\nWHERE b = 1",
       "SELECT a FROM t  WHERE b = 1"},
      {"SELECT a FROM t WHERE x = 1 -- fin", "SELECT a FROM t WHERE x = 1"},
      {"SELECT a /* uno; dos */ FROM t WHERE Activo", "SELECT a   FROM t WHERE Activo=1"},
      {"SELECT 'a -- b', [c -- d] FROM t", "SELECT 'a -- b', [c -- d] FROM t"},
  };
  CompruebaTraduccion(casos, std::size(casos));
}

}  // namespace
}  // namespace kelv
