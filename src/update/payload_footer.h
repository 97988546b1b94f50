// The footer that finds payloads appended to an executable (all OSes; used on Linux, where
// an executable has no resources, and by the packer).
//
// Layout of a packed file: the installer's own bytes, then each payload's bytes one after
// the other, unchanged, then a footer at the very end. All numbers are little-endian. Every
// layout ends in the same 16 bytes (entry count, layout version, magic), so the version
// read there tells the footer's size.
//
// Layout 2, written now (280 bytes):
//   offset  size  field
//        0   224  4 entries of 56 bytes: name (8 bytes ASCII, NUL padded), offset of the
//                 payload's first byte in the file (u64), its length in bytes (u64), the
//                 SHA-256 digest of its bytes (32); unused entries are all zero
//      224     8  base size: length of the installer's own bytes before the first payload
//      232    32  the footer's own check: SHA-256 of the footer's 280 bytes with these 32
//                 bytes set to zero
//      264     4  number of entries in use (0 to 4)
//      268     4  layout version, 2
//      272     8  magic "KELVPAK1"
//
// Layout 1, written before digests were stored (120 bytes), still read: 4 entries of 24
// bytes (name, offset, length), base size at 96, count at 104, version 1 at 108, magic at
// 112. Its payloads carry no digest.
//
// A file whose last 8 bytes are not the magic carries no footer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "update/sha256.h"

namespace kelv {

inline constexpr std::uint32_t kPayloadFooterVersion = 2;  // the layout written now
inline constexpr std::size_t kPayloadFooterSize = 280;     // of layout 2
inline constexpr std::size_t kPayloadFooterSizeV1 = 120;   // of layout 1
inline constexpr std::size_t kMaxPayloads = 4;
inline constexpr std::size_t kMaxPayloadName = 8;

struct PayloadEntry {
  std::string name;          // 1 to 8 ASCII characters, e.g. "VERS"
  std::uint64_t offset = 0;  // of the first byte in the file
  std::uint64_t length = 0;  // in bytes
  std::optional<Sha256Digest> digest;  // of the payload's bytes; none in layout 1
};

struct PayloadFooter {
  std::uint32_t version = kPayloadFooterVersion;
  std::uint64_t baseSize = 0;
  std::vector<PayloadEntry> entries;
};

// The footer's size in bytes for a layout version; 0 for an unknown version.
std::size_t PayloadFooterSize(std::uint32_t version);

// The footer's bytes in the layout footer.version. More than kMaxPayloads entries, an empty
// name or one longer than kMaxPayloadName, an unknown version, or (layout 2) an entry without
// a digest throws KelvError(kErrInvalidArgument).
std::string EncodePayloadFooter(const PayloadFooter& footer);

// What the end of a file says about appended payloads.
struct FooterReading {
  enum State { kAbsent, kInvalid, kValid };
  State state = kAbsent;  // kAbsent: the file does not end in the magic
  PayloadFooter footer;   // when kValid
  std::string problem;    // when kInvalid: what is wrong with it, in plain words
};

// Reads the footer of a file of fileSize bytes from tail, the file's last
// min(fileSize, kPayloadFooterSize) bytes. The footer is invalid when its version is
// unknown, the file is too short for it, (layout 2) its own check does not match, it lists
// too many entries, an entry without a printable ASCII name or one name twice, or an entry
// or the base size reaches into the footer or beyond.
FooterReading DecodePayloadFooter(std::string_view tail, std::uint64_t fileSize);

}  // namespace kelv
