// Threads that each build and use chains of their own at the same time
// share nothing that is written: run under ThreadSanitizer (the tsan-clang
// preset), any race in the library is reported.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <set>
#include <thread>
#include <vector>

#include "chains.h"

namespace {

constexpr std::size_t kThreads = 4;
constexpr std::size_t kRounds = 200;

// Builds chains of both families, a joined pair and an owned chain, writes
// through old versions and reads through the others; returns how many reads
// were wrong and hands the roots back, so the caller can keep them reachable.
int useOwnChains(std::size_t thread, std::vector<MsgBase*>& roots) {
  int wrong = 0;
  for (std::size_t round = 0; round < kRounds; ++round) {
    MsgBase* root15 = MsgBase::getInstance(15);
    MsgBase* root16 = MsgBase::getInstance(16);
    MsgMap links{{15, root15->getVersion(15, 3)}};
    MsgBase* joined = new Msg16_v2(links);
    roots.insert(roots.end(), {root15, root16, joined});

    auto* v2 = root15->getVersion<Msg15_v2>();
    auto* v4 = root15->getVersion<Msg15_v4>();
    const float lat = static_cast<float>(thread * 1000 + round);
    v2->lat = lat;
    v2->alt = 32808;
    wrong += v4->lat.get() != lat;
    wrong += v4->alt.get() != 9999.87890625f;
    wrong += v2->alt.get() != 32808;

    auto* a1 = root15->getVersion<Msg16_v1>();
    wrong += a1 != joined->getVersion(16, 1);
    a1->att = angles(static_cast<float>(round % 90), 5.0f, 0.0f);
    wrong +=
        static_cast<std::size_t>(a1->att.get().yaw.get() + 0.5f) != round % 90;
    auto* other = root16->getVersion<Msg16_v1>();
    other->att = angles(1.0f, 2.0f, 3.0f);
    wrong +=
        static_cast<std::size_t>(a1->att.get().yaw.get() + 0.5f) != round % 90;

    // An owned chain, built, reset and dropped beside the other threads'.
    tamberlo::Chain<Msg15_v5> owned;
    owned->getVersion<Msg15_v3>()->lat = lat;
    owned.reset();
    wrong += owned->position.get().lat.get() != 0.0f;
  }
  return wrong;
}

TEST(Threads, EachThreadsOwnChainsWorkSideBySide) {
  std::vector<std::vector<MsgBase*>> roots(kThreads);
  std::vector<int> wrong(kThreads, -1);
  std::vector<std::thread> threads;
  for (std::size_t t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] { wrong[t] = useOwnChains(t, roots[t]); });
  }
  for (std::thread& t : threads) t.join();
  // Every chain is a thread's own: each root is distinct, and each
  // family-15 chain still holds the latitude its thread wrote into it,
  // which a chain shared with another thread would not.
  std::set<MsgBase*> distinct;
  for (std::size_t t = 0; t < kThreads; ++t) {
    EXPECT_EQ(wrong[t], 0) << "thread " << t;
    for (MsgBase* root : roots[t]) keep(root);
    distinct.insert(roots[t].begin(), roots[t].end());
    for (std::size_t round = 0; round < kRounds; ++round) {
      auto* v4 = roots[t][3 * round]->getVersion<Msg15_v4>();
      EXPECT_EQ(v4->lat.get(), static_cast<float>(t * 1000 + round))
          << "thread " << t << ", round " << round;
    }
  }
  EXPECT_EQ(distinct.size(), kThreads * 3 * kRounds);
}

}  // namespace
