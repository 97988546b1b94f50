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
      std::size_t fin = 0;
      switch (c | 0x20) {
        case 'a': if (FraseEn(e, i, "AND")) return true; break;
        case 'o': if (FraseEn(e, i, "OR")) return true; break;
        case 'x': if (FraseEn(e, i, "XOR")) return true; break;
        case 'l': if (FraseEn(e, i, "LIKE")) return true; break;
        case 'b': if (FraseEn(e, i, "BETWEEN")) return true; break;
        case 'i':
          if (FraseEn(e, i, "IS")) return true;
          if (FraseEn(e, i, "IN", &fin) && SaltaEspacios(e, fin) < e.size() &&
              e[SaltaEspacios(e, fin)] == '(') {
            return true;
          }
          break;
        default: break;
      }
      while (i + 1 < e.size() && EsLetraDeNombre(e[i + 1])) ++i;
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

// Whether the word w makes conditions: NOT, EXISTS, AND, OR, XOR, LIKE, BETWEEN, IS, IN.
bool PalabraDeCondicion(std::string_view w) {
  if (w.size() < 2) return false;
  switch (w[0] | 0x20) {
    case 'a': case 'b': case 'e': case 'i': case 'l': case 'n': case 'o': case 'x': break;
    default: return false;
  }
  switch (w.size()) {
    case 2: return EsPalabra(w, "OR") || EsPalabra(w, "IS") || EsPalabra(w, "IN");
    case 3: return EsPalabra(w, "NOT") || EsPalabra(w, "AND") || EsPalabra(w, "XOR");
    case 4: return EsPalabra(w, "LIKE");
    case 6: return EsPalabra(w, "EXISTS");
    case 7: return EsPalabra(w, "BETWEEN");
    default: return false;
  }
}

// What the scan of a select list looks at in each byte.
enum Clase : unsigned char { kOtro, kLetra, kAbre, kCierra, kCompara, kComa, kFin };

struct Clases {
  Clase c[256];
  Clases() {
    for (int k = 0; k < 256; ++k) {
      c[k] = EsLetraDeNombre(static_cast<char>(k)) ? kLetra : kOtro;
    }
    c[static_cast<unsigned char>('(')] = kAbre;
    c[static_cast<unsigned char>(')')] = kCierra;
    c[static_cast<unsigned char>('=')] = c[static_cast<unsigned char>('<')] =
        c[static_cast<unsigned char>('>')] = kCompara;
    c[static_cast<unsigned char>(',')] = kComa;
    c[static_cast<unsigned char>(';')] = kFin;
  }
};
const Clases kClases;

inline Clase ClaseDe(char c) { return kClases.c[static_cast<unsigned char>(c)]; }

// The fields of the select list that starts at offset i that may be conditions: [start, end)
// of each field that holds, at any depth, a comparison or a word that makes conditions (most
// fields hold none and are passed over in this one scan).
std::vector<std::pair<std::size_t, std::size_t>> Campos(std::string_view t, std::size_t i) {
  std::vector<std::pair<std::size_t, std::size_t>> campos;
  std::size_t nivel = 0, desde = i;
  bool candidato = false;
  const std::size_t n = t.size();
  for (; i < n; ++i) {
    switch (ClaseDe(t[i])) {
      case kOtro: continue;
      case kAbre: ++nivel; continue;
      case kCierra:
        if (nivel == 0) break;
        --nivel;
        continue;
      case kCompara: candidato = true; continue;
      case kComa:
        if (nivel == 0) {
          if (candidato) campos.emplace_back(desde, i);
          desde = i + 1;
          candidato = false;
        }
        continue;
      case kFin:
        if (nivel == 0) break;
        continue;
      case kLetra: {
        std::size_t j = i + 1;
        while (j < n && ClaseDe(t[j]) == kLetra) ++j;
        const std::string_view w = t.substr(i, j - i);
        i = j - 1;
        if (nivel == 0 && ((w.size() == 4 && (EsPalabra(w, "FROM") || EsPalabra(w, "INTO"))) ||
                           (w.size() == 5 && EsPalabra(w, "UNION")))) {
          i = j - w.size();
          break;
        }
        candidato = candidato || PalabraDeCondicion(w);
        continue;
      }
    }
    break;
  }
  if (candidato) campos.emplace_back(desde, i);
  return campos;
}

}  // namespace

std::string CondicionesComoValor(std::string t) {
  std::vector<Cambio> cambios;
  const BuscaSinCaso select("SELECT");
  for (std::size_t p = select.Find(t, 0); p != std::string::npos; p = select.Find(t, p + 6)) {
    if (!FraseEn(t, p, "SELECT")) continue;
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
                         "IIF(" + RevisaCondicion(std::string(interior)) + ",1,0)"});
    }
  }
  return AplicaCambios(std::move(t), std::move(cambios));
}

}  // namespace kelv::enmascarado
