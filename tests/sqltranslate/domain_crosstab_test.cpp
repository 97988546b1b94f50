// Tests of domain functions (scalar subqueries) and crosstabs (PIVOT).
#include <gtest/gtest.h>

#include "translation_cases.h"

namespace kelv {
namespace {

TEST(FuncionesDeDominio, BecomeSubqueriesTranslatedOnTheirOwn) {
  const Caso casos[] = {
      {"SELECT DLookup(\"Nombre\", \"Personas\", \"Legajo = 5\"), DCount(\"*\", \"Marcas\"), "
       "DSum(\"[Horas]*2\", \"Marcas\", \"Activo\") FROM t",
       "SELECT (SELECT TOP 1 Nombre FROM Personas WHERE Legajo = 5), "
       "(SELECT COUNT(*) FROM Marcas), (SELECT SUM([Horas]*2) FROM Marcas WHERE Activo=1) FROM t"},
      // A name with a blank is bracketed; an empty criterion is none; Forms references in a
      // criterion are parameters; DFirst and DLast return any record, as DLookup.
      {"SELECT DMax(\"Fecha\", \"Order Details\", \"Fecha < #1/1/2005#\"), "
       "DMin(\"x\", \"[t]\", \"\"), DAvg(\"x\", \"t\", \"a = Forms!f!c\"), DFirst(\"x\", \"t\"), "
       "DLast(\"x\", \"t\") FROM u",
       "SELECT (SELECT MAX(Fecha) FROM [Order Details] WHERE Fecha < '20050101'), "
       "(SELECT MIN(x) FROM [t]), (SELECT AVG(CAST(x AS float)) FROM t WHERE a = @f_c), "
       "(SELECT TOP 1 x FROM t), (SELECT TOP 1 x FROM t) FROM u"},
      {"SELECT * FROM t WHERE DCount(\"*\", \"Licencias\", \"Legajo = 5 AND Vigente\") > 0 "
       "AND Activo",
       "SELECT * FROM t WHERE (SELECT COUNT(*) FROM Licencias WHERE Legajo = 5 AND Vigente=1) "
       "> 0 AND Activo=1"},
      // A criterion joined at run time with the row's values: the values are the columns of
      // the one table around the call (quotes and # around them go); parameters stay.
      {"SELECT DLookup(\"Desc\", \"Sectores\", \"Id = \" & [IdSector]), "
       "DSum(\"x\", \"[Obras Sociales]\", \"Cod = '\" & E.Cod & \"' AND F < #\" & [Alta] & \"#\"), "
       "DCount(\"*\", \"u\", \"k = \" & Forms!f!c & \" AND n = \" & 5) FROM Empleados AS E",
       "SELECT (SELECT TOP 1 Desc FROM Sectores WHERE Id = E.[IdSector]), "
       "(SELECT SUM(x) FROM [Obras Sociales] WHERE Cod = E.Cod AND F < E.[Alta]), "
       "(SELECT COUNT(*) FROM u WHERE k = @f_c AND n = 5) FROM Empleados AS E"},
      {"UPDATE Empleados SET S = DLookup(\"D\", \"Sectores\", \"Id=\" & [IdSector])",
       "UPDATE Empleados SET S = (SELECT TOP 1 D FROM Sectores WHERE Id=Empleados.[IdSector])"},
      // Literals inside the criterion keep their text.
      {"SELECT DLookup(\"Nombre\", \"Personas\", \"Apellido = 'O''Brien' AND Nota = \"\"x\"\"\") "
       "FROM t",
       "SELECT (SELECT TOP 1 Nombre FROM Personas WHERE Apellido = 'O''Brien' AND Nota = 'x') "
       "FROM t"},
  };
  CompruebaTraduccion(casos, std::size(casos));
}

TEST(TablasCruzadas, BecomePivots) {
  const Caso casos[] = {
      {"TRANSFORM Sum(Ventas.Importe) AS SumaDeImporte SELECT Ventas.Cliente FROM Ventas "
       "GROUP BY Ventas.Cliente PIVOT Ventas.Mes IN (\"Ene\", \"Feb\")",
       "WITH Src AS (SELECT Ventas.Cliente, Ventas.Mes AS PivotColumn, "
       "Ventas.Importe AS PivotValue FROM Ventas) SELECT Cliente, [Ene], [Feb] FROM Src "
       "PIVOT (Sum(PivotValue) FOR PivotColumn IN ([Ene], [Feb])) AS Pvt"},
      // WHERE stays in the rows pivoted; a view cannot keep the ORDER BY.
      {"TRANSFORM Sum([Importe]) SELECT [Ventas].[Cliente], Ventas.Zona AS Z FROM Ventas "
       "WHERE Activo GROUP BY [Ventas].[Cliente], Ventas.Zona ORDER BY [Ventas].[Cliente] "
       "PIVOT Ventas.Anio IN (2004, 2005)",
       "WITH Src AS (SELECT [Ventas].[Cliente], Ventas.Zona AS Z, Ventas.Anio AS PivotColumn, "
       "[Importe] AS PivotValue FROM Ventas WHERE Activo=1) SELECT [Cliente], Z, [2004], [2005] "
       "FROM Src PIVOT (Sum(PivotValue) FOR PivotColumn IN ([2004], [2005])) AS Pvt"},
  };
  CompruebaTraduccion(casos, std::size(casos));
}

TEST(TablasCruzadas, WithRowTotalsOrHavingBecomeOneAggregatePerValue) {
  const Caso casos[] = {
      {"TRANSFORM Sum(Ventas.Importe) AS SumaDeImporte SELECT Ventas.Cliente, "
       "Sum(Ventas.Importe) AS [Total] FROM Ventas GROUP BY Ventas.Cliente "
       "PIVOT Format([Fecha],\"mmm\") IN (\"Ene\", \"Feb\")",
       "SELECT Ventas.Cliente, Sum(Ventas.Importe) AS [Total], "
       "Sum(CASE WHEN Format([Fecha], 'MMM') = 'Ene' THEN Ventas.Importe END) AS [Ene], "
       "Sum(CASE WHEN Format([Fecha], 'MMM') = 'Feb' THEN Ventas.Importe END) AS [Feb] "
       "FROM Ventas GROUP BY Ventas.Cliente"},
      {"TRANSFORM Count(DISTINCT x) SELECT a FROM t GROUP BY a HAVING Count(*) > 1 "
       "PIVOT b IN ('x', 'y''z')",
       "SELECT a, Count(DISTINCT CASE WHEN b = 'x' THEN x END) AS [x], "
       "Count(DISTINCT CASE WHEN b = 'y''z' THEN x END) AS [y'z] FROM t GROUP BY a "
       "HAVING Count(*) > 1"},
      // With TOP the ORDER BY stays.
      {"TRANSFORM Count(*) SELECT TOP 3 a FROM t GROUP BY a ORDER BY a PIVOT b IN (1, 2)",
       "SELECT TOP 3 a, Count(CASE WHEN b = 1 THEN 1 END) AS [1], "
       "Count(CASE WHEN b = 2 THEN 1 END) AS [2] FROM t GROUP BY a ORDER BY a"},
  };
  CompruebaTraduccion(casos, std::size(casos));
}

}  // namespace
}  // namespace kelv
