#include <tamberlo/msg_base.h>

MsgBase::MsgBase(std::int32_t familyId, std::int32_t versionNo, MsgMap& links)
    : id(familyId), version(versionNo) {
  if (links.empty()) {
    roots[id] = this;
  } else {
    for (const auto& [key, object] : links) {
      if (key != id && object != nullptr) object->setRoot(this, id);
    }
  }
  upstream = links;
  older[id] = nullptr;
}

void MsgBase::setRoot(MsgBase* root, std::int32_t familyId) {
  int passedOn = 0;
  for (const auto& entry : upstream) {
    if (entry.second != nullptr) {
      entry.second->setRoot(root, familyId);
      ++passedOn;
    }
  }
  if (passedOn == 0) roots[familyId] = root;
}

MsgBase* MsgBase::getVersion(std::int32_t familyId, std::int32_t versionNo) {
  MsgBase* root = roots[familyId];
  if (root != nullptr && root != this) {
    return root->getVersion(familyId, versionNo);
  }
  if (familyId != id) return nullptr;
  if (versionNo == version) return this;
  MsgBase* next = older[id];
  return next != nullptr ? next->getVersion(familyId, versionNo) : nullptr;
}
