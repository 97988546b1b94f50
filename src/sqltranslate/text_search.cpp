// Fast any-case searches for the translator's passes (all OSes).
#include "sqltranslate/text_search.h"

#include "text/toolbox.h"

namespace kelv {
namespace {

inline unsigned char AsciiLower(unsigned char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + 32) : c;
}

bool IsAscii(std::string_view s) {
  for (unsigned char c : s) {
    if (c >= 0x80) return false;
  }
  return true;
}

inline bool IsWordByte(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
         c == '_' || c >= 0x80;
}

}  // namespace

std::size_t FindAnyCase(std::string_view text, std::string_view needle, std::size_t from) {
  if (from > text.size()) return std::string_view::npos;
  if (needle.empty()) return from;
  if (!IsAscii(needle)) {
    std::size_t p = InStr(from + 1, text, needle, Compare::AnyCase);
    return p == 0 ? std::string_view::npos : p - 1;
  }
  if (needle.size() > text.size()) return std::string_view::npos;
  const unsigned char first = AsciiLower(static_cast<unsigned char>(needle[0]));
  const std::size_t last = text.size() - needle.size();
  const auto* t = reinterpret_cast<const unsigned char*>(text.data());
  const auto* n = reinterpret_cast<const unsigned char*>(needle.data());
  for (std::size_t i = from; i <= last; ++i) {
    if (AsciiLower(t[i]) != first) continue;
    std::size_t k = 1;
    while (k < needle.size() && AsciiLower(t[i + k]) == AsciiLower(n[k])) ++k;
    if (k == needle.size()) return i;
  }
  return std::string_view::npos;
}

std::size_t InStrAnyCase(std::size_t start, std::string_view text, std::string_view needle) {
  if (start < 1) start = 1;
  if (start > text.size() + 1) return 0;
  std::size_t p = FindAnyCase(text, needle, start - 1);
  return p == std::string_view::npos ? 0 : p + 1;
}

std::string ReplaceAnyCase(std::string_view text, std::string_view find, std::string_view with) {
  if (find.empty()) return std::string(text);
  std::string out;
  std::size_t from = 0;
  for (;;) {
    std::size_t p = FindAnyCase(text, find, from);
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
  std::size_t from = 0;
  for (;;) {
    std::size_t p = FindAnyCase(text, delimiter, from);
    if (p == std::string_view::npos) {
      fields.emplace_back(text.substr(from));
      return fields;
    }
    fields.emplace_back(text.substr(from, p - from));
    from = p + delimiter.size();
  }
}

bool HoldsWord(std::string_view text, std::string_view word) {
  std::size_t from = 0;
  for (;;) {
    std::size_t p = FindAnyCase(text, word, from);
    if (p == std::string_view::npos) return false;
    const std::size_t e = p + word.size();
    const bool before = p == 0 || !IsWordByte(static_cast<unsigned char>(text[p - 1]));
    const bool after = e >= text.size() || !IsWordByte(static_cast<unsigned char>(text[e]));
    if (before && after) return true;
    from = p + 1;
  }
}

}  // namespace kelv
