// The update installer's program entry (all OSes): takes the argument text and runs Main,
// or with --help or /? alone shows the usage and installs nothing.
// The exit status tells a calling script how the run ended (see RunStatus).
#include <cstdio>
#include <exception>

#include "platform/version.h"
#include "update/command_line.h"
#include "update/run_state.h"
#include "update/startup.h"
#include "update/usage.h"

int main(int argc, char** argv) {
  if (kelv::ShowVersionIfAsked(argc, argv, "Actualizador")) return 0;
  kelv::RunState& st = kelv::Estado();
  st.LineaDeComando = kelv::OwnArgumentText(argc, argv);
  if (st.LineaDeComando == "--help" || st.LineaDeComando == "/?") {
    kelv::ShowUsage(
        "Actualizador: installs the update package it carries.\n"
        "Usage: Actualizador [UPD]\n"
        "  (no argument)  writes the package to Utiles/RuviDurUdi/AuxActu.tmp below the\n"
        "                 application folder and starts Utiles/Actualizador/Updater.exe\n"
        "  UPD            package-only mode: writes AuxActu.upd and shows it in the file\n"
        "                 explorer (\"UPD\" anywhere in the arguments, any letter case)\n"
        "  --help, /?     this text; nothing is installed\n"
        "  --version      the program's version; nothing is installed\n"
        "The package is checked against the digest stored with it while it is written.\n"
        "Exit status: 0 handed over, 2 a program of the application is running,\n"
        "  3 the user database did not open, 4 the package could not be written,\n"
        "  5 the updater or explorer did not start, 6 the package carried by this\n"
        "  installer is damaged or cut short (nothing is handed over), 1 any other failure.\n"
        "Environment: KELV_NO_UI=1 writes messages to standard error instead of showing\n"
        "them; KELV_REGISTRY names the registry file (Linux).\n");
    return kelv::kRunHandedOver;
  }
  try {
    return kelv::Main();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "Actualizador: %s\n", e.what());
    return kelv::kRunFailed;
  }
}
