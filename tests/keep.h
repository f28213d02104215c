// Keeps version objects reachable for the rest of the process.
#ifndef TAMBERLO_TESTS_KEEP_H_
#define TAMBERLO_TESTS_KEEP_H_

#include <vector>

class MsgBase;

/// Chains are never freed, by design.  Holding every root in a list that is
/// itself never destroyed keeps them reachable, so LeakSanitizer reports
/// only real leaks.
template <typename Root>
Root* keep(Root* root) {
  static auto* roots = new std::vector<MsgBase*>;
  roots->push_back(root);
  return root;
}

#endif  // TAMBERLO_TESTS_KEEP_H_
