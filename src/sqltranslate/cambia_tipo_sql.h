// clsCambiaTipoSQL: rewrites one Access (Jet) SQL query text into SQL Server text by a fixed
// sequence of textual passes (all OSes).
//
// The translation has no parser: every pass finds a literal piece of text and rewrites it.
// The passes only ever see code: string literals ('...' and Access's "..."), bracketed
// names ([...]) and comments are set apart before they run (literal_mask.h), so their text
// comes out unchanged, except that a double-quoted literal comes out as a T-SQL one
// ("O'Brien" as 'O''Brien') and comments are dropped. Date constants (#...#) are code and
// are rewritten. Keywords and Access's function names are found in any letter case, as
// whole words.
//
// Texts are UTF-8. The helpers that take or return positions (DevContenido, DevTermino)
// count them in bytes of that UTF-8 text: 1-based, 0 means not found. The class keeps no
// state; every operation takes a text and returns a new one. Failures raised to the caller
// are KelvError.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kelv {

// A construct that the translation could not turn into T-SQL: the translation still holds
// its best attempt, and this says what was left and where.
struct AvisoTraduccion {
  std::string que;    // what could not be translated, e.g. "user-defined or VBA function"
  std::string texto;  // the construct as it stands in the translated text
};

// A T-SQL parameter of the translation: a Forms reference, or a parameter of the query's
// PARAMETERS clause, becomes a parameter named after what it stands for.
struct ParametroTraduccion {
  std::string nombre;  // the T-SQL parameter, e.g. "@frmMain_txtId"
  std::string tipo;    // its T-SQL type when PARAMETERS declares one, e.g. "datetime"; or ""
  std::string origen;  // what it stands for, as the query writes it: "[Forms]![frmMain]![txtId]"
};

// A translation with the constructs that could not be translated and the parameters it uses.
struct Traduccion {
  std::string texto;
  std::vector<AvisoTraduccion> avisos;          // in the order found, each one once
  std::vector<ParametroTraduccion> parametros;  // in the order of first use or declaration
};

class clsCambiaTipoSQL {
 public:
  // Rewrites every select list of the statement so that a column alias used by another
  // expression of the same list is replaced by the expression it names (a use written as a
  // bracketed name, [Total], by the expression in parentheses); a rebuilt list is written
  // one field per line with lower-case " as ". The list runs from after SELECT and its
  // ALL, DISTINCT or TOP n [PERCENT] words to its own FROM or INTO. strAux receives the
  // statement after every rebuilt list; the result is the final statement. Never raises.
  std::string SQLCambiarAlias(std::string& strAux) const;

  // The text between the opening parenthesis at SeAbre and its matching closing one; a
  // SeAbre of -1 is first set to the position of the first "(" (0 when there is none).
  // PosHasta receives the position of the matching ")", or length + 1 when the parentheses
  // never balance (the result then runs to the end). Positions are 1-based byte positions in
  // the UTF-8 text. Quotes are not considered. A SeAbre beyond the text, or below -1, raises
  // KelvError(kErrInvalidArgument).
  std::string DevContenido(const std::string& strAux, std::int32_t& SeAbre,
                           std::int32_t& PosHasta) const;

  // The first innermost term between SepA and SepC (exact search); PosD and PosH receive the
  // 1-based byte positions of its delimiters in the UTF-8 text. No SepA gives "" and leaves
  // PosD/PosH as they were; a SepA without a SepC after it raises
  // KelvError(kErrInvalidArgument).
  std::string DevTermino(const std::string& Ecuacion, std::int32_t& PosD, std::int32_t& PosH,
                         const std::string& SepA, const std::string& SepC) const;

  // Keeps every IIF call (IIf, iif, ... written as IIF), turns IIF(IsNull(x),y,x) and
  // IIF(Not IsNull(x),x,y) into ISNULL(x,y) and compares a lone Yes/No condition with 1.
  // Each call is replaced where it stands. An IIF( with fewer than three arguments raises
  // KelvError(kErrSubscript).
  std::string SQLCambiarIIF(const std::string& strComando) const;

  // Revises the condition of the first WHERE (or ON) clause and of every later WHERE clause
  // in XOR mode: a XOR b becomes IIF(a,1,0) + IIF(b,1,0)=1.
  std::string SQLCambiarXOR(const std::string& strComando) const;

  // Revises the condition of every WHERE and HAVING clause and of the ON of every join in
  // boolean mode: a part that is not already a condition (comparison, BETWEEN, LIKE, IS [NOT]
  // NULL, IN (...), EXISTS, IsNull) gets "=1". A clause's condition ends at a ")" closing a
  // parenthesis opened before it, a ";", or the next clause outside parentheses (ORDER BY,
  // GROUP BY, HAVING, UNION, WHERE, a join, SET, WITH); it is replaced where it stands, and
  // the conditions of a subquery inside it are revised too. An ON that follows no JOIN (SET
  // NOCOUNT ON) is no condition. A statement without such clauses is returned unchanged.
  std::string CambiarBooleanos(const std::string& strComando) const;

  // Revises one condition split at Operador ("AND", "OR" or "XOR") outside parentheses,
  // recursing into the parts and into negated or parenthesised groups of them (only
  // parentheses that enclose a whole part are peeled); Trans 0 is boolean mode, 1 XOR mode.
  // Never raises.
  std::string SQLRevisaRecursiva(const std::string& strCampos, const std::string& Operador,
                                 std::uint8_t Trans) const;

  // Rewrites every date constant #...# that holds a date into a quoted text SQL Server reads
  // the same under any language: 'yyyymmdd', with a time as 'yyyymmdd HH:MM:SS'; a month/year
  // is its first day, a time alone is on 18991230 as in Access (see date_recognition.h for
  // the accepted forms); other "#" pairs are left. Never raises.
  std::string CambiaFecha(const std::string& strComando) const;

  // Turns every "Switch(" call, in any letter case (condition/value pairs; the last value is
  // the default when its condition is a constant that always holds, such as True; otherwise
  // no condition that holds gives NULL, as in Access) into a searched
  // (Case When ... Then ... [Else ...] End). An odd number of arguments raises
  // KelvError(kErrSubscript).
  std::string SQLCambiaSwitch(const std::string& strComando) const;

  // Replaces PalABuscar (letter case ignored) by PalAReemplazar wherever it stands as a
  // whole word outside literals: the character before it is one of -, +/&()^.\*=>< (or the
  // start), the one after it the same set without the full stop (or the end). An empty
  // PalABuscar leaves the text.
  std::string ReemplazaPalabra(std::string strAux, const std::string& PalABuscar,
                               const std::string& PalAReemplazar) const;

  // Translates one Access query into SQL Server text (strVista is left unchanged), keeping
  // what it means in Access where the same text reads otherwise in T-SQL (& joins as CONCAT,
  // / divides as floating-point numbers, \ rounds, CInt rounds, Date() is midnight, Yes/No
  // columns alone in WHERE, HAVING and ON are compared with 1, conditions in a select list
  // give 1 or 0, ...). Line breaks are CR LF. A trailing ORDER BY of the last statement is
  // dropped unless the statement has TOP (a view cannot keep it), and so is the ORDER BY of a
  // subquery without TOP (T-SQL refuses it). A construct the passes cannot handle raises
  // KelvError and no partial text is returned. Lets the window system process pending
  // messages once before returning. The text is DeAccesASQLConAvisos(strVista).texto.
  std::string DeAccesASQL(const std::string& strVista) const;

  // The same translation, with the constructs that could not be translated into T-SQL
  // (user-defined VBA functions, Eval, First/Last, domain functions with arguments built
  // at run time, crosstabs without an IN list, tables in another database, Format patterns
  // with no .NET counterpart, ...) and the T-SQL parameters that stand for Forms
  // references and declared parameters. paraVista: the text is meant as the body of a
  // view, which cannot take parameters; each parameter is then also reported as a
  // construct that could not be translated. Raises as DeAccesASQL does.
  Traduccion DeAccesASQLConAvisos(const std::string& strVista, bool paraVista = false) const;
};

}  // namespace kelv
