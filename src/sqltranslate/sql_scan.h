// Scanning of masked query text (see literal_mask.h): keywords as whole words, phrases such
// as ORDER BY, parenthesis depth and the words between SELECT and its list (all OSes).
//
// Masked text holds no literal, name or comment content, so what these functions find is
// always code.
#pragma once

#include <cstddef>
#include <string_view>

namespace kelv {

// True for blanks, tabs and line breaks.
inline bool EsEspacio(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// Whether the phrase (words separated by single blanks, such as "ORDER BY") starts at offset
// i of t, letter case ignored, as whole words: no letter, digit or '_' touches it on either
// side, and between its words t may hold any run of blanks, tabs and line breaks. fin, when
// given, receives the offset just after the match.
bool FraseEn(std::string_view t, std::size_t i, std::string_view frase,
             std::size_t* fin = nullptr);

// The first offset at or after desde where the phrase stands (FraseEn), or npos.
std::size_t BuscaFrase(std::string_view t, std::string_view frase, std::size_t desde = 0);

// The same, only where no parenthesis opened at or after desde is still open; the search
// ends at a ")" that closes one opened before desde, or at hasta.
std::size_t BuscaFraseFuera(std::string_view t, std::string_view frase, std::size_t desde = 0,
                            std::size_t hasta = std::string_view::npos);

// Whether s starts with "(" and the ")" that matches it is the last character of s.
bool EntreParentesis(std::string_view s);

// The words that may stand between SELECT and its list: ALL, DISTINCT, DISTINCTROW and
// TOP n [PERCENT] [WITH TIES], n a number or a parenthesised expression. i is the offset
// just after "SELECT"; returns the offset just after the last such word, or i when there is
// none. top, when given, is set to whether TOP was among them.
std::size_t SaltaPrefijoSelect(std::string_view t, std::size_t i, bool* top = nullptr);

}  // namespace kelv
