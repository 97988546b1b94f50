// Converting a UTC file time to local time on Linux: the zone offset localtime_r gives for
// that instant.
#include <cerrno>
#include <ctime>

#include "ftp/local_file_time.h"

namespace kelv {

bool UtcFileTimeToLocal(std::uint64_t utc, std::uint64_t& local, std::uint32_t& errorCode) {
  // Windows refuses file times with the top bit set; so does this conversion.
  if (utc >= 0x8000000000000000ULL) {
    errorCode = 87;  // invalid parameter
    return false;
  }
  constexpr std::int64_t kTicks = 10000000;
  constexpr std::int64_t kSecondsFrom1601To1970 = 11644473600LL;
  const std::int64_t seconds = static_cast<std::int64_t>(utc / kTicks) - kSecondsFrom1601To1970;
  const std::time_t t = static_cast<std::time_t>(seconds);
  std::tm tm{};
  if (!localtime_r(&t, &tm)) {
    errorCode = static_cast<std::uint32_t>(errno ? errno : EOVERFLOW);
    return false;
  }
  const std::int64_t offsetTicks = static_cast<std::int64_t>(tm.tm_gmtoff) * kTicks;
  if (offsetTicks < 0 && static_cast<std::uint64_t>(-offsetTicks) > utc) {
    errorCode = 87;  // the local time would fall before 1601
    return false;
  }
  local = static_cast<std::uint64_t>(static_cast<std::int64_t>(utc) + offsetTicks);
  return true;
}

}  // namespace kelv
