/// \file
/// Which element members a class has, among names known when the lock test
/// is compiled (those its lock file holds): a lock tells a field left out
/// of TAMBERLO_FIELDS from a field removed.
#ifndef TAMBERLO_LOCK_MEMBERS_H_
#define TAMBERLO_LOCK_MEMBERS_H_

#include <tamberlo/converted.h>
#include <tamberlo/fields.h>

#include <string_view>
#include <vector>

/// Declares `TamberloLockMember_<member>`, which asks a class for an
/// element member named `member`, for tamberlo::LockMembers.
/// tamberlo_add_lock_test declares one for each field its lock file names.
// A member's name can only be spelled by a macro.
// NOLINTNEXTLINE(cppcoreguidelines-macro-usage)
#define TAMBERLO_LOCK_MEMBER(member)                        \
  struct TamberloLockMember_##member {                      \
    static constexpr std::string_view name = #member;       \
    template <typename Class>                               \
    static auto pointerIn(int) -> decltype(&Class::member); \
    template <typename Class>                               \
    static void pointerIn(...);                             \
  }

namespace tamberlo {

/// The member names, each a TAMBERLO_LOCK_MEMBER, that a lock test asks
/// its classes and value structs for.
template <typename... Probes>
struct LockMembers {
  /// Those of the names that are element members of `Object`, listed or
  /// not.
  template <typename Object>
  static std::vector<std::string_view> of() {
    std::vector<std::string_view> names;
    (addIf<detail::isElementMember<decltype(Probes::template pointerIn<Object>(
         0))>>(names, Probes::name),
     ...);
    return names;
  }

 private:
  template <bool kMember>
  static void addIf(std::vector<std::string_view>& names,
                    std::string_view name) {
    if (kMember) names.push_back(name);
  }
};

}  // namespace tamberlo

#endif  // TAMBERLO_LOCK_MEMBERS_H_
