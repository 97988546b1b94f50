// The report of one translation: constructs that could not be translated and the T-SQL
// parameters it uses (all OSes).
#include "sqltranslate/access_passes.h"
#include "text/toolbox.h"
#include "text/utf8.h"

namespace kelv::acceso {
namespace {

// Letters of the Latin alphabets (accented ones and ñ included), digits and "_": what a
// T-SQL name holds in any collation.
bool EsDeNombreTSql(char32_t c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' ||
         (c >= 0xC0 && c <= 0x24F && c != 0xD7 && c != 0xF7);
}

// base as a T-SQL variable name without its "@": other characters become "_" (a run of them
// one "_", none at either end), and a leading digit gets a "_" before it.
std::string NombreDeParametro(std::string_view base) {
  std::string n;
  for (std::size_t i = 0; i < base.size();) {
    const Utf8Char c = DecodeUtf8At(base, i);
    if (EsDeNombreTSql(c.cp)) {
      n.append(base.substr(i, c.len));
    } else if (!n.empty() && n.back() != '_') {
      n.push_back('_');
    }
    i += c.len;
  }
  while (!n.empty() && n.back() == '_') n.pop_back();
  if (n.empty()) n = "p";
  if (n[0] >= '0' && n[0] <= '9') n.insert(0, "_");
  return n;
}

}  // namespace

void Informe::Avisa(const Literales& lit, std::string_view que, std::string_view enmascarado) {
  AvisoTraduccion a;
  a.que = std::string(que);
  a.texto = Trim(lit.Restaura(enmascarado));
  if (!vistos_.insert(a.que + "\n" + a.texto).second) return;
  avisos_.push_back(std::move(a));
}

std::size_t Informe::Crea(const std::string& clave, std::string_view base, std::string origen,
                          std::string_view tipo) {
  const std::string raiz = NombreDeParametro(base);
  std::string nombre = raiz;
  for (int n = 2; nombres_.count(FoldCase(nombre)) > 0; ++n) {
    nombre = raiz + "_" + std::to_string(n);
  }
  ParametroTraduccion p;
  p.nombre = "@" + nombre;
  p.tipo = std::string(tipo);
  p.origen = std::move(origen);
  const std::size_t i = parametros_.size();
  parametros_.push_back(std::move(p));
  indices_.emplace(clave, i);
  nombres_.emplace(FoldCase(nombre), i);
  return i;
}

void Informe::Declara(const std::string& clave, std::string_view base, std::string_view origen,
                      std::string_view tipo) {
  auto it = indices_.find(clave);
  if (it == indices_.end()) {
    Crea(clave, base, Trim(origen), tipo);
  } else if (!tipo.empty()) {
    parametros_[it->second].tipo = std::string(tipo);
  }
}

std::string Informe::Parametro(const Literales& lit, const std::string& clave,
                               std::string_view base, std::string_view origenEnmascarado) {
  auto it = indices_.find(clave);
  const std::size_t i = it != indices_.end()
                            ? it->second
                            : Crea(clave, base, Trim(lit.Restaura(origenEnmascarado)), "");
  if (paraVista_) {
    Avisa(lit, "parameter in a view (a view cannot take parameters)", origenEnmascarado);
  }
  return parametros_[i].nombre;
}

Traduccion Informe::Entrega(std::string texto) {
  Traduccion t;
  t.texto = std::move(texto);
  t.avisos = std::move(avisos_);
  t.parametros = std::move(parametros_);
  return t;
}

}  // namespace kelv::acceso
