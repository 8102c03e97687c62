#include "runtime/value.h"

#include <gtest/gtest.h>

#include "runtime/named_store.h"
#include "runtime/runtime_error.h"

namespace tarvo {
namespace {

TEST(Value, DisplaysAsTheRuntimeDoes) {
  RunSettings s;
  s.decimals = 5;
  s.century = true;
  EXPECT_EQ(display_text(Value(0.0), s), "0");
  EXPECT_EQ(display_text(Value(12), s), "12");
  EXPECT_EQ(display_text(Value(true), s), ".T.");
  EXPECT_EQ(display_text(Value(false), s), ".F.");
  EXPECT_EQ(display_text(Value("texto"), s), "texto");
  EXPECT_EQ(display_text(Value(*Date::from_ymd(2024, 3, 9)), s), "09/03/2024");
  EXPECT_EQ(display_text(Value(), s), "NIL");
}

TEST(Value, WrongKindIsARuntimeError) {
  const Value v("abc");
  EXPECT_THROW(static_cast<void>(v.number()), RuntimeError);
  try {
    static_cast<void>(v.number());
  } catch (const RuntimeError& e) {
    EXPECT_EQ(e.gencode, 1001);
  }
}

TEST(NamedStore, NamesMatchWithoutLetterCase) {
  NamedStore store;
  store.set("wNomeSacado", Value("A"));
  store.set("WNOMESACADO", Value("B"));
  ASSERT_NE(store.find("wnomesacado"), nullptr);
  EXPECT_EQ(store.find("wnomesacado")->text(), "B");
  EXPECT_EQ(store.size(), 1u);
  EXPECT_EQ(store.find("wOutro"), nullptr);
}

TEST(NamedStore, InvalidNamesAreRuntimeErrors) {
  NamedStore store;
  EXPECT_THROW(store.set("w nome", Value(1)), RuntimeError);
  EXPECT_THROW(store.set("w-x", Value(1)), RuntimeError);
  EXPECT_THROW(store.set("", Value(1)), RuntimeError);
  EXPECT_NO_THROW(store.set("w_1", Value(1)));
}

}  // namespace
}  // namespace tarvo
