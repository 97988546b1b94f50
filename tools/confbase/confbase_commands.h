// The commands of the confbase tool: enciphered connection description files and branding
// files (all OSes). main.cpp only converts the command line and prints the result.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kelv {

// The key connection description files are enciphered with when the caller gives none.
inline constexpr std::string_view kBuiltInFileKey = "QqRrSs86420975";

// What a command gives back: the exit status, the bytes for standard output and a
// one-line message for standard error (empty when there is none).
struct ConfbaseResult {
  int exitCode = 0;
  std::string out;
  std::string err;
};

// Runs one confbase command; args are the arguments after the program name, as UTF-8.
// Never throws.
ConfbaseResult RunConfbase(const std::vector<std::string>& args);

// A NombreProducto value for the branding file that deciphers (DecipherProductName) to
// name, using only characters that survive the file (no NUL, CR, LF or Ctrl-Z) and as few
// control characters as the filler markers allow; nullopt when no such value exists.
std::optional<std::string> EncipherProductName(std::string_view name);

// The bytes of a branding file (Windows-1252, CR LF) for the product name and, when
// registryPath is given, RutaDeRegistro, checked by reading them back the way the start-up
// does. The default product name, which has no enciphered form, is written by leaving
// NombreProducto out. On failure, nullopt and a one-line reason in error.
std::optional<std::string> BrandingFileBytes(std::string_view name,
                                             const std::optional<std::string>& registryPath,
                                             std::string& error);

// The text of --help.
std::string ConfbaseHelp();

}  // namespace kelv
