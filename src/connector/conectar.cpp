// Conector::Conectar and ConectarBD: opening the described connection, step by step, each
// failing step written to the error log and the next one run (all OSes).
#include <optional>

#include "connector/conector.h"
#include "connector/connection_strings.h"
#include "platform/paths.h"
#include "text/error.h"
#include "text/toolbox.h"

namespace kelv {

namespace {

// Runs the steps of one Conectar call. A failing step is remembered as the call's last
// failure and written to the error log under the connector's kind and host of that
// moment; the caller then goes on with the next step.
class ConnectSteps {
 public:
  ConnectSteps(const Conector& conector, std::shared_ptr<Connection>& con)
      : conector_(conector), con_(con) {}

  template <class F>
  void Step(F&& step) {
    try {
      step();
    } catch (const std::exception& e) {
      Failed(e.what());
    } catch (...) {
      Failed("Error no identificado");
    }
  }

  // The connection, which a failed creation may have left unset.
  Connection& Con() const {
    if (!con_) {
      throw KelvError(kErrObjectNotSet, "Conector.Conectar",
                      "Variable de objeto o bloque With no establecido");
    }
    return *con_;
  }

  bool AnyFailure() const { return !lastFailure_.empty(); }

 private:
  void Failed(const std::string& description) {
    lastFailure_ = description.empty() ? "Error no identificado" : description;
    std::string connectionString;
    try {
      if (con_) connectionString = con_->ConnectionString();
    } catch (...) {
    }
    EscribirLogDeError(conector_.TipoBD(), conector_.Host(), connectionString, lastFailure_);
  }

  const Conector& conector_;
  std::shared_ptr<Connection>& con_;
  std::string lastFailure_;
};

bool EndsWithAnyCase(std::string_view text, std::string_view tail) {
  return text.size() >= tail.size() &&
         TextEquals(text.substr(text.size() - tail.size()), tail, Compare::AnyCase);
}

}  // namespace

void Conector::Conectar(std::string_view Base, std::shared_ptr<Connection>& Con) {
  ConnectSteps s(*this, Con);
  s.Step([&] {
    if (Con && Con->State() == kStateOpen) Con->Close();
  });
  s.Step([&] { Con = NewConnection(); });

  if (!Base.empty()) {
    s.Step([&] { carpetaDatos_ = FolderOf(Base); });
    if (!EndsWithAnyCase(Base, ".MDB")) {
      std::optional<clsTipoDatoConex> rec;
      s.Step([&] {
        const std::string file = archDeConexion_.empty() ? std::string(kArchConfBase) : archDeConexion_;
        rec = DevDatosSegunArch(carpetaDatos_ + file, passwordDesEnc_);
      });
      // A description that could not be read has been logged already and changes nothing.
      if (rec && (!rec->Host.empty() || !rec->Contra.empty() || !rec->Usuario.empty() ||
                  !rec->TipoBD.empty() || !rec->NombreBD.empty() || !rec->ConStr.empty())) {
        s.Step([&] { password_ = rec->Contra; });
        s.Step([&] { usuario_ = ReemplazaConParam(rec->Usuario); });
        s.Step([&] { tipoBD_ = rec->TipoBD; });
        s.Step([&] { conStr_ = ReemplazaConParam(rec->ConStr); });
        s.Step([&] { nombreBD_ = ReemplazaConParam(rec->NombreBD); });
        s.Step([&] { host_ = rec->Host; });
        s.Step([&] { puerto_ = rec->Puerto; });
      }
    }
  }

  s.Step([&] { s.Con().CursorLocation(kUseClient); });
  if (KindOf(tipoBD_) == TipoConexion::MicrosoftJet) {
    tipoBD_ = "MicrosoftJet";
    s.Step([&] { s.Con().CursorLocation(kUseClient); });
    host_ = std::string(Base);
  }
  s.Step([&] { s.Con().ConnectionString(CadenaDeConexion(*this, Base)); });
  s.Step([&] { s.Con().Open("", usuario_, password_, kOptionUnspecified); });

  if (!s.AnyFailure() || InStr(Base, ".mdb", Compare::AnyCase) == 0) return;
  // An open connection is kept: only a database that did not open is tried again.
  if (Con && Con->State() == kStateOpen) return;
  s.Step([&] { s.Con().ConnectionString(CadenaAccessSimple(Base)); });
  s.Step([&] { s.Con().Open("", "", "", kOptionUnspecified); });
}

void ConectarBD(const std::string& Base, std::shared_ptr<Connection>& Con) {
  Conector conector;
  if (!Con) Con = NewConnection();
  if (Con->State() == kStateOpen) Con->Close();
  Con->CursorLocation(kUseClient);
  conector.Conectar(Base, Con);
}

}  // namespace kelv
