// MensajePreg and the single frmAlert instance: picks the window or the console.
#include "dialogs/mensaje_preg.h"

#include <string>

#include "dialogs/alert_console.h"
#include "dialogs/alert_form.h"
#include "dialogs/frm_alert.h"
#include "platform/message_box_console.h"
#include "platform/message_box_display.h"

namespace kelv {

namespace {
std::string& ProductNameStore() {
  static std::string name = "Kelv Personal\xC2\xAE";
  return name;
}
}  // namespace

void SetNombreProducto(std::string_view name) { ProductNameStore() = std::string(name); }

std::string NombreProducto() { return ProductNameStore(); }

frmAlert& AlertInstance() {
  static frmAlert instance;
  return instance;
}

std::int16_t frmAlert::MensajePreg(std::string_view strTexto, std::uint8_t AuxTipo,
                                   std::uint8_t AuxSubTipo, std::string_view TextoOpcional,
                                   std::string_view strTitulo) {
  const AlertForm form =
      MakeAlertForm(strTexto, AuxTipo, AuxSubTipo, TextoOpcional, strTitulo, NombreProducto());
  if (UserInterfaceSuppressed()) {
    resultCode_ = ShowAlertOnConsole(form, false);
    return resultCode_;
  }
  if (WindowSystemAvailable()) {
    if (std::optional<std::int16_t> code = ShowAlertWindow(form, place_)) {
      resultCode_ = *code;
      return resultCode_;
    }
  }
  resultCode_ = ShowAlertOnConsole(form, StdinIsTerminal());
  return resultCode_;
}

std::int16_t MensajePreg(std::string_view strTexto, std::uint8_t AuxTipo,
                         std::uint8_t AuxSubTipo, std::string_view TextoOpcional,
                         std::string_view strTitulo) {
  return AlertInstance().MensajePreg(strTexto, AuxTipo, AuxSubTipo, TextoOpcional, strTitulo);
}

}  // namespace kelv
