// Update package installation: ExtraerPaquete, InstalarActualizacion and ExisteArchivo
// (all OSes).
#include "update/install.h"

#include <filesystem>
#include <fstream>

#include "platform/files.h"
#include "platform/message_box.h"
#include "platform/paths.h"
#include "platform/ui_yield.h"
#include "text/error.h"
#include "text/toolbox.h"
#include "update/form_princ.h"
#include "update/guarded_step.h"
#include "update/launcher.h"
#include "update/payload.h"

namespace kelv {
namespace {

struct PackageKind {
  const char* resource;     // payload name
  const char* folder;       // below PathUtiles and below BaseGral/Utiles
  const char* packageFile;  // package file name in that folder
};

const PackageKind kVersion{"VERS", "RuviDurUdi\\", "AuxActu.tmp"};
const PackageKind kWebModule{"MWEB", "DatosWeb\\", "AuxMWeb.tmp"};

// Writes the payload name of size bytes to target, checking that all of it arrived.
void WritePackage(const PayloadSource& payloads, const char* name, std::uint64_t size,
                  const std::string& target) {
  auto fail = [&] {
    throw KelvError(kErrFile, "ExtraerPaquete", std::string(kMsgPaqueteNoEscrito) + target);
  };
  // An old package that could not be deleted (a read-only one) is left as it is.
  if (ExisteArchivo(target)) fail();
  bool ok;
  {
    std::ofstream out(std::filesystem::u8path(target), std::ios::binary | std::ios::trunc);
    ok = static_cast<bool>(out);
    if (ok) {
      ok = payloads.Read(name, [&out](const char* data, std::size_t n) {
        return static_cast<bool>(out.write(data, static_cast<std::streamsize>(n)));
      });
      out.flush();
      ok = ok && out.good();
      out.close();
      ok = ok && !out.fail();
    }
  }
  if (ok) {
    const std::optional<std::uintmax_t> written = FileSize(target);
    ok = written.has_value() && *written == size;
  }
  if (!ok) {
    IgnorarFallo([&] { DeleteFileForced(target); });
    fail();
  }
}

// The length of a payload; nullopt when it is missing or cannot be asked for.
std::optional<std::uint64_t> PayloadSize(const PayloadSource& payloads, const char* name) {
  try {
    return payloads.Size(name);
  } catch (...) {
    return std::nullopt;
  }
}

}  // namespace

bool ExisteArchivo(const std::string& path) {
  bool exists = false;
  IgnorarFallo([&] { exists = PathExists(path); });
  return exists;
}

bool ModoSoloPaquete(std::string_view lineaDeComando) {
  return InStr(lineaDeComando, "UPD", Compare::AnyCase) != 0;
}

std::string NombreSoloPaquete(std::string_view archivoPaquete) {
  return Replace(archivoPaquete, ".tmp", ".upd");
}

std::string RutaActualizador(const RunState& estado) {
  return JoinSep(estado.PathAplicacion, NativeSeparators("Utiles\\Actualizador\\Updater.exe"));
}

std::string ArgumentoActualizador(const RunState& estado) {
  return "ORI=" + estado.ArchivoPaquete + ",NVer=" + std::to_string(estado.NumVersion);
}

std::string ExtraerPaquete(const PayloadSource& payloads) {
  RunState& st = Estado();
  st.EsModuloWeb = true;
  std::optional<std::uint64_t> size = PayloadSize(payloads, kVersion.resource);
  st.EsModuloWeb = !(size && *size >= 2);  // "VERS" counts only with at least 2 bytes

  const PackageKind& kind = st.EsModuloWeb ? kWebModule : kVersion;
  st.PathUtiles += NativeSeparators(kind.folder);
  const std::string target = st.PathUtiles + kind.packageFile;
  IgnorarFallo([&] { DeleteFilePlain(target); });
  if (st.EsModuloWeb) {
    size = PayloadSize(payloads, kWebModule.resource);
    st.EsModuloWeb = size.has_value();
  }
  if (!size) return std::string();

  // Copies of the installer beside the package and below the data folder.
  const std::string self = JoinSep(ExecutableFolder(), st.ArchivoInstalador);
  IgnorarFallo([&] { CopyFileOverwriting(self, st.PathUtiles + st.ArchivoInstalador); });
  IgnorarFallo([&] {
    const std::string folder = NativeSeparators(std::string("Utiles\\") + kind.folder);
    CopyFileOverwriting(self, JoinSep(st.BaseGral, folder + st.ArchivoInstalador));
  });

  if (*size == 0) return std::string();
  WritePackage(payloads, kind.resource, *size, target);
  return target;
}

RunStatus InstalarActualizacion(const PayloadSource& payloads, ProgramLauncher& launcher,
                                FormPrinc& window) {
  RunState& st = Estado();
  const bool soloPaquete = ModoSoloPaquete(st.LineaDeComando);
  try {
    st.ArchivoPaquete = ExtraerPaquete(payloads);
  } catch (const KelvError& e) {
    // A package that was not written is never handed over.
    IgnorarFallo([&] { st.CnnUsuarios.reset(); });
    IgnorarFallo([&] { ShowMessageBox(e.Description()); });
    return kRunPackageNotWritten;
  }

  IgnorarFallo([&] { st.CnnUsuarios.reset(); });
  IgnorarFallo([&] { window.Load(); });
  bool started = false;
  if (soloPaquete) {
    const std::string target = NombreSoloPaquete(st.ArchivoPaquete);
    IgnorarFallo([&] {
      if (ExisteArchivo(target)) DeleteFilePlain(target);
    });
    IgnorarFallo([&] {
      // A target that could not be deleted (read-only) is not replaced.
      if (!ExisteArchivo(target)) RenameFileReplacing(st.ArchivoPaquete, target);
    });
    YieldToWindowSystem(7);
    IgnorarFallo([&] { started = launcher.ShowInFileExplorer(target); });
  } else {
    IgnorarFallo(
        [&] { started = launcher.StartProgram(RutaActualizador(st), ArgumentoActualizador(st)); });
  }

  YieldToWindowSystem(3);
  IgnorarFallo([&] { window.Unload(); });
  YieldToWindowSystem(3);
  return started ? kRunHandedOver : kRunHandOverFailed;
}

RunStatus InstalarActualizacion() {
  std::unique_ptr<PayloadSource> payloads = OwnPayloads();
  std::unique_ptr<ProgramLauncher> launcher = NativeLauncher();
  FormPrinc window;
  return InstalarActualizacion(*payloads, *launcher, window);
}

}  // namespace kelv
