// datoBienSimple's default member (all OSes).
#include "connector/dato_bien_simple.h"

#include "text/error.h"

namespace kelv {

Variant datoBienSimple::DefaultGet() const { return Variant(dato_); }

void datoBienSimple::DefaultLet(const Variant& value) {
  dato_ = value.ToText();  // throws for null, arrays and objects before anything changes
}

void datoBienSimple::DefaultSet(const std::shared_ptr<VariantObject>&) {
  throw KelvError(kErrTypeMismatch, "datoBienSimple",
                  "No coinciden los tipos: Dato es un texto, no un objeto");
}

}  // namespace kelv
