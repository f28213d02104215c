// The shared library's dynamic symbol table holds exactly the functions of
// module/exports.txt, all under the version node, and clients bind to them
// under that node.
#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <string>

#include "chains.h"
#include "dynamic_symbols.h"

namespace {

// module/exports.txt: one name a line, and comments.
std::set<std::string> listedExports() {
  std::ifstream list(TAMBERLO_EXPORTS_FILE);
  EXPECT_TRUE(list) << TAMBERLO_EXPORTS_FILE;
  std::set<std::string> names;
  for (std::string line; std::getline(list, line);) {
    if (!line.empty() && line[0] != '#') names.insert(line);
  }
  return names;
}

TEST(ExportSurface, LibraryDefinesExactlyItsOutOfLineMembers) {
  std::set<std::string> exported;
  for (const Symbol& s :
       dynamicSymbols("--defined-only", TAMBERLO_LIBRARY_FILE)) {
    if (s.kind == "A" && s.name == kNode) continue;  // the node itself
    EXPECT_EQ(s.kind, "T") << s.name;
    EXPECT_EQ(s.node, kNode) << s.name;
    exported.insert(s.name);
  }
  EXPECT_EQ(exported, listedExports());
  for (const std::string& name : exported) {
    EXPECT_EQ(name.find("El"), std::string::npos) << name;
    EXPECT_EQ(name.find("std::"), std::string::npos) << name;
  }
}

TEST(ExportSurface, ClientsImportUnderTheVersionNode) {
  // This test binary is a client: what it takes from the library is bound
  // to the version node.
  Chain15 chain;
  ASSERT_NE(chain.v2, nullptr);
  std::set<std::string> imported;
  for (const Symbol& s : dynamicSymbols("--undefined-only", selfPath())) {
    if (s.node == kNode) imported.insert(s.name);
  }
  // The typed lookups of chains.h check what each object was built as.
  EXPECT_EQ(imported, (std::set<std::string>{
                          "MsgBase::getInstance(int)",
                          "tamberlo::detail::findVersion(MsgBase&, int, int, "
                          "unsigned long long, tamberlo::detail::ClassId "
                          "const&)"}));
}

TEST(ExportSurface, SonameCarriesTheMajorVersion) {
  const std::string readelf = TAMBERLO_READELF " -d ";
  EXPECT_NE(commandOutput(readelf + TAMBERLO_LIBRARY_FILE)
                .find(std::string("Library soname: [") + TAMBERLO_SONAME + "]"),
            std::string::npos);
  // Clients record the soname, so they keep running across compatible
  // updates of the library.
  EXPECT_NE(commandOutput(readelf + "'" + selfPath() + "'")
                .find(std::string("Shared library: [") + TAMBERLO_SONAME + "]"),
            std::string::npos);
}

}  // namespace
