// Access's divisions in T-SQL (all OSes).
//
// Access's "/" always divides as floating-point numbers (5 / 2 is 2.5), where T-SQL divides
// two integers as integers (5 / 2 is 2): the divisor becomes a float, a / CAST(b AS float),
// unless it is a number written with decimals. A text that holds comments is SQL Server's
// own (a pass-through query: Access's SQL has no comments), and its "/" keeps T-SQL's
// meaning.
//
// Access's "\" rounds both sides to whole numbers and divides them, dropping the fraction
// (7.6 \ 2 is 4, -7 \ 2 is -3), and binds less tightly than * and / (a * b \ c * d is
// (a * b) \ (c * d)): it becomes (CAST(ROUND(a, 0) AS bigint) / CAST(ROUND(b, 0) AS bigint)),
// a whole number written as such staying as it is. (ROUND takes .5 away from zero where
// Access takes it to the even number.)
#include <algorithm>
#include <string>

#include "sqltranslate/masked_passes.h"
#include "sqltranslate/sql_scan.h"

namespace kelv::enmascarado {
namespace {

// Whether e is a number written with digits alone (and a sign), or with decimals too.
bool EsNumero(std::string_view e, bool conDecimales) {
  e = SinEspacios(e);
  if (!e.empty() && (e[0] == '-' || e[0] == '+')) e = SinEspacios(e.substr(1));
  if (e.empty()) return false;
  bool punto = false;
  for (char c : e) {
    if (c == '.' && conDecimales && !punto) punto = true;
    else if (c < '0' || c > '9') return false;
  }
  return !conDecimales || punto;
}

std::string Entero(std::string_view e) {
  if (EsNumero(e, false)) return std::string(e);
  return "CAST(ROUND(" + std::string(e) + ", 0) AS bigint)";
}

// Divisions nested deeper than this in one another's operands are left as they are.
constexpr int kProfundidadMaxima = 100;

// The offsets of the next "\\" and "/" (when flotante) of a text, each looked for again only
// once the scan has passed it.
struct Siguientes {
  std::string_view t;
  bool flotante;
  std::size_t entera = 0, barra = 0;
  bool buscadas = false;
  // The offset of the first "\\" (or "/" when flotante) at or after i, or npos.
  std::size_t En(std::size_t i) {
    if (!buscadas || (entera != std::string_view::npos && entera < i)) entera = t.find('\\', i);
    if (flotante && (!buscadas || (barra != std::string_view::npos && barra < i))) {
      barra = t.find('/', i);
    }
    buscadas = true;
    return flotante ? std::min(entera, barra) : entera;
  }
};

std::string Divide(std::string_view t, bool flotante, int profundidad) {
  Siguientes siguiente{t, flotante};
  if (siguiente.En(0) == std::string_view::npos || profundidad > kProfundidadMaxima) {
    return std::string(t);
  }
  std::string out;
  out.reserve(t.size() + 32);
  for (std::size_t i = 0; i < t.size();) {
    const std::size_t k = siguiente.En(i);
    if (k == std::string_view::npos) {
      out.append(t.substr(i));
      break;
    }
    out.append(t.substr(i, k - i));
    i = k;
    const char c = t[i];
    const Precedencia operando = c == '/' ? Precedencia::Potencia : Precedencia::Producto;
    const std::size_t hasta = FinDeExpresion(t, i + 1, operando);
    const std::size_t d = SaltaEspacios(t, i + 1);
    std::size_t fin = out.size();
    while (fin > 0 && EsEspacio(out[fin - 1])) --fin;
    const std::size_t inicio =
        c == '\\' ? InicioDeExpresion(out, fin, Precedencia::Producto) : fin;
    if (hasta <= d || (c == '\\' && inicio == fin)) {
      // No operand on one side: left as it was written.
      out.push_back(c == '\\' ? '/' : c);
      ++i;
      continue;
    }
    const std::string divisor =
        Divide(SinEspacios(t.substr(d, hasta - d)), flotante, profundidad + 1);
    if (c == '/') {
      out.append(t.substr(i, d - i));
      out += EsNumero(divisor, true) ? divisor : "CAST(" + divisor + " AS float)";
    } else {
      const std::string dividendo = out.substr(inicio, fin - inicio);
      out.resize(inicio);
      out += "(" + Entero(dividendo) + " / " + Entero(divisor) + ")";
    }
    i = hasta;
  }
  return out;
}

}  // namespace

std::string Divisiones(const std::string& t, bool flotante) { return Divide(t, flotante, 0); }

}  // namespace kelv::enmascarado
