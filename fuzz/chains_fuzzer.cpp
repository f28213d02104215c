// Reads its input as a sequence of operations on a small pool of message
// objects (chains from the factory, roots built from maps, copies, and any
// map entry rewritten, cycles included) and checks every answer against a
// model kept here: the version graph
// (graph_model.h) and the values each chain holds, converted as
// docs/conversions.md says (expected.h).  A mismatch aborts.
#include <tamberlo/check_chain.h>
#include <tamberlo/tamberlo.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <iterator>
#include <vector>

#include "expected.h"
#include "graph_model.h"
#include "input.h"

namespace {

// What one input may create.  The harness frees everything an input built
// once the input is done, so memory stays flat and LeakSanitizer stays
// useful: the chains the factory would build it owns through
// tamberlo::Chain, which builds them as the factory does.  An announcement
// reaches each object once, so roots built from maps need no lower cap
// than chains.
constexpr std::size_t kMaxChains = 8;
constexpr std::size_t kMaxMapEntries = 4;
constexpr std::size_t kMaxCopies = 16;

enum class Kind { k15v5, k15v4, k15v3, k15v2, k16v2, k16v1 };

template <typename T>
struct Type {
  using type = T;
};

// Calls `f` with a Type<> tag for the class of `kind`.
template <typename F>
void withClass(Kind kind, F&& f) {
  switch (kind) {
    case Kind::k15v5:
      return f(Type<Msg15_v5>{});
    case Kind::k15v4:
      return f(Type<Msg15_v4>{});
    case Kind::k15v3:
      return f(Type<Msg15_v3>{});
    case Kind::k15v2:
      return f(Type<Msg15_v2>{});
    case Kind::k16v2:
      return f(Type<Msg16_v2>{});
    case Kind::k16v1:
      return f(Type<Msg16_v1>{});
  }
}

Kind kindOf(std::int32_t family, std::int32_t version) {
  if (family == 16) return version == 2 ? Kind::k16v2 : Kind::k16v1;
  switch (version) {
    case 5:
      return Kind::k15v5;
    case 4:
      return Kind::k15v4;
    case 3:
      return Kind::k15v3;
    default:
      return Kind::k15v2;
  }
}

std::uint32_t bitsOf(float f) {
  std::uint32_t u;
  std::memcpy(&u, &f, sizeof u);
  return u;
}

float floatOf(std::uint32_t u) {
  float f;
  std::memcpy(&f, &u, sizeof f);
  return f;
}

// The values one family-15 store holds, as bit patterns, and where reads
// must land.  A chain has one; a copy of Msg15_v5 has its own.
struct Store15 {
  std::uint32_t lat = 0;
  std::uint32_t lng = 0;
  std::uint32_t metres = 0;
  Msg15_v5* storage = nullptr;
  Msg15_v4* feetCache = nullptr;  // whose altFeet a feet read returns
};

struct Store16 {
  std::uint32_t q[4] = {};  // w, x, y, z
  Msg16_v2* storage = nullptr;
};

struct Entry;

// A chain the library built, and the map its root was built from.
struct Built {
  Entry* root;
  std::vector<std::int32_t> versions;  // newest first
  MsgMap links;
  ModelMap modelLinks;
};

struct Entry {
  Kind kind;
  MsgBase* object;
  GraphNode* node;
  Store15* store15;  // family 15 only
  Store16* store16;  // family 16 only
  bool copy;         // else a version of a chain a tamberlo::Chain owns
};

void check(bool ok, const char* what, const Entry& e) {
  if (ok) return;
  std::fprintf(stderr, "mismatch: %s, through family %d version %d%s\n", what,
               e.node->id, e.node->version, e.copy ? " (a copy)" : "");
  std::abort();
}

class Session {
 public:
  explicit Session(Input& in) : in_(in) {}
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  // The harness frees what this input built: its copies each through its
  // own class, and its chains.  It rewires maps at will, cycles included,
  // so first every map names nothing but a root's record: destroying an
  // object follows its links, which must then name only live objects.
  ~Session() {
    for (Entry& e : entries_) {
      e.object->upstream.clear();
      e.object->older.clear();
      auto& roots = e.object->roots;
      for (auto at = roots.begin(); at != roots.end();) {
        at = at->first >= 0 ? roots.erase(at) : std::next(at);
      }
    }
    for (Entry& e : entries_) {
      if (!e.copy) continue;
      withClass(e.kind, [&](auto t) {
        delete static_cast<typename decltype(t)::type*>(e.object);
      });
    }
    chains15_.clear();
    chains16_.clear();
  }

  void step() {
    switch (in_.below(8)) {
      case 0:
        return getInstance();
      case 1:
        return buildFromMap();
      case 2:
        return getVersion();
      case 3:
        return write();
      case 4:
        if (!entries_.empty()) read(pick());
        return;
      case 5:
        // A new object: no map or binding of any chain changes.
        return copy();
      case 6:
        assign();
        break;
      default:
        link();
    }
    checkChains();
  }

  /// Reads everything through every object and asks every object for every
  /// version of both families.
  void checkEverything() {
    for (Entry& e : entries_) {
      read(e);
      for (std::int32_t family = 14; family <= 17; ++family) {
        for (std::int32_t version = 0; version <= 6; ++version) {
          checkGetVersion(e, family, version);
        }
      }
    }
  }

 private:
  Entry& pick() { return entries_[in_.byte() * entries_.size() / 256]; }

  // Mostly the library's families, sometimes any id.
  std::int32_t family() {
    const std::uint8_t b = in_.byte();
    if (b < 96) return 15;
    if (b < 192) return 16;
    if (b < 240) return b - 224;
    return in_.i32();
  }

  std::int32_t family15or16() { return in_.below(2) == 0 ? 15 : 16; }

  std::int32_t version() {
    const std::uint8_t b = in_.byte();
    return b < 240 ? b % 8 : in_.i32();
  }

  void getInstance() {
    const std::int32_t type = in_.byte() < 128 ? family15or16() : in_.i32();
    const bool builds = type == 15 || type == 16;
    if (builds && chains_ >= kMaxChains) return;
    if (!builds) {
      if (MsgBase::getInstance(type) != nullptr) {
        std::fprintf(stderr, "getInstance(%d) built an object\n", type);
        std::abort();
      }
      return;
    }
    MsgBase* root =
        type == 15 ? static_cast<MsgBase*>(&chains15_.emplace_back().root())
                   : &chains16_.emplace_back().root();
    addChain(root, type, {}, {});
  }

  void buildFromMap() {
    if (chains_ >= kMaxChains) return;
    const std::int32_t id = family15or16();
    MsgMap links;
    ModelMap modelLinks;
    for (std::size_t n = in_.below(kMaxMapEntries + 1); n > 0; --n) {
      const std::int32_t key = family();
      Entry* target = nullptr;
      if (!library_.empty() && in_.below(4) != 0) {
        target = library_[in_.byte() * library_.size() / 256];
      }
      links[key] = target != nullptr ? target->object : nullptr;
      modelLinks[key] = target != nullptr ? target->node : nullptr;
    }
    MsgBase* root =
        id == 15 ? static_cast<MsgBase*>(&chains15_.emplace_back(links).root())
                 : &chains16_.emplace_back(links).root();
    addChain(root, id, links, modelLinks);
  }

  void addChain(MsgBase* root, std::int32_t id, const MsgMap& links,
                const ModelMap& modelLinks) {
    ++chains_;
    const std::vector<std::int32_t> versions =
        id == 15 ? std::vector<std::int32_t>{5, 4, 3, 2}
                 : std::vector<std::int32_t>{2, 1};
    const std::vector<GraphNode*> nodes =
        model_.build(id, versions, modelLinks);
    Store15* s15 = id == 15 ? &stores15_.emplace_back() : nullptr;
    Store16* s16 = id == 16 ? &stores16_.emplace_back() : nullptr;
    MsgBase* object = root;
    for (GraphNode* node : nodes) {
      Entry probe{kindOf(id, node->version), object, node, s15, s16, false};
      check(object != nullptr && object->id == id &&
                object->version == node->version,
            "the chain has every version in order", probe);
      node->object = object;
      Entry& e = entries_.emplace_back(probe);
      library_.push_back(&e);
      if (e.kind == Kind::k15v5) s15->storage = static_cast<Msg15_v5*>(object);
      if (e.kind == Kind::k15v4)
        s15->feetCache = static_cast<Msg15_v4*>(object);
      if (e.kind == Kind::k16v2) s16->storage = static_cast<Msg16_v2*>(object);
      const auto next = object->older.find(id);
      object = next != object->older.end() ? next->second : nullptr;
    }
    check(object == nullptr, "the oldest version has nothing older",
          entries_.back());
    built_.push_back({&entries_[entries_.size() - nodes.size()], versions,
                      links, modelLinks});
    // An announcement writes only `roots`, which checkChain does not read:
    // only the new chain can have changed.
    checkChain(built_.back());
  }

  // checkChain on every chain the library built, after anything that may
  // have rewired one: it must answer, and find problems exactly when the
  // model says the chain is no longer as built.
  void checkChains() {
    for (const Built& b : built_) checkChain(b);
  }

  void checkChain(const Built& b) {
    MsgBase* root = b.root->object;
    const bool sound =
        b.root->kind == Kind::k15v5
            ? tamberlo::checkChain<Msg15_v5, Msg15_v4, Msg15_v3, Msg15_v2>(
                  root, b.links)
                  .empty()
            : tamberlo::checkChain<Msg16_v2, Msg16_v1>(root, b.links).empty();
    check(sound == GraphModel::asBuilt(b.root->node, b.versions, b.modelLinks),
          "checkChain finds problems exactly when the chain is not as built",
          *b.root);
  }

  void getVersion() {
    if (entries_.empty()) return;
    Entry& e = pick();
    const std::int32_t f = family();
    checkGetVersion(e, f, version());
  }

  void checkGetVersion(Entry& e, std::int32_t f, std::int32_t v) {
    GraphNode* want = model_.find(e.node, f, v);
    check(e.object->getVersion(f, v) == (want ? want->object : nullptr),
          "getVersion answers as the graph says", e);
  }

  void write() {
    if (entries_.empty()) return;
    Entry& e = pick();
    switch (e.kind) {
      case Kind::k15v5:
        return writeStored(e, *static_cast<Msg15_v5*>(e.object));
      case Kind::k15v4:
        return writeMetres(e, *static_cast<Msg15_v4*>(e.object));
      case Kind::k15v3:
        return writeFeet(e, *static_cast<Msg15_v3*>(e.object));
      case Kind::k15v2:
        return writeFeet(e, *static_cast<Msg15_v2*>(e.object));
      case Kind::k16v2:
        return writeQuaternion(e, *static_cast<Msg16_v2*>(e.object));
      case Kind::k16v1:
        return writeAngles(e, *static_cast<Msg16_v1*>(e.object));
    }
  }

  // Through set(), assignment, or the reference get() returns.
  template <typename Element, typename T>
  void store(Element& element, T v) {
    switch (in_.below(3)) {
      case 0:
        element.set(v);
        break;
      case 1:
        element = v;
        break;
      default:
        element.get() = v;
    }
  }

  void writeStored(Entry& e, Msg15_v5& m) {
    Position& p = m.position.get();
    const float v = in_.f32();
    switch (in_.below(4)) {
      case 0:
        store(p.lat, v);
        e.store15->lat = bitsOf(v);
        break;
      case 1:
        store(p.lng, v);
        e.store15->lng = bitsOf(v);
        break;
      case 2:
        store(p.alt, v);
        e.store15->metres = bitsOf(v);
        break;
      default: {
        Position whole;
        whole.lat = v;
        whole.lng = in_.f32();
        whole.alt = in_.f32();
        e.store15->lat = bitsOf(whole.lat.get());
        e.store15->lng = bitsOf(whole.lng.get());
        e.store15->metres = bitsOf(whole.alt.get());
        if (in_.below(2) == 0) {
          m.position.set(whole);
        } else {
          m.position = whole;
        }
      }
    }
  }

  // Latitude and longitude, common to versions 4, 3 and 2.
  template <typename M>
  bool writeCoordinate(Entry& e, M& m, float v) {
    switch (in_.below(3)) {
      case 0:
        store(m.lat, v);
        e.store15->lat = bitsOf(v);
        return true;
      case 1:
        store(m.lng, v);
        e.store15->lng = bitsOf(v);
        return true;
      default:
        return false;
    }
  }

  void writeMetres(Entry& e, Msg15_v4& m) {
    const float v = in_.f32();
    if (writeCoordinate(e, m, v)) return;
    store(m.alt, v);
    e.store15->metres = bitsOf(v);
  }

  template <typename M>
  void writeFeet(Entry& e, M& m) {
    const std::uint32_t raw = in_.u32();
    if (writeCoordinate(e, m, floatOf(raw))) return;
    std::int32_t feet;
    std::memcpy(&feet, &raw, sizeof feet);
    const std::size_t how = in_.below(3);
    if (how == 0) {
      m.alt.set(feet);
    } else if (how == 1) {
      m.alt = feet;
    }
    if (how != 2) {
      e.store15->metres = bitsOf(expected::metresFromFeet(feet));
      return;
    }
    // The reference is v4's cache: the stored metres stay as they were.
    m.alt.get() = feet;
    check(e.store15->feetCache->altFeet == feet,
          "a feet reference is v4's cache", e);
    check(bitsOf(e.store15->storage->position.get().alt.get()) ==
              e.store15->metres,
          "writing the feet cache leaves the metres", e);
  }

  void writeQuaternion(Entry& e, Msg16_v2& m) {
    const std::size_t how = in_.below(3);
    if (how == 2) {
      // One component in place.
      Quaternions& stored = m.att.get();
      ElementCur<float, Quaternions>* parts[] = {&stored.w, &stored.x,
                                                 &stored.y, &stored.z};
      const std::size_t i = in_.below(4);
      e.store16->q[i] = in_.u32();
      *parts[i] = floatOf(e.store16->q[i]);
      return;
    }
    Quaternions q;
    ElementCur<float, Quaternions>* parts[] = {&q.w, &q.x, &q.y, &q.z};
    for (std::size_t i = 0; i < 4; ++i) {
      e.store16->q[i] = in_.u32();
      *parts[i] = floatOf(e.store16->q[i]);
    }
    if (how == 0) {
      m.att.set(q);
    } else {
      m.att = q;
    }
  }

  void writeAngles(Entry& e, Msg16_v1& m) {
    EulerAngles angles;
    angles.yaw = in_.f32();
    angles.pitch = in_.f32();
    angles.roll = in_.f32();
    const std::size_t how = in_.below(3);
    if (how == 2) {
      // The reference is v2's cache: the stored quaternion stays.
      m.att.get().yaw = angles.yaw.get();
      check(&m.att.get() == &e.store16->storage->attEuler,
            "an Euler reference is v2's cache", e);
      return readQuaternion(e, *e.store16->storage);
    }
    if (how == 0) {
      m.att.set(angles);
    } else {
      m.att = angles;
    }
    // Kept as the bits stored, which match the model's up to which NaN.
    const auto want = expected::quaternionFromAngles(
        angles.yaw.get(), angles.pitch.get(), angles.roll.get());
    Quaternions& q = e.store16->storage->att.get();
    const float stored[] = {q.w.get(), q.x.get(), q.y.get(), q.z.get()};
    for (std::size_t i = 0; i < 4; ++i) {
      check(expected::sameFloat(stored[i], want[i]),
            "a write stores the quaternion of the angles", e);
      e.store16->q[i] = bitsOf(stored[i]);
    }
  }

  void read(Entry& e) {
    switch (e.kind) {
      case Kind::k15v5: {
        Position& p = static_cast<Msg15_v5*>(e.object)->position.get();
        check(&p == &e.store15->storage->position.value,
              "v5 holds the position", e);
        check(bitsOf(p.lat.get()) == e.store15->lat, "latitude", e);
        check(bitsOf(p.lng.get()) == e.store15->lng, "longitude", e);
        check(bitsOf(p.alt.get()) == e.store15->metres, "metres", e);
        return;
      }
      case Kind::k15v4: {
        auto& m = *static_cast<Msg15_v4*>(e.object);
        readCoordinates(e, m);
        float& metres = m.alt.get();
        check(&metres == &e.store15->storage->position.value.alt.value,
              "metres through v4 are the storage", e);
        check(bitsOf(metres) == e.store15->metres, "metres through v4", e);
        return;
      }
      case Kind::k15v3:
        return readFeet(e, *static_cast<Msg15_v3*>(e.object));
      case Kind::k15v2:
        return readFeet(e, *static_cast<Msg15_v2*>(e.object));
      case Kind::k16v2:
        return readQuaternion(e, *static_cast<Msg16_v2*>(e.object));
      case Kind::k16v1: {
        EulerAngles& angles = static_cast<Msg16_v1*>(e.object)->att.get();
        check(&angles == &e.store16->storage->attEuler,
              "an Euler read lands in v2's cache", e);
        const std::uint32_t* q = e.store16->q;
        check(expected::attitudeMatches(floatOf(q[0]), floatOf(q[1]),
                                        floatOf(q[2]), floatOf(q[3]), angles),
              "Euler angles read through v1", e);
        return;
      }
    }
  }

  template <typename M>
  void readCoordinates(Entry& e, M& m) {
    Position& storage = e.store15->storage->position.value;
    float& lat = m.lat.get();
    check(&lat == &storage.lat.value, "latitude is the storage", e);
    check(bitsOf(lat) == e.store15->lat, "latitude", e);
    float& lng = m.lng.get();
    check(&lng == &storage.lng.value, "longitude is the storage", e);
    check(bitsOf(lng) == e.store15->lng, "longitude", e);
  }

  template <typename M>
  void readFeet(Entry& e, M& m) {
    readCoordinates(e, m);
    std::int32_t& feet = m.alt.get();
    check(&feet == &e.store15->feetCache->altFeet,
          "a feet read lands in v4's cache", e);
    check(feet == expected::feetFromMetres(floatOf(e.store15->metres)), "feet",
          e);
  }

  void readQuaternion(Entry& e, Msg16_v2& m) {
    Quaternions& q = m.att.get();
    check(bitsOf(q.w.get()) == e.store16->q[0], "w", e);
    check(bitsOf(q.x.get()) == e.store16->q[1], "x", e);
    check(bitsOf(q.y.get()) == e.store16->q[2], "y", e);
    check(bitsOf(q.z.get()) == e.store16->q[3], "z", e);
  }

  void copy() {
    if (entries_.empty() || copies_ >= kMaxCopies) return;
    Entry source = pick();
    MsgBase* object = nullptr;
    withClass(source.kind, [&](auto t) {
      using T = typename decltype(t)::type;
      object = new T(*static_cast<T*>(source.object));
    });
    Entry& e = entries_.emplace_back(source);
    e.object = object;
    e.node = model_.copy(*source.node, object);
    e.copy = true;
    ++copies_;
    // The newest version holds values: its copy holds copies of them.
    if (e.kind == Kind::k15v5) {
      e.store15 = &stores15_.emplace_back(*source.store15);
      e.store15->storage = static_cast<Msg15_v5*>(object);
    } else if (e.kind == Kind::k16v2) {
      e.store16 = &stores16_.emplace_back(*source.store16);
      e.store16->storage = static_cast<Msg16_v2*>(object);
    }
  }

  // Copies and the library's newest versions.  Assigning an older version
  // would copy its element bindings, redirecting the target's whole chain.
  static bool assignable(const Entry& e) {
    return e.copy || e.kind == Kind::k15v5 || e.kind == Kind::k16v2;
  }

  void assign() {
    std::vector<Entry*> targets;
    for (Entry& e : entries_) {
      if (assignable(e)) targets.push_back(&e);
    }
    if (targets.empty()) return;
    Entry& target = *targets[in_.byte() * targets.size() / 256];
    // A source of the same class, searched for from a chosen start.
    const std::size_t start = in_.byte() * entries_.size() / 256;
    Entry* source = nullptr;
    for (std::size_t i = 0; source == nullptr; ++i) {
      Entry& candidate = entries_[(start + i) % entries_.size()];
      if (candidate.kind == target.kind) source = &candidate;
    }
    withClass(target.kind, [&](auto t) {
      using T = typename decltype(t)::type;
      *static_cast<T*>(target.object) = *static_cast<T*>(source->object);
    });
    MsgBase* object = target.object;
    *target.node = *source->node;
    target.node->object = object;
    // The values come over; the target's chain stays bound to the target,
    // so where reads land (storage, feet cache) stays as it was.
    if (target.kind == Kind::k15v5) {
      const Store15 values = *source->store15;
      target.store15->lat = values.lat;
      target.store15->lng = values.lng;
      target.store15->metres = values.metres;
    } else if (target.kind == Kind::k16v2) {
      const Store16 values = *source->store16;
      std::memcpy(target.store16->q, values.q, sizeof values.q);
    } else {
      target.store15 = source->store15;
      target.store16 = source->store16;
    }
  }

  // Any entry of any object's four maps, set to any object or null: links
  // back up a chain, roots naming each other, upstream links going round.
  void link() {
    if (entries_.empty()) return;
    Entry& e = pick();
    const std::int32_t key = family();
    const Entry* to = in_.below(4) != 0 ? &pick() : nullptr;
    MsgBase* object = to != nullptr ? to->object : nullptr;
    GraphNode* node = to != nullptr ? to->node : nullptr;
    switch (in_.below(4)) {
      case 0:
        e.object->older[key] = object;
        e.node->older[key] = node;
        return;
      case 1:
        e.object->upstream[key] = object;
        e.node->upstream[key] = node;
        return;
      case 2: {
        // Negative keys of `roots` are the library's: a root's record.
        const std::int32_t family = key < 0 ? ~key : key;
        e.object->roots[family] = object;
        e.node->roots[family] = node;
        return;
      }
      default:
        e.object->peer[key] = object;
        e.node->peer[key] = node;
    }
  }

  Input& in_;
  GraphModel model_;
  std::deque<Entry> entries_;
  std::vector<Entry*> library_;  // objects the library built
  std::vector<Built> built_;
  std::deque<Store15> stores15_;
  std::deque<Store16> stores16_;
  std::deque<tamberlo::Chain<Msg15_v5>> chains15_;
  std::deque<tamberlo::Chain<Msg16_v2>> chains16_;
  std::size_t chains_ = 0;
  std::size_t copies_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  Input in(data, size);
  Session session(in);
  while (!in.empty()) session.step();
  session.checkEverything();
  return 0;
}
