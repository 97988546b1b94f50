// The content of the message and question dialog frmAlert for one call: button set,
// captions, result codes, glyph, patch colour and title (all OSes; pure logic).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace kelv {

// Number of buttons the dialog owns (btAcc 0 to 5).
inline constexpr int kAlertButtonCount = 6;

// One of the dialog's buttons for this call.
struct AlertButton {
  std::string caption;   // with "&" before the letter that selects it
  std::int16_t code = 0; // the result code returned when it is pressed
  bool visible = false;  // shown in this call
};

// Everything a back-end needs to show the dialog, before any measuring.
struct AlertForm {
  std::string message;       // strTexto as given (CR LF starts a new line)
  std::string title;         // strTitulo, or the product name when strTitulo is empty
  std::uint8_t tipo = 0;     // AuxTipo, 0 to 5
  std::uint8_t subTipo = 0;  // AuxSubTipo, 0 to 3
  std::string glyph;         // "¡", "?", "!" or "X" (UTF-8)
  std::uint8_t patchRed = 255, patchGreen = 255, patchBlue = 255;
  std::array<AlertButton, kAlertButtonCount> buttons;
  int shownCount = 0;        // n: the number of buttons shown
};

// Builds the dialog content for one call of MensajePreg. productName is the title when
// strTitulo is empty. Throws KelvError(kErrInvalidArgument) for AuxTipo above 5,
// AuxSubTipo above 3, and AuxTipo 5 without any caption (a dialog without buttons could
// not be answered). With AuxTipo 5 the captions are TextoOpcional split at "*"; caption k
// goes to button k with result code k; captions after the sixth are not shown.
AlertForm MakeAlertForm(std::string_view strTexto, std::uint8_t AuxTipo,
                        std::uint8_t AuxSubTipo, std::string_view TextoOpcional,
                        std::string_view strTitulo, std::string_view productName);

// Index of the first shown button in tab order (the one focused on showing), or -1.
int FirstShownButton(const AlertForm& form);

// The result of closing the dialog without pressing a button (window manager close,
// Alt+F4, end of console input): the code of the last shown button in tab order, which is
// "&Cancelar" wherever that button is shown.
std::int16_t CloseWithoutButtonCode(const AlertForm& form);

}  // namespace kelv
