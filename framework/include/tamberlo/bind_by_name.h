/// \file
/// bindByName: binds an older version's fields to the newer version's
/// fields of the same name, so that a field that passes unchanged needs no
/// bind of its own.
#ifndef TAMBERLO_BIND_BY_NAME_H_
#define TAMBERLO_BIND_BY_NAME_H_

#include <tamberlo/converted.h>
#include <tamberlo/element_prev.h>
#include <tamberlo/element_traits.h>
#include <tamberlo/fields.h>

#include <array>
#include <cstddef>
#include <string_view>
#include <tuple>
#include <type_traits>
#include <utility>

namespace tamberlo {
namespace detail {

// The index of the field of `Class` named `name`, or the number of fields.
template <typename Class>
constexpr std::size_t fieldIndex(std::string_view name) {
  constexpr auto names = std::apply(
      [](const auto&... field) {
        return std::array<std::string_view, sizeof...(field)>{field.name...};
      },
      fieldsOf<Class>().fields);
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (names.at(i) == name) return i;
  }
  return names.size();
}

// Binds the older field at `At` if the newer version offers a match.
template <std::size_t At, typename Older, typename Newer>
void bindField(Older& older, Newer& newer) {
  constexpr auto olderField = std::get<At>(fieldsOf<Older>().fields);
  auto& element = older.*olderField.member;
  using Element = std::remove_reference_t<decltype(element)>;
  static_assert(std::is_void_v<ForwardsToOf<decltype(olderField)>> ||
                    std::is_same_v<ForwardsToOf<decltype(olderField)>, Newer>,
                "tamberlo::bindByName(older, newer): older's elements forward "
                "to another class than newer; pass the next older version");
  if constexpr (isConverted<Element>) {
    element.bind(&newer);
  } else if constexpr (!std::is_void_v<ForwardsToOf<decltype(olderField)>>) {
    constexpr std::size_t kMatch = fieldIndex<Newer>(olderField.name);
    constexpr auto newerFields = fieldsOf<Newer>().fields;
    if constexpr (kMatch < std::tuple_size_v<decltype(newerFields)>) {
      constexpr auto newerField = std::get<kMatch>(newerFields);
      using Target = typename std::decay_t<decltype(newerField)>::ElementType;
      if constexpr (std::is_same_v<ElementValueT<Target>,
                                   ElementValueT<Element>>) {
        element.bind(&newer, newerField.member);
      }
    }
  }
}

template <typename Older, typename Newer, std::size_t... At>
void bindFields(Older& older, Newer& newer,
                std::index_sequence<At...> /*fields*/) {
  (bindField<At>(older, newer), ...);
}

}  // namespace detail

/// Binds, in `init`, every listed field of `older` that forwards to `newer`
/// to the listed field of `newer` with the same name and value type (member
/// form), and every Converted field of `older` to `newer`.  Leaves the
/// others as they are, for binds that follow it (and win) or retire();
/// checkChain reports any left unbound.
template <typename Older, typename Newer>
void bindByName(Older& older, Newer& newer) {
  constexpr std::size_t kFields =
      std::tuple_size_v<decltype(fieldsOf<Older>().fields)>;
  detail::bindFields(older, newer, std::make_index_sequence<kFields>{});
}

}  // namespace tamberlo

#endif  // TAMBERLO_BIND_BY_NAME_H_
