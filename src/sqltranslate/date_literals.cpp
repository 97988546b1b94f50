// clsCambiaTipoSQL::CambiaFecha: Access date constants (#...#) become quoted SQL Server
// texts in year-month-day order, yyyymmdd (all OSes). The new texts are string literals like
// any other, so no later pass changes them.
#include <optional>
#include <string>
#include <vector>

#include "sqltranslate/cambia_tipo_sql.h"
#include "sqltranslate/date_recognition.h"
#include "sqltranslate/masked_passes.h"
#include "sqltranslate/step_guard.h"
#include "text/toolbox.h"

namespace kelv {
namespace {

std::string DosCifras(const std::string& n) { return n.size() == 1 ? "0" + n : n; }

// A time as written (H:MM[:SS] [AM|PM]) in 24-hour HH:MM:SS.
std::string Hora24(const std::string& escrita) {
  std::string h = Trim(escrita);
  int suma = -1;  // hours to add for PM (12 AM is 0)
  if (h.size() > 3) {
    const std::string fin = UpperCase(h.substr(h.size() - 2));
    if (fin == "AM" || fin == "PM") {
      suma = fin == "PM" ? 12 : 0;
      h = Trim(h.substr(0, h.size() - 2));
    }
  }
  std::vector<std::string> p = Split(h, ":");
  int horas = std::stoi(p[0]);
  if (suma >= 0) horas = horas % 12 + suma;
  return DosCifras(std::to_string(horas)) + ":" + p[1] + ":" + (p.size() > 2 ? p[2] : "00");
}

// The text that stands for a recognised date between the quotes, in the form SQL Server
// reads the same whatever its language and date format settings: yyyymmdd, with the time
// after a blank as HH:MM:SS. A month/year is the first of that month, as Access reads it; a
// time alone is that time on 30 December 1899, the day Access gives it.
std::string TextoFecha(const FechaAccess& f) {
  std::string d;
  switch (f.forma) {
    case FechaAccess::Forma::Completa: d = f.anio + DosCifras(f.mes) + DosCifras(f.dia); break;
    case FechaAccess::Forma::MesAnio: d = f.anio + DosCifras(f.mes) + "01"; break;
    case FechaAccess::Forma::SoloHora: d = "18991230"; break;
  }
  if (!f.hora.empty()) d += " " + Hora24(f.hora);
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
      if (auto f = ReconoceFecha(d)) nuevo = lit.NuevoTexto(TextoFecha(*f));
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
