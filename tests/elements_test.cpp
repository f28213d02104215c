// ElementCur stores, ElementPrev forwards: the member form, the accessor
// form, the order in which a binding is consulted, unbound elements, and
// writes of another number type.
#include <gtest/gtest.h>
#include <tamberlo/tamberlo.h>

#include <cmath>
#include <cstdint>
#include <functional>
#include <limits>
#include <stdexcept>
#include <string>
#include <utility>

namespace {

using std::string_literals::operator""s;

// Plays a newest version: stores values and offers an accessor pair that
// counts its calls.
struct Store {
  ElementCur<float, Store> stored;
  ElementCur<float, Store> other;
  int getterCalls = 0;
  int setterCalls = 0;

  float& getStored() {
    ++getterCalls;
    return stored.get();
  }
  void setStored(float v) {
    ++setterCalls;
    stored = v;
  }
};

// Plays a middle version: one forwarding element, so a chain can have two
// hops with different Owner tags.
struct Middle {
  int padding = 0;  // keeps the element away from offset 0
  ElementPrev<float, Store> fwd;
};

struct AngleOwner {
  EulerAngles kept;
  EulerAngles& getAngles() { return kept; }
  void setAngles(EulerAngles a) {
    kept = a;
    a.yaw = -1.0f;  // changes the accessor's own copy only
  }
};

TEST(ElementCur, GetReturnsItsStorage) {
  ElementCur<float, Store> e;
  EXPECT_EQ(e.value, 0.0f);
  EXPECT_EQ(&e.get(), &e.value);
  e.get() = 2.5f;
  EXPECT_EQ(e.get(), 2.5f);
  e.set(-1.0f);
  EXPECT_EQ(e.value, -1.0f);
  e = 7.0f;
  EXPECT_EQ(e.value, 7.0f);
}

// Where only the value tells: what the element's type holds is stored, the
// rest throws, naming both and why, and leaves the element as it was.
TEST(ElementCur, WriteOfAnotherNumberTypeStoresOnlyWhatTheTypeHolds) {
  ElementCur<std::uint8_t, Store> u8;
  ElementCur<std::int8_t, Store> i8;
  ElementCur<bool, Store> flag;
  ElementCur<float, Store> f;
  ElementCur<double, Store> d;
  u8 = 255;
  i8 = -128;
  flag = 1;
  f = 3.4028234663852886e38;  // FLT_MAX
  d = std::int64_t{-9223372036854775807 - 1};
  constexpr const char* kRange = ": beyond its range";
  constexpr const char* kFinite = ": beyond its finite range";
  constexpr const char* kInexact = ": not exactly one of its values";
  // A long double beyond double's range, with the digits that read back
  // as it: 21 where it has 64 (x87), 36 where 113; none where it is a
  // double, or where its arithmetic runs as double's (under valgrind).
  volatile long double one = 1;
  const bool wide = std::numeric_limits<long double>::max_exponent >
                        std::numeric_limits<double>::max_exponent &&
                    one + std::numeric_limits<long double>::epsilon() != one;
  const std::string wideText =
      std::numeric_limits<long double>::digits == 64
          ? "1.79769313486231590773e+308"
          : "1.79769313486231590772930519078902473e+308";
  const std::pair<std::function<void()>, std::string> refused[] = {
      {[&] { u8 = 256; },
       "std::uint8_t cannot hold the std::int32_t 256"s + kRange},
      {[&] { u8.set(-1); },
       "std::uint8_t cannot hold the std::int32_t -1"s + kRange},
      {[&] { i8 = -129; },
       "std::int8_t cannot hold the std::int32_t -129"s + kRange},
      {[&] { flag = 2; }, "bool cannot hold the std::int32_t 2"s + kRange},
      {[&] { f = 1e300; }, "float cannot hold the double 1e+300"s + kFinite},
      {[&] { f.set(-3.402823466385289e38); },
       "float cannot hold the double -3.402823466385289e+38"s + kFinite},
      {[&] { f = 16777217; },
       "float cannot hold the std::int32_t 16777217"s + kInexact},
      {[&] { d = std::int64_t{9007199254740993}; },
       "double cannot hold the std::int64_t 9007199254740993"s + kInexact},
      {[&] { d = std::numeric_limits<std::uint64_t>::max(); },
       "double cannot hold the std::uint64_t 18446744073709551615"s + kInexact},
      {[&] {
         if (wide) d = std::ldexp(1.0L, 1024);
       },
       wide ? "double cannot hold the long double " + wideText + kFinite : ""}};
  for (const auto& [write, message] : refused) {
    try {
      write();
      EXPECT_EQ(message, "");
    } catch (const std::out_of_range& e) {
      EXPECT_EQ(e.what(), "tamberlo: an element of " + message);
    }
  }
  EXPECT_EQ(u8.value, 255);
  EXPECT_EQ(i8.value, -128);
  EXPECT_TRUE(flag.value);
  EXPECT_EQ(f.value, std::numeric_limits<float>::max());
  EXPECT_EQ(d.value, -9223372036854775808.0);
  f = -std::numeric_limits<double>::infinity();
  EXPECT_EQ(f.value, -std::numeric_limits<float>::infinity());
  f = 1e-300;  // rounded to nearest, as any double
  EXPECT_EQ(f.value, 0.0f);
  d = std::uint64_t{1} << 63U;
  EXPECT_EQ(d.value, 9223372036854775808.0);
}

TEST(ElementCur, CopiesTheValueOnly) {
  ElementCur<float, Store> a;
  a = 3.0f;
  ElementCur<float, Store> b(a);
  ElementCur<float, Store> c;
  ElementCur<float, Store>& result = (c = a);
  EXPECT_EQ(&result, &c);
  a = 4.0f;
  EXPECT_EQ(b.get(), 3.0f);
  EXPECT_EQ(c.get(), 3.0f);
}

TEST(ElementPrev, DefaultIsUnboundAndUsesItsOwnSlot) {
  ElementPrev<float, Store> e;
  EXPECT_EQ(e.owner, nullptr);
  EXPECT_EQ(e.offset, -1);
  EXPECT_EQ(e.getter, nullptr);
  EXPECT_EQ(e.setter, nullptr);
  EXPECT_EQ(&e.get(), &e.value);
  e.set(1.5f);
  EXPECT_EQ(e.value, 1.5f);
  e = 2.5f;
  EXPECT_EQ(e.get(), 2.5f);
}

TEST(ElementPrev, BindingWithoutTargetUsesItsOwnSlot) {
  Store store;
  ElementPrev<float, Store> noOwner;
  noOwner.bind(nullptr, 0, &Store::getStored, &Store::setStored);
  noOwner = 1.0f;
  EXPECT_EQ(noOwner.get(), 1.0f);
  EXPECT_EQ(store.getterCalls + store.setterCalls, 0);

  ElementPrev<float, Store> negativeOffset;
  negativeOffset.bind(&store, -1, nullptr, nullptr);
  negativeOffset.set(2.0f);
  EXPECT_EQ(&negativeOffset.get(), &negativeOffset.value);
  EXPECT_EQ(negativeOffset.value, 2.0f);
  EXPECT_EQ(store.stored.value, 0.0f);
}

TEST(ElementPrev, MemberFormReachesTheTargetsStorage) {
  Store store;
  ElementPrev<float, Store> e;
  e.bind(&store, elementOffset(store, store.other), nullptr, nullptr);
  EXPECT_EQ(&e.get(), &store.other.value);
  e.set(4.0f);
  EXPECT_EQ(store.other.value, 4.0f);
  e = 5.0f;
  EXPECT_EQ(store.other.value, 5.0f);
  e.get() = 6.0f;
  EXPECT_EQ(store.other.value, 6.0f);
  EXPECT_EQ(e.value, 0.0f);
  EXPECT_EQ(store.stored.value, 0.0f);
}

TEST(ElementPrev, MemberFormForwardsAgainThroughATargetOfAnotherTag) {
  Store store;
  Middle middle;
  middle.fwd.bind(&store, -1, &Store::getStored, &Store::setStored);
  ElementPrev<float, Middle> outer;
  outer.bind(&middle, elementOffset(middle, middle.fwd), nullptr, nullptr);

  EXPECT_EQ(&outer.get(), &store.stored.value);
  EXPECT_EQ(store.getterCalls, 1);
  outer.set(8.0f);
  EXPECT_EQ(store.setterCalls, 1);
  // Assignment with no setter goes through the target's virtual set, which
  // here is an accessor form: the value reaches the newest store.
  outer = 9.0f;
  EXPECT_EQ(store.setterCalls, 2);
  EXPECT_EQ(store.stored.value, 9.0f);
  EXPECT_EQ(middle.fwd.value, 0.0f);
}

TEST(ElementPrev, AccessorFormCallsTheAccessors) {
  Store store;
  ElementPrev<float, Store> e;
  e.bind(&store, -1, &Store::getStored, &Store::setStored);
  EXPECT_EQ(&e.get(), &store.stored.value);
  e.set(1.0f);
  e = 2.0f;
  EXPECT_EQ(store.getterCalls, 1);
  EXPECT_EQ(store.setterCalls, 2);
  EXPECT_EQ(store.stored.value, 2.0f);
}

TEST(ElementPrev, GetterIsConsultedBeforeOffset) {
  Store store;
  ElementPrev<float, Store> e;
  e.bind(&store, elementOffset(store, store.other), &Store::getStored,
         &Store::setStored);
  EXPECT_EQ(&e.get(), &store.stored.value);
  e.set(3.0f);
  EXPECT_EQ(store.stored.value, 3.0f);
  EXPECT_EQ(store.other.value, 0.0f);
}

TEST(ElementPrev, GetterAndSetterAreTestedIndependently) {
  Store store;
  const std::int32_t toOther = elementOffset(store, store.other);

  ElementPrev<float, Store> getterOnly;
  getterOnly.bind(&store, toOther, &Store::getStored, nullptr);
  EXPECT_EQ(&getterOnly.get(), &store.stored.value);
  getterOnly = 5.0f;
  EXPECT_EQ(store.other.value, 5.0f);
  EXPECT_EQ(store.setterCalls, 0);

  ElementPrev<float, Store> setterOnly;
  setterOnly.bind(&store, toOther, nullptr, &Store::setStored);
  EXPECT_EQ(&setterOnly.get(), &store.other.value);
  setterOnly.set(6.0f);
  EXPECT_EQ(store.stored.value, 6.0f);
  EXPECT_EQ(store.other.value, 5.0f);
  EXPECT_EQ(store.getterCalls, 1);
}

TEST(ElementPrev, SetterReceivesACopy) {
  AngleOwner owner;
  ElementPrev<EulerAngles, AngleOwner> e;
  e.bind(&owner, -1, &AngleOwner::getAngles, &AngleOwner::setAngles);
  EulerAngles mine;
  mine.yaw = 10.0f;
  e.set(mine);
  EXPECT_EQ(mine.yaw.get(), 10.0f);
  EXPECT_EQ(owner.kept.yaw.get(), 10.0f);
  mine.yaw = 20.0f;  // the owner kept a copy, not a reference
  EXPECT_EQ(e.get().yaw.get(), 10.0f);
}

TEST(ElementPrev, CopiesKeepTheBindingAndTheSlot) {
  Store store;
  ElementPrev<float, Store> e;
  e.value = 1.0f;
  e.bind(&store, elementOffset(store, store.other), nullptr, nullptr);

  ElementPrev<float, Store> copy(e);
  EXPECT_EQ(copy.owner, &store);
  EXPECT_EQ(copy.offset, e.offset);
  EXPECT_EQ(copy.value, 1.0f);
  copy = 2.0f;
  EXPECT_EQ(store.other.value, 2.0f);

  ElementPrev<float, Store> assigned;
  ElementPrev<float, Store>& result = (assigned = e);
  EXPECT_EQ(&result, &assigned);
  EXPECT_EQ(&assigned.get(), &store.other.value);
}

TEST(ElementPrev, WriteOfAnotherNumberTypeReachesTheTargetOnlyIfHeld) {
  Store store;
  ElementPrev<float, Store> e;
  e.bind(&store, &Store::stored);
  e = 16777216;
  EXPECT_THROW(e = 16777217, std::out_of_range);
  EXPECT_THROW(e.set(1e39), std::out_of_range);
  EXPECT_EQ(store.stored.value, 16777216.0f);
}

TEST(ElementPrev, BindReplacesTheEarlierBinding) {
  Store first;
  Store second;
  ElementPrev<float, Store> e;
  e.bind(&first, -1, &Store::getStored, &Store::setStored);
  e.bind(&second, elementOffset(second, second.other), nullptr, nullptr);
  e = 3.0f;
  EXPECT_EQ(second.other.value, 3.0f);
  EXPECT_EQ(first.setterCalls, 0);
  EXPECT_EQ(e.getter, nullptr);
}

}  // namespace
