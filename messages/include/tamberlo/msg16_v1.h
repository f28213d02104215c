/// \file
/// Msg16_v1: the oldest version of family 16; attitude as Euler angles.
#ifndef TAMBERLO_MSG16_V1_H_
#define TAMBERLO_MSG16_V1_H_

#include <tamberlo/attitude.h>
#include <tamberlo/element_prev.h>
#include <tamberlo/export.h>
#include <tamberlo/fields.h>
#include <tamberlo/msg16_v2.h>
#include <tamberlo/msg_base.h>

/// Family 16, version 1, the oldest: the attitude as Euler angles, a view
/// of the quaternion that Msg16_v2 stores.
class TAMBERLO_API Msg16_v1 : public MsgBase {
 public:
  static constexpr std::int32_t familyId = 16;  ///< family id
  static constexpr std::int32_t versionNo = 1;  ///< version number
  /// Reads convert the stored quaternion; writes store setFromEA's result.
  ElementPrev<EulerAngles, Msg16_v2> att;

  /// The oldest version: builds nothing below it and binds nothing.
  explicit Msg16_v1(MsgMap& links);
};
TAMBERLO_FIELDS(Msg16_v1, att)

#endif  // TAMBERLO_MSG16_V1_H_
