// RecordParser: checks a record, event by event as nlohmann/json's SAX
// interface hands it over, against the fields of the class it names, and
// stages every value without writing to any message.
#ifndef TAMBERLO_RECORD_PARSER_H_
#define TAMBERLO_RECORD_PARSER_H_

#include <tamberlo/cbor_scan.h>
#include <tamberlo/record_error.h>
#include <tamberlo/record_values.h>

#include <cstddef>
#include <cstdint>
#include <limits>
#include <nlohmann/json.hpp>
#include <string>
#include <string_view>
#include <utility>

namespace tamberlo::detail {

/// One field of the class a record names, or the record's `fields` object
/// (entry 0).  The fields of an object are consecutive entries; a leaf
/// stages its value at `target` through `store`.
struct FieldNode {
  std::string_view name;
  std::size_t parent = 0;
  std::size_t first = 0;  ///< an object's first field
  std::size_t count = 0;  ///< an object's fields; 0 for a leaf
  void* target = nullptr;
  bool (*store)(void* target, RecordValue& value, std::string& why) = nullptr;
  bool seen = false;
};

/// Stores a record's value into the staged value of a leaf of type T.
template <typename T>
bool storeLeaf(void* target, RecordValue& value, std::string& why) {
  return readValue(value, *static_cast<T*>(target), why);
}

/// What the typed reader offers the parser: the classes a record may name.
struct ReaderClasses {
  /// Sets `nodes` and `className` to the class among the reader's that has
  /// `family` and `version`, with its values staged afresh; false if none.
  bool (*choose)(void* reader, std::int32_t family, std::int32_t version,
                 FieldNode*& nodes, std::string_view& className);
  /// The classes' names, for the message about a record of none of them.
  std::string (*names)();
  void* reader;
  /// The most arrays and maps a record of the classes nests, its top level
  /// included.
  std::size_t depth;
};

/// The record's top level, `{"family":F,"version":N,"fields":{...}}`, its
/// keys in any order.  Fields are checked as they come once the class is
/// known; given before it, they are skipped, and a second pass over the
/// same input (again()) reads them.  Any object or array where none belongs
/// is refused where it starts, and a skipped one that nests deeper than the
/// classes do, so the parser never goes deeper than the classes' fields.
class RecordParser {
 public:
  using Json = nlohmann::ordered_json;

  /// `format` ("JSON", "CBOR") names what a parse error says the input is
  /// not.
  RecordParser(const char* format, ReaderClasses classes)
      : format_(format), classes_(classes) {}

  /// Whether the whole record was read and checked.
  [[nodiscard]] bool done() const { return state_ == State::done; }
  /// Whether the record is whole but its fields came before its class was
  /// known, so that they were skipped.
  [[nodiscard]] bool skippedFields() const { return state_ == State::skipped; }
  /// Ready for a second pass over the same input, with the class that the
  /// first found.
  void again() {
    state_ = State::start;
    given_ = 0;
    lowestAt_ = 0;
  }

  /// The negative CBOR integers at or below -2^63 that the input holds,
  /// in order, each of which the parser is handed as -2^63 (readCbor).
  void lowest(const CborLowest* items, std::size_t count) {
    lowest_ = items;
    lowestCount_ = count;
  }

  /// Throws RecordError: `what` about the record, or about `field` (a
  /// FieldNode index; none for the top level).
  [[noreturn]] void fail(const std::string& what,
                         std::size_t field = kNone) const {
    std::string text = className_.empty()
                           ? std::string("record")
                           : recordOf(family_, version_, className_);
    if (field != kNone) text += ": field " + pathOf(field);
    throw RecordError(text + ": " + what);
  }

  // The SAX interface of nlohmann/json.
  bool null() { return onValue(RecordValue{}); }
  bool boolean(bool b) {
    RecordValue v{RecordValue::Type::boolean};
    v.boolean = b;
    return onValue(v);
  }
  bool number_integer(std::int64_t i) {
    RecordValue v{RecordValue::Type::integer};
    v.integer = i;
    // Only JSON text's -0 comes as a signed 0: CBOR has no -0 integer, and
    // a walk of a document hands over 0 as unsigned.
    v.negativeZero = i == 0;
    if (i == std::numeric_limits<std::int64_t>::min() &&
        lowestAt_ < lowestCount_) {
      // NOLINTNEXTLINE(cppcoreguidelines-pro-bounds-pointer-arithmetic)
      const std::uint64_t argument = lowest_[lowestAt_++].argument;
      if (argument > static_cast<std::uint64_t>(
                         std::numeric_limits<std::int64_t>::max())) {
        return onValue(belowInt64(argument));
      }
    }
    return onValue(v);
  }
  bool number_unsigned(std::uint64_t u) {
    RecordValue v{RecordValue::Type::unsignedInteger};
    v.unsignedInteger = u;
    return onValue(v);
  }
  bool number_float(double d, const std::string& text) {
    RecordValue v{RecordValue::Type::number};
    v.number = d;
    // An integer too big for 64 bits comes as a number; its text says so.
    if (isIntegerText(text)) v.numberText = text;
    return onValue(v);
  }
  bool string(std::string& s) {
    RecordValue v{RecordValue::Type::text};
    v.text = &s;
    return onValue(v);
  }
  bool binary(Json::binary_t& /*bytes*/) {
    return onValue(RecordValue{RecordValue::Type::bytes});
  }
  bool start_array(std::size_t /*count*/) {
    if (state_ == State::skipping) return deeper();
    return onValue(RecordValue{RecordValue::Type::array});
  }
  bool start_object(std::size_t /*count*/) {
    switch (state_) {
      case State::start:
        state_ = State::top;
        return true;
      case State::fieldsValue:
        if (nodes_ != nullptr) {
          state_ = State::inFields;
          at_ = 0;  // the fields object
          return true;
        }
        state_ = State::skipping;
        skippedFields_ = true;
        return deeper();
      case State::inFields:
        if (node(pending_).store != nullptr) break;
        at_ = pending_;
        return true;
      case State::skipping:
        return deeper();
      default:
        break;
    }
    return onValue(RecordValue{RecordValue::Type::object});
  }

  bool key(std::string& name) { return keyed(name); }
  // Only skipped arrays end: every other is refused where it starts.
  bool end_array() { return shallower(); }

  bool end_object() {
    switch (state_) {
      case State::inFields:
        leave();
        return true;
      case State::skipping:
        return shallower();
      default:  // State::top: the parser sends nothing else here
        finish();
        return true;
    }
  }

  bool parse_error(std::size_t /*at*/, const std::string& token,
                   const Json::exception& error) {
    // nlohmann/json's "number overflow": a number beyond double's range,
    // refused where it stands, which names the field.
    if (error.id == 406) {
      RecordValue v{RecordValue::Type::number};
      v.number = std::numeric_limits<double>::infinity();
      if (token.rfind('-', 0) == 0) v.number = -v.number;
      v.numberText = token;
      onValue(v);  // returns only for a skipped one
    }
    // Without nlohmann/json's "[json.exception.parse_error.101] ".
    const std::string_view what = error.what();
    const std::size_t tag = what.find("] ");
    fail(std::string("not ") + format_ + ": " +
         std::string(tag == std::string_view::npos ? what
                                                   : what.substr(tag + 2)));
  }

  /// A key handed over without the SAX interface's modifiable string.
  bool keyed(std::string_view name) {
    if (state_ == State::top) return topKey(name);
    if (state_ == State::skipping) return true;
    const FieldNode& object = node(at_);
    for (std::size_t i = object.first; i < object.first + object.count; ++i) {
      if (node(i).name == name) {
        if (node(i).seen) fail("given twice", i);
        node(i).seen = true;
        pending_ = i;
        return true;
      }
    }
    std::string field(name);
    if (at_ != 0) field = pathOf(at_) + "." + field;
    fail("unknown field " + inQuotes(field));
  }

 private:
  static constexpr std::size_t kNone = static_cast<std::size_t>(-1);

  enum class State : std::uint8_t {
    start,
    top,  // in the top level, between its members
    familyValue,
    versionValue,
    fieldsValue,
    inFields,
    skipping,
    skipped,  // whole, its fields skipped
    done
  };

  // The top level's keys, as bits of given_.
  static constexpr std::uint8_t kFamily = 1;
  static constexpr std::uint8_t kVersion = 2;
  static constexpr std::uint8_t kFields = 4;

  bool topKey(std::string_view name) {
    std::uint8_t key = 0;
    if (name == "family") {
      key = kFamily;
      state_ = State::familyValue;
    } else if (name == "version") {
      key = kVersion;
      state_ = State::versionValue;
    } else if (name == "fields") {
      key = kFields;
      state_ = State::fieldsValue;
    } else {
      fail("unknown key " + inQuotes(name));
    }
    if ((given_ & key) != 0) {
      fail("the key " + inQuotes(name) + " is given twice");
    }
    given_ |= key;
    return true;
  }

  // Once family and version are given, the class that has them, unless a
  // first pass found it.
  void choose() {
    if ((given_ & (kFamily | kVersion)) != (kFamily | kVersion) ||
        nodes_ != nullptr) {
      return;
    }
    if (!classes_.choose(classes_.reader, family_, version_, nodes_,
                         className_)) {
      fail("family " + std::to_string(family_) + " version " +
           std::to_string(version_) + " is none of " + classes_.names());
    }
  }

  // The end of the top level: every key given.
  void finish() {
    if ((given_ & kFamily) == 0) fail("the key \"family\" is missing");
    if ((given_ & kVersion) == 0) fail("the key \"version\" is missing");
    if ((given_ & kFields) == 0) fail("the key \"fields\" is missing");
    state_ = skippedFields_ ? State::skipped : State::done;
    skippedFields_ = false;
  }

  // An object or array opened among skipped fields: no class nests it.
  bool deeper() {
    // The top level is open too.
    if (++skipDepth_ + 1 > classes_.depth) {
      fail("fields: nested deeper than the fields of " + classes_.names());
    }
    return true;
  }
  bool shallower() {
    if (--skipDepth_ == 0) state_ = State::top;
    return true;
  }

  // A CBOR integer of -1 - `argument`, below -2^63.
  RecordValue belowInt64(std::uint64_t argument) {
    RecordValue v{RecordValue::Type::number};
    constexpr std::uint64_t kMax = std::numeric_limits<std::uint64_t>::max();
    v.number = argument == kMax ? -0x1p64 : -static_cast<double>(argument + 1);
    numberText_ = argument == kMax ? "-18446744073709551616"
                                   : "-" + std::to_string(argument + 1);
    v.numberText = numberText_;
    return v;
  }

  bool onValue(RecordValue value) {
    std::string why;
    switch (state_) {
      case State::familyValue:
        if (!readInteger(value, family_, why)) fail("family: " + why);
        state_ = State::top;
        choose();
        return true;
      case State::versionValue:
        if (!readInteger(value, version_, why)) fail("version: " + why);
        state_ = State::top;
        choose();
        return true;
      case State::fieldsValue:
        fail("fields: " + expected("an object", value));
      case State::skipping:
        return true;
      case State::inFields:
        break;
      default:
        fail(expected("an object", value));
    }
    FieldNode& leaf = node(pending_);
    if (leaf.store == nullptr) fail(expected("an object", value), pending_);
    if (!leaf.store(leaf.target, value, why)) fail(why, pending_);
    return true;
  }

  // The end of an object of fields: every one given, in the order listed.
  void leave() {
    const FieldNode& object = node(at_);
    for (std::size_t i = object.first; i < object.first + object.count; ++i) {
      if (!node(i).seen) fail("missing", i);
    }
    if (at_ == 0) {
      state_ = State::top;
    } else {
      at_ = object.parent;
    }
  }

  // The typed reader's table, as long as its class needs.
  [[nodiscard]] FieldNode& node(std::size_t at) const {
    // NOLINTNEXTLINE(cppcoreguidelines-pro-bounds-pointer-arithmetic)
    return nodes_[at];
  }

  [[nodiscard]] std::string pathOf(std::size_t field) const {
    std::string text(node(field).name);
    for (std::size_t at = node(field).parent; at != 0; at = node(at).parent) {
      text.insert(0, ".").insert(0, node(at).name);
    }
    return text;
  }

  const char* format_;
  ReaderClasses classes_;
  State state_ = State::start;
  std::uint8_t given_ = 0;  // the top level's keys given so far
  bool skippedFields_ = false;
  std::size_t skipDepth_ = 0;  // objects and arrays open among skipped fields
  std::int32_t family_ = 0;
  std::int32_t version_ = 0;
  std::string_view className_;
  FieldNode* nodes_ = nullptr;
  std::size_t at_ = 0;       // the object whose fields come now
  std::size_t pending_ = 0;  // the field whose value comes next
  const CborLowest* lowest_ = nullptr;
  std::size_t lowestCount_ = 0;
  std::size_t lowestAt_ = 0;
  std::string numberText_;  // of the last integer below -2^63
};

}  // namespace tamberlo::detail

#endif  // TAMBERLO_RECORD_PARSER_H_
