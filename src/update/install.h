// Update package installation (all OSes): writes the embedded package into the application's
// utilities folder, leaves copies of the installer beside it and below the data folder, and
// hands over to the updater, or in package-only mode to the file explorer.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "update/run_state.h"

namespace kelv {

class FormPrinc;
class PayloadSource;
class ProgramLauncher;

// The message shown when the package could not be written, before the target path.
inline constexpr std::string_view kMsgPaqueteNoEscrito =
    "No se pudo escribir el paquete de actualización en ";

// The message shown when the installer's own package is damaged (cut short, or different
// from what was packed).
inline constexpr std::string_view kMsgPaqueteDanado =
    "El paquete de actualización incluido en el instalador está dañado. Descargue el "
    "instalador nuevamente.";

// The error number ExtraerPaquete raises for a damaged package (the runtime's number for a
// bad file format); a package that could not be written raises kErrFile.
inline constexpr int kErrPaqueteDanado = 321;

// True when the attributes of path can be read (an existing file or folder). Never fails.
bool ExisteArchivo(const std::string& path);

// True when the argument text holds "UPD" anywhere, in any letter case.
bool ModoSoloPaquete(std::string_view lineaDeComando);

// The package-only name of a package path: the file name's extension ".tmp" (exact case)
// becomes ".upd"; the folders in the path are left as they are.
std::string NombreSoloPaquete(std::string_view archivoPaquete);

// The updater's path: PathAplicacion + sep + Utiles/Actualizador/Updater.exe.
std::string RutaActualizador(const RunState& estado);

// The updater's single argument: "ORI=" + ArchivoPaquete + ",NVer=" + NumVersion.
std::string ArgumentoActualizador(const RunState& estado);

// Writes the package "VERS" (used when it has at least 2 bytes) or else "MWEB" to
// PathUtiles + RuviDurUdi/AuxActu.tmp or DatosWeb/AuxMWeb.tmp, and then copies the
// installer into that folder and into the matching folder below BaseGral. Extends
// PathUtiles by the package folder and sets EsModuloWeb. Returns the package path, or the
// empty text when no payload has data. The package is hashed while it is written and
// checked against the digest stored with it. When the installer is damaged (see
// PayloadSource::Damage), or the package is shorter than recorded or differs from its
// digest, nothing is handed on: what was written is deleted, no copy of the installer is
// made, and KelvError(kErrPaqueteDanado) is thrown with kMsgPaqueteDanado. When the write
// cannot be done whole (missing folder, full disk, an old target that could not be
// deleted), what was written is deleted and KelvError(kErrFile) is thrown with
// kMsgPaqueteNoEscrito + the path as its description. Every other failing step is ignored.
std::string ExtraerPaquete(const PayloadSource& payloads);

// The installation, from reading the mode to the end of the run: writes the package,
// releases the user database, loads the hidden main window, starts the updater (or renames
// the package to .upd and shows it in the explorer), yields 3 times, unloads the window and
// yields 3 times more. When the package could not be written, or is damaged, it shows the
// message box and starts nothing; so too in package-only mode when the package cannot take
// the .upd name (an earlier read-only .upd file), and the package is then deleted. Returns
// the run's exit status.
RunStatus InstalarActualizacion(const PayloadSource& payloads, ProgramLauncher& launcher,
                                FormPrinc& window);

// The same with this system's payloads, launcher and window.
RunStatus InstalarActualizacion();

}  // namespace kelv
