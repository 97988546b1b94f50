// Tests of Variant, datoBienSimple and the keyed list ColDatosSimplesAA with its events.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "connector/col_datos_simples_aa.h"
#include "connector/dato_bien_simple.h"
#include "text/error.h"

namespace kelv {
namespace {

// Records every event of a list as "+key", "-", "~key".
struct EventLog {
  explicit EventLog(ColDatosSimplesAA& list) {
    list.OnSeAgrego([this](const std::string& k) { events.push_back("+" + k); });
    list.OnSeBorro([this] { events.push_back("-"); });
    list.OnSeModifico([this](const std::string& k) { events.push_back("~" + k); });
  }
  std::vector<std::string> events;
};

std::vector<std::string> KeysInOrder(const ColDatosSimplesAA& list) {
  std::vector<std::string> keys;
  for (const ItemList::Entry& e : *list.LstItms()) keys.push_back(e.key.value_or("?"));
  return keys;
}

TEST(Variant, KindsAndTextForm) {
  const Variant empty, null = Variant::Null(), number(2.5), text("abc");
  const Variant array(Variant::Array{1, "x"});
  const Variant object(std::make_shared<datoBienSimple>("k", "v"));
  EXPECT_TRUE(empty.IsEmpty());
  EXPECT_TRUE(null.IsNull());
  EXPECT_TRUE(number.IsNumber());
  EXPECT_TRUE(text.IsText());
  EXPECT_TRUE(array.IsArray());
  EXPECT_TRUE(object.IsObject());
  EXPECT_TRUE(Variant(std::shared_ptr<VariantObject>()).IsNull());
  EXPECT_EQ(number.ToText(), "2.5");
  EXPECT_EQ(Variant(3).ToText(), "3");
  EXPECT_EQ(empty.ToText(), "");
  for (const Variant* v : {&null, &array, &object}) {
    EXPECT_THROW(v->ToText(), KelvError);
  }
  EXPECT_THROW(text.Number(), KelvError);
  EXPECT_EQ(array, Variant(Variant::Array{1, "x"}));
  EXPECT_NE(object, Variant(std::make_shared<datoBienSimple>("k", "v")));  // another object
}

TEST(ColDatosSimplesAA, AddressesByKeyAnyCaseAndByPosition) {
  ColDatosSimplesAA list;
  list.Agregar("cinco", "5");
  list.Agregar("uno", "1");
  list.Agregar("host", "Host");
  EXPECT_EQ(list.Cantidad(), 3);
  EXPECT_EQ(list.Dato(1).Text(), "cinco");  // the number 1 is a position, not the key "1"
  EXPECT_EQ(list.Dato("1").Text(), "uno");
  EXPECT_EQ(list["HOST"].Text(), "host");
  EXPECT_TRUE(list.Existe(2));
  EXPECT_TRUE(list.Existe(3.4));  // positions round to the nearest whole number
  EXPECT_FALSE(list.Existe(4));
  EXPECT_FALSE(list.Existe(0));
  EXPECT_FALSE(list.Existe("nada"));
  EXPECT_FALSE(list.Existe(Variant::Null()));
  EXPECT_TRUE(list.Dato("nada").IsNull());
  EXPECT_EQ(list.Keys("nada"), "");
  EXPECT_EQ(list.Keys("host"), "");  // a plain text item has no Key member

  auto param = std::make_shared<datoBienSimple>("Servidor", "srv");
  list.Agregar(param, "p");
  EXPECT_EQ(list.Keys("P"), "Servidor");
  EXPECT_EQ(list.Dato("p").ObjectRef(), param);  // objects come back as the same reference
}

TEST(ColDatosSimplesAA, AddingRaisesEventsAndGeneratesKeys) {
  ColDatosSimplesAA list;
  EventLog log(list);
  Variant clave;  // unassigned: receives the generated key
  list.Agregar("a", clave);
  EXPECT_EQ(clave.Number(), 1);
  list.Agregar("b");
  list.Agregar("c");
  EXPECT_EQ(KeysInOrder(list), (std::vector<std::string>{"1", "2", "3"}));

  list.Borrar(1);
  list.Agregar("d");  // generates 3, which is present: nothing added, no event
  EXPECT_EQ(KeysInOrder(list), (std::vector<std::string>{"2", "3"}));
  EXPECT_EQ(list.Dato("3").Text(), "c");
  EXPECT_EQ(log.events, (std::vector<std::string>{"+1", "+2", "+3", "-"}));
}

TEST(ColDatosSimplesAA, ReplacingMovesTheEntryToTheEnd) {
  ColDatosSimplesAA list;
  list.Agregar("x", "Host");
  list.Agregar("y", "Puerto");
  EventLog log(list);
  list.Agregar("z", "HOST");
  EXPECT_EQ(KeysInOrder(list), (std::vector<std::string>{"Puerto", "HOST"}));
  EXPECT_EQ(list.Dato("host").Text(), "z");
  EXPECT_EQ(log.events, (std::vector<std::string>{"+HOST"}));  // no SeBorro

  // A numeric key whose text another entry holds: nothing is removed, nothing added.
  list.Agregar("w", "2");  // "2" is a new text key at position 3
  list.Agregar("v", 1);    // would replace position 1 under the key "1": fine
  EXPECT_EQ(KeysInOrder(list), (std::vector<std::string>{"HOST", "2", "1"}));
  list.Agregar("u", 1);    // position 1 is "HOST"; the key "1" belongs to position 3
  EXPECT_EQ(KeysInOrder(list), (std::vector<std::string>{"HOST", "2", "1"}));
  EXPECT_EQ(list.Dato("HOST").Text(), "z");
}

TEST(ColDatosSimplesAA, WritingDato) {
  ColDatosSimplesAA list;
  auto param = std::make_shared<datoBienSimple>("Host", "viejo");
  list.Agregar(param, "Host");
  list.Agregar(7, "numero");
  list.Agregar("fin", "fin");
  EventLog log(list);

  list.Dato("HOST", "nuevo");  // sets the datoBienSimple's Dato in place
  EXPECT_EQ(param->Dato(), "nuevo");
  list.Dato("host", 1433);
  EXPECT_EQ(param->Dato(), "1433");

  EXPECT_THROW(list.Dato("numero", 8), KelvError);  // a plain number is not an object
  EXPECT_EQ(list.Dato("numero").Number(), 7);
  EXPECT_THROW(list.Dato("Host", Variant::Null()), KelvError);  // refused by the item
  EXPECT_THROW(list.Dato("Host", Variant(std::make_shared<datoBienSimple>())), KelvError);
  EXPECT_EQ(param->Dato(), "1433");

  list.Dato("numero", Variant::Array{1, 2});  // an array replaces the item, moved to the end
  EXPECT_EQ(KeysInOrder(list), (std::vector<std::string>{"Host", "fin", "numero"}));
  EXPECT_TRUE(list.Dato("numero").IsArray());

  list.Dato("ausente", "x");  // nothing happens
  EXPECT_EQ(log.events, (std::vector<std::string>{"~HOST", "~host", "~numero"}));
}

TEST(ColDatosSimplesAA, BorrarTodoAndSharedList) {
  ColDatosSimplesAA list;
  for (int i = 0; i < 5; ++i) list.Agregar(i);
  int removals = 0;
  const std::size_t id = list.OnSeBorro([&] { ++removals; });
  list.Borrar("nada");
  list.BorrarTodo();
  EXPECT_EQ(removals, 5);
  EXPECT_EQ(list.Cantidad(), 0);
  list.Unsubscribe(id);

  // A handler that fails does not break the operation; handlers may change subscriptions.
  list.OnSeAgrego([](const std::string&) { throw KelvError(kErrInvalidArgument, "t", "x"); });
  int late = 0;
  list.OnSeAgrego([&](const std::string&) { list.OnSeBorro([&] { ++late; }); });
  list.Agregar("a", "a");
  EXPECT_EQ(list.Cantidad(), 1);
  list.Borrar("a");
  EXPECT_EQ(late, 1);

  // LstItms is the list itself, shared.
  ColDatosSimplesAA other;
  other.LstItms(list.LstItms());
  other.Agregar("b", "b");
  EXPECT_TRUE(list.Existe("B"));
}

}  // namespace
}  // namespace kelv
