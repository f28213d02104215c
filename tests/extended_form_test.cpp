// Built from the extended form, like Pellory: the classes that both forms
// share must read and write the objects the library builds from the base
// form, and every call that reaches past the first element must run the
// library's code.
#include <gtest/gtest.h>
#include <tamberlo/msg18_v1.h>
#include <tamberlo/tamberlo.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <type_traits>

#include "keep.h"

#if defined(__ELF__)
#include <dlfcn.h>

#include <string>
#endif

namespace {

// Compile-time checks of the extended form.  offsetof on a class that is
// not standard-layout is conditionally supported; GCC and Clang support it.
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Winvalid-offsetof"
#endif

// Member `m` of `C` starts at `start`, with nothing between it and what
// comes before, and has the type given last.
#define TAMBERLO_MEMBER(C, m, start, ...)                                 \
  static_assert(std::is_same_v<decltype(C::m), __VA_ARGS__>, #C "::" #m); \
  static_assert(offsetof(C, m) == (start), #C "::" #m " position")
#define TAMBERLO_END_OF(C, m) (offsetof(C, m) + sizeof(C::m))

// Copyable and destructible, with no other way to make one.
template <typename C>
constexpr bool kOnlyCopies =
    std::is_base_of_v<MsgBase, C> && !std::is_polymorphic_v<C> &&
    !std::is_default_constructible_v<C> &&
    !std::is_constructible_v<C, MsgMap&> && std::is_copy_constructible_v<C> &&
    std::is_copy_assignable_v<C> && std::is_destructible_v<C>;

static_assert(kOnlyCopies<Msg20_v1>);
TAMBERLO_MEMBER(Msg20_v1, position, sizeof(MsgBase),
                ElementCur<Position, Msg20_v1>);
TAMBERLO_MEMBER(Msg20_v1, velocity, TAMBERLO_END_OF(Msg20_v1, position),
                ElementCur<Velocity, Msg20_v1>);
static_assert(sizeof(Msg20_v1) == TAMBERLO_END_OF(Msg20_v1, velocity));

static_assert(kOnlyCopies<Msg17_v2>);
TAMBERLO_MEMBER(Msg17_v2, position, sizeof(MsgBase),
                ElementPrev<Position, Msg20_v1>);
TAMBERLO_MEMBER(Msg17_v2, velocity, TAMBERLO_END_OF(Msg17_v2, position),
                ElementPrev<Velocity, Msg20_v1>);
TAMBERLO_MEMBER(Msg17_v2, att, TAMBERLO_END_OF(Msg17_v2, velocity),
                ElementPrev<Quaternions, Msg20_v1>);
static_assert(sizeof(Msg17_v2) == TAMBERLO_END_OF(Msg17_v2, att));

static_assert(kOnlyCopies<Msg17_v1>);
TAMBERLO_MEMBER(Msg17_v1, position, sizeof(MsgBase),
                ElementPrev<Position, Msg17_v2>);
TAMBERLO_MEMBER(Msg17_v1, att, TAMBERLO_END_OF(Msg17_v1, position),
                ElementPrev<Quaternions, Msg17_v2>);
static_assert(sizeof(Msg17_v1) == TAMBERLO_END_OF(Msg17_v1, att));

static_assert(kOnlyCopies<Msg18_v1>);
TAMBERLO_MEMBER(Msg18_v1, velocity, sizeof(MsgBase),
                ElementPrev<Velocity, Msg17_v2>);
static_assert(sizeof(Msg18_v1) == TAMBERLO_END_OF(Msg18_v1, velocity));

static_assert(kOnlyCopies<Msg15_v5>);
TAMBERLO_MEMBER(Msg15_v5, position, sizeof(MsgBase),
                ElementPrev<Position, Msg17_v1>);
static_assert(sizeof(Msg15_v5) == TAMBERLO_END_OF(Msg15_v5, position));

static_assert(kOnlyCopies<Msg16_v2>);
TAMBERLO_MEMBER(Msg16_v2, att, sizeof(MsgBase),
                ElementPrev<Quaternions, Msg17_v1>);
TAMBERLO_MEMBER(Msg16_v2, attEuler, TAMBERLO_END_OF(Msg16_v2, att),
                EulerAngles);
static_assert(sizeof(Msg16_v2) == TAMBERLO_END_OF(Msg16_v2, attEuler));

#undef TAMBERLO_MEMBER
#undef TAMBERLO_END_OF
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif

struct Chain15 {
  MsgBase* root = keep(MsgBase::getInstance(15));
  Msg15_v4* v4 = root->getVersion<Msg15_v4>();
  Msg15_v3* v3 = root->getVersion<Msg15_v3>();
  Msg15_v2* v2 = root->getVersion<Msg15_v2>();
};

TEST(ExtendedForm, SharedClassesHaveTheLibrarysLayout) {
  Chain15 c;
  // The library measured these offsets on its own objects in init().
  EXPECT_EQ(c.v3->lat.offset, elementOffset(*c.v4, c.v4->lat));
  EXPECT_EQ(c.v3->lng.offset, elementOffset(*c.v4, c.v4->lng));
  EXPECT_EQ(c.v2->lat.offset, elementOffset(*c.v3, c.v3->lat));
  EXPECT_EQ(c.v2->lng.offset, elementOffset(*c.v3, c.v3->lng));
  EXPECT_EQ(c.v2->alt.offset, elementOffset(*c.v3, c.v3->alt));
  EXPECT_EQ(c.v2->alt.owner, c.v3);
  EXPECT_EQ(c.v3->alt.owner, c.v4);
  EXPECT_EQ(c.v4->version, 4);
  EXPECT_EQ(c.v2->older, (MsgMap{{15, nullptr}}));
}

TEST(ExtendedForm, Family15ReadsAndWritesThroughEverySharedVersion) {
  Chain15 c;
  c.v4->lat = 45.0f;
  c.v3->lng.set(-7.25f);
  c.v4->alt = 10000.0f;
  EXPECT_EQ(c.v2->lat.get(), 45.0f);
  EXPECT_EQ(c.v2->lng.get(), -7.25f);
  EXPECT_EQ(c.v4->lng.get(), -7.25f);
  EXPECT_EQ(c.v2->alt.get(), 32808);
  EXPECT_EQ(&c.v3->alt.get(), &c.v4->altFeet);

  c.v2->alt = 449;
  EXPECT_EQ(c.v4->alt.get(), 136.855194091796875f);
  EXPECT_EQ(c.v3->alt.get(), 448);
}

TEST(ExtendedForm, Family16ConvertsThroughTheSharedVersion) {
  MsgBase* root = keep(MsgBase::getInstance(16));
  auto* v1 = root->getVersion<Msg16_v1>();
  ASSERT_NE(v1, nullptr);
  EulerAngles written;
  written.yaw = 90.0f;
  v1->att.set(written);
  EulerAngles& read = v1->att.get();
  EXPECT_EQ(read.yaw.get(), 90.0f);
  EXPECT_EQ(read.pitch.get(), 0.0f);
  EXPECT_EQ(read.roll.get(), 0.0f);
  EXPECT_EQ(v1->att.owner, root);
}

#if defined(__ELF__)
// The file of the module that holds `address`.
std::string moduleOf(const void* address) {
  Dl_info info{};
  if (dladdr(address, &info) == 0 || info.dli_fname == nullptr) return "?";
  const std::string path = info.dli_fname;
  return path.substr(path.rfind('/') + 1);
}

template <typename Element>
std::string vtableModule(const Element& element) {
  const void* vptr = nullptr;
  std::memcpy(&vptr, static_cast<const void*>(&element), sizeof vptr);
  return moduleOf(vptr);
}

// Under the Itanium ABI a pointer to a non-virtual member function starts
// with the function's address.
template <typename MemberFunction>
std::string functionModule(MemberFunction f) {
  static_assert(sizeof f >= sizeof(void*));
  const void* address = nullptr;
  std::memcpy(&address, &f, sizeof address);
  return moduleOf(address);
}

TEST(ExtendedForm, BindingsReachTheLibrarysCode) {
  const std::string library = "libtamberlo.so.1";
  Chain15 c;
  MsgBase* root16 = keep(MsgBase::getInstance(16));
  auto* v1 = root16->getVersion<Msg16_v1>();

  // Every element the program touches or a binding reaches was built by the
  // library, so virtual calls on it dispatch to the library's code.
  EXPECT_EQ(vtableModule(c.v2->lat), library);
  EXPECT_EQ(vtableModule(c.v2->alt), library);
  EXPECT_EQ(vtableModule(c.v3->lat), library);
  EXPECT_EQ(vtableModule(c.v3->alt), library);
  EXPECT_EQ(vtableModule(c.v4->lat), library);
  EXPECT_EQ(vtableModule(c.v4->alt), library);
  EXPECT_EQ(vtableModule(v1->att), library);
  // Accessors are the library's.
  EXPECT_EQ(functionModule(c.v4->lat.getter), library);
  EXPECT_EQ(functionModule(c.v4->alt.setter), library);
  EXPECT_EQ(functionModule(c.v3->alt.getter), library);
  EXPECT_EQ(functionModule(c.v3->alt.setter), library);
  EXPECT_EQ(functionModule(v1->att.getter), library);
  EXPECT_EQ(functionModule(v1->att.setter), library);

  // The check tells modules apart: an element built here has this
  // program's vtable.
  ElementPrev<float, Msg15_v4> local;
  EXPECT_NE(vtableModule(local), library);
  EXPECT_NE(vtableModule(local), "?");
}
#endif

}  // namespace
