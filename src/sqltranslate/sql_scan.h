// Scanning of masked query text (see literal_mask.h): keywords as whole words, phrases such
// as ORDER BY, parenthesis depth and the words between SELECT and its list (all OSes).
//
// Masked text holds no literal, name or comment content, so what these functions find is
// always code.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "sqltranslate/text_search.h"

namespace kelv {

// True for blanks, tabs and line breaks.
inline bool EsEspacio(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// The first offset at or after i that holds no blank, tab or line break.
std::size_t SaltaEspacios(std::string_view t, std::size_t i);

// s without the blanks, tabs and line breaks around it.
std::string_view SinEspacios(std::string_view s);

// The word (letters, digits, '_') that ends where the blanks before offset fin start, or an
// empty view.
std::string_view PalabraAntes(std::string_view t, std::size_t fin);

// Whether palabra is the word w, letter case ignored.
bool EsPalabra(std::string_view palabra, std::string_view w);

// Whether the phrase (words separated by single blanks, such as "ORDER BY") starts at offset
// i of t, letter case ignored, as whole words: no letter, digit or '_' touches it on either
// side, and between its words t may hold any run of blanks, tabs and line breaks. fin, when
// given, receives the offset just after the match.
bool FraseEn(std::string_view t, std::size_t i, std::string_view frase,
             std::size_t* fin = nullptr);

// The first offset at or after desde where the phrase stands (FraseEn), or npos.
std::size_t BuscaFrase(std::string_view t, std::string_view frase, std::size_t desde = 0);

// The same, only where no parenthesis opened at or after desde is still open; the search
// ends at a ")" that closes one opened before desde, or at hasta.
std::size_t BuscaFraseFuera(std::string_view t, std::string_view frase, std::size_t desde = 0,
                            std::size_t hasta = std::string_view::npos);

// Whether s starts with "(" and the ")" that matches it is the last character of s.
bool EntreParentesis(std::string_view s);

// The offset of the "(" that the ")" at offset cierre closes, or npos.
std::size_t AbreDe(std::string_view t, std::size_t cierre);

// True for the bytes of an operand written without blanks or operators: names (letters,
// digits, '_'), the full stop and "@" of qualified names and parameters, and the quotes,
// brackets and token bytes of masked literals and names.
bool EsDeOperando(char c);

// The end (exclusive) of the operand that starts at offset i: a parenthesised group, a name,
// number, literal or qualified name, or a call (a name followed by its parenthesised
// arguments). i when no operand starts there.
std::size_t FinDeOperando(std::string_view t, std::size_t i);

// The start of the operand that ends (exclusive) at offset fin, or fin when there is none.
std::size_t InicioDeOperando(std::string_view t, std::size_t fin);

// Access's arithmetic operators by how tightly they bind, tightest first: ^, the sign, * and
// /, \ (integer division), Mod (and T-SQL's %), + and -, and & (text concatenation).
// Comparisons and the logical operators bind less tightly than all of them.
enum class Precedencia { Potencia = 0, Signo, Producto, DivisionEntera, Modulo, Suma, Concatena };

// The operator that starts at offset i (after any blanks the caller skipped): its precedence
// and length; false when there is none (or a word such as AND, which binds less tightly).
bool OperadorEn(std::string_view t, std::size_t i, Precedencia& p, std::size_t& largo);

// The end (exclusive) of the expression that starts at offset i and holds only operators
// that bind at least as tightly as hasta, signs included; i when no operand starts there.
std::size_t FinDeExpresion(std::string_view t, std::size_t i, Precedencia hasta);

// The start of the expression that ends (exclusive) at offset fin and holds only operators
// that bind at least as tightly as hasta, signs included; fin when no operand ends there.
std::size_t InicioDeExpresion(std::string_view t, std::size_t fin, Precedencia hasta);

// Whether e (blanks around it aside) is one operand that needs no parentheses to be put
// inside a longer expression: a name, number, literal, call or parenthesised group.
bool EsOperandoSimple(std::string_view e);

// The end (exclusive) of the clause that starts at offset i: the first ")" that closes a
// parenthesis opened before i, a ";" outside parentheses, the start of a word outside
// parentheses for which termina(t, offset) holds, or the end of t.
template <typename Termina>
std::size_t FinDeClausula(std::string_view t, std::size_t i, Termina termina) {
  std::size_t nivel = 0;
  for (; i < t.size(); ++i) {
    const char c = t[i];
    if (c == '(') {
      ++nivel;
    } else if (c == ')') {
      if (nivel == 0) break;
      --nivel;
    } else if (nivel == 0 && c == ';') {
      break;
    } else if (nivel == 0 && EsLetraDeNombre(c) && (i == 0 || !EsLetraDeNombre(t[i - 1]))) {
      if (termina(t, i)) break;
      while (i + 1 < t.size() && EsLetraDeNombre(t[i + 1])) ++i;
    }
  }
  return i;
}

// The statements of t, split at the ";" outside parentheses: [start, end) of each.
std::vector<std::pair<std::size_t, std::size_t>> Sentencias(std::string_view t);

// The first table of a FROM list or of the tables of an UPDATE (after any opening
// parentheses of nested joins) and its alias (empty when it has none), both as written.
struct TablaDeLista {
  std::string_view nombre, alias;
};
TablaDeLista PrimeraTabla(std::string_view tablas);

// The table (or alias) that qualifies a column written as t.c, [t].[c] or t.*: the text
// before its last full stop; empty when the column is not qualified.
std::string_view Calificador(std::string_view columna);

// The table (or alias) that qualifies the first of a comma-separated list of columns;
// varias tells whether another column of the list names another one.
std::string CalificadorComun(std::string_view columnas, bool& varias);

// Rewrites each statement of t that starts with the keyword palabra (a whole word, letter
// case ignored). reescribe is given the text up to the statement's end, the offset just
// after the keyword and any DISTINCT or DISTINCTROW that follows it (distinct tells whether
// there was one), and the statement's end; it returns the statement's new text from the
// keyword on, or nothing to leave it.
using ReescribeSentencia = std::function<std::optional<std::string>(
    std::string_view s, std::size_t tras, bool distinct, std::size_t fin)>;
std::string ReescribeSentencias(std::string t, std::string_view palabra,
                                const ReescribeSentencia& reescribe);

// A select list's field split into its expression and its alias (after the last " AS "
// outside parentheses, letter case ignored); the alias is empty when there is none. Both
// without blanks around them.
std::pair<std::string_view, std::string_view> SeparaAlias(std::string_view campo);

// The words that may stand between SELECT and its list: ALL, DISTINCT, DISTINCTROW and
// TOP n [PERCENT] [WITH TIES], n a number or a parenthesised expression. i is the offset
// just after "SELECT"; returns the offset just after the last such word, or i when there is
// none. top, when given, is set to whether TOP was among them.
std::size_t SaltaPrefijoSelect(std::string_view t, std::size_t i, bool* top = nullptr);

}  // namespace kelv
