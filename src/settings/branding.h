// The product name kept enciphered in the branding file "DatosConf.ini" (all OSes).
#pragma once

#include <string>
#include <string_view>

namespace kelv {

// The product name when the branding file gives none.
inline constexpr std::string_view kDefaultProductName = "Kelv Personal\u00ae";

// The pass phrase the product name is enciphered with.
inline constexpr std::string_view kProductNameKey = "57204618";

// The product name that the NombreProducto value v of a branding file stands for: for a
// non-empty v, EncDesEnc(v, true, true, 1, kProductNameKey) less every "RURU" and then
// every " QWTZM" (exact letter case), even when that leaves nothing; for an empty v,
// kDefaultProductName.
std::string DecipherProductName(std::string_view v);

}  // namespace kelv
