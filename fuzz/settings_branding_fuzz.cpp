// Fuzz target: writing a branding file for any product name and registry path.
//
// The input is split at the first 0xFF byte into name and registry path (both taken as
// UTF-8, invalid bytes included). Checked: nothing crashes; a file that is written holds
// none of the bytes a text file cannot carry inside the enciphered name, and reads back to
// the name and path through the start-up rule.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "confbase_commands.h"
#include "settings/branding.h"
#include "settings/tagged_text.h"
#include "text/cp1252.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > 512) return 0;
  std::string_view in(reinterpret_cast<const char*>(data), size);
  std::size_t cut = in.find('\xFF');
  const std::string name(in.substr(0, cut));
  std::optional<std::string> registry;
  if (cut != std::string_view::npos) registry = std::string(in.substr(cut + 1));

  std::string error;
  std::optional<std::string> bytes = kelv::BrandingFileBytes(name, registry, error);
  if (!bytes) {
    if (error.empty()) std::abort();
    return 0;
  }
  const std::string text = kelv::Cp1252ToUtf8(*bytes);
  const std::string v = kelv::LeerBloqueTexto(text, "NombreProducto");
  if (kelv::DecipherProductName(v) != name) std::abort();
  if (registry && kelv::LeerBloqueTexto(text, "RutaDeRegistro") != *registry) std::abort();
  if (kelv::Utf8ToCp1252(v).find_first_of(std::string("\0\r\n\x1A", 4)) != std::string::npos) std::abort();
  return 0;
}
