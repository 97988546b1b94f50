// Registry files in regedit's export format: decoding and parsing (all OSes).
#include "settings/reg_file.h"

#include <cstdio>
#include <vector>

#include "settings/registry.h"
#include "text/cp1252.h"
#include "text/toolbox.h"
#include "text/utf8.h"

namespace kelv {
namespace {

constexpr std::string_view kHeader5 = "Windows Registry Editor Version 5.00";
constexpr std::string_view kHeader4 = "REGEDIT4";

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view TrimBlanks(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && (IsBlank(s.back()) || s.back() == '\r')) s.remove_suffix(1);
  return s;
}

bool StartsWithAnyCase(std::string_view s, std::string_view prefix) {
  return s.size() >= prefix.size() && TextEquals(s.substr(0, prefix.size()), prefix, Compare::AnyCase);
}

// Root names and abbreviations with their predefined key values.
std::optional<std::uint32_t> RootFromName(std::string_view name) {
  struct Root { std::string_view longName, shortName; std::uint32_t value; };
  static constexpr Root kRoots[] = {
      {"HKEY_CLASSES_ROOT", "HKCR", 0x80000000u},
      {"HKEY_CURRENT_USER", "HKCU", kHkeyCurrentUser},
      {"HKEY_LOCAL_MACHINE", "HKLM", kHkeyLocalMachine},
      {"HKEY_USERS", "HKU", 0x80000003u},
      {"HKEY_CURRENT_CONFIG", "HKCC", 0x80000005u},
  };
  for (const Root& r : kRoots) {
    if (TextEquals(name, r.longName, Compare::AnyCase) || TextEquals(name, r.shortName, Compare::AnyCase)) {
      return r.value;
    }
  }
  return std::nullopt;
}

// The folded lookup form of root\path: the root as hex, then each non-empty part.
std::string KeyId(std::uint32_t root, std::string_view path) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%08X", static_cast<unsigned>(root));
  std::string id(buf);
  for (const std::string& part : Split(FoldCase(path), "\\")) {
    if (!part.empty()) id.append("\\").append(part);
  }
  return id;
}

std::string ValueId(const std::string& keyId, std::string_view name) {
  return keyId + '\0' + FoldCase(name);
}

// Reads a quoted text starting at s[pos] == '"' with the escapes \\ and \" (any other
// backslash stays as it is). On success pos is just past the closing quote.
std::optional<std::string> ReadQuoted(std::string_view s, std::size_t& pos) {
  std::string out;
  std::size_t i = pos + 1;
  while (i < s.size()) {
    char c = s[i];
    if (c == '"') {
      pos = i + 1;
      return out;
    }
    if (c == '\\' && i + 1 < s.size() && (s[i + 1] == '\\' || s[i + 1] == '"')) {
      out.push_back(s[i + 1]);
      i += 2;
      continue;
    }
    out.push_back(c);
    ++i;
  }
  return std::nullopt;
}

// True when only blanks or a comment follow position pos.
bool OnlyTrailer(std::string_view s, std::size_t pos) {
  std::string_view rest = TrimBlanks(s.substr(pos));
  return rest.empty() || rest.front() == ';';
}

std::optional<std::uint32_t> ParseHex(std::string_view digits, std::size_t maxDigits) {
  if (digits.empty() || digits.size() > maxDigits) return std::nullopt;
  std::uint32_t v = 0;
  for (char c : digits) {
    int d;
    if (c >= '0' && c <= '9') d = c - '0';
    else if (c >= 'a' && c <= 'f') d = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F') d = c - 'A' + 10;
    else return std::nullopt;
    v = (v << 4) | static_cast<std::uint32_t>(d);
  }
  return v;
}

// "aa,bb,..." (blanks allowed around items, one trailing comma tolerated) as bytes.
std::optional<std::string> ParseHexBytes(std::string_view list) {
  std::string out;
  list = TrimBlanks(list);
  if (list.empty()) return out;
  if (list.back() == ',') list.remove_suffix(1);
  for (const std::string& item : Split(list, ",")) {
    std::optional<std::uint32_t> b = ParseHex(TrimBlanks(item), 2);
    if (!b) return std::nullopt;
    out.push_back(static_cast<char>(*b));
  }
  return out;
}

// Joins continuation lines (a line ending in a backslash goes on with the next line, whose
// leading blanks are dropped) and gives the logical lines.
std::vector<std::string> LogicalLines(std::string_view text) {
  std::vector<std::string> lines;
  std::string current;
  bool continuing = false;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (continuing) {
      while (!line.empty() && IsBlank(line.front())) line.remove_prefix(1);
    } else {
      current.clear();
    }
    std::string_view trimmed = TrimBlanks(line);
    bool comment = !continuing && !trimmed.empty() && trimmed.front() == ';';
    continuing = !comment && !trimmed.empty() && trimmed.back() == '\\';
    if (continuing) {
      current.append(trimmed.substr(0, trimmed.size() - 1));
    } else {
      current.append(line);
      lines.push_back(current);
    }
    start = end + 1;
  }
  if (continuing) lines.push_back(current);
  return lines;
}

}  // namespace

class RegFileParser {
 public:
  explicit RegFileParser(RegFile& file) : file_(file) {}

  void Run(std::string_view text) {
    bool first = true;
    for (const std::string& raw : LogicalLines(text)) {
      std::string_view line = TrimBlanks(raw);
      if (line.empty() || line.front() == ';') continue;
      if (first) {
        first = false;
        if (line == kHeader4) {
          version4_ = true;
          continue;
        }
        if (line == kHeader5) continue;
      }
      if (line.front() == '[') Section(line);
      else if (line.front() == '"' || line.front() == '@') Value(line);
    }
  }

 private:
  void Section(std::string_view line) {
    keyId_.reset();
    std::size_t close = line.rfind(']');
    if (close == std::string_view::npos || close < 1) return;
    std::string_view inner = line.substr(1, close - 1);
    bool remove = !inner.empty() && inner.front() == '-';
    if (remove) inner.remove_prefix(1);
    std::size_t slash = inner.find('\\');
    std::optional<std::uint32_t> root = RootFromName(inner.substr(0, slash));
    if (!root) return;
    std::string id = KeyId(*root, slash == std::string_view::npos ? std::string_view() : inner.substr(slash + 1));
    if (remove) {
      DeleteKey(id);
    } else {
      keyId_ = id;
    }
  }

  void DeleteKey(const std::string& id) {
    auto it = file_.values_.lower_bound(id);
    while (it != file_.values_.end() && it->first.compare(0, id.size(), id) == 0) {
      char next = it->first.size() > id.size() ? it->first[id.size()] : '\0';
      if (next == '\0' || next == '\\') {
        it = file_.values_.erase(it);
      } else {
        ++it;
      }
    }
  }

  void Value(std::string_view line) {
    if (!keyId_) return;
    std::string name;
    std::size_t pos = 0;
    if (line.front() == '@') {
      pos = 1;
    } else {
      std::optional<std::string> quoted = ReadQuoted(line, pos);
      if (!quoted) return;
      name = *quoted;
    }
    while (pos < line.size() && IsBlank(line[pos])) ++pos;
    if (pos >= line.size() || line[pos] != '=') return;
    ++pos;
    while (pos < line.size() && IsBlank(line[pos])) ++pos;
    std::string_view data = line.substr(pos);
    const std::string id = ValueId(*keyId_, name);

    if (!data.empty() && data.front() == '"') {
      std::size_t end = 0;
      std::optional<std::string> text = ReadQuoted(data, end);
      if (!text || !OnlyTrailer(data, end)) return;
      file_.values_[id] = RegStoredValue{kRegSz, Utf16LeFromUtf8(*text) + std::string(2, '\0')};
    } else if (!data.empty() && data.front() == '-') {
      if (OnlyTrailer(data, 1)) file_.values_.erase(id);
    } else if (StartsWithAnyCase(data, "dword:")) {
      std::optional<std::uint32_t> v = ParseHex(TrimBlanks(data.substr(6)), 8);
      if (!v) return;
      std::string bytes;
      for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<char>((*v >> (8 * i)) & 0xFF));
      file_.values_[id] = RegStoredValue{kRegDword, bytes};
    } else if (StartsWithAnyCase(data, "hex")) {
      HexValue(id, data.substr(3));
    }
  }

  // data is what follows "hex": ":aa,bb" or "(N):aa,bb".
  void HexValue(const std::string& id, std::string_view data) {
    std::int32_t type = kRegBinary;
    if (!data.empty() && data.front() == '(') {
      std::size_t close = data.find(')');
      if (close == std::string_view::npos) return;
      std::optional<std::uint32_t> n = ParseHex(data.substr(1, close - 1), 8);
      if (!n) return;
      type = static_cast<std::int32_t>(*n);
      data.remove_prefix(close + 1);
    }
    if (data.empty() || data.front() != ':') return;
    std::optional<std::string> bytes = ParseHexBytes(data.substr(1));
    if (!bytes) return;
    bool stringType = type == kRegSz || type == kRegExpandSz || type == kRegMultiSz;
    if (version4_ && stringType) {
      // REGEDIT4 files hold string data as ANSI bytes; the registry keeps UTF-16.
      *bytes = Utf16LeFromUtf8(Cp1252ToUtf8(*bytes));
    }
    file_.values_[id] = RegStoredValue{type, *bytes};
  }

  RegFile& file_;
  std::optional<std::string> keyId_;
  bool version4_ = false;
};

std::string RegFileTextFromBytes(std::string_view bytes) {
  if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
      static_cast<unsigned char>(bytes[1]) == 0xFE) {
    std::u32string cps;
    cps.reserve(bytes.size() / 2);
    for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
      char32_t u = static_cast<unsigned char>(bytes[i]) | (static_cast<unsigned char>(bytes[i + 1]) << 8);
      if (u >= 0xD800 && u <= 0xDBFF && i + 3 < bytes.size()) {
        char32_t low = static_cast<unsigned char>(bytes[i + 2]) | (static_cast<unsigned char>(bytes[i + 3]) << 8);
        if (low >= 0xDC00 && low <= 0xDFFF) {
          cps.push_back(0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00));
          i += 2;
          continue;
        }
      }
      cps.push_back(u);  // lone surrogates become U+FFFD when encoded
    }
    return EncodeUtf8(cps);
  }
  if (bytes.size() >= 3 && bytes.substr(0, 3) == "\xEF\xBB\xBF") return std::string(bytes.substr(3));
  // Valid UTF-8 survives decoding and encoding again unchanged.
  bool valid = EncodeUtf8(DecodeUtf8(bytes)) == bytes;
  return valid ? std::string(bytes) : Cp1252ToUtf8(bytes);
}

RegFile RegFile::Parse(std::string_view text) {
  RegFile file;
  RegFileParser(file).Run(text);
  return file;
}

std::optional<RegStoredValue> RegFile::Find(std::uint32_t root, std::string_view subKey,
                                            std::string_view valueName) const {
  auto it = values_.find(ValueId(KeyId(root, subKey), valueName));
  if (it == values_.end()) return std::nullopt;
  return it->second;
}

}  // namespace kelv
