// How one registry value, as the registry stores it, becomes the text LeerRegistro returns
// (all OSes; shared by the Windows registry back-end and the registry-file back-end).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kelv {

// The read buffer's size: values whose data (terminator included) is longer give nothing.
inline constexpr std::size_t kRegistryBufferBytes = 1024;

// A value as the registry keeps it: its type and its data bytes. String types (REG_SZ,
// REG_EXPAND_SZ, REG_MULTI_SZ) hold UTF-16LE code units, usually with a final NUL unit;
// every other type holds raw bytes.
struct RegStoredValue {
  std::int32_t type = 0;
  std::string data;
};

// The bytes an ANSI (Windows-1252) query returns for a stored value: string types are
// converted unit by unit to Windows-1252 (characters it cannot hold become '?', a final odd
// byte counts as one unit), other types are returned as stored.
std::string RegistryAnsiBytes(const RegStoredValue& value);

// The text of a stored value: its ANSI bytes, nothing when there are none or more than
// kRegistryBufferBytes of them, less one final NUL byte; then REG_SZ, REG_EXPAND_SZ (not
// expanded) and REG_BINARY read as Windows-1252 text, REG_DWORD as the signed decimal
// number of its first four bytes (little-endian, missing bytes 0), every other type as the
// empty text.
std::string RegistryValueText(const RegStoredValue& value);

// UTF-16LE bytes of a UTF-8 text (no terminator added).
std::string Utf16LeFromUtf8(std::string_view text);

}  // namespace kelv
