// Splitting a server text "host" or "host:port" (all OSes, pure).
#include "ftp/server_address.h"

#include <cctype>

namespace kelv {

ServerAddress SplitServerAddress(std::string_view server) {
  ServerAddress out;
  out.host = std::string(server);
  const std::size_t colon = server.rfind(':');
  if (colon == std::string_view::npos) return out;
  std::string_view host = server.substr(0, colon);
  std::string_view port = server.substr(colon + 1);
  // A bare IPv6 address holds several colons and no port.
  if (host.find(':') != std::string_view::npos &&
      !(host.size() > 1 && host.front() == '[' && host.back() == ']')) {
    return out;
  }
  if (port.empty() || port.size() > 5) return out;
  unsigned long value = 0;
  for (char c : port) {
    if (!std::isdigit(static_cast<unsigned char>(c))) return out;
    value = value * 10 + static_cast<unsigned long>(c - '0');
  }
  if (value == 0 || value > 65535) return out;
  if (host.size() > 1 && host.front() == '[' && host.back() == ']') {
    host = host.substr(1, host.size() - 2);
  }
  out.host = std::string(host);
  out.port = static_cast<std::uint16_t>(value);
  return out;
}

}  // namespace kelv
