// clsCambiaTipoSQL: rewrites one Access (Jet) SQL query text into SQL Server text by a fixed
// sequence of textual passes (all OSes).
//
// The translation has no parser: every pass finds a literal piece of text and rewrites it.
// Positions are 1-based byte positions (every searched literal is ASCII), 0 means not
// found. The class keeps no state; every operation takes a text and returns a new one.
// Failures raised to the caller are KelvError.
#pragma once

#include <cstdint>
#include <string>

namespace kelv {

class clsCambiaTipoSQL {
 public:
  // Rewrites every select list of the statement so that a column alias used by another
  // expression of the same list is replaced by the expression it names; a rebuilt list is
  // written one field per line with lower-case " as ". strAux receives the statement after
  // every rebuilt list; the result is the final statement. Never raises.
  std::string SQLCambiarAlias(std::string& strAux) const;

  // The text between the opening parenthesis at SeAbre and its matching closing one; a
  // SeAbre of -1 is first set to the position of the first "(" (0 when there is none).
  // PosHasta receives the position of the matching ")", or length + 1 when the parentheses
  // never balance (the result then runs to the end). Quotes are not considered. A SeAbre
  // beyond the text, or below -1, raises KelvError(kErrInvalidArgument).
  std::string DevContenido(const std::string& strAux, std::int32_t& SeAbre,
                           std::int32_t& PosHasta) const;

  // The first innermost term between SepA and SepC (exact search); PosD and PosH receive the
  // positions of its delimiters. No SepA gives "" and leaves PosD/PosH as they were; a SepA
  // without a SepC after it raises KelvError(kErrInvalidArgument).
  std::string DevTermino(const std::string& Ecuacion, std::int32_t& PosD, std::int32_t& PosH,
                         const std::string& SepA, const std::string& SepC) const;

  // Keeps every upper-case "IIF(" call, turns IIF(IsNull(x),y,x) and
  // IIF(Not IsNull(x),x,y) into ISNULL(x,y) and compares a lone Yes/No condition with 1.
  // An IIF( with fewer than three arguments raises KelvError(kErrSubscript).
  std::string SQLCambiarIIF(const std::string& strComando) const;

  // Revises the condition of the first WHERE (or ON) clause and of every later WHERE clause
  // in XOR mode: a XOR b becomes IIF(a,1,0) + IIF(b,1,0)=1.
  std::string SQLCambiarXOR(const std::string& strComando) const;

  // Revises the condition of every WHERE clause in boolean mode: a part that is not already
  // a condition (comparison, BETWEEN, LIKE, IS [NOT] NULL, IN (...), EXISTS, IsNull) gets
  // "=1". A statement without "Where " is returned unchanged.
  std::string CambiarBooleanos(const std::string& strComando) const;

  // Revises one condition split at Operador ("AND", "OR" or "XOR") outside parentheses,
  // recursing into the parts; Trans 0 is boolean mode, 1 XOR mode. Never raises.
  std::string SQLRevisaRecursiva(const std::string& strCampos, const std::string& Operador,
                                 std::uint8_t Trans) const;

  // Rewrites every date constant #...# that holds a date into a quoted year-month-day text
  // (see date_recognition.h for the accepted forms); other "#" pairs are left. Never raises.
  std::string CambiaFecha(const std::string& strComando) const;

  // Turns every "Switch(" call (condition/value pairs; the last value is the default) into a
  // searched (Case When ... Then ... Else ... End). An odd number of arguments raises
  // KelvError(kErrSubscript).
  std::string SQLCambiaSwitch(const std::string& strComando) const;

  // Replaces PalABuscar (letter case ignored) by PalAReemplazar wherever it stands as a
  // whole word: the character before it is one of -, +/&()^.\*=>< (or the start), the one
  // after it the same set without the full stop (or the end). An empty PalABuscar leaves
  // the text.
  std::string ReemplazaPalabra(std::string strAux, const std::string& PalABuscar,
                               const std::string& PalAReemplazar) const;

  // Translates one Access query into SQL Server text (strVista is left unchanged). A
  // construct the passes cannot handle raises KelvError and no partial text is returned.
  // Lets the window system process pending messages once before returning.
  std::string DeAccesASQL(const std::string& strVista) const;
};

}  // namespace kelv
