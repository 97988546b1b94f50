// Fast searches used by the translator's passes (all OSes).
//
// The passes look for short ASCII literals, letter case ignored, many times over long
// texts. These helpers give the same answers as InStr/Replace/Split of text/toolbox.h with
// Compare::AnyCase, but search without copying or folding the whole text each time. For an
// ASCII needle, ASCII folding is enough: the other letters that fold are multi-byte and can
// never be part of an ASCII match.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace kelv {

// A needle prepared for repeated any-case searches (the skip table is built once).
class BuscaSinCaso {
 public:
  // needle must outlive the searcher.
  explicit BuscaSinCaso(std::string_view needle);
  // 0-based offset of the first occurrence at or after from, or npos (as FindAnyCase).
  std::size_t Find(std::string_view text, std::size_t from = 0) const;

 private:
  std::string_view needle_;
  bool ascii_;
  bool largo_ = false;
  unsigned char salto_[256];
  std::size_t ancla_ = 0;
  unsigned char minuscula_ = 0, mayuscula_ = 0;
};

// 0-based offset of the first occurrence of needle in text at or after from, letter case
// ignored, or npos. An empty needle gives from when from <= text.size().
std::size_t FindAnyCase(std::string_view text, std::string_view needle, std::size_t from = 0);

// 1-based InStr(start, text, needle, Compare::AnyCase).
std::size_t InStrAnyCase(std::size_t start, std::string_view text, std::string_view needle);

// Replace(text, find, with, Compare::AnyCase) over the whole text.
std::string ReplaceAnyCase(std::string_view text, std::string_view find, std::string_view with);

// Split at every delimiter, letter case ignored (the empty text gives no fields, an empty
// delimiter the whole text as one field).
std::vector<std::string> SplitAnyCase(std::string_view text, std::string_view delimiter);

// True for the bytes a name is made of: letters, digits, '_' and the bytes of multi-byte
// characters.
inline bool EsLetraDeNombre(char c) {
  const unsigned char u = static_cast<unsigned char>(c);
  return (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || (u >= '0' && u <= '9') ||
         u == '_' || u >= 0x80;
}

// True when text holds word as a whole word (letter case ignored): the characters next to
// it are not letters, digits or '_' (nor part of a multi-byte character).
bool HoldsWord(std::string_view text, std::string_view word);

}  // namespace kelv
