// The order of the passes for the Access constructs that the rules leave (all OSes).
//
// Before the rules: the PARAMETERS clause and Forms references (named after what they stand
// for before any rule reads the names), t!c qualifiers, domain functions (their literal
// arguments are queries of their own, translated whole), and the calls a rule would damage
// or that must see "&" still joining texts (Weekday, DatePart and DateDiff with the
// arguments the rules drop, InStr, Nz). After the rules: everything else,
// on text the rules have already made T-SQL, and last the search for calls T-SQL lacks.
#include "sqltranslate/access_passes.h"

namespace kelv::acceso {

std::string AntesDeLasReglas(Literales& lit, std::string t, Informe& informe, int profundidad) {
  t = Parametros(lit, std::move(t), informe);
  t = CalificadoresConAdmiracion(std::move(t));
  t = FuncionesDeDominio(lit, std::move(t), informe, profundidad);
  return LlamadasAntesDeLasReglas(lit, std::move(t), informe);
}

std::string TrasLasReglas(Literales& lit, std::string t, Informe& informe) {
  t = ClausulasDeAccess(lit, std::move(t), informe);
  t = LlamadasTrasLasReglas(lit, std::move(t), informe);
  t = Potencias(t);
  t = PatronesLike(lit, std::move(t));
  t = UpdateConJoin(lit, std::move(t), informe);
  t = DeleteConDestino(lit, std::move(t), informe);
  t = TablasCruzadas(lit, std::move(t), informe);
  FuncionesDesconocidas(lit, t, informe);
  return t;
}

}  // namespace kelv::acceso
