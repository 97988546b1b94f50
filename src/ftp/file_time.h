// Conversions between file times, calendar dates and date values (all OSes, pure).
//
// A file time counts 100-ns units since 1 Jan 1601 00:00; a date value counts days (as a
// double, the fraction being the time of day) since 30 Dec 1899 00:00.
#pragma once

#include <cstdint>

namespace kelv {

// The date value of a (local) file time: (fileTime / 10,000) / 86,400,000 - 109,205.
double FileTimeToDateValue(std::uint64_t fileTime);

// The file time of a calendar date and time of day (proleptic Gregorian), or 0 when the
// date is before 1601 or not a real date.
std::uint64_t CivilToFileTime(int year, int month, int day, int hour, int minute, int second);

// The calendar date and time of a date value (rounded to the second).
void DateValueToCivil(double dateValue, int& year, int& month, int& day, int& hour,
                      int& minute, int& second);

// File time of a count of seconds since 1 Jan 1970 UTC.
std::uint64_t UnixSecondsToFileTime(std::int64_t seconds);

}  // namespace kelv
