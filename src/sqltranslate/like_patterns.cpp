// The wildcards of Access's LIKE patterns in T-SQL's (all OSes): * → %, ? → _, # → [0-9],
// [!...] → [^...], and the characters T-SQL reads as wildcards where Access does not, % and
// _, escaped as [%] and [_]. Only the string literals of a pattern change: those of the
// operand after LIKE, joined with "+" or CONCAT and in parentheses; a pattern built from a
// column or a parameter is left to run-time values.
#include <string>
#include <vector>

#include "sqltranslate/access_passes.h"
#include "sqltranslate/call_rewrite.h"
#include "sqltranslate/sql_scan.h"

namespace kelv::acceso {
namespace {

std::string PatronTSql(std::string_view p) {
  std::string out;
  out.reserve(p.size() + 8);
  for (std::size_t i = 0; i < p.size(); ++i) {
    const char c = p[i];
    if (c == '[') {
      // A class: copied up to its "]", "!" at its start as "^".
      const std::size_t f = p.find(']', i + 1);
      if (f == std::string_view::npos) {
        out += "[[]";
        continue;
      }
      out.push_back('[');
      std::size_t k = i + 1;
      if (k < f && p[k] == '!') {
        out.push_back('^');
        ++k;
      }
      out.append(p.substr(k, f + 1 - k));
      i = f;
    } else if (c == '*') {
      out.push_back('%');
    } else if (c == '?') {
      out.push_back('_');
    } else if (c == '#') {
      out += "[0-9]";
    } else if (c == '%' || c == '_') {
      out += std::string("[") + c + "]";
    } else {
      out.push_back(c);
    }
  }
  return out;
}

// Parenthesised groups nested deeper than this in a pattern are not looked into.
constexpr int kProfundidadMaxima = 50;

// The literals of the operand that starts at offset i (terms joined with "+", parenthesised
// groups looked into); returns where the operand ends.
std::size_t Operando(Literales& lit, std::string_view t, std::size_t i,
                     std::vector<Cambio>& cambios, int profundidad) {
  for (;;) {
    i = SaltaEspacios(t, i);
    if (i >= t.size()) return i;
    std::size_t fin, e = 0;
    if (FraseEn(t, i, "CONCAT", &e) && e < t.size() && t[e] == '(' &&
        profundidad < kProfundidadMaxima) {
      // A pattern joined with CONCAT (Access's "&"): each argument is a piece of it.
      fin = e;
      do {
        fin = SaltaEspacios(t, Operando(lit, t, fin + 1, cambios, profundidad + 1));
      } while (fin < t.size() && t[fin] == ',');
      if (fin < t.size() && t[fin] == ')') ++fin;
    } else if (t[i] == '(' && profundidad < kProfundidadMaxima) {
      fin = Operando(lit, t, i + 1, cambios, profundidad + 1);
      fin = SaltaEspacios(t, fin);
      if (fin < t.size() && t[fin] == ')') ++fin;
    } else {
      fin = FinDeOperando(t, i);
      if (fin == i) return i;
      const auto k = lit.TokenEn(t, i);
      if (k && k->clase == Literales::Clase::Texto && k->fin == fin) {
        if (auto texto = lit.TextoDe(t.substr(i, fin - i))) {
          cambios.push_back({i, fin, lit.NuevoTexto(PatronTSql(*texto))});
        }
      }
    }
    const std::size_t s = SaltaEspacios(t, fin);
    if (s >= t.size() || t[s] != '+') return fin;
    i = s + 1;
  }
}

}  // namespace

std::string PatronesLike(Literales& lit, std::string t) {
  std::vector<Cambio> cambios;
  for (std::size_t p = BuscaFrase(t, "LIKE"); p != std::string::npos;
       p = BuscaFrase(t, "LIKE", p + 4)) {
    if (!cambios.empty() && p < cambios.back().hasta) continue;
    Operando(lit, t, p + 4, cambios, 0);
  }
  return AplicaCambios(std::move(t), std::move(cambios));
}

}  // namespace kelv::acceso
