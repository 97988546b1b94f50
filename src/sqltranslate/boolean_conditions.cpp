// clsCambiaTipoSQL: Yes/No columns standing alone as conditions, and the logical XOR
// (all OSes).
#include "sqltranslate/call_rewrite.h"
#include "sqltranslate/cambia_tipo_sql.h"
#include "sqltranslate/list_procedures.h"
#include "sqltranslate/step_guard.h"
#include "sqltranslate/text_search.h"
#include "text/toolbox.h"

namespace kelv {
namespace {

// Deeper conditions are revised as they stand: keeps the recursion within any stack.
constexpr int kProfundidadMaxima = 200;

bool Envuelto(const std::string& s) { return !s.empty() && s.front() == '(' && s.back() == ')'; }

// "Not" as a word at the start (followed by a blank or a parenthesis).
bool EmpiezaConNot(const std::string& s) {
  return s.size() > 3 && s.compare(0, 3, "Not") == 0 && (s[3] == ' ' || s[3] == '(');
}

bool EsLetraDePalabra(char c) {
  const unsigned char u = static_cast<unsigned char>(c);
  return (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || (u >= '0' && u <= '9') ||
         u == '_' || u >= 0x80;
}

// True when word (letter case ignored) starts at offset i of t as a whole word.
bool PalabraEn(std::string_view t, std::size_t i, std::string_view word) {
  if (i + word.size() > t.size() || FindAnyCase(t.substr(i, word.size()), word) != 0) return false;
  const std::size_t e = i + word.size();
  return (i == 0 || !EsLetraDePalabra(t[i - 1])) && (e == t.size() || !EsLetraDePalabra(t[e]));
}

// The word IN followed (after blanks) by an opening parenthesis, in any letter case.
bool TieneListaIn(std::string_view t) {
  for (std::size_t p = FindAnyCase(t, "IN"); p != std::string_view::npos;
       p = FindAnyCase(t, "IN", p + 1)) {
    if (p > 0 && EsLetraDePalabra(t[p - 1])) continue;
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
    else if (nivel == 0 && (c == 'B' || c == 'b') && PalabraEn(t, i, "BETWEEN")) ++n;
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
    if (partes.size() == 1 && (Envuelto(s) || EmpiezaConNot(s))) {
      for (;;) {
        if (EmpiezaConNot(s)) {
          s.erase(0, 3);
          negado = true;
        }
        s = Trim(s);
        if (Envuelto(s)) {
          s = s.substr(1, s.size() - 2);
          envuelto = true;
        }
        pelado = true;
        partes = PartesDe(s, operador);
        if (!Envuelto(s) || partes.size() >= 2) break;
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
      if (recursivo && parte.find(conInterior) != std::string::npos) {
        parte = Revisa(parte, interior, trans, profundidad + 1, parteUnica);
      }
    });
    IgnorarFallo([&] {
      if (trans != 0) {
        if (operador == "XOR" && partes.size() >= 2) parte = "IIF(" + parte + ",1,0)";
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

// The condition of the clause whose scan starts at inicio (1-based, the blank after the
// keyword), and the position where it ends: the ")" that closes a parenthesis opened before
// the clause, length + 1, or the blank before ORDER BY / GROUP BY.
std::string Condicion(const std::string& t, std::size_t inicio, std::size_t& fin) {
  const Contenido c = ContenidoParentesis(t, inicio - 1);
  std::string cond(c.texto);
  fin = c.cierre + 1;
  for (const char* corte : {" Order By", " Group By"}) {
    const std::size_t k = InStrAnyCase(1, cond, corte);
    if (k > 0) {
      cond.resize(k - 1);
      fin = inicio + k;
    }
  }
  return cond;
}

std::string RevisaClausulas(const clsCambiaTipoSQL& traductor, const std::string& strComando,
                            bool modoXor) {
  std::string t = strComando;
  std::size_t a = InStrAnyCase(1, t, "Where ");
  std::size_t inicio = a + 5;
  if (a == 0) {
    if (!modoXor) return t;
    a = InStrAnyCase(1, t, " ON ");
    if (a == 0) return t;
    inicio = a + 3;
  }
  std::size_t fin = 0;
  std::string cond = Condicion(t, inicio, fin);
  for (;;) {
    const std::string op =
        modoXor ? "XOR" : (InStrAnyCase(1, cond, " Or ") > 0 ? "OR" : "AND");
    const std::string revisada = traductor.SQLRevisaRecursiva(cond, op, modoXor ? 1 : 0);
    if (revisada != cond) t = Replace(t, cond, revisada);
    a = InStrAnyCase(fin + 1, t, "Where ");
    if (a == 0) break;
    cond = Condicion(t, a + 5, fin);
  }
  return t;
}

}  // namespace

std::string clsCambiaTipoSQL::SQLRevisaRecursiva(const std::string& strCampos,
                                                 const std::string& Operador,
                                                 std::uint8_t Trans) const {
  return Revisa(strCampos, Operador, Trans, 0, false);
}

std::string clsCambiaTipoSQL::CambiarBooleanos(const std::string& strComando) const {
  return RevisaClausulas(*this, strComando, false);
}

std::string clsCambiaTipoSQL::SQLCambiarXOR(const std::string& strComando) const {
  return RevisaClausulas(*this, strComando, true);
}

}  // namespace kelv
