// Reading records: a record of any of the classes given, from a document
// (readRecord), JSON text (readJson) or CBOR bytes (readCbor), checked
// whole, then written through the elements of the version it names.
#ifndef TAMBERLO_RECORD_READ_H_
#define TAMBERLO_RECORD_READ_H_

#include <tamberlo/cbor_scan.h>
#include <tamberlo/chain.h>
#include <tamberlo/fields.h>
#include <tamberlo/msg_base.h>
#include <tamberlo/record_check.h>
#include <tamberlo/record_parser.h>
#include <tamberlo/record_types.h>
#include <tamberlo/record_values.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <nlohmann/json.hpp>
#include <string>
#include <string_view>
#include <tuple>
#include <type_traits>
#include <utility>
#include <variant>
#include <vector>

namespace tamberlo {
namespace detail {

/// What a record is read onto: the root that reaches its version, and, for
/// a chain with an owner, how to give every stored field its fresh value
/// once the record is found sound, so that it alone shows.
struct Onto {
  MsgBase* root;
  void (*reset)(void* chain) = nullptr;
  void* chain = nullptr;
};

template <typename V>
Onto ontoChain(Chain<V>& chain) {
  return {&chain.root(),
          [](void* owner) { static_cast<Chain<V>*>(owner)->reset(); }, &chain};
}

template <typename... Classes>
constexpr bool distinctVersions() {
  const std::array<std::int32_t, sizeof...(Classes)> families{
      Classes::familyId...};
  const std::array<std::int32_t, sizeof...(Classes)> versions{
      Classes::versionNo...};
  for (std::size_t i = 0; i < families.size(); ++i) {
    for (std::size_t j = 0; j < i; ++j) {
      if (families.at(i) == families.at(j) &&
          versions.at(i) == versions.at(j)) {
        return false;
      }
    }
  }
  return true;
}

// The typed half of a reader: the classes a record may name, the values
// staged for the one it names, and the write through that version.
template <typename... Classes>
class RecordReader {
  static_assert(sizeof...(Classes) > 0,
                "tamberlo::readRecord<Classes...>: name the classes a record "
                "may be of");
  static_assert(distinctVersions<Classes...>(),
                "tamberlo::readRecord<Classes...>: two classes have the same "
                "family and version");

 public:
  /// Arrays and maps that a record of these classes nests: the top level,
  /// its fields, and value structs within them.
  static constexpr std::size_t kDepth =
      2 + std::max({FieldTypesOf<Classes>::depth()...});

  RecordReader() { (checkRecordClass<Classes>(), ...); }

  /// Hands a record to a parser through `parse(parser)`, twice where the
  /// record gave its fields before its class, then writes it.  `format`
  /// ("JSON", "CBOR") names what a parse error says the input is not.
  template <typename Parse>
  MsgBase& read(Onto onto, const char* format, Parse&& parse) {
    RecordParser parser(format, {&choose, &names, this, kDepth});
    parse(parser);
    if (parser.skippedFields()) {
      parser.again();
      parse(parser);
    }
    return write(onto, parser);
  }

  /// Writes the staged values through the elements of the version the
  /// record names, found from `onto`'s root, in the order its fields are
  /// listed.
  MsgBase& write(Onto onto, const RecordParser& parser) {
    // The whole record was checked before anything is written.
    if (!parser.done()) parser.fail("incomplete");
    MsgBase* written = nullptr;
    forClass(chosen_, [&](auto index) {
      written = writeAs<decltype(index)::value>(onto, parser);
    });
    if (written == nullptr) parser.fail("not reachable from the root");
    return *written;
  }

 private:
  using Classes_ = std::tuple<Classes...>;
  static constexpr std::size_t kNodes =
      1 + std::max({FieldTypesOf<Classes>::nodes()...});

  template <typename F>
  static void forClass(std::size_t index, F&& f) {
    forClass(index, f, std::make_index_sequence<sizeof...(Classes)>{});
  }
  template <typename F, std::size_t... I>
  static void forClass(std::size_t index, F& f,
                       std::index_sequence<I... /*each*/>) {
    ((index == I ? f(std::integral_constant<std::size_t, I>{}) : void()), ...);
  }

  static bool choose(void* self, std::int32_t family, std::int32_t version,
                     FieldNode*& nodes, std::string_view& className) {
    constexpr std::array<std::int32_t, sizeof...(Classes)> kFamilies{
        Classes::familyId...};
    constexpr std::array<std::int32_t, sizeof...(Classes)> kVersions{
        Classes::versionNo...};
    auto& reader = *static_cast<RecordReader*>(self);
    for (std::size_t i = 0; i < kFamilies.size(); ++i) {
      if (kFamilies.at(i) == family && kVersions.at(i) == version) {
        reader.chosen_ = i;
        forClass(i, [&](auto index) {
          reader.template stage<decltype(index)::value>();
          className =
              fieldsOf<std::tuple_element_t<decltype(index)::value, Classes_>>()
                  .className;
        });
        nodes = reader.nodes_.data();
        return true;
      }
    }
    return false;
  }

  static std::string names() {
    std::string text;
    ((text += text.empty() ? "" : ", ", text += fieldsOf<Classes>().className),
     ...);
    return text;
  }

  // Fresh values for class I, and the table of its fields over them.
  template <std::size_t I>
  void stage() {
    using Version = std::tuple_element_t<I, Classes_>;
    auto& values = staged_.template emplace<I + 1>();
    std::size_t used = 1;
    addObject(0, used, [&](auto&& visit) {
      eachValue<Version>(
          values, visit,
          std::make_index_sequence<
              std::tuple_size_v<std::decay_t<decltype(values)>>>{});
    });
  }

  template <typename Version, typename Values, typename Visit, std::size_t... F>
  static void eachValue(Values& values, Visit& visit,
                        std::index_sequence<F...> /*each*/) {
    constexpr auto kList = fieldsOf<Version>();
    (visit(std::get<F>(kList.fields).name, std::get<F>(values)), ...);
  }

  // Makes the fields that `each` visits the fields of entry `object`, then
  // adds the fields of those that are value structs.
  template <typename Each>
  void addObject(std::size_t object, std::size_t& used, Each&& each) {
    nodes_.at(object).first = used;
    each([&](std::string_view name, auto& value) {
      using T = std::remove_reference_t<decltype(value)>;
      FieldNode& field = nodes_.at(used++);
      field = FieldNode{name, object};
      if constexpr (!hasFields<T>) {
        field.target = &value;
        field.store = &storeLeaf<T>;
      }
    });
    nodes_.at(object).count = used - nodes_.at(object).first;
    std::size_t field = nodes_.at(object).first;
    each([&](std::string_view /*name*/, auto& value) {
      if constexpr (hasFields<std::remove_reference_t<decltype(value)>>) {
        addObject(field, used, [&](auto&& visit) {
          forEachField(value, [&](std::string_view name, auto& element) {
            visit(name, element.get());
          });
        });
      }
      ++field;
    });
  }

  template <std::size_t I>
  MsgBase* writeAs(Onto onto, const RecordParser& parser) {
    using Version = std::tuple_element_t<I, Classes_>;
    Version* version = onto.root != nullptr
                           ? onto.root->template getVersion<Version>()
                           : nullptr;
    if (version != nullptr) {
      auto& values = std::get<I + 1>(staged_);
      const auto each = std::make_index_sequence<
          std::tuple_size_v<std::decay_t<decltype(values)>>>{};
      checkFields(*version, values, parser, each);
      if (onto.reset != nullptr) onto.reset(onto.chain);
      writeFields(*version, values, each);
    }
    return version;
  }

  // Every value is stored as given, or the record is refused before
  // anything is written.  The record's fields are entries 1 to n of the
  // table, in the order listed.
  template <typename Version, typename Values, std::size_t... F>
  static void checkFields(Version& version, const Values& values,
                          const RecordParser& parser,
                          std::index_sequence<F...> /*each*/) {
    constexpr auto kList = fieldsOf<Version>();
    const auto check = [&](auto& element, const auto& value, std::size_t node) {
      const std::string why = refusalOf<Classes_>(element, value);
      if (!why.empty()) parser.fail(why, node);
    };
    (check(version.*(std::get<F>(kList.fields).member), std::get<F>(values),
           F + 1),
     ...);
  }

  template <typename Version, typename Values, std::size_t... F>
  static void writeFields(Version& version, Values& values,
                          std::index_sequence<F...> /*each*/) {
    constexpr auto kList = fieldsOf<Version>();
    ((version.*(std::get<F>(kList.fields).member)).set(std::get<F>(values)),
     ...);
  }

  std::variant<std::monostate, typename FieldTypesOf<Classes>::Values...>
      staged_;
  std::array<FieldNode, kNodes> nodes_{};
  std::size_t chosen_ = 0;
};

/// Hands `document` to `parser` as parsing its text would.  The parser
/// refuses every object and array where none belongs, and any nested
/// deeper than the classes' fields, before the walk enters it.
inline void walkDocument(const nlohmann::ordered_json& document,
                         RecordParser& parser) {
  using Type = nlohmann::ordered_json::value_t;
  switch (document.type()) {
    case Type::object:
      parser.start_object(document.size());
      for (auto at = document.begin(); at != document.end(); ++at) {
        parser.keyed(at.key());
        walkDocument(at.value(), parser);
      }
      parser.end_object();
      return;
    case Type::array:
      parser.start_array(document.size());
      for (const auto& item : document) walkDocument(item, parser);
      parser.end_array();
      return;
    case Type::boolean:
      parser.boolean(document.get<bool>());
      return;
    case Type::number_integer: {
      // A document's 0 has no sign (parse reads -0 as 0), and the parser
      // takes a signed 0 for JSON text's -0.
      const auto integer = document.get<std::int64_t>();
      if (integer < 0) {
        parser.number_integer(integer);
      } else {
        parser.number_unsigned(static_cast<std::uint64_t>(integer));
      }
      return;
    }
    case Type::number_unsigned:
      parser.number_unsigned(document.get<std::uint64_t>());
      return;
    case Type::number_float:
      parser.number_float(document.get<double>(), {});
      return;
    case Type::string: {
      std::string text = document.get<std::string>();
      parser.string(text);
      return;
    }
    case Type::binary: {
      nlohmann::ordered_json::binary_t bytes;
      parser.binary(bytes);
      return;
    }
    default:
      parser.null();
  }
}

}  // namespace detail

namespace detail {

template <typename... Classes>
MsgBase& readRecordOnto(Onto onto, const nlohmann::ordered_json& record) {
  RecordReader<Classes...> reader;
  return reader.read(onto, nullptr, [&](RecordParser& parser) {
    walkDocument(record, parser);
  });
}

template <typename... Classes>
MsgBase& readJsonOnto(Onto onto, std::string_view text) {
  RecordReader<Classes...> reader;
  return reader.read(onto, "JSON", [&](RecordParser& parser) {
    // Every fault throws from within; the result says nothing more.
    static_cast<void>(nlohmann::ordered_json::sax_parse(
        text.data(), text.data() + text.size(), &parser));
  });
}

template <typename... Classes>
MsgBase& readCborOnto(Onto onto, const std::uint8_t* bytes, std::size_t size) {
  using Reader = RecordReader<Classes...>;
  CborScan<Reader::kDepth> scan(bytes, size);
  const CborFinding finding = scan.run();
  std::vector<std::uint8_t> copy;
  const std::uint8_t* parsed = scan.parseable(copy);
  Reader reader;
  return reader.read(onto, "CBOR", [&](RecordParser& parser) {
    if (finding.what != nullptr) {
      parser.fail(std::string(finding.what) + " at byte " +
                  std::to_string(finding.at + 1));
    }
    parser.lowest(scan.lowest().data(), scan.lowest().size());
    static_cast<void>(nlohmann::ordered_json::sax_parse(
        // NOLINTNEXTLINE(cppcoreguidelines-pro-bounds-pointer-arithmetic)
        parsed, parsed + size, &parser,
        nlohmann::ordered_json::input_format_t::cbor));
  });
}

}  // namespace detail

/// Reads a record of any of `Classes` (of one family or several) into the
/// chain that `root` reaches:
/// `readRecord<Msg15_v5, Msg15_v4, Msg15_v3, Msg15_v2>(root, record)`.
/// The record is checked whole first: its shape (the top-level keys in any
/// order), that its family and version are those of one of the classes,
/// and that it gives every field of that class once, and nothing else,
/// each as a value the field holds.  Then, and only if
/// `root->getVersion(family, version)` finds that version, every value is
/// run through each Converted conversion on its way to the element that
/// stores it, and must come back as given.  Then every field is written
/// through its element in the order the class lists them, so every
/// conversion runs; the fields the record's version does not show keep
/// their values.  Returns the version written.  Any fault, or a
/// conversion that throws in that check, throws RecordError and writes
/// nothing; the lookup is made only for a record without faults, and
/// leaves what getVersion leaves: at most one null entry under the
/// record's family in the maps it reads.
template <typename... Classes>
MsgBase& readRecord(MsgBase* root, const nlohmann::ordered_json& record) {
  return detail::readRecordOnto<Classes...>({root}, record);
}

/// readRecord onto a chain with an owner, which it leaves exactly as a
/// fresh chain onto which the record was read: once the record is found
/// sound, every stored field takes its fresh value (Chain::reset), then
/// the record's fields are written.  A record refused changes nothing.
template <typename... Classes, typename V>
MsgBase& readRecord(Chain<V>& chain, const nlohmann::ordered_json& record) {
  return detail::readRecordOnto<Classes...>(detail::ontoChain(chain), record);
}

/// readRecord for JSON text, which must be one record and nothing else; a
/// key given twice is a fault, not a value overriding another.
template <typename... Classes>
MsgBase& readJson(MsgBase* root, std::string_view text) {
  return detail::readJsonOnto<Classes...>({root}, text);
}

/// readJson onto a chain with an owner, as readRecord onto one.
template <typename... Classes, typename V>
MsgBase& readJson(Chain<V>& chain, std::string_view text) {
  return detail::readJsonOnto<Classes...>(detail::ontoChain(chain), text);
}

/// readRecord for CBOR bytes, which must be one record and nothing else.
/// Tags are refused, and so are lengths the bytes do not hold, without
/// allocating what they declare.
template <typename... Classes>
MsgBase& readCbor(MsgBase* root, const std::uint8_t* bytes, std::size_t size) {
  return detail::readCborOnto<Classes...>({root}, bytes, size);
}

/// readCbor for the bytes that toCbor returns.
template <typename... Classes>
MsgBase& readCbor(MsgBase* root, const std::vector<std::uint8_t>& bytes) {
  return detail::readCborOnto<Classes...>({root}, bytes.data(), bytes.size());
}

/// readCbor onto a chain with an owner, as readRecord onto one.
template <typename... Classes, typename V>
MsgBase& readCbor(Chain<V>& chain, const std::vector<std::uint8_t>& bytes) {
  return detail::readCborOnto<Classes...>(detail::ontoChain(chain),
                                          bytes.data(), bytes.size());
}

}  // namespace tamberlo

#endif  // TAMBERLO_RECORD_READ_H_
