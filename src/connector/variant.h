// Variant: a dynamically typed value (empty, null, number, text, array or object reference)
// that callers can ask for its kind; the item type of the keyed list (all OSes).
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace kelv {

class Variant;

// Base of every object a Variant can refer to. Objects are shared references: copying a
// Variant copies the reference, never the object.
class VariantObject {
 public:
  virtual ~VariantObject() = default;

  // Reads the object's default member. The base has none: throws KelvError.
  virtual Variant DefaultGet() const;
  // Assigns a value to the object's default member. The base has none: throws KelvError.
  virtual void DefaultLet(const Variant& value);
  // Assigns an object reference to the object's default member. The base has none:
  // throws KelvError.
  virtual void DefaultSet(const std::shared_ptr<VariantObject>& value);
  // The object's "Key" member as text. The base has none: throws KelvError.
  virtual std::string KeyMember() const;
};

class Variant {
 public:
  enum class Kind { Empty, Null, Number, Text, Array, Object };
  using Array = std::vector<Variant>;
  using Object = std::shared_ptr<VariantObject>;

  // The empty value ("never assigned").
  Variant() = default;
  Variant(double number) : value_(number) {}
  Variant(int number) : value_(static_cast<double>(number)) {}
  Variant(std::string text) : value_(std::move(text)) {}
  Variant(std::string_view text) : value_(std::string(text)) {}
  Variant(const char* text) : value_(std::string(text)) {}
  Variant(Array items) : value_(std::make_shared<const Array>(std::move(items))) {}
  // An object reference; a null pointer is stored as the null value.
  Variant(Object object);
  template <class T, class = std::enable_if_t<std::is_base_of_v<VariantObject, T>>>
  Variant(std::shared_ptr<T> object) : Variant(Object(std::move(object))) {}

  // The null value.
  static Variant Null();

  Kind GetKind() const { return static_cast<Kind>(value_.index()); }
  bool IsEmpty() const { return GetKind() == Kind::Empty; }
  bool IsNull() const { return GetKind() == Kind::Null; }
  bool IsNumber() const { return GetKind() == Kind::Number; }
  bool IsText() const { return GetKind() == Kind::Text; }
  bool IsArray() const { return GetKind() == Kind::Array; }
  bool IsObject() const { return GetKind() == Kind::Object; }

  // The held value; asking for another kind than the one held throws
  // KelvError(kErrTypeMismatch).
  double Number() const;
  const std::string& Text() const;
  const Array& Items() const;
  const Object& ObjectRef() const;

  // The value as text: a text as it is, a number as NumberToText writes it, the empty value
  // as "". Null, arrays and objects throw KelvError(kErrTypeMismatch).
  std::string ToText() const;

  // Same kind and equal value (objects: the same object; arrays: equal items).
  friend bool operator==(const Variant& a, const Variant& b);
  friend bool operator!=(const Variant& a, const Variant& b) { return !(a == b); }

 private:
  struct NullTag {
    friend bool operator==(NullTag, NullTag) { return true; }
  };
  // Arrays are immutable once made, so sharing them keeps value semantics.
  std::variant<std::monostate, NullTag, double, std::string, std::shared_ptr<const Array>,
               Object>
      value_;
};

}  // namespace kelv
