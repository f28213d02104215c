// The version graph as docs/design.md describes it, kept beside the real
// one so that every getVersion answer can be checked against it.
#ifndef TAMBERLO_FUZZ_GRAPH_MODEL_H_
#define TAMBERLO_FUZZ_GRAPH_MODEL_H_

#include <cstddef>
#include <cstdint>
#include <deque>
#include <map>
#include <set>
#include <vector>

class MsgBase;

struct GraphNode;
/// Null entries are kept: they make a map non-empty.
using ModelMap = std::map<std::int32_t, GraphNode*>;

struct GraphNode {
  std::int32_t id = 0;
  std::int32_t version = 0;
  ModelMap older;
  ModelMap upstream;
  ModelMap peer;
  ModelMap roots;
  GraphNode* boundTo = nullptr;  ///< the owner of every forwarding element
  MsgBase* object = nullptr;     ///< the real object this node stands for
};

class GraphModel {
 public:
  /// A chain of `family` with `versions` (newest first) whose root is built
  /// from `links`; returns its nodes, newest first.
  std::vector<GraphNode*> build(std::int32_t family,
                                const std::vector<std::int32_t>& versions,
                                const ModelMap& links) {
    std::vector<GraphNode*> chain;
    for (std::int32_t v : versions) {
      GraphNode& node = nodes_.emplace_back();
      node.id = family;
      node.version = v;
      node.peer = {{family, &node}};
      if (chain.empty()) {
        if (links.empty()) {
          node.roots[family] = &node;
        } else {
          announce(&node, links);
        }
        node.upstream = links;
      } else {
        node.upstream = {{family, chain.back()}};
        node.boundTo = chain.back();
        chain.back()->older[family] = &node;
      }
      chain.push_back(&node);
    }
    return chain;
  }

  /// A copy of `source` standing for `object`.
  GraphNode* copy(const GraphNode& source, MsgBase* object) {
    GraphNode& node = nodes_.emplace_back(source);
    node.object = object;
    return &node;
  }

  /// What getVersion(family, version) called on `at` must return.  Each
  /// step depends only on the node it stands on, so a walk that comes back
  /// to a node goes round for ever and answers null; one that does not ends
  /// within as many nodes as there are.
  GraphNode* find(GraphNode* at, std::int32_t family,
                  std::int32_t version) const {
    for (std::size_t steps = 0; at != nullptr; ++steps) {
      if (steps == nodes_.size()) return nullptr;
      GraphNode* root = entry(at->roots, family);
      // A copy, whose peer names its source, follows its source's entry
      // for another family.
      if (root != nullptr && root != at && family != at->id) {
        GraphNode* source = entry(at->peer, at->id);
        if (source != nullptr && source != at) {
          root = entry(source->roots, family);
        }
      }
      if (root != nullptr && root != at) {
        at = root;
        continue;
      }
      if (family != at->id) return nullptr;
      if (version == at->version) return at;
      at = entry(at->older, at->id);
    }
    return nullptr;
  }

  /// Whether the chain below `root`, of `versions` (newest first), is still
  /// as its constructors built it from `links`: each node names itself in
  /// peer, the next in older (the oldest nothing), the one above in upstream
  /// (the root: `links`), and its elements are bound to the one above.
  static bool asBuilt(GraphNode* root,
                      const std::vector<std::int32_t>& versions,
                      const ModelMap& links) {
    const std::int32_t family = root->id;
    GraphNode* above = nullptr;
    GraphNode* at = root;
    for (std::size_t i = 0; i < versions.size(); ++i) {
      if (at == nullptr || at->id != family || at->version != versions[i]) {
        return false;
      }
      GraphNode* below = entry(at->older, family);
      const bool oldest = i + 1 == versions.size();
      const bool upstream = above == nullptr
                                ? same(at->upstream, links)
                                : holdsOnly(at->upstream, family, above);
      if (!holdsOnly(at->peer, family, at) || !upstream ||
          !holdsOnly(at->older, family, oldest ? nullptr : below) ||
          at->boundTo != above) {
        return false;
      }
      above = at;
      at = below;
    }
    return true;
  }

 private:
  // Whether the non-null entries of `map` are exactly `key` -> `node`, or
  // none when `node` is null.
  static bool holdsOnly(const ModelMap& map, std::int32_t key,
                        const GraphNode* node) {
    for (const auto& [k, n] : map) {
      if (n != nullptr && (k != key || n != node)) return false;
    }
    return node == nullptr || entry(map, key) == node;
  }

  // Equal but for null entries, which count as absent.
  static bool same(const ModelMap& a, const ModelMap& b) {
    auto covered = [](const ModelMap& from, const ModelMap& in) {
      for (const auto& [key, node] : from) {
        if (node != nullptr && entry(in, key) != node) return false;
      }
      return true;
    };
    return covered(a, b) && covered(b, a);
  }

  // Every object of another family named in `links` hands the new root up
  // its non-null upstream entries, each object once; an object with none
  // records it.  So no object on an upstream cycle records, and on a graph
  // without cycles the records are those of following every path.
  static void announce(GraphNode* root, const ModelMap& links) {
    std::vector<GraphNode*> pending;
    for (const auto& [key, node] : links) {
      if (key != root->id && node != nullptr) pending.push_back(node);
    }
    std::set<GraphNode*> seen;
    while (!pending.empty()) {
      GraphNode* node = pending.back();
      pending.pop_back();
      if (!seen.insert(node).second) continue;
      bool passedOn = false;
      for (const auto& link : node->upstream) {
        if (link.second != nullptr) {
          pending.push_back(link.second);
          passedOn = true;
        }
      }
      if (!passedOn) node->roots[root->id] = root;
    }
  }

  // An absent key reads as null, as the library's lookups do.
  static GraphNode* entry(const ModelMap& map, std::int32_t key) {
    const auto found = map.find(key);
    return found != map.end() ? found->second : nullptr;
  }

  std::deque<GraphNode> nodes_;
};

#endif  // TAMBERLO_FUZZ_GRAPH_MODEL_H_
