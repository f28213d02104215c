/// \file
/// The abstract element: one value of type T behind two virtual operations.
#ifndef TAMBERLO_EL_BASE_H_
#define TAMBERLO_EL_BASE_H_

#include <tamberlo/toolchain_check.h>

/// What every element of value type T offers, whatever its Owner tag.
///
/// A forwarding element reaches a target whose Owner tag differs from its
/// own (an ElementPrev<float, Msg15_v4> targets an ElementPrev<float,
/// Msg15_v5>), so the forwarded call must go through a type that the target
/// really has.  This interface depends on T alone and is that type.
template <typename T>
class ElInterface {
 public:
  /// A modifiable reference to the storage that holds the value.
  virtual T& get() = 0;
  /// Writes `v` where the value is held.
  virtual void set(const T& v) = 0;

 protected:
  ElInterface() = default;
  /// Protected: a whole element is copied, never its interface alone.
  ElInterface(const ElInterface&) = default;
  /// Protected: a whole element is assigned, never its interface alone.
  ElInterface& operator=(const ElInterface&) = default;
  // Elements are plain members, never deleted through a base pointer.
  ~ElInterface() = default;
};

/// The abstract element of a message or value struct.  `Owner` is a tag: the
/// holder for a stored element, the next newer version for a forwarding one.
template <typename T, typename Owner>
class ElBase : public ElInterface<T> {
 protected:
  ElBase() = default;
  /// Protected: a whole element is copied, never its base alone.
  ElBase(const ElBase&) = default;
  /// Protected: a whole element is assigned, never its base alone.
  ElBase& operator=(const ElBase&) = default;
  ~ElBase() = default;
};

#endif  // TAMBERLO_EL_BASE_H_
