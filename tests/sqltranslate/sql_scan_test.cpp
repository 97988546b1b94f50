// Tests of the scanning of masked query text: phrases, depth, SELECT's words.
#include <gtest/gtest.h>

#include <string>

#include "sqltranslate/sql_scan.h"

namespace kelv {
namespace {

constexpr std::size_t npos = std::string_view::npos;

TEST(SqlScan, PhrasesAsWholeWordsInAnyCase) {
  std::size_t fin = 0;
  EXPECT_TRUE(FraseEn("a order \t\r\n By b", 2, "ORDER BY", &fin));
  EXPECT_EQ(fin, 14u);
  EXPECT_FALSE(FraseEn("reorder by", 2, "ORDER BY"));
  EXPECT_FALSE(FraseEn("order byx", 0, "ORDER BY"));
  EXPECT_FALSE(FraseEn("orderby", 0, "ORDER BY"));
  EXPECT_FALSE(FraseEn("xIIF(", 1, "IIF("));
  EXPECT_TRUE(FraseEn("(IIf(a", 1, "IIF("));
  EXPECT_EQ(BuscaFrase("Somewhere where x", "WHERE"), 10u);
  EXPECT_EQ(BuscaFrase("none", "WHERE"), npos);
}

TEST(SqlScan, OutsideParentheses) {
  const std::string t = "SELECT (SELECT a FROM u ORDER BY a) FROM t ORDER BY b";
  EXPECT_EQ(BuscaFraseFuera(t, "ORDER BY"), t.rfind("ORDER"));
  EXPECT_EQ(BuscaFraseFuera(t, "FROM", 6), t.find("FROM t"));
  // Inside a parenthesis the search ends at the ")" that closes it.
  EXPECT_EQ(BuscaFraseFuera(t, "FROM t", 8), npos);
  EXPECT_EQ(BuscaFraseFuera(t, "ORDER BY", 0, 20), npos);
  EXPECT_FALSE(EntreParentesis("(a) "));
  EXPECT_TRUE(EntreParentesis("((a) OR (b))"));
  EXPECT_FALSE(EntreParentesis("(a) OR (b)"));
  EXPECT_FALSE(EntreParentesis("(a"));
  EXPECT_FALSE(EntreParentesis(""));
}

TEST(SqlScan, WordsBetweenSelectAndItsList) {
  struct Caso { const char* t; std::size_t fin; bool top; };
  const Caso casos[] = {
      {"SELECT a", 6, false},
      {"SELECT DISTINCT a", 15, false},
      {"SELECT DISTINCTROW TOP 5 a", 24, true},
      {"SELECT ALL TOP 10 PERCENT a", 25, true},
      {"SELECT TOP (n + 1) WITH TIES a", 28, true},
      {"SELECT Top, a", 6, false},
      {"SELECT TOP (n", 6, false},
  };
  for (const Caso& c : casos) {
    SCOPED_TRACE(c.t);
    bool top = true;
    EXPECT_EQ(SaltaPrefijoSelect(c.t, 6, &top), c.fin);
    EXPECT_EQ(top, c.top);
  }
}

TEST(SqlScan, ExpressionsByAccessPrecedence) {
  // The expression around the operator at offset 'o', holding the operators that bind at
  // least as tightly as hasta: [inicio, fin) of its two sides.
  struct Caso { const char* t; Precedencia hasta; const char* antes; const char* despues; };
  const Caso casos[] = {
      {"SELECT a * -b \\ c * d + e", Precedencia::Producto, "a * -b", "c * d"},
      {"x = a - b & c Mod 2 AND y", Precedencia::Suma, "a - b", "c Mod 2"},
      {"WHERE -a & f(x, y) + [z] = 1", Precedencia::Suma, "-a", "f(x, y) + [z]"},
      {"(a) / -b ^ 2 * c", Precedencia::Potencia, "(a)", "-b ^ 2"},
  };
  for (const Caso& c : casos) {
    SCOPED_TRACE(c.t);
    const std::string_view t = c.t;
    const std::size_t o = t.find_first_of("\\&/");
    std::size_t fin = o;
    while (fin > 0 && t[fin - 1] == ' ') --fin;
    const std::size_t inicio = InicioDeExpresion(t, fin, c.hasta);
    EXPECT_EQ(t.substr(inicio, fin - inicio), c.antes);
    const std::size_t desde = SaltaEspacios(t, o + 1);
    EXPECT_EQ(t.substr(desde, FinDeExpresion(t, desde, c.hasta) - desde), c.despues);
  }
}

}  // namespace
}  // namespace kelv
