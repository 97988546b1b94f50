// Scanning of masked query text: keywords, phrases, parenthesis depth (all OSes).
#include "sqltranslate/sql_scan.h"

#include <algorithm>

#include "sqltranslate/call_rewrite.h"
#include "sqltranslate/text_search.h"

namespace kelv {
namespace {

inline char Minuscula(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

std::size_t SaltaEspacios(std::string_view t, std::size_t i) {
  while (i < t.size() && EsEspacio(t[i])) ++i;
  return i;
}

}  // namespace

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
