// Tests of the start-up sequence's pure rules: the product name from DatosConf.ini.
#include <gtest/gtest.h>

#include "settings/branding.h"

#include "settings/string_cipher.h"
#include "update/startup.h"

namespace kelv {
namespace {

std::string Cifrado(const std::string& plain) {
  return EncDesEnc(plain, true, true, 1, kProductNameKey);  // the XOR is its own inverse
}

TEST(NombreProducto, DecipheredAndCleanedOfFillerMarkers) {
  struct Case { std::string stored; std::string want; };
  const Case cases[] = {
      {"", "Kelv Personal\u00AE"},
      {Cifrado("Kelv Personal"), "Kelv Personal"},
      {Cifrado("RURUKelv QWTZM PersonalRURU QWTZM"), "Kelv Personal"},
      {Cifrado("ruruKelv qwtzm"), "ruruKelv qwtzm"},  // markers in other case stay
      {Cifrado("RURU QWTZM"), ""},                    // nothing left: no default
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.want);
    EXPECT_EQ(NombreProductoDe(c.stored), c.want);
  }
}

}  // namespace
}  // namespace kelv
