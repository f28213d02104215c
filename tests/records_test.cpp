// Records: the exact text of every version, reads through any version,
// bit-exact round trips, and bad inputs that throw and write nothing.
#include <gtest/gtest.h>
#include <tamberlo/records.h>
#include <tamberlo/tamberlo.h>
#include <tamberlo/to_string.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <string>
#include <vector>

#include "chains.h"
#include "every_type.h"

namespace {

using Json = nlohmann::ordered_json;
using tamberlo::toJson;
using tamberlo::toString;

// Family 41: version 3 stores two int32_t, version 2 shows b as an int64_t
// (Promotion), and version 1 forwards to both by name.
class Wide_v2;
class Wide_v3 : public MsgBase {
 public:
  static constexpr std::int32_t familyId = 41;
  static constexpr std::int32_t versionNo = 3;
  ElementCur<std::int32_t, Wide_v3> a;
  ElementCur<std::int32_t, Wide_v3> b;
  explicit Wide_v3(MsgMap& links);
  void init(Wide_v2& previous);
};
TAMBERLO_FIELDS(Wide_v3, a, b)

class Wide_v1 : public MsgBase {
 public:
  static constexpr std::int32_t familyId = 41;
  static constexpr std::int32_t versionNo = 1;
  ElementPrev<std::int32_t, Wide_v2> a;
  ElementPrev<std::int64_t, Wide_v2> b;
  explicit Wide_v1(MsgMap& links) : MsgBase(familyId, versionNo, links) {
    tamberlo::buildOlder<void>(*this);
  }
};
TAMBERLO_FIELDS(Wide_v1, a, b)

class Wide_v2 : public MsgBase {
 public:
  static constexpr std::int32_t familyId = 41;
  static constexpr std::int32_t versionNo = 2;
  ElementPrev<std::int32_t, Wide_v3> a;
  tamberlo::Converted<std::int64_t, &Wide_v3::b> b;
  explicit Wide_v2(MsgMap& links) : MsgBase(familyId, versionNo, links) {
    tamberlo::buildOlder<Wide_v1>(*this, &Wide_v2::init);
  }
  void init(Wide_v1& previous) { tamberlo::bindByName(previous, *this); }
};
TAMBERLO_FIELDS(Wide_v2, a, b)

Wide_v3::Wide_v3(MsgMap& links) : MsgBase(familyId, versionNo, links) {
  tamberlo::buildOlder<Wide_v2>(*this, &Wide_v3::init);
}
void Wide_v3::init(Wide_v2& previous) { tamberlo::bindByName(previous, *this); }

// Family 44: version 2 adds a field, with a declared default, that
// version 1 does not show.
class Tank_v1;
class Tank_v2 : public MsgBase {
 public:
  static constexpr std::int32_t familyId = 44;
  static constexpr std::int32_t versionNo = 2;
  ElementCur<std::int32_t, Tank_v2> level;
  ElementCur<std::int32_t, Tank_v2> litres{50};
  explicit Tank_v2(MsgMap& links);
  void init(Tank_v1& older);
};
TAMBERLO_FIELDS(Tank_v2, level, litres)

class Tank_v1 : public MsgBase {
 public:
  static constexpr std::int32_t familyId = 44;
  static constexpr std::int32_t versionNo = 1;
  ElementPrev<std::int32_t, Tank_v2> level;
  explicit Tank_v1(MsgMap& links) : MsgBase(familyId, versionNo, links) {
    tamberlo::buildOlder<void>(*this);
  }
};
TAMBERLO_FIELDS(Tank_v1, level)

Tank_v2::Tank_v2(MsgMap& links) : MsgBase(familyId, versionNo, links) {
  tamberlo::buildOlder<Tank_v1>(*this, &Tank_v2::init);
}
void Tank_v2::init(Tank_v1& older) { tamberlo::bindByName(older, *this); }

// Families 15, 16, 40 and 41, joined so that the family-15 root reaches
// all.
struct Joined {
  Chain15 c;
  MsgMap known{{15, c.root}};
  Msg16_v2* a2 = keep(new Msg16_v2(known));
  Msg16_v1* a1 = a2->getVersion<Msg16_v1>();
  Msg40_v1* m = keep(new Msg40_v1(known));
  Wide_v3* w = keep(new Wide_v3(known));

  // Every field of every version, and the keys of every map.
  std::string snapshot() {
    std::string text = toString(*c.v2) + toString(*c.v3) + toString(*c.v4) +
                       toString(*c.v5) + toString(*a1) + toString(*a2) +
                       toJson(*m) + toJson(*w);
    for (MsgBase* o :
         std::initializer_list<MsgBase*>{c.root, c.v4, c.v3, c.v2, a1, a2, m}) {
      for (const MsgMap* map : {&o->roots, &o->older, &o->peer}) {
        for (const auto& entry : *map)
          text += ' ' + std::to_string(entry.first);
      }
    }
    return text;
  }
};

enum class Form { json, cbor, document };

template <typename... Classes>
MsgBase& readAs(MsgBase* root, Form form, const std::string& input) {
  switch (form) {
    case Form::json:
      return tamberlo::readJson<Classes...>(root, input);
    case Form::document:
      return tamberlo::readRecord<Classes...>(root, Json::parse(input));
    default:
      return tamberlo::readCbor<Classes...>(
          root, std::vector<std::uint8_t>(input.begin(), input.end()));
  }
}

MsgBase& read(MsgBase* root, Form form, const std::string& input) {
  return readAs<Msg15_v5, Msg15_v4, Msg15_v3, Msg15_v2, Msg16_v2, Msg16_v1,
                Msg40_v1, Wide_v2, Wide_v1>(root, form, input);
}

void expectRefused(MsgBase* root, Form form, const std::string& input,
                   const std::string& message) {
  try {
    read(root, form, input);
    ADD_FAILURE() << "accepted: " << input.substr(0, 100);
  } catch (const tamberlo::RecordError& e) {
    EXPECT_EQ(e.what(), message);
  }
}

// The record of `version` in `form`, and that the direct writers give
// exactly the document's text, and the bytes nlohmann/json writes for what
// theirs hold (a float field as a 4-byte float).
template <typename Version>
std::string record(Version& version, Form form) {
  const Json document = tamberlo::toRecord(version);
  EXPECT_EQ(toJson(version), document.dump());
  const std::vector<std::uint8_t> bytes = tamberlo::toCbor(version);
  EXPECT_EQ(Json::to_cbor(Json::from_cbor(bytes)), bytes);
  if (form == Form::cbor) return {bytes.begin(), bytes.end()};
  return document.dump();
}

std::string cbor(const char* json) {
  const std::vector<std::uint8_t> bytes = Json::to_cbor(Json::parse(json));
  return {bytes.begin(), bytes.end()};
}

TEST(Records, ExactTextOfEveryVersion) {
  Joined j;
  j.c.v4->lat = 45.0f;
  j.c.v4->alt = 10000.0f;
  j.a1->att = angles(45.0f, 5.0f, 0.0f);
  EXPECT_EQ(
      record(*j.c.v2, Form::json),
      R"({"family":15,"version":2,"fields":{"alt":32808,"lat":45.0,"lng":0.0}})");
  EXPECT_EQ(
      record(*j.c.v3, Form::json),
      R"({"family":15,"version":3,"fields":{"lat":45.0,"lng":0.0,"alt":32808}})");
  EXPECT_EQ(
      record(*j.c.v4, Form::json),
      R"({"family":15,"version":4,"fields":{"lat":45.0,"lng":0.0,"alt":10000.0}})");
  EXPECT_EQ(
      record(*j.c.v5, Form::json),
      R"({"family":15,"version":5,"fields":{"position":{"lat":45.0,"lng":0.0,"alt":10000.0}}})");
  EXPECT_EQ(
      record(*j.a1, Form::json),
      R"({"family":16,"version":1,"fields":{"att":{"yaw":45.0,"pitch":5.0,"roll":2.1249589e-08}}})");
  EXPECT_EQ(
      record(*j.a2, Form::json),
      R"({"family":16,"version":2,"fields":{"att":{"w":0.9230002,"x":0.016692417,"y":0.3823192,"z":0.040299058}}})");
  EXPECT_EQ(record(*j.a2, Form::cbor).size(), 59u);  // each float in 5 bytes
  Msg40_v1& m = *j.m;
  m.on = true;
  m.i8 = std::int8_t{-128};
  m.i16 = std::int16_t{-32768};
  m.i32 = std::numeric_limits<std::int32_t>::min();
  m.i64 = std::numeric_limits<std::int64_t>::min();
  m.u8 = std::uint8_t{255};
  m.u16 = std::uint16_t{65535};
  m.u32 = std::numeric_limits<std::uint32_t>::max();
  m.u64 = std::numeric_limits<std::uint64_t>::max();
  m.f = 0.1f;
  m.d = -0.0;
  m.quality = kPoor;
  m.name = std::string("tab\t\"\xC3\xA9\"\x01");
  m.reading.get().value = floatOf(0xffc00000u);
  m.reading.get().unit = Unit::foot;
  m.reading.get().span.get().low = -std::numeric_limits<double>::infinity();
  m.reading.get().span.get().high = 1e300;
  EXPECT_EQ(record(m, Form::json),
            R"({"family":40,"version":1,"fields":{"on":true,"i8":-128,)"
            R"("i16":-32768,"i32":-2147483648,"i64":-9223372036854775808,)"
            R"("u8":255,"u16":65535,"u32":4294967295,)"
            R"("u64":18446744073709551615,"f":0.1,"d":-0.0,"quality":-1,)"
            R"("name":"tab\t\"é\"\u0001","reading":{"value":"-nan",)"
            R"("unit":1,"span":{"low":"-inf","high":1e+300}}}})");
}

TEST(Records, ReadThroughAnyVersion) {
  Joined j;
  MsgBase& v2 = read(
      j.c.root, Form::json,
      R"({"family":15,"version":2,"fields":{"alt":32808,"lat":45.0,"lng":0.0}})");
  EXPECT_EQ(&v2, j.c.v2);
  EXPECT_EQ(bitsOf(j.c.stored().alt.get()), bitsOf(9999.87890625f));
  EXPECT_EQ(toString(*j.c.v4), "Msg15_v4{lat=45, lng=0, alt=9999.879}");
  // Fields in any order, and a document's keys too; 449 ft is stored as
  // metres that read as 448 ft.
  read(j.c.root, Form::document,
       R"({"fields":{"alt":449,"lng":-1,"lat":2.5},"version":3,"family":15})");
  EXPECT_EQ(toString(*j.c.v3), "Msg15_v3{lat=2.5, lng=-1, alt=448}");
  // Through Msg16_v1's conversion, as a client writing those angles.
  Joined k;
  k.a1->att = angles(170.0f, 88.0f, 170.0f);
  const std::string angles = record(*k.a1, Form::cbor);
  k.a1->att = k.a1->att.get();
  EXPECT_EQ(&read(j.c.root, Form::cbor, angles), j.a1);
  EXPECT_EQ(toString(*j.a2), toString(*k.a2));
  // Through Wide_v2's Promotion, where int32_t holds the value.
  read(j.c.root, Form::json,
       R"({"family":41,"version":1,"fields":{"a":7,"b":-2147483648}})");
  EXPECT_EQ(toJson(*j.w),
            R"({"family":41,"version":3,"fields":{"a":7,"b":-2147483648}})");
}

TEST(Records, ReadOntoAChainLeavesItAsAFreshChainWithTheRecord) {
  for (const Form form : {Form::json, Form::cbor, Form::document}) {
    tamberlo::Chain<Tank_v2> tank;
    tank->litres = 9;
    const auto onto = [&](const char* json) -> MsgBase& {
      const std::string text = form == Form::cbor ? cbor(json) : json;
      if (form == Form::json) {
        return tamberlo::readJson<Tank_v2, Tank_v1>(tank, text);
      }
      if (form == Form::document) {
        return tamberlo::readRecord<Tank_v2, Tank_v1>(tank, Json::parse(text));
      }
      return tamberlo::readCbor<Tank_v2, Tank_v1>(
          tank, std::vector<std::uint8_t>(text.begin(), text.end()));
    };
    EXPECT_EQ(&onto(R"({"family":44,"version":1,"fields":{"level":7}})"),
              tank->getVersion<Tank_v1>());
    EXPECT_EQ(toJson(*tank),
              R"({"family":44,"version":2,"fields":{"level":7,"litres":50}})");
    tank->litres = 9;
    EXPECT_THROW(onto(R"({"family":44,"version":1,"fields":{"level":true}})"),
                 tamberlo::RecordError);
    EXPECT_EQ(tank->litres.get(), 9);  // a record refused changes nothing
  }
}

TEST(Records, KeysInAnyOrder) {
  Joined from;
  from.m->u64 = std::numeric_limits<std::uint64_t>::max();
  from.m->f = 0.1f;
  from.m->name = std::string("\xC3\xA9");
  const std::string text = toJson(*from.m);
  std::vector<std::string> sorted{nlohmann::json::parse(text).dump()};
  const std::string python =
      "python3 -c 'import json, sys; print(json.dumps(json.loads(sys.argv[1]), "
      "sort_keys=True), end=\"\")' '" +
      text + "' 2>/dev/null";
  if (FILE* out = popen(python.c_str(), "r")) {
    std::string printed(1024, '\0');
    printed.resize(std::fread(printed.data(), 1, printed.size(), out));
    if (pclose(out) == 0) sorted.push_back(printed);
  }
  for (const std::string& input : sorted) {
    for (Form form : {Form::json, Form::cbor, Form::document}) {
      Joined to;
      read(to.c.root, form, form == Form::cbor ? cbor(input.c_str()) : input);
      EXPECT_EQ(toJson(*to.m), text) << input;
    }
  }
  if (sorted.size() == 1) GTEST_SKIP() << "without python3";
}

TEST(Records, NumbersAtTheirEdges) {
  Joined j;
  const std::string text =
      R"({"family":40,"version":1,"fields":{"on":true,"i8":-128,"i16":0,)"
      R"("i32":0,"i64":0,"u8":24,"u16":0,"u32":0,"u64":0,"f":-0,"d":-0,)"
      R"("quality":0,"name":"twenty-four bytes of it.","reading":{"value":0,)"
      R"("unit":0,"span":{"low":-9223372036854775808,)"
      R"("high":-18446744073709551617}}}})";
  read(j.c.root, Form::json, text);
  EXPECT_EQ(
      toJson(*j.m),
      R"({"family":40,"version":1,"fields":{"on":true,"i8":-128,)"
      R"("i16":0,"i32":0,"i64":0,"u8":24,"u16":0,"u32":0,"u64":0,)"
      R"("f":-0.0,"d":-0.0,"quality":0,"name":"twenty-four bytes of )"
      R"(it.","reading":{"value":0.0,"unit":0,"span":{)"
      R"("low":-9.223372036854776e+18,"high":-1.8446744073709552e+19}}}})");
  // The CBOR heads' edge: 24 and a string of 24 bytes.
  EXPECT_EQ(tamberlo::toCbor(*j.m), Json::to_cbor(tamberlo::toRecord(*j.m)));
  std::string bytes = cbor(text.c_str());  // low as -2^63, then as -2^64
  bytes.at(bytes.find("\x3B\x7F") + 1) = '\xFF';
  read(j.c.root, Form::cbor, bytes);
  EXPECT_EQ(j.m->reading.get().span.get().low.get(), -0x1p64);
}

TEST(Records, FloatsAndDoublesRoundTripBitForBit) {
  using F = std::numeric_limits<float>;
  using D = std::numeric_limits<double>;
  const float floats[] = {0.1f,
                          -0.0f,
                          F::denorm_min(),
                          F::min(),
                          F::max(),
                          -F::max(),
                          7.0385307e-26f,
                          -F::infinity(),
                          floatOf(0x7fc00000u),
                          floatOf(0xffc00000u)};
  const double doubles[] = {0.1,           -0.0,          D::denorm_min(),
                            D::max(),      D::infinity(), -D::quiet_NaN(),
                            D::quiet_NaN()};
  Joined from;
  Joined to;
  for (std::size_t i = 0; i < std::size(floats); ++i) {
    from.m->f = floats[i];
    from.m->d = doubles[i % std::size(doubles)];
    for (Form form : {Form::json, Form::cbor, Form::document}) {
      read(to.c.root, form, record(*from.m, form));
      EXPECT_EQ(bitsOf(to.m->f.get()), bitsOf(floats[i])) << floats[i];
      EXPECT_EQ(toJson(*to.m), toJson(*from.m));
    }
  }
  const std::string kept = toJson(*to.m);
  EXPECT_EQ(kept.substr(kept.find("\"f\"")),
            R"("f":"-nan","d":5e-324,"quality":0,"name":"","reading":)"
            R"({"value":0.0,"unit":0,"span":{"low":0.0,"high":0.0}}}})");
}

TEST(Records, BadInputsThrowAndWriteNothing) {
  const std::string v2 = R"({"family":15,"version":2,"fields":{)";
  const std::string v40 = R"({"family":40,"version":1,"fields":{)";
  const std::string ok40 =
      R"("on":true,"i8":0,"i16":0,"i32":0,"i64":0,"u8":0,"u16":0,"u32":0,)"
      R"("u64":0,"f":0,"d":0,"quality":0,"name":"",)"
      R"("reading":{"value":0,"unit":0,"span":{"low":0,"high":0}})";
  std::string dup =
      cbor(R"({"family":15,"version":2,"fields":{"alt":1,"lat":2,"lng":3}})");
  dup.replace(dup.rfind("lng"), 3, "lat");
  const std::string in40 = cbor((v40 + ok40 + "}}").c_str());
  const std::string at = R"({"family":15,"version":2,"fields":{"alt":)";
  const std::string d40 = v40 + ok40.substr(0, ok40.find("\"d\"")) + "\"d\":";
  const std::string big(400, '9');
  const std::string w1 = R"({"family":41,"version":1,"fields":{"a":7,"b":)";
  const struct {
    Form form;
    std::string input;
    std::string message;
  } cases[] = {
      {Form::json, R"({"family":15,)",
       "record: not JSON: parse error at line 1, column 14: syntax error while "
       "parsing object key - unexpected end of input; expected string literal"},
      {Form::json, v2 + R"("alt":1,"lat":2,"lng":3}} x)",
       "record of family 15 version 2 (Msg15_v2): not JSON: parse error at "
       "line 1, column 62: syntax error while parsing value - invalid literal; "
       "last read: '3}} x'; expected end of input"},
      {Form::json, std::string(1000000, '['),
       "record: expected an object, got an array"},
      {Form::json, R"({"version":2,"family":15,"fields":{}})",
       "record of family 15 version 2 (Msg15_v2): field alt: missing"},
      {Form::document, v2 + R"("alt":1,"lat":2,"lng":3},"x":1})",
       "record of family 15 version 2 (Msg15_v2): unknown key \"x\""},
      {Form::json, R"({"fields":{"a":{"b":{"c":{}}}},"family":15})",
       "record: fields: nested deeper than the fields of Msg15_v5, Msg15_v4, "
       "Msg15_v3, Msg15_v2, Msg16_v2, Msg16_v1, Msg40_v1, Wide_v2, Wide_v1"},
      {Form::json, R"({"family":15,"family":15})",
       "record: the key \"family\" is given twice"},
      {Form::json, v2 + R"("alt":1,"lat":2,"lng":3},"fields":{}})",
       "record of family 15 version 2 (Msg15_v2): the key \"fields\" is given "
       "twice"},
      {Form::json, R"({"family":15,"version":2})",
       "record of family 15 version 2 (Msg15_v2): the key \"fields\" is "
       "missing"},
      {Form::json, R"({"family":"15"})",
       "record: family: expected an integer, got \"15\""},
      {Form::json, R"({"family":15,"version":4294967298})",
       "record: version: 4294967298 is out of range, -2147483648 to "
       "2147483647"},
      {Form::json, R"({"family":99,"version":1,"fields":{}})",
       "record: family 99 version 1 is none of Msg15_v5, Msg15_v4, Msg15_v3, "
       "Msg15_v2, Msg16_v2, Msg16_v1, Msg40_v1, Wide_v2, Wide_v1"},
      {Form::json, v2 + "\"alt\":" + std::string(1000000, '['),
       "record of family 15 version 2 (Msg15_v2): field alt: expected an "
       "integer, got an array"},
      {Form::json, v2 + R"("alt":1,"lat":2})",
       "record of family 15 version 2 (Msg15_v2): field lng: missing"},
      {Form::json, v2 + R"("alt":1,"lat":2,"lng":3,"speed":4}})",
       "record of family 15 version 2 (Msg15_v2): unknown field \"speed\""},
      {Form::json, v2 + R"("alt":1,"alt":2)",
       "record of family 15 version 2 (Msg15_v2): field alt: given twice"},
      {Form::json, v2 + R"("alt":"1")",
       "record of family 15 version 2 (Msg15_v2): field alt: expected an "
       "integer, got \"1\""},
      {Form::json, v2 + R"("alt":2147483648)",
       "record of family 15 version 2 (Msg15_v2): field alt: 2147483648 is out "
       "of range, -2147483648 to 2147483647"},
      {Form::json, v2 + R"("alt":1.5)",
       "record of family 15 version 2 (Msg15_v2): field alt: expected an "
       "integer, got 1.5"},
      {Form::json, v2 + R"("alt":1,"lat":1e39)",
       "record of family 15 version 2 (Msg15_v2): field lat: 1e+39 is beyond "
       "the range of float"},
      {Form::json, v2 + R"("alt":1,"lat":"NaN")",
       "record of family 15 version 2 (Msg15_v2): field lat: \"NaN\" is not a "
       "number; non-finite values are \"nan\", \"-nan\", \"inf\" and \"-inf\""},
      {Form::json, v2 + R"("alt":1,"lat":true)",
       "record of family 15 version 2 (Msg15_v2): field lat: expected a "
       "number, got true"},
      {Form::document,
       R"({"family":16,"version":1,"fields":{"att":{"yaw":{}}}})",
       "record of family 16 version 1 (Msg16_v1): field att.yaw: expected a "
       "number, got an object"},
      {Form::document,
       R"({"family":16,"version":1,"fields":{"att":{"yaw":1,"pitch":2}}})",
       "record of family 16 version 1 (Msg16_v1): field att.roll: missing"},
      {Form::json, R"({"family":16,"version":1,"fields":{"att":{"w":1}}})",
       "record of family 16 version 1 (Msg16_v1): unknown field \"att.w\""},
      {Form::json, v40 + R"("on":1)",
       "record of family 40 version 1 (Msg40_v1): field on: expected true or "
       "false, got 1"},
      {Form::json,
       v40 + R"("on":true,"i8":0,"i16":0,"i32":0,"i64":-9223372036854775809)",
       "record of family 40 version 1 (Msg40_v1): field i64: "
       "-9223372036854775809 is out of range, -9223372036854775808 to "
       "9223372036854775807"},
      {Form::json, v40 + R"("on":true,"i8":0,"i16":0,"i32":0,"i64":0,"u8":256)",
       "record of family 40 version 1 (Msg40_v1): field u8: 256 is out of "
       "range, 0 to 255"},
      {Form::json, d40 + "-1e400",
       "record of family 40 version 1 (Msg40_v1): field d: -1e400 is beyond "
       "the range of double"},
      {Form::json, d40 + big,
       "record of family 40 version 1 (Msg40_v1): field d: " + big +
           " is beyond the range of double"},
      {Form::json, w1 + "5000000000}}",
       "record of family 41 version 1 (Wide_v1): field b: 5000000000 would "
       "read back as 2147483647 after its conversion for Wide_v3"},
      {Form::cbor,
       cbor(R"({"family":41,"version":2,"fields":{"a":7,"b":-5000000000}})"),
       "record of family 41 version 2 (Wide_v2): field b: -5000000000 would "
       "read back as -2147483648 after its conversion for Wide_v3"},
      {Form::json,
       v40 + ok40.substr(0, ok40.find("\"quality")) + R"("quality":40000)",
       "record of family 40 version 1 (Msg40_v1): field quality: 40000 is out "
       "of range, -32768 to 32767"},
      {Form::json, v40 + ok40.substr(0, ok40.find("\"name")) + R"("name":5)",
       "record of family 40 version 1 (Msg40_v1): field name: expected a "
       "string, got 5"},
      {Form::json,
       v40 + ok40.substr(0, ok40.find("\"reading")) +
           R"("reading":{"value":0,"unit":256)",
       "record of family 40 version 1 (Msg40_v1): field reading.unit: 256 is "
       "out of range, 0 to 255"},
      {Form::cbor, in40.substr(0, in40.size() - 1),
       "record of family 40 version 1 (Msg40_v1): not CBOR: parse error at "
       "byte 129: syntax error while parsing CBOR value: unexpected end of "
       "input"},
      {Form::cbor, in40 + '\0',
       "record of family 40 version 1 (Msg40_v1): not CBOR: parse error at "
       "byte 130: syntax error while parsing CBOR value: expected end of "
       "input; last byte: 0x00"},
      {Form::cbor, dup,
       "record of family 15 version 2 (Msg15_v2): field lat: given twice"},
      {Form::cbor, "\xBB\x80" + std::string(7, '\0'),
       "record: not CBOR: parse error at byte 10: syntax error while parsing "
       "CBOR string: unexpected end of input"},
      {Form::cbor,
       in40.substr(0, in40.find("name") + 4) + "\x7B\x80" +
           std::string(7, '\0'),
       "record of family 40 version 1 (Msg40_v1): not CBOR: parse error at "
       "byte 99: syntax error while parsing CBOR string: unexpected end of "
       "input"},
      {Form::cbor,
       in40.substr(0, in40.find("name") + 4) + std::string(100000, '\x7F'),
       "record: not CBOR: a chunk of an indefinite-length string is itself of "
       "indefinite length at byte 91"},
      {Form::cbor,
       in40.substr(0, in40.find("i64") + 3) + "\x3B\x80" + std::string(7, 0),
       "record of family 40 version 1 (Msg40_v1): field i64: "
       "-9223372036854775809 is out of range, -9223372036854775808 to "
       "9223372036854775807"},
      {Form::cbor,
       cbor(
           R"({"family":40,"version":1,"fields":{"reading":{"span":{"low":[0]}}}})"),
       "record of family 40 version 1 (Msg40_v1): field reading.span.low: "
       "expected a number, got an array"},
      {Form::cbor, in40.substr(0, in40.find("name") + 4) + "\x62\xC3\x28",
       "record of family 40 version 1 (Msg40_v1): field name: a string that is "
       "not UTF-8"},
      {Form::cbor, in40.substr(0, in40.find("name") + 4) + "\xC1\x00",
       "record of family 40 version 1 (Msg40_v1): not CBOR: parse error at "
       "byte 90: syntax error while parsing CBOR value: invalid byte: 0xC1"},
  };
  Joined j;
  j.c.v4->lat = 45.0f;
  j.a1->att = angles(1.0f, 2.0f, 3.0f);
  j.m->name = std::string("kept");
  const std::string before = j.snapshot();
  for (const auto& c : cases) {
    expectRefused(j.c.root, c.form, c.input, c.message);
    EXPECT_EQ(j.snapshot(), before) << c.message;
  }
  // The lookup of a record without faults leaves a null entry under its
  // family, and writes nothing if it finds nothing.
  Chain15 lone;
  expectRefused(lone.root, Form::json, record(*j.a1, Form::json),
                "record of family 16 version 1 (Msg16_v1): not reachable "
                "from the root");
  EXPECT_EQ(toString(*lone.v4), "Msg15_v4{lat=0, lng=0, alt=0}");
  EXPECT_EQ(families(lone.root->roots),
            (MsgMap{{15, lone.root}, {16, nullptr}}));
}

}  // namespace
