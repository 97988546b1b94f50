// Fuzz target: the tagged-text reader and writer on arbitrary text, tag and content.
//
// The input is split at the first two 0xFF bytes into text, tag and content. Checked:
// nothing crashes; writing a block and reading it back gives the content whenever the
// content can be read back at all (no brackets, no line break at either end) and the tag
// is a plain name.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "settings/tagged_text.h"
#include "text/cp1252.h"
#include "text/toolbox.h"

namespace {

bool StartsOrEndsWithLineBreak(const std::string& s) {
  return !s.empty() && (s.front() == '\r' || s.front() == '\n' || s.back() == '\r' || s.back() == '\n');
}

bool PlainTag(const std::string& tag) {
  if (tag.empty() || kelv::Trim(tag) == "*") return false;
  return tag.find_first_of("[]/") == std::string::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view in(reinterpret_cast<const char*>(data), size);
  std::size_t a = in.find('\xFF');
  std::size_t b = a == std::string_view::npos ? a : in.find('\xFF', a + 1);
  // Bytes on disk are Windows-1252: the readers only ever see decoded text.
  const std::string text = kelv::Cp1252ToUtf8(in.substr(0, a));
  const std::string tag = a == std::string_view::npos ? "A" : kelv::Cp1252ToUtf8(in.substr(a + 1, b - a - 1));
  const std::string content = b == std::string_view::npos ? "" : kelv::Cp1252ToUtf8(in.substr(b + 1));

  (void)kelv::LeerBloqueTexto(text, tag);
  (void)kelv::LeerBloqueTexto(text, "*");
  const std::string written = kelv::GuardoBloqueTexto(text, tag, content);
  if (PlainTag(tag) && content.find_first_of("[]") == std::string::npos &&
      !StartsOrEndsWithLineBreak(content) && kelv::Trim(tag) == tag) {
    if (kelv::LeerBloqueTexto(written, tag) != content) std::abort();
  }
  return 0;
}
