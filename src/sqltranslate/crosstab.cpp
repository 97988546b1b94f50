// Access crosstabs (TRANSFORM agg SELECT … GROUP BY … PIVOT col IN (v1, v2, …)) in T-SQL
// (all OSes).
//
// The row headings are the select list, and each value of the IN list becomes a column
// named after it holding the aggregate of the rows whose pivot column has that value. A
// crosstab T-SQL's PIVOT operator can express (its value one aggregate, row headings that
// are the grouped columns themselves, each with a name, no HAVING, TOP or DISTINCT) becomes
// one, over a common table expression (which a view may hold):
//   WITH Src AS (SELECT a, col AS PivotColumn, x AS PivotValue FROM … WHERE …)
//   SELECT a, [v1], [v2] FROM Src PIVOT (SUM(PivotValue) FOR PivotColumn IN ([v1], [v2])) AS Pvt
// Any other (row totals, which Access's wizard adds, an expression of aggregates, HAVING)
// keeps its SELECT and gains one aggregate per value, limited to that value's rows:
//   SELECT a, Sum(x) AS Total, Sum(CASE WHEN col = 'v1' THEN x END) AS [v1], … GROUP BY a
// Without an IN list the columns are only known at run time: the crosstab is reported and
// written as the rows it is made of (the pivot column grouped with the row headings).
#include <algorithm>
#include <initializer_list>
#include <string>
#include <tuple>
#include <vector>

#include "sqltranslate/access_passes.h"
#include "sqltranslate/call_rewrite.h"
#include "sqltranslate/masked_passes.h"
#include "sqltranslate/sql_scan.h"
#include "sqltranslate/text_search.h"
#include "text/toolbox.h"

namespace kelv::acceso {
namespace {

// Access's aggregates. First and Last have no T-SQL counterpart: a crosstab of them is
// still written anew, and the calls are reported with every other call T-SQL lacks.
constexpr std::string_view kAgregados[] = {"Sum",    "Avg", "Min",  "Max",   "Count", "StDev",
                                           "StDevP", "Var", "VarP", "First", "Last"};

bool EsAgregado(std::string_view nombre) {
  for (std::string_view a : kAgregados) {
    if (EsPalabra(nombre, a)) return true;
  }
  return false;
}

// Whether e calls an aggregate function.
bool TieneAgregado(std::string_view e) {
  for (std::size_t p = e.find('('); p != std::string_view::npos; p = e.find('(', p + 1)) {
    std::size_t k = p;
    while (k > 0 && EsLetraDeNombre(e[k - 1])) --k;
    if (EsAgregado(e.substr(k, p - k))) return true;
  }
  return false;
}

// The parts of one crosstab, offsets into its statement.
struct Cruzada {
  std::string_view valor, aliasValor;  // TRANSFORM's aggregate and its alias
  std::string_view consulta;           // from SELECT to just before PIVOT
  std::string_view pivote;             // PIVOT's column or expression
  std::vector<std::string> valores;    // the IN list; empty when there is none
  bool conLista = false;
};

// The name of the column an IN value gives: its text, bracketed.
std::string Columna(Literales& lit, const std::string& valor) {
  const auto texto = lit.TextoDe(valor);
  const std::string nombre = texto ? *texto : lit.Restaura(valor);
  std::string b = "[";
  for (char c : nombre) {
    b.push_back(c);
    if (c == ']') b.push_back(']');
  }
  return lit.NuevoCodigo(b + "]");
}

// The value expression with each aggregate limited to the rows whose pivot has valor.
std::string Condicionado(std::string_view valorExpr, std::string_view pivote,
                         const std::string& valor) {
  std::vector<LlamadaConocida> tabla;
  for (std::string_view a : kAgregados) {
    tabla.push_back({a, [a, pivote, &valor](std::string_view r, std::size_t p, std::size_t) {
                       const Contenido c = ContenidoParentesis(r, p + a.size());
                       Reescritura e;
                       e.siguiente = a.size() + 1;
                       if (c.cierre >= r.size()) return e;
                       std::string_view x = SinEspacios(c.texto);
                       std::string distinct;
                       std::size_t d = 0;
                       if (FraseEn(x, 0, "DISTINCT", &d)) {
                         distinct = "DISTINCT ";
                         x = SinEspacios(x.substr(d));
                       }
                       const std::string dato = x == "*" ? "1" : std::string(x);
                       e.texto = std::string(r.substr(p, a.size())) + "(" + distinct +
                                 "CASE WHEN " + std::string(pivote) + " = " + valor + " THEN " +
                                 dato + " END)";
                       e.fin = c.cierre + 1;
                       e.siguiente = e.texto->size();
                       return e;
                     }});
  }
  return ReescribeLlamadasDe(std::string(valorExpr), tabla);
}

// Offsets of a SELECT's clauses, outside parentheses (npos when absent).
struct Clausulas {
  std::size_t lista, from, where, groupBy, having, orderBy;
  bool top;
};

Clausulas LeeClausulas(std::string_view c) {
  Clausulas k{};
  k.lista = SaltaPrefijoSelect(c, 6, &k.top);
  k.from = BuscaFraseFuera(c, "FROM", k.lista);
  const std::size_t desde = k.from == std::string_view::npos ? k.lista : k.from;
  k.where = BuscaFraseFuera(c, "WHERE", desde);
  k.groupBy = BuscaFraseFuera(c, "GROUP BY", desde);
  k.having = BuscaFraseFuera(c, "HAVING", desde);
  k.orderBy = BuscaFraseFuera(c, "ORDER BY", desde);
  return k;
}

std::size_t Primero(std::initializer_list<std::size_t> offsets, std::size_t fin) {
  for (std::size_t o : offsets) fin = std::min(fin, o);
  return fin;
}

// The PIVOT operator's form, when the crosstab fits it.
std::optional<std::string> ConPivot(Literales& lit, const Cruzada& x, const Clausulas& k,
                                    const std::vector<std::string>& columnas) {
  const std::string_view c = x.consulta;
  if (k.top || k.lista != 6 || k.having != std::string_view::npos ||
      k.groupBy == std::string_view::npos || k.from == std::string_view::npos) {
    return std::nullopt;
  }
  // The value: one aggregate call.
  const std::size_t abre = x.valor.find('(');
  if (abre == std::string_view::npos || FinDeOperando(x.valor, 0) != x.valor.size() ||
      !EsAgregado(SinEspacios(x.valor.substr(0, abre)))) {
    return std::nullopt;
  }
  const std::string_view agregado = SinEspacios(x.valor.substr(0, abre));
  if (EsPalabra(agregado, "First") || EsPalabra(agregado, "Last")) return std::nullopt;
  std::string_view dato = SinEspacios(x.valor.substr(abre + 1, x.valor.size() - abre - 2));
  if (FraseEn(dato, 0, "DISTINCT")) return std::nullopt;
  if (dato == "*") dato = "1";
  // The row headings: the grouped columns, each with a name of its own.
  const std::vector<std::string> campos = PartesDeLlamada(c.substr(k.lista, k.from - k.lista));
  const std::size_t finGrupo = Primero({k.orderBy}, c.size());
  const std::vector<std::string> grupo =
      PartesDeLlamada(c.substr(k.groupBy + 8, finGrupo - k.groupBy - 8));
  if (campos.size() != grupo.size()) return std::nullopt;
  std::vector<std::string> nombres;
  for (std::size_t i = 0; i < campos.size(); ++i) {
    const auto [expresion, alias] = SeparaAlias(campos[i]);
    if (!TextEquals(expresion, SinEspacios(grupo[i]), Compare::AnyCase) ||
        TieneAgregado(expresion)) {
      return std::nullopt;
    }
    std::string nombre(alias);
    if (nombre.empty()) {
      if (!EsOperandoSimple(expresion) || expresion.find('(') != std::string_view::npos) {
        return std::nullopt;
      }
      nombre = std::string(expresion.substr(expresion.rfind('.') + 1));
    }
    for (const std::string& n : nombres) {
      if (TextEquals(n, nombre, Compare::AnyCase)) return std::nullopt;
    }
    nombres.push_back(std::move(nombre));
  }
  for (const std::string& v : x.valores) {
    if (!lit.TextoDe(v) && !(v[0] >= '0' && v[0] <= '9') && v[0] != '-') return std::nullopt;
  }
  const std::string lista = Join(columnas, ", ");
  return "WITH Src AS (SELECT " + std::string(SinEspacios(c.substr(k.lista, k.from - k.lista))) +
         ", " + std::string(x.pivote) + " AS PivotColumn, " + std::string(dato) +
         " AS PivotValue " + std::string(SinEspacios(c.substr(k.from, k.groupBy - k.from))) +
         ") SELECT " + Join(nombres, ", ") + ", " + lista + " FROM Src PIVOT (" +
         std::string(agregado) + "(PivotValue) FOR PivotColumn IN (" + lista + ")) AS Pvt";
}

std::optional<std::string> Traduce(Literales& lit, const Cruzada& x, Informe& informe,
                                   std::string_view sentencia) {
  const std::string_view c = x.consulta;
  const Clausulas k = LeeClausulas(c);
  if (k.from == std::string_view::npos || !TieneAgregado(x.valor)) return std::nullopt;
  const std::string cabeza(SinEspacios(c.substr(0, k.from)));
  const std::string resto(c.substr(k.from));
  if (!x.conLista) {
    informe.Avisa(lit, "crosstab without an IN list (its columns are only known at run time)",
                  sentencia);
    std::string t = cabeza + ", " + std::string(x.pivote);
    if (x.pivote.find('(') != std::string_view::npos || !EsOperandoSimple(x.pivote)) {
      t += " AS PivotColumn";
    }
    t += ", " + std::string(x.valor) + " AS " +
         (x.aliasValor.empty() ? std::string("PivotValue") : std::string(x.aliasValor)) + " ";
    if (k.groupBy == std::string_view::npos) return t + resto;
    const std::size_t fin = Primero({k.having, k.orderBy}, c.size());
    std::string grupo(SinEspacios(c.substr(k.from, fin - k.from)));
    return t + grupo + ", " + std::string(x.pivote) + " " + std::string(c.substr(fin));
  }
  std::vector<std::string> columnas;
  for (const std::string& v : x.valores) columnas.push_back(Columna(lit, v));
  if (auto p = ConPivot(lit, x, k, columnas)) return p;
  std::string t = cabeza;
  for (std::size_t i = 0; i < x.valores.size(); ++i) {
    t += ", " + Condicionado(x.valor, x.pivote, x.valores[i]) + " AS " + columnas[i];
  }
  return t + " " + resto;
}

}  // namespace

std::string TablasCruzadas(Literales& lit, std::string t, Informe& informe) {
  return ReescribeSentencias(
      std::move(t), "TRANSFORM",
      [&](std::string_view s, std::size_t tras, bool distinct,
          std::size_t fin) -> std::optional<std::string> {
        if (distinct) return std::nullopt;
        const std::size_t sel = BuscaFraseFuera(s, "SELECT", tras, fin);
        if (sel == std::string::npos) return std::nullopt;
        std::size_t pivot = std::string::npos;
        for (std::size_t p = BuscaFraseFuera(s, "PIVOT", sel, fin); p != std::string::npos;
             p = BuscaFraseFuera(s, "PIVOT", p + 5, fin)) {
          pivot = p;
        }
        if (pivot == std::string::npos) return std::nullopt;
        Cruzada x;
        std::tie(x.valor, x.aliasValor) = SeparaAlias(s.substr(tras, sel - tras));
        x.consulta = SinEspacios(s.substr(sel, pivot - sel));
        std::string_view pivote = s.substr(pivot + 5, fin - pivot - 5);
        for (std::size_t p = BuscaFraseFuera(pivote, "IN"); p != std::string::npos;
             p = BuscaFraseFuera(pivote, "IN", p + 2)) {
          const std::size_t abre = SaltaEspacios(pivote, p + 2);
          if (abre >= pivote.size() || pivote[abre] != '(') continue;
          for (const std::string& v : PartesDeLlamada(ContenidoParentesis(pivote, abre).texto)) {
            x.valores.emplace_back(SinEspacios(v));
          }
          x.conLista = true;
          pivote = pivote.substr(0, p);
          break;
        }
        x.pivote = SinEspacios(pivote);
        if (x.pivote.empty() || (x.conLista && x.valores.empty())) return std::nullopt;
        std::optional<std::string> r = Traduce(lit, x, informe, s.substr(pivot, fin - pivot));
        if (!r) return std::nullopt;
        // A view cannot keep an ORDER BY without TOP, as the rules drop it everywhere else.
        return enmascarado::QuitaOrdenFinal(std::move(*r));
      });
}

}  // namespace kelv::acceso
