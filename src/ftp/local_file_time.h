// Converting a UTC file time to local time, as the system does it (one back-end per OS).
#pragma once

#include <cstdint>

namespace kelv {

// Sets local to the local-time form of the UTC file time utc and returns true; on failure
// returns false with the system's error code in errorCode.
bool UtcFileTimeToLocal(std::uint64_t utc, std::uint64_t& local, std::uint32_t& errorCode);

}  // namespace kelv
