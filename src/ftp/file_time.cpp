// Conversions between file times, calendar dates and date values (all OSes, pure).
#include "ftp/file_time.h"

#include <cmath>

namespace kelv {
namespace {

constexpr std::int64_t kDaysFrom1601To1970 = 134774;
constexpr std::int64_t kTicksPerSecond = 10000000;

// Days since 1 Jan 1970 of a civil date (H. Hinnant's algorithm).
std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

void CivilFromDays(std::int64_t z, int& y, int& m, int& d) {
  z += 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  y = static_cast<int>(static_cast<std::int64_t>(yoe) + era * 400 + (m <= 2));
}

bool IsRealDate(int year, int month, int day) {
  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12 || day < 1) return false;
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return day <= kDays[month - 1] + (month == 2 && leap ? 1 : 0);
}

}  // namespace

double FileTimeToDateValue(std::uint64_t fileTime) {
  return (static_cast<double>(fileTime) / 10000.0) / 86400000.0 - 109205.0;
}

std::uint64_t CivilToFileTime(int year, int month, int day, int hour, int minute, int second) {
  if (year < 1601 || !IsRealDate(year, month, day) || hour < 0 || hour > 23 || minute < 0 ||
      minute > 59 || second < 0 || second > 60) {
    return 0;
  }
  const std::int64_t days = DaysFromCivil(year, static_cast<unsigned>(month),
                                          static_cast<unsigned>(day)) + kDaysFrom1601To1970;
  const std::int64_t seconds = days * 86400 + hour * 3600 + minute * 60 + second;
  return static_cast<std::uint64_t>(seconds) * kTicksPerSecond;
}

void DateValueToCivil(double dateValue, int& year, int& month, int& day, int& hour,
                      int& minute, int& second) {
  const auto total = static_cast<std::int64_t>(std::llround(dateValue * 86400.0));
  std::int64_t days = total / 86400;
  std::int64_t rest = total % 86400;
  if (rest < 0) rest += 86400, --days;
  // Day 0 is 30 Dec 1899, which is 25,569 days before 1 Jan 1970.
  CivilFromDays(days - 25569, year, month, day);
  hour = static_cast<int>(rest / 3600);
  minute = static_cast<int>(rest / 60 % 60);
  second = static_cast<int>(rest % 60);
}

std::uint64_t UnixSecondsToFileTime(std::int64_t seconds) {
  return static_cast<std::uint64_t>(seconds + kDaysFrom1601To1970 * 86400) * kTicksPerSecond;
}

}  // namespace kelv
