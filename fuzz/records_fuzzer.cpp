// Feeds its input, as JSON text and as CBOR bytes, and as the document
// either parses to, to a reader of families 15 and 16 and of family 40,
// which holds a field of every type records hold.  Each read either throws
// RecordError and leaves every object and map as it was, or succeeds, and then
// the version it named reads back the record's values, converted as
// docs/conversions.md says where that version converts (expected.h); its direct
// writers give exactly the document's text and bytes; and where nothing
// converts, reading its own record again changes nothing.  A mismatch aborts.
//
// An input that starts with 0xFE (neither JSON nor CBOR) builds a family-40
// record instead, its top-level keys in an order and each value picked by
// the rest of the input, mostly at or just beyond its field's limits, some
// numbers as only text and bytes state them (-0, beyond 64 bits, beyond
// double), and feeds its JSON text and its CBOR.
#include <tamberlo/records.h>
#include <tamberlo/tamberlo.h>
#include <tamberlo/to_string.h>

#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "every_type.h"
#include "expected.h"
#include "input.h"

namespace {

using Json = nlohmann::ordered_json;
using Bytes = std::vector<std::uint8_t>;

void check(bool ok, const char* what) {
  if (ok) return;
  std::fprintf(stderr, "mismatch: %s\n", what);
  std::abort();
}

// The value a field of type T must hold after reading `given`.
template <typename T>
bool sameValue(T& value, const Json& given);

template <typename Object>
bool sameFields(Object& object, const Json& given) {
  bool same = given.is_object() &&
              given.size() ==
                  std::tuple_size_v<
                      typename tamberlo::detail::FieldTypesOf<Object>::Values>;
  tamberlo::forEachField(object, [&](std::string_view name, auto& element) {
    const auto found = given.find(std::string(name));
    same = same && found != given.end() && sameValue(element.get(), *found);
  });
  return same;
}

template <typename Real>
Real realOf(const Json& given) {
  if (given.is_string()) {
    const std::string name = given.get<std::string>();
    const Real inf = std::numeric_limits<Real>::infinity();
    const Real nan = std::numeric_limits<Real>::quiet_NaN();
    return name == "inf"    ? inf
           : name == "-inf" ? -inf
           : name == "nan"  ? nan
                            : std::copysign(nan, Real{-1});
  }
  if (given.is_number_unsigned()) {
    return static_cast<Real>(given.get<std::uint64_t>());
  }
  if (given.is_number_integer()) {
    return static_cast<Real>(given.get<std::int64_t>());
  }
  return static_cast<Real>(given.get<double>());
}

template <typename T>
bool sameValue(T& value, const Json& given) {
  if constexpr (std::is_same_v<T, bool>) {
    return given.is_boolean() && given.get<bool>() == value;
  } else if constexpr (std::is_integral_v<T> || std::is_enum_v<T>) {
    using Integer = typename tamberlo::detail::IntegerOf<T>::type;
    const auto number = static_cast<Integer>(value);
    if (!given.is_number_integer()) return false;
    // JSON text's -0 is a signed integer.
    const bool wide = given.is_number_unsigned();
    if constexpr (std::is_signed_v<Integer>) {
      if (!wide) return given.get<std::int64_t>() == number;
      if (number < 0) return false;
    } else if (!wide) {
      return given.get<std::int64_t>() == 0 && number == 0;
    }
    return given.get<std::uint64_t>() == static_cast<std::uint64_t>(number);
  } else if constexpr (std::is_floating_point_v<T>) {
    const T want = realOf<T>(given);
    return std::memcmp(&want, &value, sizeof want) == 0;
  } else if constexpr (std::is_same_v<T, std::string>) {
    return given.is_string() && given.get<std::string>() == value;
  } else {
    return sameFields(value, given);
  }
}

// Families 15, 16 and 40, joined so that family 15's root reaches them
// all; built once, reachable for the whole run.
struct World {
  MsgBase* root = MsgBase::getInstance(15);
  Msg15_v5* v5 = root->getVersion<Msg15_v5>();
  Msg15_v4* v4 = root->getVersion<Msg15_v4>();
  Msg15_v3* v3 = root->getVersion<Msg15_v3>();
  Msg15_v2* v2 = root->getVersion<Msg15_v2>();
  MsgMap known{{15, root}};
  Msg16_v2* a2 = new Msg16_v2(known);
  Msg16_v1* a1 = a2->getVersion<Msg16_v1>();
  Msg40_v1* m = new Msg40_v1(known);

  // The stored values back to zero, so that each input starts alike.
  void reset() {
    v5->position = Position{};
    a2->att = Quaternions{};
    tamberlo::forEachField(*m, [](std::string_view /*name*/, auto& element) {
      element.set(std::remove_reference_t<decltype(element.get())>{});
    });
  }

  // Every field of every version, and the keys of every map.
  std::string snapshot() {
    std::string text = tamberlo::toString(*v2) + tamberlo::toString(*v3) +
                       tamberlo::toString(*v4) + tamberlo::toString(*v5) +
                       tamberlo::toString(*a1) + tamberlo::toString(*a2) +
                       tamberlo::toJson(*m);
    for (MsgBase* o :
         {root, static_cast<MsgBase*>(v4), static_cast<MsgBase*>(v3),
          static_cast<MsgBase*>(v2), static_cast<MsgBase*>(a2),
          static_cast<MsgBase*>(a1), static_cast<MsgBase*>(m)}) {
      for (const MsgMap* map : {&o->roots, &o->older, &o->peer}) {
        for (const auto& entry : *map) {
          text += ' ' + std::to_string(entry.first);
        }
      }
    }
    return text;
  }

  MsgBase& read(bool cbor, const std::uint8_t* data, std::size_t size) {
    if (cbor) {
      return tamberlo::readCbor<Msg15_v5, Msg15_v4, Msg15_v3, Msg15_v2,
                                Msg16_v2, Msg16_v1, Msg40_v1>(root, data, size);
    }
    return tamberlo::readJson<Msg15_v5, Msg15_v4, Msg15_v3, Msg15_v2, Msg16_v2,
                              Msg16_v1, Msg40_v1>(
        root, std::string_view(reinterpret_cast<const char*>(data), size));
  }

  // What the version written reads back, and writes.
  void checkWritten(MsgBase& written, const Json& fields) {
    if (&written == v3 || &written == v2) {
      Msg15_v3& older = *v3;  // both see the same feet
      const float metres =
          expected::metresFromFeet(fields.at("alt").get<std::int32_t>());
      check(sameValue(older.lat.get(), fields.at("lat")) &&
                sameValue(older.lng.get(), fields.at("lng")) &&
                older.alt.get() == expected::feetFromMetres(metres),
            "a feet version reads back its record");
    } else if (&written == a1) {
      const auto& att = fields.at("att");
      const auto q = expected::quaternionFromAngles(
          realOf<float>(att.at("yaw")), realOf<float>(att.at("pitch")),
          realOf<float>(att.at("roll")));
      check(expected::attitudeMatches(q[0], q[1], q[2], q[3], a1->att.get()),
            "Msg16_v1 reads back its record's attitude");
    } else {
      withClass(written, [&](auto& version) {
        check(sameFields(version, fields), "a version reads back its record");
        const std::string text = tamberlo::toJson(version);
        read(false, reinterpret_cast<const std::uint8_t*>(text.data()),
             text.size());
        check(tamberlo::toJson(version) == text, "JSON reads back as itself");
        const Bytes bytes = tamberlo::toCbor(version);
        read(true, bytes.data(), bytes.size());
        check(tamberlo::toCbor(version) == bytes, "CBOR reads back as itself");
      });
    }
    withAnyClass(written, [&](auto& version) { checkWrites(version); });
  }

  // The direct writers give the document's text, and the bytes that
  // nlohmann/json writes for what theirs hold.
  template <typename Version>
  static void checkWrites(Version& version) {
    const Json document = tamberlo::toRecord(version);
    check(tamberlo::toJson(version) == document.dump(),
          "toJson is the document's text");
    const Bytes bytes = tamberlo::toCbor(version);
    check(Json::to_cbor(Json::from_cbor(bytes)) == bytes,
          "toCbor writes what nlohmann/json writes");
  }

  // Calls f with the written version, typed, unless it converts.
  template <typename F>
  void withClass(MsgBase& written, F&& f) {
    if (&written == v5) f(*v5);
    if (&written == v4) f(*v4);
    if (&written == a2) f(*a2);
    if (&written == m) f(*m);
  }
  template <typename F>
  void withAnyClass(MsgBase& written, F&& f) {
    withClass(written, f);
    if (&written == v3) f(*v3);
    if (&written == v2) f(*v2);
    if (&written == a1) f(*a1);
  }
};

World& world() {
  static auto* const w = new World;
  return *w;
}

// A value as the record states it, and the value it must read as.
struct Picked {
  Json written;
  Json meant;
};

// Numbers that JSON text and CBOR state and a document cannot hold: each
// as text, as CBOR bytes, and as what a float or double reads.  A record
// holds the string "\x01" and the edge's digit in its place until it is
// written (withEdges).
struct Edge {
  std::string text;
  std::string cbor;
  double real;
};
const std::array<Edge, 6>& edges() {
  static const std::array<Edge, 6> kEdges{{
      {"-0", std::string("\xF9\x80\x00", 3), -0.0},
      {"-9223372036854775809", "\x3B\x80" + std::string(7, '\0'), -0x1p63},
      {"-18446744073709551616", "\x3B" + std::string(8, '\xFF'), -0x1p64},
      {"18446744073709551616", "\xFB\x43\xF0" + std::string(6, '\0'), 0x1p64},
      {"1e400", "\xFB\x7F\xF0" + std::string(6, '\0'), HUGE_VAL},
      {std::string(400, '9'), "\xFB\xFF\xF0" + std::string(6, '\0'), -HUGE_VAL},
  }};
  return kEdges;
}

// `out`, JSON text or CBOR bytes, with each edge in its marker's place.
std::string withEdges(std::string out, bool cbor) {
  for (std::size_t k = 0; k < edges().size(); ++k) {
    const char digit = static_cast<char>('0' + k);
    const std::string marker = cbor ? std::string("\x62\x01") + digit
                                    : std::string("\"\\u0001") + digit + '"';
    const std::string& edge = cbor ? edges().at(k).cbor : edges().at(k).text;
    for (std::size_t at = out.find(marker); at != std::string::npos;
         at = out.find(marker, at + edge.size())) {
      out.replace(at, marker.size(), edge);
    }
  }
  return out;
}

// An edge for a field of type T.  Only -0 reads into an integer, as 0.
template <typename T>
Picked pickEdge(Input& in) {
  const std::size_t k = in.below(edges().size());
  const Json marker(std::string("\x01") + static_cast<char>('0' + k));
  if constexpr (std::is_floating_point_v<T>) {
    return {marker, Json(edges().at(k).real)};
  } else {
    return {marker, Json(std::int64_t{0})};
  }
}

template <typename Object>
Picked pickFields(Input& in, Object& object);

// A value for a field of type T, as the input picks it: of the field's
// type, mostly at or beyond its limits, or now and then of another type.
template <typename T>
Json pickValue(Input& in) {
  if (in.below(16) == 0) return Json(in.i32());
  if constexpr (std::is_same_v<T, bool>) {
    return Json(in.below(2) == 0);
  } else if constexpr (std::is_integral_v<T> || std::is_enum_v<T>) {
    using Limits =
        std::numeric_limits<typename tamberlo::detail::IntegerOf<T>::type>;
    const auto low = static_cast<std::int64_t>(Limits::min());
    const auto high = static_cast<std::uint64_t>(Limits::max());
    const std::uint64_t wide = static_cast<std::uint64_t>(in.u32())
                               << in.below(33);
    switch (in.below(6)) {
      case 0:
        return Json(low);
      case 1:  // below the lowest, where an int64 holds it
        return Json(low == std::numeric_limits<std::int64_t>::min() ? low
                                                                    : low - 1);
      case 2:
        return Json(high);
      case 3:
        return Json(high + 1);  // 0 beyond uint64
      case 4:
        return Json(wide);
      default:
        return Json(static_cast<std::int64_t>(~wide));
    }
  } else if constexpr (std::is_floating_point_v<T>) {
    const double number = in.below(2) == 0
                              ? static_cast<double>(in.f32())
                              : std::ldexp(static_cast<double>(in.f32()),
                                           static_cast<int>(in.below(64)));
    if (std::isfinite(number)) return Json(number);
    return Json(tamberlo::detail::nonFiniteName(number));
  } else {
    static_assert(std::is_same_v<T, std::string>);
    std::string text;
    for (std::size_t n = in.below(8); n > 0; --n) {
      const std::uint8_t byte = in.byte();
      text += static_cast<char>(byte == 1 ? 2 : byte);  // 1 marks edges
    }
    return Json(text);
  }
}

template <typename T>
Picked pick(Input& in) {
  if constexpr (tamberlo::detail::hasFields<T>) {
    T object;
    return pickFields(in, object);
  } else {
    constexpr bool kNumber = !std::is_same_v<T, bool> &&
                             (std::is_arithmetic_v<T> || std::is_enum_v<T>);
    if constexpr (kNumber) {
      if (in.below(8) == 0) return pickEdge<T>(in);
    }
    Json value = pickValue<T>(in);
    // As a document parsed from the text holds it: a non-negative integer
    // as unsigned, a string without what is not UTF-8, which JSON text
    // drops (below) and readCbor refuses.
    Json meant =
        Json::parse(value.dump(-1, ' ', false, Json::error_handler_t::ignore));
    return {std::move(value), std::move(meant)};
  }
}

template <typename Object>
Picked pickFields(Input& in, Object& object) {
  Picked fields{Json::object(), Json::object()};
  tamberlo::forEachField(object, [&](std::string_view name, auto& element) {
    Picked value = pick<std::remove_reference_t<decltype(element.get())>>(in);
    fields.written[std::string(name)] = std::move(value.written);
    fields.meant[std::string(name)] = std::move(value.meant);
  });
  return fields;
}

// One read: refused with nothing changed, or accepted, and then the
// version it named reads back what `document()` gives, unless that is null
// (not known).  True if accepted.
template <typename Read, typename Document>
bool attempt(World& w, Read&& read, Document&& document) {
  w.reset();
  const std::string before = w.snapshot();
  MsgBase* written = nullptr;
  try {
    written = &read();
  } catch (const tamberlo::RecordError&) {
    check(w.snapshot() == before, "a refused record changed nothing");
    return false;
  }
  const Json given = document();
  if (!given.is_null()) w.checkWritten(*written, given.at("fields"));
  return true;
}

// Whether CBOR bytes hold an integer below -2^63, which nlohmann/json's
// document holds as another number.
bool belowInt64(const std::uint8_t* data, std::size_t size) {
  tamberlo::detail::CborScan<8> scan(data, size);
  scan.run();
  for (const tamberlo::detail::CborLowest& item : scan.lowest()) {
    if (item.argument >> 63 != 0) return true;
  }
  return false;
}

// The input through readJson or readCbor, then as a document through
// readRecord: any JSON text that parses (nlohmann/json's JSON parser does
// not recurse), CBOR only once it has read, since nlohmann/json's own CBOR
// reader is what readCbor's scan guards.  What the input means is what
// its document holds, or `meant`.
void feed(World& w, const std::uint8_t* data, std::size_t size, bool cbor,
          const Json* meant = nullptr) {
  const bool accepted = attempt(
      w, [&]() -> MsgBase& { return w.read(cbor, data, size); },
      [&] {
        if (meant != nullptr) return *meant;
        if (!cbor) return Json::parse(data, data + size);
        return belowInt64(data, size) ? Json()
                                      : Json::from_cbor(data, data + size);
      });
  if (cbor && !accepted) return;
  const Json document = cbor ? Json::from_cbor(data, data + size)
                             : Json::parse(data, data + size, nullptr, false);
  if (document.is_discarded()) return;
  attempt(
      w,
      [&]() -> MsgBase& {
        return tamberlo::readRecord<Msg15_v5, Msg15_v4, Msg15_v3, Msg15_v2,
                                    Msg16_v2, Msg16_v1, Msg40_v1>(w.root,
                                                                  document);
      },
      [&]() -> const Json& { return document; });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  World& w = world();
  if (size == 0 || data[0] != 0xFE) {
    feed(w, data, size, false);
    feed(w, data, size, true);
    return 0;
  }
  Input in(data + 1, size - 1);
  const std::size_t order = in.below(6);  // of the top-level keys
  Picked fields = pickFields(in, *w.m);
  const Json meant = {{"fields", fields.meant}};
  const std::array<const char*, 3> keys{"family", "version", "fields"};
  const std::array<Json, 3> values{Msg40_v1::familyId, Msg40_v1::versionNo,
                                   std::move(fields.written)};
  Json record = Json::object();
  for (std::size_t k : {order % 3, (order % 3 + 1 + order / 3) % 3,
                        (order % 3 + 2 - order / 3) % 3}) {
    record[keys.at(k)] = values.at(k);
  }
  const Bytes encoded = Json::to_cbor(record);
  const std::string bytes =
      withEdges(std::string(encoded.begin(), encoded.end()), true);
  feed(w, reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(),
       true, &meant);
  // JSON text holds UTF-8 only.
  const std::string text = withEdges(
      record.dump(-1, ' ', false, Json::error_handler_t::ignore), false);
  feed(w, reinterpret_cast<const std::uint8_t*>(text.data()), text.size(),
       false, &meant);
  return 0;
}
