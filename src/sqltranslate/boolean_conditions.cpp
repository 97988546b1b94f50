// clsCambiaTipoSQL: Yes/No columns standing alone as conditions, and the logical XOR
// (all OSes).
#include <algorithm>
#include <vector>

#include "sqltranslate/call_rewrite.h"
#include "sqltranslate/cambia_tipo_sql.h"
#include "sqltranslate/list_procedures.h"
#include "sqltranslate/literal_mask.h"
#include "sqltranslate/masked_passes.h"
#include "sqltranslate/sql_scan.h"
#include "sqltranslate/step_guard.h"
#include "sqltranslate/text_search.h"
#include "text/toolbox.h"

namespace kelv {
namespace {

// Deeper conditions are revised as they stand: keeps the recursion within any stack.
constexpr int kProfundidadMaxima = 200;

// "Not" as a word at the start (followed by a blank or a parenthesis), letter case ignored.
bool EmpiezaConNot(const std::string& s) {
  return s.size() > 3 && FraseEn(s, 0, "Not") && (s[3] == ' ' || s[3] == '(');
}

// The word IN followed (after blanks) by an opening parenthesis, in any letter case.
bool TieneListaIn(std::string_view t) {
  for (std::size_t p = BuscaFrase(t, "IN"); p != std::string_view::npos;
       p = BuscaFrase(t, "IN", p + 1)) {
    std::size_t e = p + 2;
    while (e < t.size() && t[e] == ' ') ++e;
    if (e < t.size() && t[e] == '(') return true;
  }
  return false;
}

// A part that already is a condition keeps its text in boolean mode.
bool EsCondicion(const std::string& parte) {
  const std::string t = Trim(parte);
  if (t.find_first_of("=><") != std::string::npos) return true;  // a comparison
  if (parte.find("IsNull") != std::string::npos || parte.find("Is Null") != std::string::npos)
    return true;
  if (t.size() >= 8 && t.compare(0, 7, "isNull(") == 0 && t.back() == ')') return true;
  return TieneListaIn(parte) || HoldsWord(t, "BETWEEN") || HoldsWord(t, "LIKE") ||
         HoldsWord(t, "IS NULL") || HoldsWord(t, "IS NOT NULL") || HoldsWord(t, "EXISTS");
}

// Number of BETWEEN words outside parentheses.
int BetweenAbiertos(std::string_view t) {
  int n = 0, nivel = 0;
  for (std::size_t i = 0; i < t.size(); ++i) {
    const char c = t[i];
    if (c == '(') ++nivel;
    else if (c == ')') nivel = nivel > 0 ? nivel - 1 : 0;
    else if (nivel == 0 && (c == 'B' || c == 'b') && FraseEn(t, i, "BETWEEN")) ++n;
  }
  return n;
}

// The parts of a condition at the operator; at AND, "x BETWEEN a AND b" stays one part.
std::vector<std::string> PartesDe(const std::string& s, const std::string& operador) {
  const std::string sep = " " + operador + " ";
  std::vector<std::string> partes = SeparaPorNivel(s, sep, "(", ")");
  if (operador != "AND" || partes.size() < 2) return partes;
  std::vector<std::string> salida;
  int pendientes = 0;
  for (std::string& p : partes) {
    const int b = BetweenAbiertos(p);
    if (!salida.empty() && pendientes > 0) {
      salida.back() += sep + p;
      pendientes += b - 1;
    } else {
      salida.push_back(std::move(p));
      pendientes = b;
    }
  }
  return salida;
}

// A part that is a negated or parenthesised group in which the operator stands again, such
// as Not (a AND b) or (a AND b) among parts split at AND: the group is revised inside. A
// subquery is not such a group.
bool GrupoConOperador(const std::string& parte, const std::string& sep) {
  std::string s = Trim(parte);
  if (!EmpiezaConNot(s) && !EntreParentesis(s)) return false;
  if (FindAnyCase(s, sep) == std::string_view::npos) return false;
  for (;;) {
    if (EmpiezaConNot(s)) s = Trim(s.substr(3));
    else if (EntreParentesis(s)) s = Trim(s.substr(1, s.size() - 2));
    else break;
  }
  return !FraseEn(s, 0, "SELECT");
}

std::string Revisa(const std::string& strCampos, const std::string& operador,
                   std::uint8_t trans, int profundidad, bool vieneDeParteUnica) {
  std::string s = Trim(strCampos);
  bool envuelto = false, negado = false, pelado = false;
  const std::string interior =
      (operador == "OR" || operador == "XOR") ? "AND" : (trans == 0 ? "OR" : "XOR");
  const std::string sep = " " + operador + " ";
  std::vector<std::string> partes;
  if (FindAnyCase(s, sep) != std::string_view::npos) {
    partes = PartesDe(s, operador);
    // Only parentheses that enclose the whole condition are peeled.
    if (partes.size() == 1 && (EntreParentesis(s) || EmpiezaConNot(s))) {
      for (;;) {
        if (EmpiezaConNot(s)) {
          s.erase(0, 3);
          negado = true;
        }
        s = Trim(s);
        if (EntreParentesis(s)) {
          s = s.substr(1, s.size() - 2);
          envuelto = true;
        }
        pelado = true;
        partes = PartesDe(s, operador);
        if (!EntreParentesis(s) || partes.size() >= 2) break;
      }
    }
  } else {
    partes.assign(1, s);
  }
  // A single part that is the whole condition, revised again at the other operator, would
  // come back here unchanged: such a part is revised as it stands.
  const bool parteUnica = partes.size() == 1 && !pelado;
  const bool recursivo = !(parteUnica && vieneDeParteUnica) && profundidad < kProfundidadMaxima;
  const std::string conInterior = " " + interior + " ";
  for (std::string& parte : partes) {
    IgnorarFallo([&] {
      if (!recursivo) return;
      if (parte.find(conInterior) != std::string::npos) {
        parte = Revisa(parte, interior, trans, profundidad + 1, parteUnica);
      } else if (partes.size() >= 2 && GrupoConOperador(parte, sep)) {
        parte = Revisa(parte, operador, trans, profundidad + 1, false);
      }
    });
    IgnorarFallo([&] {
      if (trans != 0) {
        // A Yes/No column standing alone is compared with 1, as in any other condition.
        if (operador == "XOR" && partes.size() >= 2) {
          parte = "IIF(" + enmascarado::RevisaCondicion(parte) + ",1,0)";
        }
      } else if (!EsCondicion(parte)) {
        parte = Trim(parte) + "=1";
      }
    });
  }
  IgnorarFallo([&] {
    if (operador == "XOR") {
      if (trans == 1 && partes.size() >= 2) {
        s = Join(partes, " + ");
        if (envuelto) s = "(" + s + ")";
        s += "=1";
      } else if (!partes.empty()) {
        s = partes[0];
      }
    } else {
      s = Join(partes, sep);
      if (envuelto) s = "(" + s + ")";
    }
  });
  if (negado) s = "Not " + s;
  return s;
}

// The blank after the keyword (WHERE or ON, a whole word followed by a blank) found first at
// or after desde, or npos.
std::size_t BuscaClausula(std::string_view t, std::string_view palabra, std::size_t desde) {
  const std::string conBlanco = std::string(palabra) + " ";
  const BuscaSinCaso busca(conBlanco);
  for (std::size_t p = busca.Find(t, desde); p != std::string::npos; p = busca.Find(t, p + 1)) {
    if (p == 0 || !EsLetraDeNombre(t[p - 1])) return p + palabra.size();
  }
  return std::string::npos;
}

// Whether a clause that ends a condition (ORDER BY, GROUP BY, HAVING, UNION, WHERE, a join,
// the SET of an UPDATE, WITH OWNERACCESS OPTION) starts at offset i of t, the start of a
// word. (LEFT( is a function, not a join.)
bool EmpiezaOtraClausula(std::string_view t, std::size_t i) {
  std::size_t j = i;
  while (j < t.size() && EsLetraDeNombre(t[j])) ++j;
  const std::string_view w = t.substr(i, j - i);
  switch (w.size()) {
    case 3: return EsPalabra(w, "SET");
    case 4:
      if (EsPalabra(w, "JOIN") || EsPalabra(w, "WITH")) return true;
      if (EsPalabra(w, "LEFT") || EsPalabra(w, "FULL")) break;
      return false;
    case 5:
      if (EsPalabra(w, "WHERE") || EsPalabra(w, "UNION")) return true;
      if (EsPalabra(w, "ORDER") || EsPalabra(w, "GROUP")) return FraseEn(t, j, " BY");
      if (EsPalabra(w, "INNER") || EsPalabra(w, "RIGHT") || EsPalabra(w, "CROSS")) break;
      return false;
    case 6: return EsPalabra(w, "HAVING");
    default: return false;
  }
  // INNER, LEFT, RIGHT, FULL, CROSS: a join when JOIN or OUTER JOIN follows.
  return FraseEn(t, j, " JOIN") || FraseEn(t, j, " OUTER JOIN");
}

// The condition of the clause whose keyword ends at the blank at offset blanco: up to the ")"
// that closes a parenthesis opened before the clause, the end of its statement (";") or the
// blank before the next clause outside parentheses (EmpiezaOtraClausula), or the end of the
// text. One scan over the condition alone.
std::string Condicion(std::string_view t, std::size_t blanco) {
  const std::size_t inicio = std::min(blanco + 1, t.size());
  std::size_t i = FinDeClausula(t, inicio, EmpiezaOtraClausula);
  if (i < t.size() && i > inicio && t[i] != ';' && t[i] != ')' && t[i - 1] == ' ') --i;
  return std::string(t.substr(inicio, i - inicio));
}

// Whether the ON that ends at offset fin of t (the text before it) is a join's: a JOIN stands
// after the last FROM, SELECT or ";" before it. (SET NOCOUNT ON and the like are not.)
bool OnDeJoin(std::string_view t, std::size_t fin) {
  for (std::size_t k = fin; k > 0; --k) {
    const char c = t[k - 1];
    if (c == ';') return false;
    if (!EsLetraDeNombre(c) || (k < fin && EsLetraDeNombre(t[k]))) continue;
    const std::string_view w = PalabraAntes(t, k);
    if (EsPalabra(w, "JOIN")) return true;
    if (EsPalabra(w, "FROM") || EsPalabra(w, "SELECT")) return false;
    k -= w.size() - 1;
  }
  return false;
}

// The clauses whose conditions are revised, and where each was last found.
struct Clausulas {
  static constexpr std::size_t kSinBuscar = std::string::npos - 1;
  std::vector<std::string_view> palabras;
  std::vector<std::size_t> blancos;  // absolute offsets; npos: none left; kSinBuscar: unknown
};

std::string RevisaClausulas(const std::string& strComando, bool modoXor) {
  // Boolean mode revises WHERE, HAVING and the ON of every join. XOR mode revises the first
  // WHERE (or, when there is none, the first ON) and every later WHERE.
  Clausulas k;
  k.palabras = {"WHERE"};
  if (!modoXor) k.palabras.insert(k.palabras.end(), {"HAVING", "ON"});
  if (modoXor && BuscaClausula(strComando, "WHERE", 0) == std::string::npos) {
    k.palabras.push_back("ON");
  }
  k.blancos.assign(k.palabras.size(), Clausulas::kSinBuscar);
  TextoEnCurso t(strComando);
  bool primera = true;
  for (;;) {
    // The clause found first after the cursor.
    std::size_t elegida = k.palabras.size(), blanco = std::string::npos;
    for (std::size_t i = 0; i < k.palabras.size(); ++i) {
      if (k.blancos[i] == Clausulas::kSinBuscar ||
          (k.blancos[i] != std::string::npos && k.blancos[i] < t.Hecho())) {
        const std::size_t b = BuscaClausula(t.Resto(), k.palabras[i], 0);
        k.blancos[i] = b == std::string::npos ? b : t.Hecho() + b;
      }
      if (k.blancos[i] < blanco) {
        blanco = k.blancos[i];
        elegida = i;
      }
    }
    if (elegida == k.palabras.size()) break;
    const bool on = k.palabras[elegida] == "ON";
    t.Avanza(blanco - t.Hecho());
    if (on && (!OnDeJoin(t.Listo(), t.Hecho() - 2) || (modoXor && !primera))) {
      k.blancos[elegida] = Clausulas::kSinBuscar;
      t.Avanza(1);
      continue;
    }
    primera = false;
    const std::string cond = Condicion(t.Resto(), 0);
    const std::string op =
        modoXor ? "XOR" : (InStrAnyCase(1, cond, " Or ") > 0 ? "OR" : "AND");
    const std::string revisada = Revisa(cond, op, modoXor ? 1 : 0, 0, false);
    // Only the condition of this clause changes, where it stands. The next clause is looked
    // for from the start of this condition: a subquery's WHERE inside it is revised too.
    t.Avanza(1);
    const std::size_t inicio = t.Hecho();
    if (revisada != cond) t.Sustituye(cond.size(), revisada);
    for (std::size_t& b : k.blancos) {
      if (b == std::string::npos || b == Clausulas::kSinBuscar) continue;
      if (b >= inicio + cond.size()) b = b + revisada.size() - cond.size();
      else b = Clausulas::kSinBuscar;
    }
  }
  return t.Termina();
}

}  // namespace

namespace enmascarado {

std::string RevisaRecursiva(const std::string& strCampos, const std::string& Operador,
                            std::uint8_t Trans) {
  return Revisa(strCampos, Operador, Trans, 0, false);
}

std::string CambiarBooleanos(const std::string& strComando) {
  return RevisaClausulas(strComando, false);
}

std::string CambiarXOR(const std::string& strComando) { return RevisaClausulas(strComando, true); }

std::string RevisaCondicion(const std::string& condicion) {
  static constexpr std::string_view kWhere = "Where ";
  std::string t = RevisaClausulas(std::string(kWhere) + condicion, false);
  if (t.compare(0, kWhere.size(), kWhere) == 0) t.erase(0, kWhere.size());
  return t;
}

}  // namespace enmascarado

std::string clsCambiaTipoSQL::SQLRevisaRecursiva(const std::string& strCampos,
                                                 const std::string& Operador,
                                                 std::uint8_t Trans) const {
  return SobreCodigo(strCampos, [&](Literales&, std::string t) {
    return enmascarado::RevisaRecursiva(t, Operador, Trans);
  });
}

std::string clsCambiaTipoSQL::CambiarBooleanos(const std::string& strComando) const {
  return SobreCodigo(strComando,
                     [](Literales&, std::string t) { return enmascarado::CambiarBooleanos(t); });
}

std::string clsCambiaTipoSQL::SQLCambiarXOR(const std::string& strComando) const {
  return SobreCodigo(strComando,
                     [](Literales&, std::string t) { return enmascarado::CambiarXOR(t); });
}

}  // namespace kelv
