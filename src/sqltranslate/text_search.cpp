// Fast any-case searches for the translator's passes (all OSes).
#include "sqltranslate/text_search.h"

#include <algorithm>
#include <cstring>

#include "text/toolbox.h"

namespace kelv {
namespace {

inline unsigned char AsciiLower(unsigned char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + 32) : c;
}

// How often a character stands in query text, as a rank (lower is rarer): punctuation
// first, then the letters from the rarest in Spanish and English names and keywords, the
// digits, and the blank last.
int CalculaFrecuencia(unsigned char c) {
  static constexpr std::string_view kLetras = "qxzjkwyvbhfgpmucdlotnirsae";
  if (c == ' ') return 999;
  const unsigned char l = AsciiLower(c);
  const std::size_t k = kLetras.find(static_cast<char>(l));
  if (k != std::string_view::npos) return 100 + static_cast<int>(k);
  if (l >= '0' && l <= '9') return 200;
  return 0;
}

// The ranks of all bytes, worked out once: searchers are made many times per query.
struct Frecuencias {
  short rango[256];
  Frecuencias() {
    for (int c = 0; c < 256; ++c) {
      rango[c] = static_cast<short>(CalculaFrecuencia(static_cast<unsigned char>(c)));
    }
  }
};
const Frecuencias kFrecuencias;

inline int Frecuencia(unsigned char c) { return kFrecuencias.rango[c]; }

bool IsAscii(std::string_view s) {
  for (unsigned char c : s) {
    if (c >= 0x80) return false;
  }
  return true;
}

}  // namespace

BuscaSinCaso::BuscaSinCaso(std::string_view needle)
    : needle_(needle), ascii_(IsAscii(needle)) {
  const auto* n = reinterpret_cast<const unsigned char*>(needle.data());
  const std::size_t m = needle.size();
  if (!ascii_ || m == 0) return;
  if (m >= 8) {
    // Long needles (a whole call text): Horspool's skip table over folded bytes.
    std::memset(salto_, static_cast<int>(m < 255 ? m : 255), sizeof salto_);
    for (std::size_t k = 0; k + 1 < m; ++k) {
      const std::size_t d = m - 1 - k;
      const unsigned char v = static_cast<unsigned char>(d < 255 ? d : 255);
      const unsigned char c = AsciiLower(n[k]);
      salto_[c] = v;
      if (c >= 'a' && c <= 'z') salto_[c - 32] = v;
    }
    largo_ = true;
    return;
  }
  // Short needles: candidates come from memchr on one character, the one of the needle
  // that query texts hold least often: a punctuation mark when there is one (a single case,
  // rarer than letters), else the rarest letter in both cases; blanks, which stand every
  // few characters, last.
  ancla_ = 0;
  int mejor = 1000;
  for (std::size_t k = 0; k < m; ++k) {
    const int r = Frecuencia(n[k]);
    if (r < mejor) {
      mejor = r;
      ancla_ = k;
    }
  }
  minuscula_ = AsciiLower(n[ancla_]);
  mayuscula_ = (minuscula_ >= 'a' && minuscula_ <= 'z') ? minuscula_ - 32 : minuscula_;
}

std::size_t BuscaSinCaso::Find(std::string_view text, std::size_t from) const {
  if (from > text.size()) return std::string_view::npos;
  if (needle_.empty()) return from;
  if (!ascii_) {
    std::size_t p = InStr(from + 1, text, needle_, Compare::AnyCase);
    return p == 0 ? std::string_view::npos : p - 1;
  }
  const std::size_t m = needle_.size();
  if (m > text.size()) return std::string_view::npos;
  const auto* t = reinterpret_cast<const unsigned char*>(text.data());
  const auto* n = reinterpret_cast<const unsigned char*>(needle_.data());
  const std::size_t last = text.size() - m;  // last possible start
  auto coincide = [&](std::size_t i) {
    for (std::size_t k = 0; k < m; ++k) {
      if (AsciiLower(t[i + k]) != AsciiLower(n[k])) return false;
    }
    return true;
  };
  if (largo_) {
    for (std::size_t i = from; i <= last; i += salto_[t[i + m - 1]]) {
      if (coincide(i)) return i;
    }
    return std::string_view::npos;
  }
  // Candidate positions of the anchor character run from from + ancla_ to last + ancla_.
  // Both letter cases are looked for in a window that grows while it holds neither, so that
  // a search never scans far beyond the occurrence it returns (a case absent from the text
  // would otherwise cost a scan to the end at every call).
  const std::size_t fin = last + ancla_ + 1;
  std::size_t ventana = 64;
  for (std::size_t i = from + ancla_; i < fin;) {
    const std::size_t hasta = std::min(fin, i + ventana);
    const void* a = std::memchr(t + i, minuscula_, hasta - i);
    const std::size_t fa =
        a ? static_cast<std::size_t>(static_cast<const unsigned char*>(a) - t) : hasta;
    const void* b = mayuscula_ == minuscula_ ? nullptr : std::memchr(t + i, mayuscula_, fa - i);
    const std::size_t j =
        b ? static_cast<std::size_t>(static_cast<const unsigned char*>(b) - t) : fa;
    if (j == hasta) {
      i = hasta;
      ventana = std::min<std::size_t>(ventana * 2, 4096);
      continue;
    }
    if (coincide(j - ancla_)) return j - ancla_;
    i = j + 1;
  }
  return std::string_view::npos;
}

std::size_t FindAnyCase(std::string_view text, std::string_view needle, std::size_t from) {
  return BuscaSinCaso(needle).Find(text, from);
}

std::size_t InStrAnyCase(std::size_t start, std::string_view text, std::string_view needle) {
  if (start < 1) start = 1;
  if (start > text.size() + 1) return 0;
  std::size_t p = FindAnyCase(text, needle, start - 1);
  return p == std::string_view::npos ? 0 : p + 1;
}

std::string ReplaceAnyCase(std::string_view text, std::string_view find, std::string_view with) {
  if (find.empty()) return std::string(text);
  const BuscaSinCaso busca(find);
  std::string out;
  std::size_t from = 0;
  for (;;) {
    std::size_t p = busca.Find(text, from);
    if (p == std::string_view::npos) break;
    if (out.empty()) out.reserve(text.size() + with.size());
    out.append(text.substr(from, p - from));
    out.append(with);
    from = p + find.size();
  }
  out.append(text.substr(from));
  return out;
}

std::vector<std::string> SplitAnyCase(std::string_view text, std::string_view delimiter) {
  std::vector<std::string> fields;
  if (text.empty()) return fields;
  if (delimiter.empty()) {
    fields.emplace_back(text);
    return fields;
  }
  const BuscaSinCaso busca(delimiter);
  std::size_t from = 0;
  for (;;) {
    std::size_t p = busca.Find(text, from);
    if (p == std::string_view::npos) {
      fields.emplace_back(text.substr(from));
      return fields;
    }
    fields.emplace_back(text.substr(from, p - from));
    from = p + delimiter.size();
  }
}

bool HoldsWord(std::string_view text, std::string_view word) {
  const BuscaSinCaso busca(word);
  std::size_t from = 0;
  for (;;) {
    std::size_t p = busca.Find(text, from);
    if (p == std::string_view::npos) return false;
    const std::size_t e = p + word.size();
    const bool before = p == 0 || !EsLetraDeNombre(text[p - 1]);
    const bool after = e >= text.size() || !EsLetraDeNombre(text[e]);
    if (before && after) return true;
    from = p + 1;
  }
}

}  // namespace kelv
