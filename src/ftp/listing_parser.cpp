// Parsers of remote folder listings and the search-mask match (all OSes, pure).
#include "ftp/listing_parser.h"

#include <cctype>
#include <limits>
#include <string>

#include "ftp/file_time.h"
#include "text/toolbox.h"
#include "text/utf8.h"

namespace kelv {
namespace {

bool AllDigits(std::string_view s) {
  if (s.empty()) return false;
  for (char c : s) {
    if (!std::isdigit(static_cast<unsigned char>(c))) return false;
  }
  return true;
}

// The value of a run of decimal digits that is no greater than max; nullopt for anything
// else, a value that would overflow included.
std::optional<std::uint64_t> ReadNumber(
    std::string_view s, std::uint64_t max = std::numeric_limits<std::uint64_t>::max()) {
  if (!AllDigits(s)) return std::nullopt;
  std::uint64_t v = 0;
  for (char c : s) {
    const auto digit = static_cast<std::uint64_t>(c - '0');
    if (digit > max || v > (max - digit) / 10) return std::nullopt;
    v = v * 10 + digit;
  }
  return v;
}

// A fixed-width run of digits (at most 9, so it always fits), as an int.
int ToInt(std::string_view s) { return static_cast<int>(ReadNumber(s).value_or(0)); }

// The name as the find record keeps it: up to its first NUL. nullopt when that is empty,
// "." or "..", or longer than the record can hold.
std::optional<std::string> EntryName(std::string_view raw) {
  const std::string_view name = raw.substr(0, raw.find('\0'));
  if (name.empty() || name == "." || name == "..") return std::nullopt;
  // Counting characters costs a pass; names this short in bytes need none.
  if (name.size() > kMaxListingName && CharCount(name) > kMaxListingName) return std::nullopt;
  return std::string(name);
}

// A token of a line with where it ends.
struct Token {
  std::string_view text;
  std::size_t end;
};

std::vector<Token> Tokens(std::string_view line, std::size_t maxTokens) {
  std::vector<Token> out;
  std::size_t i = 0;
  while (i < line.size() && out.size() < maxTokens) {
    while (i < line.size() && line[i] == ' ') ++i;
    if (i >= line.size()) break;
    std::size_t start = i;
    while (i < line.size() && line[i] != ' ') ++i;
    out.push_back({line.substr(start, i - start), i});
  }
  return out;
}

int MonthNumber(std::string_view s) {
  static const char* const kMonths[] = {"jan", "feb", "mar", "apr", "may", "jun",
                                        "jul", "aug", "sep", "oct", "nov", "dec"};
  if (s.size() != 3) return 0;
  const std::string folded = FoldCase(s);
  for (int m = 0; m < 12; ++m) {
    if (folded == kMonths[m]) return m + 1;
  }
  return 0;
}

// "HH:MM" -> hour and minute.
bool ParseClock(std::string_view s, int& hour, int& minute) {
  if (s.size() != 5 || s[2] != ':' || !AllDigits(s.substr(0, 2)) || !AllDigits(s.substr(3))) {
    return false;
  }
  hour = ToInt(s.substr(0, 2));
  minute = ToInt(s.substr(3));
  return hour < 24 && minute < 60;
}

void SetAllTimes(FindData& d, std::uint64_t t) {
  d.creationTime = d.lastAccessTime = d.lastWriteTime = t;
}

// "YYYYMMDDHHMMSS[.sss]" (UTC) -> file time, or 0.
std::uint64_t ParseMlsdTime(std::string_view v) {
  if (v.size() < 14 || !AllDigits(v.substr(0, 14))) return 0;
  std::uint64_t t = CivilToFileTime(ToInt(v.substr(0, 4)), ToInt(v.substr(4, 2)),
                                    ToInt(v.substr(6, 2)), ToInt(v.substr(8, 2)),
                                    ToInt(v.substr(10, 2)), ToInt(v.substr(12, 2)));
  if (t != 0 && v.size() > 15 && v[14] == '.' && AllDigits(v.substr(15))) {
    std::string_view frac = v.substr(15, 7);
    std::uint64_t ticks = ReadNumber(frac).value_or(0);
    for (std::size_t n = frac.size(); n < 7; ++n) ticks *= 10;
    t += ticks;
  }
  return t;
}

std::optional<FindData> ParseUnixLine(std::string_view line, std::uint64_t nowUtc) {
  if (line.size() < 10 || std::string_view("-dlbcps").find(line[0]) == std::string_view::npos) {
    return std::nullopt;
  }
  const std::vector<Token> toks = Tokens(line, 12);
  // The size is the number right before the month; owner and group may be absent.
  for (std::size_t i = 2; i + 2 < toks.size(); ++i) {
    const int month = MonthNumber(toks[i].text);
    if (!month || !AllDigits(toks[i - 1].text) || !AllDigits(toks[i + 1].text)) continue;
    // From here on the line has its shape: numbers out of range make it unreadable.
    const std::optional<std::uint64_t> size = ReadNumber(toks[i - 1].text);
    const std::optional<std::uint64_t> dayNumber = ReadNumber(toks[i + 1].text, 31);
    if (!size || !dayNumber) return std::nullopt;
    const int day = static_cast<int>(*dayNumber);
    std::string_view yearOrTime = toks[i + 2].text;
    int year = 0, hour = 0, minute = 0;
    if (yearOrTime.size() == 4 && AllDigits(yearOrTime)) {
      year = ToInt(yearOrTime);
    } else if (ParseClock(yearOrTime, hour, minute)) {
      int nowY, nowM, nowD, h, mi, s;
      DateValueToCivil(FileTimeToDateValue(nowUtc), nowY, nowM, nowD, h, mi, s);
      year = nowY;
      const std::uint64_t tomorrow = nowUtc + 86400ULL * 10000000ULL;
      if (CivilToFileTime(year, month, day, hour, minute, 0) > tomorrow) --year;
    } else {
      continue;
    }
    const std::size_t nameStart = toks[i + 2].end + 1;
    if (nameStart > line.size()) return std::nullopt;
    std::string_view rawName = line.substr(nameStart);
    if (line[0] == 'l') rawName = rawName.substr(0, rawName.find(" -> "));
    std::optional<std::string> name = EntryName(rawName);
    if (!name) return std::nullopt;
    const std::uint64_t when = CivilToFileTime(year, month, day, hour, minute, 0);
    if (when == 0) return std::nullopt;
    FindData d;
    d.name = std::move(*name);
    d.size = *size;
    if (line[0] == 'd') {
      d.attributes = kAttrDirectory;
    } else {
      d.attributes = line[2] == 'w' ? kAttrNormal : kAttrReadOnly;
    }
    SetAllTimes(d, when);
    return d;
  }
  return std::nullopt;
}

// "MM-DD-YY" or "MM-DD-YYYY" and "HH:MM[AM|PM]", then "<DIR>" or a size, then the name.
std::optional<FindData> ParseDosLine(std::string_view line) {
  const std::vector<Token> toks = Tokens(line, 3);
  if (toks.size() < 3) return std::nullopt;
  std::string_view date = toks[0].text, clock = toks[1].text, kind = toks[2].text;
  if ((date.size() != 8 && date.size() != 10) || date[2] != '-' || date[5] != '-' ||
      !AllDigits(date.substr(0, 2)) || !AllDigits(date.substr(3, 2)) ||
      !AllDigits(date.substr(6))) {
    return std::nullopt;
  }
  int year = ToInt(date.substr(6));
  if (date.size() == 8) year += year < 70 ? 2000 : 1900;
  int hour, minute;
  std::string_view suffix = clock.size() > 5 ? clock.substr(5) : std::string_view();
  if (!ParseClock(clock.substr(0, 5), hour, minute)) return std::nullopt;
  if (!suffix.empty()) {
    const std::string s = FoldCase(suffix);
    if ((s != "am" && s != "pm") || hour < 1 || hour > 12) return std::nullopt;
    hour = hour % 12 + (s == "pm" ? 12 : 0);
  }
  const bool isDir = TextEquals(kind, "<DIR>", Compare::AnyCase);
  const std::optional<std::uint64_t> size = isDir ? 0 : ReadNumber(kind);
  if (!size) return std::nullopt;
  std::size_t nameStart = toks[2].end;
  while (nameStart < line.size() && line[nameStart] == ' ') ++nameStart;
  std::optional<std::string> name = EntryName(line.substr(nameStart));
  if (!name) return std::nullopt;
  const std::uint64_t when =
      CivilToFileTime(year, ToInt(date.substr(0, 2)), ToInt(date.substr(3, 2)), hour, minute, 0);
  if (when == 0) return std::nullopt;
  FindData d;
  d.name = std::move(*name);
  d.attributes = isDir ? kAttrDirectory : kAttrNormal;
  d.size = *size;
  SetAllTimes(d, when);
  return d;
}

}  // namespace

std::optional<FindData> ParseMlsdLine(std::string_view line) {
  const std::size_t space = line.find(' ');
  if (space == std::string_view::npos) return std::nullopt;
  std::optional<std::string> name = EntryName(line.substr(space + 1));
  if (!name) return std::nullopt;
  FindData d;
  d.name = std::move(*name);
  std::string type, perm;
  bool hasPerm = false;
  std::uint64_t create = 0;
  for (const std::string& fact : Split(line.substr(0, space), ";")) {
    const std::size_t eq = fact.find('=');
    if (eq == std::string::npos) continue;
    const std::string key = FoldCase(std::string_view(fact).substr(0, eq));
    const std::string_view value = std::string_view(fact).substr(eq + 1);
    if (key == "type") {
      type = FoldCase(value);
    } else if (key == "size") {
      const std::optional<std::uint64_t> size = ReadNumber(value);
      if (!size) return std::nullopt;
      d.size = *size;
    } else if (key == "modify") {
      SetAllTimes(d, ParseMlsdTime(value));
    } else if (key == "create") {
      create = ParseMlsdTime(value);
    } else if (key == "perm") {
      perm = FoldCase(value);
      hasPerm = true;
    }
  }
  if (type == "cdir" || type == "pdir") return std::nullopt;
  if (create) d.creationTime = create;
  if (type == "dir") {
    d.attributes = kAttrDirectory;
  } else if (hasPerm && perm.find('w') == std::string::npos &&
             perm.find('a') == std::string::npos) {
    d.attributes = kAttrReadOnly;
  } else {
    d.attributes = kAttrNormal;
  }
  return d;
}

std::optional<FindData> ParseListLine(std::string_view line, std::uint64_t nowUtc) {
  if (auto d = ParseUnixLine(line, nowUtc)) return d;
  return ParseDosLine(line);
}

ListingReader::ListingReader(ListingFormat format, std::uint64_t nowUtc, EntryHandler onEntry)
    : format_(format), nowUtc_(nowUtc), onEntry_(std::move(onEntry)) {}

void ListingReader::Feed(std::string_view bytes) {
  while (!bytes.empty()) {
    const std::size_t nl = bytes.find('\n');
    const std::string_view piece = bytes.substr(0, nl);
    if (skipping_) {
      // The rest of an overlong line is passed over up to its end.
    } else if (partial_.size() + piece.size() > kMaxListingLine) {
      skipping_ = true;
      partial_.clear();
    } else if (nl != std::string_view::npos && partial_.empty()) {
      ReadLine(piece);  // a whole line in this piece: read it where it stands
    } else {
      partial_.append(piece);
      if (nl != std::string_view::npos) {
        ReadLine(partial_);
        partial_.clear();
      }
    }
    if (nl == std::string_view::npos) return;
    skipping_ = false;
    bytes.remove_prefix(nl + 1);
  }
}

void ListingReader::Finish() {
  if (!skipping_ && !partial_.empty()) ReadLine(partial_);
  partial_.clear();
  skipping_ = false;
}

void ListingReader::ReadLine(std::string_view line) {
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  if (line.empty()) return;
  auto d = format_ == ListingFormat::Mlsd ? ParseMlsdLine(line) : ParseListLine(line, nowUtc_);
  if (d) onEntry_(std::move(*d));
}

std::vector<FindData> ParseListing(std::string_view text, ListingFormat format,
                                   std::uint64_t nowUtc) {
  std::vector<FindData> out;
  ListingReader reader(format, nowUtc, [&](FindData&& d) { out.push_back(std::move(d)); });
  reader.Feed(text);
  reader.Finish();
  return out;
}

bool MatchesSearchMask(std::string_view name, std::string_view mask) {
  if (mask.empty() || mask == "*" || mask == "*.*") return true;
  // Like() also treats '#' and '[' specially; here they stand for themselves.
  std::string pattern;
  for (char c : mask) {
    if (c == '#') {
      pattern += "[#]";
    } else if (c == '[') {
      pattern += "[[]";
    } else {
      pattern += c;
    }
  }
  return Like(name, pattern, Compare::Exact);
}

}  // namespace kelv
