// Splitting a server text "host" or "host:port" (all OSes, pure).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kelv {

inline constexpr std::uint16_t kDefaultFtpPort = 21;

struct ServerAddress {
  std::string host;
  std::uint16_t port = kDefaultFtpPort;
};

// "host:port" gives the host and that port (1..65535); a text without a port, or whose part
// after the last ':' is not such a number, is all host with the FTP port 21. "[v6addr]:port"
// and a bare IPv6 address are understood too.
ServerAddress SplitServerAddress(std::string_view server);

}  // namespace kelv
