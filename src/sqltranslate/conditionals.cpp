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

bool Empieza(std::string_view s, std::string_view prefijo) {
  return s.size() >= prefijo.size() && FindAnyCase(s.substr(0, prefijo.size()), prefijo) == 0;
}

}  // namespace

namespace enmascarado {

std::string CambiarIIF(const std::string& strComando) {
  std::string s = strComando;
  std::size_t p = BuscaFrase(s, "IIF(");
  while (p != std::string::npos) {
    const Contenido c = ContenidoParentesis(s, p + 3);
    const std::string a(c.texto);
    std::vector<std::string> partes = PartesDeLlamada(a);
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
                      "IIF( at position " + std::to_string(p + 1) +
                          " has fewer than three arguments");
    }
    const std::string cond = Trim(partes[0]);
    std::string nuevo;
    if (Empieza(cond, "IsNull") || Empieza(cond, "Not IsNull")) {
      // The null-substitution idiom: IIF(IsNull(x),y,x) and IIF(Not IsNull(x),x,y).
      const bool negado = Empieza(cond, "Not ");
      const std::size_t abre = negado ? 10 : 6;
      if (abre < cond.size()) {
        const std::string x = Trim(ContenidoParentesis(cond, abre).texto);
        if ((!negado && Trim(partes[2]) == x) || (negado && Trim(partes[1]) == x)) {
          nuevo = "ISNULL(" + x + "," + (negado ? partes[2] : partes[1]) + ")";
        }
      }
    }
    if (nuevo.empty()) {
      nuevo = "IIF(" + RevisaCondicion(partes[0]) + "," + partes[1] + "," + partes[2] + ")";
    }
    // The call is replaced where it stands; one whose parentheses never close is left.
    if (c.cierre < s.size()) s.replace(p, c.cierre + 1 - p, nuevo);
    p = BuscaFrase(s, "IIF(", p + 4);
  }
  return s;
}

std::string CambiaSwitch(const std::string& strComando) {
  std::string s =
      ReplaceAnyCase(ReplaceAnyCase(strComando, "Switch  (", "Switch("), "Switch (", "Switch(");
  std::size_t p = BuscaFrase(s, "Switch(");
  while (p != std::string::npos) {
    const Contenido c = ContenidoParentesis(s, p + 6);
    const std::vector<std::string> partes = PartesDeLlamada(c.texto);
    const long u = static_cast<long>(partes.size()) - 1;
    std::string acc;
    for (long i = 0; i <= u; i += 2) {
      if (i + 1 < u) {
        acc += " When " + RevisaCondicion(partes[i]) + " Then " + partes[i + 1];
      } else {
        if (i + 1 > u) {
          throw KelvError(kErrSubscript, "SQLCambiaSwitch",
                          "Switch( at position " + std::to_string(p + 1) +
                              " has an odd number of arguments");
        }
        acc += " Else " + partes[i + 1];
      }
    }
    if (c.cierre < s.size()) s.replace(p, c.cierre + 1 - p, "(Case " + acc + " End)");
    p = BuscaFrase(s, "Switch(", p + 6);
  }
  return s;
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
