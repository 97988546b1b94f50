// General list and text procedures shared by the query translator (all OSes):
// CuentaApariciones, SeparaPorNivel, InsertaQuitaElemento, BuscaEnArreglo, and the small
// table of texts the alias pass keeps.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kelv {

// A table of texts: entries of fields (field 0 first). A table in its empty state has one
// entry whose fields 0 and 1 both hold "-1"; the procedures below treat it as having no
// entries.
using TablaTextos = std::vector<std::vector<std::string>>;

// A table of the given width (at least 2) in its empty state.
TablaTextos TablaVacia(std::size_t ancho);

// True when the table is in its empty state.
bool EsTablaVacia(const TablaTextos& tabla);

// Number of non-overlapping occurrences of buscado in texto, letter case ignored. An empty
// text or an empty sought text gives 0.
int CuentaApariciones(std::string_view texto, std::string_view buscado);

// Splits texto at every separador (letter case ignored) that stands outside the delimiters
// abre/cierra; the pieces keep their blanks. No separator gives the whole text as one
// piece; the empty text gives an empty list. Counting runs over the whole text, so a piece
// whose parentheses never close swallows the rest of the text.
std::vector<std::string> SeparaPorNivel(std::string_view texto, std::string_view separador,
                                        std::string_view abre, std::string_view cierra);

// Remove mode (inserta false) on a list: removes the element at indice; the elements after
// it move down by one. An indice of -1 empties the list. An indice outside the list raises
// KelvError(kErrSubscript).
void InsertaQuitaElemento(std::vector<std::string>& lista, int indice);

// On a table. Insert mode (inserta true) appends an entry built from valor, the fields joined
// by "*" (a field "^" leaves that field as it is, fields beyond the width are ignored); if
// the table is in its empty state entry 0 is filled instead. indice receives the new
// entry's index. Remove mode removes entry indice (-1 returns the table to its empty
// state). A bad indice raises KelvError(kErrSubscript).
void InsertaQuitaElemento(TablaTextos& tabla, std::string_view valor, int& indice,
                          bool inserta);

// Index of the first entry from inicio whose field columna equals valor, or -1; an empty
// state table has no entries. Numeric values (a plain decimal number) are compared as
// numbers with numeric fields; other values by exact text equality.
int BuscaEnArreglo(std::string_view valor, const TablaTextos& tabla, int columna, int inicio);

// The same over a one-dimensional list (the column -1 form).
int BuscaEnArreglo(std::string_view valor, const std::vector<std::string>& lista, int inicio);

}  // namespace kelv
