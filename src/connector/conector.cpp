// Conector: properties, placeholder substitution and the connection description file
// (all OSes).
#include "connector/conector.h"

#include "connector/dato_bien_simple.h"
#include "platform/paths.h"
#include "settings/crypto_drelo.h"
#include "settings/tagged_text.h"
#include "text/error.h"
#include "text/toolbox.h"
#include "text/utf8.h"

namespace kelv {

Conector::Conector() : archDeConexion_(kArchConfBase) {
  try {
    parametros_ = std::make_shared<ColDatosSimplesAA>();
  } catch (...) {
    // Without memory for the list the connector still works, with Parametros unset.
  }
}

void Conector::ArchDeConexion(std::string_view vNewValue) {
  const std::string folder = FolderOf(vNewValue);
  if (folder.empty()) {
    archDeConexion_ = std::string(vNewValue);
    return;
  }
  // Character positions were 16-bit signed values.
  if (CharCount(folder) > 32767) {
    throw KelvError(kErrOverflow, "Conector.ArchDeConexion", "Desbordamiento");
  }
  carpetaDatos_ = folder;
  archDeConexion_ = std::string(vNewValue.substr(folder.size()));
}

std::string Conector::ReemplazaConParam(std::string_view strAReemp) const {
  std::string text(strAReemp);
  if (!parametros_) return text;
  for (const ItemList::Entry& entry : *parametros_->LstItms()) {
    const auto* param = entry.item.IsObject()
                            ? dynamic_cast<const datoBienSimple*>(entry.item.ObjectRef().get())
                            : nullptr;
    if (param == nullptr) {
      throw KelvError(kErrTypeMismatch, "Conector.ReemplazaConParam",
                      "No coinciden los tipos: un parámetro no es un datoBienSimple");
    }
    text = Replace(text, "[" + param->Key + "]", param->Dato(), Compare::AnyCase);
  }
  return text;
}

clsTipoDatoConex Conector::DevDatosSegunArch(const std::string& strArchDatos,
                                             std::string_view strDeCodif) const {
  clsTipoDatoConex rec;
  clsCryptoDrelo crypto;
  const std::string bytes = crypto.LeerArchBinario(strArchDatos);
  if (bytes.empty()) return rec;
  crypto.Password(strDeCodif.empty() ? kClaveConfBase : strDeCodif);
  crypto.InBuffer(CipherBuffer::FromBytes(bytes));
  crypto.Decrypt();
  const std::string plain = crypto.OutBuffer().Text();
  if (plain.empty()) return rec;
  rec.Contra = LeerBloqueTexto(plain, "Permisos");
  rec.Usuario = LeerBloqueTexto(plain, "Usuario");
  rec.TipoBD = LeerBloqueTexto(plain, "TipoBD");
  rec.ConStr = LeerBloqueTexto(plain, "ConStr");
  rec.NombreBD = LeerBloqueTexto(plain, "NombreBD");
  rec.Host = LeerBloqueTexto(plain, "Host");
  rec.Puerto = ToInt32Rounded(Val(LeerBloqueTexto(plain, "Puerto")));
  rec.NombBDUsu = LeerBloqueTexto(plain, "NombBDUsu");
  return rec;
}

void Conector::mCrearDSN(std::string_view, const Conector&) const {}

}  // namespace kelv
