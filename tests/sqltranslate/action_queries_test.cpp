// Tests of action queries and clauses in T-SQL's forms: UPDATE over joins, DELETE t.*,
// OWNERACCESS, GUID constants, Yes and No, TOP PERCENT.
#include <gtest/gtest.h>

#include "translation_cases.h"

namespace kelv {
namespace {

TEST(UpdateConJoin, TakesTSqlsFromClause) {
  const Caso casos[] = {
      {"UPDATE Personas INNER JOIN Sueldos ON Personas.Id = Sueldos.Id "
       "SET Personas.Sueldo = Sueldos.Nuevo WHERE Sueldos.Activo",
       "UPDATE Personas SET Personas.Sueldo = Sueldos.Nuevo "
       "FROM Personas INNER JOIN Sueldos ON Personas.Id = Sueldos.Id WHERE Sueldos.Activo=1"},
      // The table updated is the one the columns name; the designer's DISTINCTROW goes.
      {"UPDATE DISTINCTROW (a INNER JOIN b ON a.x=b.x) INNER JOIN c ON b.y=c.y "
       "SET c.z = a.z, c.w = 1",
       "UPDATE c SET c.z = a.z, c.w = 1 FROM (a INNER JOIN b ON a.x=b.x) INNER JOIN c ON b.y=c.y"},
      // Unqualified columns: the first table, by its alias.
      {"UPDATE Personas AS P INNER JOIN Sueldos AS S ON P.Id = S.Id SET Sueldo = S.Nuevo",
       "UPDATE P SET Sueldo = S.Nuevo FROM Personas AS P INNER JOIN Sueldos AS S ON P.Id = S.Id"},
      {"UPDATE DISTINCTROW Personas SET Activo = False WHERE Baja < Date()",
       "UPDATE Personas SET Activo = 0 WHERE Baja < CAST(CAST(GETDATE() AS date) AS datetime)"},
      {"UPDATE Personas SET Activo = 0", "UPDATE Personas SET Activo = 0"},
  };
  CompruebaTraduccion(casos, std::size(casos));
}

TEST(DeleteConDestino, NamesOneTableOrNone) {
  const Caso casos[] = {
      {"DELETE Marcas.* FROM Marcas WHERE Marcas.Fecha < #1/1/2000#",
       "DELETE FROM Marcas WHERE Marcas.Fecha < '20000101'"},
      {"DELETE DISTINCTROW Marcas.* FROM Marcas INNER JOIN Personas "
       "ON Marcas.Legajo = Personas.Legajo WHERE Personas.Baja",
       "DELETE Marcas FROM Marcas INNER JOIN Personas ON Marcas.Legajo = Personas.Legajo "
       "WHERE Personas.Baja=1"},
      {"DELETE * FROM Marcas AS M WHERE M.Anulada", "DELETE M FROM Marcas AS M WHERE M.Anulada=1"},
      {"DELETE [Order Details].* FROM [Order Details]", "DELETE FROM [Order Details]"},
      {"DELETE FROM Marcas WHERE Anulada", "DELETE FROM Marcas WHERE Anulada=1"},
  };
  CompruebaTraduccion(casos, std::size(casos));
}

TEST(ClausulasDeAccess, GoOrBecomeTSql) {
  const Caso casos[] = {
      {"SELECT * FROM t WHERE id = {guid {12345678-1234-1234-1234-123456789012}} "
       "ORDER BY a WITH OWNERACCESS OPTION;",
       "SELECT * FROM t WHERE id = '12345678-1234-1234-1234-123456789012'"},
      {"SELECT TOP 5 * FROM t ORDER BY a WITH OWNERACCESS OPTION;",
       "SELECT TOP 5 * FROM t ORDER BY a"},
      {"SELECT TOP 10 PERCENT a FROM t ORDER BY a DESC",
       "SELECT TOP 10 PERCENT a FROM t ORDER BY a DESC"},
      {"SELECT '{guid {x}}', 'WITH OWNERACCESS OPTION' FROM t",
       "SELECT '{guid {x}}', 'WITH OWNERACCESS OPTION' FROM t"},
      // Yes and No compared with are constants; elsewhere they may be names.
      {"SELECT No, Yes FROM t WHERE Anulada=No AND Activo <> No AND Fijo = Yes AND x = Nombre",
       "SELECT No, Yes FROM t WHERE Anulada=0 AND Activo <> 0 AND Fijo = 1 AND x = Nombre"},
  };
  CompruebaTraduccion(casos, std::size(casos));
}

}  // namespace
}  // namespace kelv
