// The footer that finds payloads appended to an executable (all OSes; used on Linux, where
// an executable has no resources, and by the packer).
//
// Layout of a packed file: the installer's own bytes, then each payload's bytes one after
// the other, unchanged, then a footer of exactly kPayloadFooterSize bytes at the very end.
// All numbers are little-endian.
//
//   offset  size  field
//        0    96  4 entries of 24 bytes: name (8 bytes ASCII, NUL padded), offset of the
//                 payload's first byte in the file (u64), its length in bytes (u64);
//                 unused entries are all zero
//       96     8  base size: length of the installer's own bytes before the first payload
//      104     4  number of entries in use (0 to 4)
//      108     4  layout version, 1
//      112     8  magic "KELVPAK1"
//
// A file whose last 8 bytes are not the magic carries no payloads.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kelv {

inline constexpr std::size_t kPayloadFooterSize = 120;
inline constexpr std::size_t kMaxPayloads = 4;
inline constexpr std::size_t kMaxPayloadName = 8;

struct PayloadEntry {
  std::string name;          // 1 to 8 ASCII characters, e.g. "VERS"
  std::uint64_t offset = 0;  // of the first byte in the file
  std::uint64_t length = 0;  // in bytes
};

struct PayloadFooter {
  std::uint64_t baseSize = 0;
  std::vector<PayloadEntry> entries;
};

// The footer's bytes (exactly kPayloadFooterSize). More than kMaxPayloads entries, an empty
// name or one longer than kMaxPayloadName throws KelvError(kErrInvalidArgument).
std::string EncodePayloadFooter(const PayloadFooter& footer);

// Reads the footer from the last kPayloadFooterSize bytes of a file of fileSize bytes.
// nullopt when bytes is not a valid footer for such a file: no magic, another layout version,
// too many entries, or an entry or base size that reaches into the footer.
std::optional<PayloadFooter> DecodePayloadFooter(std::string_view bytes, std::uint64_t fileSize);

}  // namespace kelv
