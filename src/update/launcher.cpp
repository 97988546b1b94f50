// Command lines and URIs for starting the hand-over programs (all OSes).
#include "update/launcher.h"

namespace kelv {

std::string WindowsCommandLine(std::string_view program, std::string_view argument) {
  std::string line = "\"" + std::string(program) + "\"";
  if (!argument.empty()) line += " " + std::string(argument);
  return line;
}

std::string ExplorerCommandLine(std::string_view path) {
  return "Explorer.EXE /select, \"" + std::string(path) + "\"";
}

std::string FileUri(std::string_view path) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string uri = "file://";
  for (unsigned char c : path) {
    const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                       (c >= '0' && c <= '9') || c == '-' || c == '.' || c == '_' ||
                       c == '~' || c == '/';
    if (plain) {
      uri.push_back(static_cast<char>(c));
    } else {
      uri.push_back('%');
      uri.push_back(kHex[c >> 4]);
      uri.push_back(kHex[c & 15]);
    }
  }
  return uri;
}

}  // namespace kelv
