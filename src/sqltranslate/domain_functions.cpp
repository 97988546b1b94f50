// Access's domain functions become scalar subqueries (all OSes):
//   DLookup("f", "t", "crit")  → (SELECT TOP 1 f FROM t WHERE crit)
//   DCount, DSum, DAvg, DMin, DMax → (SELECT COUNT(f) ...), SUM, AVG, MIN, MAX
//   DFirst, DLast → TOP 1, as DLookup: Access documents them as returning any record.
// The arguments are texts holding pieces of an Access query; the subquery they make is
// translated whole, as a query of its own, and put in as finished code.
//
// A criterion joined at run time from texts and values, "IdSector = " & [IdSector] or
// "Codigo = '" & [Codigo] & "'", becomes SQL text with the values in it as code (the quotes
// or "#" around a value go): the value is the row's column, so a column that is not
// qualified takes the name (or alias) of the one table of the query around the call, and the
// subquery reads it from there. Any other argument built at run time (a criterion held in a
// column, a value of a query of several tables, a column of the domain's own table) cannot
// become SQL text: the call is left and reported.
#include <optional>
#include <string>
#include <vector>

#include "sqltranslate/access_passes.h"
#include "sqltranslate/call_rewrite.h"
#include "sqltranslate/sql_scan.h"
#include "sqltranslate/text_search.h"
#include "text/toolbox.h"

namespace kelv::acceso {
namespace {

// Domain functions nested deeper than this in one another's criteria are left.
constexpr int kProfundidadMaxima = 8;

struct Dominio {
  std::string_view funcion;
  std::string_view agregado;  // empty: TOP 1 of the expression
};

constexpr Dominio kDominios[] = {
    {"DLookup", ""}, {"DFirst", ""},  {"DLast", ""},   {"DCount", "COUNT"},
    {"DSum", "SUM"}, {"DAvg", "AVG"}, {"DMin", "MIN"}, {"DMax", "MAX"},
};

// A table or query name as a FROM clause writes it: one holding characters a plain name
// cannot hold is bracketed.
std::string NombreDeTabla(std::string_view n) {
  n = SinEspacios(n);
  bool simple = !n.empty();
  for (char c : n) {
    if (!EsLetraDeNombre(c) && c != '.') simple = false;
  }
  if (simple || (n.size() >= 2 && n.front() == '[' && n.back() == ']')) return std::string(n);
  std::string b = "[";
  for (char c : n) {
    b.push_back(c);
    if (c == ']') b.push_back(']');
  }
  return b + "]";
}

// The table whose columns a value of the criterion names: the one table (its alias, or its
// name) of the SELECT or UPDATE that the call at offset p of t stands in; empty when there
// are several tables or none.
std::string TablaDeFuera(std::string_view t, std::size_t p) {
  // The SELECT or UPDATE of the query that holds p: the nearest one before p outside the
  // parentheses that close before p.
  std::size_t nivel = 0, inicio = std::string_view::npos;
  for (std::size_t i = std::min(p, t.size()); i > 0 && inicio == std::string_view::npos; --i) {
    const char c = t[i - 1];
    if (c == ')') {
      ++nivel;
    } else if (c == '(') {
      if (nivel > 0) --nivel;
    } else if (c == ';' && nivel == 0) {
      return "";
    } else if (nivel == 0 && (c | 0x20) == 's' && FraseEn(t, i - 1, "SELECT")) {
      inicio = i - 1;
    } else if (nivel == 0 && (c | 0x20) == 'u' && FraseEn(t, i - 1, "UPDATE")) {
      inicio = i - 1;
    }
  }
  if (inicio == std::string_view::npos) return "";
  std::size_t e = 0;
  std::string_view tablas;
  if (FraseEn(t, inicio, "UPDATE", &e)) {
    const std::size_t set = BuscaFraseFuera(t, "SET", e);
    if (set == std::string_view::npos) return "";
    tablas = t.substr(e, set - e);
  } else {
    const std::size_t from = BuscaFraseFuera(t, "FROM", inicio + 6);
    if (from == std::string_view::npos) return "";
    // The tables run to the next clause, or to the end of the query.
    const std::size_t hasta = FinDeClausula(t, from + 4, [](std::string_view q, std::size_t k) {
      return FraseEn(q, k, "WHERE") || FraseEn(q, k, "GROUP") || FraseEn(q, k, "HAVING") ||
             FraseEn(q, k, "ORDER") || FraseEn(q, k, "UNION");
    });
    tablas = t.substr(from + 4, hasta - from - 4);
  }
  if (BuscaFrase(tablas, "JOIN") != std::string_view::npos ||
      PartesDeLlamada(tablas).size() != 1) {
    return "";
  }
  const TablaDeLista tabla = PrimeraTabla(tablas);
  return std::string(tabla.alias.empty() ? tabla.nombre : tabla.alias);
}

// Whether two table names are the same, brackets and letter case aside.
bool MismoNombre(std::string_view a, std::string_view b) {
  auto sin = [](std::string_view n) {
    n = SinEspacios(n);
    if (n.size() >= 2 && n.front() == '[' && n.back() == ']') n = n.substr(1, n.size() - 2);
    return n;
  };
  return TextEquals(sin(a), sin(b), Compare::AnyCase);
}

bool EsNumero(std::string_view s) {
  if (s.empty()) return false;
  for (char c : s) {
    if ((c < '0' || c > '9') && c != '.') return false;
  }
  return true;
}

// The criterion joined at run time (masked text) as the text of an Access criterion, or
// nothing when it cannot be written so. fuera: the table of the query around the call;
// dominio: the domain's table.
std::optional<std::string> CriterioUnido(const Literales& lit, std::string_view criterio,
                                         const std::string& fuera, std::string_view dominio) {
  std::vector<std::string_view> piezas;
  std::size_t desde = 0;
  for (std::size_t i = 0; i <= criterio.size(); ++i) {
    if (i < criterio.size() && criterio[i] != '&') {
      if (criterio[i] == '(') i = ContenidoParentesis(criterio, i).cierre;
      continue;
    }
    piezas.push_back(SinEspacios(criterio.substr(desde, std::min(i, criterio.size()) - desde)));
    desde = i + 1;
  }
  if (piezas.size() < 2) return std::nullopt;
  std::string texto;
  bool saltaComilla = false;  // the next text starts with the quote that closes a value
  for (std::size_t i = 0; i < piezas.size(); ++i) {
    if (auto parte = lit.TextoDe(piezas[i])) {
      if (saltaComilla) {
        if (parte->empty() || parte->front() != texto.back()) return std::nullopt;
        texto.pop_back();
        parte->erase(0, 1);
        saltaComilla = false;
      }
      texto += *parte;
      continue;
    }
    if (saltaComilla) return std::nullopt;
    // A value: a parameter, a number or a column; between "#", a date formatted for the
    // criterion (Format([Alta], "mm/dd/yyyy")) is the date itself.
    std::string_view v = piezas[i];
    std::size_t e = 0;
    if (!texto.empty() && texto.back() == '#' && FraseEn(v, 0, "Format", &e) && e < v.size() &&
        v[e] == '(' && EntreParentesis(v.substr(e))) {
      const std::vector<std::string> args = PartesDeLlamada(v.substr(e + 1, v.size() - e - 2));
      if (args.size() == 2 && lit.TextoDe(args[1])) {
        v = SinEspacios(v.substr(e + 1, args[0].size()));
      }
    }
    if (v.empty() || !EsOperandoSimple(v) || v.find('(') != std::string_view::npos) {
      return std::nullopt;
    }
    std::string valor = lit.Restaura(v);
    if (v[0] != '@' && !EsNumero(v)) {
      // A column: of the query around the call, never of the domain's own table.
      const std::string tabla = lit.Restaura(Calificador(v));
      const std::string propia = tabla.empty() ? fuera : tabla;
      if (propia.empty() || MismoNombre(propia, dominio)) return std::nullopt;
      if (tabla.empty()) valor = fuera + "." + valor;
    }
    // A value between quotes or "#" in the criterion is put in without them.
    if (!texto.empty() && (texto.back() == '\'' || texto.back() == '"' || texto.back() == '#')) {
      saltaComilla = true;
      const char comilla = texto.back();
      texto.pop_back();
      texto += valor;
      texto.push_back(comilla);
      continue;
    }
    texto += valor;
  }
  if (saltaComilla) return std::nullopt;
  return texto;
}

}  // namespace

std::string FuncionesDeDominio(Literales& lit, std::string t, Informe& informe, int profundidad) {
  // The text as it was, for the query around a call; a call stands there at its offset in the
  // text being rewritten less what the replacements before it added.
  const std::string original = t.find('&') == std::string::npos ? std::string() : t;
  long desplazamiento = 0;
  std::vector<LlamadaConocida> tabla;
  for (const Dominio& d : kDominios) {
    tabla.push_back(
        {d.funcion, [&, d](std::string_view r, std::size_t p, std::size_t antes) {
           const std::size_t abre = p + d.funcion.size();
           const Contenido c = ContenidoParentesis(r, abre);
           const std::vector<std::string> a = PartesDeLlamada(c.texto);
           Reescritura e;
           e.siguiente = d.funcion.size() + 1;
           if (c.cierre >= r.size() || a.empty() || a.size() > 3) return e;
           std::vector<std::optional<std::string>> textos;
           for (const std::string& arg : a) textos.push_back(lit.TextoDe(arg));
           if (a.size() == 3 && textos[0] && textos[1] && !textos[2] && !original.empty()) {
             const std::size_t aqui = static_cast<std::size_t>(
                 static_cast<long>(antes + p) - desplazamiento);
             textos[2] = CriterioUnido(lit, a[2], lit.Restaura(TablaDeFuera(original, aqui)),
                                      *textos[1]);
           }
           bool literales = a.size() >= 2 && profundidad < kProfundidadMaxima;
           for (const auto& x : textos) literales = literales && x.has_value();
           if (!literales) {
             informe.Avisa(lit, "domain function with arguments built at run time",
                           r.substr(p, c.cierre + 1 - p));
             return e;
           }
           std::string consulta = "SELECT ";
           if (d.agregado.empty()) {
             consulta += "TOP 1 " + *textos[0];
           } else {
             consulta += std::string(d.agregado) + "(" + *textos[0] + ")";
           }
           consulta += " FROM " + NombreDeTabla(*textos[1]);
           if (a.size() == 3 && !SinEspacios(*textos[2]).empty()) {
             consulta += " WHERE " + *textos[2];
           }
           e.texto = lit.NuevoCodigo("(" + Traduce(consulta, informe, profundidad + 1) + ")");
           e.fin = c.cierre + 1;
           e.siguiente = e.texto->size();
           desplazamiento += static_cast<long>(e.texto->size()) - static_cast<long>(e.fin - p);
           return e;
         }});
  }
  return ReescribeLlamadasDe(std::move(t), tabla);
}

}  // namespace kelv::acceso
