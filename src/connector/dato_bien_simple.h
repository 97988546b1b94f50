// datoBienSimple: one substitution parameter, a key and a text value (all OSes).
#pragma once

#include <string>
#include <string_view>

#include "connector/variant.h"

namespace kelv {

class datoBienSimple : public VariantObject {
 public:
  datoBienSimple() = default;
  datoBienSimple(std::string key, std::string dato) : Key(std::move(key)), dato_(std::move(dato)) {}

  // The parameter's name; the connector's placeholder is this name in square brackets.
  std::string Key;

  // The parameter's value (the default member).
  const std::string& Dato() const { return dato_; }
  void Dato(std::string_view vData) { dato_ = std::string(vData); }

  // Default member: Dato. Reading gives it as text.
  Variant DefaultGet() const override;
  // Sets Dato from a text, a number (as NumberToText writes it) or the empty value ("");
  // null, arrays and objects throw KelvError(kErrTypeMismatch) and leave Dato as it was.
  void DefaultLet(const Variant& value) override;
  // Dato is a text: an object reference throws KelvError(kErrTypeMismatch).
  void DefaultSet(const std::shared_ptr<VariantObject>& value) override;
  // Key.
  std::string KeyMember() const override { return Key; }

 private:
  std::string dato_;
};

}  // namespace kelv
