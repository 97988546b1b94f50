// clsCambiaTipoSQL: the Access conditional functions IIF and Switch (all OSes).
#include "sqltranslate/call_rewrite.h"
#include "sqltranslate/cambia_tipo_sql.h"
#include "sqltranslate/masked_passes.h"
#include "sqltranslate/sql_scan.h"
#include "sqltranslate/text_search.h"
#include "text/error.h"
#include "text/toolbox.h"

namespace kelv {
namespace {

// Whether a Switch condition is a constant that always holds: a number other than 0 (True
// is 1 by then, and Access's own True is -1).
bool SiempreCierta(std::string_view c) {
  c = SinEspacios(c);
  while (EntreParentesis(c)) c = SinEspacios(c.substr(1, c.size() - 2));
  if (EsPalabra(c, "True")) return true;
  if (!c.empty() && c[0] == '-') c = SinEspacios(c.substr(1));
  bool cero = true;
  for (char d : c) {
    if (d < '0' || d > '9') return false;
    if (d != '0') cero = false;
  }
  return !c.empty() && !cero;
}

bool Empieza(std::string_view s, std::string_view prefijo) {
  return s.size() >= prefijo.size() && FindAnyCase(s.substr(0, prefijo.size()), prefijo) == 0;
}

}  // namespace

namespace enmascarado {

std::string CambiarIIF(const std::string& strComando) {
  // Each call is replaced where it stands; the next search starts inside it, so the calls
  // nested in its arguments are rewritten after it.
  return ReescribeLlamadas(
      strComando, "IIF(", [](std::string_view r, std::size_t p, std::size_t antes) {
        const Contenido c = ContenidoParentesis(r, p + 3);
        std::vector<std::string> partes = PartesDeLlamada(c.texto);
        // More than three parts: neighbours are joined again.
        if (partes.size() > 3) {
          std::size_t i = 1, ultimo = partes.size() - 1;
          while (i < ultimo) {
            partes[i] += "," + partes[i + 1];
            partes.erase(partes.begin() + static_cast<std::ptrdiff_t>(i) + 1);
            ++i;
            --ultimo;
          }
        }
        if (partes.size() < 3) {
          throw KelvError(kErrSubscript, "SQLCambiarIIF",
                          "IIF( at position " + std::to_string(antes + p + 1) +
                              " has fewer than three arguments");
        }
        Reescritura e;
        e.siguiente = 4;
        // A call whose parentheses never close is left.
        if (c.cierre >= r.size()) return e;
        e.fin = c.cierre + 1;
        const std::string cond = Trim(partes[0]);
        if (Empieza(cond, "IsNull") || Empieza(cond, "Not IsNull")) {
          // The null-substitution idiom: IIF(IsNull(x),y,x) and IIF(Not IsNull(x),x,y).
          const bool negado = Empieza(cond, "Not ");
          const std::size_t abre = negado ? 10 : 6;
          if (abre < cond.size()) {
            const std::string x = Trim(ContenidoParentesis(cond, abre).texto);
            if ((!negado && Trim(partes[2]) == x) || (negado && Trim(partes[1]) == x)) {
              e.texto = "ISNULL(" + x + "," + (negado ? partes[2] : partes[1]) + ")";
            }
          }
        }
        if (!e.texto) {
          e.texto = "IIF(" + RevisaCondicion(partes[0]) + "," + partes[1] + "," + partes[2] + ")";
        }
        return e;
      });
}

std::string CambiaSwitch(const std::string& strComando) {
  const std::string s =
      ReplaceAnyCase(ReplaceAnyCase(strComando, "Switch  (", "Switch("), "Switch (", "Switch(");
  return ReescribeLlamadas(s, "Switch(", [](std::string_view r, std::size_t p, std::size_t antes) {
    const Contenido c = ContenidoParentesis(r, p + 6);
    const std::vector<std::string> partes = PartesDeLlamada(c.texto);
    const long u = static_cast<long>(partes.size()) - 1;
    std::string acc;
    for (long i = 0; i <= u; i += 2) {
      if (i + 1 > u) {
        throw KelvError(kErrSubscript, "SQLCambiaSwitch",
                        "Switch( at position " + std::to_string(antes + p + 1) +
                            " has an odd number of arguments");
      }
      // The last value is the default only when its condition always holds (True, 1, -1);
      // otherwise, as in Access, no condition that holds gives Null (a CASE without ELSE).
      if (i + 1 < u || !SiempreCierta(partes[i])) {
        acc += " When " + RevisaCondicion(partes[i]) + " Then " + partes[i + 1];
      } else {
        acc += " Else " + partes[i + 1];
      }
    }
    Reescritura e;
    e.siguiente = 6;
    if (c.cierre < r.size()) {
      e.fin = c.cierre + 1;
      e.texto = "(Case " + acc + " End)";
    }
    return e;
  });
}

}  // namespace enmascarado

std::string clsCambiaTipoSQL::SQLCambiarIIF(const std::string& strComando) const {
  return SobreCodigo(strComando,
                     [](Literales&, std::string t) { return enmascarado::CambiarIIF(t); });
}

std::string clsCambiaTipoSQL::SQLCambiaSwitch(const std::string& strComando) const {
  return SobreCodigo(strComando,
                     [](Literales&, std::string t) { return enmascarado::CambiaSwitch(t); });
}

}  // namespace kelv
