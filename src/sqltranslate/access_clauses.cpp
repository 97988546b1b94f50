// Clauses and literals of Access that T-SQL does not have (all OSes):
//  - WITH OWNERACCESS OPTION (run with the owner's permissions) goes: SQL Server's own
//    permissions decide;
//  - a GUID constant {guid {12345678-…}} becomes the text literal '12345678-…', which SQL
//    Server converts where a uniqueidentifier is compared;
//  - IN 'other.mdb' (or IN '' [MS Access;DATABASE=…]) after a table names another database:
//    T-SQL cannot read it, so the clause goes (the table is then looked for in the same
//    database) and the construct is reported;
//  - Access's constants Yes and No compared with (Activo = No) are 1 and 0, as True and
//    False are; elsewhere the words are left, since they may name columns. A comparison with
//    -1 (Access's own value of True) is reported: it never holds for a Yes/No column, which
//    SQL Server keeps as a bit of 1, but a number column may hold -1.
#include <string>
#include <vector>

#include "sqltranslate/access_passes.h"
#include "sqltranslate/call_rewrite.h"
#include "sqltranslate/sql_scan.h"
#include "sqltranslate/text_search.h"

namespace kelv::acceso {
namespace {

void Propietario(const std::string& t, std::vector<Cambio>& cambios) {
  for (std::size_t p = BuscaFrase(t, "WITH OWNERACCESS OPTION"); p != std::string::npos;
       p = BuscaFrase(t, "WITH OWNERACCESS OPTION", p + 1)) {
    std::size_t fin = 0;
    FraseEn(t, p, "WITH OWNERACCESS OPTION", &fin);
    std::size_t desde = p;
    while (desde > 0 && EsEspacio(t[desde - 1])) --desde;
    cambios.push_back({desde, fin, ""});
  }
}

void Guids(Literales& lit, const std::string& t, std::vector<Cambio>& cambios) {
  for (std::size_t p = t.find('{'); p != std::string::npos; p = t.find('{', p + 1)) {
    std::size_t k = SaltaEspacios(t, p + 1), e = 0;
    if (!FraseEn(t, k, "guid", &e)) continue;
    k = SaltaEspacios(t, e);
    if (k >= t.size() || t[k] != '{') continue;
    const std::size_t cierre = t.find('}', k + 1);
    if (cierre == std::string::npos) continue;
    const std::size_t fin = SaltaEspacios(t, cierre + 1);
    if (fin >= t.size() || t[fin] != '}') continue;
    const std::string_view guid = SinEspacios(std::string_view(t).substr(k + 1, cierre - k - 1));
    cambios.push_back({p, fin + 1, lit.NuevoTexto(guid)});
  }
}

void OtraBase(const Literales& lit, const std::string& t, std::vector<Cambio>& cambios,
              Informe& informe) {
  // A string literal right after the word IN (literals are fewer than the letters of IN).
  for (std::size_t k = t.find('\''); k != std::string::npos; k = t.find('\'', k + 1)) {
    const std::string_view en = PalabraAntes(t, k);
    if (!EsPalabra(en, "IN")) continue;
    const std::size_t p = static_cast<std::size_t>(en.data() - t.data());
    const auto base = lit.TokenEn(t, k);
    if (!base || base->clase != Literales::Clase::Texto) continue;
    // Only after a table: FROM, JOIN, INTO or UPDATE t [AS a], or a table after a comma.
    std::size_t antes = p;
    while (antes > 0 && EsEspacio(t[antes - 1])) --antes;
    std::size_t tabla = InicioDeOperando(t, antes);
    if (tabla == antes) continue;
    std::size_t previo = tabla;
    while (previo > 0 && EsEspacio(t[previo - 1])) --previo;
    std::string_view w = PalabraAntes(t, previo);
    if (EsPalabra(w, "AS")) {  // t AS alias IN '…'
      previo -= 2;
      while (previo > 0 && EsEspacio(t[previo - 1])) --previo;
      tabla = InicioDeOperando(t, previo);
      previo = tabla;
      while (previo > 0 && EsEspacio(t[previo - 1])) --previo;
      w = PalabraAntes(t, previo);
    }
    if (!(previo > 0 && t[previo - 1] == ',') && !EsPalabra(w, "FROM") &&
        !EsPalabra(w, "JOIN") && !EsPalabra(w, "INTO") && !EsPalabra(w, "UPDATE")) {
      continue;
    }
    std::size_t fin = base->fin;
    const std::size_t n = SaltaEspacios(t, fin);
    const auto conexion = lit.TokenEn(t, n);
    if (conexion && conexion->clase == Literales::Clase::Nombre) fin = conexion->fin;
    informe.Avisa(lit, "table in another database", std::string_view(t).substr(p, fin - p));
    std::size_t desde = p;
    while (desde > 0 && EsEspacio(t[desde - 1])) --desde;
    cambios.push_back({desde, fin, ""});
    k = fin - 1;
  }
}

// Yes or No right after "=" or "<>"; -1 there is reported.
void SiNo(const Literales& lit, const std::string& t, std::vector<Cambio>& cambios,
          Informe& informe) {
  auto constante = [&](std::size_t k) {
    const std::size_t operador = k;
    k = SaltaEspacios(t, k);
    std::size_t fin = 0;
    if (FraseEn(t, k, "Yes", &fin)) {
      cambios.push_back({k, fin, "1"});
    } else if (FraseEn(t, k, "No", &fin)) {
      cambios.push_back({k, fin, "0"});
    } else if (k + 1 < t.size() && t[k] == '-' && t[SaltaEspacios(t, k + 1)] == '1' &&
               FinDeOperando(t, SaltaEspacios(t, k + 1)) == SaltaEspacios(t, k + 1) + 1) {
      // Access's True: a Yes/No column compared with -1 never holds in SQL Server, where it
      // is a bit of 1; a number column may hold -1, so the comparison is left and reported.
      std::size_t a = operador;
      while (a > 0 && (t[a - 1] == '=' || t[a - 1] == '<' || t[a - 1] == '>')) --a;
      while (a > 0 && EsEspacio(t[a - 1])) --a;
      const std::size_t desde = InicioDeOperando(t, a);
      informe.Avisa(lit,
                    "comparison with -1, Access's True (a Yes/No column holds 1 in SQL Server)",
                    std::string_view(t).substr(desde, SaltaEspacios(t, k + 1) + 1 - desde));
    }
  };
  for (std::size_t i = t.find('='); i != std::string::npos; i = t.find('=', i + 1)) {
    const bool compuesto = i > 0 && (t[i - 1] == '<' || t[i - 1] == '>' || t[i - 1] == '!');
    if (!compuesto && (i + 1 >= t.size() || t[i + 1] != '=')) constante(i + 1);
  }
  for (std::size_t i = t.find("<>"); i != std::string::npos; i = t.find("<>", i + 2)) {
    constante(i + 2);
  }
}

}  // namespace

std::string ClausulasDeAccess(Literales& lit, std::string t, Informe& informe) {
  std::vector<Cambio> cambios;
  if (FindAnyCase(t, "OWNERACCESS") != std::string::npos) Propietario(t, cambios);
  if (t.find('{') != std::string::npos) Guids(lit, t, cambios);
  OtraBase(lit, t, cambios, informe);
  SiNo(lit, t, cambios, informe);
  return AplicaCambios(std::move(t), std::move(cambios));
}

}  // namespace kelv::acceso
