// Fuzz target: decoding and parsing a registry file, then looking values up in it.
//
// Checked: nothing crashes or throws, and every value found gives a text no longer than
// the registry buffer allows.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "settings/reg_file.h"
#include "settings/registry.h"
#include "settings/registry_value.h"
#include "text/utf8.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const kelv::RegFile file = kelv::RegFile::Parse(kelv::RegFileTextFromBytes(bytes));
  for (const char* key : {"K", "Software\\Brandel Software\\Kelv Personal", "", "a\\b"}) {
    for (const char* name : {"", "V", "PathAplicacion"}) {
      for (std::uint32_t root : {kelv::kHkeyLocalMachine, kelv::kHkeyCurrentUser}) {
        std::optional<kelv::RegStoredValue> v = file.Find(root, key, name);
        if (!v) continue;
        const std::string text = kelv::RegistryValueText(*v);
        if (kelv::CharCount(text) > kelv::kRegistryBufferBytes) std::abort();
      }
    }
  }
  return 0;
}
