// Main: the installer's start-up sequence, from reading DatosConf.ini to the hand-over to
// the installation (all OSes).
#pragma once

#include <string>
#include <string_view>

#include "update/run_state.h"

namespace kelv {

inline constexpr std::string_view kRutaDeRegistroPorDefecto =
    "SOFTWARE\\Brandel Software\\Kelv Personal";

// The product name from the (enciphered) value of NombreProducto in DatosConf.ini: the
// default product name when the value is empty; otherwise the deciphered text with every
// "RURU" and then every " QWTZM" removed (exact case), even when that leaves nothing.
std::string NombreProductoDe(std::string_view valorCifrado);

// Runs the start-up sequence on the run state (Estado()) and then the installation. Reads
// the argument text from Estado().LineaDeComando. Returns the exit status of the run: it
// ends early when a program of the application is running, when the user database does not
// open or there is no data folder, each after its message.
RunStatus Main();

}  // namespace kelv
