// Reading "key=value;key=value" connection strings, as ADO and ODBC write them (all OSes).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace kelv {

// One "key=value" part of a connection string, as byte ranges of the original text.
struct ConnectionPart {
  std::size_t begin = 0;       // first byte of the part
  std::size_t end = 0;         // one past the last byte (the ';' or the text's end)
  std::size_t valueBegin = 0;  // first byte after '=' (== end when there is no '=')
  bool hasEquals = false;
  std::string key;    // the text before '=', blanks trimmed
  std::string value;  // the text after '=', blanks trimmed, one pair of quotes or braces removed
};

// The parts of a connection string, split at ';'. A value that starts with a quote (' or ")
// or a brace runs to the matching closing one, so a ';' inside it does not split; parts
// that are empty or blank are left out.
std::vector<ConnectionPart> SplitConnectionString(std::string_view text);

// The value of the first part whose key equals key in any letter case, or "".
std::string ConnectionValue(std::string_view text, std::string_view key);

// The connection string with the value of every password part (Pwd, Password,
// Jet OLEDB:Database Password; any letter case) replaced by "***"; everything else is kept
// byte for byte.
std::string MaskPasswords(std::string_view text);

}  // namespace kelv
