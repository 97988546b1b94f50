// Tests of the scanning operations and the general list procedures.
#include <gtest/gtest.h>

#include "sqltranslate/cambia_tipo_sql.h"
#include "sqltranslate/list_procedures.h"
#include "text/error.h"

namespace kelv {
namespace {

TEST(DevContenido, FindsTheMatchingParenthesis) {
  struct Caso { const char* texto; std::int32_t abre; const char* want; std::int32_t abreDespues, hasta; };
  const Caso casos[] = {
      {"f(a(b)c)d", 2, "a(b)c", 2, 8},
      {"f(a", 2, "a", 2, 4},
      {"sin parentesis", -1, "sin parentesis", 0, 15},
      {"x (a) (b)", -1, "a", 3, 5},
      {"Where a) b", 6, "a", 6, 8},  // starts at a blank: runs to the first unmatched ")"
  };
  clsCambiaTipoSQL t;
  for (const Caso& c : casos) {
    SCOPED_TRACE(c.texto);
    std::int32_t abre = c.abre, hasta = -7;
    EXPECT_EQ(t.DevContenido(c.texto, abre, hasta), c.want);
    EXPECT_EQ(abre, c.abreDespues);
    EXPECT_EQ(hasta, c.hasta);
  }
  std::int32_t abre = 9, hasta = 0;
  EXPECT_THROW(t.DevContenido("abc", abre, hasta), KelvError);
}

TEST(DevTermino, FindsTheFirstInnermostTerm) {
  clsCambiaTipoSQL t;
  std::int32_t d = -1, h = -1;
  EXPECT_EQ(t.DevTermino("((a)(b))", d, h, "(", ")"), "a");
  EXPECT_EQ(d, 2);
  EXPECT_EQ(h, 4);
  d = h = -1;
  EXPECT_EQ(t.DevTermino("sin", d, h, "(", ")"), "");
  EXPECT_EQ(d, -1);
  EXPECT_EQ(h, -1);
  EXPECT_EQ(t.DevTermino("x[ab]y[c]", d, h, "[", "]"), "ab");
  EXPECT_THROW(t.DevTermino("(a", d, h, "(", ")"), KelvError);
}

TEST(ReemplazaPalabra, ReplacesWholeWordsOnly) {
  struct Caso { const char* texto; const char* busca; const char* pone; const char* want; };
  const Caso casos[] = {
      {"Total*2+Subtotal", "Total", "x", "x*2+Subtotal"},
      {"t.Total", "Total", "x", "t.x"},
      {"Total.a", "Total", "x", "Total.a"},
      {"a", "b", "c", "a"},
      {"TOTAL + total", "Total", "(a+b)", "(a+b) + (a+b)"},
      {"Total", "Total", "Total+1", "Total+1"},
      {"a,a,a", "a", "", ",,"},
      {"aa a", "a", "b", "aa b"},
      {"x", "", "y", "x"},  // nothing to look for: the text stays (never loops)
  };
  clsCambiaTipoSQL t;
  for (const Caso& c : casos) {
    SCOPED_TRACE(std::string(c.texto) + " / " + c.busca);
    EXPECT_EQ(t.ReemplazaPalabra(c.texto, c.busca, c.pone), c.want);
  }
}

TEST(ListProcedures, CuentaAparicionesAndSeparaPorNivel) {
  EXPECT_EQ(CuentaApariciones("a'b'c", "'"), 2);
  EXPECT_EQ(CuentaApariciones("x AND y and z", " AND "), 2);
  EXPECT_EQ(CuentaApariciones("", "'"), 0);
  EXPECT_EQ(CuentaApariciones("aaa", "aa"), 1);

  using V = std::vector<std::string>;
  struct Caso { const char* texto; const char* sep; V want; };
  const Caso casos[] = {
      {"a,f(b,c),d", ",", {"a", "f(b,c)", "d"}},
      {"x", ",", {"x"}},
      {"", ",", {}},
      {"f(a,b", ",", {"f(a,b"}},
      {"a, b ,c", ",", {"a", " b ", "c"}},
      {"(a and b) AND c", " AND ", {"(a AND b)", "c"}},  // rejoined with the separator
      {"f(a,,b),c", ",", {"f(a,,b)", "c"}},
      {"a),b,(c", ",", {"a)", "b", "(c"}},
  };
  for (const Caso& c : casos) {
    SCOPED_TRACE(c.texto);
    EXPECT_EQ(SeparaPorNivel(c.texto, c.sep, "(", ")"), c.want);
  }
  // The same delimiter on both sides (quotes).
  EXPECT_EQ(SeparaPorNivel("'a,b',c", ",", "'", "'"), (V{"'a,b'", "c"}));
}

TEST(ListProcedures, TableInsertRemoveAndSearch) {
  TablaTextos tabla = TablaVacia(3);
  EXPECT_TRUE(EsTablaVacia(tabla));
  EXPECT_EQ(BuscaEnArreglo("-1", tabla, 0, 0), -1);
  int i = -1;
  InsertaQuitaElemento(tabla, "***", i, true);
  EXPECT_EQ(i, 0);
  EXPECT_EQ(tabla.size(), 1u);
  tabla[0][0] = "Total";
  InsertaQuitaElemento(tabla, "Doble*a*b*extra", i, true);
  EXPECT_EQ(i, 1);
  EXPECT_EQ(tabla[1], (std::vector<std::string>{"Doble", "a", "b"}));
  InsertaQuitaElemento(tabla, "^*z*^", i, true);
  InsertaQuitaElemento(tabla, "^*y*^", i, true);
  EXPECT_EQ(tabla[3][1], "y");
  EXPECT_EQ(BuscaEnArreglo("Doble", tabla, 0, 0), 1);
  EXPECT_EQ(BuscaEnArreglo("doble", tabla, 0, 0), -1);
  EXPECT_EQ(BuscaEnArreglo("Total", tabla, 0, 1), -1);
  i = 1;
  InsertaQuitaElemento(tabla, "", i, false);
  EXPECT_EQ(tabla.size(), 3u);
  EXPECT_EQ(tabla[1][1], "z");
  i = 7;
  EXPECT_THROW(InsertaQuitaElemento(tabla, "", i, false), KelvError);
  i = -1;
  InsertaQuitaElemento(tabla, "", i, false);
  EXPECT_TRUE(EsTablaVacia(tabla));

  std::vector<std::string> lista{"1.0", "b", "c"};
  EXPECT_EQ(BuscaEnArreglo("1", lista, 0), 0);  // numbers compare as numbers
  EXPECT_EQ(BuscaEnArreglo("c", lista, 0), 2);
  InsertaQuitaElemento(lista, 0);
  EXPECT_EQ(lista, (std::vector<std::string>{"b", "c"}));
  EXPECT_THROW(InsertaQuitaElemento(lista, 5), KelvError);
}

}  // namespace
}  // namespace kelv
