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

namespace {

// The not-yet-final text, kept with free room in front so that a replacement can be put
// before the rest without moving the rest.
class Resto {
 public:
  explicit Resto(std::string text) : buf_(std::move(text)) {}
  std::string_view Vista() const { return std::string_view(buf_).substr(off_); }
  void Descarta(std::size_t n) { off_ += n; }
  // Drops n characters, then puts text in front of what remains.
  void Sustituye(std::size_t n, std::string_view text) {
    off_ += n;
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

 private:
  std::string buf_;
  std::size_t off_ = 0;
};

}  // namespace

std::string ReescribeLlamadas(std::string text, std::string_view literal,
                              const DecideReescritura& decide) {
  if (FindAnyCase(text, literal) == std::string_view::npos) return text;
  std::string listo;
  listo.reserve(text.size() + text.size() / 4);
  Resto resto(std::move(text));
  const BuscaSinCaso busca(literal);
  std::size_t desde = 0;
  for (;;) {
    std::string_view r = resto.Vista();
    const std::size_t pos = busca.Find(r, desde);
    if (pos == std::string_view::npos) break;
    const char anterior = pos > 0 ? r[pos - 1] : (listo.empty() ? '\0' : listo.back());
    Reescritura e;
    if (!EsLetraDeNombre(anterior)) e = decide(r, pos);
    listo.append(r.substr(0, pos));
    if (e.texto) {
      const std::string& nuevo = *e.texto;
      const std::size_t fin = std::min(std::max(e.fin, pos), r.size());
      const std::size_t k = std::min(e.siguiente, nuevo.size());
      listo.append(nuevo, 0, k);
      resto.Sustituye(fin, std::string_view(nuevo).substr(k));
      desde = e.siguiente - k;  // beyond the replacement: into the unchanged rest
    } else {
      resto.Descarta(pos);
      desde = e.siguiente;
    }
    // Everything before the next search start is final.
    std::string_view v = resto.Vista();
    const std::size_t hecho = std::min(desde, v.size());
    listo.append(v.substr(0, hecho));
    resto.Descarta(hecho);
    desde = 0;
  }
  listo.append(resto.Vista());
  return listo;
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
