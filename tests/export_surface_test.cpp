// The shared library's dynamic symbol table holds exactly the library's own
// out-of-line members, all under version node TAMBERLO_1.0, and clients bind
// to them under that node.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "chains.h"
#include "dynamic_symbols.h"

namespace {

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
    "tamberlo::detail::settleAnnouncement(MsgBase*, bool)",
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
