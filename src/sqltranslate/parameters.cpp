// Access parameters become T-SQL parameters named after what they stand for (all OSes):
//  - the PARAMETERS clause is dropped, and each parameter it declares takes its T-SQL type;
//  - Forms and Reports references ([Forms]![frmMain]![txtId], Forms!frmMain.txtId, the
//    class-module form Form_frmMain.txtId) become @frmMain_txtId;
//  - a bracketed name used as a value is a parameter when PARAMETERS declares it
//    ([Pick Date] → @Pick_Date) or when it reads as a prompt, ending in "?" or ":"
//    ([Fecha desde:]); any other bracketed name is a column or a table and stays.
#include <string>
#include <vector>

#include "sqltranslate/access_passes.h"
#include "sqltranslate/call_rewrite.h"
#include "sqltranslate/sql_scan.h"
#include "sqltranslate/text_search.h"
#include "text/toolbox.h"

namespace kelv::acceso {
namespace {

// One name of a chain such as [Forms]![frmMain]![txtId]: its offsets and the name itself.
struct Parte {
  std::size_t inicio, fin;
  std::string_view nombre;
};

// The name (bracketed or plain) that starts at offset i, if any.
bool LeeParte(const Literales& lit, std::string_view t, std::size_t i, Parte& p) {
  if (i >= t.size()) return false;
  if (t[i] == '[') {
    const auto k = lit.TokenEn(t, i);
    if (!k || k->clase != Literales::Clase::Nombre) return false;
    p = {i, k->fin, lit.Nombre(*k)};
    return true;
  }
  if (!EsLetraDeNombre(t[i]) || (t[i] >= '0' && t[i] <= '9')) return false;
  std::size_t j = i;
  while (j < t.size() && EsLetraDeNombre(t[j])) ++j;
  p = {i, j, t.substr(i, j - i)};
  return true;
}

// The names joined by "!" or "." that start at offset i.
std::vector<Parte> LeeCadena(const Literales& lit, std::string_view t, std::size_t i) {
  std::vector<Parte> partes;
  Parte p;
  while (LeeParte(lit, t, i, p)) {
    partes.push_back(p);
    if (p.fin >= t.size() || (t[p.fin] != '!' && t[p.fin] != '.')) break;
    i = p.fin + 1;
  }
  return partes;
}

bool Igual(std::string_view a, std::string_view b) { return TextEquals(a, b, Compare::AnyCase); }

bool Empieza(std::string_view s, std::string_view prefijo) {
  return s.size() > prefijo.size() && Igual(s.substr(0, prefijo.size()), prefijo);
}

// The names a Forms or Reports reference is made of after Forms (or the class module's
// prefix), without the Form property of a subform control and a final Value; empty when
// the chain is no such reference.
std::vector<std::string> PartesDeFormulario(const std::vector<Parte>& cadena) {
  std::vector<std::string> n;
  if (cadena.size() >= 3 &&
      (Igual(cadena[0].nombre, "Forms") || Igual(cadena[0].nombre, "Reports"))) {
    for (std::size_t i = 1; i < cadena.size(); ++i) n.emplace_back(cadena[i].nombre);
  } else if (cadena.size() >= 2 &&
             (Empieza(cadena[0].nombre, "Form_") || Empieza(cadena[0].nombre, "Report_"))) {
    const std::string_view modulo = cadena[0].nombre;
    n.emplace_back(modulo.substr(modulo.find('_') + 1));
    for (std::size_t i = 1; i < cadena.size(); ++i) n.emplace_back(cadena[i].nombre);
  } else {
    return n;
  }
  if (n.size() > 2 && Igual(n.back(), "Value")) n.pop_back();
  for (std::size_t i = 1; i + 1 < n.size();) {
    if (Igual(n[i], "Form") || Igual(n[i], "Report")) {
      n.erase(n.begin() + static_cast<std::ptrdiff_t>(i));
    } else {
      ++i;
    }
  }
  return n;
}

std::string ClaveDeFormulario(const std::vector<std::string>& partes) {
  return "f!" + FoldCase(Join(partes, "!"));
}

std::string ClaveDeNombre(std::string_view nombre) { return "p!" + FoldCase(nombre); }

// The T-SQL type for an Access parameter type of the PARAMETERS clause (the designer's
// names and the SQL names Access accepts), or "" for one it does not know.
std::string TipoTSql(std::string_view tipo) {
  tipo = SinEspacios(tipo);
  std::size_t k = 0;
  while (k < tipo.size() && EsLetraDeNombre(tipo[k])) ++k;
  const std::string palabra = FoldCase(tipo.substr(0, k));
  std::string tam;
  const std::size_t abre = tipo.find('(', k);
  if (abre != std::string_view::npos) {
    for (char c : tipo.substr(abre + 1)) {
      if ((c >= '0' && c <= '9') || c == ',') tam.push_back(c);
      if (c == ')') break;
    }
  }
  struct Par {
    const char* access;
    const char* tsql;
  };
  static const Par kTipos[] = {
      {"bit", "bit"},
      {"boolean", "bit"},
      {"yesno", "bit"},
      {"logical", "bit"},
      {"logical1", "bit"},
      {"byte", "tinyint"},
      {"integer1", "tinyint"},
      {"tinyint", "tinyint"},
      {"short", "smallint"},
      {"smallint", "smallint"},
      {"integer2", "smallint"},
      {"long", "int"},
      {"int", "int"},
      {"integer", "int"},
      {"integer4", "int"},
      {"counter", "int"},
      {"autoincrement", "int"},
      {"single", "real"},
      {"real", "real"},
      {"float4", "real"},
      {"ieeesingle", "real"},
      {"double", "float"},
      {"float", "float"},
      {"float8", "float"},
      {"ieeedouble", "float"},
      {"number", "float"},
      {"currency", "money"},
      {"money", "money"},
      {"datetime", "datetime"},
      {"date", "datetime"},
      {"time", "datetime"},
      {"timestamp", "datetime"},
      {"guid", "uniqueidentifier"},
      {"uniqueidentifier", "uniqueidentifier"},
      {"value", "sql_variant"},
      {"variant", "sql_variant"},
      {"memo", "nvarchar(max)"},
      {"longtext", "nvarchar(max)"},
      {"longchar", "nvarchar(max)"},
      {"note", "nvarchar(max)"},
      {"ntext", "nvarchar(max)"},
      {"longbinary", "varbinary(max)"},
      {"oleobject", "varbinary(max)"},
      {"image", "varbinary(max)"},
      {"general", "varbinary(max)"},
  };
  for (const Par& p : kTipos) {
    if (palabra == p.access) return p.tsql;
  }
  for (const char* texto :
       {"text", "char", "varchar", "string", "alphanumeric", "character", "nchar", "nvarchar"}) {
    if (palabra == texto) return "nvarchar(" + (tam.empty() ? "255" : tam) + ")";
  }
  if (palabra == "binary" || palabra == "varbinary") {
    return "varbinary(" + (tam.empty() ? "510" : tam) + ")";
  }
  if (palabra == "decimal" || palabra == "numeric" || palabra == "dec") {
    return "decimal(" + (tam.empty() ? "18,0" : tam) + ")";
  }
  return "";
}

// Declares the parameters of the clause's text (after the word PARAMETERS, before ";").
void Declaraciones(const Literales& lit, std::string_view clausula, Informe& informe) {
  for (const std::string& d : PartesDeLlamada(clausula)) {
    const std::string_view decl = SinEspacios(d);
    const std::vector<Parte> cadena = LeeCadena(lit, decl, 0);
    if (cadena.empty()) continue;
    const std::size_t fin = cadena.back().fin;
    const std::string tipo = TipoTSql(decl.substr(fin));
    const std::string_view origen = decl.substr(0, fin);
    const std::vector<std::string> formulario = PartesDeFormulario(cadena);
    if (!formulario.empty()) {
      informe.Declara(ClaveDeFormulario(formulario), Join(formulario, "_"), lit.Restaura(origen),
                      tipo);
    } else if (cadena.size() == 1) {
      informe.Declara(ClaveDeNombre(cadena[0].nombre), cadena[0].nombre, lit.Restaura(origen),
                      tipo);
    }
  }
}

// Whether a chain that starts at offset i stands there: nothing of a name, qualified name or
// parameter touches it from before.
bool EmpiezaCadena(std::string_view t, std::size_t i) {
  if (i == 0) return true;
  const char c = t[i - 1];
  return !EsLetraDeNombre(c) && c != '.' && c != '!' && c != ']' && c != '@';
}

// Whether a bracketed name that reads as a prompt (ends in "?" or ":") is a parameter.
bool EsPregunta(std::string_view nombre) {
  nombre = SinEspacios(nombre);
  return !nombre.empty() && (nombre.back() == '?' || nombre.back() == ':');
}

}  // namespace

std::string Parametros(const Literales& lit, std::string t, Informe& informe) {
  std::size_t e = 0;
  bool declarados = false;
  if (FraseEn(t, SaltaEspacios(t, 0), "PARAMETERS", &e)) {
    const std::size_t fin = t.find(';', e);
    if (fin != std::string::npos) {
      Declaraciones(lit, std::string_view(t).substr(e, fin - e), informe);
      t.erase(0, fin + 1);
      declarados = true;
    }
  }
  std::string out;
  std::size_t copiado = 0;
  for (std::size_t i = 0; i < t.size();) {
    const char c = t[i];
    if (!(c == '[' || EsLetraDeNombre(c)) || !EmpiezaCadena(t, i)) {
      ++i;
      continue;
    }
    // Most names start no reference and are no parameter: they are passed over without
    // reading the chain they start.
    Parte primera;
    if (!LeeParte(lit, t, i, primera)) {
      ++i;
      continue;
    }
    const bool sigue = primera.fin < t.size() && (t[primera.fin] == '!' || t[primera.fin] == '.');
    const bool referencia = sigue && (Igual(primera.nombre, "Forms") ||
                                      Igual(primera.nombre, "Reports") ||
                                      Empieza(primera.nombre, "Form_") ||
                                      Empieza(primera.nombre, "Report_"));
    const bool suelto = !sigue && (declarados || (c == '[' && EsPregunta(primera.nombre)));
    if (!referencia && !suelto) {
      i = primera.fin;
      continue;
    }
    const std::vector<Parte> cadena = LeeCadena(lit, t, i);
    if (cadena.empty()) {
      ++i;
      continue;
    }
    const std::size_t fin = cadena.back().fin;
    std::string clave, base;
    const std::vector<std::string> formulario = PartesDeFormulario(cadena);
    if (!formulario.empty()) {
      clave = ClaveDeFormulario(formulario);
      base = Join(formulario, "_");
    } else if (cadena.size() == 1 && !(fin < t.size() && (t[fin] == '(' || t[fin] == '!')) &&
               !EsPalabra(PalabraAntes(t, i), "AS")) {
      const std::string_view nombre = cadena[0].nombre;
      const bool corchetes = t[i] == '[';
      if (informe.Declarado(ClaveDeNombre(nombre)) || (corchetes && EsPregunta(nombre))) {
        clave = ClaveDeNombre(nombre);
        base = std::string(nombre);
      }
    }
    if (!clave.empty()) {
      const std::string_view origen = std::string_view(t).substr(i, fin - i);
      out.append(t, copiado, i - copiado);
      out += informe.Parametro(lit, clave, base, origen);
      copiado = fin;
    }
    i = fin;
  }
  if (copiado == 0) return t;
  out.append(t, copiado, std::string::npos);
  return out;
}

}  // namespace kelv::acceso
