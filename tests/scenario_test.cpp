// Pellory's scenario on chains the library builds, including the exchange
// that runs once a family-16 root is joined to the family-15 root.
#include "scenario.h"

#include <gtest/gtest.h>
#include <tamberlo/tamberlo.h>

#include <cstdio>
#include <string>

#include "keep.h"

namespace {

const char kPosition[] = "val Lat: 45.000000\nval Alt: 32808\n";
const char kNoAttitude[] =
    "pellory: family 16 version 1 is not reachable; attitude exchange "
    "skipped\n";
const char kNoVelocity[] =
    "pellory: family 18 version 1 is not reachable; velocity exchange "
    "skipped\n";

// Captures what the scenario writes to its two streams.
class Scenario : public ::testing::Test {
 protected:
  void SetUp() override {
    out_ = std::tmpfile();
    err_ = std::tmpfile();
    ASSERT_NE(out_, nullptr);
    ASSERT_NE(err_, nullptr);
  }
  void TearDown() override {
    if (out_ != nullptr) std::fclose(out_);
    if (err_ != nullptr) std::fclose(err_);
  }
  int run(MsgBase* root) { return runScenario(root, out_, err_); }
  static std::string contents(std::FILE* f) {
    std::string text;
    std::rewind(f);
    for (int c; (c = std::fgetc(f)) != EOF;) text += static_cast<char>(c);
    return text;
  }
  std::string out() const { return contents(out_); }
  std::string err() const { return contents(err_); }

 private:
  std::FILE* out_ = nullptr;
  std::FILE* err_ = nullptr;
};

TEST_F(Scenario, PrintsPositionAndSkipsUnreachableFamilies) {
  EXPECT_EQ(run(keep(MsgBase::getInstance(15))), 0);
  EXPECT_EQ(out(), kPosition);
  EXPECT_EQ(err(), std::string(kNoAttitude) + kNoVelocity);
}

TEST_F(Scenario, RunsTheAttitudeExchangeOnceFamily16IsJoined) {
  MsgBase* root = keep(MsgBase::getInstance(15));
  MsgBase* attitudeRoot = keep(MsgBase::getInstance(16));
  root->roots[16] = attitudeRoot;
  EXPECT_EQ(run(root), 0);
  EXPECT_EQ(out(), std::string(kPosition) +
                       "val yaw: 45.000000, pitch: 5.000000, roll: 0.000000\n");
  EXPECT_EQ(err(), kNoVelocity);
  // The attitude went to the library's family-16 chain.
  auto* v1 = attitudeRoot->getVersion<Msg16_v1>();
  EXPECT_NEAR(v1->att.get().pitch.get(), 5.0f, 1e-5);
}

TEST_F(Scenario, FailsWithoutAFamily15Chain) {
  EXPECT_EQ(run(nullptr), 1);
  EXPECT_EQ(run(keep(MsgBase::getInstance(16))), 1);
  EXPECT_EQ(out(), "");
  EXPECT_EQ(err(),
            "pellory: no family-15 chain with versions 4 and 2\n"
            "pellory: no family-15 chain with versions 4 and 2\n");
}

}  // namespace
