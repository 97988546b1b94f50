// frmAlert: the single dialog instance behind MensajePreg (all OSes).
#pragma once

#include <cstdint>
#include <string_view>

#include "dialogs/alert_window.h"

namespace kelv {

class frmAlert {
 public:
  // Shows the dialog for one call and returns the pressed button's code (see mensaje_preg.h).
  std::int16_t MensajePreg(std::string_view strTexto, std::uint8_t AuxTipo,
                           std::uint8_t AuxSubTipo, std::string_view TextoOpcional,
                           std::string_view strTitulo);

 private:
  AlertWindowPlace place_;  // where the window was last shown
  std::int16_t resultCode_ = 0;  // code of the last button pressed
};

// The single instance, created on first use.
frmAlert& AlertInstance();

}  // namespace kelv
