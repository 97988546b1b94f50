// Tests of the VBA functions of Access queries that T-SQL spells otherwise, the exponent
// operator, and the null test where a value is needed.
#include <gtest/gtest.h>

#include "translation_cases.h"

namespace kelv {
namespace {

TEST(LlamadasDeVba, TakeTheirTSqlSpellings) {
  const Caso casos[] = {
      {"SELECT Now(), Time(), DateValue([x]), TimeValue(x), LCase(n), UCase(n) FROM t",
       "SELECT GETDATE(), CAST(GETDATE() AS time), CAST([x] AS date), CAST(x AS time), "
       "LOWER(n), UPPER(n) FROM t"},
      {"SELECT Chr(65), ChrW(8364), Asc(c), AscW(c), Sqr(x), Atn(x), StrReverse(s) FROM t",
       "SELECT CHAR(65), NCHAR(8364), ASCII(c), UNICODE(c), SQRT(x), ATAN(x), REVERSE(s) FROM t"},
      {"SELECT Hour(d), Minute(d), Second(d) FROM t",
       "SELECT DATEPART(hour, d), DATEPART(minute, d), DATEPART(second, d) FROM t"},
      // Fix truncates toward zero (Fix(-8.4) is -8; Int, FLOOR, gives -9).
      {"SELECT Fix(-8.4), CDbl(x), CCur(x), CByte(x), CDec(x), CVar(x) FROM t",
       "SELECT (SIGN(-8.4) * FLOOR(ABS(-8.4))), CAST(x AS float), CAST(x AS money), "
       "CAST(ROUND(x, 0) AS tinyint), CAST(x AS decimal(38,10)), (x) FROM t"},
      // Str writes a blank where the sign of a positive number would go.
      {"SELECT StrConv(a, 1), StrConv(a, 2), Str(x) FROM t",
       "SELECT UPPER(a), LOWER(a), (IIF(x < 0, '', ' ') + CONVERT(nvarchar(40), x)) FROM t"},
      {"SELECT LCase(UCase(Trim(a))), Hour(Now()) FROM t",
       "SELECT LOWER(UPPER(RTrim(LTrim(a)))), DATEPART(hour, GETDATE()) FROM t"},
      // The "$" spellings are the same functions.
      {"SELECT Left$(a, 2), Mid$(a, 2, 3), Trim$(a), UCase$(a), Format$(d, \"yyyy\") FROM t",
       "SELECT Left(a, 2), SUBSTRING(a, 2, 3), RTrim(LTrim(a)), UPPER(a), Format(d, 'yyyy') "
       "FROM t"},
      // T-SQL has no interval "h"; DateDiff's "w" counts whole weeks.
      {"SELECT DatePart(\"h\", d), DateAdd(\"h\", 1, d), DateDiff(\"h\", a, b), "
       "DateDiff(\"w\", a, b), DateDiff(\"ww\", a, b) FROM t",
       "SELECT DatePart(hour, d), DateAdd(hour, 1, d), DateDiff(hour, a, b), "
       "(DATEDIFF(day, a, b) / 7), datediff(ww, a, b) FROM t"},
      // A name that only ends like one, or is qualified by a schema, is another function.
      {"SELECT MyHour(d), dbo.Hour(d), Now FROM t", "SELECT MyHour(d), dbo.Hour(d), Now FROM t"},
  };
  CompruebaTraduccion(casos, std::size(casos));
}

TEST(LlamadasDeVba, DateSerialRollsOverAsAccessDoes) {
  const Caso casos[] = {
      {"SELECT DateSerial(Year(d), Month(d), 1), DateSerial(2005, 1, 31), "
       "DateSerial(2004, 2, 29), DateSerial(5, 2, 3) FROM t",
       "SELECT DATEFROMPARTS(Year(d), Month(d), 1), DATEFROMPARTS(2005, 1, 31), "
       "DATEFROMPARTS(2004, 2, 29), DATEFROMPARTS(2005, 2, 3) FROM t"},
      // The last day of the month, a 29 February that is not, a 13th month.
      {"SELECT DateSerial(Year(d), Month(d) + 1, 0), DateSerial(2005, 2, 29), "
       "DateSerial(45, 13, 1) FROM t",
       "SELECT DATEADD(day, (0) - 1, DATEADD(month, (Month(d) + 1) - 1, "
       "DATEFROMPARTS(Year(d), 1, 1))), DATEADD(day, (29) - 1, DATEADD(month, (2) - 1, "
       "DATEFROMPARTS(2005, 1, 1))), DATEADD(day, (1) - 1, DATEADD(month, (13) - 1, "
       "DATEFROMPARTS(1945, 1, 1))) FROM t"},
  };
  CompruebaTraduccion(casos, std::size(casos));
}

TEST(LlamadasDeVba, InStrFindsTextNotPatterns) {
  const Caso casos[] = {
      // The rule's PATINDEX stays where it reads the search text right; elsewhere CHARINDEX,
      // with the arguments in its order and the start argument last.
      {"SELECT InStr(a,'x'), InStr(a, 'x'), InStr(a, b), InStr(3, a, 'x'), InStr(a, '50%'), "
       "InStr(1, a, b, 1) FROM t",
       "SELECT PATINDEX('%x%',a), CHARINDEX('x', a), CHARINDEX(b, a), CHARINDEX('x', a, 3), "
       "CHARINDEX('50%', a), CHARINDEX(b, a, 1) FROM t"},
  };
  CompruebaTraduccion(casos, std::size(casos));
}

TEST(LlamadasDeVba, NzIsCoalesceAndGivesWhatItsPlaceNeeds) {
  const Caso casos[] = {
      // Alone, or where a text is wanted, Nz(x) gives a zero-length text, as in Access. (A
      // comparison standing as a value gives 1 or 0.)
      {"SELECT Nz(a, 0), Nz(a, \"none\"), Nz(a), Nz(a) & \"x\", Nz(b) = 'x', Nz(a) AS z FROM t",
       "SELECT COALESCE(a, 0), COALESCE(a, 'none'), COALESCE(a, ''), CONCAT(COALESCE(a, ''), 'x'), "
       "IIF(COALESCE(b, '') = 'x',1,0), COALESCE(a, '') AS z FROM t"},
      // Where a number is wanted, 0.
      {"SELECT Nz(a) + 1, 2 * Nz(c), Sum(Nz(a)), Nz(a) = 0, 0 < Nz(a), Nz(d) Mod 2 FROM t",
       "SELECT COALESCE(a, 0) + 1, 2 * COALESCE(c, 0), Sum(COALESCE(a, 0)), "
       "IIF(COALESCE(a, 0) = 0,1,0), IIF(0 < COALESCE(a, 0),1,0), COALESCE(d, 0) % 2 FROM t"},
  };
  CompruebaTraduccion(casos, std::size(casos));
}

TEST(Potencias, BecomePowerOfAFloat) {
  const Caso casos[] = {
      // ^ binds tighter than the sign and takes its operands from left to right.
      {"SELECT a ^ 2, 2^-1, -2^2, x^y^z FROM t",
       "SELECT POWER(CAST(a AS float), 2), POWER(CAST(2 AS float), -1), "
       "-POWER(CAST(2 AS float), 2), POWER(CAST(POWER(CAST(x AS float), y) AS float), z) "
       "FROM t"},
      {"SELECT (a+b)^(c^2), Sqr(a^2 + b^2), Abs(a)^0.5 FROM t",
       "SELECT POWER(CAST((a+b) AS float), (POWER(CAST(c AS float), 2))), "
       "SQRT(POWER(CAST(a AS float), 2) + POWER(CAST(b AS float), 2)), "
       "POWER(CAST(Abs(a) AS float), 0.5) FROM t"},
      {"SELECT '2^3', [a^b] FROM t", "SELECT '2^3', [a^b] FROM t"},
  };
  CompruebaTraduccion(casos, std::size(casos));
}

TEST(IsNull, IsAConditionWhereOneStandsAndAValueElsewhere) {
  const Caso casos[] = {
      {"SELECT IsNull(a) AS n, IsNull(b) + 1 AS m FROM t "
       "WHERE IsNull(b) AND Not IsNull(c) OR (IsNull(e) AND f)",
       "SELECT IIF(a IS NULL,1,0) AS n, IIF(b IS NULL,1,0) + 1 AS m FROM t "
       "WHERE b IS NULL  AND Not c IS NULL OR (e IS NULL  AND f=1)"},
      // The conditions of IIF and Switch are conditions; Switch's values are values.
      {"SELECT IIf(IsNull(d), 1, 0), Switch(IsNull(a), 1, b > 2, IsNull(c), True, 0) FROM t",
       "SELECT IIF(d IS NULL , 1, 0), (Case  When a IS NULL Then  1 When b > 2 Then  "
       "IIF(c IS NULL,1,0) Else  0 End) FROM t"},
      {"SELECT * FROM t WHERE IsNull(a) = True", "SELECT * FROM t WHERE IIF(a IS NULL,1,0) = 1"},
  };
  CompruebaTraduccion(casos, std::size(casos));
}

}  // namespace
}  // namespace kelv
