#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "regexp/parser.h"
#include "regexp/scanner.h"

namespace regexp::testing {

// A slow, plain model of the matcher for comparison: it builds the automaton straight from
// the parse tree, copying a shared subtree at every use as the tree asks, and runs the match
// on sets of automaton states without any deterministic states or caches.
class ReferenceMatcher {
 public:
  explicit ReferenceMatcher(const std::string& pattern, uint16_t separator = 13) : sep_(separator) {
    TREParser parser(pattern);
    parser.Run();
    edges_.resize(2);
    Generate(parser.ParseTree().Root(), 0, 1);
  }

  // The 1-based position and the length of the leftmost, longest match; {0, 0} for none.
  std::pair<int, int> Match(std::string_view subject) const {
    const std::size_t nul = subject.find('\0');
    if (nul != std::string_view::npos) subject = subject.substr(0, nul);
    text_ = subject;
    const Set initial = Closure({0});
    if (!head_used_ && !tail_used_) {
      if (text_.empty()) return Accepting(initial) ? std::pair{1, 0} : std::pair{0, 0};
      for (std::size_t p = 0; p < text_.size(); p = Next(p)) {
        const long end = Longest(p, initial);
        if (end >= 0) return {static_cast<int>(p) + 1, static_cast<int>(end - p)};
      }
      return {0, 0};
    }
    if (const long end = AtLineHead(0, initial); end >= 0) return {1, static_cast<int>(end)};
    for (std::size_t p = 0; p < text_.size(); p = Next(p)) {
      if (const long end = Longest(p, initial); end >= 0)
        return {static_cast<int>(p) + 1, static_cast<int>(end - p)};
      if (text_[p] == '\n' && head_used_) {
        if (const long end = AtLineHead(p + 1, initial); end >= 0)
          return {static_cast<int>(p) + 2, static_cast<int>(end - p - 1)};
      }
    }
    if (tail_used_ && !StepOn(initial, 0xFFFE).empty())
      return {static_cast<int>(text_.size()) + 1, 0};
    return {0, 0};
  }

 private:
  using Set = std::vector<bool>;
  struct Edge {
    unsigned low;
    unsigned high;  // low above high: an epsilon edge
    std::size_t to;
  };

  std::size_t NewState() {
    edges_.emplace_back();
    return edges_.size() - 1;
  }
  void Add(std::size_t from, unsigned low, unsigned high, std::size_t to) {
    edges_[from].push_back({low, high, to});
  }
  void Generate(const TRENode* node, std::size_t f, std::size_t t) {
    switch (node->kind) {
      case node_Range:
        // Codes no subject holds are left out, as the matcher does.
        if (node->range.start <= 0xFCFF)
          Add(f, node->range.start, std::min<unsigned>(node->range.end, 0xFCFF), t);
        break;
      case node_LineHead:
        if (f == 0) head_used_ = true;
        Add(f, f == 0 ? 0xFFFD : '^', f == 0 ? 0xFFFD : '^', t);
        break;
      case node_LineTail:
        if (t == 1) tail_used_ = true;
        Add(f, t == 1 ? 0xFFFE : '$', t == 1 ? 0xFFFE : '$', t);
        break;
      case node_Concat: {
        const std::size_t m = NewState();
        Generate(node->left, f, m);
        Generate(node->right, m, t);
        break;
      }
      case node_Union:
        Generate(node->left, f, t);
        Generate(node->right, f, t);
        break;
      case node_Star: {
        const std::size_t s1 = NewState();
        const std::size_t s2 = NewState();
        Add(f, 1, 0, s1);
        Generate(node->left, s1, s2);
        Add(s2, 1, 0, s1);
        Add(s1, 1, 0, t);
        break;
      }
      default:
        Add(f, 1, 0, t);
    }
  }

  Set Closure(const std::vector<std::size_t>& seeds) const {
    Set set(edges_.size(), false);
    std::vector<std::size_t> todo = seeds;
    for (std::size_t s : seeds) set[s] = true;
    while (!todo.empty()) {
      const std::size_t s = todo.back();
      todo.pop_back();
      for (const Edge& e : edges_[s]) {
        if (e.low > e.high && !set[e.to]) {
          set[e.to] = true;
          todo.push_back(e.to);
        }
      }
    }
    return set;
  }
  // The closed successor set on `code`; empty when there is none.
  Set StepOn(const Set& set, unsigned code) const {
    std::vector<std::size_t> targets;
    for (std::size_t s = 0; s < set.size(); ++s) {
      if (!set[s]) continue;
      for (const Edge& e : edges_[s])
        if (code != 0 && e.low <= code && code <= e.high) targets.push_back(e.to);
    }
    return targets.empty() ? Set() : Closure(targets);
  }
  static bool Accepting(const Set& set) { return set.size() > 1 && set[1]; }

  std::size_t Next(std::size_t p) const {
    return IsDBCSLeadByte(static_cast<unsigned char>(text_[p])) && p + 1 < text_.size() ? p + 2
                                                                                        : p + 1;
  }
  unsigned Read(std::size_t& p) const {
    if (p >= text_.size()) return 0;
    const auto b = static_cast<unsigned char>(text_[p]);
    if (IsDBCSLeadByte(b) && p + 1 < text_.size()) {
      p += 2;
      return b << 8 | static_cast<unsigned char>(text_[p - 1]);
    }
    ++p;
    return b;
  }
  long Longest(std::size_t p, Set set) const {
    if (set.empty()) return -1;
    long result = -1;
    std::size_t cur = p;
    unsigned code = 0;
    for (;;) {
      if (Accepting(set)) result = static_cast<long>(cur);
      code = Read(cur);
      Set next = StepOn(set, code);
      if (next.empty()) break;
      set = std::move(next);
    }
    if ((code == sep_ || code == 0) && !StepOn(set, 0xFFFE).empty())
      return static_cast<long>(code != 0 ? cur - 1 : cur);
    return result;
  }
  long AtLineHead(std::size_t p, const Set& set) const {
    if (!head_used_) return Longest(p, set);
    const long anchored = Longest(p, StepOn(set, 0xFFFD));
    if (anchored < 0) return -1;
    const long plain = Longest(p, set);
    return plain >= anchored ? plain : anchored;
  }

  unsigned sep_;
  std::vector<std::vector<Edge>> edges_;
  bool head_used_ = false;
  bool tail_used_ = false;
  mutable std::string_view text_;
};

}  // namespace regexp::testing
