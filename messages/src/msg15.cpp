// Family 15.  Every constructor is the construction helper: the version
// below is built and then bound by init(), by name where a field passes
// unchanged and one checked bind per field that converts.
#include <tamberlo/bind_by_name.h>
#include <tamberlo/construction.h>
#include <tamberlo/msg15_v2.h>
#include <tamberlo/msg15_v3.h>
#include <tamberlo/msg15_v4.h>
#include <tamberlo/msg15_v5.h>

#include <cmath>
#include <cstdint>
#include <limits>

#include "exact_arithmetic.h"

namespace {

// The single-precision constants are part of the wire behaviour: they fix
// which whole number of feet every altitude reads as.
constexpr float kFeetPerMetre = 3.28084f;
constexpr float kMetresPerFoot = 0.3048f;
static_assert(kFeetPerMetre == 3.2808399200439453125, "nearest float");
static_assert(kMetresPerFoot == 0.3048000037670135498046875, "nearest float");

// Truncation toward zero, made total: casting NaN or a value outside int32
// to an integer is undefined, so those saturate (NaN reads as 0).
std::int32_t truncateToFeet(float feet) {
  constexpr float kTwoTo31 = 2147483648.0f;
  if (std::isnan(feet)) return 0;
  if (feet >= kTwoTo31) return std::numeric_limits<std::int32_t>::max();
  if (feet < -kTwoTo31) return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(feet);
}

}  // namespace

Msg15_v5::Msg15_v5(MsgMap& links) : MsgBase(familyId, versionNo, links) {
  tamberlo::buildOlder<Msg15_v4>(*this, &Msg15_v5::init);
}

void Msg15_v5::init() {
  auto& v4 = tamberlo::olderVersion<Msg15_v4>(*this);
  v4.lat.bind(this, &Msg15_v5::getLat, &Msg15_v5::setLat);
  v4.lng.bind(this, &Msg15_v5::getLng, &Msg15_v5::setLng);
  v4.alt.bind(this, &Msg15_v5::getAlt, &Msg15_v5::setAlt);
}

// The accessors write components in place; set() on `position` would copy
// the whole Position.
float& Msg15_v5::getLat() { return position.get().lat.get(); }
void Msg15_v5::setLat(float v) { position.get().lat.set(v); }
float& Msg15_v5::getLng() { return position.get().lng.get(); }
void Msg15_v5::setLng(float v) { position.get().lng.set(v); }
float& Msg15_v5::getAlt() { return position.get().alt.get(); }
void Msg15_v5::setAlt(float v) { position.get().alt.set(v); }

Msg15_v4::Msg15_v4(MsgMap& links) : MsgBase(familyId, versionNo, links) {
  tamberlo::buildOlder<Msg15_v3>(*this, &Msg15_v4::init);
}

// Latitude and longitude pass by name; the altitude's unit changes.
void Msg15_v4::init() {
  auto& v3 = tamberlo::olderVersion<Msg15_v3>(*this);
  tamberlo::bindByName(v3, *this);
  v3.alt.bind(this, &Msg15_v4::getAlt, &Msg15_v4::setAlt);
}

std::int32_t& Msg15_v4::getAlt() {
  const float feet = alt.get() * kFeetPerMetre;  // one float multiply
  altFeet = truncateToFeet(feet);
  return altFeet;
}

void Msg15_v4::setAlt(std::int32_t feet) {
  const double metres =
      static_cast<double>(feet) * static_cast<double>(kMetresPerFoot);
  alt.set(static_cast<float>(metres));
}

Msg15_v3::Msg15_v3(MsgMap& links) : MsgBase(familyId, versionNo, links) {
  tamberlo::buildOlder<Msg15_v2>(*this, &Msg15_v3::init);
}

void Msg15_v3::init() {
  tamberlo::bindByName(tamberlo::olderVersion<Msg15_v2>(*this), *this);
}

Msg15_v2::Msg15_v2(MsgMap& links) : MsgBase(familyId, versionNo, links) {
  tamberlo::buildOlder<void>(*this);
}
