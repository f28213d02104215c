// Every field type through every form (stored, member form, accessor
// form), in toString and checkChain, and field lists at their limits.
#include <gtest/gtest.h>
#include <tamberlo/check_chain.h>
#include <tamberlo/to_string.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <string>
#include <vector>

#include "chains.h"

namespace mine {

enum class Mode : std::uint8_t { kIdle, kRun = 200 };
enum Level { kLow = -3 };
struct Celsius {
  double degrees = 0;
};
struct Point {
  ElementCur<std::int16_t, Point> x;
  ElementCur<std::int16_t, Point> y;
};

// One line per field type, for every version of family 43.
#define KINDS(X)        \
  X(bool, flag)         \
  X(std::int8_t, i8)    \
  X(std::uint8_t, u8)   \
  X(std::int16_t, i16)  \
  X(std::uint16_t, u16) \
  X(std::int32_t, i32)  \
  X(std::uint32_t, u32) \
  X(std::int64_t, i64)  \
  X(std::uint64_t, u64) \
  X(float, f)           \
  X(double, d)          \
  X(Mode, mode)         \
  X(Level, level)       \
  X(std::string, text)  \
  X(Point, point)       \
  X(Celsius, temp)
#define KIND_NAMES                                                            \
  flag, i8, u8, i16, u16, i32, u32, i64, u64, f, d, mode, level, text, point, \
      temp

class Kinds_v2;

class Kinds_v3 : public MsgBase {
 public:
  static constexpr std::int32_t familyId = 43;
  static constexpr std::int32_t versionNo = 3;
#define STORED(T, n) ElementCur<T, Kinds_v3> n;
  KINDS(STORED)
  explicit Kinds_v3(MsgMap& links);
  void init(Kinds_v2& previous);
};

class Kinds_v2 : public MsgBase {
 public:
  static constexpr std::int32_t familyId = 43;
  static constexpr std::int32_t versionNo = 2;
#define FORWARDS_TO_V3(T, n) ElementPrev<T, Kinds_v3> n;
  KINDS(FORWARDS_TO_V3)
  explicit Kinds_v2(MsgMap& links);
  void init();
  template <auto Member>
  auto& read() {
    return (this->*Member).get();
  }
  template <auto Member, typename T>
  void write(T value) {
    (this->*Member).set(value);
  }
};

class Kinds_v1 : public MsgBase {
 public:
  static constexpr std::int32_t familyId = 43;
  static constexpr std::int32_t versionNo = 1;
#define FORWARDS_TO_V2(T, n) ElementPrev<T, Kinds_v2> n;
  KINDS(FORWARDS_TO_V2)
  explicit Kinds_v1(MsgMap& links) : MsgBase(familyId, versionNo, links) {
    tamberlo::buildOlder<void>(*this);
  }
};

Kinds_v3::Kinds_v3(MsgMap& links) : MsgBase(familyId, versionNo, links) {
  tamberlo::buildOlder<Kinds_v2>(*this, &Kinds_v3::init);
}
void Kinds_v3::init(Kinds_v2& previous) {
#define MEMBER_FORM(T, n) previous.n.bind(this, &Kinds_v3::n);
  KINDS(MEMBER_FORM)
}

Kinds_v2::Kinds_v2(MsgMap& links) : MsgBase(familyId, versionNo, links) {
  tamberlo::buildOlder<Kinds_v1>(*this, &Kinds_v2::init);
}
void Kinds_v2::init() {
  auto& previous = tamberlo::olderVersion<Kinds_v1>(*this);
#define ACCESSOR_FORM(T, n)                            \
  previous.n.bind(this, &Kinds_v2::read<&Kinds_v2::n>, \
                  &Kinds_v2::write<&Kinds_v2::n, T>);
  KINDS(ACCESSOR_FORM)
}

// Sixty-four fields, in a namespace that declares its own `std`.
struct Wide {
  ElementCur<std::uint8_t, Wide> f1, f2, f3, f4, f5, f6, f7, f8, f9, f10, f11,
      f12, f13, f14, f15, f16, f17, f18, f19, f20, f21, f22, f23, f24, f25, f26,
      f27, f28, f29, f30, f31, f32, f33, f34, f35, f36, f37, f38, f39, f40, f41,
      f42, f43, f44, f45, f46, f47, f48, f49, f50, f51, f52, f53, f54, f55, f56,
      f57, f58, f59, f60, f61, f62, f63, f64;
};

// Listed out of declaration order.
class Swapped_v1 : public MsgBase {
 public:
  static constexpr std::int32_t familyId = 44;
  static constexpr std::int32_t versionNo = 1;
  ElementCur<float, Swapped_v1> a;
  ElementCur<float, Swapped_v1> b;
  explicit Swapped_v1(MsgMap& links) : MsgBase(familyId, versionNo, links) {
    tamberlo::buildOlder<void>(*this);
  }
};

namespace std {}
TAMBERLO_FIELDS(Point, x, y)
TAMBERLO_FIELDS(Kinds_v3, KIND_NAMES)
TAMBERLO_FIELDS(Kinds_v2, KIND_NAMES)
TAMBERLO_FIELDS(Kinds_v1, KIND_NAMES)
TAMBERLO_FIELDS(Wide, f1, f2, f3, f4, f5, f6, f7, f8, f9, f10, f11, f12, f13,
                f14, f15, f16, f17, f18, f19, f20, f21, f22, f23, f24, f25, f26,
                f27, f28, f29, f30, f31, f32, f33, f34, f35, f36, f37, f38, f39,
                f40, f41, f42, f43, f44, f45, f46, f47, f48, f49, f50, f51, f52,
                f53, f54, f55, f56, f57, f58, f59, f60, f61, f62, f63, f64)
TAMBERLO_FIELDS(Swapped_v1, b, a)

}  // namespace mine

template <>
struct tamberlo::TextForm<mine::Celsius> {
  static void append(std::string& out, const mine::Celsius& value) {
    std::array<char, 32> text{};
    std::snprintf(text.data(), text.size(), "%g C", value.degrees);
    out += text.data();
  }
};

namespace {

using Problems = std::vector<std::string>;

TEST(FieldTypes, EveryTypeThroughEveryForm) {
  MsgMap none;
  auto* root = keep(new mine::Kinds_v3(none));
  auto* v1 = root->getVersion<mine::Kinds_v1>();
  // Each integer written through v1 at its extreme: lowest where signed.
  tamberlo::forEachField(*v1, [](std::string_view, auto& element) {
    using T = tamberlo::ElementValueT<std::decay_t<decltype(element)>>;
    if constexpr (std::is_integral_v<T> && !std::is_same_v<T, bool>) {
      element = std::is_signed_v<T> ? std::numeric_limits<T>::lowest()
                                    : std::numeric_limits<T>::max();
    }
  });
  v1->flag = true;
  v1->f = 0.1f;
  v1->d = 0.1;
  v1->mode = mine::Mode::kRun;
  v1->level = mine::kLow;
  v1->text = "say \"hi\"\n\x01";
  mine::Point point;
  point.x = 1;
  point.y = -2;
  v1->point = point;
  v1->temp = mine::Celsius{21.5};
  const std::string fields =
      "{flag=true, i8=-128, u8=255, i16=-32768, u16=65535, i32=-2147483648, "
      "u32=4294967295, i64=-9223372036854775808, u64=18446744073709551615, "
      "f=0.1, d=0.1, mode=200, level=-3, text=\"say \\\"hi\\\"\\n\\u0001\", "
      "point=Point{x=1, y=-2}, temp=21.5 C}";
  EXPECT_EQ(tamberlo::toString(*v1), "Kinds_v1" + fields);
  EXPECT_EQ(tamberlo::toString(*root), "Kinds_v3" + fields);
  const mine::Point& stored = root->point.get();
  EXPECT_EQ(tamberlo::toString(stored), "Point{x=1, y=-2}");
  EXPECT_EQ(tamberlo::checkChain<mine::Kinds_v1>(root), Problems{});
}

TEST(FieldTypes, ListsAtTheirLimits) {
  mine::Wide wide;
  wide.f64 = 7;
  std::size_t count = 0;
  std::string_view last;
  tamberlo::forEachField(wide, [&](std::string_view name, auto& element) {
    ++count;
    last = name;
    EXPECT_EQ(element.get(), name == "f64" ? 7 : 0);
  });
  EXPECT_EQ(count, 64U);
  EXPECT_EQ(last, "f64");

  MsgMap none;
  auto* swapped = keep(new mine::Swapped_v1(none));
  EXPECT_EQ(tamberlo::checkChain<mine::Swapped_v1>(swapped),
            Problems{"Swapped_v1::a: listed after b, but declared before it"});
}

}  // namespace
