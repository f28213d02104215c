// The shared library's dynamic symbol table holds exactly the library's own
// out-of-line members, all under version node TAMBERLO_1.0, and clients bind
// to them under that node.
#include <cxxabi.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "chains.h"

namespace {

const char kNode[] = "TAMBERLO_1.0";

struct Symbol {
  std::string kind;  // nm's type letter: T, U, A, ...
  std::string name;  // demangled, std::map<...> spelled MsgMap
  std::string node;  // version node, "" if none
  bool operator<(const Symbol& o) const {
    return std::tie(kind, name, node) < std::tie(o.kind, o.name, o.node);
  }
};

std::string demangle(const std::string& mangled) {
  int status = 0;
  char* plain = abi::__cxa_demangle(mangled.c_str(), nullptr, nullptr, &status);
  std::string out = status == 0 ? plain : mangled;
  std::free(plain);
  return out;
}

void replaceAll(std::string& s, const std::string& from,
                const std::string& to) {
  for (auto at = s.find(from); at != std::string::npos; at = s.find(from, at)) {
    s.replace(at, from.size(), to);
    at += to.size();
  }
}

std::string commandOutput(const std::string& command) {
  std::string out;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    char buffer[4096];
    while (std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe)) {
      out.append(buffer, n);
    }
    EXPECT_EQ(pclose(pipe), 0) << command;
  } else {
    ADD_FAILURE() << "cannot run " << command;
  }
  return out;
}

std::string selfPath() {
  char self[PATH_MAX] = {};
  EXPECT_GT(readlink("/proc/self/exe", self, sizeof self - 1), 0);
  return self;
}

// `nm -D <options> <file>` as symbols.  Names are demangled here, after the
// version suffix is split off: some nm versions cannot demangle a name that
// still carries it.  Constructors come as complete and base-object variants
// with one demangled name; the set keeps one.
std::set<Symbol> dynamicSymbols(const std::string& options,
                                const std::string& file) {
  const std::string out = commandOutput(std::string(TAMBERLO_NM) + " -D " +
                                        options + " '" + file + "'");
  std::set<Symbol> symbols;
  std::istringstream lines(out);
  std::string line;
  while (std::getline(lines, line)) {
    // "[address] <kind> <name>[@[@]<node>]"
    std::istringstream fields(line);
    std::vector<std::string> words;
    for (std::string w; fields >> w;) words.push_back(w);
    if (words.size() < 2) continue;
    Symbol s;
    s.kind = words[words.size() - 2];
    std::string full = words.back();
    const auto at = full.find('@');
    if (at != std::string::npos) {
      s.node = full.substr(full.find_first_not_of('@', at));
      full.erase(at);
    }
    s.name = demangle(full);
    replaceAll(s.name,
               "std::map<int, MsgBase*, std::less<int>, "
               "std::allocator<std::pair<int const, MsgBase*> > >",
               "MsgMap");
    symbols.insert(s);
  }
  return symbols;
}

const std::set<std::string> kExpected = {
    "EulerAngles::setFromQuaternion(Quaternions&)",
    "Quaternions::setFromEA(EulerAngles&)",
    "MsgBase::MsgBase(int, int, MsgMap&)",
    "MsgBase::setRoot(MsgBase*, int)",
    "MsgBase::getInstance(int)",
    "MsgBase::getVersion(int, int)",
    "Msg15_v2::Msg15_v2(MsgMap&)",
    "Msg15_v3::Msg15_v3(MsgMap&)",
    "Msg15_v3::init()",
    "Msg15_v4::Msg15_v4(MsgMap&)",
    "Msg15_v4::init()",
    "Msg15_v4::getAlt()",
    "Msg15_v4::setAlt(int)",
    "Msg15_v5::Msg15_v5(MsgMap&)",
    "Msg15_v5::init()",
    "Msg15_v5::getLat()",
    "Msg15_v5::setLat(float)",
    "Msg15_v5::getLng()",
    "Msg15_v5::setLng(float)",
    "Msg15_v5::getAlt()",
    "Msg15_v5::setAlt(float)",
    "Msg16_v1::Msg16_v1(MsgMap&)",
    "Msg16_v2::Msg16_v2(MsgMap&)",
    "Msg16_v2::init()",
    "Msg16_v2::getAtt()",
    "Msg16_v2::setAtt(EulerAngles)",
};

TEST(ExportSurface, LibraryDefinesExactlyItsOutOfLineMembers) {
  std::set<std::string> exported;
  for (const Symbol& s :
       dynamicSymbols("--defined-only", TAMBERLO_LIBRARY_FILE)) {
    if (s.kind == "A" && s.name == kNode) continue;  // the node itself
    EXPECT_EQ(s.kind, "T") << s.name;
    EXPECT_EQ(s.node, kNode) << s.name;
    exported.insert(s.name);
  }
  EXPECT_EQ(exported, kExpected);
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
  EXPECT_EQ(imported, (std::set<std::string>{"MsgBase::getInstance(int)",
                                             "MsgBase::getVersion(int, int)"}));
}

TEST(ExportSurface, SonameCarriesTheMajorVersion) {
  const std::string readelf = TAMBERLO_READELF " -d ";
  EXPECT_NE(commandOutput(readelf + TAMBERLO_LIBRARY_FILE)
                .find("Library soname: [libtamberlo.so.1]"),
            std::string::npos);
  // Clients record the soname, so they keep running across compatible
  // updates of the library.
  EXPECT_NE(commandOutput(readelf + "'" + selfPath() + "'")
                .find("Shared library: [libtamberlo.so.1]"),
            std::string::npos);
}

}  // namespace
