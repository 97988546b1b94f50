// Access's Format(x, pattern) in T-SQL (all OSes).
//
// A pattern whose result does not depend on the language settings becomes CONVERT with the
// style that writes exactly that (yyyymmdd → 112, yyyy-mm-dd → 23, hh:nn:ss → 108,
// yyyy-mm-dd hh:nn:ss → 120, yymmdd → 12). Any other pattern becomes the .NET pattern of
// T-SQL's FORMAT, letter by letter: Access's m/mm month → M/MM (minutes after an hour or
// before seconds, as Access reads them), n/nn minutes → m/mm, h/hh → H/HH (h/hh with
// AM/PM, which becomes tt), d, y, s and the number characters 0 # . , % E+ ; as they are,
// quoted text and \x as they are, other letters escaped. The separators / and : stand for
// the language's in both. Named formats (Short Date, Long Time, Currency, Standard, ...) map
// to .NET's standard ones; ">" and "<" alone are UPPER and LOWER; Yes/No, True/False and
// On/Off become a CASE. What .NET lacks (w, ww, q, y as day of the year, @ & ! and a fourth
// section, c and ttttt inside a longer pattern) is reported and the call left.
#include <optional>
#include <string>
#include <vector>

#include "sqltranslate/access_passes.h"
#include "sqltranslate/sql_scan.h"
#include "text/toolbox.h"

namespace kelv::acceso {
namespace {

// What one Access pattern becomes.
struct Conversion {
  enum class Forma { Net, Convert, Mayusculas, Minusculas, SiNo } forma = Forma::Net;
  std::string net;        // Net: the .NET pattern
  const char* tipo = "";  // Convert: the text type and the style
  int estilo = 0;
  const char* si = "";  // SiNo: the texts for a value other than 0 and for 0
  const char* no = "";
};

bool Igual(std::string_view a, std::string_view b) { return TextEquals(a, b, Compare::AnyCase); }

inline char Minuscula(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

std::optional<Conversion> Nombrado(std::string_view p) {
  struct Par {
    const char* access;
    const char* net;
  };
  static const Par kNombres[] = {
      {"General Date", "G"},
      {"Long Date", "D"},
      {"Medium Date", "dd-MMM-yy"},
      {"Short Date", "d"},
      {"Long Time", "T"},
      {"Medium Time", "hh:mm tt"},
      {"Short Time", "HH:mm"},
      {"General Number", "G"},
      {"Currency", "C"},
      {"Fixed", "F2"},
      {"Standard", "N2"},
      {"Percent", "P2"},
      {"Scientific", "0.00E+00"},
      {"c", "G"},
      {"ddddd", "d"},
      {"dddddd", "D"},
      {"ttttt", "T"},
  };
  for (const Par& n : kNombres) {
    if (Igual(p, n.access)) {
      Conversion c;
      c.net = n.net;
      return c;
    }
  }
  static const Par kSiNo[] = {
      {"Yes/No", "Yes\0No"}, {"True/False", "True\0False"}, {"On/Off", "On\0Off"}};
  for (const Par& n : kSiNo) {
    if (Igual(p, n.access)) {
      Conversion c;
      c.forma = Conversion::Forma::SiNo;
      c.si = n.net;
      c.no = n.net + std::char_traits<char>::length(n.net) + 1;
      return c;
    }
  }
  if (p == ">" || p == "<") {
    Conversion c;
    c.forma = p == ">" ? Conversion::Forma::Mayusculas : Conversion::Forma::Minusculas;
    return c;
  }
  return std::nullopt;
}

// The length of the run of the letter at offset i, letter case ignored.
std::size_t Tramo(std::string_view p, std::size_t i) {
  std::size_t j = i;
  while (j < p.size() && Minuscula(p[j]) == Minuscula(p[i])) ++j;
  return j - i;
}

// The first letter after offset i outside quoted text, lower case, or '\0'.
char SiguienteLetra(std::string_view p, std::size_t i) {
  for (; i < p.size(); ++i) {
    const char c = Minuscula(p[i]);
    if (c == '"') {
      i = p.find('"', i + 1);
      if (i == std::string_view::npos) return '\0';
    } else if (c == '\\') {
      ++i;
    } else if (c >= 'a' && c <= 'z') {
      return c;
    }
  }
  return '\0';
}

// The .NET pattern for an Access one, or nothing when Access asks for what .NET lacks.
std::optional<std::string> Patron(std::string_view p) {
  const std::string bajo = FoldCase(p);
  const bool ampm = bajo.find("am/pm") != std::string::npos ||
                    bajo.find("a/p") != std::string::npos || bajo.find("ampm") != std::string::npos;
  std::string out;
  char ultima = '\0';  // the last date or time letter read
  int secciones = 1;
  for (std::size_t i = 0; i < p.size();) {
    const char c = p[i];
    const char m = Minuscula(c);
    if (c == '"') {
      const std::size_t f = p.find('"', i + 1);
      const std::size_t fin = f == std::string_view::npos ? p.size() : f + 1;
      out.append(p.substr(i, fin - i));
      if (f == std::string_view::npos) out.push_back('"');
      i = fin;
      continue;
    }
    if (c == '\\') {
      out.append(p.substr(i, 2));
      i += 2;
      continue;
    }
    if (m == 'a' && (FoldCase(p.substr(i, 5)) == "am/pm" || FoldCase(p.substr(i, 4)) == "ampm")) {
      out += "tt";
      i += FoldCase(p.substr(i, 5)) == "am/pm" ? 5 : 4;
      continue;
    }
    if (m == 'a' && FoldCase(p.substr(i, 3)) == "a/p") {
      out += "t";
      i += 3;
      continue;
    }
    if (m == 'e' && i + 1 < p.size() && (p[i + 1] == '+' || p[i + 1] == '-')) {
      out.append(p.substr(i, 2));
      i += 2;
      continue;
    }
    if (m >= 'a' && m <= 'z') {
      const std::size_t n = Tramo(p, i);
      switch (m) {
        case 'd':
          if (n > 4) return std::nullopt;
          out.append(n, 'd');
          break;
        case 'm': {
          if (n > 4) return std::nullopt;
          const bool minutos = n <= 2 && (ultima == 'h' || SiguienteLetra(p, i + n) == 's');
          out.append(n, minutos ? 'm' : 'M');
          break;
        }
        case 'n':
          if (n > 2) return std::nullopt;
          out.append(n, 'm');
          break;
        case 'y':
          if (n != 2 && n != 4) return std::nullopt;
          out.append(n, 'y');
          break;
        case 'h':
          if (n > 2) return std::nullopt;
          out.append(n, ampm ? 'h' : 'H');
          break;
        case 's':
          if (n > 2) return std::nullopt;
          out.append(n, 's');
          break;
        case 'w':
        case 'q':
        case 'c':
          return std::nullopt;
        case 't':
          if (n >= 5) return std::nullopt;  // ttttt, the time, inside a longer pattern
          [[fallthrough]];
        default:
          for (std::size_t k = 0; k < n; ++k) {
            out.push_back('\\');
            out.push_back(p[i + k]);
          }
          break;
      }
      ultima = m;
      i += n;
      continue;
    }
    if (c == '@' || c == '&' || c == '<' || c == '>' || c == '!') return std::nullopt;
    if (c == ';' && ++secciones > 3) return std::nullopt;
    if (c == '\'') out.push_back('\\');
    out.push_back(c);
    ++i;
  }
  // One letter alone would be read as a standard .NET format: "%" makes it a custom one.
  if (out.size() == 1 && Minuscula(out[0]) >= 'a' && Minuscula(out[0]) <= 'z') out.insert(0, "%");
  return out;
}

std::optional<Conversion> Convierte(std::string_view patron) {
  if (auto c = Nombrado(SinEspacios(patron))) return c;
  auto net = Patron(patron);
  if (!net) return std::nullopt;
  Conversion c;
  c.net = *net;
  struct Estilo {
    const char* net;
    const char* tipo;
    int estilo;
  };
  static const Estilo kEstilos[] = {
      {"yyyyMMdd", "varchar(8)", 112},
      {"yyyy-MM-dd", "varchar(10)", 23},
      {"HH:mm:ss", "varchar(8)", 108},
      {"HH:mm", "varchar(5)", 108},
      {"yyyy-MM-dd HH:mm:ss", "varchar(19)", 120},
      {"yyMMdd", "varchar(6)", 12},
  };
  for (const Estilo& e : kEstilos) {
    if (c.net == e.net) {
      c.forma = Conversion::Forma::Convert;
      c.tipo = e.tipo;
      c.estilo = e.estilo;
    }
  }
  return c;
}

}  // namespace

std::optional<std::pair<std::string, std::size_t>> ReescribeFormat(
    Literales& lit, const std::vector<std::string>& a, std::string_view llamada, Informe& informe) {
  if (a.empty() || a[0].empty()) return std::nullopt;
  const std::string& x = a[0];
  if (a.size() == 1) return std::make_pair("CONVERT(nvarchar(4000), " + x + ")", 8);
  const std::optional<std::string> patron = lit.TextoDe(a[1]);
  if (!patron) {
    informe.Avisa(lit, "Format pattern built at run time", llamada);
    return std::nullopt;
  }
  const std::optional<Conversion> c = Convierte(*patron);
  if (!c) {
    informe.Avisa(lit, "Format pattern with no T-SQL counterpart", llamada);
    return std::nullopt;
  }
  switch (c->forma) {
    case Conversion::Forma::Convert:
      return std::make_pair(
          "CONVERT(" + std::string(c->tipo) + ", " + x + ", " + std::to_string(c->estilo) + ")", 8);
    case Conversion::Forma::Mayusculas:
      return std::make_pair("UPPER(" + x + ")", 6);
    case Conversion::Forma::Minusculas:
      return std::make_pair("LOWER(" + x + ")", 6);
    case Conversion::Forma::SiNo:
      return std::make_pair("CASE WHEN " + x + " <> 0 THEN " + lit.NuevoTexto(c->si) + " WHEN " +
                                x + " = 0 THEN " + lit.NuevoTexto(c->no) + " END",
                            10);
    case Conversion::Forma::Net:
      break;
  }
  // FORMAT keeps the call as written; only the pattern changes (and arguments .NET does not
  // take go). A pattern that reads the same in .NET is left as it is.
  if (c->net == *patron && a.size() == 2) return std::nullopt;
  const std::string_view nombre = llamada.substr(0, llamada.find('('));
  return std::make_pair(std::string(nombre) + "(" + x + ", " + lit.NuevoTexto(c->net) + ")",
                        nombre.size() + 1);
}

}  // namespace kelv::acceso
