/// \file
/// Msg16_v2: the newest version of family 16 (attitude); stores a quaternion.
#ifndef TAMBERLO_MSG16_V2_H_
#define TAMBERLO_MSG16_V2_H_

#include <tamberlo/attitude.h>
#include <tamberlo/element_cur.h>
#include <tamberlo/export.h>
#include <tamberlo/fields.h>
#include <tamberlo/msg_base.h>

/// Family 16, version 2, the newest: stores the attitude as a quaternion.
class TAMBERLO_API Msg16_v2 : public MsgBase {
 public:
  static constexpr std::int32_t familyId = 16;  ///< family id
  static constexpr std::int32_t versionNo = 2;  ///< version number
  ElementCur<Quaternions, Msg16_v2> att;        ///< the attitude
  /// The attitude as last converted for Msg16_v1; a read through v1
  /// returns a reference to it.
  EulerAngles attEuler;

  /// Builds this version and Msg16_v1 below it, bound to this one.
  explicit Msg16_v2(MsgMap& links);

 private:
  void init();
  // Reached only through the binding of Msg16_v1::att.
  EulerAngles& getAtt();
  void setAtt(EulerAngles angles);
};
TAMBERLO_FIELDS(Msg16_v2, att)

#endif  // TAMBERLO_MSG16_V2_H_
