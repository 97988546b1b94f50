// Access's "!" between a table and its column (Personas!Legajo, [t]![c]) becomes T-SQL's
// full stop (all OSes). Forms references are parameters by then; T-SQL's own "!=", "!<" and
// "!>" have no name after the "!", so they are left.
#include "sqltranslate/access_passes.h"
#include "sqltranslate/text_search.h"

namespace kelv::acceso {

std::string CalificadoresConAdmiracion(std::string t) {
  for (std::size_t i = t.find('!'); i != std::string::npos; i = t.find('!', i + 1)) {
    if (i == 0 || i + 1 >= t.size()) continue;
    const char antes = t[i - 1], despues = t[i + 1];
    if ((EsLetraDeNombre(antes) || antes == ']') && (EsLetraDeNombre(despues) || despues == '[')) {
      t[i] = '.';
    }
  }
  return t;
}

}  // namespace kelv::acceso
