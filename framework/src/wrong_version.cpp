// The message of tamberlo::WrongVersion, written here so that clients'
// headers need neither <stdexcept> nor <string>.
#include <tamberlo/construction.h>
#include <tamberlo/wrong_version.h>

#include <string>

namespace {

std::string nameOf(const tamberlo::detail::VersionName& version) {
  if (!version.className.empty()) return std::string(version.className);
  return "family " + std::to_string(version.familyId) + " version " +
         std::to_string(version.versionNo);
}

}  // namespace

void tamberlo::detail::throwWrongVersion(const VersionName& asked,
                                         const VersionName& self,
                                         const MsgBase* found) {
  const std::string what =
      found == nullptr ? std::string("missing")
                       : "family " + std::to_string(found->id) + " version " +
                             std::to_string(found->version);
  throw WrongVersion("tamberlo::olderVersion<" + nameOf(asked) +
                     ">: " + nameOf(self) + "'s older version is " + what +
                     ", not " + nameOf(asked));
}
