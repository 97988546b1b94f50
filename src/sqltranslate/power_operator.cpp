// Access's exponent operator: a ^ b → POWER(CAST(a AS float), b) (all OSes). In T-SQL "^"
// is the bitwise exclusive or, so a query that kept it would compute another number. Access
// always gives a floating-point result (2 ^ -1 is 0.5), hence the CAST. "^" binds tighter
// than the sign and the other operators and takes its operands from left to right
// (2 ^ 3 ^ 2 is 64): its operands are the operand just before it (a name, number, call or
// parenthesised group, with what earlier "^" made of it) and the one just after it, with
// its sign.
#include <string>
#include <vector>

#include "sqltranslate/access_passes.h"
#include "sqltranslate/sql_scan.h"

namespace kelv::acceso {

std::string Potencias(std::string_view t) {
  if (t.find('^') == std::string_view::npos) return std::string(t);
  std::string out;
  out.reserve(t.size() + 64);
  // Offsets of t where a POWER( opened earlier closes, the nearest last.
  std::vector<std::size_t> cierres;
  for (std::size_t i = 0; i <= t.size(); ++i) {
    while (!cierres.empty() && cierres.back() == i) {
      out.push_back(')');
      cierres.pop_back();
    }
    if (i == t.size()) break;
    if (t[i] != '^') {
      out.push_back(t[i]);
      continue;
    }
    std::size_t fin = out.size();
    while (fin > 0 && EsEspacio(out[fin - 1])) --fin;
    const std::size_t inicio = InicioDeOperando(out, fin);
    std::size_t d = SaltaEspacios(t, i + 1);
    const std::size_t signo = d;
    if (d < t.size() && (t[d] == '-' || t[d] == '+')) d = SaltaEspacios(t, d + 1);
    const std::size_t hasta = FinDeOperando(t, d);
    if (inicio == fin || hasta == d) {  // no operand on one side: left as it was written
      out.push_back('^');
      continue;
    }
    const std::string base = out.substr(inicio, fin - inicio);
    out.resize(inicio);
    out += "POWER(CAST(" + base + " AS float), ";
    cierres.push_back(hasta);
    i = signo - 1;
  }
  return out;
}

}  // namespace kelv::acceso
