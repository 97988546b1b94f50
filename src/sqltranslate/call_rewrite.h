// The translator's recurring unit of work, the call rewrite, and the parenthesis scan it
// is built on (all OSes).
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kelv {

// The text between an opening parenthesis and its match, 0-based. abre is taken as an
// opening parenthesis whatever stands there; cierre is the offset of the matching ")", or
// text.size() when the parentheses never balance (the content then runs to the end).
struct Contenido {
  std::string_view texto;
  std::size_t cierre;
};
Contenido ContenidoParentesis(std::string_view text, std::size_t abre);

// A text rewritten from left to right. What lies before the cursor is final; what lies after
// it may still change, and is kept with free room in front so that a replacement can be put
// there without moving the rest: a pass that rewrites many places of a long text this way
// costs time proportional to the text plus the replacements.
class TextoEnCurso {
 public:
  explicit TextoEnCurso(std::string text);
  // The text after the cursor.
  std::string_view Resto() const { return std::string_view(buf_).substr(off_); }
  // Length of the final text before the cursor.
  std::size_t Hecho() const { return listo_.size(); }
  // The final text before the cursor.
  std::string_view Listo() const { return listo_; }
  // The last final character, or '\0' at the start.
  char Anterior() const { return listo_.empty() ? '\0' : listo_.back(); }
  // The first n characters after the cursor become final.
  void Avanza(std::size_t n);
  // The first n characters after the cursor are replaced by text, which stays after the
  // cursor (a later search may look into it).
  void Sustituye(std::size_t n, std::string_view text);
  // The whole text.
  std::string Termina();

 private:
  std::string listo_;
  std::string buf_;
  std::size_t off_ = 0;
};

// What one rewrite does with the occurrence it was given.
struct Reescritura {
  std::size_t fin = 0;                  // end (exclusive, 0-based) of the text replaced
  std::optional<std::string> texto;     // replacement, or none to leave the text as it is
  std::size_t siguiente = 1;            // next search starts this many characters after
                                        // the occurrence, in the new text
};

// Decides the rewrite of an occurrence at offset pos of text, the part of the working text
// that may still change; antes characters of final text lie before it (so the occurrence
// stands at offset antes + pos of the working text).
using DecideReescritura =
    std::function<Reescritura(std::string_view text, std::size_t pos, std::size_t antes)>;

// Finds literal (letter case ignored) from the start, rewrites it as decide says, and
// searches again from the stated place in the new text until there is no occurrence. An
// occurrence that ends a longer name (a letter, digit or '_' before it, as in MyRound( for
// Round() is another function and is left. Runs in time proportional to the text plus the
// replacements.
std::string ReescribeLlamadas(std::string text, std::string_view literal,
                              const DecideReescritura& decide);

// One function of a table of call rewrites: its name, letter case ignored, and the decision
// for a call of it (given the offset of the name; the arguments' parenthesis follows it).
struct LlamadaConocida {
  std::string_view nombre;
  DecideReescritura decide;
};

// Rewrites every call of the functions of tabla, a name written right before "(", in one
// scan from left to right; the next search starts where each decision says. A name that ends
// a longer name, or that follows a full stop (a function of a schema, such as dbo.Val), is
// another function and is left.
std::string ReescribeLlamadasDe(std::string text, const std::vector<LlamadaConocida>& tabla);

// A rewrite decided on the whole text: the end (exclusive) of the text it replaces and the
// replacement.
struct Reemplazo {
  std::size_t fin;
  std::string texto;
};
using DecideConContexto =
    std::function<std::optional<Reemplazo>(std::string_view text, std::size_t pos)>;

// Rewrites the calls of nombre (letter case ignored; not the end of a longer name) as decide
// says, seeing the whole text around each (what stands before a call, not only after it).
// A call nested in a rewritten one is rewritten in its replacement, seen as a text of its
// own, down to a depth of 100.
std::string ReescribeConContexto(std::string text, std::string_view nombre,
                                 const DecideConContexto& decide);

// One replacement of a pass that decides all its replacements first: the text from desde to
// hasta (exclusive) becomes texto.
struct Cambio {
  std::size_t desde, hasta;
  std::string texto;
};

// The text with the replacements made, in the order of their offsets; one that overlaps an
// earlier one is dropped.
std::string AplicaCambios(std::string text, std::vector<Cambio> cambios);

// The argument list of a call split at commas outside parentheses (blanks kept).
std::vector<std::string> PartesDeLlamada(std::string_view argumentos);

// Text without any apostrophe.
std::string SinApostrofes(std::string_view text);

}  // namespace kelv
