// checkChain: whether a chain of versions is wired as the construction
// protocol wires it, for users' tests of their own families.
#ifndef TAMBERLO_CHECK_CHAIN_H_
#define TAMBERLO_CHECK_CHAIN_H_

#include <tamberlo/element_prev.h>
#include <tamberlo/fields.h>
#include <tamberlo/msg_base.h>
#include <tamberlo/msg_map.h>

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

// The chain as found along its own older links, newest first, and the
// problems found so far.  Every walk is bounded by the number of classes
// given, so no graph makes it go round.
class ChainCheck {
 public:
  ChainCheck(std::vector<std::string_view> names, std::vector<std::int32_t> ids,
             std::vector<std::int32_t> versions)
      : names_(std::move(names)),
        ids_(std::move(ids)),
        versions_(std::move(versions)) {}

  std::vector<std::string> problems;
  std::vector<MsgBase*> objects;  ///< found and of the expected class

  // Follows older[id] from `root` while each object is of the next class.
  void walk(MsgBase* root) {
    MsgBase* at = root;
    for (std::size_t i = 0; i < names_.size(); ++i) {
      const std::string via = i == 0 ? std::string("the root")
                                     : std::string(names_[i - 1]) + ": older[" +
                                           std::to_string(ids_[i - 1]) + "]";
      if (at == nullptr) {
        problems.push_back(via + " is null, expected " +
                           std::string(names_[i]));
        return;
      }
      if (at->id != ids_[i] || at->version != versions_[i]) {
        problems.push_back(via + " is " + describe(at) + ", expected " +
                           std::string(names_[i]));
        return;
      }
      objects.push_back(at);
      at = entry(at->older, ids_[i]);
    }
  }

  // peer names the object itself; older the object below it (as walked) or
  // nothing in the oldest; upstream the object above it, or for the root
  // the map it was built from.  Null entries count as absent.
  void checkMaps(const MsgMap& builtFrom) {
    for (std::size_t i = 0; i < objects.size(); ++i) {
      MsgBase* object = objects[i];
      const std::int32_t id = ids_[i];
      compare(i, "peer", object->peer, {{id, object}});
      MsgBase* below = entry(object->older, id);
      compare(i, "older", object->older,
              i + 1 < names_.size() ? MsgMap{{id, below}} : MsgMap{});
      compare(i, "upstream", object->upstream,
              i == 0 ? builtFrom : MsgMap{{id, objects[i - 1]}});
    }
  }

  void report(std::size_t at, std::string_view field, std::string_view what) {
    problems.push_back(std::string(names_[at]) + "::" + std::string(field) +
                       ": " + std::string(what));
  }

  [[nodiscard]] std::string_view name(std::size_t at) const {
    return names_[at];
  }

 private:
  static MsgBase* entry(const MsgMap& map, std::int32_t key) {
    const auto found = map.find(key);
    return found != map.end() ? found->second : nullptr;
  }

  [[nodiscard]] std::string describe(const MsgBase* object) const {
    if (object == nullptr) return "null";
    for (std::size_t i = 0; i < objects.size(); ++i) {
      if (objects[i] == object) return "this chain's " + std::string(names_[i]);
    }
    return "family " + std::to_string(object->id) + " version " +
           std::to_string(object->version) + " outside this chain";
  }

  void compare(std::size_t at, std::string_view map, const MsgMap& actual,
               const MsgMap& expected) {
    auto mismatch = [&](std::int32_t key, const MsgBase* is,
                        const MsgBase* want) {
      problems.push_back(std::string(names_[at]) + ": " + std::string(map) +
                         "[" + std::to_string(key) + "] is " + describe(is) +
                         ", expected " + describe(want));
    };
    for (const auto& [key, object] : actual) {
      MsgBase* want = entry(expected, key);
      if (object != nullptr && object != want) mismatch(key, object, want);
    }
    for (const auto& [key, want] : expected) {
      if (want != nullptr && entry(actual, key) == nullptr) {
        mismatch(key, nullptr, want);
      }
    }
  }

  std::vector<std::string_view> names_;
  std::vector<std::int32_t> ids_;
  std::vector<std::int32_t> versions_;
};

// Whether the member form's `offset` lands on a listed field of `newer`
// whose value type is T.
template <typename T, typename Newer>
bool landsOnField(Newer& newer, std::int32_t offset) {
  bool lands = false;
  forEachField(newer, [&](std::string_view, auto& target) {
    using Target = std::remove_reference_t<decltype(target)>;
    if constexpr (std::is_same_v<typename ElementTraits<Target>::Value, T>) {
      lands = lands || elementOffset(newer, target) == offset;
    }
  });
  return lands;
}

// The bindings of the forwarding elements of objects[at], an Older, whose
// next newer object objects[at - 1] is a Newer.  Reads the bindings only:
// nothing is called through them.
template <typename Newer, typename Older>
void checkBindings(ChainCheck& check, std::size_t at) {
  auto* newer = static_cast<Newer*>(check.objects[at - 1]);
  forEachField(
      *static_cast<Older*>(check.objects[at]),
      [&](std::string_view field, auto& element) {
        using Traits =
            ElementTraits<std::remove_reference_t<decltype(element)>>;
        if constexpr (Traits::forwards) {
          static_assert(std::is_same_v<typename Traits::Newer, Newer>,
                        "tamberlo::checkChain: list the versions newest first, "
                        "each followed by the one that forwards to it");
          if (element.owner == nullptr) {
            check.report(at, field, "unbound");
          } else if (element.owner != newer) {
            check.report(at, field,
                         "bound to an object that is not this chain's " +
                             std::string(check.name(at - 1)));
          } else if (element.getter != nullptr || element.setter != nullptr) {
            if (element.getter == nullptr) {
              check.report(at, field, "accessor form without a getter");
            }
            if (element.setter == nullptr) {
              check.report(at, field, "accessor form without a setter");
            }
          } else if (!landsOnField<typename Traits::Value>(*newer,
                                                           element.offset)) {
            check.report(at, field,
                         "offset " + std::to_string(element.offset) +
                             " lands on no listed field of " +
                             std::string(check.name(at - 1)) +
                             " with its value type");
          }
        }
      });
}

template <typename Versions, std::size_t... Older>
void checkAllBindings(ChainCheck& check, std::index_sequence<Older...>) {
  // Only objects that the walk found are of their class.
  ((check.objects.size() > Older + 1
        ? checkBindings<std::tuple_element_t<Older, Versions>,
                        std::tuple_element_t<Older + 1, Versions>>(check,
                                                                   Older + 1)
        : void()),
   ...);
}

}  // namespace detail

/// The problems of the chain below `root`, empty when it is wired as the
/// construction protocol wires it.  `Versions` are the family's classes,
/// newest first, each with TAMBERLO_FIELDS: `checkChain<Msg15_v5, Msg15_v4,
/// Msg15_v3, Msg15_v2>(root)`.  `builtFrom` is the map the root was built
/// from, which its `upstream` must equal.  Terminates on any graph, and
/// calls no element, accessor or object: it reads maps and bindings only.
template <typename... Versions>
std::vector<std::string> checkChain(MsgBase* root,
                                    const MsgMap& builtFrom = MsgMap{}) {
  detail::ChainCheck check({fieldsOf<Versions>().className...},
                           {Versions::familyId...}, {Versions::versionNo...});
  check.walk(root);
  check.checkMaps(builtFrom);
  detail::checkAllBindings<std::tuple<Versions...>>(
      check, std::make_index_sequence<sizeof...(Versions) - 1>{});
  return std::move(check.problems);
}

}  // namespace tamberlo

#endif  // TAMBERLO_CHECK_CHAIN_H_
