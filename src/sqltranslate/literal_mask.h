// Literal-aware scanning for the translator's passes (all OSes).
//
// A query holds text that no pass may change: string literals ('...' and Access's "..."),
// bracketed names ([...]) and comments. Literales cuts that text out once: Enmascara returns
// the query with each string literal and bracketed name replaced by a short opaque token and
// the comments dropped, the passes work on that masked text (every search and replacement
// then only sees code), and Restaura puts the pieces back.
//
// Visible form of the tokens in masked text (the quotes and brackets stay visible, so that
// passes still see a literal or a name there):
//   string literal   '<core>'     (one not closed before the end: '<core>)
//   bracketed name   [<core>]
//   a byte 0x01 or 0x02 found in the query's code: <core>
//   a piece of finished code a pass built (NuevoCodigo): <core>
// <core> is 0x01, the entry's index in base 16 written with the bytes 0x10-0x1F, and 0x02:
// no letter, digit, blank, quote, bracket or parenthesis, so no pass can match inside it.
// The same piece of text always gets the same token, so equal literals compare equal.
//
// Restaura puts back a string literal in T-SQL form: "O'Brien" and 'O''Brien' both come
// back as O''Brien between the apostrophes, "a""b" as a"b. A bracketed name comes back as it
// was written. Line comments (-- up to the line break, which stays) are dropped, and so are
// block comments (/* ... */, replaced by one blank), so that joining lines can never turn
// a comment into one over the rest of the statement.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace kelv {

class Literales {
 public:
  enum class Clase { Texto, Nombre, Byte, Codigo };

  // One token found in masked text: its visible form spans [inicio, fin).
  struct Token {
    std::size_t inicio = 0, fin = 0;
    Clase clase = Clase::Texto;
    std::size_t indice = 0;
  };

  // The query with its literals and names replaced by tokens and its comments dropped.
  std::string Enmascara(std::string_view texto);

  // Whether the query held comments, which only SQL Server's own texts (pass-through
  // queries) have.
  bool ConComentarios() const { return comentarios_; }

  // Masked text with every token core replaced by the text it stands for.
  std::string Restaura(std::string_view enmascarado) const;

  // A new string literal holding contenido (plain text, apostrophes not doubled), in its
  // visible form '<core>'.
  std::string NuevoTexto(std::string_view contenido);

  // A token that stands for texto, finished code that no later pass may change (such as a
  // subquery translated on its own); Restaura puts texto back as it is.
  std::string NuevoCodigo(std::string_view texto);

  // The token whose visible form starts at offset i of texto, if any.
  std::optional<Token> TokenEn(std::string_view texto, std::size_t i) const;

  // The plain content of a string literal that, blanks around it aside, is all of texto.
  std::optional<std::string> TextoDe(std::string_view texto) const;

  // The name inside a bracketed name that, blanks around it aside, is all of texto.
  std::optional<std::string> NombreDe(std::string_view texto) const;

  // The name of a bracketed name token.
  const std::string& Nombre(const Token& token) const { return piezas_[token.indice].interior; }

 private:
  struct Pieza {
    Clase clase;
    std::string interior;  // what Restaura puts in place of the core
  };
  std::string Core(Clase clase, std::string interior);

  std::vector<Pieza> piezas_;
  std::unordered_map<std::string, std::size_t> indices_;  // clase + interior -> index
  bool comentarios_ = false;
};

// Bytes that open and close a token's core.
constexpr char kAbreToken = '\x01';
constexpr char kCierraToken = '\x02';

// Runs paso(Literales&, std::string masked) on the masked form of texto and returns the
// restored result: how the public operations give plain text to the masked passes.
template <typename Paso>
std::string SobreCodigo(std::string_view texto, Paso&& paso) {
  Literales lit;
  std::string masked = lit.Enmascara(texto);
  return lit.Restaura(paso(lit, std::move(masked)));
}

}  // namespace kelv
