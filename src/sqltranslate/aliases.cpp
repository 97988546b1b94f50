// clsCambiaTipoSQL::SQLCambiarAlias: a column alias used by another expression of the same
// select list is replaced by the expression it names (all OSes). An alias used as a
// bracketed name ([Total]) is replaced by the expression in parentheses.
#include <algorithm>
#include <optional>

#include "sqltranslate/call_rewrite.h"
#include "sqltranslate/cambia_tipo_sql.h"
#include "sqltranslate/list_procedures.h"
#include "sqltranslate/literal_mask.h"
#include "sqltranslate/masked_passes.h"
#include "sqltranslate/sql_scan.h"
#include "sqltranslate/step_guard.h"
#include "sqltranslate/text_search.h"
#include "sqltranslate/word_replace.h"
#include "text/error.h"
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
bool UsaAlias(std::string_view expresion, bool expresionAscii, const std::string& alias) {
  const bool simple = !alias.empty() && expresionAscii && EsAscii(alias) &&
                      alias.find_first_of("*?#[") == std::string::npos;
  if (!simple) {
    const std::string x = " " + std::string(expresion) + " ";
    return Like(x, "*[!A-Z]" + Replace(alias, "*", "") + "[!A-Z]*") &&
           !Like(x, "*." + alias + "[!A-Z]*");
  }
  const std::size_t n = expresion.size(), w = alias.size();
  auto antes = [&](std::size_t e) { return e == 0 ? ' ' : expresion[e - 1]; };
  auto despues = [&](std::size_t e) { return e + w >= n ? ' ' : expresion[e + w]; };
  bool usado = false;
  for (std::size_t e = expresion.find(alias); e != std::string_view::npos;
       e = expresion.find(alias, e + 1)) {
    if (!Mayuscula(antes(e)) && !Mayuscula(despues(e))) {
      usado = true;
      break;
    }
  }
  if (!usado) return false;
  for (std::size_t e = expresion.find(alias, 1); e != std::string_view::npos;
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
  std::vector<std::string_view> trozos;  // of the clean expression (see Trozos)
  std::string palabra;  // the alias as a word found in expressions (empty: none)
  std::string nombre;   // the alias as a bracketed name found in expressions (empty: none)
};

// A name that can be written without brackets: letters, digits and '_' only.
bool EsNombreSimple(std::string_view s) {
  if (s.empty()) return false;
  for (char c : s) {
    if (!EsLetraDeNombre(c)) return false;
  }
  return true;
}

// How the alias of an entry is looked for in the other expressions: AS [Total] and AS Total
// are both used as Total and as [Total]. An alias that holds other literals or names is not
// looked for.
void NombresDeUso(const Literales& lit, Entrada& e) {
  if (auto nombre = lit.NombreDe(e.alias)) {
    e.nombre = *nombre;
    if (EsNombreSimple(*nombre)) e.palabra = *nombre;
  } else if (e.alias.find(kAbreToken) == std::string::npos) {
    e.palabra = e.alias;
    if (EsNombreSimple(e.alias)) e.nombre = e.alias;
  }
}

// The bracketed name at offset p of expresion when it is a use of the alias of j: the same
// name, letter case ignored, not the column part of a qualified name such as [t].[Total].
std::optional<Literales::Token> UsoConCorchetes(const Literales& lit, std::string_view expresion,
                                                std::size_t p, const Entrada& j) {
  const auto k = lit.TokenEn(expresion, p);
  if (!k || k->clase != Literales::Clase::Nombre || (p > 0 && expresion[p - 1] == '.') ||
      lit.Nombre(*k).size() != j.nombre.size() ||
      !TextEquals(lit.Nombre(*k), j.nombre, Compare::AnyCase)) {
    return std::nullopt;
  }
  return k;
}

// Whether expresion uses the alias of j as a bracketed name.
bool TieneUsoConCorchetes(const Literales& lit, std::string_view expresion, const Entrada& j) {
  for (std::size_t p = expresion.find('['); p != std::string_view::npos;
       p = expresion.find('[', p + 1)) {
    if (UsoConCorchetes(lit, expresion, p, j)) return true;
  }
  return false;
}

// The expression with every bracketed use of the alias nombre replaced by the expression
// it names, in parentheses; "usado" tells whether there was such a use. An entry without
// alias stands for itself and is left.
std::string SustituyeCorchetes(const Literales& lit, const std::string& expresion,
                               const Entrada& j, bool& usado, std::size_t limite) {
  usado = false;
  std::string out;
  std::size_t copiado = 0;
  for (std::size_t p = expresion.find('['); p != std::string::npos;
       p = expresion.find('[', p + 1)) {
    const auto k = UsoConCorchetes(lit, expresion, p, j);
    if (!k) continue;
    usado = true;
    if (j.expresion == j.alias) continue;
    out.append(expresion, copiado, p - copiado);
    out += "(" + j.expresion + ")";
    copiado = k->fin;
    if (out.size() + (expresion.size() - copiado) > limite) {
      throw KelvError(kErrOutOfStringSpace, "SQLCambiarAlias", "Out of string space");
    }
  }
  if (copiado == 0) return expresion;
  out.append(expresion, copiado, std::string::npos);
  return out;
}

// An expression cut into the pieces outside its parenthesised subqueries (even indexes) and
// the subqueries with their parentheses (odd indexes): the aliases of a list are not looked
// for inside a subquery, which has names of its own.
std::vector<std::string_view> Trozos(std::string_view e) {
  std::vector<std::string_view> trozos;
  std::size_t desde = 0;
  for (std::size_t a = e.find('('); a != std::string_view::npos; a = e.find('(', a + 1)) {
    std::size_t p = a + 1;
    while (p < e.size() && e[p] == ' ') ++p;
    if (!FraseEn(e, p, "SELECT")) continue;
    const std::size_t fin = std::min(ContenidoParentesis(e, a).cierre + 1, e.size());
    trozos.push_back(e.substr(desde, a - desde));
    trozos.push_back(e.substr(a, fin - a));
    desde = fin;
    if (fin == 0 || fin >= e.size()) break;
    a = fin - 1;
  }
  trozos.push_back(e.substr(desde));
  return trozos;
}

void Limpia(Entrada& e) {
  if (e.limpia) return;
  e.expresion = Trim(Replace(e.expresion, "\r\n", ""));
  e.ascii = EsAscii(e.expresion);
  e.trozos = Trozos(e.expresion);
  e.limpia = true;
}

// The 1-based position of the last " AS " of f outside parentheses, letter case ignored, or
// 0 (InStrRev of the table's rule, without folding a copy of the field). An AS inside
// parentheses belongs to a call such as CAST(x AS float), never to the field's alias.
std::size_t UltimoAs(std::string_view f) {
  long nivel = 0;
  for (std::size_t p = f.size(); p > 0; --p) {
    const char* c = f.data() + p - 1;
    if (*c == ')') ++nivel;
    else if (*c == '(') --nivel;
    else if (nivel == 0 && p + 3 <= f.size() && c[0] == ' ' && (c[1] | 0x20) == 'a' &&
             (c[2] | 0x20) == 's' && c[3] == ' ') {
      return p;
    }
  }
  return 0;
}

// Whether an alias of the list might be used by another field, as the table below would
// find it: some field's alias (the text after its last " AS ", or the whole field) stands
// in the list, letter case ignored, more often than its own definition, or a bracketed name
// of the list names it. When none might, the list stays as it is and the table is not
// built: most lists define aliases that no other field uses.
bool AliasQuizaUsado(const Literales& lit, std::string_view lista,
                     const std::vector<std::string>& campos) {
  std::vector<std::string_view> corchetes;  // the names of the list's bracketed names
  for (std::size_t p = lista.find('['); p != std::string_view::npos; p = lista.find('[', p + 1)) {
    const auto k = lit.TokenEn(lista, p);
    if (k && k->clase == Literales::Clase::Nombre) corchetes.push_back(lit.Nombre(*k));
  }
  for (const std::string& f : campos) {
    const std::size_t k = UltimoAs(f);
    const std::string alias = Trim(k > 0 ? Mid(f, k + 4) : f);
    std::string nombre = alias;
    bool escrito = true;  // the alias's own text stands in the list once
    if (auto n = lit.NombreDe(alias)) {
      nombre = *n;
      escrito = false;
    } else if (alias.find(kAbreToken) != std::string::npos) {
      return true;
    }
    if (nombre.empty()) continue;
    int veces = 0;
    const BuscaSinCaso busca(nombre);
    for (std::size_t p = busca.Find(lista, 0); p != std::string_view::npos && veces < 2;
         p = busca.Find(lista, p + 1)) {
      ++veces;
    }
    int iguales = 0;
    for (std::string_view c : corchetes) {
      if (c.size() == nombre.size() && TextEquals(c, nombre, Compare::AnyCase)) ++iguales;
    }
    if (veces > (escrito ? 1 : 0) || iguales > (escrito ? 0 : 1)) return true;
  }
  return false;
}

// Fills the table from the fields of one select list (a repeated alias keeps the place of
// its first use and takes the later expression).
// A new entry of three empty fields at the end of the table (the first entry of a table in
// its empty state), as InsertaQuitaElemento(tabla, "***", indice, true) appends it.
int NuevaFila(TablaTextos& tabla) {
  if (EsTablaVacia(tabla)) {
    tabla[0].assign(3, std::string());
    return 0;
  }
  tabla.emplace_back(3, std::string());
  return static_cast<int>(tabla.size()) - 1;
}

std::vector<Entrada> LlenaTabla(const Literales& lit, const std::vector<std::string>& campos) {
  TablaTextos tabla = TablaVacia(3);
  for (const std::string& f : campos) {
    IgnorarFallo([&] {
      std::size_t k = UltimoAs(f);
      std::string alias;
      int indice = -1;
      if (k > 0) {
        alias = Trim(Mid(f, k + 4));
        indice = BuscaEnArreglo(alias, tabla, 0, 0);
        if (indice == -1) indice = NuevaFila(tabla);
      } else {
        alias = f;
        k = f.size() + 1;
        indice = NuevaFila(tabla);
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
    NombresDeUso(lit, e);
    entradas.push_back(std::move(e));
  }
  return entradas;
}

// Replaces every alias used by another expression of the list; returns how many uses were
// found. Expressions may not grow beyond presupuesto characters in all: a replacement that
// would pass it is skipped, like any other failing step.
int SustituyeAlias(const Literales& lit, std::vector<Entrada>& entradas, std::size_t presupuesto) {
  int cambios = 0;
  std::size_t total = 0;
  for (const Entrada& e : entradas) total += e.expresion.size();
  for (std::size_t j = 0; j < entradas.size(); ++j) {
    const Entrada& ej = entradas[j];
    if (ej.posicion <= 0) continue;
    for (std::size_t i = 0; i < entradas.size(); ++i) {
      Entrada& ei = entradas[i];
      total -= ei.expresion.size();
      Limpia(ei);
      total += ei.expresion.size();
      if (i == j) continue;
      const std::vector<std::string_view>& trozos = ei.trozos;
      bool comoPalabra = false;
      for (std::size_t k = 0; k < trozos.size() && !ej.palabra.empty(); k += 2) {
        if (UsaAlias(trozos[k], ei.ascii, ej.palabra)) comoPalabra = true;
      }
      if (comoPalabra) ++cambios;
      const bool conCorchetes = !ej.nombre.empty() && TieneUsoConCorchetes(lit, ei.expresion, ej);
      if (!comoPalabra && !conCorchetes) continue;
      IgnorarFallo([&] {
        // The expression goes in as one operand: a+b used in Total*2 gives (a+b)*2.
        const std::string insertada =
            !comoPalabra || EsOperandoSimple(ej.expresion) ? ej.expresion
                                                           : "(" + ej.expresion + ")";
        const std::size_t resto = total - ei.expresion.size();
        const std::size_t limite = presupuesto > resto ? presupuesto - resto : 0;
        std::string nueva;
        bool usado = false;
        for (std::size_t k = 0; k < trozos.size(); ++k) {
          std::string trozo(trozos[k]);
          if (k % 2 == 0 && comoPalabra) {
            trozo = ReemplazaPalabraLimitada(trozo, ej.palabra, insertada, limite);
          }
          if (k % 2 == 0 && !ej.nombre.empty()) {
            bool enTrozo = false;
            trozo = SustituyeCorchetes(lit, trozo, ej, enTrozo, limite);
            usado = usado || enTrozo;
          }
          nueva += trozo;
        }
        if (nueva.size() > limite) {
          throw KelvError(kErrOutOfStringSpace, "SQLCambiarAlias", "Out of string space");
        }
        if (comoPalabra) nueva = Trim(nueva);
        if (usado && !comoPalabra) ++cambios;
        total = resto + nueva.size();
        ei.expresion = std::move(nueva);
        ei.ascii = EsAscii(ei.expresion);
        ei.trozos = Trozos(ei.expresion);
      });
    }
  }
  return cambios;
}

// The rebuilt list: one field per line, "expression as alias" where they differ, without
// the final comma.
std::string ReconstruyeLista(const std::vector<Entrada>& entradas) {
  std::string lista;
  for (const Entrada& e : entradas) {
    lista += e.expresion;
    if (Trim(e.expresion) != e.alias) lista += " as " + e.alias;
    lista += ", \r\n";
  }
  lista = Trim(Left(lista, lista.size() >= 2 ? lista.size() - 2 : 0));
  return Left(lista, lista.empty() ? 0 : lista.size() - 1);
}

// The next "SELECT " (a whole word, letter case ignored) at or after desde, or npos.
std::size_t BuscaSelect(std::string_view t, std::size_t desde) {
  for (std::size_t p = BuscaFrase(t, "SELECT", desde); p != std::string::npos;
       p = BuscaFrase(t, "SELECT", p + 1)) {
    if (p + 6 < t.size() && t[p + 6] == ' ') return p;
  }
  return std::string_view::npos;
}

}  // namespace

namespace enmascarado {

std::string CambiarAlias(const Literales& lit, std::string texto) {
  const std::size_t presupuesto = 65536 + 16 * texto.size();
  std::size_t sel = BuscaSelect(texto, 0);
  if (sel == std::string::npos) return texto;
  // The statement is rewritten from left to right: what lies before the list being revised
  // is final, so a rebuilt list never moves the rest of a long statement.
  TextoEnCurso t(std::move(texto));
  while (sel != std::string::npos) {
    // The list runs from the blank after SELECT and its ALL, DISTINCT or TOP n words to the
    // blank before its own FROM (or INTO), outside parentheses.
    t.Avanza(SaltaPrefijoSelect(t.Resto(), sel + 6));
    const std::string_view r = t.Resto();
    // The next list may be a subquery inside this one; a rebuilt list is not searched again
    // (it may hold copies of its subqueries).
    IgnorarFallo([&] {
      std::size_t fr = BuscaFraseFuera(r, "FROM", 0);
      fr = std::min(fr, BuscaFraseFuera(r, "INTO", 0, fr));
      if (fr == std::string::npos) return;  // no FROM after this SELECT: its text is kept
      if (fr > 0 && r[fr - 1] == ' ') --fr;
      const std::string lista(r.substr(0, fr));
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
      if (!AliasQuizaUsado(lit, lista, campos)) return;
      std::vector<Entrada> entradas = LlenaTabla(lit, campos);
      if (SustituyeAlias(lit, entradas, presupuesto) == 0) return;
      const std::string nueva = ReconstruyeLista(entradas);
      const std::size_t cabeza = !r.empty() && r[0] == ' ' ? 1 : 0;
      t.Avanza(cabeza);
      t.Sustituye(fr - cabeza, nueva);
      t.Avanza(nueva.size());
    });
    sel = BuscaSelect(t.Resto(), 0);
  }
  return t.Termina();
}

}  // namespace enmascarado

std::string clsCambiaTipoSQL::SQLCambiarAlias(std::string& strAux) const {
  // strAux receives the statement after every rebuilt list, so in the end it holds the
  // result (or, when no list was rebuilt, what it held, which is the result too).
  strAux = SobreCodigo(strAux, [](Literales& lit, std::string t) {
    return enmascarado::CambiarAlias(lit, std::move(t));
  });
  return strAux;
}

}  // namespace kelv
