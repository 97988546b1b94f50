// Splitting connection strings into parts and masking their passwords (all OSes).
#include "connector/connection_string_parts.h"

#include "text/toolbox.h"

namespace kelv {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Position just past a value that starts at i with an opening quote or brace, or npos
// when it is not closed.
std::size_t SkipEnclosed(std::string_view text, std::size_t i) {
  const char close = text[i] == '{' ? '}' : text[i];
  const std::size_t found = text.find(close, i + 1);
  return found == std::string_view::npos ? found : found + 1;
}

std::string Unenclose(std::string value) {
  if (value.size() >= 2) {
    const char first = value.front();
    const char last = value.back();
    if ((first == '"' && last == '"') || (first == '\'' && last == '\'') ||
        (first == '{' && last == '}')) {
      return value.substr(1, value.size() - 2);
    }
  }
  return value;
}

}  // namespace

std::vector<ConnectionPart> SplitConnectionString(std::string_view text) {
  std::vector<ConnectionPart> parts;
  std::size_t i = 0;
  while (i < text.size()) {
    ConnectionPart part;
    part.begin = i;
    std::size_t j = i;
    while (j < text.size() && text[j] != ';' && text[j] != '=') ++j;
    if (j < text.size() && text[j] == '=') {
      part.hasEquals = true;
      part.valueBegin = j + 1;
      std::size_t k = j + 1;
      while (k < text.size() && IsBlank(text[k])) ++k;
      if (k < text.size() && (text[k] == '"' || text[k] == '\'' || text[k] == '{')) {
        const std::size_t after = SkipEnclosed(text, k);
        k = after == std::string_view::npos ? text.size() : after;
      }
      while (k < text.size() && text[k] != ';') ++k;
      part.end = k;
    } else {
      part.end = j;
      part.valueBegin = j;
    }
    part.key = Trim(std::string(text.substr(i, (part.hasEquals ? part.valueBegin - 1 : j) - i)));
    if (part.hasEquals) {
      part.value = Unenclose(Trim(std::string(text.substr(part.valueBegin, part.end - part.valueBegin))));
    }
    i = part.end < text.size() ? part.end + 1 : text.size();
    if (part.hasEquals || !part.key.empty()) parts.push_back(std::move(part));
  }
  return parts;
}

std::string ConnectionValue(std::string_view text, std::string_view key) {
  for (const ConnectionPart& part : SplitConnectionString(text)) {
    if (part.hasEquals && TextEquals(part.key, key, Compare::AnyCase)) return part.value;
  }
  return std::string();
}

std::string MaskPasswords(std::string_view text) {
  static constexpr std::string_view kPasswordKeys[] = {"pwd", "password",
                                                       "jet oledb:database password"};
  std::string out;
  std::size_t copied = 0;
  for (const ConnectionPart& part : SplitConnectionString(text)) {
    if (!part.hasEquals) continue;
    bool secret = false;
    for (std::string_view key : kPasswordKeys) secret = secret || TextEquals(part.key, key, Compare::AnyCase);
    if (!secret) continue;
    out.append(text.substr(copied, part.valueBegin - copied));
    out.append("***");
    copied = part.end;
  }
  out.append(text.substr(copied));
  return out;
}

}  // namespace kelv
