// The passes that translate the Access constructs the rules of DeAccesASQL leave as they
// are, and the report of what could not be translated (all OSes).
//
// Every pass works on masked text (literal_mask.h) and is given the Literales of the query
// when it reads or builds literals. Some run before the rules, because a rule would damage
// the construct or because they must see it as Access writes it (& still joining texts);
// the others run after them. AntesDeLasReglas and TrasLasReglas run them in their order.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "sqltranslate/call_rewrite.h"
#include "sqltranslate/cambia_tipo_sql.h"
#include "sqltranslate/literal_mask.h"

namespace kelv::acceso {

// What one translation found: the constructs it could not translate and its parameters.
class Informe {
 public:
  explicit Informe(bool paraVista) : paraVista_(paraVista) {}

  // Records a construct that could not be translated; enmascarado is its masked text,
  // restored with lit. The same construct is recorded once.
  void Avisa(const Literales& lit, std::string_view que, std::string_view enmascarado);

  // Declares a parameter of the PARAMETERS clause. clave identifies what it stands for
  // (see Parametro); tipo is its T-SQL type, or "".
  void Declara(const std::string& clave, std::string_view base, std::string_view origen,
               std::string_view tipo);

  // The T-SQL parameter (with its "@") for what clave identifies, created on first use
  // with a name made from base (characters a name cannot hold become "_", and a number is
  // added when another parameter has that name). origenEnmascarado is the masked text the
  // query writes for it. In a view the use is also recorded as a construct that could not
  // be translated.
  std::string Parametro(const Literales& lit, const std::string& clave, std::string_view base,
                        std::string_view origenEnmascarado);

  // Whether clave was declared in the PARAMETERS clause.
  bool Declarado(const std::string& clave) const { return indices_.count(clave) > 0; }

  // The translation with what was found.
  Traduccion Entrega(std::string texto);

 private:
  std::size_t Crea(const std::string& clave, std::string_view base, std::string origen,
                   std::string_view tipo);

  bool paraVista_;
  std::vector<AvisoTraduccion> avisos_;
  std::unordered_set<std::string> vistos_;  // que + "\n" + texto of each warning
  std::vector<ParametroTraduccion> parametros_;
  std::unordered_map<std::string, std::size_t> indices_;  // clave -> parameter
  std::unordered_map<std::string, std::size_t> nombres_;  // lower-case name -> parameter
};

// The whole translation of texto (the rules and these passes), recording in informe. A pass
// that builds a query of its own (a domain function's subquery) translates it with this;
// profundidad counts such nestings.
std::string Traduce(std::string_view texto, Informe& informe, int profundidad);

// The passes before the rules and after them, in their order.
std::string AntesDeLasReglas(Literales& lit, std::string t, Informe& informe, int profundidad);
std::string TrasLasReglas(Literales& lit, std::string t, Informe& informe);

// Before the rules.

// PARAMETERS clause, Forms and Reports references and declared parameters → @names.
std::string Parametros(const Literales& lit, std::string t, Informe& informe);
// t!c → t.c.
std::string CalificadoresConAdmiracion(std::string t);
// DLookup, DCount, DSum, DAvg, DMin, DMax, DFirst, DLast with literal arguments → scalar
// subqueries.
std::string FuncionesDeDominio(Literales& lit, std::string t, Informe& informe, int profundidad);
// Left$( → Left(, InStr with a start argument or a search text that is not a plain literal
// → CHARINDEX, Nz → COALESCE, and the calls of LlamadasDeSemana.
std::string LlamadasAntesDeLasReglas(Literales& lit, std::string t, Informe& informe);

// The call rewrites of Weekday, DatePart "w" and "ww", and DateDiff "ww" with a first day of
// the week, counted as Access counts them whatever the server's DATEFIRST (week_days.cpp);
// what cannot be followed is recorded in informe. lit and informe must outlive the rewrites.
std::vector<LlamadaConocida> LlamadasDeSemana(const Literales& lit, Informe& informe);

// After the rules.

// Now, DateValue, LCase, Chr, Hour, Fix, CDbl, DateSerial, StrConv, Str, ... and Format.
std::string LlamadasTrasLasReglas(Literales& lit, std::string t, Informe& informe);
// a ^ b → POWER(CAST(a AS float), b).
std::string Potencias(std::string_view t);
// Access wildcards in the literals of LIKE patterns.
std::string PatronesLike(Literales& lit, std::string t);
// UPDATE a JOIN b ON … SET … → UPDATE a SET … FROM a JOIN b ON ….
std::string UpdateConJoin(const Literales& lit, std::string t, Informe& informe);
// DELETE t.* FROM … → DELETE t FROM … or DELETE FROM t.
std::string DeleteConDestino(const Literales& lit, std::string t, Informe& informe);
// WITH OWNERACCESS OPTION, {guid {…}}, IN 'other.mdb', Yes and No compared with.
std::string ClausulasDeAccess(Literales& lit, std::string t, Informe& informe);
// TRANSFORM … PIVOT crosstabs.
std::string TablasCruzadas(Literales& lit, std::string t, Informe& informe);
// Records every call of a function T-SQL does not have (user-defined VBA functions, Eval,
// First, Last).
void FuncionesDesconocidas(const Literales& lit, std::string_view t, Informe& informe);

// The replacement of one Format call (llamada, its masked text; partes, its arguments
// without blanks around them) and how many of its first characters the next search skips,
// or nothing to leave the call; a pattern that cannot be translated is recorded.
std::optional<std::pair<std::string, std::size_t>> ReescribeFormat(
    Literales& lit, const std::vector<std::string>& partes, std::string_view llamada,
    Informe& informe);

}  // namespace kelv::acceso
