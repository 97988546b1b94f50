// Conditions that a select list gives as values (all OSes).
//
// Access lets a field of a select list be a condition, [Activo]=True AS EsActivo or
// (Sueldo > Tope) AS Excede, and gives True or False; T-SQL's conditions make no values, so
// such a field becomes IIF(condition,1,0), its condition revised as a WHERE condition is (a
// Yes/No column standing alone compared with 1). A field is such a condition when, outside
// parentheses or inside the parentheses that enclose it whole, it compares (= < >), joins
// conditions (AND, OR, XOR), starts with NOT or EXISTS, or holds LIKE, BETWEEN, IS or
// IN (...); a subquery is a value.
// A bare name = b without alias is left: in T-SQL it names the column.
#include <string>
#include <vector>

#include "sqltranslate/call_rewrite.h"
#include "sqltranslate/masked_passes.h"
#include "sqltranslate/sql_scan.h"
#include "sqltranslate/text_search.h"

namespace kelv::enmascarado {
namespace {

// Whether e, outside parentheses, holds what makes it a condition; soloIgual tells whether
// its only sign of one is a single "=".
bool EsCondicion(std::string_view e, bool& soloIgual) {
  soloIgual = false;
  if (FraseEn(e, 0, "NOT") || FraseEn(e, 0, "EXISTS")) return true;
  bool igual = false;
  std::size_t nivel = 0;
  for (std::size_t i = 0; i < e.size(); ++i) {
    const char c = e[i];
    if (c == '(') {
      ++nivel;
    } else if (c == ')') {
      if (nivel > 0) --nivel;
    } else if (nivel > 0) {
      continue;
    } else if (c == '<' || c == '>') {
      return true;
    } else if (c == '=') {
      if (igual) return true;
      igual = true;
    } else if (EsLetraDeNombre(c) && (i == 0 || !EsLetraDeNombre(e[i - 1]))) {
      for (std::string_view w : {"AND", "OR", "XOR", "LIKE", "BETWEEN", "IS"}) {
        if (FraseEn(e, i, w)) return true;
      }
      std::size_t fin = 0;
      if (FraseEn(e, i, "IN", &fin) && SaltaEspacios(e, fin) < e.size() &&
          e[SaltaEspacios(e, fin)] == '(') {
        return true;
      }
    }
  }
  soloIgual = igual;
  return igual;
}

// Whether e is name = expression, T-SQL's way of naming a column: the text before its "="
// is a plain or bracketed name.
bool NombraColumna(std::string_view e) {
  const std::string_view nombre = SinEspacios(e.substr(0, e.find('=')));
  return !nombre.empty() && FinDeOperando(nombre, 0) == nombre.size() &&
         nombre.find_first_of("(.'@") == std::string_view::npos;
}

// The fields of the select list that starts at offset i: [start, end) of each.
std::vector<std::pair<std::size_t, std::size_t>> Campos(std::string_view t, std::size_t i) {
  std::vector<std::pair<std::size_t, std::size_t>> campos;
  std::size_t nivel = 0, desde = i;
  for (; i < t.size(); ++i) {
    const char c = t[i];
    if (c == '(') {
      ++nivel;
    } else if (c == ')') {
      if (nivel == 0) break;
      --nivel;
    } else if (nivel == 0 && c == ',') {
      campos.emplace_back(desde, i);
      desde = i + 1;
    } else if (nivel == 0 && (c == ';' || (EsLetraDeNombre(c) && !EsLetraDeNombre(t[i - 1]) &&
                                           (FraseEn(t, i, "FROM") || FraseEn(t, i, "INTO") ||
                                            FraseEn(t, i, "UNION"))))) {
      break;
    }
  }
  campos.emplace_back(desde, i);
  return campos;
}

}  // namespace

std::string CondicionesComoValor(std::string t) {
  std::vector<Cambio> cambios;
  for (std::size_t p = BuscaFrase(t, "SELECT"); p != std::string::npos;
       p = BuscaFrase(t, "SELECT", p + 6)) {
    for (const auto& [desde, hasta] : Campos(t, SaltaPrefijoSelect(t, p + 6))) {
      const std::string_view campo = std::string_view(t).substr(desde, hasta - desde);
      const auto [expresion, alias] = SeparaAlias(campo);
      if (expresion.empty()) continue;
      std::string_view interior = expresion;
      const bool envuelta = EntreParentesis(interior);
      if (envuelta) interior = SinEspacios(interior.substr(1, interior.size() - 2));
      bool soloIgual = false;
      if (FraseEn(interior, 0, "SELECT") || !EsCondicion(interior, soloIgual)) continue;
      if (soloIgual && !envuelta && alias.empty() && NombraColumna(interior)) continue;
      const std::size_t inicio = static_cast<std::size_t>(expresion.data() - t.data());
      cambios.push_back({inicio, inicio + expresion.size(),
                         "IIF(" + RevisaCondicion(std::string(expresion)) + ",1,0)"});
    }
  }
  return AplicaCambios(std::move(t), std::move(cambios));
}

}  // namespace kelv::enmascarado
