// The database password kept in the first page of a Jet 3 or Jet 4 database file (.mdb)
// (all OSes; pure logic). The Linux build checks it itself, since the Access driver there
// (MDBTools) opens protected files without asking for their password.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace kelv {

// How many bytes at the start of the file JetDatabasePassword needs.
inline constexpr std::size_t kJetHeaderBytes = 0x18 + 128;

// The database password of the file whose first bytes are firstPage: "" when the database
// has none, nullopt when the bytes are not the start of a Jet 3 or Jet 4 database ("Standard
// Jet DB" at offset 4, format code 0 or 1 at 0x14) or are too short.
//
// The first page is masked from offset 0x18 on (126 bytes for Jet 3, 128 for Jet 4) with the
// RC4 key stream of the fixed key 0x6b39dac7. The password lies at 0x42: Jet 3 keeps 20 bytes
// of Windows-1252 text; Jet 4 keeps 40 bytes of UTF-16LE text further masked, byte by byte,
// with the four bytes of the whole part of the creation date (a day number kept as a double
// at 0x72). The text ends at the first NUL character.
std::optional<std::string> JetDatabasePassword(std::string_view firstPage);

}  // namespace kelv
