/// \file
/// Msg15_v5: the newest version of family 15 (position); stores the data.
#ifndef TAMBERLO_MSG15_V5_H_
#define TAMBERLO_MSG15_V5_H_

#include <tamberlo/element_cur.h>
#include <tamberlo/export.h>
#include <tamberlo/fields.h>
#include <tamberlo/msg_base.h>
#include <tamberlo/position.h>

/// Family 15, version 5, the newest: stores the position.
class TAMBERLO_API Msg15_v5 : public MsgBase {
 public:
  static constexpr std::int32_t familyId = 15;  ///< family id
  static constexpr std::int32_t versionNo = 5;  ///< version number
  ElementCur<Position, Msg15_v5> position;  ///< latitude, longitude, altitude

  /// Builds this version and, below it, versions 4, 3 and 2, each bound to
  /// the next newer one.
  explicit Msg15_v5(MsgMap& links);

 private:
  void init();
  // Reached only through the bindings of Msg15_v4's elements.
  float& getLat();
  void setLat(float v);
  float& getLng();
  void setLng(float v);
  float& getAlt();
  void setAlt(float v);
};
TAMBERLO_FIELDS(Msg15_v5, position)

#endif  // TAMBERLO_MSG15_V5_H_
