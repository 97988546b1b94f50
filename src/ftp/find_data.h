// The find-data record of a remote folder search and the attribute bits it carries
// (all OSes; the same values the Windows file-search record uses).
#pragma once

#include <cstdint>
#include <string>

namespace kelv {

inline constexpr std::uint32_t kAttrReadOnly = 1;
inline constexpr std::uint32_t kAttrHidden = 2;
inline constexpr std::uint32_t kAttrSystem = 4;
inline constexpr std::uint32_t kAttrDirectory = 16;
inline constexpr std::uint32_t kAttrArchive = 32;
inline constexpr std::uint32_t kAttrNormal = 128;

// One entry found by a remote folder search. File times are 64-bit counts of 100-ns units
// since 1 Jan 1601 UTC; size is the full size in bytes.
struct FindData {
  std::uint32_t attributes = 0;
  std::uint64_t creationTime = 0;
  std::uint64_t lastAccessTime = 0;
  std::uint64_t lastWriteTime = 0;
  std::uint64_t size = 0;
  std::string name;
};

}  // namespace kelv
