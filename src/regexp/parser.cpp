#include "regexp/parser.h"

#include <algorithm>
#include <vector>

#include "regexp/messages.h"

namespace regexp {

TREParser::TREParser(const std::string& pattern) : scanner_(pattern) {}

void TREParser::Fail(const char* message) const {
  RaiseParseError(message, scanner_.Position());
}

void TREParser::Run() {
  tree_.Clear();
  Advance();
  TRENode* root = Regex();
  if (token_ != tok_End) Fail(kMsgExtraText);
  tree_.SetRoot(root);
  tree_.ForceCharClassDisjoint();
}

namespace {
bool EndsTerm(TREToken token) {
  return token == tok_Union || token == tok_RPar || token == tok_End;
}
}  // namespace

TRENode* TREParser::Regex() {
  // One frame per open group, the whole pattern at the bottom: the alternatives joined so
  // far and the concatenation being read.
  struct Frame {
    TRENode* alternatives = nullptr;
    TRENode* sequence = nullptr;
  };
  std::vector<Frame> open(1);
  const auto append = [this, &open](TRENode* x) {
    TRENode*& sequence = open.back().sequence;
    sequence = sequence == nullptr ? x : tree_.MakeInternalNode(node_Concat, sequence, x);
  };
  for (;;) {
    if (!EndsTerm(token_)) {
      if (token_ == tok_LPar) {
        Advance();
        open.emplace_back();
        continue;
      }
      append(Postfix(Primary()));
      continue;
    }
    Frame& frame = open.back();
    TRENode* term = frame.sequence != nullptr
                        ? frame.sequence
                        : tree_.MakeInternalNode(node_Empty, nullptr, nullptr);
    frame.alternatives = frame.alternatives == nullptr
                             ? term
                             : tree_.MakeInternalNode(node_Union, frame.alternatives, term);
    frame.sequence = nullptr;
    if (token_ == tok_Union) {
      Advance();
      continue;
    }
    TRENode* group = frame.alternatives;
    if (open.size() == 1) return group;
    open.pop_back();
    if (token_ != tok_RPar) Fail(kMsgNeedRightParen);
    Advance();
    append(Postfix(group));
  }
}

TRENode* TREParser::Postfix(TRENode* x) {
  switch (token_) {
    case tok_Star:
      x = tree_.MakeInternalNode(node_Star, x, nullptr);
      break;
    case tok_Plus:
      x = tree_.MakeInternalNode(node_Concat, x, tree_.MakeInternalNode(node_Star, x, nullptr));
      break;
    case tok_QMark:
      x = tree_.MakeInternalNode(node_Union, x,
                                 tree_.MakeInternalNode(node_Empty, nullptr, nullptr));
      break;
    default:
      return x;
  }
  Advance();
  return x;
}

TRENode* TREParser::Primary() {
  TRENode* result = nullptr;
  switch (token_) {
    case tok_Char:
      result = tree_.MakeLeaf(scanner_.Symbol(), scanner_.Symbol());
      break;
    case tok_ClassOpen:
    case tok_NegClassOpen:
      result = token_ == tok_ClassOpen ? CharClass(tree_) : NegativeCharClass();
      if (token_ != tok_ClassClose) Fail(kMsgNeedRightBracket);
      break;
    case tok_Dot:
      result = tree_.MakeAnyCharNode();
      break;
    case tok_LineHead:
    case tok_LineTail: {
      // Where the automaton takes "^" or "$" as the plain character, its transition must
      // not overlap a class range; a leaf of its own makes the disjoint step split those.
      const uint16_t code = token_ == tok_LineHead ? '^' : '$';
      tree_.MakeLeaf(code, code);
      result = tree_.MakeAnchorNode(token_ == tok_LineHead ? node_LineHead : node_LineTail, code);
      break;
    }
    default:
      Fail(kMsgNeedOperand);
  }
  Advance();
  return result;
}

TRENode* TREParser::CharClass(TREParseTree& tree) {
  Advance();
  if (token_ == tok_ClassClose) Fail(kMsgEmptyClass);
  TRENode* result = nullptr;
  while (token_ != tok_ClassClose) {
    const uint16_t end = token_ == tok_Range ? scanner_.RangeEnd() : scanner_.Symbol();
    TRENode* member = tree.MakeLeaf(scanner_.Symbol(), end);
    result = result == nullptr ? member : tree.MakeInternalNode(node_Union, result, member);
    Advance();
  }
  return result;
}

TRENode* TREParser::NegativeCharClass() {
  TREParseTree members;
  CharClass(members);
  members.ForceCharClassDisjoint();

  // What is left of the any-character set, kept sorted and disjoint, so the pieces a
  // member overlaps are found by a binary search.
  std::vector<TRECharRange> fragments;
  {
    TREParseTree any;
    any.MakeAnyCharNode();
    for (const auto& leaf : any.LeafList()) fragments.push_back(leaf->range);
    std::sort(fragments.begin(), fragments.end(),
              [](const TRECharRange& a, const TRECharRange& b) { return a.start < b.start; });
  }
  for (const auto& leaf : members.LeafList()) {
    const TRECharRange member = leaf->range;
    auto it = std::lower_bound(
        fragments.begin(), fragments.end(), member.start,
        [](const TRECharRange& fragment, uint16_t start) { return fragment.end < start; });
    while (it != fragments.end() && it->start <= member.end) {
      const TRECharRange fragment = *it;
      it = fragments.erase(it);
      if (fragment.end > member.end) {
        it = fragments.insert(it, {static_cast<uint16_t>(member.end + 1), fragment.end});
      }
      if (fragment.start < member.start) {
        it = fragments.insert(it, {fragment.start, static_cast<uint16_t>(member.start - 1)});
        ++it;
      }
    }
  }

  // A class that excludes every character still needs a node; the range (0, 0) holds only
  // the code that ends a subject, so no subject character can reach it.
  if (fragments.empty()) return tree_.MakeLeaf(0, 0);
  TRENode* result = nullptr;
  for (const TRECharRange& fragment : fragments) {
    TRENode* leaf = tree_.MakeLeaf(fragment.start, fragment.end);
    result = result == nullptr ? leaf : tree_.MakeInternalNode(node_Union, result, leaf);
  }
  return result;
}

}  // namespace regexp
