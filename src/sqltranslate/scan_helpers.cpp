// clsCambiaTipoSQL: the scanning operations DevContenido, DevTermino and ReemplazaPalabra
// (all OSes).
#include <cstring>

#include "sqltranslate/cambia_tipo_sql.h"
#include "sqltranslate/literal_mask.h"
#include "sqltranslate/text_search.h"
#include "sqltranslate/word_replace.h"
#include "text/error.h"
#include "text/toolbox.h"

namespace kelv {
namespace {

// Characters that may stand before and after a whole word. A full stop may precede a word
// (t.Total) but not follow it (Total.Sueldo).
bool PuedePreceder(char c) { return c != '\0' && std::strchr("-, +/&()^.\\*=><", c); }
bool PuedeSeguir(char c) { return c != '\0' && std::strchr("-, +/&()^\\*=><", c); }

}  // namespace

std::string clsCambiaTipoSQL::DevContenido(const std::string& strAux, std::int32_t& SeAbre,
                                           std::int32_t& PosHasta) const {
  const std::int64_t n = static_cast<std::int64_t>(strAux.size());
  if (SeAbre == -1) SeAbre = static_cast<std::int32_t>(InStr(strAux, "("));
  if (SeAbre < 0 || SeAbre > n) {
    throw KelvError(kErrInvalidArgument, "DevContenido",
                    "Invalid procedure call: no parenthesis at position " +
                        std::to_string(SeAbre));
  }
  std::int64_t i = SeAbre, abiertos = 1, cerrados = 0;
  for (;;) {
    if (abiertos == cerrados) break;
    if (i > n) {
      PosHasta = static_cast<std::int32_t>(i);
      break;
    }
    ++i;
    if (i > n) continue;
    const char c = strAux[static_cast<std::size_t>(i - 1)];
    if (c == '(') {
      ++abiertos;
    } else if (c == ')') {
      ++cerrados;
      PosHasta = static_cast<std::int32_t>(i);
    }
  }
  return Mid(strAux, static_cast<std::size_t>(SeAbre) + 1,
             static_cast<std::size_t>(i - SeAbre - 1));
}

std::string clsCambiaTipoSQL::DevTermino(const std::string& Ecuacion, std::int32_t& PosD,
                                         std::int32_t& PosH, const std::string& SepA,
                                         const std::string& SepC) const {
  std::size_t a = InStr(Ecuacion, SepA);
  if (a == 0) return std::string();
  for (;;) {
    const std::size_t b = a + 1;
    const std::size_t c = InStr(b, Ecuacion, SepC);
    const std::size_t d = InStr(b, Ecuacion, SepA);
    if (d == 0 || d >= c) break;
    a = d;
  }
  const std::size_t c = InStr(a + 1, Ecuacion, SepC);
  if (c == 0) {
    throw KelvError(kErrInvalidArgument, "DevTermino",
                    "Invalid procedure call: \"" + SepA + "\" at position " +
                        std::to_string(a) + " has no \"" + SepC + "\" after it");
  }
  PosH = static_cast<std::int32_t>(c);
  PosD = static_cast<std::int32_t>(a);
  return Mid(Ecuacion, a + 1, c - a - 1);
}

std::string ReemplazaPalabraLimitada(std::string_view texto, std::string_view palabra,
                                     std::string_view reemplazo, std::size_t limite) {
  if (palabra.empty()) return std::string(texto);
  // Built as it goes: the text before each match is final once the match is decided. The
  // new text up to a match is hecho + texto[desde, p), which gives the character before it.
  std::string hecho;
  std::size_t desde = 0;
  bool cambiado = false;
  const BuscaSinCaso busca(palabra);
  std::size_t p = busca.Find(texto, 0);
  while (p != std::string::npos) {
    const std::size_t fin = p + palabra.size();
    const char antes = p > desde ? texto[p - 1] : (hecho.empty() ? ' ' : hecho.back());
    const char despues = fin >= texto.size() ? ' ' : texto[fin];
    if (PuedePreceder(antes) && PuedeSeguir(despues)) {
      if (hecho.size() + (p - desde) + reemplazo.size() + (texto.size() - fin) > limite) {
        throw KelvError(kErrOutOfStringSpace, "ReemplazaPalabra", "Out of string space");
      }
      hecho.append(texto, desde, p - desde);
      hecho.append(reemplazo);
      desde = fin;
      cambiado = true;
    }
    p = busca.Find(texto, fin);
  }
  if (!cambiado) return std::string(texto);
  hecho.append(texto, desde, std::string::npos);
  return hecho;
}

std::string clsCambiaTipoSQL::ReemplazaPalabra(std::string strAux, const std::string& PalABuscar,
                                               const std::string& PalAReemplazar) const {
  // The three texts are masked with one table, so a word is never found inside a literal.
  Literales lit;
  const std::string texto = lit.Enmascara(strAux);
  const std::string palabra = lit.Enmascara(PalABuscar);
  const std::string reemplazo = lit.Enmascara(PalAReemplazar);
  return lit.Restaura(ReemplazaPalabraLimitada(texto, palabra, reemplazo, std::string::npos));
}

}  // namespace kelv
