// The VBA functions of Access queries that T-SQL spells otherwise, translated after the
// rules (all OSes):
//   Now() → GETDATE(), Time() → CAST(GETDATE() AS time), DateValue(x) → CAST(x AS date),
//   TimeValue(x) → CAST(x AS time), LCase/UCase → LOWER/UPPER, Chr/ChrW → CHAR/NCHAR,
//   Asc/AscW → ASCII/UNICODE, Hour/Minute/Second(x) → DATEPART(hour|minute|second, x),
//   Fix(x) → SIGN(x) * FLOOR(ABS(x)) (toward zero), CDbl/CCur/CDec(x) → CAST(x AS
//   float|money|decimal(38,10)), CByte(x) → CAST(ROUND(x, 0) AS tinyint) (CByte rounds),
//   CVar(x) → (x), Sqr/Atn/StrReverse → SQRT/ATAN/REVERSE, StrConv(x, 1|2) → UPPER/LOWER(x),
//   Str(x) → the number's text with Str's leading blank, String(n, c) → REPLICATE,
//   Avg(x) → AVG(CAST(x AS float)), DateSerial(y, m, d) → DATEFROMPARTS (or date arithmetic
//   where Access would roll over), Format (format_patterns.cpp), and the intervals T-SQL
//   lacks in DatePart, DateAdd and DateDiff ("h"; DateDiff's "w", whole weeks).
#include <optional>
#include <string>
#include <vector>

#include "sqltranslate/access_passes.h"
#include "sqltranslate/call_rewrite.h"
#include "sqltranslate/sql_scan.h"
#include "text/toolbox.h"
#include "text/utf8.h"

namespace kelv::acceso {
namespace {

using Partes = std::vector<std::string>;
// A replacement and how many of its first characters the next search skips.
using Hecho = std::optional<std::pair<std::string, std::size_t>>;

// A call rewrite built from the call's arguments: construye returns the replacement and how
// many of its first characters to skip before searching again (the calls nested in the
// arguments are rewritten after), or nothing to leave the call.
template <typename Construye>
LlamadaConocida Llamada(std::string_view nombre, Construye construye) {
  return {nombre, [nombre, construye](std::string_view r, std::size_t p, std::size_t) {
            const Contenido c = ContenidoParentesis(r, p + nombre.size());
            Reescritura e;
            e.siguiente = nombre.size() + 1;
            if (c.cierre >= r.size()) return e;
            Partes a = PartesDeLlamada(c.texto);
            for (std::string& x : a) x = std::string(SinEspacios(x));
            Hecho n = construye(a, r.substr(p, c.cierre + 1 - p));
            if (!n) return e;
            e.texto = std::move(n->first);
            e.fin = c.cierre + 1;
            e.siguiente = n->second;
            return e;
          }};
}

// name(x) → antes + x + despues, for a call of one argument.
LlamadaConocida Envuelve(std::string_view nombre, std::string antes, std::string despues) {
  return Llamada(nombre, [antes, despues](const Partes& a, std::string_view) -> Hecho {
    if (a.size() != 1 || a[0].empty()) return std::nullopt;
    return std::make_pair(antes + a[0] + despues, antes.size());
  });
}

// name() → texto, for a call without arguments.
LlamadaConocida SinArgumentos(std::string_view nombre, std::string texto) {
  return Llamada(nombre, [texto](const Partes& a, std::string_view) -> Hecho {
    if (!a.empty()) return std::nullopt;
    return std::make_pair(texto, texto.size());
  });
}

// The whole number a literal argument holds, or -1.
long Entero(std::string_view s) {
  s = SinEspacios(s);
  if (s.empty() || s.size() > 9) return -1;
  long v = 0;
  for (char c : s) {
    if (c < '0' || c > '9') return -1;
    v = v * 10 + (c - '0');
  }
  return v;
}

bool EsLlamadaA(std::string_view s, std::string_view funcion) {
  return s.size() > funcion.size() && FraseEn(s, 0, funcion) && s[funcion.size()] == '(' &&
         EntreParentesis(s.substr(funcion.size()));
}

// DateSerial(y, m, d): DATEFROMPARTS when the month and day cannot roll over (a month of 1
// to 12 or Month(...), a day that month has, or one of 1 to 28); otherwise the days and months are
// added to the first of January as Access adds them. A two-digit literal year is read as Access
// reads it (0-29 → 2000-2029, 30-99 → 1930-1999).
Hecho DateSerial(const Partes& a, std::string_view) {
  if (a.size() != 3) return std::nullopt;
  std::string y = a[0];
  const long ny = Entero(y);
  if (ny >= 0 && ny < 100) y = std::to_string(ny < 30 ? 2000 + ny : 1900 + ny);
  const long m = Entero(a[1]), d = Entero(a[2]);
  const bool mesLlano = (m >= 1 && m <= 12) || EsLlamadaA(a[1], "Month");
  // A day that every month has, or one that the given month of the given year has.
  long dias = 28;
  if (m >= 1 && m <= 12) {
    static const long kDias[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const long anio = Entero(y);
    const bool bisiesto = anio > 0 && anio % 4 == 0 && (anio % 100 != 0 || anio % 400 == 0);
    dias = kDias[m - 1] + (m == 2 && bisiesto ? 1 : 0);
  }
  const bool diaLlano = d >= 1 && d <= dias;
  if (mesLlano && diaLlano) {
    return std::make_pair("DATEFROMPARTS(" + y + ", " + a[1] + ", " + a[2] + ")", 14);
  }
  return std::make_pair("DATEADD(day, (" + a[2] + ") - 1, DATEADD(month, (" + a[1] +
                            ") - 1, DATEFROMPARTS(" + y + ", 1, 1)))",
                        14);
}

// A date function whose interval T-SQL does not know: "h" is "hour"; DateDiff's "w" counts
// whole weeks. (The rules took the quotes off the interval, which may still stand for the
// literal's text.)
LlamadaConocida Intervalo(const Literales& lit, std::string_view nombre) {
  const bool diff = EsPalabra(nombre, "DateDiff");
  return Llamada(nombre, [&lit, nombre, diff](const Partes& a, std::string_view) -> Hecho {
    if (a.empty()) return std::nullopt;
    const std::string intervalo = lit.Restaura(a[0]);
    if (EsPalabra(intervalo, "h")) {
      Partes b = a;
      b[0] = "hour";
      return std::make_pair(std::string(nombre) + "(" + Join(b, ", ") + ")", nombre.size() + 1);
    }
    if (diff && a.size() == 3 && EsPalabra(intervalo, "w")) {
      return std::make_pair("(DATEDIFF(day, " + a[1] + ", " + a[2] + ") / 7)", 1);
    }
    return std::nullopt;
  });
}

}  // namespace

std::string LlamadasTrasLasReglas(Literales& lit, std::string t, Informe& informe) {
  const std::vector<LlamadaConocida> tabla = {
      SinArgumentos("Now", "GETDATE()"),
      SinArgumentos("Time", "CAST(GETDATE() AS time)"),
      Envuelve("DateValue", "CAST(", " AS date)"),
      Envuelve("TimeValue", "CAST(", " AS time)"),
      Envuelve("LCase", "LOWER(", ")"),
      Envuelve("UCase", "UPPER(", ")"),
      Envuelve("Chr", "CHAR(", ")"),
      Envuelve("ChrW", "NCHAR(", ")"),
      Envuelve("Asc", "ASCII(", ")"),
      Envuelve("AscW", "UNICODE(", ")"),
      Envuelve("Hour", "DATEPART(hour, ", ")"),
      Envuelve("Minute", "DATEPART(minute, ", ")"),
      Envuelve("Second", "DATEPART(second, ", ")"),
      Llamada("Fix",
              [](const Partes& a, std::string_view) -> Hecho {
                if (a.size() != 1 || a[0].empty()) return std::nullopt;
                return std::make_pair("(SIGN(" + a[0] + ") * FLOOR(ABS(" + a[0] + ")))", 6);
              }),
      Envuelve("CDbl", "CAST(", " AS float)"),
      Envuelve("CCur", "CAST(", " AS money)"),
      Envuelve("CByte", "CAST(ROUND(", ", 0) AS tinyint)"),
      Envuelve("CDec", "CAST(", " AS decimal(38,10))"),
      Envuelve("CVar", "(", ")"),
      Envuelve("Sqr", "SQRT(", ")"),
      Envuelve("Atn", "ATAN(", ")"),
      Envuelve("StrReverse", "REVERSE(", ")"),
      Llamada("StrConv",
              [&](const Partes& a, std::string_view llamada) -> Hecho {
                const long modo = a.size() == 2 ? Entero(a[1]) : -1;
                if (modo == 1) return std::make_pair("UPPER(" + a[0] + ")", 6);
                if (modo == 2) return std::make_pair("LOWER(" + a[0] + ")", 6);
                informe.Avisa(lit, "StrConv conversion with no T-SQL counterpart", llamada);
                return std::nullopt;
              }),
      Llamada("Str",
              [&](const Partes& a, std::string_view) -> Hecho {
                if (a.size() != 1 || a[0].empty()) return std::nullopt;
                return std::make_pair("(IIF(" + a[0] + " < 0, " + lit.NuevoTexto("") + ", " +
                                          lit.NuevoTexto(" ") + ") + CONVERT(nvarchar(40), " +
                                          a[0] + "))",
                                      5);
              }),
      Llamada("DateSerial", DateSerial),
      Llamada("String",
              [&](const Partes& a, std::string_view) -> Hecho {
                // String(n, c) repeats the first character of c, or the character whose code
                // c is.
                if (a.size() != 2 || a[0].empty() || a[1].empty()) return std::nullopt;
                std::string caracter = "LEFT(" + a[1] + ", 1)";
                if (const auto texto = lit.TextoDe(a[1])) {
                  if (texto->empty()) return std::nullopt;
                  const std::size_t largo = DecodeUtf8At(*texto, 0).len;
                  caracter = texto->size() == largo ? a[1]
                                                    : lit.NuevoTexto(texto->substr(0, largo));
                } else if (Entero(a[1]) >= 0) {
                  caracter = "CHAR(" + a[1] + ")";
                }
                return std::make_pair("REPLICATE(" + caracter + ", " + a[0] + ")", 10);
              }),
      Llamada("Avg",
              [&](const Partes& a, std::string_view) -> Hecho {
                // Access averages as floating-point numbers; T-SQL's AVG of integers gives an
                // integer. A pass-through text (it has comments) keeps T-SQL's AVG.
                if (a.size() != 1 || a[0].empty() || lit.ConComentarios() ||
                    FraseEn(a[0], 0, "DISTINCT") || FraseEn(a[0], 0, "ALL")) {
                  return std::nullopt;
                }
                return std::make_pair("AVG(CAST(" + a[0] + " AS float))", 4);
              }),
      Llamada("Format",
              [&](const Partes& a, std::string_view llamada) {
                return ReescribeFormat(lit, a, llamada, informe);
              }),
      Intervalo(lit, "DatePart"),
      Intervalo(lit, "DateAdd"),
      Intervalo(lit, "DateDiff"),
  };
  return ReescribeLlamadasDe(std::move(t), tabla);
}

}  // namespace kelv::acceso
