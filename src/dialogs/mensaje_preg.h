// MensajePreg: the modal message and question dialog frmAlert (all OSes).
//
// Shows a message with one of five fixed button sets or up to six caller-given buttons, an
// icon glyph on a coloured patch and a title strip, waits for a button and returns its
// code. A real window on Windows and on Linux with a display; the console without one; and
// with the environment variable KELV_NO_UI set and non-empty, the message goes to standard
// error and the answer is the one Enter would give, without reading anything.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kelv {

// Shows strTexto (CR LF starts a new line) with the button set AuxTipo:
//   0 "&Aceptar" (1); 1 "&Aceptar" (1), "&Cancelar" (2); 2 "&Si" (6), "&No" (7);
//   3 "&Si", "&No", "&Cancelar"; 4 "&Si", "&No", "S&i a todo" (-6), "N&o a todo" (-7);
//   5 the captions of TextoOpcional separated by "*", caption k returning k (at most six).
// AuxSubTipo picks the glyph: 0 "¡", 1 "?", 2 "!", 3 "X". strTitulo is shown in the title
// strip; the product name when it is empty. Returns the pressed button's code; a dialog
// closed without a button returns the code of its last shown button.
// Throws KelvError(kErrInvalidArgument) for AuxTipo above 5, AuxSubTipo above 3, or
// AuxTipo 5 with no caption.
std::int16_t MensajePreg(std::string_view strTexto, std::uint8_t AuxTipo,
                         std::uint8_t AuxSubTipo, std::string_view TextoOpcional,
                         std::string_view strTitulo);

// Sets the product name shown in the title strip when strTitulo is empty.
void SetNombreProducto(std::string_view name);

// The product name; "Kelv Personal®" until SetNombreProducto is called.
std::string NombreProducto();

}  // namespace kelv
