// checkChain finds every kind of miswiring, naming class and field, and
// nothing in a chain as the library builds it.
#include <gtest/gtest.h>
#include <tamberlo/check_chain.h>
#include <tamberlo/tamberlo.h>

#include <string>
#include <vector>

#include "chains.h"

namespace {

using Problems = std::vector<std::string>;

Problems check15(MsgBase* root) {
  return tamberlo::checkChain<Msg15_v5, Msg15_v4, Msg15_v3, Msg15_v2>(root);
}

Problems check16(MsgBase* root, const MsgMap& builtFrom = {}) {
  return tamberlo::checkChain<Msg16_v2, Msg16_v1>(root, builtFrom);
}

TEST(CheckChain, ChainsAsBuiltAreSound) {
  Chain15 c;
  EXPECT_EQ(check15(c.root), Problems{});
  EXPECT_EQ(check16(Chain16{}.root), Problems{});
  MsgMap known{{15, c.root}};
  MsgBase* joined = keep(new Msg16_v2(known));
  EXPECT_EQ(check16(joined, known), Problems{});
  EXPECT_EQ(check16(joined), Problems{"Msg16_v2: upstream[15] is family 15 "
                                      "version 5 outside this chain, "
                                      "expected null"});
}

TEST(CheckChain, MiswiredElements) {
  Chain15 c;
  Chain15 other;
  c.v2->lat.bind(nullptr, -1, nullptr, nullptr);
  c.v2->lng = other.v2->lng;  // copies the binding to the other chain
  const std::int32_t lat = elementOffset(*c.v3, c.v3->lat);
  c.v2->alt.bind(c.v3, lat, nullptr, nullptr);  // a float for feet
  c.v3->alt.setter = nullptr;
  EXPECT_EQ(check15(c.root),
            (Problems{"Msg15_v3::alt: accessor form without a setter",
                      "Msg15_v2::alt: offset " + std::to_string(lat) +
                          " lands on no listed field of Msg15_v3 with its "
                          "value type",
                      "Msg15_v2::lat: unbound",
                      "Msg15_v2::lng: bound to an object that is not this "
                      "chain's Msg15_v3"}));
  Chain16 a;
  a.v1->att.getter = nullptr;
  EXPECT_EQ(check16(a.root),
            Problems{"Msg16_v1::att: accessor form without a getter"});
}

TEST(CheckChain, MapsThatDisagreeAndCycles) {
  Chain15 forgot;
  forgot.v3->peer[15] = nullptr;
  forgot.v4->older[16] = forgot.v2;
  EXPECT_EQ(check15(forgot.root),
            (Problems{"Msg15_v4: older[16] is this chain's Msg15_v2, "
                      "expected null",
                      "Msg15_v3: peer[15] is null, expected this chain's "
                      "Msg15_v3"}));
  Chain15 c;
  Chain15 other;
  c.v5->older[15] = other.v4;
  keep(c.v4);  // no longer reachable through its chain
  EXPECT_EQ(check15(c.root),
            (Problems{"Msg15_v4: upstream[15] is family 15 version 5 outside "
                      "this chain, expected this chain's Msg15_v5",
                      "Msg15_v4::lat: bound to an object that is not this "
                      "chain's Msg15_v5",
                      "Msg15_v4::lng: bound to an object that is not this "
                      "chain's Msg15_v5",
                      "Msg15_v4::alt: bound to an object that is not this "
                      "chain's Msg15_v5"}));
  Chain15 round;
  round.v3->older[15] = round.root;
  keep(round.v2);
  EXPECT_EQ(check15(round.root),
            Problems{"Msg15_v3: older[15] is this chain's Msg15_v5, expected "
                     "Msg15_v2"});
  EXPECT_EQ(check15(nullptr), Problems{"the root is null, expected Msg15_v5"});
}

}  // namespace
