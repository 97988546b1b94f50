// Registry value data to LeerRegistro's text (all OSes).
#include "settings/registry_value.h"

#include "settings/registry.h"
#include "text/cp1252.h"
#include "text/utf8.h"

namespace kelv {
namespace {

bool IsStringType(std::int32_t type) {
  return type == kRegSz || type == kRegExpandSz || type == kRegMultiSz;
}

// Windows-1252 bytes of UTF-16LE data, one byte per character.
std::string AnsiFromUtf16Le(std::string_view data) {
  std::string out;
  out.reserve(data.size() / 2 + 1);
  auto unit = [&](std::size_t i) -> char32_t {
    char32_t lo = static_cast<unsigned char>(data[i]);
    char32_t hi = i + 1 < data.size() ? static_cast<unsigned char>(data[i + 1]) : 0;
    return lo | (hi << 8);
  };
  for (std::size_t i = 0; i < data.size(); i += 2) {
    char32_t cp = unit(i);
    if (cp >= 0xD800 && cp <= 0xDBFF && i + 3 < data.size()) {
      char32_t low = unit(i + 2);
      if (low >= 0xDC00 && low <= 0xDFFF) i += 2;  // a pair is one character: one '?'
      out.push_back('?');
      continue;
    }
    int b = CodePointToCp1252(cp);
    out.push_back(b < 0 ? '?' : static_cast<char>(b));
  }
  return out;
}

}  // namespace

std::string RegistryAnsiBytes(const RegStoredValue& value) {
  return IsStringType(value.type) ? AnsiFromUtf16Le(value.data) : value.data;
}

std::string RegistryValueText(const RegStoredValue& value) {
  std::string bytes = RegistryAnsiBytes(value);
  if (bytes.empty() || bytes.size() > kRegistryBufferBytes) return std::string();
  if (bytes.back() == '\0') bytes.pop_back();
  switch (value.type) {
    case kRegSz:
    case kRegExpandSz:
    case kRegBinary:
      return Cp1252ToUtf8(bytes);
    case kRegDword: {
      std::uint32_t v = 0;
      for (std::size_t i = 0; i < 4 && i < bytes.size(); ++i) {
        v |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[i])) << (8 * i);
      }
      return std::to_string(static_cast<std::int32_t>(v));
    }
    default:
      return std::string();
  }
}

std::string Utf16LeFromUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size() * 2);
  auto put = [&](char32_t u) {
    out.push_back(static_cast<char>(u & 0xFF));
    out.push_back(static_cast<char>((u >> 8) & 0xFF));
  };
  for (char32_t cp : DecodeUtf8(text)) {
    if (cp >= 0x10000) {
      cp -= 0x10000;
      put(0xD800 + (cp >> 10));
      put(0xDC00 + (cp & 0x3FF));
    } else {
      put(cp);
    }
  }
  return out;
}

}  // namespace kelv
