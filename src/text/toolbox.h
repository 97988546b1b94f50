// The string toolbox every subsystem is written in (all OSes).
//
// Texts are UTF-8. Positions are 1-based byte positions and 0 means "not found"; for the
// rules whose searched texts are ASCII this gives the same results as counting characters.
// "Any case" folds ASCII and Latin-1 letters (plus the Windows-1252 letters Š, Œ, Ž, Ÿ) the
// way Windows compares text in this code page; folding never changes a text's byte length,
// so positions found in a folded text are positions in the original. "Exact" is byte
// equality.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kelv {

enum class Compare { Exact, AnyCase };

// Lower-case form of text for any-case comparison; same byte length as text.
std::string FoldCase(std::string_view text);

// Upper case of ASCII and Latin-1 letters; other characters unchanged. Same byte length.
std::string UpperCase(std::string_view text);

// True when a and b are equal under cmp.
bool TextEquals(std::string_view a, std::string_view b, Compare cmp);

// Position (1-based) of the first occurrence of find in text at or after position start,
// or 0. An empty find gives start when start <= length + 1. A start beyond length + 1
// gives 0. start below 1 counts as 1.
std::size_t InStr(std::size_t start, std::string_view text, std::string_view find,
                  Compare cmp = Compare::Exact);
inline std::size_t InStr(std::string_view text, std::string_view find,
                         Compare cmp = Compare::Exact) {
  return InStr(1, text, find, cmp);
}

// Position (1-based) of the last occurrence of find in text that ends at or before position
// start (0 = the whole text), or 0 when absent. An empty find gives start (or length).
std::size_t InStrRev(std::string_view text, std::string_view find, std::size_t start = 0,
                     Compare cmp = Compare::Exact);

// Replaces occurrences of find by with, scanning left to right without re-scanning inserted
// text. As the original runtime does, the result starts at position start (the characters
// before it are dropped); count limits the replacements (-1 = all). An empty find leaves
// the text (from start) unchanged.
std::string Replace(std::string_view text, std::string_view find, std::string_view with,
                    Compare cmp = Compare::Exact, std::size_t start = 1, long count = -1);

// Splits text at every delimiter. The empty text gives no fields; an empty delimiter gives
// the whole text as the only field.
std::vector<std::string> Split(std::string_view text, std::string_view delimiter);

// Joins fields with the delimiter between them.
std::string Join(const std::vector<std::string>& fields, std::string_view delimiter);

// Up to length bytes from 1-based position start (a start beyond the text gives "").
std::string Mid(std::string_view text, std::size_t start, std::size_t length = std::string_view::npos);
std::string Left(std::string_view text, std::size_t length);
std::string Right(std::string_view text, std::size_t length);

// The same on characters (code points) for the rules that count characters of user text.
std::string MidChars(std::string_view text, std::size_t start,
                     std::size_t length = std::string_view::npos);

// Blank-only trimming: spaces (U+0020) at the ends are removed; tabs and line breaks stay.
std::string Trim(std::string_view text);
std::string LTrim(std::string_view text);
std::string RTrim(std::string_view text);

// Wildcard match of the whole text against pattern: '*' any run, '?' one character, '#' one
// digit, "[...]" one character of the list (ranges a-z allowed), "[!...]" one character not
// in the list. Characters are code points; cmp decides letter case. A malformed pattern
// (an unclosed '[') matches nothing.
bool Like(std::string_view text, std::string_view pattern, Compare cmp = Compare::Exact);

// The leading number of text, as the original runtime's Val reads it: blanks, tabs and line
// feeds anywhere are ignored; an optional sign, digits, a '.' fraction and an E or D
// exponent; or "&H" hexadecimal / "&O" octal (up to 4 digits read as a 16-bit and up to 8 as
// a 32-bit signed value). No number gives 0.
double Val(std::string_view text);

// Rounds to the nearest whole number, ties to the even one.
double BankersRound(double value);

// Rounds as BankersRound and converts to a 32-bit signed integer; a value outside that range
// (or not a number) throws KelvError(kErrOverflow).
std::int32_t ToInt32Rounded(double value);

// A number as the original runtime writes it: up to 15 significant digits, no trailing
// zeros, no decimal point for whole numbers, exponent form (1E+15, 1E-05) for very large or
// small values. The decimal separator is '.'.
std::string NumberToText(double value);

}  // namespace kelv
