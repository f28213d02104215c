// Pellory binds to the library at load time and takes exactly two members
// from it; everything else it uses it compiles itself.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "dynamic_symbols.h"

namespace {

TEST(PelloryImports, ExactlyGetInstanceAndGetVersion) {
  std::set<std::string> defined;
  for (const Symbol& s :
       dynamicSymbols("--defined-only", TAMBERLO_LIBRARY_FILE)) {
    if (s.kind == "T") defined.insert(s.name);
  }
  std::set<std::string> imported;
  std::set<std::string> unversioned;
  for (const Symbol& s :
       dynamicSymbols("--undefined-only", TAMBERLO_PELLORY_FILE)) {
    if (s.node == kNode) {
      imported.insert(s.name);
    } else if (defined.count(s.name)) {
      unversioned.insert(s.name);
    }
    EXPECT_EQ(s.name.find("dlopen"), std::string::npos) << s.name;
  }
  EXPECT_EQ(imported, (std::set<std::string>{"MsgBase::getInstance(int)",
                                             "MsgBase::getVersion(int, int)"}));
  for (const std::string& name : imported) {
    EXPECT_TRUE(defined.count(name)) << name << " is not the library's";
  }
  EXPECT_EQ(unversioned, std::set<std::string>{});
}

TEST(PelloryImports, NeedsTheLibraryBySoname) {
  const std::string dynamic = commandOutput(std::string(TAMBERLO_READELF) +
                                            " -d " + TAMBERLO_PELLORY_FILE);
  EXPECT_NE(
      dynamic.find(std::string("Shared library: [") + TAMBERLO_SONAME + "]"),
      std::string::npos)
      << dynamic;
}

}  // namespace
