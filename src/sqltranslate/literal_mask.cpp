// Literal-aware scanning: masking and restoring string literals, bracketed names and
// comments (all OSes).
#include "sqltranslate/literal_mask.h"

#include <cstring>

namespace kelv {
namespace {

constexpr unsigned char kPrimerDigito = 0x10;

bool EsDigitoDeToken(char c) {
  const unsigned char u = static_cast<unsigned char>(c);
  return u >= kPrimerDigito && u < kPrimerDigito + 16;
}

// The text with every apostrophe doubled (the inside of a T-SQL string literal).
std::string DuplicaApostrofes(std::string_view s) {
  std::string out;
  out.reserve(s.size() + 2);
  for (char c : s) {
    out.push_back(c);
    if (c == '\'') out.push_back('\'');
  }
  return out;
}

// The inside of a T-SQL string literal back to plain text.
std::string SinDuplicar(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  for (std::size_t i = 0; i < s.size(); ++i) {
    out.push_back(s[i]);
    if (s[i] == '\'' && i + 1 < s.size() && s[i + 1] == '\'') ++i;
  }
  return out;
}

// Reads a core starting at offset i (which holds kAbreToken): its index and its end.
bool LeeCore(std::string_view t, std::size_t i, std::size_t& indice, std::size_t& fin) {
  if (i >= t.size() || t[i] != kAbreToken) return false;
  std::size_t j = i + 1, v = 0;
  while (j < t.size() && EsDigitoDeToken(t[j]) && j - i <= 16) {
    v = v * 16 + static_cast<std::size_t>(static_cast<unsigned char>(t[j]) - kPrimerDigito);
    ++j;
  }
  if (j == i + 1 || j >= t.size() || t[j] != kCierraToken) return false;
  indice = v;
  fin = j + 1;
  return true;
}

// Bytes at which the masking scan must stop and look.
struct Especiales {
  bool tabla[256] = {};
  Especiales() {
    for (unsigned char c : {'\'', '"', '[', '-', '/', '\x01', '\x02'}) tabla[c] = true;
  }
};
const Especiales kEspeciales;

}  // namespace

std::string Literales::Core(Clase clase, std::string interior) {
  std::string clave(1, static_cast<char>('0' + static_cast<int>(clase)));
  clave += interior;
  auto it = indices_.find(clave);
  std::size_t indice;
  if (it != indices_.end()) {
    indice = it->second;
  } else {
    indice = piezas_.size();
    piezas_.push_back({clase, std::move(interior)});
    indices_.emplace(std::move(clave), indice);
  }
  char digitos[20];
  int n = 0;
  do {
    digitos[n++] = static_cast<char>(kPrimerDigito + (indice & 15));
    indice >>= 4;
  } while (indice != 0);
  std::string core(1, kAbreToken);
  while (n > 0) core.push_back(digitos[--n]);
  core.push_back(kCierraToken);
  return core;
}

std::string Literales::Enmascara(std::string_view t) {
  const std::size_t n = t.size();
  std::string out;
  out.reserve(n + n / 8);
  std::size_t copiado = 0, i = 0;
  auto copia = [&](std::size_t hasta) { out.append(t, copiado, hasta - copiado); };
  while (i < n) {
    const char c = t[i];
    if (!kEspeciales.tabla[static_cast<unsigned char>(c)]) {
      ++i;
      continue;
    }
    if (c == '\'' || c == '"') {
      // A string literal; the quote doubled inside it stands for itself.
      std::string contenido;
      std::size_t j = i + 1, tramo = j;
      bool cerrado = false;
      while (j < n) {
        const char* q = static_cast<const char*>(std::memchr(t.data() + j, c, n - j));
        if (!q) {
          j = n;
          break;
        }
        j = static_cast<std::size_t>(q - t.data());
        if (j + 1 < n && t[j + 1] == c) {
          contenido.append(t, tramo, j + 1 - tramo);
          j += 2;
          tramo = j;
          continue;
        }
        cerrado = true;
        break;
      }
      contenido.append(t, tramo, j - tramo);
      copia(i);
      out.push_back('\'');
      out += Core(Clase::Texto, DuplicaApostrofes(contenido));
      if (cerrado) {
        out.push_back('\'');
        ++j;
      }
      copiado = i = j;
    } else if (c == '[') {
      // A bracketed name, up to the first "]" that is not doubled; a "[" never closed is
      // left as code.
      std::size_t j = i + 1;
      bool cerrado = false;
      while (j < n) {
        const char* q = static_cast<const char*>(std::memchr(t.data() + j, ']', n - j));
        if (!q) break;
        j = static_cast<std::size_t>(q - t.data());
        if (j + 1 < n && t[j + 1] == ']') {
          j += 2;
          continue;
        }
        cerrado = true;
        break;
      }
      if (!cerrado) {
        ++i;
        continue;
      }
      copia(i);
      out.push_back('[');
      out += Core(Clase::Nombre, std::string(t.substr(i + 1, j - i - 1)));
      out.push_back(']');
      copiado = i = j + 1;
    } else if (c == '-' && i + 1 < n && t[i + 1] == '-') {
      // A line comment: dropped, its line break stays.
      comentarios_ = true;
      copia(i);
      std::size_t j = i + 2;
      while (j < n && t[j] != '\r' && t[j] != '\n') ++j;
      copiado = i = j;
    } else if (c == '/' && i + 1 < n && t[i + 1] == '*') {
      comentarios_ = true;
      copia(i);
      const std::size_t fin = t.find("*/", i + 2);
      out.push_back(' ');
      copiado = i = fin == std::string_view::npos ? n : fin + 2;
    } else if (c == kAbreToken || c == kCierraToken) {
      copia(i);
      out += Core(Clase::Byte, std::string(1, c));
      copiado = i = i + 1;
    } else {
      ++i;
    }
  }
  copia(n);
  return out;
}

std::string Literales::Restaura(std::string_view t) const {
  if (t.empty()) return std::string();
  std::string out;
  out.reserve(t.size() + t.size() / 4);
  std::size_t copiado = 0, i = 0;
  for (;;) {
    const char* q = static_cast<const char*>(std::memchr(t.data() + i, kAbreToken, t.size() - i));
    if (!q) break;
    i = static_cast<std::size_t>(q - t.data());
    std::size_t indice = 0, fin = 0;
    if (LeeCore(t, i, indice, fin) && indice < piezas_.size()) {
      out.append(t, copiado, i - copiado);
      out += piezas_[indice].interior;
      copiado = i = fin;
    } else {
      ++i;
    }
  }
  out.append(t, copiado, std::string_view::npos);
  return out;
}

std::string Literales::NuevoTexto(std::string_view contenido) {
  return "'" + Core(Clase::Texto, DuplicaApostrofes(contenido)) + "'";
}

std::string Literales::NuevoCodigo(std::string_view texto) {
  return Core(Clase::Codigo, std::string(texto));
}

std::optional<Literales::Token> Literales::TokenEn(std::string_view t, std::size_t i) const {
  if (i >= t.size()) return std::nullopt;
  const char c = t[i];
  const std::size_t core = (c == '\'' || c == '[') ? i + 1 : i;
  std::size_t indice = 0, fin = 0;
  if (!LeeCore(t, core, indice, fin) || indice >= piezas_.size()) return std::nullopt;
  Token k;
  k.inicio = i;
  k.indice = indice;
  k.clase = piezas_[indice].clase;
  if (c == '\'') {
    if (k.clase != Clase::Texto) return std::nullopt;
    if (fin < t.size() && t[fin] == '\'') ++fin;
  } else if (c == '[') {
    if (k.clase != Clase::Nombre || fin >= t.size() || t[fin] != ']') return std::nullopt;
    ++fin;
  }
  k.fin = fin;
  return k;
}

namespace {

std::string_view SinBlancos(std::string_view s) {
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  return s;
}

}  // namespace

std::optional<std::string> Literales::TextoDe(std::string_view texto) const {
  const std::string_view s = SinBlancos(texto);
  auto k = TokenEn(s, 0);
  if (!k || k->fin != s.size() || s[0] != '\'' || k->clase != Clase::Texto) return std::nullopt;
  return SinDuplicar(piezas_[k->indice].interior);
}

std::optional<std::string> Literales::NombreDe(std::string_view texto) const {
  const std::string_view s = SinBlancos(texto);
  auto k = TokenEn(s, 0);
  if (!k || k->fin != s.size() || k->clase != Clase::Nombre) return std::nullopt;
  return piezas_[k->indice].interior;
}

}  // namespace kelv
