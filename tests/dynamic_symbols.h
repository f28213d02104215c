// Reads the dynamic symbol table of an ELF file with nm, for the tests
// that pin down what the library exports and what its clients import.
#ifndef TAMBERLO_TESTS_DYNAMIC_SYMBOLS_H_
#define TAMBERLO_TESTS_DYNAMIC_SYMBOLS_H_

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

inline const char kNode[] = TAMBERLO_VERSION_NODE;

struct Symbol {
  std::string kind;  // nm's type letter: T, U, A, ...
  std::string name;  // demangled, std::map<...> spelled MsgMap
  std::string node;  // version node, "" if none
  bool operator<(const Symbol& o) const {
    return std::tie(kind, name, node) < std::tie(o.kind, o.name, o.node);
  }
};

inline std::string demangle(const std::string& mangled) {
  int status = 0;
  char* plain = abi::__cxa_demangle(mangled.c_str(), nullptr, nullptr, &status);
  std::string out = status == 0 ? plain : mangled;
  std::free(plain);
  return out;
}

inline void replaceAll(std::string& s, const std::string& from,
                       const std::string& to) {
  for (auto at = s.find(from); at != std::string::npos; at = s.find(from, at)) {
    s.replace(at, from.size(), to);
    at += to.size();
  }
}

inline std::string commandOutput(const std::string& command) {
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

inline std::string selfPath() {
  char self[PATH_MAX] = {};
  EXPECT_GT(readlink("/proc/self/exe", self, sizeof self - 1), 0);
  return self;
}

// `nm -D <options> <file>` as symbols.  Names are demangled here, after the
// version suffix is split off: some nm versions cannot demangle a name that
// still carries it.  Constructors come as complete and base-object variants
// with one demangled name; the set keeps one.
inline std::set<Symbol> dynamicSymbols(const std::string& options,
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
    replaceAll(s.name, TAMBERLO_MAP_SPELLING, "MsgMap");
    symbols.insert(s);
  }
  return symbols;
}

#endif  // TAMBERLO_TESTS_DYNAMIC_SYMBOLS_H_
