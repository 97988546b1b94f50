// Days of the week and week numbers as Access counts them, whatever the server's settings
// (all OSes).
//
// Access counts the days of the week from Sunday (Weekday and DatePart "w" give 1 for
// Sunday) and week 1 is the week of 1 January, unless the call names another first day
// (vbMonday is 2, ...) or first week. T-SQL's DATEPART(weekday) and DATEPART(week) follow the
// session's DATEFIRST, which the server's language sets (Monday in Spanish): they are
// written from @@DATEFIRST, and weeks from DATEDIFF(week), which always counts Sundays:
//   Weekday(d[, k])             → ((DATEPART(weekday, d) + @@DATEFIRST + 7 - k) % 7 + 1)
//   DatePart("ww", d[, k])      → (DATEDIFF(week, DATEADD(day, 1 - k, DATEFROMPARTS(YEAR(d),
//                                   1, 1)), DATEADD(day, 1 - k, d)) + 1)
//   DatePart("ww", d, 2, 2)     → DATEPART(iso_week, d) (Monday, the first week of four days)
//   DateDiff("ww", a, b, k)     → DATEDIFF(week, DATEADD(day, 1 - k, a), DATEADD(day, 1 - k, b))
// (the shift by 1 - k days turns the first day k into a Sunday; k of 1, Sunday, needs none).
// A first day or first week given by an expression, or a first week T-SQL has no count for,
// is reported and the call left to the rules, which drop those arguments.
#include <optional>
#include <string>
#include <vector>

#include "sqltranslate/access_passes.h"
#include "sqltranslate/call_rewrite.h"
#include "sqltranslate/sql_scan.h"
#include "text/toolbox.h"

namespace kelv::acceso {
namespace {

using Partes = std::vector<std::string>;

// The value of an argument that is a whole number from 0 to 7 written as such; -1 for any
// other argument, 0 for one not given. Access's 0 (the system's setting) is read as 1.
int Constante(const Partes& a, std::size_t i) {
  if (i >= a.size()) return 1;
  const std::string_view s = SinEspacios(a[i]);
  if (s.size() != 1 || s[0] < '0' || s[0] > '7') return -1;
  return s[0] == '0' ? 1 : s[0] - '0';
}

// d moved back by k - 1 days, so that the day k of its week falls on a Sunday.
std::string Desplazado(const std::string& d, int k) {
  if (k == 1) return d;
  return "DATEADD(day, " + std::to_string(1 - k) + ", " + d + ")";
}

std::string DiaDeSemana(const std::string& d, int k) {
  return "((DATEPART(weekday, " + d + ") + @@DATEFIRST + " + std::to_string(7 - k) +
         ") % 7 + 1)";
}

// Whether the argument that starts at offset i (blanks aside) is the literal "w" or "ww".
bool IntervaloDeSemana(const Literales& lit, std::string_view r, std::size_t i) {
  const auto k = lit.TokenEn(r, SaltaEspacios(r, i));
  if (!k || k->clase != Literales::Clase::Texto) return false;
  const auto texto = lit.TextoDe(r.substr(k->inicio, k->fin - k->inicio));
  return texto && (EsPalabra(*texto, "w") || EsPalabra(*texto, "ww"));
}

// The replacement of a call, or nothing to leave it; a call that cannot be followed is
// reported.
struct Semanas {
  const Literales& lit;
  Informe& informe;

  std::optional<std::string> Avisa(std::string_view llamada) const {
    informe.Avisa(lit, "first day of the week or first week of the year T-SQL cannot follow",
                  llamada);
    return std::nullopt;
  }

  std::optional<std::string> Weekday(const Partes& a, std::string_view llamada) const {
    if (a.empty() || a.size() > 2) return std::nullopt;
    const int k = Constante(a, 1);
    if (k < 0) return Avisa(llamada);
    return DiaDeSemana(a[0], k);
  }

  std::optional<std::string> DatePart(const Partes& a, std::string_view llamada) const {
    const auto intervalo = a.size() >= 2 ? lit.TextoDe(a[0]) : std::nullopt;
    if (!intervalo || a.size() > 4) return std::nullopt;
    const int k = Constante(a, 2), semana = Constante(a, 3);
    if (EsPalabra(*intervalo, "w")) {
      if (k < 0) return Avisa(llamada);
      return DiaDeSemana(a[1], k);
    }
    if (!EsPalabra(*intervalo, "ww")) return std::nullopt;
    if (k == 2 && semana == 2) return "DATEPART(iso_week, " + a[1] + ")";
    if (k < 0 || semana != 1) return Avisa(llamada);
    return "(DATEDIFF(week, " + Desplazado("DATEFROMPARTS(YEAR(" + a[1] + "), 1, 1)", k) +
           ", " + Desplazado(a[1], k) + ") + 1)";
  }

  std::optional<std::string> DateDiff(const Partes& a, std::string_view llamada) const {
    const auto intervalo = a.size() == 4 ? lit.TextoDe(a[0]) : std::nullopt;
    if (!intervalo || !EsPalabra(*intervalo, "ww")) return std::nullopt;
    const int k = Constante(a, 3);
    if (k < 0) return Avisa(llamada);
    return "DATEDIFF(week, " + Desplazado(a[1], k) + ", " + Desplazado(a[2], k) + ")";
  }
};

}  // namespace

std::vector<LlamadaConocida> LlamadasDeSemana(const Literales& lit, Informe& informe) {
  using Metodo = std::optional<std::string> (Semanas::*)(const Partes&, std::string_view) const;
  const Semanas s{lit, informe};
  auto llamada = [s](std::string_view nombre, Metodo m) {
    return LlamadaConocida{nombre, [s, nombre, m](std::string_view r, std::size_t p, std::size_t) {
                             Reescritura e;
                             e.siguiente = nombre.size() + 1;
                             // DatePart and DateDiff of other intervals are left at once.
                             if (!EsPalabra(nombre, "Weekday") &&
                                 !IntervaloDeSemana(s.lit, r, p + nombre.size() + 1)) {
                               return e;
                             }
                             const Contenido c = ContenidoParentesis(r, p + nombre.size());
                             if (c.cierre >= r.size()) return e;
                             Partes a = PartesDeLlamada(c.texto);
                             for (std::string& x : a) x = std::string(SinEspacios(x));
                             std::optional<std::string> n =
                                 (s.*m)(a, r.substr(p, c.cierre + 1 - p));
                             if (!n) return e;
                             // The arguments are looked at again: they may hold more calls.
                             e.texto = std::move(*n);
                             e.fin = c.cierre + 1;
                             e.siguiente = 1;
                             return e;
                           }};
  };
  return {llamada("Weekday", &Semanas::Weekday), llamada("DatePart", &Semanas::DatePart),
          llamada("DateDiff", &Semanas::DateDiff)};
}

}  // namespace kelv::acceso
