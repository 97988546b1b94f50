// Scanning of masked query text: keywords, phrases, parenthesis depth (all OSes).
#include "sqltranslate/sql_scan.h"

#include <algorithm>

#include "sqltranslate/call_rewrite.h"
#include "sqltranslate/text_search.h"
#include "text/toolbox.h"

namespace kelv {
namespace {

inline char Minuscula(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

}  // namespace

std::size_t SaltaEspacios(std::string_view t, std::size_t i) {
  while (i < t.size() && EsEspacio(t[i])) ++i;
  return i;
}

std::string_view SinEspacios(std::string_view s) {
  while (!s.empty() && EsEspacio(s.front())) s.remove_prefix(1);
  while (!s.empty() && EsEspacio(s.back())) s.remove_suffix(1);
  return s;
}

std::string_view PalabraAntes(std::string_view t, std::size_t fin) {
  fin = std::min(fin, t.size());
  while (fin > 0 && EsEspacio(t[fin - 1])) --fin;
  std::size_t k = fin;
  while (k > 0 && EsLetraDeNombre(t[k - 1])) --k;
  return t.substr(k, fin - k);
}

bool EsPalabra(std::string_view palabra, std::string_view w) {
  return palabra.size() == w.size() && FraseEn(palabra, 0, w);
}

bool FraseEn(std::string_view t, std::size_t i, std::string_view frase, std::size_t* fin) {
  if (frase.empty() || i > t.size()) return false;
  if (EsLetraDeNombre(frase.front()) && i > 0 && EsLetraDeNombre(t[i - 1])) return false;
  std::size_t k = i;
  for (std::size_t w = 0; w < frase.size(); ++w) {
    if (frase[w] == ' ') {
      if (k >= t.size() || !EsEspacio(t[k])) return false;
      k = SaltaEspacios(t, k);
      continue;
    }
    if (k >= t.size() || Minuscula(t[k]) != Minuscula(frase[w])) return false;
    ++k;
  }
  if (EsLetraDeNombre(frase.back()) && k < t.size() && EsLetraDeNombre(t[k])) return false;
  if (fin) *fin = k;
  return true;
}

std::size_t BuscaFrase(std::string_view t, std::string_view frase, std::size_t desde) {
  const std::string_view primera = frase.substr(0, frase.find(' '));
  const BuscaSinCaso busca(primera);
  for (std::size_t p = busca.Find(t, desde); p != std::string_view::npos;
       p = busca.Find(t, p + 1)) {
    if (FraseEn(t, p, frase)) return p;
  }
  return std::string_view::npos;
}

std::size_t BuscaFraseFuera(std::string_view t, std::string_view frase, std::size_t desde,
                            std::size_t hasta) {
  if (hasta > t.size()) hasta = t.size();
  const std::string_view primera = frase.substr(0, frase.find(' '));
  const BuscaSinCaso busca(primera);
  // Only a first word that starts before hasta is looked for.
  const std::string_view zona = t.substr(0, std::min(t.size(), hasta + primera.size()));
  std::size_t nivel = 0, visto = desde;
  for (std::size_t p = busca.Find(zona, desde); p != std::string_view::npos && p < hasta;
       p = busca.Find(zona, p + 1)) {
    for (; visto < p; ++visto) {
      if (t[visto] == '(') {
        ++nivel;
      } else if (t[visto] == ')') {
        if (nivel == 0) return std::string_view::npos;
        --nivel;
      }
    }
    if (nivel == 0 && FraseEn(t, p, frase)) return p;
  }
  return std::string_view::npos;
}

bool EntreParentesis(std::string_view s) {
  return !s.empty() && s.front() == '(' && ContenidoParentesis(s, 0).cierre == s.size() - 1;
}

std::size_t AbreDe(std::string_view t, std::size_t cierre) {
  std::size_t nivel = 0;
  for (std::size_t i = std::min(cierre + 1, t.size()); i > 0; --i) {
    const char c = t[i - 1];
    if (c == ')') {
      ++nivel;
    } else if (c == '(') {
      if (--nivel == 0) return i - 1;
    }
  }
  return std::string_view::npos;
}

bool EsDeOperando(char c) {
  const unsigned char u = static_cast<unsigned char>(c);
  return EsLetraDeNombre(c) || c == '.' || c == '@' || c == '\'' || c == '[' || c == ']' ||
         u == 0x01 || u == 0x02 || (u >= 0x10 && u < 0x20);
}

std::size_t FinDeOperando(std::string_view t, std::size_t i) {
  std::size_t j = i;
  while (j < t.size() && EsDeOperando(t[j])) ++j;
  if (j < t.size() && t[j] == '(') {
    const std::size_t cierre = ContenidoParentesis(t, j).cierre;
    return cierre < t.size() ? cierre + 1 : t.size();
  }
  return j;
}

std::size_t InicioDeOperando(std::string_view t, std::size_t fin) {
  std::size_t k = fin;
  if (k > 0 && t[k - 1] == ')') {
    k = AbreDe(t, k - 1);
    if (k == std::string_view::npos) return fin;
  }
  while (k > 0 && EsDeOperando(t[k - 1])) --k;
  return k;
}

bool OperadorEn(std::string_view t, std::size_t i, Precedencia& p, std::size_t& largo) {
  if (i >= t.size()) return false;
  largo = 1;
  switch (t[i]) {
    case '^': p = Precedencia::Potencia; return true;
    case '*':
    case '/': p = Precedencia::Producto; return true;
    case '\\': p = Precedencia::DivisionEntera; return true;
    case '%': p = Precedencia::Modulo; return true;
    case '+':
    case '-': p = Precedencia::Suma; return true;
    case '&': p = Precedencia::Concatena; return true;
    default: break;
  }
  std::size_t fin = 0;
  if (FraseEn(t, i, "MOD", &fin)) {
    p = Precedencia::Modulo;
    largo = fin - i;
    return true;
  }
  return false;
}

namespace {

// Whether the sign at offset g stands before an operand (-x) rather than between two: it
// follows the start, an opening parenthesis, a comma, an operator or a keyword.
bool EsSigno(std::string_view t, std::size_t g) {
  std::size_t k = g;
  while (k > 0 && EsEspacio(t[k - 1])) --k;
  if (k == 0) return true;
  const char c = t[k - 1];
  if (std::string_view("(,=<>*/\\^&+-%").find(c) != std::string_view::npos) return true;
  if (!EsLetraDeNombre(c)) return false;
  const std::string_view w = PalabraAntes(t, k);
  for (std::string_view clave : {"SELECT", "WHERE", "AND", "OR", "NOT", "XOR", "THEN", "ELSE",
                                 "WHEN", "ON", "HAVING", "BY", "SET", "VALUES", "LIKE", "BETWEEN",
                                 "IS", "IN", "CASE", "RETURN", "MOD", "TOP", "DISTINCT", "ALL"}) {
    if (EsPalabra(w, clave)) return true;
  }
  return false;
}

}  // namespace

std::size_t FinDeExpresion(std::string_view t, std::size_t i, Precedencia hasta) {
  std::size_t fin = i, desde = i;
  for (;;) {
    std::size_t k = SaltaEspacios(t, desde);
    while (k < t.size() && (t[k] == '-' || t[k] == '+')) k = SaltaEspacios(t, k + 1);
    const std::size_t e = FinDeOperando(t, k);
    if (e == k) return fin;
    fin = e;
    Precedencia p;
    std::size_t largo = 0;
    const std::size_t o = SaltaEspacios(t, fin);
    if (!OperadorEn(t, o, p, largo) || p > hasta) return fin;
    desde = o + largo;
  }
}

std::size_t InicioDeExpresion(std::string_view t, std::size_t fin, Precedencia hasta) {
  std::size_t inicio = fin, k = fin;
  for (;;) {
    while (k > 0 && EsEspacio(t[k - 1])) --k;
    std::size_t s = InicioDeOperando(t, k);
    if (s == k) return inicio;
    // Signs before the operand belong to it.
    for (;;) {
      std::size_t g = s;
      while (g > 0 && EsEspacio(t[g - 1])) --g;
      if (g == 0 || (t[g - 1] != '-' && t[g - 1] != '+') || !EsSigno(t, g - 1)) break;
      s = g - 1;
    }
    inicio = s;
    std::size_t o = s;
    while (o > 0 && EsEspacio(t[o - 1])) --o;
    if (o == 0) return inicio;
    Precedencia p;
    std::size_t largo = 0, at = o - 1;
    if (EsLetraDeNombre(t[o - 1])) {
      const std::string_view w = PalabraAntes(t, o);
      at = o - w.size();
    }
    if (!OperadorEn(t, at, p, largo) || at + largo != o || p > hasta) return inicio;
    k = at;
  }
}

bool EsOperandoSimple(std::string_view e) {
  e = SinEspacios(e);
  return !e.empty() && FinDeOperando(e, 0) == e.size();
}

std::vector<std::pair<std::size_t, std::size_t>> Sentencias(std::string_view t) {
  std::vector<std::pair<std::size_t, std::size_t>> s;
  std::size_t inicio = 0, nivel = 0;
  for (std::size_t i = 0; i < t.size(); ++i) {
    if (t[i] == '(') {
      ++nivel;
    } else if (t[i] == ')') {
      nivel = nivel > 0 ? nivel - 1 : 0;
    } else if (t[i] == ';' && nivel == 0) {
      s.emplace_back(inicio, i);
      inicio = i + 1;
    }
  }
  s.emplace_back(inicio, t.size());
  return s;
}

std::pair<std::string_view, std::string_view> SeparaAlias(std::string_view campo) {
  std::size_t ultimo = std::string_view::npos;
  for (std::size_t p = BuscaFraseFuera(campo, "AS"); p != std::string_view::npos;
       p = BuscaFraseFuera(campo, "AS", p + 1)) {
    ultimo = p;
  }
  if (ultimo == std::string_view::npos || ultimo == 0 || !EsEspacio(campo[ultimo - 1]) ||
      ultimo + 2 >= campo.size() || !EsEspacio(campo[ultimo + 2])) {
    return {SinEspacios(campo), {}};
  }
  return {SinEspacios(campo.substr(0, ultimo)), SinEspacios(campo.substr(ultimo + 2))};
}

TablaDeLista PrimeraTabla(std::string_view tablas) {
  std::size_t i = SaltaEspacios(tablas, 0);
  while (i < tablas.size() && tablas[i] == '(') i = SaltaEspacios(tablas, i + 1);
  TablaDeLista r;
  const std::size_t fin = FinDeOperando(tablas, i);
  r.nombre = tablas.substr(i, fin - i);
  std::size_t k = SaltaEspacios(tablas, fin), e = 0;
  if (FraseEn(tablas, k, "AS", &e)) k = SaltaEspacios(tablas, e);
  const std::size_t a = FinDeOperando(tablas, k);
  const std::string_view alias = tablas.substr(k, a - k);
  bool clave = false;
  for (std::string_view w : {"INNER", "LEFT", "RIGHT", "FULL", "CROSS", "OUTER", "JOIN", "ON",
                             "WHERE", "SET", "GROUP", "ORDER", "HAVING", "UNION", "IN"}) {
    if (EsPalabra(alias, w)) clave = true;
  }
  if (!clave && a > k && alias.find('(') == std::string_view::npos) r.alias = alias;
  return r;
}

std::string_view Calificador(std::string_view columna) {
  columna = SinEspacios(columna);
  const std::size_t fin = FinDeOperando(columna, 0);
  std::string_view nombre = columna.substr(0, fin);
  if (fin < columna.size() && columna[fin] == '*' && !nombre.empty() && nombre.back() == '.') {
    return nombre.substr(0, nombre.size() - 1);
  }
  const std::size_t punto = nombre.rfind('.');
  return punto == std::string_view::npos ? std::string_view() : nombre.substr(0, punto);
}

std::string CalificadorComun(std::string_view columnas, bool& varias) {
  varias = false;
  std::string destino;
  for (const std::string& c : PartesDeLlamada(columnas)) {
    const std::string_view q = Calificador(c);
    if (destino.empty()) {
      destino = std::string(q);
    } else if (!q.empty() && !TextEquals(q, destino, Compare::AnyCase)) {
      varias = true;
    }
  }
  return destino;
}

std::string ReescribeSentencias(std::string t, std::string_view palabra,
                                const ReescribeSentencia& reescribe) {
  if (BuscaFrase(t, palabra) == std::string::npos) return t;
  std::string out;
  std::size_t copiado = 0;
  bool cambio = false;
  for (const auto& [inicio, fin] : Sentencias(t)) {
    const std::string_view s = std::string_view(t).substr(0, fin);
    const std::size_t k = SaltaEspacios(s, inicio);
    std::size_t e = 0;
    if (!FraseEn(s, k, palabra, &e)) continue;
    std::size_t tras = SaltaEspacios(s, e);
    const bool distinct = FraseEn(s, tras, "DISTINCT", &e) || FraseEn(s, tras, "DISTINCTROW", &e);
    tras = distinct ? SaltaEspacios(s, e) : e;
    std::optional<std::string> nueva = reescribe(s, tras, distinct, fin);
    if (!nueva) continue;
    out.append(t, copiado, k - copiado);
    out += *nueva;
    copiado = fin;
    cambio = true;
  }
  if (!cambio) return t;
  out.append(t, copiado, std::string::npos);
  return out;
}

std::size_t SaltaPrefijoSelect(std::string_view t, std::size_t i, bool* top) {
  if (top) *top = false;
  std::size_t fin = i;
  for (;;) {
    const std::size_t k = SaltaEspacios(t, fin);
    std::size_t e = 0;
    if (FraseEn(t, k, "ALL", &e) || FraseEn(t, k, "DISTINCT", &e) ||
        FraseEn(t, k, "DISTINCTROW", &e)) {
      fin = e;
      continue;
    }
    if (!FraseEn(t, k, "TOP", &e)) break;
    std::size_t m = SaltaEspacios(t, e);
    if (m < t.size() && t[m] == '(') {
      const std::size_t cierre = ContenidoParentesis(t, m).cierre;
      if (cierre >= t.size()) break;
      m = cierre + 1;
    } else {
      const std::size_t d = m;
      while (m < t.size() && ((t[m] >= '0' && t[m] <= '9') || t[m] == '.')) ++m;
      if (m == d) break;  // a column named Top, not the TOP clause
    }
    if (top) *top = true;
    fin = m;
    if (FraseEn(t, SaltaEspacios(t, fin), "PERCENT", &e)) fin = e;
    if (FraseEn(t, SaltaEspacios(t, fin), "WITH TIES", &e)) fin = e;
  }
  return fin;
}

}  // namespace kelv
