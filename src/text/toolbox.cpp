// The string toolbox every subsystem is written in (all OSes).
#include "text/toolbox.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

#include "text/error.h"
#include "text/utf8.h"

namespace kelv {
namespace {

// Lower-cases one code point over ASCII, Latin-1 and the Windows-1252 letters Š Œ Ž Ÿ.
char32_t FoldCodePoint(char32_t c) {
  if (c >= 'A' && c <= 'Z') return c + 32;
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 32;
  switch (c) {
    case 0x160: return 0x161;
    case 0x152: return 0x153;
    case 0x17D: return 0x17E;
    case 0x178: return 0xFF;
    default: return c;
  }
}

// Upper-cases one code point over ASCII and Latin-1 (the inverse of FoldCodePoint there).
char32_t UpperCodePoint(char32_t c) {
  if (c >= 'a' && c <= 'z') return c - 32;
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return c - 32;
  return c;
}

// Rewrites the two bytes of a code point in place; both forms are two bytes long.
void PutTwoBytes(std::string& s, std::size_t i, char32_t cp) {
  s[i] = static_cast<char>(0xC0 | (cp >> 6));
  s[i + 1] = static_cast<char>(0x80 | (cp & 0x3F));
}

}  // namespace

std::string FoldCase(std::string_view text) {
  std::string out(text);
  const std::size_t n = out.size();
  for (std::size_t i = 0; i < n; ++i) {
    unsigned char b = static_cast<unsigned char>(out[i]);
    if (b < 0x80) {
      if (b >= 'A' && b <= 'Z') out[i] = static_cast<char>(b + 32);
      continue;
    }
    if ((b == 0xC3 || b == 0xC5) && i + 1 < n) {
      unsigned char c = static_cast<unsigned char>(out[i + 1]);
      if ((c & 0xC0) != 0x80) continue;
      char32_t cp = (static_cast<char32_t>(b & 0x1F) << 6) | (c & 0x3F);
      char32_t f = FoldCodePoint(cp);
      if (f != cp) PutTwoBytes(out, i, f);
      ++i;
    }
  }
  return out;
}

std::string UpperCase(std::string_view text) {
  std::string out(text);
  const std::size_t n = out.size();
  for (std::size_t i = 0; i < n; ++i) {
    unsigned char b = static_cast<unsigned char>(out[i]);
    if (b < 0x80) {
      if (b >= 'a' && b <= 'z') out[i] = static_cast<char>(b - 32);
      continue;
    }
    if ((b == 0xC3 || b == 0xC5) && i + 1 < n) {
      unsigned char c = static_cast<unsigned char>(out[i + 1]);
      if ((c & 0xC0) != 0x80) continue;
      char32_t cp = (static_cast<char32_t>(b & 0x1F) << 6) | (c & 0x3F);
      char32_t u = cp;
      if (cp >= 0xE0 && cp <= 0xFE && cp != 0xF7) u = cp - 32;
      else if (cp == 0xFF) u = 0x178;
      else if (cp == 0x161) u = 0x160;
      else if (cp == 0x153) u = 0x152;
      else if (cp == 0x17E) u = 0x17D;
      if (u != cp) PutTwoBytes(out, i, u);
      ++i;
    }
  }
  return out;
}

bool TextEquals(std::string_view a, std::string_view b, Compare cmp) {
  if (a.size() != b.size()) return false;
  if (cmp == Compare::Exact) return a == b;
  return FoldCase(a) == FoldCase(b);
}

std::size_t InStr(std::size_t start, std::string_view text, std::string_view find, Compare cmp) {
  if (start < 1) start = 1;
  if (start > text.size() + 1) return 0;
  if (find.empty()) return start;
  std::size_t pos;
  if (cmp == Compare::Exact) {
    pos = text.find(find, start - 1);
  } else {
    std::string hay = FoldCase(text.substr(start - 1));
    pos = hay.find(FoldCase(find));
    if (pos != std::string::npos) pos += start - 1;
  }
  return pos == std::string_view::npos ? 0 : pos + 1;
}

std::size_t InStrRev(std::string_view text, std::string_view find, std::size_t start, Compare cmp) {
  if (start == 0 || start > text.size()) start = text.size();
  if (find.empty()) return start;
  if (find.size() > start) return 0;
  std::string_view window = text.substr(0, start);
  std::size_t pos;
  if (cmp == Compare::Exact) {
    pos = window.rfind(find);
  } else {
    pos = FoldCase(window).rfind(FoldCase(find));
  }
  return pos == std::string_view::npos ? 0 : pos + 1;
}

std::string Replace(std::string_view text, std::string_view find, std::string_view with,
                    Compare cmp, std::size_t start, long count) {
  if (start < 1) start = 1;
  if (start > text.size()) return std::string();
  std::string_view rest = text.substr(start - 1);
  if (find.empty() || count == 0) return std::string(rest);
  std::string folded, foldedFind;
  std::string_view hay = rest, needle = find;
  if (cmp == Compare::AnyCase) {
    folded = FoldCase(rest);
    foldedFind = FoldCase(find);
    hay = folded;
    needle = foldedFind;
  }
  std::string out;
  out.reserve(rest.size());
  std::size_t from = 0;
  long done = 0;
  while (count < 0 || done < count) {
    std::size_t pos = hay.find(needle, from);
    if (pos == std::string_view::npos) break;
    out.append(rest.substr(from, pos - from));
    out.append(with);
    from = pos + find.size();
    ++done;
  }
  out.append(rest.substr(from));
  return out;
}

std::vector<std::string> Split(std::string_view text, std::string_view delimiter) {
  std::vector<std::string> fields;
  if (text.empty()) return fields;
  if (delimiter.empty()) {
    fields.emplace_back(text);
    return fields;
  }
  std::size_t from = 0;
  for (;;) {
    std::size_t pos = text.find(delimiter, from);
    if (pos == std::string_view::npos) {
      fields.emplace_back(text.substr(from));
      return fields;
    }
    fields.emplace_back(text.substr(from, pos - from));
    from = pos + delimiter.size();
  }
}

std::string Join(const std::vector<std::string>& fields, std::string_view delimiter) {
  std::string out;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (i) out.append(delimiter);
    out.append(fields[i]);
  }
  return out;
}

std::string Mid(std::string_view text, std::size_t start, std::size_t length) {
  if (start < 1) start = 1;
  if (start > text.size()) return std::string();
  return std::string(text.substr(start - 1, length));
}

std::string Left(std::string_view text, std::size_t length) {
  return std::string(text.substr(0, length));
}

std::string Right(std::string_view text, std::size_t length) {
  if (length >= text.size()) return std::string(text);
  return std::string(text.substr(text.size() - length));
}

std::string MidChars(std::string_view text, std::size_t start, std::size_t length) {
  std::u32string cps = DecodeUtf8(text);
  if (start < 1) start = 1;
  if (start > cps.size()) return std::string();
  return EncodeUtf8(std::u32string_view(cps).substr(start - 1, length));
}

std::string LTrim(std::string_view text) {
  std::size_t b = text.find_first_not_of(' ');
  return b == std::string_view::npos ? std::string() : std::string(text.substr(b));
}

std::string RTrim(std::string_view text) {
  std::size_t e = text.find_last_not_of(' ');
  return e == std::string_view::npos ? std::string() : std::string(text.substr(0, e + 1));
}

std::string Trim(std::string_view text) { return LTrim(RTrim(text)); }

namespace {

// Matches one character against a bracket list starting just after '['. Sets end to the
// position after the closing ']'; returns false with end = npos when the list is unclosed.
bool MatchBracket(const std::u32string& p, std::size_t i, char32_t c, bool anyCase,
                  std::size_t& end) {
  bool negate = false;
  if (i < p.size() && p[i] == '!') {
    negate = true;
    ++i;
  }
  bool matched = false;
  bool first = true;
  while (i < p.size() && (p[i] != ']' || first)) {
    if (p[i] == ']' && first) {  // "[]" is an empty list: it matches nothing
      break;
    }
    first = false;
    char32_t lo = p[i];
    char32_t hi = lo;
    if (i + 2 < p.size() && p[i + 1] == '-' && p[i + 2] != ']') {
      hi = p[i + 2];
      i += 3;
    } else {
      ++i;
    }
    if (c >= lo && c <= hi) {
      matched = true;
    } else if (anyCase) {
      // Either letter case of c may fall in the list.
      char32_t lower = FoldCodePoint(c), upper = UpperCodePoint(c);
      if (lo == hi) {
        matched = matched || lower == FoldCodePoint(lo);
      } else {
        matched = matched || (lower >= lo && lower <= hi) || (upper >= lo && upper <= hi);
      }
    }
  }
  if (i >= p.size()) {
    end = std::u32string::npos;
    return false;
  }
  end = i + 1;
  return matched != negate;
}

}  // namespace

bool Like(std::string_view text, std::string_view pattern, Compare cmp) {
  const std::u32string t = DecodeUtf8(text);
  const std::u32string p = DecodeUtf8(pattern);
  const bool anyCase = cmp == Compare::AnyCase;
  std::size_t ti = 0, pi = 0;
  std::size_t starP = std::u32string::npos, starT = 0;
  while (ti < t.size()) {
    bool advanced = false;
    if (pi < p.size()) {
      char32_t pc = p[pi];
      if (pc == '*') {
        starP = ++pi;
        starT = ti;
        continue;
      }
      if (pc == '?') {
        ++pi, ++ti;
        advanced = true;
      } else if (pc == '#') {
        if (t[ti] >= '0' && t[ti] <= '9') {
          ++pi, ++ti;
          advanced = true;
        }
      } else if (pc == '[') {
        std::size_t end;
        bool ok = MatchBracket(p, pi + 1, t[ti], anyCase, end);
        if (end == std::u32string::npos) return false;  // malformed pattern
        if (ok) {
          pi = end, ++ti;
          advanced = true;
        }
      } else {
        char32_t a = t[ti], b = pc;
        if (anyCase) a = FoldCodePoint(a), b = FoldCodePoint(b);
        if (a == b) {
          ++pi, ++ti;
          advanced = true;
        }
      }
    }
    if (!advanced) {
      if (starP == std::u32string::npos) return false;
      pi = starP;
      ti = ++starT;
    }
  }
  while (pi < p.size() && p[pi] == '*') ++pi;
  if (pi < p.size()) {
    // Remaining pattern must be well formed for the answer to be "no match" either way.
    return false;
  }
  return true;
}

double Val(std::string_view text) {
  // Drop the characters Val skips anywhere in its input.
  std::string s;
  s.reserve(text.size());
  for (char c : text) {
    if (c != ' ' && c != '\t' && c != '\n') s.push_back(c);
  }
  std::size_t i = 0;
  if (s.size() >= 2 && s[0] == '&' && (s[1] == 'H' || s[1] == 'h' || s[1] == 'O' || s[1] == 'o')) {
    const bool hex = s[1] == 'H' || s[1] == 'h';
    const unsigned base = hex ? 16 : 8;
    double value = 0;
    std::size_t digits = 0;
    for (i = 2; i < s.size(); ++i) {
      char c = s[i];
      int d = -1;
      if (c >= '0' && c <= '9') d = c - '0';
      else if (hex && c >= 'a' && c <= 'f') d = c - 'a' + 10;
      else if (hex && c >= 'A' && c <= 'F') d = c - 'A' + 10;
      if (d < 0 || d >= static_cast<int>(base)) break;
      value = value * base + d;
      ++digits;
    }
    // Short literals are signed 16- or 32-bit values, as the runtime types them.
    if (value <= 0xFFFF && (hex ? digits <= 4 : value <= 0177777)) {
      if (value >= 0x8000) value -= 0x10000;
    } else if (value <= 0xFFFFFFFFu) {
      if (value >= 2147483648.0) value -= 4294967296.0;
    }
    return value;
  }
  std::string num;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) num.push_back(s[i++]);
  bool any = false;
  while (i < s.size() && s[i] >= '0' && s[i] <= '9') num.push_back(s[i++]), any = true;
  if (i < s.size() && s[i] == '.') {
    num.push_back(s[i++]);
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') num.push_back(s[i++]), any = true;
  }
  if (!any) return 0;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E' || s[i] == 'd' || s[i] == 'D')) {
    std::size_t j = i + 1;
    std::string exp = "e";
    if (j < s.size() && (s[j] == '+' || s[j] == '-')) exp.push_back(s[j++]);
    bool expDigits = false;
    while (j < s.size() && s[j] >= '0' && s[j] <= '9') exp.push_back(s[j++]), expDigits = true;
    if (expDigits) num += exp;
  }
  // Read with from_chars: unlike strtod it ignores the C locale's decimal separator.
  const char* first = num.data();
  if (*first == '+') ++first;
  double v = 0;
  auto [end, ec] = std::from_chars(first, num.data() + num.size(), v);
  (void)end;
  if (ec == std::errc::result_out_of_range) {  // beyond double: as strtod, 0 or infinity
    const bool tiny = num.find("e-") != std::string::npos;
    v = tiny ? 0.0 : std::numeric_limits<double>::infinity();
    if (num[0] == '-') v = -v;
  }
  return v;
}

double BankersRound(double value) {
  if (!std::isfinite(value)) return value;
  double r = std::round(value);  // ties away from zero
  if (std::fabs(value - std::trunc(value)) == 0.5) {
    r = 2.0 * std::round(value / 2.0);  // a tie: take the even neighbour
  }
  return r;
}

std::int32_t ToInt32Rounded(double value) {
  double r = BankersRound(value);
  if (!(r >= -2147483648.0 && r <= 2147483647.0)) {
    throw KelvError(kErrOverflow, "ToInt32Rounded", "Overflow");
  }
  return static_cast<std::int32_t>(r);
}

std::string NumberToText(double value) {
  if (value == 0) return "0";
  // As printf's "%.15G" writes it, but always with '.' whatever the C locale says.
  char buf[64];
  auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, 15);
  if (ec != std::errc()) return std::string();
  std::string out(buf, end);
  for (char& c : out) {
    if (c == 'e') c = 'E';
    else if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);  // inf, nan as printf's %G
  }
  return out;
}

}  // namespace kelv
