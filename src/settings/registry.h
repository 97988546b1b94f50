// LeerRegistro: reads one registry value as text (all OSes).
//
// On Windows it reads the real registry. Elsewhere the registry is a file in regedit's
// export format named by the environment variable KELV_REGISTRY (default
// /etc/kelv-personal/registry.reg; a missing file is an empty registry), read afresh on
// every call.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kelv {

// Predefined root keys, with their Windows values.
inline constexpr std::uint32_t kHkeyCurrentUser = 0x80000001u;
inline constexpr std::uint32_t kHkeyLocalMachine = 0x80000002u;

// Registry value types, Windows numbering.
inline constexpr std::int32_t kRegNone = 0;
inline constexpr std::int32_t kRegSz = 1;
inline constexpr std::int32_t kRegExpandSz = 2;
inline constexpr std::int32_t kRegBinary = 3;
inline constexpr std::int32_t kRegDword = 4;
inline constexpr std::int32_t kRegMultiSz = 7;

// The value valueName (empty: the key's default value) of root\subKey as text. valueType
// receives the type the registry reports for the value; it is left as it was when the key
// or the value is missing. REG_SZ, REG_EXPAND_SZ (not expanded) and REG_BINARY give their
// bytes read as Windows-1252, less one final NUL byte; REG_DWORD gives the signed decimal
// number; every other type, a missing key or value, a value of zero bytes or one longer
// than 1,024 bytes (terminator included; string data counted in Windows-1252 bytes) gives
// the empty text. Key paths and value names compare without regard to letter case. Never
// throws.
std::string LeerRegistro(std::uint32_t root, std::string_view subKey, std::int32_t& valueType,
                         std::string_view valueName);

}  // namespace kelv
