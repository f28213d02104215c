// Builds a chain with the code of a module, unloads the module, and looks
// its versions up, typed: the identities the library recorded are its own
// data, not the module's.  Argument: the module's path.
#include <dlfcn.h>
#include <tamberlo/wrong_version.h>

#include <cstdio>

#include "drop_family.h"

// Family 81's version 1 as another layout than the module built.
class Other_v1 : public MsgBase {
 public:
  static constexpr std::int32_t familyId = 81;
  static constexpr std::int32_t versionNo = 1;
  ElementPrev<double, Drop_v2> level;
};
TAMBERLO_FIELDS(Other_v1, level)

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  void* module = dlopen(argv[1], RTLD_NOW | RTLD_LOCAL);
  if (module == nullptr) return 3;
  // NOLINTNEXTLINE(cppcoreguidelines-pro-type-reinterpret-cast)
  auto* build = reinterpret_cast<MsgBase* (*)()>(dlsym(module, "buildDrop"));
  MsgBase* root = build();
  dlclose(module);
  if (dlopen(argv[1], RTLD_NOW | RTLD_NOLOAD) != nullptr) return 4;
  const bool found = root->getVersion<Drop_v2>() == root &&
                     root->getVersion<Drop_v1>() != nullptr;
  try {
    root->getVersion<Other_v1>();
  } catch (const tamberlo::WrongVersion& e) {
    std::printf("unloaded, %s, %s\n", found ? "found" : "not found", e.what());
  }
  return 0;
}
