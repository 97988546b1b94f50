// Tests of the package installation: the package written byte for byte, the installer
// copies, the hand-over in both modes, and a package that cannot be written.
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

// Payloads held in memory; a payload listed in broken stops after its first chunk.
class MemoryPayloads : public PayloadSource {
 public:
  std::map<std::string, std::string, std::less<>> data;
  bool broken = false;

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
    payloads.data.clear();
    payloads.broken = false;
  }

  std::string In(const char* relative) const { return dir.Path(NativeSeparators(relative)); }

  TempFolder dir;
  MemoryPayloads payloads;
  RecordingLauncher launcher;
  FormPrinc window;
};

TEST_F(Installation, NormalRunWritesThePackageCopiesTheInstallerAndStartsTheUpdater) {
  payloads.data["VERS"] = std::string("PK\x03\x04\0\r\n\x1a payload", 16);
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
      {"reading breaks off", [](Installation& t) { t.payloads.broken = true; }},
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
  EXPECT_EQ(NombreSoloPaquete("C:\\x.tmp\\AuxActu.tmp"), "C:\\x.upd\\AuxActu.upd");
  EXPECT_EQ(NombreSoloPaquete("AuxActu.TMP"), "AuxActu.TMP");
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
