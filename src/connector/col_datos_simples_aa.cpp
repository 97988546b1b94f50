// ColDatosSimplesAA: the keyed list with change events (all OSes).
#include "connector/col_datos_simples_aa.h"

#include <cmath>

#include "text/error.h"
#include "text/toolbox.h"

namespace kelv {

namespace {

// Runs a notification; a failing handler does not break an operation that never reports
// failures.
template <class F>
void Quietly(F&& step) {
  try {
    step();
  } catch (...) {
  }
}

}  // namespace

std::size_t ColDatosSimplesAA::Locate(const Variant& Clave) const {
  if (Clave.IsText()) return items_->PositionOf(Clave.Text());
  if (!Clave.IsNumber()) return 0;
  const double number = BankersRound(Clave.Number());
  if (!(number >= 1 && number <= static_cast<double>(items_->Count()))) return 0;
  return static_cast<std::size_t>(number);
}

bool ColDatosSimplesAA::Existe(const Variant& Clave) const { return Locate(Clave) != 0; }

std::string ColDatosSimplesAA::Keys(const Variant& Clave) const {
  const std::size_t position = Locate(Clave);
  if (position == 0) return std::string();
  try {
    const Variant& item = items_->At(position).item;
    return item.IsObject() ? item.ObjectRef()->KeyMember() : std::string();
  } catch (...) {
    return std::string();
  }
}

void ColDatosSimplesAA::Agregar(const Variant& Dato, const Variant& Clave) {
  if (Clave.IsEmpty()) {
    AgregarClave(Dato, Variant(static_cast<double>(items_->Count() + 1)));
  } else {
    AgregarClave(Dato, Clave);
  }
}

void ColDatosSimplesAA::Agregar(const Variant& Dato, Variant& Clave) {
  if (Clave.IsEmpty()) Clave = Variant(static_cast<double>(items_->Count() + 1));
  AgregarClave(Dato, Clave);
}

void ColDatosSimplesAA::AgregarClave(const Variant& Dato, const Variant& Clave) {
  std::string key;
  try {
    key = Clave.ToText();
  } catch (...) {
    return;  // null, an array or an object cannot be a key: nothing is added
  }
  const std::size_t replaced = Locate(Clave);
  const std::size_t holder = items_->PositionOf(key);
  // The key is held by an entry other than the one being replaced (a generated or numeric
  // key after removals): nothing is added, and nothing is removed either.
  if (holder != 0 && holder != replaced) return;
  if (replaced != 0) items_->Remove(replaced);
  items_->Add(Dato, key);
  RaiseSeAgrego(key);
}

void ColDatosSimplesAA::Borrar(const Variant& Clave) {
  const std::size_t position = Locate(Clave);
  if (position == 0) return;
  items_->Remove(position);
  RaiseSeBorro();
}

void ColDatosSimplesAA::BorrarTodo() {
  for (std::size_t i = items_->Count(); i >= 1; --i) {
    Quietly([&] {
      items_->Remove(i);
      RaiseSeBorro();
    });
  }
}

std::int32_t ColDatosSimplesAA::Cantidad() const {
  return static_cast<std::int32_t>(items_->Count());
}

void ColDatosSimplesAA::LstItms(std::shared_ptr<ItemList> Ncol) {
  items_ = Ncol ? std::move(Ncol) : std::make_shared<ItemList>();
}

Variant ColDatosSimplesAA::Dato(const Variant& Clave) const {
  const std::size_t position = Locate(Clave);
  if (position == 0) return Variant::Null();
  return items_->At(position).item;
}

void ColDatosSimplesAA::Dato(const Variant& Clave, const Variant& NuevoDato) {
  const std::size_t position = Locate(Clave);
  if (position == 0) return;
  const std::string key = Clave.ToText();
  const Variant& stored = items_->At(position).item;
  if (NuevoDato.IsArray()) {
    const std::size_t holder = items_->PositionOf(key);
    if (holder != 0 && holder != position) {
      throw KelvError(kErrDuplicateKey, "ColDatosSimplesAA",
                      "Esta clave ya está asociada a un elemento de esta colección");
    }
    items_->Remove(position);
    items_->Add(NuevoDato, key);
  } else {
    if (!stored.IsObject()) {
      throw KelvError(kErrObjectRequired, "ColDatosSimplesAA", "Se requiere un objeto");
    }
    if (NuevoDato.IsObject()) {
      stored.ObjectRef()->DefaultSet(NuevoDato.ObjectRef());
    } else {
      stored.ObjectRef()->DefaultLet(NuevoDato);
    }
  }
  RaiseSeModifico(key);
}

std::size_t ColDatosSimplesAA::OnSeAgrego(KeyHandler handler) {
  seAgrego_.emplace(nextId_, std::move(handler));
  return nextId_++;
}

std::size_t ColDatosSimplesAA::OnSeBorro(PlainHandler handler) {
  seBorro_.emplace(nextId_, std::move(handler));
  return nextId_++;
}

std::size_t ColDatosSimplesAA::OnSeModifico(KeyHandler handler) {
  seModifico_.emplace(nextId_, std::move(handler));
  return nextId_++;
}

void ColDatosSimplesAA::Unsubscribe(std::size_t id) {
  seAgrego_.erase(id);
  seBorro_.erase(id);
  seModifico_.erase(id);
}

// Handlers are copied first, so a handler may subscribe or unsubscribe while it runs.
void ColDatosSimplesAA::RaiseSeAgrego(const std::string& key) {
  const auto handlers = seAgrego_;
  for (const auto& entry : handlers) Quietly([&] { entry.second(key); });
}

void ColDatosSimplesAA::RaiseSeBorro() {
  const auto handlers = seBorro_;
  for (const auto& entry : handlers) Quietly([&] { entry.second(); });
}

void ColDatosSimplesAA::RaiseSeModifico(const std::string& key) {
  const auto handlers = seModifico_;
  for (const auto& [id, handler] : handlers) handler(key);
}

}  // namespace kelv
