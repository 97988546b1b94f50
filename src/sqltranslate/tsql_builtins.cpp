// The names T-SQL gives a meaning before "(" (all OSes).
#include "sqltranslate/tsql_builtins.h"

#include <algorithm>
#include <iterator>
#include <string>

namespace kelv {
namespace {

// Upper case, in ascending order.
constexpr std::string_view kNombres[] = {
    "ABS", "ACOS", "ALL", "AND", "ANY", "APPLY", "APPROX_COUNT_DISTINCT", "APP_NAME", "AS", "ASCII",
    "ASIN", "ATAN", "ATN2", "AVG", "BETWEEN", "BINARY", "BINARY_CHECKSUM", "BY", "CASE", "CAST",
    "CEILING", "CHAR", "CHARINDEX", "CHECK", "CHECKSUM", "CHECKSUM_AGG", "CHOOSE", "COALESCE",
    "COLLATE", "COLUMNPROPERTY", "COL_LENGTH", "COL_NAME", "COMPRESS", "CONCAT", "CONCAT_WS",
    "CONTAINS", "CONTAINSTABLE", "CONVERT", "COS", "COT", "COUNT", "COUNT_BIG", "CROSS",
    "CUME_DIST", "CURSOR_STATUS", "DATALENGTH", "DATEADD", "DATEDIFF", "DATEDIFF_BIG",
    "DATEFROMPARTS", "DATENAME", "DATEPART", "DATETIME2", "DATETIME2FROMPARTS", "DATETIMEFROMPARTS",
    "DATETIMEOFFSET", "DATETIMEOFFSETFROMPARTS", "DATETRUNC", "DATE_BUCKET", "DAY", "DB_ID",
    "DB_NAME", "DEC", "DECIMAL", "DECOMPRESS", "DEFAULT", "DEGREES", "DENSE_RANK", "DIFFERENCE",
    "DISTINCT", "ELSE", "EOMONTH", "ERROR_LINE", "ERROR_MESSAGE", "ERROR_NUMBER", "ERROR_PROCEDURE",
    "ERROR_SEVERITY", "ERROR_STATE", "EXCEPT", "EXISTS", "EXP", "FIRST_VALUE", "FLOAT", "FLOOR",
    "FOR", "FORMAT", "FORMATMESSAGE", "FREETEXT", "FREETEXTTABLE", "FROM", "FULL", "GETDATE",
    "GETUTCDATE", "GREATEST", "GROUPING", "GROUPING_ID", "HASHBYTES", "HAVING", "HOST_NAME",
    "IDENTITY", "IDENT_CURRENT", "IIF", "IN", "INNER", "INSERT", "INTERSECT", "INTO", "IS",
    "ISDATE", "ISJSON", "ISNULL", "ISNUMERIC", "JOIN", "JSON_MODIFY", "JSON_QUERY", "JSON_VALUE",
    "KEY", "LAG", "LAST_VALUE", "LEAD", "LEAST", "LEFT", "LEN", "LIKE", "LOG", "LOG10", "LOWER",
    "LTRIM", "MAX", "MIN", "MONTH", "NCHAR", "NEWID", "NEWSEQUENTIALID", "NOT", "NTILE", "NULLIF",
    "NUMERIC", "NVARCHAR", "OBJECTPROPERTY", "OBJECT_ID", "OBJECT_NAME", "ON", "OPENDATASOURCE",
    "OPENJSON", "OPENQUERY", "OPENROWSET", "OPENXML", "OPTION", "OR", "ORIGINAL_LOGIN", "OUTER",
    "OVER", "PARSE", "PATINDEX", "PERCENTILE_CONT", "PERCENTILE_DISC", "PERCENT_RANK", "PI",
    "PIVOT", "POWER", "QUOTENAME", "RADIANS", "RAND", "RANK", "REFERENCES", "REPLACE", "REPLICATE",
    "RETURN", "REVERSE", "RIGHT", "ROUND", "ROWCOUNT_BIG", "ROW_NUMBER", "RTRIM", "SCHEMA_ID",
    "SCHEMA_NAME", "SCOPE_IDENTITY", "SELECT", "SERVERPROPERTY", "SESSION_CONTEXT", "SET", "SIGN",
    "SIN", "SMALLDATETIMEFROMPARTS", "SOME", "SOUNDEX", "SPACE", "SQRT", "SQUARE", "STDEV",
    "STDEVP", "STR", "STRING_AGG", "STRING_ESCAPE", "STRING_SPLIT", "STUFF", "SUBSTRING", "SUM",
    "SUSER_NAME", "SUSER_SNAME", "SWITCHOFFSET", "SYSDATETIME", "SYSDATETIMEOFFSET",
    "SYSUTCDATETIME", "TABLE", "TAN", "THEN", "TIME", "TIMEFROMPARTS", "TODATETIMEOFFSET", "TOP",
    "TRANSLATE", "TRIM", "TRY_CAST", "TRY_CONVERT", "TRY_PARSE", "TYPE_ID", "TYPE_NAME", "UNICODE",
    "UNION", "UNIQUE", "UNPIVOT", "UPPER", "USER_NAME", "USING", "VALUES", "VAR", "VARBINARY",
    "VARCHAR", "VARP", "WHEN", "WHERE", "WITH", "XACT_STATE", "YEAR",
};

}  // namespace

bool ConocidoEnTSql(std::string_view nombre) {
  if (nombre.empty() || nombre.size() > 32) return false;
  std::string mayusculas(nombre);
  for (char& c : mayusculas) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  }
  return std::binary_search(std::begin(kNombres), std::end(kNombres),
                            std::string_view(mayusculas));
}

}  // namespace kelv
