// Access's text concatenation "&" in T-SQL (all OSes).
//
// "&" turns numbers and dates into text and reads Null as an empty text ("Legajo " & 12 is
// "Legajo 12"; [Apellido] & " " & Null is "Perez "); T-SQL's "+" would try to turn the text
// into a number, and gives NULL as soon as one side is NULL. A chain a & b & c therefore
// becomes CONCAT(a, b, c), which converts and reads NULL as '' the same way. Access gives
// Null only when every side is Null, which CONCAT never does: a chain that holds no text
// literal (nor a number, nor a call of literals alone such as Space(5)) keeps that case,
// IIF(a IS NULL AND b IS NULL, NULL, CONCAT(a, b)). A chain of text literals alone stays
// joined with "+", as the rules join it.
//
// "&" binds less tightly than the arithmetic operators and more tightly than comparisons:
// "N: " & a + 1 = x is (CONCAT('N: ', a + 1)) = x.
#include <string>
#include <vector>

#include "sqltranslate/call_rewrite.h"
#include "sqltranslate/masked_passes.h"
#include "sqltranslate/sql_scan.h"

namespace kelv::enmascarado {
namespace {

// Whether e (blanks around it aside) is one string literal.
bool EsLiteral(const Literales& lit, std::string_view e) {
  e = SinEspacios(e);
  const auto k = lit.TokenEn(e, 0);
  return k && k->clase == Literales::Clase::Texto && k->fin == e.size() && e[0] == '\'';
}

// Whether e (blanks and parentheses around it aside) is a number, a CONCAT, or a call whose
// arguments are all literals or numbers (Space(5), Chr(34)): a value that is never Null.
bool NuncaNulo(const Literales& lit, std::string_view e) {
  e = SinEspacios(e);
  while (EntreParentesis(e)) e = SinEspacios(e.substr(1, e.size() - 2));
  if (e.empty()) return false;
  // An inner chain's CONCAT: never Null either.
  if (FraseEn(e, 0, "CONCAT") && FinDeOperando(e, 0) == e.size()) return true;
  if (e[0] >= '0' && e[0] <= '9') return FinDeOperando(e, 0) == e.size();
  const std::size_t abre = e.find('(');
  if (abre == std::string_view::npos || abre == 0 || FinDeOperando(e, 0) != e.size() ||
      e.back() != ')') {
    return false;
  }
  for (const std::string& a : PartesDeLlamada(e.substr(abre + 1, e.size() - abre - 2))) {
    if (!EsLiteral(lit, a) && !NuncaNulo(lit, a)) return false;
  }
  return true;
}

// A member of a chain as an operand of IS NULL.
std::string ComoOperando(std::string_view e) {
  if (EsOperandoSimple(e)) return std::string(e);
  return "(" + std::string(e) + ")";
}

std::string Concatena(const Literales& lit, std::string_view t, int profundidad);

// The chain's members (each translated) in T-SQL.
std::string Cadena(const Literales& lit, const std::vector<std::string>& miembros,
                   std::string_view original) {
  bool literales = true, alguno = false;
  for (const std::string& m : miembros) {
    const bool l = EsLiteral(lit, m);
    literales = literales && l;
    alguno = alguno || l || NuncaNulo(lit, m);
  }
  if (literales) {
    // Texts joined with texts: "+" is the same, as the rules write it.
    std::string out(original);
    for (char& c : out) {
      if (c == '&') c = '+';
    }
    return out;
  }
  std::string lista;
  for (const std::string& m : miembros) {
    if (!lista.empty()) lista += ", ";
    lista += m;
  }
  const std::string concat = "CONCAT(" + lista + ")";
  if (alguno) return concat;
  std::string nulos;
  for (const std::string& m : miembros) {
    if (!nulos.empty()) nulos += " AND ";
    nulos += ComoOperando(m) + " IS NULL";
  }
  return "IIF(" + nulos + ", NULL, " + concat + ")";
}

// Chains nested deeper than this in one another's members are left as they are.
constexpr int kProfundidadMaxima = 100;

std::string Concatena(const Literales& lit, std::string_view t, int profundidad) {
  if (t.find('&') == std::string_view::npos || profundidad > kProfundidadMaxima) {
    return std::string(t);
  }
  std::string out;
  out.reserve(t.size() + 32);
  for (std::size_t i = 0; i < t.size();) {
    if (t[i] != '&') {
      out.push_back(t[i++]);
      continue;
    }
    // The first member is the text already written that ends here.
    std::size_t fin = out.size();
    while (fin > 0 && EsEspacio(out[fin - 1])) --fin;
    const std::size_t inicio = InicioDeExpresion(out, fin, Precedencia::Suma);
    std::vector<std::string> miembros;
    if (inicio < fin) miembros.emplace_back(out, inicio, fin - inicio);
    std::size_t final = i, siguiente = i;
    while (siguiente < t.size() && t[siguiente] == '&') {
      const std::size_t desde = siguiente + 1;
      const std::size_t hasta = FinDeExpresion(t, desde, Precedencia::Suma);
      if (hasta == desde) break;
      miembros.push_back(std::string(SinEspacios(t.substr(desde, hasta - desde))));
      final = hasta;
      siguiente = SaltaEspacios(t, hasta);
    }
    if (inicio == fin || final == i) {
      // No operand on one side: left as it was written.
      out.push_back(t[i++]);
      continue;
    }
    for (std::size_t m = 1; m < miembros.size(); ++m) {
      miembros[m] = Concatena(lit, miembros[m], profundidad + 1);
    }
    const std::string original = out.substr(inicio) + std::string(t.substr(i, final - i));
    out.resize(inicio);
    out += Cadena(lit, miembros, original);
    i = final;
  }
  return out;
}

}  // namespace

std::string Concatenaciones(const Literales& lit, const std::string& t) {
  return Concatena(lit, t, 0);
}

}  // namespace kelv::enmascarado
