// A client of families 15 and 16 that uses every version but the newest,
// built against the library.  Run, unchanged, against the library or
// against a build in which each family gained a newer version, it must
// print what the file named by its first argument holds; the other two
// name the version numbers the roots must have, so that the run shows
// which build it met.
#include <tamberlo/tamberlo.h>
#include <tamberlo/to_string.h>

#include <cstdint>
#include <cstdio>
#include <sstream>
#include <string>

#include "expect_output.h"

namespace {

std::string run() {
  std::ostringstream out;
  MsgBase* position = MsgBase::getInstance(15);
  auto* v4 = position->getVersion<Msg15_v4>();
  auto* v3 = position->getVersion<Msg15_v3>();
  auto* v2 = position->getVersion<Msg15_v2>();
  v4->lat = 45.0f;
  v4->alt = 10000.0f;
  v3->lng.set(7.5f);
  out << tamberlo::toString(*v4) << ' ' << tamberlo::toString(*v3) << ' '
      << tamberlo::toString(*v2) << '\n';
  v2->alt = 1000;
  v2->lat.get() = -33.25f;  // the stored component, through member forms
  out << tamberlo::toString(*v4) << ' ' << tamberlo::toString(*v2) << '\n';

  MsgBase* attitude = MsgBase::getInstance(16);
  auto* v1 = attitude->getVersion<Msg16_v1>();
  EulerAngles angles;
  angles.yaw = 30.0f;
  angles.pitch = 20.0f;
  angles.roll = 10.0f;
  v1->att = angles;
  out << tamberlo::toString(*v1) << '\n';
  return out.str();
}

bool rootIs(int family, const char* versionNo) {
  MsgBase* root = MsgBase::getInstance(family);
  if (std::to_string(root->version) == versionNo) return true;
  std::fprintf(stderr, "family %d: the root is version %d, not %s\n", family,
               static_cast<int>(root->version), versionNo);
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) return 2;
  if (!rootIs(15, argv[2]) || !rootIs(16, argv[3])) return 1;
  return expectOutput(run(), argv[1], false);
}
