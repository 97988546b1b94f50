// clsCambiaTipoSQL::SQLCambiarAlias: a column alias used by another expression of the same
// select list is replaced by the expression it names (all OSes).
#include "sqltranslate/cambia_tipo_sql.h"
#include "sqltranslate/list_procedures.h"
#include "sqltranslate/step_guard.h"
#include "sqltranslate/text_search.h"
#include "sqltranslate/word_replace.h"
#include "text/toolbox.h"

namespace kelv {
namespace {

bool EsAscii(std::string_view s) {
  for (unsigned char c : s) {
    if (c >= 0x80) return false;
  }
  return true;
}

inline bool Mayuscula(char c) { return c >= 'A' && c <= 'Z'; }

// Whether expresion uses alias: " " + expresion + " " matches "*[!A-Z]" + alias (without
// "*") + "[!A-Z]*" and does not match "*." + alias + "[!A-Z]*" (exact case: a lower-case
// letter or a digit counts as a boundary here). Plain ASCII texts are checked by searching;
// anything else goes through the wildcard match itself.
bool UsaAlias(const std::string& expresion, bool expresionAscii, const std::string& alias) {
  const bool simple = !alias.empty() && expresionAscii && EsAscii(alias) &&
                      alias.find_first_of("*?#[") == std::string::npos;
  if (!simple) {
    const std::string x = " " + expresion + " ";
    return Like(x, "*[!A-Z]" + Replace(alias, "*", "") + "[!A-Z]*") &&
           !Like(x, "*." + alias + "[!A-Z]*");
  }
  const std::size_t n = expresion.size(), w = alias.size();
  auto antes = [&](std::size_t e) { return e == 0 ? ' ' : expresion[e - 1]; };
  auto despues = [&](std::size_t e) { return e + w >= n ? ' ' : expresion[e + w]; };
  bool usado = false;
  for (std::size_t e = expresion.find(alias); e != std::string::npos;
       e = expresion.find(alias, e + 1)) {
    if (!Mayuscula(antes(e)) && !Mayuscula(despues(e))) {
      usado = true;
      break;
    }
  }
  if (!usado) return false;
  for (std::size_t e = expresion.find(alias, 1); e != std::string::npos;
       e = expresion.find(alias, e + 1)) {
    if (expresion[e - 1] == '.' && !Mayuscula(despues(e))) return false;
  }
  return true;
}

// Whether a field cut at a comma ends inside a quoted text (an odd number of apostrophes)
// or inside parentheses opened outside quotes.
bool CampoAbierto(std::string_view campo) {
  bool citado = false;
  long nivel = 0;
  for (char c : campo) {
    if (c == '\'') citado = !citado;
    else if (!citado && c == '(') ++nivel;
    else if (!citado && c == ')') --nivel;
  }
  return citado || nivel > 0;
}

// One entry of the alias table while the list is revised: field 0 the alias, field 1 the
// expression, field 2 the position of its " AS " written as a number.
struct Entrada {
  std::string alias, expresion;
  long posicion = 0;
  bool limpia = false;  // expression already without line breaks and outer blanks
  bool ascii = true;
};

void Limpia(Entrada& e) {
  if (e.limpia) return;
  e.expresion = Trim(Replace(e.expresion, "\r\n", ""));
  e.ascii = EsAscii(e.expresion);
  e.limpia = true;
}

// Fills the table from the fields of one select list (a repeated alias keeps the place of
// its first use and takes the later expression).
std::vector<Entrada> LlenaTabla(const std::vector<std::string>& campos) {
  TablaTextos tabla = TablaVacia(3);
  for (const std::string& f : campos) {
    IgnorarFallo([&] {
      std::size_t k = InStrRev(f, " AS ", 0, Compare::AnyCase);
      std::string alias;
      int indice = -1;
      if (k > 0) {
        alias = Trim(Mid(f, k + 4));
        indice = BuscaEnArreglo(alias, tabla, 0, 0);
        if (indice == -1) InsertaQuitaElemento(tabla, "***", indice, true);
      } else {
        alias = f;
        k = f.size() + 1;
        InsertaQuitaElemento(tabla, "***", indice, true);
      }
      tabla[indice][2] = std::to_string(k);
      tabla[indice][0] = Trim(alias);
      tabla[indice][1] = Trim(Left(f, k - 1));
    });
  }
  std::vector<Entrada> entradas;
  if (EsTablaVacia(tabla)) return entradas;
  for (auto& fila : tabla) {
    Entrada e;
    e.alias = fila[0];
    e.expresion = fila[1];
    e.posicion = static_cast<long>(Val(fila[2]));
    entradas.push_back(std::move(e));
  }
  return entradas;
}

// Replaces every alias used by another expression of the list; returns how many uses were
// found. Expressions may not grow beyond presupuesto characters in all: a replacement that
// would pass it is skipped, like any other failing step.
int SustituyeAlias(std::vector<Entrada>& entradas, std::size_t presupuesto) {
  int cambios = 0;
  std::size_t total = 0;
  for (const Entrada& e : entradas) total += e.expresion.size();
  for (std::size_t j = 0; j < entradas.size(); ++j) {
    if (entradas[j].posicion <= 0) continue;
    for (std::size_t i = 0; i < entradas.size(); ++i) {
      Entrada& ei = entradas[i];
      total -= ei.expresion.size();
      Limpia(ei);
      total += ei.expresion.size();
      if (i == j || !UsaAlias(ei.expresion, ei.ascii, entradas[j].alias)) continue;
      ++cambios;
      IgnorarFallo([&] {
        const std::size_t resto = total - ei.expresion.size();
        const std::size_t limite = presupuesto > resto ? presupuesto - resto : 0;
        std::string nueva = Trim(ReemplazaPalabraLimitada(ei.expresion, entradas[j].alias,
                                                          entradas[j].expresion, limite));
        total = resto + nueva.size();
        ei.expresion = std::move(nueva);
        ei.ascii = EsAscii(ei.expresion);
      });
    }
  }
  return cambios;
}

// The rebuilt list: one field per line, "expression as alias" where they differ, without
// the final comma. largo receives the length before that comma was removed.
std::string ReconstruyeLista(const std::vector<Entrada>& entradas, std::size_t& largo) {
  std::string lista;
  for (const Entrada& e : entradas) {
    lista += e.expresion;
    if (Trim(e.expresion) != e.alias) lista += " as " + e.alias;
    lista += ", \r\n";
  }
  lista = Trim(Left(lista, lista.size() >= 2 ? lista.size() - 2 : 0));
  largo = lista.size();
  return Left(lista, lista.empty() ? 0 : lista.size() - 1);
}

}  // namespace

std::string clsCambiaTipoSQL::SQLCambiarAlias(std::string& strAux) const {
  std::string t = strAux;
  const std::size_t presupuesto = 65536 + 16 * t.size();
  std::size_t pos = 0;
  std::size_t sel = InStrAnyCase(pos + 1, t, "Select ");
  do {
    const std::size_t fr = InStrAnyCase(sel + 6, t, " From ");
    std::string lista;
    bool reconstruida = false;
    IgnorarFallo([&] {
      if (fr == 0) return;  // no FROM after this SELECT: its text is kept
      lista = t.substr(sel + 5, fr - sel - 6);
      if (InStrAnyCase(1, lista, " AS ") == 0) return;
      std::vector<std::string> campos = Split(lista, ",");
      // Fields split inside a quoted text or inside a call's parentheses are joined again.
      std::size_t i = 0;
      while (i + 1 < campos.size()) {
        if (CampoAbierto(campos[i])) {
          campos[i] += "," + campos[i + 1];
          campos.erase(campos.begin() + static_cast<std::ptrdiff_t>(i) + 1);
        } else {
          ++i;
        }
      }
      std::vector<Entrada> entradas = LlenaTabla(campos);
      if (SustituyeAlias(entradas, presupuesto) == 0) return;
      std::size_t largo = 0;
      const std::string nueva = ReconstruyeLista(entradas, largo);
      t = t.substr(0, sel + 6) + nueva + t.substr(fr - 1);
      strAux = t;
      pos = largo + sel;
      reconstruida = true;
    });
    if (!reconstruida) pos = lista.size() + sel;
    sel = InStrAnyCase(pos + 1, t, "Select ");
  } while (sel != 0);
  return t;
}

}  // namespace kelv
