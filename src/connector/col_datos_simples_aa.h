// ColDatosSimplesAA: an ordered keyed list of dynamically typed values that announces
// every addition, removal and change to its subscribers (all OSes).
//
// Every operation takes the key argument Clave as a Variant: a text addresses an entry by
// its key (any letter case), a number by its 1-based position. Event handlers run
// synchronously, after the change is complete, in the order they subscribed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "connector/item_list.h"
#include "connector/variant.h"

namespace kelv {

class ColDatosSimplesAA : public VariantObject {
 public:
  using KeyHandler = std::function<void(const std::string& key)>;
  using PlainHandler = std::function<void()>;

  ColDatosSimplesAA() : items_(std::make_shared<ItemList>()) {}

  // True when looking Clave up succeeds; never throws.
  bool Existe(const Variant& Clave) const;

  // The Key member of the entry's item (a datoBienSimple's Key) when Existe(Clave);
  // otherwise, or when the item has no Key member, the empty text. Never throws.
  std::string Keys(const Variant& Clave) const;

  // Appends Dato. A missing or empty Clave becomes the number Cantidad + 1; the second
  // form hands that number back in Clave. An entry that Clave already addresses is removed
  // first (so a replaced entry moves to the end). Then Dato is appended under Clave's text
  // form and SeAgrego is raised with it; when that key is present already (a generated key
  // after removals), nothing is added and nothing is raised. Never throws.
  void Agregar(const Variant& Dato, const Variant& Clave = Variant());
  void Agregar(const Variant& Dato, Variant& Clave);

  // Removes the entry Clave addresses and raises SeBorro; does nothing when there is none.
  // Never throws.
  void Borrar(const Variant& Clave);

  // Removes every entry from the last to the first, raising SeBorro after each removal.
  // Never throws.
  void BorrarTodo();

  // The number of entries.
  std::int32_t Cantidad() const;

  // The item list itself, shared with this object (not a copy).
  const std::shared_ptr<ItemList>& LstItms() const { return items_; }
  // From now on the object works on Ncol (a null pointer is replaced by an empty list).
  void LstItms(std::shared_ptr<ItemList> Ncol);

  // The item Clave addresses (objects as the same reference, other values as copies), or
  // the null value when there is none.
  Variant Dato(const Variant& Clave) const;
  Variant operator[](const Variant& Clave) const { return Dato(Clave); }

  // Changes the entry Clave addresses; nothing happens when there is none. An object is
  // assigned to the stored item's default member; an array replaces the item and moves the
  // entry to the end under Clave's text form; any other value is assigned to the stored
  // item's default member (for a datoBienSimple, its Dato). Then SeModifico is raised with
  // Clave's text form. A stored item that is not an object, or refuses the value, throws
  // KelvError; the entry is then unchanged and no event is raised.
  void Dato(const Variant& Clave, const Variant& NuevoDato);

  // Subscriptions; each returns an id for Unsubscribe.
  std::size_t OnSeAgrego(KeyHandler handler);
  std::size_t OnSeBorro(PlainHandler handler);
  std::size_t OnSeModifico(KeyHandler handler);
  void Unsubscribe(std::size_t id);

 private:
  // Position (1-based) Clave addresses, or 0.
  std::size_t Locate(const Variant& Clave) const;
  void AgregarClave(const Variant& Dato, const Variant& Clave);
  void RemoveAddressed(const Variant& Clave);
  void RaiseSeAgrego(const std::string& key);
  void RaiseSeBorro();
  void RaiseSeModifico(const std::string& key);

  std::shared_ptr<ItemList> items_;
  std::size_t nextId_ = 1;
  std::map<std::size_t, KeyHandler> seAgrego_;
  std::map<std::size_t, PlainHandler> seBorro_;
  std::map<std::size_t, KeyHandler> seModifico_;
};

}  // namespace kelv
