// Drives the installation directly, as the start-up sequence would after its checks passed,
// for the end-to-end runs under Wine (which has no Jet provider to open the user database).
// Usage: install_driver APP_FOLDER DATA_FOLDER [ARGUMENT TEXT]
// The run state gets the two folders, the program's own file name and version; then the
// installation runs with the payloads packed into this program. Exits with its status.
#include <cstdio>

#include "platform/files.h"
#include "platform/paths.h"
#include "update/install.h"
#include "update/run_state.h"
#include "update/version_number.h"

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "Usage: install_driver APP_FOLDER DATA_FOLDER [ARGUMENT TEXT]\n");
    return 64;
  }
  kelv::RunState& st = kelv::Estado();
  st.PathAplicacion = argv[1];
  st.BaseGral = argv[2];
  st.LineaDeComando = argc > 3 ? argv[3] : "";
  st.ArchivoInstalador = kelv::ExecutableFileName();
  st.PathUtiles = kelv::JoinSep(st.PathAplicacion, kelv::NativeSeparators("Utiles\\"));
  st.NumVersion = kelv::NumVersionDe(kelv::OwnFileVersion());
  return kelv::InstalarActualizacion();
}
