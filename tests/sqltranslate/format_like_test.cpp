// Tests of Format patterns and LIKE patterns in T-SQL.
#include <gtest/gtest.h>

#include "translation_cases.h"

namespace kelv {
namespace {

TEST(Format, ExactPatternsBecomeConvertStyles) {
  const Caso casos[] = {
      {"SELECT Format(d, \"yyyymmdd\"), Format(d, \"yyyy-mm-dd\"), Format(d, \"hh:nn:ss\"), "
       "Format(d, \"hh:mm\"), Format(d, \"yyyy-mm-dd hh:nn:ss\"), Format(d, \"yymmdd\") FROM t",
       "SELECT CONVERT(varchar(8), d, 112), CONVERT(varchar(10), d, 23), "
       "CONVERT(varchar(8), d, 108), CONVERT(varchar(5), d, 108), CONVERT(varchar(19), d, 120), "
       "CONVERT(varchar(6), d, 12) FROM t"},
  };
  CompruebaTraduccion(casos, std::size(casos));
}

TEST(Format, OtherPatternsBecomeDotNetOnes) {
  const Caso casos[] = {
      // mm is the month, unless it follows an hour or comes before seconds; one letter alone
      // gets "%"; letters that are no pattern letters are escaped.
      {"SELECT Format(d, \"dd/mm/yyyy\"), Format(d, \"mmmm yyyy\"), Format(d, \"d\"), "
       "Format(d, \"m\"), Format(d, \"h:mm AM/PM\"), Format(d, \"dddd d \"\"de\"\" mmmm\"), "
       "Format(d, \"mm:ss\"), Format(d, \"yyyy Tx\") FROM t",
       "SELECT Format(d, 'dd/MM/yyyy'), Format(d, 'MMMM yyyy'), Format(d, '%d'), "
       "Format(d, '%M'), Format(d, 'h:mm tt'), Format(d, 'dddd d \"de\" MMMM'), "
       "Format(d, 'mm:ss'), Format(d, 'yyyy \\T\\x') FROM t"},
      {"SELECT Format(d, \"Short Date\"), Format(d, \"Long Date\"), Format(d, \"Medium Time\"), "
       "Format(x, \"Currency\"), Format(x, \"Standard\"), Format(x, \"Percent\"), "
       "Format(x, \"Fixed\") FROM t",
       "SELECT Format(d, 'd'), Format(d, 'D'), Format(d, 'hh:mm tt'), Format(x, 'C'), "
       "Format(x, 'N2'), Format(x, 'P2'), Format(x, 'F2') FROM t"},
      {"SELECT Format(x, \"#,##0.00\"), Format(x, \"0.0%\"), Format(x, \"#,##0.00;(#,##0.00)\"), "
       "Format(x, \"0.00E+00\") FROM t",
       "SELECT Format(x, '#,##0.00'), Format(x, '0.0%'), Format(x, '#,##0.00;(#,##0.00)'), "
       "Format(x, '0.00E+00') FROM t"},
      {"SELECT Format(x), Format(x, \">\"), Format(x, \"<\"), Format(b, \"Yes/No\"), "
       "Format(Now(), \"yyyy\"), Format(d, \"MM/yyyy\") FROM t",
       "SELECT CONVERT(nvarchar(4000), x), UPPER(x), LOWER(x), "
       "CASE WHEN b <> 0 THEN 'Yes' WHEN b = 0 THEN 'No' END, Format(GETDATE(), 'yyyy'), "
       "Format(d, 'MM/yyyy') FROM t"},
  };
  CompruebaTraduccion(casos, std::size(casos));
}

TEST(PatronesLike, TakeTSqlWildcards) {
  const Caso casos[] = {
      // Every literal of the pattern, joined with & or not; % and _ are plain characters in
      // Access.
      {"SELECT * FROM t WHERE a LIKE \"A*\" AND b LIKE \"*\" & [x] & \"?#\" AND "
       "c NOT LIKE '[!a-c]50%_x'",
       "SELECT * FROM t WHERE a LIKE 'A%' AND b LIKE CONCAT('%', [x], '_[0-9]') AND "
       "c NOT LIKE '[^a-c]50[%][_]x'"},
      // Parenthesised patterns; a pattern held by a column; classes; literals elsewhere.
      {"SELECT * FROM t WHERE d Like (\"*\" + e) AND f LIKE g AND h LIKE \"[*]x[?]\" AND "
       "i LIKE \"[a-z]*\" AND j = '*'",
       "SELECT * FROM t WHERE d Like ('%' + e) AND f LIKE g AND h LIKE '[*]x[?]' AND "
       "i LIKE '[a-z]%' AND j = '*'"},
  };
  CompruebaTraduccion(casos, std::size(casos));
}

}  // namespace
}  // namespace kelv
