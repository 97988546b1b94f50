// The content of the dialog for one call: button sets, captions, codes and icons.
#include "dialogs/alert_form.h"

#include <string>
#include <vector>

#include "text/error.h"
#include "text/toolbox.h"

namespace kelv {

namespace {

struct FixedButton {
  const char* caption;
  std::int16_t code;
};

// The design of the six buttons: caption with its mnemonic and result code.
constexpr FixedButton kFixedButtons[kAlertButtonCount] = {
    {"&Aceptar", 1}, {"&Si", 6}, {"&No", 7}, {"S&i a todo", -6}, {"N&o a todo", -7},
    {"&Cancelar", 2}};

struct Icon {
  const char* glyph;
  std::uint8_t red, green, blue;
};

constexpr Icon kIcons[4] = {
    {"\xC2\xA1", 255, 255, 255}, {"?", 255, 255, 255}, {"!", 254, 254, 159}, {"X", 254, 80, 80}};

// Which buttons a fixed button set shows, one bit per button (bit 0 = button 0).
constexpr unsigned kFixedSets[5] = {0b000001, 0b100001, 0b000110, 0b100110, 0b011110};

}  // namespace

AlertForm MakeAlertForm(std::string_view strTexto, std::uint8_t AuxTipo,
                        std::uint8_t AuxSubTipo, std::string_view TextoOpcional,
                        std::string_view strTitulo, std::string_view productName) {
  if (AuxTipo > 5)
    throw KelvError(kErrInvalidArgument, "MensajePreg",
                    "AuxTipo " + std::to_string(AuxTipo) + " no es un juego de botones (0 a 5)");
  if (AuxSubTipo > 3)
    throw KelvError(kErrInvalidArgument, "MensajePreg",
                    "AuxSubTipo " + std::to_string(AuxSubTipo) + " no es un icono (0 a 3)");

  AlertForm form;
  form.message = std::string(strTexto);
  form.title = strTitulo.empty() ? std::string(productName) : std::string(strTitulo);
  form.tipo = AuxTipo;
  form.subTipo = AuxSubTipo;
  const Icon& icon = kIcons[AuxSubTipo];
  form.glyph = icon.glyph;
  form.patchRed = icon.red;
  form.patchGreen = icon.green;
  form.patchBlue = icon.blue;
  for (int k = 0; k < kAlertButtonCount; ++k) {
    form.buttons[k].caption = kFixedButtons[k].caption;
    form.buttons[k].code = kFixedButtons[k].code;
  }

  if (AuxTipo == 5) {
    std::vector<std::string> captions = Split(TextoOpcional, "*");
    if (captions.empty())
      throw KelvError(kErrInvalidArgument, "MensajePreg",
                      "AuxTipo 5 necesita al menos un texto de botón en TextoOpcional");
    if (captions.size() > kAlertButtonCount) captions.resize(kAlertButtonCount);
    form.shownCount = static_cast<int>(captions.size());
    for (int k = 0; k < form.shownCount; ++k) {
      form.buttons[k].caption = captions[k];
      form.buttons[k].code = static_cast<std::int16_t>(k);
      form.buttons[k].visible = true;
    }
    return form;
  }

  for (int k = 0; k < kAlertButtonCount; ++k) {
    form.buttons[k].visible = (kFixedSets[AuxTipo] >> k) & 1u;
    if (form.buttons[k].visible) ++form.shownCount;
  }
  return form;
}

int FirstShownButton(const AlertForm& form) {
  for (int k = 0; k < kAlertButtonCount; ++k)
    if (form.buttons[k].visible) return k;
  return -1;
}

std::int16_t CloseWithoutButtonCode(const AlertForm& form) {
  for (int k = kAlertButtonCount - 1; k >= 0; --k)
    if (form.buttons[k].visible) return form.buttons[k].code;
  return 0;
}

}  // namespace kelv
