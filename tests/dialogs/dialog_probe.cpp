// Driver for the dialog tests: shows MensajePreg (or the plain message box) with the
// arguments of its command line and prints the returned code on standard output.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "dialogs/mensaje_preg.h"
#include "platform/command_line.h"
#include "platform/message_box.h"
#include "text/error.h"

namespace {

const char kUsage[] =
    "Uso: dialog_probe TEXTO TIPO SUBTIPO [OPCIONAL [TITULO]]\n"
    "     dialog_probe --box TEXTO [TITULO]\n"
    "Muestra el mensaje (\\n en TEXTO se convierte en CR LF) y escribe el codigo del boton\n"
    "pulsado en la salida estandar. Con --box muestra el cuadro de mensaje simple y escribe\n"
    "\"cerrado\" al cerrarse. KELV_PROBE_REPEAT=N muestra el dialogo N veces.\n";

// "\n" written on the command line becomes CR LF, the dialog's line break.
std::string Unescape(const char* arg) {
  std::string out;
  for (const char* p = arg; *p; ++p) {
    if (p[0] == '\\' && p[1] == 'n') {
      out += "\r\n";
      ++p;
    } else {
      out.push_back(*p);
    }
  }
  return out;
}

}  // namespace

int main(int argc, char** rawArgv) {
  std::vector<std::string> args = kelv::Utf8Arguments(argc, rawArgv);
  args.insert(args.begin(), argc > 0 ? rawArgv[0] : "dialog_probe");
  argc = static_cast<int>(args.size());
  std::vector<const char*> argvList;
  for (const std::string& arg : args) argvList.push_back(arg.c_str());
  const char* const* argv = argvList.data();
  if (argc >= 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
    std::fputs(kUsage, stdout);
    return 0;
  }
  try {
    if (argc >= 3 && std::strcmp(argv[1], "--box") == 0) {
      kelv::SetApplicationTitle("Actualizador Kelv Personal\xC2\xAE");
      kelv::ShowMessageBox(Unescape(argv[2]), argc >= 4 ? argv[3] : "");
      std::puts("cerrado");
      return 0;
    }
    if (argc < 4) {
      std::fputs(kUsage, stderr);
      return 2;
    }
    int tipo = std::atoi(argv[2]);
    int subTipo = std::atoi(argv[3]);
    // KELV_PROBE_REPEAT shows the same dialog that many times in this process.
    const char* repeat = std::getenv("KELV_PROBE_REPEAT");
    const int times = repeat && std::atoi(repeat) > 1 ? std::atoi(repeat) : 1;
    for (int i = 0; i < times; ++i) {
      std::int16_t code = kelv::MensajePreg(
          Unescape(argv[1]), static_cast<std::uint8_t>(tipo), static_cast<std::uint8_t>(subTipo),
          argc >= 5 ? argv[4] : "", argc >= 6 ? Unescape(argv[5]) : "");
      std::printf("%d\n", code);
      std::fflush(stdout);
    }
    return 0;
  } catch (const kelv::KelvError& e) {
    std::fprintf(stderr, "Error %d (%s): %s\n", e.Number(), e.Source().c_str(), e.what());
    return 3;
  }
}
