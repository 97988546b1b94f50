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

std::string ReescribeLlamadas(std::string text, std::string_view literal,
                              const DecideReescritura& decide) {
  if (FindAnyCase(text, literal) == std::string_view::npos) return text;
  TextoEnCurso t(std::move(text));
  const BuscaSinCaso busca(literal);
  std::size_t desde = 0;
  for (;;) {
    const std::string_view r = t.Resto();
    const std::size_t pos = busca.Find(r, desde);
    if (pos == std::string_view::npos) break;
    const char anterior = pos > 0 ? r[pos - 1] : t.Anterior();
    Reescritura e;
    if (!EsLetraDeNombre(anterior)) e = decide(r, pos, t.Hecho());
    t.Avanza(pos);
    if (e.texto) {
      const std::string& nuevo = *e.texto;
      const std::size_t fin = std::min(std::max(e.fin, pos), r.size());
      const std::size_t k = std::min(e.siguiente, nuevo.size());
      t.Sustituye(fin - pos, nuevo);
      t.Avanza(k);
      desde = e.siguiente - k;  // beyond the replacement: into the unchanged rest
    } else {
      desde = e.siguiente;
    }
    // Everything before the next search start is final.
    t.Avanza(desde);
    desde = 0;
  }
  return t.Termina();
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
