// The call rewrite and the parenthesis scan (all OSes).
#include "sqltranslate/call_rewrite.h"

#include <algorithm>
#include <cstring>

#include "sqltranslate/list_procedures.h"
#include "sqltranslate/text_search.h"

namespace kelv {

Contenido ContenidoParentesis(std::string_view text, std::size_t abre) {
  std::size_t abiertos = 1, cerrados = 0;
  std::size_t i = abre;
  while (abiertos != cerrados) {
    ++i;
    if (i >= text.size()) {
      i = text.size();
      break;
    }
    if (text[i] == '(') ++abiertos;
    else if (text[i] == ')') ++cerrados;
  }
  const std::size_t desde = std::min(abre + 1, text.size());
  return {text.substr(desde, i - desde), i};
}

TextoEnCurso::TextoEnCurso(std::string text) : buf_(std::move(text)) {
  listo_.reserve(buf_.size() + buf_.size() / 4);
}

void TextoEnCurso::Avanza(std::size_t n) {
  n = std::min(n, buf_.size() - off_);
  listo_.append(buf_, off_, n);
  off_ += n;
}

void TextoEnCurso::Sustituye(std::size_t n, std::string_view text) {
  off_ += std::min(n, buf_.size() - off_);
  if (text.size() <= off_) {
    off_ -= text.size();
    std::memcpy(&buf_[off_], text.data(), text.size());
    return;
  }
  const std::size_t resto = buf_.size() - off_;
  const std::size_t holgura = std::max<std::size_t>(4096, resto + text.size());
  std::string nuevo;
  nuevo.reserve(holgura + text.size() + resto);
  nuevo.assign(holgura, '\0');
  nuevo.append(text);
  nuevo.append(buf_, off_, resto);
  buf_.swap(nuevo);
  off_ = holgura;
}

std::string TextoEnCurso::Termina() {
  listo_.append(buf_, off_, std::string::npos);
  off_ = buf_.size();
  return std::move(listo_);
}

namespace {

// Rewrites the occurrences that busca finds, in order, from the start of text. busca(r,
// desde, antes, hecho, e) returns the offset in r of the first occurrence at or after desde
// (npos when there is none) and sets e to the decision on it; antes is the character before
// r (0 at the start of the text) and hecho the count of final characters before r. The text
// is read where it stands and copied only from the first occurrence that is rewritten; the
// rest is rewritten in place, so the time is proportional to the text plus the replacements.
template <class Busca>
std::string ReescribeOcurrencias(std::string text, const Busca& busca) {
  Reescritura e;
  std::size_t pos = busca(std::string_view(text), 0, '\0', 0, e);
  while (pos != std::string::npos && !e.texto) {
    pos = busca(std::string_view(text), pos + std::max<std::size_t>(e.siguiente, 1), '\0', 0, e);
  }
  if (pos == std::string::npos) return text;
  e.fin = e.fin > pos ? e.fin - pos : 0;  // from here on, offsets from the cursor
  TextoEnCurso t(std::move(text));
  t.Avanza(pos);
  bool pendiente = true;  // the decision e, on the occurrence at the cursor, is still to be made
  for (;;) {
    const std::string_view r = t.Resto();
    pos = 0;
    if (!pendiente) {
      pos = busca(r, 0, t.Anterior(), t.Hecho(), e);
      if (pos == std::string_view::npos) break;
    }
    pendiente = false;
    t.Avanza(pos);
    // An occurrence left as it is is passed by one character at least; a replacement may
    // be searched again from its start.
    std::size_t sigue = e.texto ? e.siguiente : std::max<std::size_t>(e.siguiente, 1);
    if (e.texto) {
      const std::string& nuevo = *e.texto;
      const std::size_t fin = std::min(std::max(e.fin, pos), r.size());
      t.Sustituye(fin - pos, nuevo);
      const std::size_t k = std::min(sigue, nuevo.size());
      t.Avanza(k);
      sigue -= k;  // beyond the replacement: into the unchanged rest
    }
    // Everything before the next search start is final.
    t.Avanza(sigue);
  }
  return t.Termina();
}

inline char Minuscula(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

const LlamadaConocida* Busca(const std::vector<LlamadaConocida>& tabla, std::string_view n) {
  for (const LlamadaConocida& l : tabla) {
    if (l.nombre.size() != n.size()) continue;
    std::size_t i = 0;
    while (i < n.size() && Minuscula(n[i]) == Minuscula(l.nombre[i])) ++i;
    if (i == n.size()) return &l;
  }
  return nullptr;
}

}  // namespace

std::string ReescribeLlamadas(std::string text, std::string_view literal,
                              const DecideReescritura& decide) {
  const BuscaSinCaso busca(literal);
  return ReescribeOcurrencias(
      std::move(text), [&](std::string_view r, std::size_t desde, char antes, std::size_t hecho,
                           Reescritura& e) {
        const std::size_t pos = busca.Find(r, desde);
        if (pos == std::string_view::npos) return pos;
        e = Reescritura();
        if (!EsLetraDeNombre(pos > 0 ? r[pos - 1] : antes)) e = decide(r, pos, hecho);
        return pos;
      });
}

std::string ReescribeLlamadasDe(std::string text, const std::vector<LlamadaConocida>& tabla) {
  // Each '(' is an occurrence: the name before it, when it is one of tabla's, decides.
  return ReescribeOcurrencias(
      std::move(text), [&](std::string_view r, std::size_t desde, char antes, std::size_t hecho,
                           Reescritura& e) {
        const void* q =
            desde < r.size() ? std::memchr(r.data() + desde, '(', r.size() - desde) : nullptr;
        if (!q) return std::string_view::npos;
        const std::size_t abre = static_cast<std::size_t>(static_cast<const char*>(q) - r.data());
        std::size_t pos = abre;
        while (pos > desde && EsLetraDeNombre(r[pos - 1])) --pos;
        const char anterior = pos > 0 ? r[pos - 1] : antes;
        const LlamadaConocida* l = nullptr;
        if (pos < abre && anterior != '.' && !(pos == desde && EsLetraDeNombre(anterior))) {
          l = Busca(tabla, r.substr(pos, abre - pos));
        }
        e = Reescritura();
        e.siguiente = abre + 1 - pos;
        if (l) {
          e = l->decide(r, pos, hecho);
          e.siguiente = std::max<std::size_t>(e.siguiente, 1);
        }
        return pos;
      });
}

namespace {

std::string ReescribeConContextoEn(std::string text, std::string_view nombre,
                                   const DecideConContexto& decide, int anidamiento) {
  const BuscaSinCaso busca(nombre);
  std::string out;
  std::size_t copiado = 0;
  std::size_t desde = 0;
  for (std::size_t p = busca.Find(text, 0); p != std::string::npos; p = busca.Find(text, desde)) {
    desde = p + 1;
    if (p > 0 && EsLetraDeNombre(text[p - 1])) continue;
    std::optional<Reemplazo> r = decide(text, p);
    if (!r) continue;
    out.append(text, copiado, p - copiado);
    out += anidamiento < 100
               ? ReescribeConContextoEn(std::move(r->texto), nombre, decide, anidamiento + 1)
               : r->texto;
    copiado = desde = std::min(std::max(r->fin, p + 1), text.size());
  }
  if (copiado == 0) return text;
  out.append(text, copiado, std::string::npos);
  return out;
}

}  // namespace

std::string ReescribeConContexto(std::string text, std::string_view nombre,
                                 const DecideConContexto& decide) {
  return ReescribeConContextoEn(std::move(text), nombre, decide, 0);
}

std::string AplicaCambios(std::string text, std::vector<Cambio> cambios) {
  if (cambios.empty()) return text;
  std::stable_sort(cambios.begin(), cambios.end(),
                   [](const Cambio& a, const Cambio& b) { return a.desde < b.desde; });
  std::string out;
  out.reserve(text.size() + text.size() / 8);
  std::size_t copiado = 0;
  for (const Cambio& c : cambios) {
    if (c.desde < copiado || c.hasta < c.desde || c.hasta > text.size()) continue;
    out.append(text, copiado, c.desde - copiado);
    out += c.texto;
    copiado = c.hasta;
  }
  out.append(text, copiado, std::string::npos);
  return out;
}

std::vector<std::string> PartesDeLlamada(std::string_view argumentos) {
  return SeparaPorNivel(argumentos, ",", "(", ")");
}

std::string SinApostrofes(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    if (c != '\'') out.push_back(c);
  }
  return out;
}

}  // namespace kelv
