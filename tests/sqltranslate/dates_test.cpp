// Tests of the date constants pass and of the date recogniser.
#include <gtest/gtest.h>

#include "sqltranslate/cambia_tipo_sql.h"
#include "sqltranslate/date_recognition.h"

namespace kelv {
namespace {

TEST(CambiaFecha, RewritesDateConstants) {
  struct Caso { const char* entrada; const char* salida; };
  const Caso casos[] = {
      // yyyymmdd, which SQL Server reads the same under any language and date format.
      {"WHERE Fecha > #12/31/2005#", "WHERE Fecha > '20051231'"},
      {"BETWEEN #1/5/2006# AND #2/5/2006#", "BETWEEN '20060105' AND '20060205'"},
      {"#12/2005#", "'20051201'"},  // a month/year is its first day
      {"sin fechas", "sin fechas"},
      {"a # b", "a # b"},
      {"#abc# #1/2/2006#", "#abc# '20060102'"},
      {"#abc#1/2/2006#", "#abc#1/2/2006#"},
      // Forms the month/day/year rebuild would garble.
      {"#2006-01-05#", "'20060105'"},
      {"#25/12/2005#", "'20051225'"},
      {"#12.31.2005#", "'20051231'"},
      {"#1/5/06# #1/5/95#", "'20060105' '19950105'"},
      // Times in 24 hours; a time alone is on the day Access gives it, 30 December 1899.
      {"#12/31/2005 10:30# #1/2/2006#", "'20051231 10:30:00' '20060102'"},
      {"#10:30:00#", "'18991230 10:30:00'"},
      {"#1/1/2024 8:05:09 AM# #12:00 AM# #12:30 PM# #9:05 PM#",
       "'20240101 08:05:09' '18991230 00:00:00' '18991230 12:30:00' '18991230 21:05:00'"},
      {"#2/30/2005# #13/13/2005#", "#2/30/2005# #13/13/2005#"},
  };
  clsCambiaTipoSQL t;
  for (const Caso& c : casos) {
    SCOPED_TRACE(c.entrada);
    EXPECT_EQ(t.CambiaFecha(c.entrada), c.salida);
  }
}

TEST(ReconoceFecha, AcceptedAndRefusedForms) {
  struct Caso { const char* texto; bool ok; const char* anio; const char* mes; const char* dia; };
  const Caso casos[] = {
      {"12/31/2005", true, "2005", "12", "31"},
      {"2/29/2008", true, "2008", "2", "29"},
      {"2/29/2007", false, "", "", ""},
      {"2/29/1900", false, "", "", ""},
      {"2/29/2000", true, "2000", "2", "29"},
      {"31/12/2005", true, "2005", "12", "31"},
      {"05/06/2005", true, "2005", "05", "06"},  // month/day first when both fit
      {"2005-12-31", true, "2005", "12", "31"},
      {"12-31-29", true, "2029", "12", "31"},
      {"12-31-30", true, "1930", "12", "31"},
      {" 1.5.2006 ", true, "2006", "1", "5"},
      {"12/2005", true, "2005", "12", ""},
      {"1/5-2006", false, "", "", ""},
      {"1/5/206", false, "", "", ""},
      {"1//2006", false, "", "", ""},
      {"abc", false, "", "", ""},
      {"", false, "", "", ""},
      {"12/31/2005 25:00", false, "", "", ""},
      {"12/31/2005 9:05 PM", true, "2005", "12", "31"},
      {"13/2005", false, "", "", ""},
  };
  for (const Caso& c : casos) {
    SCOPED_TRACE(c.texto);
    auto f = ReconoceFecha(c.texto);
    ASSERT_EQ(f.has_value(), c.ok);
    if (!f) continue;
    EXPECT_EQ(f->anio, c.anio);
    EXPECT_EQ(f->mes, c.mes);
    EXPECT_EQ(f->dia, c.dia);
  }
}

}  // namespace
}  // namespace kelv
