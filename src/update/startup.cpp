// Main: the installer's start-up sequence (all OSes).
#include "update/startup.h"

#include "connector/conector.h"
#include "connector/connection.h"
#include "dialogs/mensaje_preg.h"
#include "platform/files.h"
#include "platform/message_box.h"
#include "platform/paths.h"
#include "settings/branding.h"
#include "settings/registry.h"
#include "settings/string_cipher.h"
#include "settings/tagged_text.h"
#include "text/toolbox.h"
#include "update/guarded_step.h"
#include "update/install.h"
#include "update/process_info.h"
#include "update/version_number.h"

namespace kelv {
namespace {

constexpr std::string_view kMsgSinBD = "No se pudo conectar con la BD de usuarios ubicada en ";

std::string LeerValorRegistro(const std::string& clave, std::string_view nombre) {
  std::int32_t tipo = kRegSz;
  return LeerRegistro(kHkeyLocalMachine, clave, tipo, nombre);
}

// True when ProcessInfo finds the program; a failing check counts as found.
bool ProgramaCorriendo(std::string_view nombre) {
  try {
    return ProcessInfo(nombre) != 0;
  } catch (...) {
    return true;
  }
}

bool Abierta(const std::shared_ptr<Connection>& con) { return con && con->State() == 1; }

}  // namespace

std::string NombreProductoDe(std::string_view valorCifrado) {
  // One rule for the installer and the confbase tool that writes branding files.
  return DecipherProductName(valorCifrado);
}

RunStatus Main() {
  RunState& st = Estado();
  // The branding file beside the installer: product name and registry key.
  const std::string datosConf =
      LeerBloqueArch(JoinSep(ExecutableFolder(), "DatosConf.ini"), "*");
  st.NombreProducto = NombreProductoDe(LeerBloqueTexto(datosConf, "NombreProducto"));
  SetNombreProducto(st.NombreProducto);
  const std::string ruta = LeerBloqueTexto(datosConf, "RutaDeRegistro");
  st.RutaDeRegistro = ruta.empty() ? std::string(kRutaDeRegistroPorDefecto) : ruta;
  // The application folder, the application title and the data folder.
  st.PathAplicacion = LeerValorRegistro(st.RutaDeRegistro, "PathAplicacion");
  if (st.PathAplicacion.empty()) st.PathAplicacion = ExecutableFolder();
  st.TituloAplicacion = "Actualizador " + st.NombreProducto;
  SetApplicationTitle(st.TituloAplicacion);
  st.BaseGral = LeerValorRegistro(st.RutaDeRegistro, "BaseGral");

  // The user database. From here on every step is guarded on its own.
  if (FolderExists(st.BaseGral)) {
    const std::string base = JoinSep(st.BaseGral, "Usuarios.mdb");
    IgnorarFallo([&] { ConectarBD(base, st.CnnUsuarios); });
    bool abierta = false;
    IgnorarFallo([&] { abierta = Abierta(st.CnnUsuarios); });
    if (!abierta) {
      IgnorarFallo([&] { MensajePreg(std::string(kMsgSinBD) + base, 0, 0, "", ""); });
      IgnorarFallo([&] { st.CnnUsuarios.reset(); });
      return kRunNoUserDatabase;
    }
  }
  // File name, utilities folder, leftover packages of an earlier run, version number.
  IgnorarFallo([&] { st.ArchivoInstalador = ExecutableFileName(); });
  IgnorarFallo(
      [&] { st.PathUtiles = JoinSep(st.PathAplicacion, NativeSeparators("Utiles\\")); });
  for (const char* sobrante : {"DatosWeb\\AuxMWeb.tmp", "RuviDurUdi\\AuxActu.tmp"}) {
    IgnorarFallo([&] { DeleteFileForced(st.PathUtiles + NativeSeparators(sobrante)); });
  }
  IgnorarFallo([&] { st.NumVersion = NumVersionDe(OwnFileVersion()); });

  // Programs of the application that are running.
  for (std::string_view programa : {"KelvPersonal.exe", "ModuloWeb.exe"}) {
    if (ProgramaCorriendo(programa)) {
      const std::string nombre =
          programa == "KelvPersonal.exe" ? "KELVPersonal.exe" : std::string(programa);
      IgnorarFallo([&] {
        ShowMessageBox("No se puede ejecutar la actualización porque existe un proceso de " +
                       nombre + " corriendo");
      });
      IgnorarFallo([&] { st.CnnUsuarios.reset(); });
      return kRunProgramRunning;
    }
  }

  // No connection (no data folder).
  bool sinConexion = true;
  IgnorarFallo([&] { sinConexion = !st.CnnUsuarios || st.CnnUsuarios->State() == 0; });
  if (sinConexion) {
    IgnorarFallo([&] { ShowMessageBox(std::string(kMsgSinBD) + st.BaseGral, "Notificador"); });
    IgnorarFallo([&] { st.CnnUsuarios.reset(); });
    return kRunNoUserDatabase;
  }

  // The hand-over.
  return InstalarActualizacion();
}

}  // namespace kelv
