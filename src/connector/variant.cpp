// Variant and the default behaviour of VariantObject (all OSes).
#include "connector/variant.h"

#include "text/error.h"
#include "text/toolbox.h"

namespace kelv {

namespace {

[[noreturn]] void NoSuchMember(const char* what) {
  throw KelvError(kErrTypeMismatch, "VariantObject",
                  std::string("El objeto no admite esta propiedad o método: ") + what);
}

[[noreturn]] void WrongKind(const char* wanted) {
  throw KelvError(kErrTypeMismatch, "Variant",
                  std::string("No coinciden los tipos: se esperaba ") + wanted);
}

}  // namespace

Variant VariantObject::DefaultGet() const { NoSuchMember("miembro predeterminado"); }
void VariantObject::DefaultLet(const Variant&) { NoSuchMember("miembro predeterminado"); }
void VariantObject::DefaultSet(const std::shared_ptr<VariantObject>&) {
  NoSuchMember("miembro predeterminado");
}
std::string VariantObject::KeyMember() const { NoSuchMember("Key"); }

Variant::Variant(Object object) {
  if (object) {
    value_ = std::move(object);
  } else {
    value_ = NullTag{};
  }
}

Variant Variant::Null() {
  Variant v;
  v.value_ = NullTag{};
  return v;
}

double Variant::Number() const {
  if (!IsNumber()) WrongKind("un número");
  return std::get<double>(value_);
}

const std::string& Variant::Text() const {
  if (!IsText()) WrongKind("un texto");
  return std::get<std::string>(value_);
}

const Variant::Array& Variant::Items() const {
  if (!IsArray()) WrongKind("una matriz");
  return *std::get<std::shared_ptr<const Array>>(value_);
}

const Variant::Object& Variant::ObjectRef() const {
  if (!IsObject()) WrongKind("un objeto");
  return std::get<Object>(value_);
}

std::string Variant::ToText() const {
  switch (GetKind()) {
    case Kind::Empty:
      return std::string();
    case Kind::Number:
      return NumberToText(Number());
    case Kind::Text:
      return Text();
    default:
      WrongKind("un texto o un número");
  }
}

bool operator==(const Variant& a, const Variant& b) {
  if (a.GetKind() != b.GetKind()) return false;
  if (a.IsArray()) return a.Items() == b.Items();
  return a.value_ == b.value_;
}

}  // namespace kelv
