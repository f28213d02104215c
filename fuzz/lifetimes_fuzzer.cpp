// Reads its input as operations on a small pool of chains and checks what
// the library promises about their lifetimes (docs/usage.md, "Threads and
// lifetime"): roots of the library's families and of families of this
// program's own are built by owners (tamberlo::Chain) from maps naming
// pool objects, some made to fail part way; whole chains are destroyed;
// versions are copied and moved into temporaries; lookups run from any
// object.  This program's classes are
// compiled here and the library's in its shared library, so constructions,
// rollbacks and destructions cross modules.  After every step no live
// object's `roots` or `upstream` map names a destroyed object; a failed
// construction leaves every map as it was; a typed lookup hands an object
// out only as the class it was built as, and refuses it as another; an
// object's own family never answers with another class's version; a copy
// or move leaves its source in place with its values.  A mismatch aborts.
#include <tamberlo/tamberlo.h>
#include <tamberlo/to_string.h>
#include <tamberlo/wrong_version.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "input.h"

namespace {

// What one input may build: chains alive at once, construction attempts,
// and entries of a map a root is built from.
constexpr std::size_t kMaxChains = 8;
constexpr std::size_t kMaxBuilds = 24;
constexpr std::size_t kMaxMapEntries = 4;

// The fallible step, counted from the start of a construction, that
// throws; 0 for none.
int failIn = 0;

struct Refused {};

void fallible() {
  if (failIn > 0 && --failIn == 0) throw Refused{};
}

// A member whose initialiser is a fallible step.
struct Fallible {
  Fallible() { fallible(); }
};

// Family 15's version 6, above the library's chain, which the library's
// constructors build.
class Msg15_v6 : public MsgBase {
 public:
  static constexpr std::int32_t familyId = 15;
  static constexpr std::int32_t versionNo = 6;
  Fallible member;
  ElementCur<float, Msg15_v6> speed;

  explicit Msg15_v6(MsgMap& links) : MsgBase(familyId, versionNo, links) {
    tamberlo::buildOlder<Msg15_v5>(*this, &Msg15_v6::init);
  }
  void init() { fallible(); }
};
TAMBERLO_FIELDS(Msg15_v6, speed)

class Gauge_v2;
class Gauge_v3;

class Gauge_v1 : public MsgBase {
 public:
  static constexpr std::int32_t familyId = 60;
  static constexpr std::int32_t versionNo = 1;
  Fallible member;
  ElementPrev<std::int32_t, Gauge_v2> level;

  explicit Gauge_v1(MsgMap& links) : MsgBase(familyId, versionNo, links) {
    tamberlo::buildOlder<void>(*this);
  }
};
TAMBERLO_FIELDS(Gauge_v1, level)

class Gauge_v2 : public MsgBase {
 public:
  static constexpr std::int32_t familyId = 60;
  static constexpr std::int32_t versionNo = 2;
  Fallible member;
  ElementPrev<std::int32_t, Gauge_v3> level;

  explicit Gauge_v2(MsgMap& links) : MsgBase(familyId, versionNo, links) {
    tamberlo::buildOlder<Gauge_v1>(*this, &Gauge_v2::init);
  }
  void init(Gauge_v1& previous) {
    tamberlo::bindByName(previous, *this);
    fallible();
  }
};
TAMBERLO_FIELDS(Gauge_v2, level)

class Gauge_v3 : public MsgBase {
 public:
  static constexpr std::int32_t familyId = 60;
  static constexpr std::int32_t versionNo = 3;
  Fallible member;
  ElementCur<std::int32_t, Gauge_v3> level;

  explicit Gauge_v3(MsgMap& links) : MsgBase(familyId, versionNo, links) {
    tamberlo::buildOlder<Gauge_v2>(*this, &Gauge_v3::init);
  }
  void init(Gauge_v2& previous) {
    tamberlo::bindByName(previous, *this);
    fallible();
  }
};
TAMBERLO_FIELDS(Gauge_v3, level)

// Long enough to be allocated, so that a copy that is not freed leaks.
class Label_v1 : public MsgBase {
 public:
  static constexpr std::int32_t familyId = 61;
  static constexpr std::int32_t versionNo = 1;
  Fallible member;
  ElementCur<std::string, Label_v1> name{
      "a label too long to be stored inline"};

  explicit Label_v1(MsgMap& links) : MsgBase(familyId, versionNo, links) {
    tamberlo::buildOlder<void>(*this);
  }
};
TAMBERLO_FIELDS(Label_v1, name)

// Counter and Rival share family id 62 and claim its version 1.
class Counter_v2;

class Counter_v1 : public MsgBase {
 public:
  static constexpr std::int32_t familyId = 62;
  static constexpr std::int32_t versionNo = 1;
  ElementPrev<std::int32_t, Counter_v2> count;

  explicit Counter_v1(MsgMap& links) : MsgBase(familyId, versionNo, links) {
    tamberlo::buildOlder<void>(*this);
  }
};
TAMBERLO_FIELDS(Counter_v1, count)

class Counter_v2 : public MsgBase {
 public:
  static constexpr std::int32_t familyId = 62;
  static constexpr std::int32_t versionNo = 2;
  ElementCur<std::int32_t, Counter_v2> count;

  explicit Counter_v2(MsgMap& links) : MsgBase(familyId, versionNo, links) {
    tamberlo::buildOlder<Counter_v1>(*this, &Counter_v2::init);
  }
  void init(Counter_v1& previous) {
    tamberlo::bindByName(previous, *this);
    fallible();
  }
};
TAMBERLO_FIELDS(Counter_v2, count)

class Rival_v1 : public MsgBase {
 public:
  static constexpr std::int32_t familyId = 62;
  static constexpr std::int32_t versionNo = 1;
  Fallible member;
  ElementCur<std::int32_t, Rival_v1> count;

  explicit Rival_v1(MsgMap& links) : MsgBase(familyId, versionNo, links) {
    tamberlo::buildOlder<void>(*this);
  }
};
TAMBERLO_FIELDS(Rival_v1, count)

enum Cls : std::uint8_t {
  k15v6,
  k15v5,
  k15v4,
  k15v3,
  k15v2,
  k16v2,
  k16v1,
  kGauge3,
  kGauge2,
  kGauge1,
  kLabel1,
  kCounter2,
  kCounter1,
  kRival1,
  kClassCount
};

template <typename T>
struct Type {
  using type = T;
};

// Calls `f` with a Type<> tag for the class `c`.
template <typename F>
void withClass(Cls c, F&& f) {
  switch (c) {
    case k15v6:
      return f(Type<Msg15_v6>{});
    case k15v5:
      return f(Type<Msg15_v5>{});
    case k15v4:
      return f(Type<Msg15_v4>{});
    case k15v3:
      return f(Type<Msg15_v3>{});
    case k15v2:
      return f(Type<Msg15_v2>{});
    case k16v2:
      return f(Type<Msg16_v2>{});
    case k16v1:
      return f(Type<Msg16_v1>{});
    case kGauge3:
      return f(Type<Gauge_v3>{});
    case kGauge2:
      return f(Type<Gauge_v2>{});
    case kGauge1:
      return f(Type<Gauge_v1>{});
    case kLabel1:
      return f(Type<Label_v1>{});
    case kCounter2:
      return f(Type<Counter_v2>{});
    case kCounter1:
      return f(Type<Counter_v1>{});
    default:
      return f(Type<Rival_v1>{});
  }
}

// Classes of one line answer for one another's versions; two lines under
// one family id must never meet.
enum class Line : std::uint8_t { k15, k16, kGauge, kLabel, kCounter, kRival };

struct ClassInfo {
  const char* name;
  Cls older;  // kClassCount for the oldest
  Line line;
};

constexpr ClassInfo kInfo[kClassCount] = {
    {"Msg15_v6", k15v5, Line::k15},
    {"Msg15_v5", k15v4, Line::k15},
    {"Msg15_v4", k15v3, Line::k15},
    {"Msg15_v3", k15v2, Line::k15},
    {"Msg15_v2", kClassCount, Line::k15},
    {"Msg16_v2", k16v1, Line::k16},
    {"Msg16_v1", kClassCount, Line::k16},
    {"Gauge_v3", kGauge2, Line::kGauge},
    {"Gauge_v2", kGauge1, Line::kGauge},
    {"Gauge_v1", kClassCount, Line::kGauge},
    {"Label_v1", kClassCount, Line::kLabel},
    {"Counter_v2", kCounter1, Line::kCounter},
    {"Counter_v1", kClassCount, Line::kCounter},
    {"Rival_v1", kClassCount, Line::kRival},
};

void check(bool ok, const char* what, Cls c) {
  if (ok) return;
  std::fprintf(stderr, "mismatch: %s, at %s\n", what, kInfo[c].name);
  std::abort();
}

ElInterface<std::int32_t>& levelOf(MsgBase* object, Cls c) {
  switch (c) {
    case kGauge3:
      return static_cast<Gauge_v3*>(object)->level;
    case kGauge2:
      return static_cast<Gauge_v2*>(object)->level;
    default:
      return static_cast<Gauge_v1*>(object)->level;
  }
}

struct Maps {
  MsgMap older;
  MsgMap upstream;
  MsgMap peer;
  MsgMap roots;

  explicit Maps(const MsgBase& m)
      : older(m.older), upstream(m.upstream), peer(m.peer), roots(m.roots) {}
  bool operator==(const Maps& o) const {
    return older == o.older && upstream == o.upstream && peer == o.peer &&
           roots == o.roots;
  }
};

using Snapshot = std::vector<std::pair<const MsgBase*, Maps>>;

// Owns a chain of any class.
struct Owner {
  Owner() = default;
  Owner(const Owner&) = delete;
  Owner& operator=(const Owner&) = delete;
  virtual ~Owner() = default;
};
template <typename T>
struct OwnerOf final : Owner {
  explicit OwnerOf(MsgMap& links) : chain(links) {}
  tamberlo::Chain<T> chain;
};

// One chain in the pool, root first, with the classes its versions were
// built as, and its owner.
struct Chain {
  std::vector<MsgBase*> objects;
  std::vector<Cls> classes;
  std::int32_t level = 0;  // what a gauge chain holds
  std::unique_ptr<Owner> owner;
};

class Session {
 public:
  explicit Session(Input& in) : in_(in) {}
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  // Every chain this input built is destroyed here, so that LeakSanitizer
  // sees any version left over.
  ~Session() {
    while (!chains_.empty()) {
      destroyChain(0);
      checkNames();
    }
  }

  void step() {
    switch (in_.below(6)) {
      case 0:
        getInstance();
        break;
      case 1:
        build();
        break;
      case 2:
        if (!chains_.empty()) destroyChain(in_.byte() * chains_.size() / 256);
        break;
      case 3:
        copyOrMove();
        break;
      case 4:
        lookUp();
        break;
      default:
        write();
    }
    checkNames();
  }

  void lookUpEverything() {
    for (const Chain& chain : chains_) {
      for (std::size_t k = 0; k < chain.objects.size(); ++k) {
        lookUpAll(chain.objects[k], chain.classes[k]);
      }
    }
  }

 private:
  bool full() const {
    return chains_.size() >= kMaxChains || builds_ >= kMaxBuilds;
  }

  // The class `object` was built as, or null when it is not alive.
  const Cls* classOf(const MsgBase* object) const {
    for (const Chain& chain : chains_) {
      for (std::size_t k = 0; k < chain.objects.size(); ++k) {
        if (chain.objects[k] == object) return &chain.classes[k];
      }
    }
    return nullptr;
  }

  std::size_t liveCount() const {
    std::size_t n = 0;
    for (const Chain& chain : chains_) n += chain.objects.size();
    return n;
  }

  // The live object at `at` counting from the first chain's root, and its
  // class; null when there is none.
  MsgBase* objectAt(std::size_t at, Cls* c) const {
    for (const Chain& chain : chains_) {
      if (at < chain.objects.size()) {
        if (c != nullptr) *c = chain.classes[at];
        return chain.objects[at];
      }
      at -= chain.objects.size();
    }
    return nullptr;
  }

  // Any live object, or null when there is none.
  MsgBase* pick(Cls* c = nullptr) {
    return objectAt(in_.byte() * liveCount() / 256, c);
  }

  Snapshot snapshot() const {
    Snapshot all;
    for (const Chain& chain : chains_) {
      for (const MsgBase* object : chain.objects) {
        all.emplace_back(object, Maps(*object));
      }
    }
    return all;
  }

  // The chains the factory builds, owned, so that they can be destroyed.
  void getInstance() {
    if (full()) return;
    ++builds_;
    MsgMap none;
    if (in_.below(2) == 0) {
      auto owner = std::make_unique<OwnerOf<Msg15_v5>>(none);
      MsgBase* root = &owner->chain.root();
      addChain(root, k15v5, std::move(owner));
    } else {
      auto owner = std::make_unique<OwnerOf<Msg16_v2>>(none);
      MsgBase* root = &owner->chain.root();
      addChain(root, k16v2, std::move(owner));
    }
  }

  // Mostly other families' ids; an entry under the root's own id is null,
  // since such an entry would make the object it names the root's newer
  // version, which no announcement records.
  MsgMap mapFor(std::int32_t family) {
    static constexpr std::int32_t kKeys[] = {15, 16, 60, 61, 62, 7};
    MsgMap links;
    for (std::size_t n = in_.below(kMaxMapEntries + 1); n > 0; --n) {
      const std::int32_t key = kKeys[in_.below(std::size(kKeys))];
      MsgBase* named = in_.below(4) != 0 ? pick() : nullptr;
      links[key] = key == family ? nullptr : named;
    }
    return links;
  }

  void build() {
    if (full()) return;
    ++builds_;
    const auto c = static_cast<Cls>(in_.below(kClassCount));
    std::int32_t family = 0;
    withClass(c, [&](auto t) { family = decltype(t)::type::familyId; });
    MsgMap links = mapFor(family);
    const Snapshot before = snapshot();
    MsgBase* root = nullptr;
    std::unique_ptr<Owner> owner;
    failIn = static_cast<int>(in_.below(8));
    try {
      withClass(c, [&](auto t) {
        auto built =
            std::make_unique<OwnerOf<typename decltype(t)::type>>(links);
        root = &built->chain.root();
        owner = std::move(built);
      });
    } catch (const Refused&) {
    } catch (const std::logic_error& e) {
      check(family == 62 && std::strstr(e.what(), kInfo[c].name) != nullptr &&
                std::strstr(e.what(), "claims family 62") != nullptr,
            "only classes sharing a family id are refused, naming the class",
            c);
    }
    failIn = 0;
    if (root == nullptr) {
      check(snapshot() == before,
            "a failed construction leaves every map as it was", c);
      return;
    }
    addChain(root, c, std::move(owner));
  }

  void addChain(MsgBase* root, Cls c, std::unique_ptr<Owner> owner) {
    Chain& chain = chains_.emplace_back();
    chain.owner = std::move(owner);
    MsgBase* object = root;
    for (Cls at = c; at != kClassCount; at = kInfo[at].older) {
      bool matches = false;
      withClass(at, [&](auto t) {
        using T = typename decltype(t)::type;
        matches = object != nullptr && object->id == T::familyId &&
                  object->version == T::versionNo;
      });
      check(matches, "the chain has every version in order", at);
      chain.objects.push_back(object);
      chain.classes.push_back(at);
      const auto next = object->older.find(object->id);
      object = next == object->older.end() ? nullptr : next->second;
    }
    check(object == nullptr, "the oldest version has nothing older", c);
  }

  // By its owner, which destroys every version of it.
  void destroyChain(std::size_t i) {
    chains_.erase(chains_.begin() + static_cast<std::ptrdiff_t>(i));
  }

  // No live object names one that is gone.
  void checkNames() const {
    for (const Chain& chain : chains_) {
      for (std::size_t k = 0; k < chain.objects.size(); ++k) {
        const MsgBase& object = *chain.objects[k];
        for (const auto& entry : object.roots) {
          check(entry.second == nullptr || classOf(entry.second) != nullptr,
                "a roots entry names a destroyed object", chain.classes[k]);
        }
        for (const auto& entry : object.upstream) {
          check(entry.second == nullptr || classOf(entry.second) != nullptr,
                "an upstream entry names a destroyed object", chain.classes[k]);
        }
      }
    }
  }

  void copyOrMove() {
    Cls c = kRival1;
    MsgBase* source = pick(&c);
    if (source == nullptr) return;
    // What a temporary is assigned over: an object of the same class,
    // searched for from a chosen start; the source itself at worst.
    const std::size_t count = liveCount();
    const std::size_t start = in_.byte() * count / 256;
    MsgBase* other = source;
    for (std::size_t i = 0; i < count; ++i) {
      Cls found = kRival1;
      MsgBase* candidate = objectAt((start + i) % count, &found);
      if (found == c) {
        other = candidate;
        break;
      }
    }
    const std::size_t how = in_.below(4);
    withClass(c, [&](auto t) {
      using T = typename decltype(t)::type;
      copyOrMove(*static_cast<T*>(source), *static_cast<T*>(other), how, c);
    });
  }

  template <typename T>
  void copyOrMove(T& source, const T& other, std::size_t how, Cls c) {
    const Snapshot before = snapshot();
    const std::string values = tamberlo::toString(source);
    switch (how) {
      case 0: {
        T copy(source);
        expectCopy(copy, source, c);
        break;
      }
      case 1: {
        T moved(std::move(source));
        expectCopy(moved, source, c);
        break;
      }
      case 2: {
        T copy(other);
        copy = source;
        expectCopy(copy, source, c);
        break;
      }
      default: {
        T moved(other);
        moved = std::move(source);
        expectCopy(moved, source, c);
      }
    }
    check(snapshot() == before,
          "a copy or move, and its end, leave every map as it was", c);
    check(tamberlo::toString(source) == values,
          "a copy or move leaves its source's values", c);
  }

  template <typename T>
  void expectCopy(T& copy, T& source, Cls c) {
    check(Maps(copy) == Maps(source) && copy.id == source.id &&
              copy.version == source.version,
          "a copy or move names what its source names", c);
    check(tamberlo::toString(copy) == tamberlo::toString(source),
          "a copy or move reads its source's values", c);
  }

  void lookUp() {
    Cls c = kRival1;
    MsgBase* from = pick(&c);
    if (from == nullptr) return;
    lookUpAll(from, c);
    const std::uint8_t b = in_.byte();
    const std::int32_t family = b < 240 ? 14 + b % 50 : in_.i32();
    const std::int32_t version = in_.byte() % 8;
    MsgBase* found = from->getVersion(family, version);
    check(found == nullptr || classOf(found) != nullptr,
          "a lookup answers with a live object or null", c);
  }

  // Every class, typed and untyped, from `from`.
  void lookUpAll(MsgBase* from, Cls fromClass) {
    for (int i = 0; i < kClassCount; ++i) {
      const auto c = static_cast<Cls>(i);
      withClass(c, [&](auto t) {
        using T = typename decltype(t)::type;
        MsgBase* found = from->getVersion(T::familyId, T::versionNo);
        const Cls* built = classOf(found);
        check(found == nullptr || built != nullptr,
              "a lookup answers with a live object or null", fromClass);
        T* typed = nullptr;
        bool refused = false;
        try {
          typed = from->getVersion<T>();
        } catch (const tamberlo::WrongVersion&) {
          refused = true;
        }
        check(found == nullptr ? typed == nullptr && !refused
              : *built == c    ? typed == found
                               : refused,
              "a typed lookup answers only with an object built as its class, "
              "and refuses one built as another",
              c);
        check(found == nullptr || from->id != T::familyId ||
                  kInfo[*built].line == kInfo[fromClass].line,
              "an object's own family answers with its own classes", fromClass);
      });
    }
  }

  // Through any version of a gauge chain, read back through all of them.
  void write() {
    std::vector<Chain*> gauges;
    for (Chain& chain : chains_) {
      if (kInfo[chain.classes[0]].line == Line::kGauge)
        gauges.push_back(&chain);
    }
    if (gauges.empty()) return;
    Chain& chain = *gauges[in_.byte() * gauges.size() / 256];
    const std::size_t at = in_.byte() * chain.objects.size() / 256;
    chain.level = in_.i32();
    levelOf(chain.objects[at], chain.classes[at]).set(chain.level);
    for (std::size_t k = 0; k < chain.objects.size(); ++k) {
      check(levelOf(chain.objects[k], chain.classes[k]).get() == chain.level,
            "a value written through a chain reads back", chain.classes[k]);
    }
  }

  Input& in_;
  std::vector<Chain> chains_;
  std::size_t builds_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  Input in(data, size);
  Session session(in);
  while (!in.empty()) session.step();
  session.lookUpEverything();
  return 0;
}
