// Helpers shared by the FTP tests that run against a real server (all OSes).
#pragma once

#include <cstddef>
#include <string>

#include "platform/files.h"

namespace kelv {

// The value of an environment variable, or "".
inline std::string Env(const char* name) {
  const auto v = GetEnv(name);
  return v ? *v : std::string();
}

// n bytes of a fixed pattern that holds every byte value.
inline std::string Bytes(std::size_t n) {
  std::string s(n, '\0');
  for (std::size_t i = 0; i < n; ++i) s[i] = static_cast<char>((i * 7 + i / 256) & 0xFF);
  return s;
}

// True when the program runs under Wine (with_ftp_server.sh --wine says so), whose WinINet
// differs from Windows' in ways the tests name where they meet them.
inline bool UnderWine() { return !Env("KELV_FTP_UNDER_WINE").empty(); }

#ifdef _WIN32
inline constexpr bool kWindows = true;
#else
inline constexpr bool kWindows = false;
#endif

}  // namespace kelv
