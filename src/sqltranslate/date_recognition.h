// Recognition of the dates that Access writes between "#" characters (all OSes).
//
// The recogniser is fixed and independent of the machine's locale. Accepted forms (blanks
// around the whole text are ignored; all date separators of one text are the same, one of
// "/", "-" or "."; a year has two or four digits, a two-digit year 00-29 meaning 2000-2029
// and 30-99 meaning 1930-1999, as Access reads them; four-digit years run from 100 to 9999):
//   month/day/year       12/31/2005, 1-5-06, 2.29.2008   (the Access order, tried first)
//   day/month/year       31/12/2005                       (only when month/day is impossible)
//   year/month/day       2005-12-31, 2005/1/5             (four-digit year first)
//   month/year           12/2005, 3/06                    (two pieces)
//   time only            10:30, 10:30:15, 9:05 PM
// Any date form may be followed, after one or more blanks, by a time: H:MM or H:MM:SS
// (hours 0-23) with an optional AM or PM (hours 1-12). Days are checked against the month,
// leap years included.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kelv {

// A recognised date, its pieces kept as they were written (a two-digit year is widened to
// four digits).
struct FechaAccess {
  enum class Forma { Completa, MesAnio, SoloHora };
  Forma forma = Forma::Completa;
  std::string anio, mes, dia;  // empty for SoloHora; dia empty for MesAnio
  std::string hora;            // the time as written, without surrounding blanks, or empty
};

// The date held by text, or nothing when text is not one of the forms above.
std::optional<FechaAccess> ReconoceFecha(std::string_view text);

}  // namespace kelv
