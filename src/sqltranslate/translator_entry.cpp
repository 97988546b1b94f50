// clsCambiaTipoSQL::DeAccesASQL: the translator's entry and the order of its passes
// (all OSes). The passes for the Access constructs the rules leave run before and after
// them (access_constructs.cpp).
//
// The query is masked once (literal_mask.h): every pass below works on code only, so no
// string literal, bracketed name or comment is ever changed, and the pieces are put back at
// the end. Access's double-quoted literals come back as T-SQL ones, bracketed names as they
// were written (T-SQL writes names the same way).
#include "platform/ui_yield.h"
#include "sqltranslate/access_passes.h"
#include "sqltranslate/call_rewrite.h"
#include "sqltranslate/cambia_tipo_sql.h"
#include "sqltranslate/literal_mask.h"
#include "sqltranslate/masked_passes.h"
#include "sqltranslate/sql_scan.h"
#include "sqltranslate/text_search.h"
#include "text/error.h"
#include "text/toolbox.h"

namespace kelv {
namespace {

bool Ocurre(std::string_view t, std::string_view x) {
  return FindAnyCase(t, x) != std::string_view::npos;
}

[[noreturn]] void SinArgumentos(const char* llamada, std::size_t pos) {
  throw KelvError(kErrSubscript, "DeAccesASQL",
                  std::string(llamada) + " at position " + std::to_string(pos + 1) +
                      " has too few arguments");
}

// A call rewrite whose replacement is built from the argument text A alone and whose next
// search starts one character after the occurrence.
std::string ReescribeSimple(std::string t, std::string_view literal,
                            std::string (*construye)(std::string_view a)) {
  return ReescribeLlamadas(std::move(t), literal,
                           [&](std::string_view r, std::size_t p, std::size_t) {
                             const Contenido c = ContenidoParentesis(r, p + literal.size() - 1);
                             Reescritura e;
                             e.fin = c.cierre + 1;
                             e.texto = construye(c.texto);
                             e.siguiente = 1;
                             return e;
                           });
}

// A call rewrite that splits the arguments; construye returns nothing to leave the call.
template <typename Construye>
std::string ReescribePartes(std::string t, std::string_view literal, std::size_t siguiente,
                            Construye construye) {
  return ReescribeLlamadas(std::move(t), literal,
                           [&](std::string_view r, std::size_t p, std::size_t) {
                             const Contenido c = ContenidoParentesis(r, p + literal.size() - 1);
                             Reescritura e;
                             e.fin = c.cierre + 1;
                             e.texto = construye(c.texto, PartesDeLlamada(c.texto), p);
                             e.siguiente = siguiente;
                             return e;
                           });
}

using Partes = std::vector<std::string>;
using Opcional = std::optional<std::string>;

// cdate(Format(d,'MM/yyyy')) becomes cdate('01/' + Format(d,'MM/yyyy')): the month/year
// text gets a first day. The closing parenthesis of cdate stays where it was.
std::string ReescribeMesAnio(const Literales& lit, std::string t) {
  static constexpr std::string_view kLiteral = "cdate(Format(";
  return ReescribeLlamadas(
      std::move(t), kLiteral, [&](std::string_view r, std::size_t p, std::size_t) {
        const Contenido c = ContenidoParentesis(r, p + kLiteral.size() - 1);
        const Partes partes = PartesDeLlamada(c.texto);
        if (partes.size() < 2) SinArgumentos("cdate(Format(", p);
        Reescritura e;
        e.fin = c.cierre + 1;
        e.siguiente = 6;
        if (lit.Restaura(partes[1]) == "'MM/yyyy'") {
          e.texto = "cdate('01/' + Format(" + Replace(c.texto, "mm", "MM") + ")";
        }
        return e;
      });
}

// Whether t matches the wildcard pattern "* From *[;]*Union*" (exact case): " From ", then
// a ";", then "Union", in this order. The earliest of each is the best choice.
bool DeUnion(std::string_view t) {
  const std::size_t f = t.find(" From ");
  if (f == std::string_view::npos) return false;
  const std::size_t c = t.find(';', f + 6);
  return c != std::string_view::npos && t.find("Union", c + 1) != std::string_view::npos;
}

// Whether t matches "*[! ]Group by*" (exact case): a "Group by" after a character that is
// not a blank.
bool GroupBySinBlanco(std::string_view t) {
  for (std::size_t p = t.find("Group by", 1); p != std::string_view::npos;
       p = t.find("Group by", p + 1)) {
    if (t[p - 1] != ' ') return true;
  }
  return false;
}

// Replaces every find (letter case ignored) by with where it stands as a whole word (no
// letter, digit or '_' touches it), except after prefijo (letter case ignored): text that
// already is in the target form is left as it is.
std::string ReemplazaPalabraDeCodigo(std::string_view t, std::string_view find,
                                     std::string_view with, std::string_view prefijo = {}) {
  const BuscaSinCaso busca(find);
  const bool finDeNombre = EsLetraDeNombre(find.back());
  std::string out;
  std::size_t desde = 0;
  for (std::size_t p = busca.Find(t, 0); p != std::string_view::npos;
       p = busca.Find(t, p + find.size())) {
    const std::size_t e = p + find.size();
    const bool tras = !prefijo.empty() && p >= prefijo.size() &&
                      FindAnyCase(t.substr(p - prefijo.size(), prefijo.size()), prefijo) == 0;
    if (tras || (p > 0 && EsLetraDeNombre(t[p - 1])) ||
        (finDeNombre && e < t.size() && EsLetraDeNombre(t[e]))) {
      continue;
    }
    out.append(t.substr(desde, p - desde));
    out.append(with);
    desde = e;
  }
  out.append(t.substr(desde));
  return out;
}

// True and False, as whole words in any letter case, become 1 and 0: one scan over the
// words of the text.
std::string ReemplazaConstantes(const std::string& t) {
  std::string out;
  std::size_t copiado = 0;
  for (std::size_t i = 0; i < t.size();) {
    if (!EsLetraDeNombre(t[i])) {
      ++i;
      continue;
    }
    std::size_t j = i;
    while (j < t.size() && EsLetraDeNombre(t[j])) ++j;
    const char* valor = nullptr;
    if (j - i == 4 && FraseEn(t, i, "True")) valor = "1";
    else if (j - i == 5 && FraseEn(t, i, "False")) valor = "0";
    if (valor) {
      out.append(t, copiado, i - copiado);
      out += valor;
      copiado = j;
    }
    i = j;
  }
  if (copiado == 0) return t;
  out.append(t, copiado, std::string::npos);
  return out;
}

}  // namespace

namespace enmascarado {

std::string QuitaOrdenFinal(std::string t) {
  // The last statement that holds more than blanks.
  std::size_t inicio = 0;
  for (const auto& [desde, hasta] : Sentencias(t)) {
    if (SaltaEspacios(t, desde) < hasta) inicio = desde;
  }
  std::size_t orden = std::string::npos;
  for (std::size_t p = BuscaFraseFuera(t, "ORDER BY", inicio); p != std::string::npos;
       p = BuscaFraseFuera(t, "ORDER BY", p + 1)) {
    orden = p;
  }
  if (orden == std::string::npos) return t;
  for (const char* sigue : {"OFFSET", "FOR", "PIVOT", "UNION", "INTERSECT", "EXCEPT", "COMPUTE"}) {
    if (BuscaFraseFuera(t, sigue, orden) != std::string::npos) return t;
  }
  for (std::size_t p = BuscaFraseFuera(t, "OPTION", orden); p != std::string::npos;
       p = BuscaFraseFuera(t, "OPTION", p + 1)) {
    std::size_t k = p + 6;
    while (k < t.size() && EsEspacio(t[k])) ++k;
    if (k < t.size() && t[k] == '(') return t;
  }
  const std::size_t select = BuscaFraseFuera(t, "SELECT", inicio);
  bool top = false;
  if (select != std::string::npos) SaltaPrefijoSelect(t, select + 6, &top);
  if (!top) t.resize(orden);
  return t;
}

std::string QuitaOrdenEnSubconsultas(std::string t) {
  std::vector<Cambio> cambios;
  for (std::size_t abre = t.find('('); abre != std::string::npos; abre = t.find('(', abre + 1)) {
    const std::size_t select = SaltaEspacios(t, abre + 1);
    if (!FraseEn(t, select, "SELECT")) continue;
    const std::size_t cierre = ContenidoParentesis(t, abre).cierre;
    std::size_t orden = std::string::npos;
    for (std::size_t p = BuscaFraseFuera(t, "ORDER BY", select, cierre); p != std::string::npos;
         p = BuscaFraseFuera(t, "ORDER BY", p + 1, cierre)) {
      orden = p;
    }
    if (orden == std::string::npos) continue;
    if (BuscaFraseFuera(t, "OFFSET", orden, cierre) != std::string::npos ||
        BuscaFraseFuera(t, "FOR", orden, cierre) != std::string::npos) {
      continue;
    }
    bool top = false;
    SaltaPrefijoSelect(t, select + 6, &top);
    if (top) continue;
    std::size_t desde = orden;
    while (desde > select && EsEspacio(t[desde - 1])) --desde;
    cambios.push_back({desde, cierre, ""});
  }
  return AplicaCambios(std::move(t), std::move(cambios));
}

}  // namespace enmascarado

namespace {

// The rules, steps 1 to 41, on the masked query.
std::string Reglas(Literales& lit, std::string t) {
  t = Replace(t, "\r\n", " ");                                          // 1
  t = Trim(t);                                                          // 2
  if (!t.empty() && t.back() == ';') t.pop_back();                      // 3
  // 4: bracketed names stay bracketed. 5: the constants, as whole words in any case.
  t = ReemplazaConstantes(t);                                           // 5
  if (Ocurre(t, "(Memo)")) t = Replace(t, "(Memo)", "Memo");            // 6
  // 7: double-quoted literals were made T-SQL literals when the query was masked.
  t = ReescribePartes(std::move(t), "Mid(", 1,                          // 8
                      [](std::string_view a, const Partes& p, std::size_t) -> Opcional {
                        // SUBSTRING needs a length: Mid(s, n) runs to the end of s.
                        if (p.size() == 2) return "SUBSTRING(" + std::string(a) + ",2147483647)";
                        return "SUBSTRING(" + std::string(a) + ")";
                      });
  if (Ocurre(t, "DistinctROW")) {                                       // 9
    t = ReemplazaPalabraDeCodigo(t, "DistinctROW", "Distinct");
  }
  if (BuscaFrase(t, "IIF(") != std::string::npos) t = enmascarado::CambiarIIF(t);  // 10
  if (Ocurre(t, "#")) t = enmascarado::CambiaFecha(lit, t);             // 12
  // 11, after 12 so that date constants are literals: Access's "&" joins any values as
  // texts and reads Null as an empty text, as CONCAT does; "+" would not.
  if (Ocurre(t, "&")) t = enmascarado::Concatenaciones(lit, t);
  if (DeUnion(t)) t = Replace(t, ";", "");                             // 13
  if (Ocurre(t, "Val")) {                                               // 14
    t = ReemplazaPalabraDeCodigo(t, "Val(", "dbo.Val(", "dbo.");
  }
  if (Ocurre(t, "). ")) t = Replace(t, "). ", ") ");                    // 15
  // 16: CInt rounds to the nearest whole number, where CAST would drop the fraction.
  t = ReescribeSimple(std::move(t), "CINT(", [](std::string_view a) {
    return " CAST(ROUND(" + std::string(a) + ", 0) as SMALLINT)";
  });
  if (Ocurre(t, "Order")) {                                             // 17
    t = enmascarado::QuitaOrdenFinal(enmascarado::QuitaOrdenEnSubconsultas(std::move(t)));
  }
  if (Ocurre(t, "Sgn(")) t = ReemplazaPalabraDeCodigo(t, "Sgn(", "Sign(");  // 18
  // Access's Int rounds down (Int(-8.4) is -9): FLOOR, not CEILING.
  if (Ocurre(t, "INT(")) t = ReemplazaPalabraDeCodigo(t, "Int(", "FLOOR(");  // 19
  // 20: nvarchar without a length would cut the text at 30 characters.
  if (Ocurre(t, "CSTR(")) t = ReemplazaPalabraDeCodigo(t, "CSTR(", "Convert(nvarchar(4000),");
  if (Ocurre(t, " MOD ")) t = ReplaceAnyCase(t, " MOD ", " % ");        // 21
  // 22: Access's divisions keep their meaning (a T-SQL text with comments keeps its "/").
  if (t.find('/') != std::string::npos || t.find('\\') != std::string::npos) {
    t = enmascarado::Divisiones(t, !lit.ConComentarios());
  }
  t = ReescribePartes(std::move(t), "datepart(", 1,                     // 23
                      [](std::string_view, const Partes& p, std::size_t) -> Opcional {
                        if (p.size() < 2) return std::nullopt;
                        return "datepart(" + SinApostrofes(p[0]) + "," + p[1] + ")";
                      });
  t = ReescribePartes(std::move(t), "datediff(", 1,                     // 24
                      [](std::string_view, const Partes& p, std::size_t) -> Opcional {
                        if (p.size() < 3) return std::nullopt;
                        return "datediff(" + SinApostrofes(p[0]) + "," + p[1] + "," + p[2] + ")";
                      });
  t = ReescribeMesAnio(lit, std::move(t));                              // 25
  t = ReescribePartes(std::move(t), "instr(", 1,                        // 26
                      [](std::string_view, const Partes& p, std::size_t) -> Opcional {
                        if (p.size() < 2) return std::nullopt;
                        return "PATINDEX('%" + SinApostrofes(p[1]) + "%'," + p[0] + ")";
                      });
  t = ReescribeSimple(std::move(t), "CBOOL(", [](std::string_view a) {  // 27
    // A Yes/No column standing alone is compared with 1, as in any other condition.
    return "IIF(" + enmascarado::RevisaCondicion(std::string(a)) + ",1,0)";
  });
  // 28: Trim(x); LTrim( and RTrim( end in "Trim(" but are other functions, which SQL
  // Server has too. The next search starts after both "Trim(" of the replacement.
  t = ReescribePartes(std::move(t), "TRIM(", 8,
                      [](std::string_view a, const Partes&, std::size_t) -> Opcional {
                        return "RTrim(LTrim(" + std::string(a) + "))";
                      });
  if (Ocurre(t, " XOR ")) t = enmascarado::CambiarXOR(t);               // 29
  t = ReescribePartes(std::move(t), "Round(", 1,                        // 30
                      [](std::string_view a, const Partes& p, std::size_t) -> Opcional {
                        if (p.size() != 1) return std::nullopt;
                        return "Round(" + std::string(a) + ",0)";
                      });
  t = ReescribePartes(std::move(t), "Weekday(", 1,                      // 31
                      [](std::string_view, const Partes& p, std::size_t pos) -> Opcional {
                        if (p.empty()) SinArgumentos("Weekday(", pos);
                        return "DatePart(dw," + p[0] + ")";
                      });
  t = ReescribePartes(std::move(t), "dateadd(", 1,                      // 32
                      [](std::string_view, Partes p, std::size_t pos) -> Opcional {
                        if (p.empty()) SinArgumentos("dateadd(", pos);
                        p[0] = Replace(SinApostrofes(p[0]), "\"", "");
                        return "DateAdd(" + Join(p, ",") + ")";
                      });
  // 33: Access's Date() is today at midnight (Now() is the moment); a datetime, so that
  // Date() - 30 still counts days.
  if (Ocurre(t, "date()")) {
    t = ReemplazaPalabraDeCodigo(t, "date()", "CAST(CAST(GETDATE() AS date) AS datetime)");
  }
  t = ReescribeSimple(std::move(t), "cdate(", [](std::string_view a) {  // 34
    return " CONVERT(datetime," + std::string(a) + ",103)";
  });
  // Conditions standing where a value is needed make one.
  t = enmascarado::CondicionesComoValor(std::move(t));
  t = enmascarado::CambiaIsNull(std::move(t));                          // 35
  t = enmascarado::CambiarBooleanos(t);  // 36, also for HAVING and the ON of joins
  if (Ocurre(t, "Switch")) t = enmascarado::CambiaSwitch(t);            // 37
  if (Ocurre(t, " as ")) t = enmascarado::CambiarAlias(lit, std::move(t));  // 38
  t = ReescribeSimple(std::move(t), "CLNG(", [](std::string_view a) {   // 39 (rounds as 16)
    return " CAST(ROUND(" + std::string(a) + ", 0) as INT)";
  });
  t = ReescribeSimple(std::move(t), "CSNG(", [](std::string_view a) {   // 40
    return " CAST(" + std::string(a) + " as Float)";
  });
  if (GroupBySinBlanco(t)) t = Replace(t, "Group by", " Group by");  // 41
  return t;
}

}  // namespace

namespace acceso {

std::string Traduce(std::string_view texto, Informe& informe, int profundidad) {
  Literales lit;
  std::string t = lit.Enmascara(texto);  // literals, names and comments set apart
  t = AntesDeLasReglas(lit, std::move(t), informe, profundidad);
  t = Reglas(lit, std::move(t));
  t = TrasLasReglas(lit, std::move(t), informe);
  return lit.Restaura(t);
}

}  // namespace acceso

Traduccion clsCambiaTipoSQL::DeAccesASQLConAvisos(const std::string& strVista,
                                                  bool paraVista) const {
  acceso::Informe informe(paraVista);
  std::string t = acceso::Traduce(strVista, informe, 0);
  YieldToWindowSystem();  // 42
  return informe.Entrega(std::move(t));
}

std::string clsCambiaTipoSQL::DeAccesASQL(const std::string& strVista) const {
  return DeAccesASQLConAvisos(strVista).texto;
}

}  // namespace kelv
