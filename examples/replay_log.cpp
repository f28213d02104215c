// Old data, new code: a client of Msg15_v2 logged its messages as JSON
// lines, one record each; this program reads each line onto a chain it
// owns, which then holds that record alone, shows it through Msg15_v4 and
// writes the Msg15_v5 record of the same message.  A line the old client
// left half-written is reported and skipped, and writes nothing.
#include <tamberlo/records.h>
#include <tamberlo/tamberlo.h>
#include <tamberlo/to_string.h>

#include <cstdint>
#include <cstdio>
#include <exception>
#include <sstream>
#include <string>

namespace {

// What the old client wrote, through the only version it knows.
std::string oldClientsLog() {
  tamberlo::Chain<Msg15_v5> chain;
  auto* v2 = chain->getVersion<Msg15_v2>();
  struct Fix {
    std::int32_t feet;
    float lat;
    float lng;
  };
  std::string log;
  for (const Fix& fix : {Fix{32808, 45.0f, 7.5f}, Fix{10000, 51.4778f, -0.1f},
                         Fix{-1000, 31.5f, 35.25f}}) {
    v2->alt = fix.feet;
    v2->lat = fix.lat;
    v2->lng = fix.lng;
    log += tamberlo::toJson(*v2) + '\n';
  }
  return log + R"({"family":15,"version":2,"fields":{"alt":12)" + '\n';
}

}  // namespace

int main() try {
  tamberlo::Chain<Msg15_v5> chain;
  std::istringstream log(oldClientsLog());
  for (std::string line; std::getline(log, line);) {
    try {
      tamberlo::readJson<Msg15_v5, Msg15_v4, Msg15_v3, Msg15_v2>(chain, line);
    } catch (const tamberlo::RecordError& e) {
      std::printf("skipped: %s\n", e.what());
      continue;
    }
    std::printf("%s\n%s\n",
                tamberlo::toString(*chain->getVersion<Msg15_v4>()).c_str(),
                tamberlo::toJson(*chain->getVersion<Msg15_v5>()).c_str());
  }
  return 0;
} catch (const std::exception& e) {  // std::bad_alloc, say
  std::fprintf(stderr, "%s\n", e.what());
  return 1;
}
