// Access's domain functions become scalar subqueries (all OSes):
//   DLookup("f", "t", "crit")  → (SELECT TOP 1 f FROM t WHERE crit)
//   DCount, DSum, DAvg, DMin, DMax → (SELECT COUNT(f) ...), SUM, AVG, MIN, MAX
//   DFirst, DLast → TOP 1, as DLookup: Access documents them as returning any record.
// The arguments are texts holding pieces of an Access query; the subquery they make is
// translated whole, as a query of its own, and put in as finished code. An argument built
// at run time (joined with &, a parameter, a column) cannot become SQL text: the call is
// left and reported.
#include <optional>
#include <string>
#include <vector>

#include "sqltranslate/access_passes.h"
#include "sqltranslate/call_rewrite.h"
#include "sqltranslate/sql_scan.h"
#include "sqltranslate/text_search.h"

namespace kelv::acceso {
namespace {

// Domain functions nested deeper than this in one another's criteria are left.
constexpr int kProfundidadMaxima = 8;

struct Dominio {
  std::string_view funcion;
  std::string_view agregado;  // empty: TOP 1 of the expression
};

constexpr Dominio kDominios[] = {
    {"DLookup", ""}, {"DFirst", ""},  {"DLast", ""},   {"DCount", "COUNT"},
    {"DSum", "SUM"}, {"DAvg", "AVG"}, {"DMin", "MIN"}, {"DMax", "MAX"},
};

// A table or query name as a FROM clause writes it: one holding characters a plain name
// cannot hold is bracketed.
std::string NombreDeTabla(std::string_view n) {
  n = SinEspacios(n);
  bool simple = !n.empty();
  for (char c : n) {
    if (!EsLetraDeNombre(c) && c != '.') simple = false;
  }
  if (simple || (n.size() >= 2 && n.front() == '[' && n.back() == ']')) return std::string(n);
  std::string b = "[";
  for (char c : n) {
    b.push_back(c);
    if (c == ']') b.push_back(']');
  }
  return b + "]";
}

}  // namespace

std::string FuncionesDeDominio(Literales& lit, std::string t, Informe& informe, int profundidad) {
  std::vector<LlamadaConocida> tabla;
  for (const Dominio& d : kDominios) {
    tabla.push_back(
        {d.funcion,
         [&lit, &informe, profundidad, d](std::string_view r, std::size_t p, std::size_t) {
           const std::size_t abre = p + d.funcion.size();
           const Contenido c = ContenidoParentesis(r, abre);
           const std::vector<std::string> a = PartesDeLlamada(c.texto);
           Reescritura e;
           e.siguiente = d.funcion.size() + 1;
           if (c.cierre >= r.size() || a.empty() || a.size() > 3) return e;
           std::vector<std::string> textos;
           for (const std::string& arg : a) {
             if (auto texto = lit.TextoDe(arg)) textos.push_back(*texto);
           }
           if (textos.size() != a.size() || profundidad >= kProfundidadMaxima || a.size() < 2) {
             informe.Avisa(lit, "domain function with arguments built at run time",
                           r.substr(p, c.cierre + 1 - p));
             return e;
           }
           std::string consulta = "SELECT ";
           if (d.agregado.empty()) {
             consulta += "TOP 1 " + textos[0];
           } else {
             consulta += std::string(d.agregado) + "(" + textos[0] + ")";
           }
           consulta += " FROM " + NombreDeTabla(textos[1]);
           if (a.size() == 3 && !SinEspacios(textos[2]).empty()) consulta += " WHERE " + textos[2];
           e.texto = lit.NuevoCodigo("(" + Traduce(consulta, informe, profundidad + 1) + ")");
           e.fin = c.cierre + 1;
           e.siguiente = e.texto->size();
           return e;
         }});
  }
  return ReescribeLlamadasDe(std::move(t), tabla);
}

}  // namespace kelv::acceso
