/// \file
/// checkChain: whether a chain of versions is wired as the construction
/// protocol wires it, for users' tests of their own families.
#ifndef TAMBERLO_CHECK_CHAIN_H_
#define TAMBERLO_CHECK_CHAIN_H_

#include <tamberlo/converted.h>
#include <tamberlo/element_prev.h>
#include <tamberlo/element_traits.h>
#include <tamberlo/fields.h>
#include <tamberlo/msg_base.h>
#include <tamberlo/msg_map.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <tuple>
#include <type_traits>
#include <utility>
#include <vector>

namespace tamberlo {
namespace detail {

// One class of the chain being checked.
struct ChainClass {
  std::string_view name;
  std::int32_t id;
  std::int32_t version;
};

// What a map must hold, but for null entries: the map a root was built from,
// or one entry (none when `object` is null).
struct Expected {
  const MsgMap* map;
  std::int32_t key;
  MsgBase* object;

  [[nodiscard]] MsgBase* at(std::int32_t k) const {
    if (map == nullptr) return k == key ? object : nullptr;
    const auto found = map->find(k);
    return found != map->end() ? found->second : nullptr;
  }
};

// The chain as found along its own older links, newest first, and the
// problems found so far.  Every walk is bounded by the number of classes
// given, so no graph makes it go round.  Allocates only to report.
template <std::size_t Count>
class ChainCheck {
 public:
  explicit ChainCheck(const std::array<ChainClass, Count>& classes)
      : classes_(classes) {}

  // Follows older[id] from `root` while each object is of the next class.
  void walk(MsgBase* root) {
    MsgBase* at = root;
    for (; found_ < Count; ++found_) {
      if (at == nullptr || at->id != classes_.at(found_).id ||
          at->version != classes_.at(found_).version) {
        if (found_ == 0) {
          say("the root is ", Object{at}, ", expected ", name(0));
        } else {
          say(name(found_ - 1), ": older[", classes_.at(found_ - 1).id, "] is ",
              Object{at}, ", expected ", name(found_));
        }
        return;
      }
      objects_.at(found_) = at;
      at = entry(at->older, classes_.at(found_).id);
    }
  }

  // peer names the object itself; older the object below it (as walked) or
  // nothing in the oldest; upstream the object above it, or for the root
  // the map it was built from.  Null entries count as absent.
  void checkMaps(const MsgMap& builtFrom) {
    for (std::size_t i = 0; i < found_; ++i) {
      MsgBase* object = objects_.at(i);
      const std::int32_t id = classes_.at(i).id;
      compare(i, "peer", object->peer, {nullptr, id, object});
      compare(
          i, "older", object->older,
          {nullptr, id, i + 1 < Count ? entry(object->older, id) : nullptr});
      compare(i, "upstream", object->upstream,
              i == 0 ? Expected{&builtFrom, 0, nullptr}
                     : Expected{nullptr, id, objects_.at(i - 1)});
    }
  }

  /// Reports a problem of the element `field` of the class at `at`.
  template <typename... Parts>
  void report(std::size_t at, std::string_view field, const Parts&... what) {
    say(name(at), "::", field, ": ", what...);
  }

  [[nodiscard]] std::string_view name(std::size_t at) const {
    return classes_.at(at).name;
  }

  /// How many objects the walk found of their class, and each of them.
  [[nodiscard]] std::size_t found() const { return found_; }
  [[nodiscard]] MsgBase* object(std::size_t at) const {
    return objects_.at(at);
  }

  std::vector<std::string> takeProblems() { return std::move(problems_); }

 private:
  static MsgBase* entry(const MsgMap& map, std::int32_t key) {
    return Expected{&map, 0, nullptr}.at(key);
  }

  // An object named in a problem, by where it is in the chain.
  struct Object {
    const MsgBase* object;
  };

  // One problem, built in one string: reports are built on every call for
  // a chain that stays broken.
  template <typename... Parts>
  void say(const Parts&... parts) {
    std::string& text = problems_.emplace_back();
    text.reserve(128);
    // String literals among the parts become string_views.
    // NOLINTNEXTLINE(cppcoreguidelines-pro-bounds-array-to-pointer-decay)
    (append(text, parts), ...);
  }

  static void append(std::string& out, std::string_view text) { out += text; }
  static void append(std::string& out, std::int32_t n) {
    out += std::to_string(n);
  }
  void append(std::string& out, Object named) const {
    const MsgBase* object = named.object;
    if (object == nullptr) {
      out += "null";
      return;
    }
    for (std::size_t i = 0; i < found_; ++i) {
      if (objects_.at(i) == object) {
        out += "this chain's ";
        out += name(i);
        return;
      }
    }
    out += "family ";
    append(out, object->id);
    out += " version ";
    append(out, object->version);
    out += " outside this chain";
  }

  void compare(std::size_t at, std::string_view map, const MsgMap& actual,
               const Expected& expected) {
    auto mismatch = [&](std::int32_t key, const MsgBase* is,
                        const MsgBase* want) {
      say(name(at), ": ", map, "[", key, "] is ", Object{is}, ", expected ",
          Object{want});
    };
    for (const auto& [key, object] : actual) {
      MsgBase* want = expected.at(key);
      if (object != nullptr && object != want) mismatch(key, object, want);
    }
    auto missing = [&](std::int32_t key, MsgBase* want) {
      if (want != nullptr && entry(actual, key) == nullptr) {
        mismatch(key, nullptr, want);
      }
    };
    if (expected.map == nullptr) {
      missing(expected.key, expected.object);
    } else {
      for (const auto& [key, want] : *expected.map) missing(key, want);
    }
  }

  const std::array<ChainClass, Count>& classes_;
  std::vector<std::string> problems_;
  std::array<MsgBase*, Count> objects_{};
  std::size_t found_ = 0;
};

// Whether the member form's `offset` lands on a listed field of `newer`
// whose value type is T.
template <typename T, typename Newer>
bool landsOnField(Newer& newer, std::int32_t offset) {
  bool lands = false;
  forEachField(newer, [&](std::string_view /*name*/, auto& target) {
    using Target = std::remove_reference_t<decltype(target)>;
    if constexpr (std::is_same_v<ElementValueT<Target>, T>) {
      lands = lands || elementOffset(newer, target) == offset;
    }
    // A component of a value struct that the field stores (the nested
    // member form).
    using Stored = StoredValueT<Target>;
    if constexpr (!std::is_void_v<Stored>) {
      if constexpr (hasFields<Stored>) {
        forEachField(target.value, [&](std::string_view, auto& component) {
          using Component = std::remove_reference_t<decltype(component)>;
          if constexpr (std::is_same_v<ElementValueT<Component>, T>) {
            lands = lands || elementOffset(newer, component) == offset;
          }
        });
      }
    }
  });
  return lands;
}

// The binding of one forwarding element, `field` of the object at `at`,
// whose next newer object is `newer`.
template <typename Element, typename Newer, typename Check>
void checkBinding(Check& check, std::size_t at, std::string_view field,
                  Element& element, Newer* newer) {
  MsgBase* owner = nullptr;
  if constexpr (isConverted<Element>) {
    owner = element.owner();
  } else {
    owner = element.owner;
  }
  if (owner == nullptr) {
    // A retired field keeps its value on purpose; a Converted one cannot
    // be retired.
    if constexpr (!isConverted<Element>) {
      if (element.offset == Element::kRetired) return;
    }
    check.report(at, field, "unbound");
  } else if (owner != newer) {
    check.report(at, field, "bound to an object that is not this chain's ",
                 check.name(at - 1));
  } else if constexpr (!isConverted<Element>) {
    if (element.getter != nullptr || element.setter != nullptr) {
      if (element.getter == nullptr) {
        check.report(at, field, "accessor form without a getter");
      }
      if (element.setter == nullptr) {
        check.report(at, field, "accessor form without a setter");
      }
    } else if (!landsOnField<ElementValueT<Element>>(*newer, element.offset)) {
      check.report(at, field, "offset ", element.offset,
                   " lands on no listed field of ", check.name(at - 1),
                   " with its value type");
    }
  }
}

// The bindings of the forwarding elements of object(at), an Older, whose
// next newer object object(at - 1) is a Newer.  Reads the bindings only:
// nothing is called through them.
template <typename Newer, typename Older, typename Check>
void checkBindings(Check& check, std::size_t at) {
  auto* newer = static_cast<Newer*>(check.object(at - 1));
  forEachField(*static_cast<Older*>(check.object(at)),
               [&](std::string_view field, auto& element) {
                 using Element = std::remove_reference_t<decltype(element)>;
                 using Target = typename ElementParts<Element>::ForwardsTo;
                 if constexpr (!std::is_void_v<Target>) {
                   static_assert(
                       std::is_same_v<Target, Newer>,
                       "tamberlo::checkChain: list every version of the "
                       "family, each followed by the next older one, whose "
                       "elements forward to it");
                   checkBinding(check, at, field, element, newer);
                 }
               });
}

// Whether the listed fields of the object at `at`, a Version, are listed in
// declaration order: their offsets must increase.
template <typename Version, typename Check>
void checkOrder(Check& check, std::size_t at) {
  auto& object = *static_cast<Version*>(check.object(at));
  std::int32_t last = -1;
  std::string_view previous;
  forEachField(object, [&](std::string_view field, auto& element) {
    const std::int32_t offset = elementOffset(object, element);
    if (offset <= last) {
      check.report(at, field, "listed after ", previous,
                   ", but declared before it");
    }
    last = offset;
    previous = field;
  });
}

// The first non-void type of Types, or void.
template <typename... Types>
struct FirstNonVoid {
  using type = void;
};
template <typename First, typename... Rest>
struct FirstNonVoid<First, Rest...> {
  using type = std::conditional_t<std::is_void_v<First>,
                                  typename FirstNonVoid<Rest...>::type, First>;
};

// The class that Version's listed forwarding elements forward to, or void
// for a newest version.
template <typename FieldTuple>
struct FirstTarget;
template <typename... Fields>
struct FirstTarget<std::tuple<Fields...>> {
  using type = typename FirstNonVoid<ForwardsToOf<Fields>...>::type;
};
template <typename Version>
using NextNewerT =
    typename FirstTarget<decltype(fieldsOf<Version>().fields)>::type;

// The classes of a family newest first, climbing from the oldest, Listed,
// through the classes its elements forward to.  Stops at a class whose
// version number is not greater, so a cycle of forwarding classes ends
// (and newestFirst then refuses the list).
template <typename Listed, typename Newer, typename = void>
struct Climb {
  using type = Listed;
};
template <bool Newer, typename Listed, typename Next>
struct ClimbTo {
  using type = Listed;
};
template <typename... Listed, typename Next>
struct ClimbTo<true, std::tuple<Listed...>, Next> {
  using type =
      typename Climb<std::tuple<Next, Listed...>, NextNewerT<Next>>::type;
};
template <typename Newest, typename... Listed, typename Next>
struct Climb<std::tuple<Newest, Listed...>, Next,
             std::enable_if_t<!std::is_void_v<Next>>> {
  using type = typename ClimbTo<(Next::versionNo > Newest::versionNo),
                                std::tuple<Newest, Listed...>, Next>::type;
};

template <typename... Versions>
constexpr bool newestFirst() {
  const std::array<std::int32_t, sizeof...(Versions)> ids{
      Versions::familyId...};
  const std::array<std::int32_t, sizeof...(Versions)> versions{
      Versions::versionNo...};
  for (std::size_t i = 1; i < ids.size(); ++i) {
    if (ids.at(i) != ids.at(0) || versions.at(i) >= versions.at(i - 1))
      return false;
  }
  return true;
}

template <typename Versions, typename Check, std::size_t... At>
void checkAllOrders(Check& check, std::index_sequence<At...> /*at*/) {
  // Only objects that the walk found are of their class.
  ((check.found() > At
        ? checkOrder<std::tuple_element_t<At, Versions>>(check, At)
        : void()),
   ...);
}

template <typename Versions, typename Check, std::size_t... Older>
void checkAllBindings(Check& check, std::index_sequence<Older...> /*older*/) {
  // Only objects that the walk found are of their class.
  ((check.found() > Older + 1
        ? checkBindings<std::tuple_element_t<Older, Versions>,
                        std::tuple_element_t<Older + 1, Versions>>(check,
                                                                   Older + 1)
        : void()),
   ...);
}

// The classes given to checkChain, newest first; one class alone is the
// oldest, and the others are climbed to from it.
template <typename... Versions>
struct Family {
  using type = std::tuple<Versions...>;
};
template <typename Oldest>
struct Family<Oldest> {
  using type = typename Climb<std::tuple<Oldest>, NextNewerT<Oldest>>::type;
};

// checkChain for the classes of a tuple, newest first.
template <typename... Versions>
std::vector<std::string> checkListed(std::tuple<Versions...>* /*list*/,
                                     MsgBase* root, const MsgMap& builtFrom) {
  static_assert(newestFirst<Versions...>(),
                "tamberlo::checkChain: list versions of one family, newest "
                "first");
  static constexpr std::array<ChainClass, sizeof...(Versions)> kClasses{
      {{fieldsOf<Versions>().className, Versions::familyId,
        Versions::versionNo}...}};
  ChainCheck<sizeof...(Versions)> check(kClasses);
  check.walk(root);
  check.checkMaps(builtFrom);
  checkAllOrders<std::tuple<Versions...>>(
      check, std::make_index_sequence<sizeof...(Versions)>{});
  checkAllBindings<std::tuple<Versions...>>(
      check, std::make_index_sequence<sizeof...(Versions) - 1>{});
  return check.takeProblems();
}

}  // namespace detail

/// The problems of the chain below `root`, empty when it is wired as the
/// construction protocol wires it.  `Versions` are the family's classes,
/// newest first, each with TAMBERLO_FIELDS: `checkChain<Msg15_v5, Msg15_v4,
/// Msg15_v3, Msg15_v2>(root)`; or the oldest alone, `checkChain<Msg15_v2>
/// (root)`, from which the others are found through the classes its
/// elements forward to.  `builtFrom` is the map the root was built from,
/// which its `upstream` must equal.  Terminates on any graph, and calls no
/// element, accessor or object: it reads maps and bindings only.
template <typename... Versions>
std::vector<std::string> checkChain(MsgBase* root,
                                    const MsgMap& builtFrom = MsgMap{}) {
  using Listed = typename detail::Family<Versions...>::type;
  return detail::checkListed(static_cast<Listed*>(nullptr), root, builtFrom);
}

}  // namespace tamberlo

#endif  // TAMBERLO_CHECK_CHAIN_H_
