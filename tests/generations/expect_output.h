// What the generations' clients share: their output against a file.
#ifndef TAMBERLO_TESTS_EXPECT_OUTPUT_H_
#define TAMBERLO_TESTS_EXPECT_OUTPUT_H_

#include <cstdio>
#include <fstream>
#include <string>

// Prints `got`; 0 if it is what the file at `path` holds, leaving out the
// lines that start with "record" when records are not built, else 1.
inline int expectOutput(const std::string& got, const char* path,
                        bool records) {
  std::ifstream in(path);
  std::string want;
  for (std::string line; std::getline(in, line);) {
    if (records || line.rfind("record", 0) != 0) want += line + '\n';
  }
  std::fputs(got.c_str(), stdout);
  if (got == want) return 0;
  std::fprintf(stderr, "expected:\n%s", want.c_str());
  return 1;
}

#endif  // TAMBERLO_TESTS_EXPECT_OUTPUT_H_
