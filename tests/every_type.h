// Family 40, one version holding a field of every type a record holds:
// each integer width, both kinds of enumeration, a string and value
// structs nested two deep.  For the records tests and fuzzer.
#ifndef TAMBERLO_TESTS_EVERY_TYPE_H_
#define TAMBERLO_TESTS_EVERY_TYPE_H_

#include <tamberlo/construction.h>
#include <tamberlo/element_cur.h>
#include <tamberlo/fields.h>
#include <tamberlo/msg_base.h>

#include <cstdint>
#include <string>

enum class Unit : std::uint8_t { metre, foot };
enum Quality : std::int16_t { kPoor = -1, kGood = 1 };

struct Span {
  ElementCur<double, Span> low;
  ElementCur<double, Span> high;
};
TAMBERLO_FIELDS(Span, low, high)

struct Reading {
  ElementCur<float, Reading> value;
  ElementCur<Unit, Reading> unit;
  ElementCur<Span, Reading> span;
};
TAMBERLO_FIELDS(Reading, value, unit, span)

class Msg40_v1 : public MsgBase {
 public:
  static constexpr std::int32_t familyId = 40;
  static constexpr std::int32_t versionNo = 1;
  ElementCur<bool, Msg40_v1> on;
  ElementCur<std::int8_t, Msg40_v1> i8;
  ElementCur<std::int16_t, Msg40_v1> i16;
  ElementCur<std::int32_t, Msg40_v1> i32;
  ElementCur<std::int64_t, Msg40_v1> i64;
  ElementCur<std::uint8_t, Msg40_v1> u8;
  ElementCur<std::uint16_t, Msg40_v1> u16;
  ElementCur<std::uint32_t, Msg40_v1> u32;
  ElementCur<std::uint64_t, Msg40_v1> u64;
  ElementCur<float, Msg40_v1> f;
  ElementCur<double, Msg40_v1> d;
  ElementCur<Quality, Msg40_v1> quality;
  ElementCur<std::string, Msg40_v1> name;
  ElementCur<Reading, Msg40_v1> reading;

  explicit Msg40_v1(MsgMap& links) : MsgBase(familyId, versionNo, links) {
    tamberlo::buildOlder<void>(*this);
  }
};
TAMBERLO_FIELDS(Msg40_v1, on, i8, i16, i32, i64, u8, u16, u32, u64, f, d,
                quality, name, reading)

#endif  // TAMBERLO_TESTS_EVERY_TYPE_H_
