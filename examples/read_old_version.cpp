// Writes a position through version 4 of family 15 and reads it back
// through version 2, which sees the altitude in whole feet.
#include <tamberlo/tamberlo.h>

#include <cstdio>

int main() {
  MsgBase* root = MsgBase::getInstance(15);
  auto* v4 = root->getVersion<Msg15_v4>();
  v4->lat = 45.0f;
  v4->alt = 10000.0f;  // metres

  auto* v2 = root->getVersion<Msg15_v2>();
  std::printf("lat %f, alt %d ft\n", v2->lat.get(), v2->alt.get());
  return 0;
}
