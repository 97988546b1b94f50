// The IsNull rewrite of DeAccesASQL: Access's IsNull(x) becomes a T-SQL null test, a
// condition where one stands and a value (1 or 0) where a value is needed (all OSes).
#include <string>

#include "sqltranslate/call_rewrite.h"
#include "sqltranslate/masked_passes.h"
#include "sqltranslate/sql_scan.h"
#include "sqltranslate/text_search.h"
#include "text/error.h"

namespace kelv {
namespace {

// How far back the context of a call is looked for; beyond it a value is assumed.
constexpr std::size_t kAlcance = 4096;

bool PalabraDeCondicion(std::string_view w) {
  for (std::string_view c : {"WHERE", "ON", "HAVING", "AND", "OR", "WHEN"}) {
    if (EsPalabra(w, c)) return true;
  }
  return false;
}

// The offset of the "(" that encloses offset i and the number of commas between it and i
// outside inner parentheses; npos when there is none within reach.
std::pair<std::size_t, int> Encierra(std::string_view t, std::size_t i) {
  int nivel = 0, comas = 0;
  const std::size_t limite = i > kAlcance ? i - kAlcance : 0;
  for (std::size_t k = i; k > limite; --k) {
    const char c = t[k - 1];
    if (c == ')') {
      ++nivel;
    } else if (c == '(') {
      if (nivel == 0) return {k - 1, comas};
      --nivel;
    } else if (c == ',' && nivel == 0) {
      ++comas;
    }
  }
  return {std::string_view::npos, 0};
}

// Whether the call that starts at offset p and ends (exclusive) at fin stands where a
// condition is read: after WHERE, ON, HAVING, AND, OR, WHEN or NOT, as the condition of an
// IIF or Switch, or inside parentheses that stand there; and not compared or computed with.
bool PideCondicion(std::string_view t, std::size_t p, std::size_t fin) {
  const std::size_t d = SaltaEspacios(t, fin);
  if (d < t.size() && std::string_view("=<>+-*/%&^").find(t[d]) != std::string_view::npos) {
    return false;
  }
  std::size_t i = p;
  for (std::size_t vueltas = 0; vueltas < 1000; ++vueltas) {
    std::size_t j = i;
    while (j > 0 && EsEspacio(t[j - 1])) --j;
    if (j == 0) return false;
    const char c = t[j - 1];
    if (c == '(' || c == ',') {
      auto [abre, comas] = c == '(' ? std::make_pair(j - 1, 0) : Encierra(t, j - 1);
      if (abre == std::string_view::npos) return false;
      if (c == ',') ++comas;  // the call is the argument after this comma
      std::size_t k = abre;
      while (k > 0 && EsEspacio(t[k - 1])) --k;
      const std::string_view w = PalabraAntes(t, k);
      if (EsPalabra(w, "IIF")) return comas == 0;
      if (EsPalabra(w, "Switch")) return comas % 2 == 0;
      if (c == ',') return false;
      // A parenthesis after a keyword, or one that only groups, stands where it stands.
      if (!w.empty() && !PalabraDeCondicion(w) && !EsPalabra(w, "NOT")) return false;
      i = abre;
      continue;
    }
    const std::string_view w = PalabraAntes(t, j);
    if (PalabraDeCondicion(w)) return true;
    if (!EsPalabra(w, "NOT")) return false;
    i = j - w.size();
  }
  return false;
}

}  // namespace

namespace enmascarado {

std::string CambiaIsNull(std::string t) {
  return ReescribeConContexto(std::move(t), "IsNull(", [](std::string_view r, std::size_t p) {
    const Contenido c = ContenidoParentesis(r, p + 6);
    if (c.cierre >= r.size()) {
      throw KelvError(
          kErrInvalidArgument, "DeAccesASQL",
          "IsNull( at position " + std::to_string(p + 1) + " has no closing parenthesis");
    }
    std::optional<Reemplazo> e;
    if (PartesDeLlamada(c.texto).size() >= 2) return e;  // a two-argument null test
    const std::string x(c.texto);
    e = Reemplazo{c.cierre + 1, PideCondicion(r, p, c.cierre + 1) ? x + " IS NULL "
                                                                  : "IIF(" + x + " IS NULL,1,0)"};
    return e;
  });
}

}  // namespace enmascarado
}  // namespace kelv
