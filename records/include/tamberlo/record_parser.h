// RecordParser: checks a record, event by event as nlohmann/json's SAX
// interface hands it over, against the fields of the class it names, and
// stages every value without writing to any message.
#ifndef TAMBERLO_RECORD_PARSER_H_
#define TAMBERLO_RECORD_PARSER_H_

#include <tamberlo/record_error.h>
#include <tamberlo/record_values.h>

#include <cstddef>
#include <cstdint>
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
};

/// The record's top level, `{"family":F,"version":N,"fields":{...}}`, with
/// its keys in that order; a reader must know the class before it can
/// check a field.  Any object or array where none belongs is refused where
/// it starts, so the parser never goes deeper than the classes' fields.
class RecordParser {
 public:
  using Json = nlohmann::ordered_json;

  /// `format` ("JSON", "CBOR") names what a parse error says the input is
  /// not.
  RecordParser(const char* format, ReaderClasses classes)
      : format_(format), classes_(classes) {}

  /// Whether the whole record was read and checked.
  [[nodiscard]] bool done() const { return state_ == State::done; }

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
    if (!text.empty() &&
        text.find_first_not_of("-0123456789") == std::string::npos) {
      v.integerText = text;
    }
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
    return onValue(RecordValue{RecordValue::Type::array});
  }
  bool start_object(std::size_t /*count*/) {
    if (state_ == State::start) {
      state_ = State::family;
    } else if (state_ == State::fieldsValue) {
      state_ = State::inFields;  // at_ is 0, the fields object
    } else if (state_ == State::inFields && node(pending_).store == nullptr) {
      at_ = pending_;
    } else {
      return onValue(RecordValue{RecordValue::Type::object});
    }
    return true;
  }

  bool key(std::string& name) { return keyed(name); }
  // Never reached: every array is refused where it starts.
  static bool end_array() { return false; }

  bool end_object() {
    switch (state_) {
      case State::family:
        fail("the key \"family\" is missing");
      case State::version:
        fail("the key \"version\" is missing");
      case State::fields:
        fail("the key \"fields\" is missing");
      case State::inFields:
        leave();
        break;
      default:  // State::end: the parser sends nothing else here
        state_ = State::done;
    }
    return true;
  }

  bool parse_error(std::size_t /*at*/, const std::string& /*token*/,
                   const Json::exception& error) {
    // Without nlohmann/json's "[json.exception.parse_error.101] ".
    const std::string_view what = error.what();
    const std::size_t tag = what.find("] ");
    fail(std::string("not ") + format_ + ": " +
         std::string(tag == std::string_view::npos ? what
                                                   : what.substr(tag + 2)));
  }

  /// A key handed over without the SAX interface's modifiable string.
  bool keyed(std::string_view name) {
    switch (state_) {
      case State::family:
        return topKey(name, "family", State::familyValue);
      case State::version:
        return topKey(name, "version", State::versionValue);
      case State::fields:
        return topKey(name, "fields", State::fieldsValue);
      case State::inFields:
        break;
      default:
        return topKey(name, "", state_);
    }
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
    family,
    familyValue,
    version,
    versionValue,
    fields,
    fieldsValue,
    inFields,
    end,
    done
  };

  bool topKey(std::string_view name, std::string_view wanted, State next) {
    if (name == wanted) {
      state_ = next;
      return true;
    }
    const bool given = (name == "family" && state_ > State::family) ||
                       (name == "version" && state_ > State::version) ||
                       (name == "fields" && state_ > State::fields);
    if (given) fail("the key " + inQuotes(name) + " is given twice");
    if (wanted.empty()) fail("unknown key " + inQuotes(name));
    fail("expected the key \"" + std::string(wanted) + "\", got " +
         inQuotes(name));
  }

  bool onValue(RecordValue value) {
    std::string why;
    switch (state_) {
      case State::familyValue:
        if (!readInteger(value, family_, why)) fail("family: " + why);
        state_ = State::version;
        return true;
      case State::versionValue:
        if (!readInteger(value, version_, why)) fail("version: " + why);
        if (!classes_.choose(classes_.reader, family_, version_, nodes_,
                             className_)) {
          fail("family " + std::to_string(family_) + " version " +
               std::to_string(version_) + " is none of " + classes_.names());
        }
        state_ = State::fields;
        return true;
      case State::fieldsValue:
        fail("fields: " + expected("an object", value));
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
      state_ = State::end;
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
  std::int32_t family_ = 0;
  std::int32_t version_ = 0;
  std::string_view className_;
  FieldNode* nodes_ = nullptr;
  std::size_t at_ = 0;       // the object whose fields come now
  std::size_t pending_ = 0;  // the field whose value comes next
};

}  // namespace tamberlo::detail

#endif  // TAMBERLO_RECORD_PARSER_H_
