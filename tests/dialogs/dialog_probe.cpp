// Driver for the window tests: shows MensajePreg (or the plain message box, or the main
// window FormPrinc) with the arguments of its command line and prints the returned code on
// standard output; or prints the dialog's layout without showing it.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "dialogs/alert_form.h"
#include "dialogs/alert_layout.h"
#include "dialogs/alert_window.h"
#include "dialogs/mensaje_preg.h"
#include "platform/command_line.h"
#include "platform/message_box.h"
#include "platform/message_box_display.h"
#include "platform/ui_yield.h"
#include "text/error.h"
#include "update/form_princ.h"

namespace {

const char kUsage[] =
    "Uso: dialog_probe TEXTO TIPO SUBTIPO [OPCIONAL [TITULO]]\n"
    "     dialog_probe --box TEXTO [TITULO]\n"
    "     dialog_probe --layout TEXTO TIPO SUBTIPO [OPCIONAL]\n"
    "     dialog_probe --principal\n"
    "Muestra el mensaje (\\n en TEXTO se convierte en CR LF) y escribe el codigo del boton\n"
    "pulsado en la salida estandar. Con --box muestra el cuadro de mensaje simple y escribe\n"
    "\"cerrado\" al cerrarse. Con --layout no muestra nada: escribe el tamano de la ventana\n"
    "(\"ventana ANCHO ALTO\") y el lugar de cada boton visible (\"boton K IZQ ARRIBA ANCHO\n"
    "ALTO\") que tendria el dialogo. Con --principal carga y muestra la ventana principal y\n"
    "escribe \"descargado\" cuando un clic en sus controles de cierre la descarga.\n"
    "KELV_PROBE_REPEAT=N muestra el dialogo N veces.\n"
    "Salida: 0 bien, 2 argumentos incorrectos, 3 error del dialogo, 4 sin sistema de ventanas.\n";

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

// Prints the geometry the dialog would have for these arguments, as the window back-end
// measures and lays it out.
int PrintLayout(const std::string& text, int tipo, int subTipo, const char* opcional) {
  if (!kelv::WindowSystemAvailable()) return 4;
  const kelv::AlertForm form = kelv::MakeAlertForm(text, static_cast<std::uint8_t>(tipo),
                                                   static_cast<std::uint8_t>(subTipo), opcional,
                                                   "", "Kelv Personal");
  const kelv::AlertLayout layout = kelv::ComputeAlertLayout(form, kelv::MeasureAlertWindow(form));
  std::printf("ventana %d %d\n", layout.width, layout.height);
  for (int k = 0; k < kelv::kAlertButtonCount; ++k) {
    const kelv::AlertButtonPlace& b = layout.buttons[k];
    if (b.visible) std::printf("boton %d %d %d %d %d\n", k, b.left, b.top, b.width, b.height);
  }
  return 0;
}

// Loads the main window, shows it, and waits until a click on a close control unloads it.
int ShowMainWindow() {
  if (!kelv::WindowSystemAvailable()) return 4;
  kelv::FormPrinc form;
  form.Load();
  form.Show();
  while (form.Loaded()) {
    kelv::YieldToWindowSystem();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  std::puts("descargado");
  return 0;
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
    if (argc >= 2 && std::strcmp(argv[1], "--principal") == 0) return ShowMainWindow();
    if (argc >= 5 && std::strcmp(argv[1], "--layout") == 0) {
      return PrintLayout(Unescape(argv[2]), std::atoi(argv[3]), std::atoi(argv[4]),
                         argc >= 6 ? argv[5] : "");
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
