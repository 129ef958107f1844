#include "regexp/parse_tree.h"

#include <algorithm>
#include <stdexcept>

#include "regexp/complexity_limits.h"
#include "regexp/messages.h"

namespace regexp {

namespace {
uint32_t LeafKey(uint16_t start, uint16_t end) {
  return uint32_t{start} << 16 | end;
}

bool Overlaps(const TRECharRange& a, const TRECharRange& b) {
  return a.start <= b.end && b.start <= a.end;
}
}  // namespace

void TREParseTree::CheckSize() const {
  if (nodes_.size() + leaves_.size() >= kMaxTreeNodes || leaves_.size() >= kMaxLeaves)
    throw std::runtime_error(kMsgTooComplex);
}

TRENode* TREParseTree::MakeInternalNode(TRENodeKind kind, TRENode* left, TRENode* right) {
  CheckSize();
  auto node = std::make_unique<TRENode>();
  node->kind = kind;
  node->left = left;
  node->right = right;
  nodes_.push_back(std::move(node));
  return nodes_.back().get();
}

TRENode* TREParseTree::MakeAnchorNode(TRENodeKind kind, uint16_t code) {
  TRENode* node = MakeInternalNode(kind, nullptr, nullptr);
  node->range = {code, code};
  if (kind == node_LineHead) has_line_head_ = true;
  return node;
}

TRENode* TREParseTree::MakeLeaf(uint16_t start, uint16_t end) {
  const uint32_t key = LeafKey(start, end);
  if (const auto found = leaf_index_.find(key); found != leaf_index_.end()) return found->second;
  CheckSize();
  auto leaf = std::make_unique<TRENode>();
  leaf->kind = node_Range;
  leaf->range = {start, end};
  TRENode* made = leaf.get();
  leaves_.push_back(std::move(leaf));
  leaf_index_.emplace(key, made);
  return made;
}

TRENode* TREParseTree::MakeFragment(int start, int end) {
  if (end < start) return nullptr;
  return MakeLeaf(static_cast<uint16_t>(start), static_cast<uint16_t>(end));
}

TRENode* TREParseTree::MakeAnyCharNode() {
  // Made one by one, so the leaves enter the list in ascending order.
  TRENode* below_line_feed = MakeLeaf(0x01, 0x09);
  TRENode* between = MakeLeaf(0x0B, 0x0C);
  TRENode* controls = MakeInternalNode(node_Union, below_line_feed, between);
  TRENode* above_return = MakeLeaf(0x0E, 0xFCFC);
  return MakeInternalNode(node_Union, controls, above_return);
}

void TREParseTree::Clear() {
  nodes_.clear();
  leaves_.clear();
  leaf_index_.clear();
  root_ = nullptr;
  has_line_head_ = false;
}

void TREParseTree::TurnIntoUnion(TRENode* leaf, TRENode* const (&fragments)[3]) {
  // The fragments inside the leaf's range, lowest first, must cover it exactly.
  TRENode* parts[3] = {};
  int count = 0;
  int next = leaf->range.start;
  for (TRENode* fragment : fragments) {
    if (fragment == nullptr || fragment->range.start < leaf->range.start ||
        fragment->range.end > leaf->range.end)
      continue;
    if (fragment->range.start != next) throw std::runtime_error(kMsgFatalTree);
    next = fragment->range.end + 1;
    parts[count++] = fragment;
  }
  if (count < 2 || next != leaf->range.end + 1) throw std::runtime_error(kMsgFatalTree);

  TRENode* lower = parts[0];
  for (int i = 1; i + 1 < count; ++i) lower = MakeInternalNode(node_Union, lower, parts[i]);

  // The node object stays where its parents point; only its kind and contents change.
  const auto found = std::find_if(leaves_.begin(), leaves_.end(),
                                  [leaf](const auto& owned) { return owned.get() == leaf; });
  leaf_index_.erase(LeafKey(leaf->range.start, leaf->range.end));
  nodes_.push_back(std::move(*found));
  leaves_.erase(found);
  leaf->kind = node_Union;
  leaf->left = lower;
  leaf->right = parts[count - 1];
  leaf->range = {};
}

void TREParseTree::Split(std::size_t first, std::size_t second) {
  TRENode* x = leaves_[first].get();
  TRENode* y = leaves_[second].get();
  // On equal starts the later leaf of the list counts as the lower one.
  TRENode* lower = x->range.start < y->range.start ? x : y;
  TRENode* upper = lower == x ? y : x;
  const int lo = lower->range.start;
  const int a = upper->range.start;
  const int b = std::min(lower->range.end, upper->range.end);
  const int d = std::max(lower->range.end, upper->range.end);

  TRENode* const fragments[3] = {MakeFragment(lo, a - 1), MakeFragment(a, b),
                                 MakeFragment(b + 1, d)};
  for (TRENode* leaf : {x, y}) {
    if (std::find(std::begin(fragments), std::end(fragments), leaf) == std::end(fragments))
      TurnIntoUnion(leaf, fragments);
  }
}

void TREParseTree::ForceCharClassDisjoint() {
  std::size_t i = 0;
  while (i < leaves_.size()) {
    const TRECharRange range = leaves_[i]->range;
    std::size_t j = i + 1;
    while (j < leaves_.size() && !Overlaps(range, leaves_[j]->range)) ++j;
    if (j == leaves_.size()) {
      ++i;
    } else {
      Split(i, j);
    }
  }
}

}  // namespace regexp
