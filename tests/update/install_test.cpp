// Tests of the package installation: the package written byte for byte and checked against
// its digest, the installer copies, the hand-over in both modes, and a package that cannot
// be written or is damaged.
// Runs with KELV_NO_UI set, so the message box writes to standard error.
#include <gtest/gtest.h>

#include <map>

#include "platform/files.h"
#include "platform/paths.h"
#include "temp_folder.h"
#include "update/form_princ.h"
#include "update/install.h"
#include "update/launcher.h"
#include "update/payload.h"

namespace kelv {
namespace {

// Payloads held in memory, with the digests stored for them; a payload stops after its
// first chunk when broken is set, and the whole source counts as damaged when damage is set.
class MemoryPayloads : public PayloadSource {
 public:
  std::map<std::string, std::string, std::less<>> data;
  std::map<std::string, Sha256Digest, std::less<>> digests;
  bool broken = false;
  std::string damage;

  std::vector<std::string> Names() const override {
    std::vector<std::string> names;
    for (const auto& [name, bytes] : data) names.push_back(name);
    return names;
  }
  std::optional<std::uint64_t> Size(std::string_view name) const override {
    auto it = data.find(name);
    if (it == data.end()) return std::nullopt;
    return it->second.size();
  }
  bool Read(std::string_view name, const ChunkSink& sink) const override {
    auto it = data.find(name);
    if (it == data.end()) return false;
    const std::string& d = it->second;
    for (std::size_t at = 0; at < d.size(); at += 4) {
      if (!sink(d.data() + at, std::min<std::size_t>(4, d.size() - at))) return false;
      if (broken) return false;
    }
    return true;
  }
  std::optional<Sha256Digest> StoredDigest(std::string_view name) const override {
    auto it = digests.find(name);
    if (it == digests.end()) return std::nullopt;
    return it->second;
  }
  std::string Damage() const override { return damage; }
};

class RecordingLauncher : public ProgramLauncher {
 public:
  std::vector<std::string> started;
  bool succeeds = true;
  bool windowLoaded = false;
  FormPrinc* window = nullptr;

  bool StartProgram(const std::string& program, const std::string& argument) override {
    started.push_back(program + " | " + argument);
    if (window) windowLoaded = window->Loaded() && !window->Visible();
    return succeeds;
  }
  bool ShowInFileExplorer(const std::string& path) override {
    started.push_back("explorer | " + path);
    if (window) windowLoaded = window->Loaded() && !window->Visible();
    return succeeds;
  }
};

// A sandbox with an application folder and a data folder, each with Utiles/RuviDurUdi and
// Utiles/DatosWeb, and the run state of a start-up that got that far.
class Installation : public ::testing::Test {
 public:
  void SetUp() override {
    for (const char* f : {"app", "datos"}) {
      std::filesystem::remove_all(std::filesystem::u8path(dir.Path(f)));
    }
    for (const char* f : {"app/Utiles/RuviDurUdi", "app/Utiles/DatosWeb",
                          "datos/Utiles/RuviDurUdi", "datos/Utiles/DatosWeb"}) {
      std::filesystem::create_directories(std::filesystem::u8path(dir.Path(NativeSeparators(f))));
    }
    RunState& st = Estado();
    st = RunState{};
    st.PathAplicacion = dir.Path("app");
    st.BaseGral = dir.Path("datos");
    st.ArchivoInstalador = ExecutableFileName();
    st.PathUtiles = JoinSep(st.PathAplicacion, NativeSeparators("Utiles\\"));
    st.NumVersion = 40161;
    launcher.window = &window;
    launcher.started.clear();
    payloads = MemoryPayloads{};
  }

  std::string In(const char* relative) const { return dir.Path(NativeSeparators(relative)); }

  TempFolder dir;
  MemoryPayloads payloads;
  RecordingLauncher launcher;
  FormPrinc window;
};

TEST_F(Installation, NormalRunWritesThePackageCopiesTheInstallerAndStartsTheUpdater) {
  payloads.data["VERS"] = std::string("PK\x03\x04\0\r\n\x1a payload", 16);
  payloads.digests["VERS"] = Sha256Of(payloads.data["VERS"]);
  payloads.data["MWEB"] = "not used";
  const std::string self = *ReadFileBytes(ExecutablePath());

  EXPECT_EQ(InstalarActualizacion(payloads, launcher, window), kRunHandedOver);

  const std::string package = In("app\\Utiles\\RuviDurUdi\\AuxActu.tmp");
  EXPECT_EQ(ReadFileBytes(package), payloads.data["VERS"]);
  EXPECT_EQ(ReadFileBytes(In("app\\Utiles\\RuviDurUdi\\") + ExecutableFileName()), self);
  EXPECT_EQ(ReadFileBytes(In("datos\\Utiles\\RuviDurUdi\\") + ExecutableFileName()), self);
  ASSERT_EQ(launcher.started.size(), 1u);
  EXPECT_EQ(launcher.started[0], In("app\\Utiles\\Actualizador\\Updater.exe") + " | ORI=" +
                                     package + ",NVer=40161");
  EXPECT_TRUE(launcher.windowLoaded) << "the window is loaded, hidden, during the hand-over";
  EXPECT_FALSE(window.Loaded());
  EXPECT_EQ(Estado().ArchivoPaquete, package);
  EXPECT_FALSE(Estado().EsModuloWeb);
}

TEST_F(Installation, PackageOnlyModeReplacesTheUpdFileAndShowsIt) {
  for (const char* line : {"UPD", "/x upd", "C:\\Updates\\pkg"}) {
    SCOPED_TRACE(line);
    SetUp();
    Estado().LineaDeComando = line;
    payloads.data["VERS"] = "new package";
    const std::string upd = In("app\\Utiles\\RuviDurUdi\\AuxActu.upd");
    WriteFileReplacing(upd, "old package");

    EXPECT_EQ(InstalarActualizacion(payloads, launcher, window), kRunHandedOver);
    EXPECT_EQ(ReadFileBytes(upd), std::string("new package"));
    EXPECT_FALSE(PathExists(In("app\\Utiles\\RuviDurUdi\\AuxActu.tmp")));
    ASSERT_EQ(launcher.started.size(), 1u);
    EXPECT_EQ(launcher.started[0], "explorer | " + upd);
    launcher.started.clear();
  }
}

TEST_F(Installation, OneByteVersionMakesTheWebModuleCount) {
  struct Case { std::map<std::string, std::string, std::less<>> data; bool web; const char* file; };
  const Case cases[] = {
      {{{"VERS", "x"}, {"MWEB", "web package"}}, true, "app\\Utiles\\DatosWeb\\AuxMWeb.tmp"},
      {{{"MWEB", "web package"}}, true, "app\\Utiles\\DatosWeb\\AuxMWeb.tmp"},
      {{{"VERS", "xy"}, {"MWEB", "web package"}}, false, "app\\Utiles\\RuviDurUdi\\AuxActu.tmp"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    SetUp();
    payloads.data = c.data;
    EXPECT_EQ(InstalarActualizacion(payloads, launcher, window), kRunHandedOver);
    EXPECT_EQ(Estado().EsModuloWeb, c.web);
    EXPECT_EQ(ReadFileBytes(In(c.file)), c.data.at(c.web ? "MWEB" : "VERS"));
    const char* copies = c.web ? "datos\\Utiles\\DatosWeb\\" : "datos\\Utiles\\RuviDurUdi\\";
    EXPECT_TRUE(PathExists(In(copies) + ExecutableFileName()));
    launcher.started.clear();
  }
}

TEST_F(Installation, NoPayloadHandsOverAnEmptyPath) {
  payloads.data["VERS"] = "1";
  EXPECT_EQ(InstalarActualizacion(payloads, launcher, window), kRunHandedOver);
  ASSERT_EQ(launcher.started.size(), 1u);
  EXPECT_NE(launcher.started[0].find(" | ORI=,NVer=40161"), std::string::npos);
  EXPECT_FALSE(PathExists(In("app\\Utiles\\DatosWeb\\") + ExecutableFileName()));
}

TEST_F(Installation, APackageThatCannotBeWrittenIsNotHandedOver) {
  struct Case { const char* name; std::function<void(Installation&)> arrange; };
  const Case cases[] = {
      {"missing package folder",
       [](Installation& t) {
         std::filesystem::remove_all(std::filesystem::u8path(t.In("app\\Utiles\\RuviDurUdi")));
       }},
      {"read-only old package",
       [](Installation& t) {
         WriteFileReplacing(t.In("app\\Utiles\\RuviDurUdi\\AuxActu.tmp"), "old");
         SetReadOnly(t.In("app\\Utiles\\RuviDurUdi\\AuxActu.tmp"), true);
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SetUp();
    payloads.data["VERS"] = "a package of some bytes";
    c.arrange(*this);
    const std::string package = In("app\\Utiles\\RuviDurUdi\\AuxActu.tmp");
    const bool hadOld = PathExists(package);
    testing::internal::CaptureStderr();
    EXPECT_EQ(InstalarActualizacion(payloads, launcher, window), kRunPackageNotWritten);
    const std::string shown = testing::internal::GetCapturedStderr();
    EXPECT_NE(shown.find("No se pudo escribir el paquete de actualizaci\u00F3n en " + package),
              std::string::npos) << shown;
    EXPECT_TRUE(launcher.started.empty());
    if (hadOld) {
      EXPECT_EQ(ReadFileBytes(package), std::string("old")) << "an old file is left alone";
      SetReadOnly(package, false);
    } else {
      EXPECT_FALSE(PathExists(package)) << "nothing partly written is left";
    }
  }
}

TEST_F(Installation, ADamagedPackageIsNeverHandedOver) {
  struct Case { const char* name; std::function<void(Installation&)> arrange; };
  const Case cases[] = {
      {"one byte differs from what was packed",
       [](Installation& t) { t.payloads.digests["VERS"] = Sha256Of("a package of some bytez"); }},
      {"shorter than recorded", [](Installation& t) { t.payloads.broken = true; }},
      {"the installer's file is damaged",
       [](Installation& t) { t.payloads.damage = "cut short"; }},
  };
  const std::string msg =
      "El paquete de actualizaci\u00F3n incluido en el instalador est\u00E1 da\u00F1ado. "
      "Descargue el instalador nuevamente.";
  for (const char* line : {"", "UPD"}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(c.name) + " [" + line + "]");
      SetUp();
      Estado().LineaDeComando = line;
      payloads.data["VERS"] = "a package of some bytes";
      payloads.digests["VERS"] = Sha256Of("a package of some bytes");
      c.arrange(*this);
      testing::internal::CaptureStderr();
      EXPECT_EQ(InstalarActualizacion(payloads, launcher, window), kRunPackageDamaged);
      const std::string shown = testing::internal::GetCapturedStderr();
      EXPECT_NE(shown.find(msg), std::string::npos) << shown;
      EXPECT_TRUE(launcher.started.empty());
      EXPECT_FALSE(window.Loaded());
      for (const char* f : {"app\\Utiles\\RuviDurUdi\\AuxActu.tmp", "app\\Utiles\\RuviDurUdi\\AuxActu.upd",
                            "app\\Utiles\\DatosWeb\\AuxMWeb.tmp"}) {
        EXPECT_FALSE(PathExists(In(f))) << f << ": nothing of the package is left";
      }
      EXPECT_FALSE(PathExists(In("app\\Utiles\\RuviDurUdi\\") + ExecutableFileName()))
          << "no copy of a damaged installer is made";
      EXPECT_FALSE(PathExists(In("datos\\Utiles\\RuviDurUdi\\") + ExecutableFileName()));
    }
  }
}

TEST_F(Installation, AWholePackageWithoutDigestRunsAsBefore) {
  // An installer packed before digests were stored: nothing to compare with, handed over.
  payloads.data["VERS"] = "package";
  EXPECT_EQ(InstalarActualizacion(payloads, launcher, window), kRunHandedOver);
  EXPECT_EQ(ReadFileBytes(In("app\\Utiles\\RuviDurUdi\\AuxActu.tmp")), std::string("package"));
  EXPECT_EQ(launcher.started.size(), 1u);
}

TEST_F(Installation, PackageOnlyModeWithAnUpdFileThatCannotBeReplaced) {
  Estado().LineaDeComando = "UPD";
  payloads.data["VERS"] = "new package";
  const std::string upd = In("app\\Utiles\\RuviDurUdi\\AuxActu.upd");
  WriteFileReplacing(upd, "old package");
  SetReadOnly(upd, true);
  testing::internal::CaptureStderr();
  EXPECT_EQ(InstalarActualizacion(payloads, launcher, window), kRunPackageNotWritten);
  const std::string shown = testing::internal::GetCapturedStderr();
  EXPECT_NE(shown.find("No se pudo escribir el paquete de actualizaci\u00F3n en " + upd),
            std::string::npos) << shown;
  EXPECT_TRUE(launcher.started.empty()) << "the explorer is not sent to the old package";
  EXPECT_FALSE(window.Loaded());
  EXPECT_EQ(ReadFileBytes(upd), std::string("old package"));
  EXPECT_FALSE(PathExists(In("app\\Utiles\\RuviDurUdi\\AuxActu.tmp")));
  SetReadOnly(upd, false);
}

TEST_F(Installation, AFailedStartIsReported) {
  payloads.data["VERS"] = "package";
  launcher.succeeds = false;
  EXPECT_EQ(InstalarActualizacion(payloads, launcher, window), kRunHandOverFailed);
  EXPECT_TRUE(PathExists(In("app\\Utiles\\RuviDurUdi\\AuxActu.tmp")));
}

TEST(InstallNames, ModesNamesAndTheUpdaterPath) {
  EXPECT_TRUE(ModoSoloPaquete("uPd"));
  EXPECT_TRUE(ModoSoloPaquete("C:\\UPDATES"));
  EXPECT_FALSE(ModoSoloPaquete("U P D"));
  EXPECT_FALSE(ModoSoloPaquete(""));
  // Only the file name's extension changes, never a folder of the path.
  EXPECT_EQ(NombreSoloPaquete("C:\\x.tmp\\AuxActu.tmp"), "C:\\x.tmp\\AuxActu.upd");
  EXPECT_EQ(NombreSoloPaquete("/srv/a.tmp/Utiles/RuviDurUdi/AuxActu.tmp"),
            "/srv/a.tmp/Utiles/RuviDurUdi/AuxActu.upd");
  EXPECT_EQ(NombreSoloPaquete("AuxActu.tmp.tmp"), "AuxActu.tmp.upd");
  EXPECT_EQ(NombreSoloPaquete("AuxActu.TMP"), "AuxActu.TMP");
  EXPECT_EQ(NombreSoloPaquete(""), "");
  RunState st;
  for (const char* app : {"app", "app\\"}) {
    st.PathAplicacion = NativeSeparators(app);
    EXPECT_EQ(RutaActualizador(st), NativeSeparators("app\\Utiles\\Actualizador\\Updater.exe"));
  }
  EXPECT_FALSE(ExisteArchivo(""));
  EXPECT_TRUE(ExisteArchivo(ExecutableFolder()));
}

}  // namespace
}  // namespace kelv
