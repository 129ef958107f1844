#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <vector>

namespace regexp {

// A set of character codes start..end (inclusive), compared as unsigned 16-bit values.
struct TRECharRange {
  uint16_t start = 0;
  uint16_t end = 0;
  friend bool operator==(const TRECharRange&, const TRECharRange&) = default;
};

enum TRENodeKind : uint8_t {
  node_Range,
  node_LineHead,
  node_LineTail,
  node_Concat,
  node_Union,
  node_Star,
  node_Empty,
};

struct TRENode {
  TRENodeKind kind = node_Empty;
  TRECharRange range;  // node_Range, and the literal character of node_LineHead / node_LineTail
  TRENode* left = nullptr;
  TRENode* right = nullptr;
};

// Owns every node of one parse. Leaves are shared: asking for a range that already has a
// leaf gives that leaf, so the leaf list holds each range once.
class TREParseTree {
 public:
  TREParseTree() = default;
  TREParseTree(const TREParseTree&) = delete;
  TREParseTree& operator=(const TREParseTree&) = delete;
  virtual ~TREParseTree() = default;

  TRENode* MakeInternalNode(TRENodeKind kind, TRENode* left, TRENode* right);
  TRENode* MakeAnchorNode(TRENodeKind kind, uint16_t code);
  // The leaf for (start, end), found or created.
  TRENode* MakeLeaf(uint16_t start, uint16_t end);
  // Builds `.`: every character except line feed and carriage return.
  virtual TRENode* MakeAnyCharNode();

  // Splits overlapping leaves until every two leaves are disjoint; each node keeps its set.
  void ForceCharClassDisjoint();

  void Clear();
  TRENode* Root() const { return root_; }
  // Whether any "^" was read; only then can a "^" act as an anchor.
  bool HasLineHead() const { return has_line_head_; }
  void SetRoot(TRENode* root) { root_ = root; }
  const std::vector<std::unique_ptr<TRENode>>& LeafList() const { return leaves_; }

 private:
  // Like MakeLeaf, but makes nothing for an empty range (end below start).
  TRENode* MakeFragment(int start, int end);
  void Split(std::size_t first, std::size_t second);
  void TurnIntoUnion(TRENode* leaf, TRENode* const (&fragments)[3]);
  void CheckSize() const;

  std::vector<std::unique_ptr<TRENode>> nodes_;
  std::vector<std::unique_ptr<TRENode>> leaves_;
  // Range (start << 16 | end) to its leaf, so finding a leaf does not walk the list.
  std::map<uint32_t, TRENode*> leaf_index_;
  TRENode* root_ = nullptr;
  bool has_line_head_ = false;
};

}  // namespace regexp
