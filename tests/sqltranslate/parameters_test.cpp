// Tests of the Access parameters: PARAMETERS clauses, Forms references and prompts become
// T-SQL parameters named after what they stand for; and of t!c qualifiers.
#include <gtest/gtest.h>

#include <string>

#include "sqltranslate/cambia_tipo_sql.h"
#include "translation_cases.h"

namespace kelv {
namespace {

TEST(Parametros, BecomeTSqlParametersNamedAfterWhatTheyStandFor) {
  const Caso casos[] = {
      // The clause goes; each declared parameter, bracketed or plain, is named after itself.
      {"PARAMETERS [Pick Date] DateTime, Cuantos Short;\r\n"
       "SELECT * FROM t WHERE d > [Pick Date] AND c = Cuantos",
       "SELECT * FROM t WHERE d > @Pick_Date AND c = @Cuantos"},
      // Forms and Reports references in every spelling Access saves; .Value and a subform's
      // .Form go.
      {"SELECT * FROM t WHERE a = [Forms]![frmMain]![txtId] OR a = Forms!frmMain!txtId OR "
       "a = Form_frmMain.txtId",
       "SELECT * FROM t WHERE a = @frmMain_txtId OR a = @frmMain_txtId OR a = @frmMain_txtId"},
      {"SELECT * FROM t WHERE a = Forms![frmMain]!txtId.Value OR "
       "b = [Forms]![frmMain]![sub].[Form]![ctl] OR c = Reports!rpt!txt",
       "SELECT * FROM t WHERE a = @frmMain_txtId OR b = @frmMain_sub_ctl OR c = @rpt_txt"},
      // A bracketed name that reads as a prompt is a parameter; other bracketed names are
      // columns.
      {"SELECT * FROM t WHERE d >= [Fecha desde:] AND d < [¿Hasta?] AND [t].[x] = [y]",
       "SELECT * FROM t WHERE d >= @Fecha_desde AND d < @Hasta AND [t].[x] = [y]"},
      // An undeclared bracketed name, an alias or a qualified column is never taken for one.
      {"SELECT a AS [Total:], [t].[Monto:], [Pick Date] FROM t",
       "SELECT a AS [Total:], [t].[Monto:], [Pick Date] FROM t"},
      // Names that would clash get a number; characters a name cannot hold become "_".
      {"SELECT * FROM t WHERE a = [Forms]![a_b]![c] AND b = [Forms]![a]![b_c] AND "
       "c = [Forms]![f]![1er día?]",
       "SELECT * FROM t WHERE a = @a_b_c AND b = @a_b_c_2 AND c = @f_1er_día"},
  };
  CompruebaTraduccion(casos, std::size(casos));
}

TEST(Parametros, ListedOnceWithTheTypeTheClauseDeclares) {
  const clsCambiaTipoSQL t;
  const Traduccion r = t.DeAccesASQLConAvisos(
      "PARAMETERS [Forms]![frmMain]![txtId] Long, [Nombre] Text ( 50 ), [Monto] Currency, "
      "[Raro] Rareza;\r\nSELECT * FROM t WHERE id = Forms!frmMain!txtId AND n = [Nombre] AND "
      "m > [Monto] AND r = [Raro] AND x = [Forms]![frmMain]![txtId] AND y = [Otro:]");
  EXPECT_EQ(r.texto,
            "SELECT * FROM t WHERE id = @frmMain_txtId AND n = @Nombre AND m > @Monto AND "
            "r = @Raro AND x = @frmMain_txtId AND y = @Otro");
  const ParametroTraduccion esperados[] = {
      {"@frmMain_txtId", "int", "[Forms]![frmMain]![txtId]"},
      {"@Nombre", "nvarchar(50)", "[Nombre]"},
      {"@Monto", "money", "[Monto]"},
      {"@Raro", "", "[Raro]"},
      {"@Otro", "", "[Otro:]"},
  };
  ASSERT_EQ(r.parametros.size(), std::size(esperados));
  for (std::size_t i = 0; i < std::size(esperados); ++i) {
    SCOPED_TRACE(esperados[i].nombre);
    EXPECT_EQ(r.parametros[i].nombre, esperados[i].nombre);
    EXPECT_EQ(r.parametros[i].tipo, esperados[i].tipo);
    EXPECT_EQ(r.parametros[i].origen, esperados[i].origen);
  }
  EXPECT_TRUE(r.avisos.empty());
}

TEST(Parametros, DeclaredTypes) {
  const clsCambiaTipoSQL t;
  const std::pair<const char*, const char*> tipos[] = {
      {"Bit", "bit"},
      {"Byte", "tinyint"},
      {"Short", "smallint"},
      {"Long", "int"},
      {"Integer", "int"},
      {"IEEESingle", "real"},
      {"IEEEDouble", "float"},
      {"Currency", "money"},
      {"DateTime", "datetime"},
      {"Text", "nvarchar(255)"},
      {"Memo", "nvarchar(max)"},
      {"Binary", "varbinary(510)"},
      {"LongBinary", "varbinary(max)"},
      {"Guid", "uniqueidentifier"},
      {"Value", "sql_variant"},
      {"Decimal", "decimal(18,0)"},
      {"Decimal(10,2)", "decimal(10,2)"},
  };
  for (const auto& [access, tsql] : tipos) {
    SCOPED_TRACE(access);
    const Traduccion r = t.DeAccesASQLConAvisos(std::string("PARAMETERS p ") + access +
                                                ";SELECT * FROM t WHERE a = p");
    ASSERT_EQ(r.parametros.size(), 1u);
    EXPECT_EQ(r.parametros[0].tipo, tsql);
  }
}

TEST(Parametros, AViewCannotTakeThem) {
  const clsCambiaTipoSQL t;
  const std::string q = "SELECT * FROM t WHERE a = [Forms]![f]![c] AND b = [Forms]![f]![c]";
  EXPECT_TRUE(t.DeAccesASQLConAvisos(q).avisos.empty());
  const Traduccion r = t.DeAccesASQLConAvisos(q, true);
  EXPECT_EQ(r.texto, "SELECT * FROM t WHERE a = @f_c AND b = @f_c");
  ASSERT_EQ(r.avisos.size(), 1u);
  EXPECT_EQ(r.avisos[0].que, "parameter in a view (a view cannot take parameters)");
  EXPECT_EQ(r.avisos[0].texto, "[Forms]![f]![c]");
}

TEST(CalificadoresConAdmiracion, BecomeFullStops) {
  const Caso casos[] = {
      // T-SQL's own != and !< stay.
      {"SELECT Personas!Legajo, [t]![c], [t]!c FROM Personas WHERE a != b AND c !< d",
       "SELECT Personas.Legajo, [t].[c], [t].c FROM Personas WHERE a != b AND c !< d"},
      {"SELECT * FROM t WHERE IsNull([t]![c])", "SELECT * FROM t WHERE [t].[c] IS NULL"},
      {"SELECT 'a!b', [x!y] FROM t", "SELECT 'a!b', [x!y] FROM t"},
  };
  CompruebaTraduccion(casos, std::size(casos));
}

}  // namespace
}  // namespace kelv
