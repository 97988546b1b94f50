// The run state of the update installer and the exit statuses of a run (all OSes).
//
// One run state lives for the whole run: the start-up sequence (startup.h) writes it, the
// installation (install.h) reads it, extends PathUtiles by the package folder and releases
// the user-database connection before the hand-over.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace kelv {

class Connection;

struct RunState {
  std::string NombreProducto;    // product name, deciphered from DatosConf.ini
  std::string RutaDeRegistro;    // key below HKEY_LOCAL_MACHINE with the two folders
  std::string PathAplicacion;    // application folder
  std::string TituloAplicacion;  // "Actualizador " + product name
  std::string BaseGral;          // data folder, empty when not registered
  std::shared_ptr<Connection> CnnUsuarios;  // user database; unset until opened
  std::string ArchivoInstalador;  // the installer's own file name
  std::string PathUtiles;         // utilities folder, ends in a separator
  std::int32_t NumVersion = 0;    // version number handed to the updater
  std::string ArchivoPaquete;     // path of the written package, or empty
  bool EsModuloWeb = false;       // true when the package comes from "MWEB"
  std::string LineaDeComando;     // the installer's argument text, as one text
};

// The run state of this process.
RunState& Estado();

// How a run ends, as the installer's exit status. Documented in README.md.
enum RunStatus : int {
  kRunHandedOver = 0,        // the updater (or, in package-only mode, the explorer) started
  kRunFailed = 1,            // an unexpected failure outside the run's own steps
  kRunProgramRunning = 2,    // KelvPersonal.exe or ModuloWeb.exe is running
  kRunNoUserDatabase = 3,    // the user database did not open, or there is no data folder
  kRunPackageNotWritten = 4, // the package could not be written
  kRunHandOverFailed = 5,    // the updater or the explorer could not be started
  kRunPackageDamaged = 6,    // the installer's package is damaged or cut short
};

}  // namespace kelv
