// Registry files in regedit's export format: decoding and parsing (all OSes).
//
// Accepted: the headers "Windows Registry Editor Version 5.00" and "REGEDIT4" (a file
// without either is read as version 5.00); sections [HKEY_LOCAL_MACHINE\...] and the other
// root names or their abbreviations (HKLM, HKCU, HKCR, HKU, HKCC); [-...] deletes a key
// and everything below it, "name"=- deletes one value, both in file order; "name"="text"
// and @="text" with the escapes \\ and \"; dword:XXXXXXXX; hex:.. (REG_BINARY) and
// hex(N):.. with N in hexadecimal; a line ending in a backslash continues on the next;
// lines starting with ';' are comments. Lines that do not parse are skipped.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "settings/registry_value.h"

namespace kelv {

// The text of a registry file's bytes: UTF-16LE after a byte-order mark FF FE (as regedit
// 5 exports), UTF-8 after EF BB BF or when the bytes are valid UTF-8, Windows-1252
// otherwise. The result is UTF-8.
std::string RegFileTextFromBytes(std::string_view bytes);

// The values of a registry file, looked up the way the registry does: key paths and value
// names compare without regard to letter case, and empty parts of a key path (doubled,
// leading or trailing backslashes) are ignored.
class RegFile {
 public:
  // Parses the text of a registry file (as RegFileTextFromBytes gives it). Never throws
  // for any input; what does not parse is skipped.
  static RegFile Parse(std::string_view text);

  // The value valueName (empty: the default value "@") of root\subKey, as stored.
  std::optional<RegStoredValue> Find(std::uint32_t root, std::string_view subKey,
                                     std::string_view valueName) const;

  // Number of values held.
  std::size_t Size() const { return values_.size(); }

 private:
  // Key: folded root-and-path, a NUL, then the folded value name.
  std::map<std::string, RegStoredValue> values_;
  friend class RegFileParser;
};

}  // namespace kelv
