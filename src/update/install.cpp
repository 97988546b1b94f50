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

[[noreturn]] void PackageDamaged() {
  throw KelvError(kErrPaqueteDanado, "ExtraerPaquete", std::string(kMsgPaqueteDanado));
}

// Writes the payload name of size bytes to target, hashing it on its way, and checks that
// all of it arrived and that it is what was packed.
void WritePackage(const PayloadSource& payloads, const char* name, std::uint64_t size,
                  const std::string& target) {
  auto fail = [&] {
    throw KelvError(kErrFile, "ExtraerPaquete", std::string(kMsgPaqueteNoEscrito) + target);
  };
  // An old package that could not be deleted (a read-only one) is left as it is.
  if (ExisteArchivo(target)) fail();
  PayloadCheck check = PayloadCheck::kSinkStopped;
  bool closed = false;
  {
    std::ofstream out(std::filesystem::u8path(target), std::ios::binary | std::ios::trunc);
    if (out) {
      // A failure of the digest itself counts as a package that was not written.
      IgnorarFallo([&] {
        check = ReadAndCheck(payloads, name, [&out](const char* data, std::size_t n) {
                  return static_cast<bool>(out.write(data, static_cast<std::streamsize>(n)));
                }).check;
      });
      out.close();
      closed = !out.fail();
    }
  }
  const bool checked = check == PayloadCheck::kIntact || check == PayloadCheck::kNoDigest;
  const std::optional<std::uintmax_t> written = FileSize(target);
  if (!closed || !checked || !written || *written != size) {
    IgnorarFallo([&] { DeleteFileForced(target); });
    if (check == PayloadCheck::kDamaged) PackageDamaged();
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
  constexpr std::string_view kTmp = ".tmp";
  std::string name(archivoPaquete);
  if (name.size() >= kTmp.size() && name.compare(name.size() - kTmp.size(), kTmp.size(), kTmp) == 0) {
    name.replace(name.size() - kTmp.size(), kTmp.size(), ".upd");
  }
  return name;
}

std::string RutaActualizador(const RunState& estado) {
  return JoinSep(estado.PathAplicacion, NativeSeparators("Utiles\\Actualizador\\Updater.exe"));
}

std::string ArgumentoActualizador(const RunState& estado) {
  return "ORI=" + estado.ArchivoPaquete + ",NVer=" + std::to_string(estado.NumVersion);
}

std::string ExtraerPaquete(const PayloadSource& payloads) {
  RunState& st = Estado();
  // A damaged installer hands nothing on: neither its package nor copies of itself.
  std::string damage;
  if (!IgnorarFallo([&] { damage = payloads.Damage(); }) || !damage.empty()) PackageDamaged();

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

  // The package is written and checked first, so that the copies below are made only of an
  // installer whose package is whole.
  if (*size > 0) WritePackage(payloads, kind.resource, *size, target);

  // Copies of the installer beside the package and below the data folder.
  const std::string self = JoinSep(ExecutableFolder(), st.ArchivoInstalador);
  IgnorarFallo([&] { CopyFileOverwriting(self, st.PathUtiles + st.ArchivoInstalador); });
  IgnorarFallo([&] {
    const std::string folder = NativeSeparators(std::string("Utiles\\") + kind.folder);
    CopyFileOverwriting(self, JoinSep(st.BaseGral, folder + st.ArchivoInstalador));
  });

  return *size > 0 ? target : std::string();
}

RunStatus InstalarActualizacion(const PayloadSource& payloads, ProgramLauncher& launcher,
                                FormPrinc& window) {
  RunState& st = Estado();
  const bool soloPaquete = ModoSoloPaquete(st.LineaDeComando);
  try {
    st.ArchivoPaquete = ExtraerPaquete(payloads);
  } catch (const KelvError& e) {
    // A package that was not written, or is damaged, is never handed over.
    IgnorarFallo([&] { st.CnnUsuarios.reset(); });
    IgnorarFallo([&] { ShowMessageBox(e.Description()); });
    return e.Number() == kErrPaqueteDanado ? kRunPackageDamaged : kRunPackageNotWritten;
  }

  IgnorarFallo([&] { st.CnnUsuarios.reset(); });
  IgnorarFallo([&] { window.Load(); });
  bool started = false;
  if (soloPaquete) {
    const std::string target = NombreSoloPaquete(st.ArchivoPaquete);
    IgnorarFallo([&] {
      if (ExisteArchivo(target)) DeleteFilePlain(target);
    });
    bool renamed = false;
    IgnorarFallo([&] {
      // A target that could not be deleted (read-only) is not replaced.
      if (!ExisteArchivo(target)) renamed = RenameFileReplacing(st.ArchivoPaquete, target);
    });
    if (!renamed && !st.ArchivoPaquete.empty()) {
      // The package cannot take its name: it counts as not written, and the explorer is
      // not sent to an old file.
      IgnorarFallo([&] { DeleteFileForced(st.ArchivoPaquete); });
      IgnorarFallo([&] { ShowMessageBox(std::string(kMsgPaqueteNoEscrito) + target); });
      IgnorarFallo([&] { window.Unload(); });
      return kRunPackageNotWritten;
    }
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
