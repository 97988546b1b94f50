// clsCambiaTipoSQL::DeAccesASQL: the translator's entry and the order of its passes
// (all OSes).
#include "platform/ui_yield.h"
#include "sqltranslate/call_rewrite.h"
#include "sqltranslate/cambia_tipo_sql.h"
#include "sqltranslate/text_search.h"
#include "text/error.h"
#include "text/toolbox.h"

namespace kelv {
namespace {

bool EsLetraDeNombre(char c) {
  const unsigned char u = static_cast<unsigned char>(c);
  return (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || (u >= '0' && u <= '9') ||
         u == '_' || u >= 0x80;
}

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
  return ReescribeLlamadas(std::move(t), literal, [&](std::string_view r, std::size_t p, char) {
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
  return ReescribeLlamadas(std::move(t), literal, [&](std::string_view r, std::size_t p, char) {
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

// IsNull(x) with no comma in x becomes "x IS NULL "; the argument runs to the first ")"
// whatever the nesting. A two-argument null test is left.
std::string ReescribeIsNull(std::string t) {
  return ReescribeLlamadas(std::move(t), "IsNull(", [](std::string_view r, std::size_t p, char) {
    const std::size_t q = r.find(')', p + 7);
    if (q == std::string_view::npos) {
      throw KelvError(kErrInvalidArgument, "DeAccesASQL",
                      "IsNull( at position " + std::to_string(p + 1) +
                          " has no closing parenthesis");
    }
    const std::string_view x = r.substr(p + 7, q - p - 7);
    Reescritura e;
    e.fin = q + 1;
    if (x.find(',') == std::string_view::npos) {
      e.texto = std::string(x) + " IS NULL ";
      e.siguiente = 1;
    } else {
      e.siguiente = q + 1 - p;
    }
    return e;
  });
}

// cdate(Format(d,'MM/yyyy')) becomes cdate('01/' + Format(d,'MM/yyyy')): the month/year
// text gets a first day. The closing parenthesis of cdate stays where it was.
std::string ReescribeMesAnio(std::string t) {
  static constexpr std::string_view kLiteral = "cdate(Format(";
  return ReescribeLlamadas(std::move(t), kLiteral, [](std::string_view r, std::size_t p, char) {
    const Contenido c = ContenidoParentesis(r, p + kLiteral.size() - 1);
    const Partes partes = PartesDeLlamada(c.texto);
    if (partes.size() < 2) SinArgumentos("cdate(Format(", p);
    Reescritura e;
    e.fin = c.cierre + 1;
    e.siguiente = 6;
    if (partes[1] == "'MM/yyyy'") {
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

// Trim(x) becomes RTrim(LTrim(x)); the next search starts after both "Trim(" of the
// replacement. A "Trim(" that ends a longer name (LTrim, RTrim, which SQL Server has too)
// is left as it is.
std::string ReescribeTrim(std::string t) {
  return ReescribeLlamadas(std::move(t), "TRIM(", [](std::string_view r, std::size_t p, char anterior) {
    const Contenido c = ContenidoParentesis(r, p + 4);
    Reescritura e;
    e.fin = c.cierre + 1;
    e.siguiente = 1;
    if (!EsLetraDeNombre(anterior)) {
      e.texto = "RTrim(LTrim(" + std::string(c.texto) + "))";
      e.siguiente = 8;
    }
    return e;
  });
}

// Replaces every find by with (letter case as cmp says), except where find ends a longer
// name (a letter, digit or '_' before it) or follows prefijo (letter case ignored): text
// that already is in the target form is left as it is.
std::string ReemplazaSalvoTras(std::string_view t, std::string_view find, std::string_view with,
                               Compare cmp, std::string_view prefijo) {
  auto busca = [&](std::size_t desde) {
    return cmp == Compare::Exact ? t.find(find, desde) : FindAnyCase(t, find, desde);
  };
  std::string out;
  std::size_t desde = 0;
  for (std::size_t p = busca(0); p != std::string_view::npos; p = busca(p + find.size())) {
    const bool tras = !prefijo.empty() && p >= prefijo.size() &&
                      FindAnyCase(t.substr(p - prefijo.size(), prefijo.size()), prefijo) == 0;
    if (tras || (p > 0 && EsLetraDeNombre(t[p - 1]))) continue;
    out.append(t.substr(desde, p - desde));
    out.append(with);
    desde = p + find.size();
  }
  out.append(t.substr(desde));
  return out;
}

}  // namespace

std::string clsCambiaTipoSQL::DeAccesASQL(const std::string& strVista) const {
  std::string t = Replace(strVista, "\r\n", " ");                       // 1
  t = Trim(t);                                                          // 2
  if (!t.empty() && t.back() == ';') t.pop_back();                      // 3
  t = Replace(Replace(t, "[", "("), "]", ")");                          // 4
  t = Replace(Replace(t, "False", "0"), "True", "1");                   // 5
  if (Ocurre(t, "(Memo)")) t = Replace(t, "(Memo)", "Memo");            // 6
  if (Ocurre(t, "\"")) t = Replace(t, "\"", "'");                       // 7
  if (Ocurre(t, "MID(")) t = Replace(t, "MID", "SUBSTRING");            // 8
  if (Ocurre(t, "DistinctROW")) t = Replace(t, "DistinctROW", "Distinct");  // 9
  if (Ocurre(t, "IIF(")) t = SQLCambiarIIF(t);                          // 10
  if (Ocurre(t, "&")) t = Replace(t, "&", "+");                         // 11
  if (Ocurre(t, "#")) t = CambiaFecha(t);                               // 12
  if (DeUnion(t)) t = Replace(t, ";", "");                             // 13
  if (Ocurre(t, "Val")) t = ReemplazaSalvoTras(t, "Val(", "dbo.Val(", Compare::AnyCase, "dbo.");  // 14
  if (Ocurre(t, "). ")) t = Replace(t, "). ", ") ");                    // 15
  t = ReescribeSimple(std::move(t), "CINT(", [](std::string_view a) {   // 16
    return " CAST(" + std::string(a) + " as SMALLINT)";
  });
  if (Ocurre(t, "Order by ")) {                                         // 17
    t.resize(InStrRev(t, "Order by ", 0, Compare::AnyCase) - 1);
  }
  if (Ocurre(t, "Sgn(")) t = ReplaceAnyCase(t, "sgn(", "Sign(");        // 18
  // Access's Int rounds down (Int(-8.4) is -9): FLOOR, not CEILING.
  if (Ocurre(t, "INT(")) t = ReplaceAnyCase(t, "Int(", "FLOOR(");       // 19
  if (Ocurre(t, "CSTR(")) t = ReplaceAnyCase(t, "CSTR(", "Convert(nvarchar,");  // 20
  if (Ocurre(t, " MOD ")) t = ReplaceAnyCase(t, " MOD ", " % ");        // 21
  if (Ocurre(t, "\\")) t = Replace(t, "\\", "/");                       // 22
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
  t = ReescribeMesAnio(std::move(t));                                   // 25
  t = ReescribePartes(std::move(t), "instr(", 1,                        // 26
                      [](std::string_view, const Partes& p, std::size_t) -> Opcional {
                        if (p.size() < 2) return std::nullopt;
                        return "PATINDEX('%" + SinApostrofes(p[1]) + "%'," + p[0] + ")";
                      });
  t = ReescribeSimple(std::move(t), "CBOOL(", [](std::string_view a) {  // 27
    return "IIF(" + std::string(a) + ",1,0)";
  });
  t = ReescribeTrim(std::move(t));                                      // 28
  if (Ocurre(t, " XOR ")) t = SQLCambiarXOR(t);                         // 29
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
  if (Ocurre(t, "date()")) t = ReemplazaSalvoTras(t, "date()", "getdate()", Compare::Exact, "");  // 33
  t = ReescribeSimple(std::move(t), "cdate(", [](std::string_view a) {  // 34
    return " CONVERT(datetime," + std::string(a) + ",103)";
  });
  t = ReescribeIsNull(std::move(t));                                    // 35
  if (Ocurre(t, " Where ")) t = CambiarBooleanos(t);                    // 36
  if (Ocurre(t, "Switch(")) t = SQLCambiaSwitch(t);                     // 37
  if (Ocurre(t, " as ")) t = SQLCambiarAlias(t);                        // 38
  t = ReescribeSimple(std::move(t), "CLNG(", [](std::string_view a) {   // 39
    return " CAST(" + std::string(a) + " as INT)";
  });
  t = ReescribeSimple(std::move(t), "CSNG(", [](std::string_view a) {   // 40
    return " CAST(" + std::string(a) + " as Float)";
  });
  if (GroupBySinBlanco(t)) t = Replace(t, "Group by", " Group by");    // 41
  YieldToWindowSystem();                                                // 42
  return t;
}

}  // namespace kelv
