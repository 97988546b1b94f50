// clsCambiaTipoSQL::CambiaFecha: Access date constants (#...#) become quoted SQL Server
// texts in year-month-day order (all OSes). The new texts are string literals like any
// other, so no later pass changes them.
#include <optional>

#include "sqltranslate/cambia_tipo_sql.h"
#include "sqltranslate/date_recognition.h"
#include "sqltranslate/masked_passes.h"
#include "sqltranslate/step_guard.h"

namespace kelv {
namespace {

// The text that stands for a recognised date between the quotes: a whole date in
// year-month-day order (and its time after a blank); a month/year or a time alone as it
// was written.
std::string TextoFecha(const FechaAccess& f, std::string_view escrito) {
  if (f.forma != FechaAccess::Forma::Completa) return std::string(escrito);
  std::string d = f.anio + "-" + f.mes + "-" + f.dia;
  if (!f.hora.empty()) d += " " + f.hora;
  return d;
}

}  // namespace

namespace enmascarado {

std::string CambiaFecha(Literales& lit, const std::string& strComando) {
  // One pass: a rewritten constant is never scanned again, so the result is built as the
  // scan goes and the search continues in the original text after each closing "#".
  std::string s;
  s.reserve(strComando.size());
  std::size_t copiado = 0;  // original text before this offset is already in s
  std::size_t c = strComando.find('#');
  while (c != std::string::npos) {
    const std::size_t b = strComando.find('#', c + 1);
    if (b == std::string::npos) break;
    const std::string_view d = std::string_view(strComando).substr(c + 1, b - c - 1);
    std::optional<std::string> nuevo;
    IgnorarFallo([&] {
      if (auto f = ReconoceFecha(d)) nuevo = lit.NuevoTexto(TextoFecha(*f, d));
    });
    if (nuevo) {
      s.append(strComando, copiado, c - copiado);
      s.append(*nuevo);
      copiado = b + 1;
    }
    c = strComando.find('#', b + 1);
  }
  s.append(strComando, copiado, std::string::npos);
  return s;
}

}  // namespace enmascarado

std::string clsCambiaTipoSQL::CambiaFecha(const std::string& strComando) const {
  return SobreCodigo(strComando, [](Literales& lit, std::string t) {
    return enmascarado::CambiaFecha(lit, t);
  });
}

}  // namespace kelv
