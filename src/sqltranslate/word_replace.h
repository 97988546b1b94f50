// Whole-word replacement with a bound on the result's length (all OSes).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kelv {

// ReemplazaPalabra (see cambia_tipo_sql.h). When the result would grow longer than limite
// characters, raises KelvError(kErrOutOfStringSpace) instead.
std::string ReemplazaPalabraLimitada(std::string_view texto, std::string_view palabra,
                                     std::string_view reemplazo, std::size_t limite);

// Error number of a text that grows beyond the space allowed to it.
constexpr int kErrOutOfStringSpace = 14;

}  // namespace kelv
