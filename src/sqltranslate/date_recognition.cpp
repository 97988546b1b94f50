// Recognition of Access date literals (all OSes). The accepted forms are listed in
// date_recognition.h.
#include "sqltranslate/date_recognition.h"

#include <vector>

#include "text/toolbox.h"

namespace kelv {
namespace {

bool SoloDigitos(std::string_view s, std::size_t min, std::size_t max) {
  if (s.size() < min || s.size() > max) return false;
  for (char c : s) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

int Numero(std::string_view s) {
  int n = 0;
  for (char c : s) n = n * 10 + (c - '0');
  return n;
}

// A year of two or four digits; the two-digit form is widened as Access does.
std::optional<std::string> Anio(std::string_view s) {
  if (SoloDigitos(s, 2, 2)) {
    const int y = Numero(s);
    return std::to_string(y < 30 ? 2000 + y : 1900 + y);
  }
  if (SoloDigitos(s, 4, 4) && Numero(s) >= 100) return std::string(s);
  return std::nullopt;
}

bool EsMes(std::string_view s) { return SoloDigitos(s, 1, 2) && Numero(s) >= 1 && Numero(s) <= 12; }

bool DiaValido(std::string_view dia, int mes, int anio) {
  if (!SoloDigitos(dia, 1, 2)) return false;
  static const int kDias[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool bisiesto = (anio % 4 == 0 && anio % 100 != 0) || anio % 400 == 0;
  const int d = Numero(dia);
  const int max = (mes == 2 && bisiesto) ? 29 : kDias[mes - 1];
  return d >= 1 && d <= max;
}

// H:MM or H:MM:SS, with an optional blank-separated AM or PM.
bool EsHora(std::string_view s) {
  std::string t = Trim(s);
  bool ampm = false;
  if (t.size() > 3) {
    std::string fin = UpperCase(t.substr(t.size() - 2));
    if ((fin == "AM" || fin == "PM") && t[t.size() - 3] == ' ') {
      ampm = true;
      t = Trim(t.substr(0, t.size() - 2));
    }
  }
  std::vector<std::string> p = Split(t, ":");
  if (p.size() < 2 || p.size() > 3) return false;
  if (!SoloDigitos(p[0], 1, 2)) return false;
  for (std::size_t i = 1; i < p.size(); ++i) {
    if (!SoloDigitos(p[i], 2, 2) || Numero(p[i]) > 59) return false;
  }
  const int h = Numero(p[0]);
  return ampm ? (h >= 1 && h <= 12) : h <= 23;
}

std::optional<FechaAccess> ReconoceSoloFecha(std::string_view s) {
  char sep = 0;
  for (char c : {'/', '-', '.'}) {
    if (s.find(c) != std::string_view::npos) {
      if (sep) return std::nullopt;  // separators mixed
      sep = c;
    }
  }
  if (!sep) return std::nullopt;
  std::vector<std::string> p = Split(s, std::string_view(&sep, 1));
  FechaAccess f;
  if (p.size() == 2) {
    auto y = Anio(p[1]);
    if (!EsMes(p[0]) || !y) return std::nullopt;
    f.forma = FechaAccess::Forma::MesAnio;
    f.mes = p[0];
    f.anio = *y;
    return f;
  }
  if (p.size() != 3) return std::nullopt;
  if (SoloDigitos(p[0], 4, 4)) {  // year-month-day
    auto y = Anio(p[0]);
    if (!y || !EsMes(p[1]) || !DiaValido(p[2], Numero(p[1]), Numero(*y))) return std::nullopt;
    f.anio = *y, f.mes = p[1], f.dia = p[2];
    return f;
  }
  auto y = Anio(p[2]);
  if (!y) return std::nullopt;
  const int anio = Numero(*y);
  if (EsMes(p[0]) && DiaValido(p[1], Numero(p[0]), anio)) {  // month/day/year
    f.anio = *y, f.mes = p[0], f.dia = p[1];
    return f;
  }
  if (EsMes(p[1]) && DiaValido(p[0], Numero(p[1]), anio)) {  // day/month/year
    f.anio = *y, f.mes = p[1], f.dia = p[0];
    return f;
  }
  return std::nullopt;
}

}  // namespace

std::optional<FechaAccess> ReconoceFecha(std::string_view text) {
  const std::string t = Trim(text);
  if (t.empty()) return std::nullopt;
  const std::size_t blanco = t.find(' ');
  const std::string primero = t.substr(0, blanco);
  if (primero.find(':') != std::string::npos) {  // a time alone
    if (!EsHora(t)) return std::nullopt;
    FechaAccess f;
    f.forma = FechaAccess::Forma::SoloHora;
    f.hora = t;
    return f;
  }
  auto f = ReconoceSoloFecha(primero);
  if (!f) return std::nullopt;
  if (blanco != std::string::npos) {
    std::string hora = Trim(t.substr(blanco));
    if (!EsHora(hora)) return std::nullopt;
    f->hora = hora;
  }
  return f;
}

}  // namespace kelv
