// Writing records: a version's fields, read through its elements, as a
// document (toRecord), as that document's JSON text (toJson) and as its
// CBOR bytes (toCbor).
#ifndef TAMBERLO_RECORD_WRITE_H_
#define TAMBERLO_RECORD_WRITE_H_

#include <tamberlo/fields.h>
#include <tamberlo/record_error.h>
#include <tamberlo/record_types.h>
#include <tamberlo/record_values.h>

#include <array>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <nlohmann/json.hpp>
#include <string>
#include <string_view>
#include <tuple>
#include <type_traits>
#include <utility>
#include <vector>

namespace tamberlo {
namespace detail {

// The names from the record's fields down to one field, innermost first.
struct FieldPath {
  std::string_view name;
  const FieldPath* outer;
};

inline std::string pathText(const FieldPath& path) {
  std::string text(path.name);
  for (const FieldPath* at = path.outer; at != nullptr; at = at->outer) {
    text.insert(0, ".").insert(0, at->name);
  }
  return text;
}

// Walks a version's fields into a sink, which writes one of the three
// forms: beginObject(count), key(name), a value, endObject().
template <typename Sink, typename Version>
class RecordEmitter {
 public:
  explicit RecordEmitter(Sink& sink) : sink_(sink) {}

  void record(Version& version) {
    checkRecordClass<Version>();
    sink_.beginObject(3);
    sink_.key("family");
    sink_.integer(Version::familyId);
    sink_.key("version");
    sink_.integer(Version::versionNo);
    sink_.key("fields");
    object(version, nullptr);
    sink_.endObject();
  }

 private:
  template <typename Object>
  void object(Object& object, const FieldPath* outer) {
    sink_.beginObject(std::tuple_size_v<typename FieldTypesOf<Object>::Values>);
    forEachField(object, [&](std::string_view name, auto& element) {
      sink_.key(name);
      value(element.get(), FieldPath{name, outer});
    });
    sink_.endObject();
  }

  // A type records do not hold writes nothing: checkRecordClass has
  // refused it, and no second error should hide that one.
  template <typename T>
  void value(T& value, const FieldPath& path) {
    if constexpr (std::is_same_v<T, bool>) {
      sink_.boolean(value);
    } else if constexpr (std::is_integral_v<T> || std::is_enum_v<T>) {
      const auto number = static_cast<typename IntegerOf<T>::type>(value);
      if constexpr (std::is_signed_v<decltype(number)>) {
        sink_.integer(number);
      } else {
        sink_.unsignedInteger(number);
      }
    } else if constexpr (std::is_same_v<T, float> ||
                         std::is_same_v<T, double>) {
      if (std::isfinite(value)) {
        sink_.number(value);
      } else {
        sink_.text(nonFiniteName(value));
      }
    } else if constexpr (std::is_same_v<T, std::string>) {
      // JSON text is UTF-8; so is every record, whatever its form.
      if (!isUtf8(value)) {
        throw RecordError(recordOf(Version::familyId, Version::versionNo,
                                   fieldsOf<Version>().className) +
                          ": field " + pathText(path) +
                          ": a string that is not UTF-8");
      }
      sink_.text(value);
    } else if constexpr (hasFields<T>) {
      object(value, &path);
    }
  }

  Sink& sink_;
};

// The record as a document.  Each object is filled completely before its
// parent gets its next member, so the pointers to the open ones stay valid.
class DocumentSink {
 public:
  void beginObject(std::size_t /*count*/) {
    if (open_.empty()) {
      open_.push_back(&document_);
    } else {
      open_.push_back(&put(nlohmann::ordered_json::object()));
    }
  }
  void key(std::string_view name) { key_ = name; }
  void endObject() { open_.pop_back(); }
  void integer(std::int64_t value) { put(value); }
  void unsignedInteger(std::uint64_t value) { put(value); }
  void boolean(bool value) { put(value); }
  template <typename Real>
  void number(Real value) {
    put(recordNumber(value));
  }
  void text(std::string_view value) { put(value); }

  nlohmann::ordered_json take() { return std::move(document_); }

 private:
  nlohmann::ordered_json& put(nlohmann::ordered_json value) {
    return (*open_.back())[key_] = std::move(value);
  }

  nlohmann::ordered_json document_ = nlohmann::ordered_json::object();
  std::vector<nlohmann::ordered_json*> open_;
  std::string key_;
};

// The document's dump(), written directly: without indentation, members
// are separated by commas only, and numbers and strings are written by
// nlohmann/json itself.  Keys are field names, C++ identifiers, which JSON
// needs no escapes for.
class JsonTextSink {
 public:
  explicit JsonTextSink(std::string& out) : out_(out) {}

  void beginObject(std::size_t /*count*/) { out_ += '{'; }
  void key(std::string_view name) {
    if (out_.back() != '{') out_ += ',';
    out_ += '"';
    out_ += name;
    out_ += "\":";
  }
  void endObject() { out_ += '}'; }
  void integer(std::int64_t value) { decimal(value); }
  void unsignedInteger(std::uint64_t value) { decimal(value); }
  void boolean(bool value) { out_ += value ? "true" : "false"; }
  template <typename Real>
  void number(Real value) {
    out_ += nlohmann::ordered_json(recordNumber(value)).dump();
  }
  void text(std::string_view value) {
    out_ += nlohmann::ordered_json(value).dump();
  }

 private:
  template <typename I>
  void decimal(I value) {
    std::array<char, 24> text{};
    const char* end =
        std::to_chars(text.data(), text.data() + text.size(), value).ptr;
    out_.append(text.data(), static_cast<std::size_t>(end - text.data()));
  }

  std::string& out_;
};

// The document's CBOR bytes as nlohmann/json's to_cbor writes them, a
// float field holding its own value: every length and integer in the
// shortest head, a number as a single-precision float where that holds it
// exactly, as every float does, else as a double.
class CborSink {
 public:
  explicit CborSink(std::vector<std::uint8_t>& out) : out_(out) {}

  void beginObject(std::size_t count) { head(0xA0, count); }
  void key(std::string_view name) { text(name); }
  void endObject() {}
  void integer(std::int64_t value) {
    if (value >= 0) {
      head(0x00, static_cast<std::uint64_t>(value));
    } else {
      head(0x20, static_cast<std::uint64_t>(-(value + 1)));
    }
  }
  void unsignedInteger(std::uint64_t value) { head(0x00, value); }
  void boolean(bool value) { out_.push_back(value ? 0xF5 : 0xF4); }
  void number(float value) {
    std::uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    out_.push_back(0xFA);
    bigEndian(bits, sizeof bits);
  }
  void number(double value) {
    constexpr double kMax = std::numeric_limits<float>::max();
    if (value >= -kMax && value <= kMax &&
        static_cast<double>(static_cast<float>(value)) == value) {
      number(static_cast<float>(value));
    } else {
      std::uint64_t bits = 0;
      std::memcpy(&bits, &value, sizeof bits);
      out_.push_back(0xFB);
      bigEndian(bits, sizeof bits);
    }
  }
  void text(std::string_view value) {
    head(0x60, value.size());
    out_.insert(out_.end(), value.begin(), value.end());
  }

 private:
  void head(std::uint8_t major, std::uint64_t argument) {
    if (argument < 24) {
      out_.push_back(static_cast<std::uint8_t>(major | argument));
      return;
    }
    // Additional information 24 to 27: 1, 2, 4 or 8 bytes follow.
    std::uint8_t info = 24;
    std::size_t bytes = 1;
    while (bytes < 8 && argument >> (8 * bytes) != 0) {
      ++info;
      bytes *= 2;
    }
    out_.push_back(static_cast<std::uint8_t>(major | info));
    bigEndian(argument, bytes);
  }

  void bigEndian(std::uint64_t value, std::size_t bytes) {
    for (std::size_t i = bytes; i-- > 0;) {
      out_.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    }
  }

  std::vector<std::uint8_t>& out_;
};

}  // namespace detail

/// The record of `version`: `{"family":15,"version":2,"fields":{...}}`, its
/// fields read through the version's elements (converting reads run), in
/// the order TAMBERLO_FIELDS lists them, value structs as nested objects.
/// Integers and enumerations are JSON integers, strings strings, floats and
/// doubles numbers (see recordNumber) or "nan", "-nan", "inf" and "-inf".
/// Throws RecordError for a string field that is not UTF-8.
template <typename Version>
nlohmann::ordered_json toRecord(Version& version) {
  detail::DocumentSink sink;
  detail::RecordEmitter<detail::DocumentSink, Version>(sink).record(version);
  return sink.take();
}

/// The record's JSON text, exactly `toRecord(version).dump()`.
template <typename Version>
std::string toJson(Version& version) {
  std::string out;
  out.reserve(128);
  detail::JsonTextSink sink(out);
  detail::RecordEmitter<detail::JsonTextSink, Version>(sink).record(version);
  return out;
}

/// The record's CBOR bytes: `nlohmann::ordered_json::to_cbor` of
/// `toRecord(version)` with each float field holding the float's own value,
/// so that it takes a 4-byte float.
template <typename Version>
std::vector<std::uint8_t> toCbor(Version& version) {
  std::vector<std::uint8_t> out;
  out.reserve(64);
  detail::CborSink sink(out);
  detail::RecordEmitter<detail::CborSink, Version>(sink).record(version);
  return out;
}

}  // namespace tamberlo

#endif  // TAMBERLO_RECORD_WRITE_H_
