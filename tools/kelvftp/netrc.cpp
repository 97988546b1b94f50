// Logins from a .netrc file (all OSes, pure).
#include "netrc.h"

#include <algorithm>
#include <vector>

#include "text/toolbox.h"

namespace kelv {
namespace {

// Splits the text into tokens, dropping macro definitions.
std::vector<std::string> Tokens(std::string_view text) {
  std::vector<std::string> out;
  std::size_t i = 0;
  auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  while (i < text.size()) {
    while (i < text.size() && blank(text[i])) ++i;
    if (i >= text.size()) break;
    std::string token;
    if (text[i] == '"') {
      for (++i; i < text.size() && text[i] != '"'; ++i) {
        if (text[i] == '\\' && i + 1 < text.size()) ++i;
        token += text[i];
      }
      ++i;
    } else {
      while (i < text.size() && !blank(text[i])) token += text[i++];
    }
    if (token == "macdef") {
      // The definition runs to the first empty line.
      const std::size_t end = text.find("\n\n", i);
      const std::size_t endCr = text.find("\n\r\n", i);
      i = std::min(end == std::string_view::npos ? text.size() : end + 2,
                   endCr == std::string_view::npos ? text.size() : endCr + 3);
      continue;
    }
    out.push_back(std::move(token));
  }
  return out;
}

}  // namespace

std::optional<NetrcLogin> FindNetrcLogin(std::string_view text, std::string_view host,
                                         std::string_view user) {
  struct Entry {
    bool isDefault = false;
    std::string machine;
    NetrcLogin login;
  };
  std::vector<Entry> entries;
  const std::vector<std::string> tokens = Tokens(text);
  for (std::size_t i = 0; i < tokens.size(); ++i) {
    const std::string& t = tokens[i];
    const bool hasValue = i + 1 < tokens.size();
    if (t == "default") {
      entries.push_back(Entry{true, "", {}});
    } else if (t == "machine" && hasValue) {
      entries.push_back(Entry{false, tokens[++i], {}});
    } else if ((t == "login" || t == "password" || t == "account") && hasValue) {
      const std::string& value = tokens[++i];
      if (entries.empty()) continue;
      if (t == "login") entries.back().login.login = value;
      if (t == "password") entries.back().login.password = value;
    }
  }
  for (bool wantDefault : {false, true}) {
    for (const Entry& e : entries) {
      if (e.isDefault != wantDefault) continue;
      if (!wantDefault && !TextEquals(e.machine, host, Compare::AnyCase)) continue;
      if (!user.empty() && e.login.login != user) continue;
      return e.login;
    }
  }
  return std::nullopt;
}

}  // namespace kelv
