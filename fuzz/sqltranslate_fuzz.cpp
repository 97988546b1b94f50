// Fuzz target: the query translator on arbitrary text.
//
// The whole input is translated with DeAccesASQL; it must return or raise KelvError, never
// crash, hang or grow without bound. The translation with its report (as for a view) must give
// the same text, and every warning and parameter a text of its own. Operations that never raise
// (SQLRevisaRecursiva, SQLCambiarAlias, CambiaFecha, ReemplazaPalabra) are also run on the same
// text and must not raise. Masking a text without double quotes or comments and restoring it
// must give the text back. Inputs longer than 4 KB are cut so that one run stays well under a
// second.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "sqltranslate/cambia_tipo_sql.h"
#include "sqltranslate/literal_mask.h"
#include "text/error.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  constexpr std::size_t kMaxBytes = 4096;
  if (size > kMaxBytes) size = kMaxBytes;
  const std::string text(reinterpret_cast<const char*>(data), size);
  kelv::clsCambiaTipoSQL t;
  try {
    const std::string out = t.DeAccesASQL(text);
    if (out.size() > 64 * (text.size() + 1024)) std::abort();  // unbounded growth
    const kelv::Traduccion r = t.DeAccesASQLConAvisos(text, true);
    if (r.texto != out) std::abort();
    for (const kelv::AvisoTraduccion& a : r.avisos) {
      if (a.que.empty()) std::abort();
    }
    for (const kelv::ParametroTraduccion& p : r.parametros) {
      if (p.nombre.size() < 2 || p.nombre[0] != '@' || p.origen.empty()) std::abort();
    }
  } catch (const kelv::KelvError&) {
  }
  if (text.find_first_of('"') == std::string::npos && text.find("--") == std::string::npos &&
      text.find("/*") == std::string::npos) {
    kelv::Literales lit;
    if (lit.Restaura(lit.Enmascara(text)) != text) std::abort();
  }
  std::string copia = text;
  (void)t.SQLCambiarAlias(copia);
  (void)t.CambiaFecha(text);
  (void)t.SQLRevisaRecursiva(text, "AND", 0);
  (void)t.SQLRevisaRecursiva(text, "XOR", 1);
  const std::size_t mitad = text.size() / 2;
  (void)t.ReemplazaPalabra(text.substr(0, mitad), text.substr(mitad, 3), text.substr(mitad));
  return 0;
}
