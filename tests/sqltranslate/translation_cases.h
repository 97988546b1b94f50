// Tables of translator cases for the tests (all OSes): an input, the text it must become,
// and the check that runs them one by one under SCOPED_TRACE.
#pragma once

#include <gtest/gtest.h>

#include <cstddef>
#include <string>

#include "sqltranslate/cambia_tipo_sql.h"

namespace kelv {

struct Caso {
  const char* entrada;
  const char* salida;
};

// Expects operacion(entrada) == salida for each of the n cases.
template <typename Operacion>
void CompruebaCasos(const Caso* casos, std::size_t n, Operacion operacion) {
  for (std::size_t i = 0; i < n; ++i) {
    SCOPED_TRACE(casos[i].entrada);
    EXPECT_EQ(operacion(std::string(casos[i].entrada)), casos[i].salida);
  }
}

// The same with DeAccesASQL, the whole translation.
inline void CompruebaTraduccion(const Caso* casos, std::size_t n) {
  const clsCambiaTipoSQL t;
  CompruebaCasos(casos, n, [&](const std::string& e) { return t.DeAccesASQL(e); });
}

}  // namespace kelv
