// clsCambiaTipoSQL: the Access conditional functions IIF and Switch (all OSes).
#include "sqltranslate/call_rewrite.h"
#include "sqltranslate/cambia_tipo_sql.h"
#include "sqltranslate/text_search.h"
#include "text/error.h"
#include "text/toolbox.h"

namespace kelv {
namespace {

bool Empieza(std::string_view s, std::string_view prefijo) {
  return s.substr(0, prefijo.size()) == prefijo;
}

}  // namespace

std::string clsCambiaTipoSQL::SQLCambiarIIF(const std::string& strComando) const {
  std::string s = strComando;
  std::size_t p = s.find("IIF(");
  while (p != std::string::npos) {
    const std::string a(ContenidoParentesis(s, p + 3).texto);
    std::vector<std::string> partes = PartesDeLlamada(a);
    // More than three parts (a comma inside a quoted text): neighbours are joined again.
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
    bool hecho = false;
    if (Empieza(cond, "IsNull") || Empieza(cond, "Not IsNull")) {
      // The null-substitution idiom: IIF(IsNull(x),y,x) and IIF(Not IsNull(x),x,y).
      const bool negado = Empieza(cond, "Not ");
      const std::size_t abre = negado ? 10 : 6;
      if (abre < cond.size()) {
        const std::string x = Trim(ContenidoParentesis(cond, abre).texto);
        if ((!negado && Trim(partes[2]) == x) || (negado && Trim(partes[1]) == x)) {
          s = ReplaceAnyCase(s, "IIF(" + a + ")",
                             "ISNULL(" + x + "," + (negado ? partes[2] : partes[1]) + ")");
          hecho = true;
        }
      }
    }
    if (!hecho) {
      const std::string p0 = Replace(CambiarBooleanos("Where " + partes[0]), "Where ", "");
      s = ReplaceAnyCase(s, "IIF(" + a + ")",
                         "IIF(" + p0 + "," + partes[1] + "," + partes[2] + ")");
    }
    p = s.find("IIF(", p + 4);
  }
  return s;
}

std::string clsCambiaTipoSQL::SQLCambiaSwitch(const std::string& strComando) const {
  std::string s = Replace(Replace(strComando, "Switch  (", "Switch("), "Switch (", "Switch(");
  std::size_t p = s.find("Switch(");
  while (p != std::string::npos) {
    const std::string a(ContenidoParentesis(s, p + 6).texto);
    const std::vector<std::string> partes = PartesDeLlamada(a);
    const long u = static_cast<long>(partes.size()) - 1;
    std::string acc;
    for (long i = 0; i <= u; i += 2) {
      if (i + 1 < u) {
        const std::string cond = Replace(CambiarBooleanos("Where " + partes[i]), "Where ", "");
        acc += " When " + cond + " Then " + partes[i + 1];
      } else {
        if (i + 1 > u) {
          throw KelvError(kErrSubscript, "SQLCambiaSwitch",
                          "Switch( at position " + std::to_string(p + 1) +
                              " has an odd number of arguments");
        }
        acc += " Else " + partes[i + 1];
      }
    }
    s = ReplaceAnyCase(s, "Switch(" + a + ")", "(Case " + acc + " End)");
    p = s.find("Switch(", p + 6);
  }
  return s;
}

}  // namespace kelv
