// The calls translated before the rules (all OSes): VBA's text-returning spellings (Left$,
// Mid$, Format$, ...) lose their "$" so that every later pass knows them; the days of the
// week and week numbers (week_days.cpp); InStr with a start argument, or with a search text
// a pattern would misread, becomes CHARINDEX (the rule's PATINDEX takes the second argument
// as a pattern's text and drops a third); and Nz becomes COALESCE while "&" still shows
// where a text is wanted.
#include "sqltranslate/access_passes.h"
#include "sqltranslate/call_rewrite.h"
#include "sqltranslate/sql_scan.h"
#include "sqltranslate/text_search.h"

namespace kelv::acceso {
namespace {

std::string SinDolar(std::string t) {
  std::string out;
  std::size_t copiado = 0;
  for (std::size_t i = t.find("$("); i != std::string::npos; i = t.find("$(", i + 2)) {
    if (i == 0 || !EsLetraDeNombre(t[i - 1])) continue;
    out.append(t, copiado, i - copiado);
    copiado = i + 1;
  }
  if (copiado == 0) return t;
  out.append(t, copiado, std::string::npos);
  return out;
}

// InStr([start,] text, sought [, compare]) → CHARINDEX(sought, text [, start]). Left to the
// rule: two arguments, the second a literal without blanks around it that holds none of the
// pattern characters % _ [.
Reescritura ReescribeInStr(const Literales& lit, std::string_view r, std::size_t p) {
  const Contenido c = ContenidoParentesis(r, p + 5);
  const std::vector<std::string> a = PartesDeLlamada(c.texto);
  Reescritura e;
  e.siguiente = 6;
  if (c.cierre >= r.size() || a.size() < 2) return e;
  auto s = [&](std::size_t i) { return std::string(SinEspacios(a[i])); };
  if (a.size() == 2) {
    // The rule puts the argument between the % of its pattern as written, blanks included.
    const auto buscado = lit.TextoDe(a[1]);
    if (buscado && buscado->find_first_of("%_[") == std::string::npos &&
        SinEspacios(a[1]).size() == a[1].size()) {
      return e;
    }
    e.texto = "CHARINDEX(" + s(1) + ", " + s(0) + ")";
  } else {
    e.texto = "CHARINDEX(" + s(2) + ", " + s(1) + ", " + s(0) + ")";
  }
  e.fin = c.cierre + 1;
  e.siguiente = 10;
  return e;
}

bool OperadorAritmetico(char c) {
  return c != '\0' && std::string_view("+-*/\\^").find(c) != std::string_view::npos;
}

bool EsNumero(std::string_view s) {
  s = SinEspacios(s);
  if (!s.empty() && s[0] == '-') s.remove_prefix(1);
  return !s.empty() && s[0] >= '0' && s[0] <= '9';
}

// Whether the call of Nz from p to fin (exclusive) stands where a number is wanted: next to
// an arithmetic operator or Mod, inside an aggregate or numeric function, or compared with a
// number.
bool PideNumero(std::string_view t, std::size_t p, std::size_t fin) {
  const std::size_t d = SaltaEspacios(t, fin);
  std::size_t a = p;
  while (a > 0 && EsEspacio(t[a - 1])) --a;
  const char despues = d < t.size() ? t[d] : '\0';
  const char antes = a > 0 ? t[a - 1] : '\0';
  if (OperadorAritmetico(despues) || OperadorAritmetico(antes) || FraseEn(t, d, "MOD") ||
      EsPalabra(PalabraAntes(t, a), "MOD")) {
    return true;
  }
  if (antes == '(') {
    const std::string_view f = PalabraAntes(t, a - 1);
    for (std::string_view n : {"Sum",  "Avg",   "Min",  "Max",   "StDev", "StDevP", "Var",  "VarP",
                               "Abs",  "Round", "Int",  "Fix",   "Sgn",   "CInt",   "CLng", "CSng",
                               "CDbl", "CCur",  "CDec", "CByte", "Sqr",   "Exp",    "Log"}) {
      if (EsPalabra(f, n)) return true;
    }
  }
  if (despues == '=' || despues == '<' || despues == '>') {
    std::size_t k = d;
    while (k < t.size() && (t[k] == '=' || t[k] == '<' || t[k] == '>')) ++k;
    k = SaltaEspacios(t, k);
    const std::size_t inicio = k;
    if (k < t.size() && t[k] == '-') ++k;
    return EsNumero(t.substr(inicio, FinDeOperando(t, k) - inicio));
  }
  if (antes == '=' || antes == '<' || antes == '>') {
    std::size_t k = a - 1;
    while (k > 0 && (t[k - 1] == '=' || t[k - 1] == '<' || t[k - 1] == '>')) --k;
    while (k > 0 && EsEspacio(t[k - 1])) --k;
    const std::size_t inicio = InicioDeOperando(t, k);
    return EsNumero(t.substr(inicio, k - inicio));
  }
  return false;
}

// Nz(x, y) → COALESCE(x, y) (COALESCE keeps y whole where ISNULL would cut it to x's type).
// Nz(x) gives what Access gives in a query, a zero-length text, unless the call stands where
// a number is wanted (PideNumero), where it gives 0.
std::optional<Reemplazo> ReescribeNz(Literales& lit, std::string_view t, std::size_t p) {
  const Contenido c = ContenidoParentesis(t, p + 2);
  std::optional<Reemplazo> e;
  if (c.cierre >= t.size()) return e;
  const std::vector<std::string> a = PartesDeLlamada(c.texto);
  if (a.size() >= 2) {
    e = Reemplazo{c.cierre + 1, "COALESCE(" + std::string(c.texto) + ")"};
  } else if (a.size() == 1) {
    const std::string cero = PideNumero(t, p, c.cierre + 1) ? "0" : lit.NuevoTexto("");
    e = Reemplazo{c.cierre + 1, "COALESCE(" + std::string(c.texto) + ", " + cero + ")"};
  }
  return e;
}

}  // namespace

std::string LlamadasAntesDeLasReglas(Literales& lit, std::string t, Informe& informe) {
  t = SinDolar(std::move(t));
  std::vector<LlamadaConocida> tabla = LlamadasDeSemana(lit, informe);
  tabla.push_back({"InStr", [&](std::string_view r, std::size_t p, std::size_t) {
                     return ReescribeInStr(lit, r, p);
                   }});
  t = ReescribeLlamadasDe(std::move(t), tabla);
  return ReescribeConContexto(std::move(t), "Nz(", [&](std::string_view r, std::size_t p) {
    return ReescribeNz(lit, r, p);
  });
}

}  // namespace kelv::acceso
