#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "regexp/nfa.h"

namespace regexp {

struct TRE_DFATransition {
  TRECharRange range;
  uint16_t target = 0;
};

// The deterministic automaton of one pattern, made by subset construction from its NFA.
class TRE_DFA {
 public:
  static constexpr uint16_t kNoState = 0xFFFF;

  // The NFA is read by Build only.
  explicit TRE_DFA(const TRE_NFA& nfa) : nfa_(&nfa) {}

  // Raises std::runtime_error when the automaton would pass the size or work caps.
  void Build();

  uint16_t InitialState() const { return initial_; }
  bool LineHeadUsed() const { return line_head_used_; }
  bool LineTailUsed() const { return line_tail_used_; }
  std::size_t StateCount() const { return states_.size(); }
  bool Accepting(uint16_t state) const { return states_[state].accepting; }
  // Sorted by range start.
  const std::vector<TRE_DFATransition>& TransitionList(uint16_t state) const {
    return states_[state].transitions;
  }

  // The successor on `code`, or kNoState. Code 0 (the end of a subject) never has one.
  uint16_t Step(uint16_t state, uint16_t code) const {
    const State& s = states_[state];
    if (code < 256) return s.single[code];
    return Walk(s.wide, code);
  }
  uint16_t LineHeadStep(uint16_t state) const { return states_[state].line_head; }
  uint16_t LineTailStep(uint16_t state) const { return states_[state].line_tail; }

 private:
  struct State {
    bool accepting = false;
    // Successors for single-byte codes, each taken from the walk over the sorted list.
    std::array<uint16_t, 256> single{};
    uint16_t line_head = kNoState;
    uint16_t line_tail = kNoState;
    std::vector<TRE_DFATransition> transitions;
    // The transitions that can hold a double-byte code, in the same order.
    std::vector<TRE_DFATransition> wide;
  };

  // The walk over a sorted list: stop at the first transition that starts above the code.
  static uint16_t Walk(const std::vector<TRE_DFATransition>& list, uint16_t code) {
    for (const TRE_DFATransition& t : list) {
      if (code < t.range.start) return kNoState;
      if (code <= t.range.end) return t.target;
    }
    return kNoState;
  }

  const TRE_NFA* nfa_;
  std::vector<State> states_;
  uint16_t initial_ = 0;
  bool line_head_used_ = false;
  bool line_tail_used_ = false;
};

}  // namespace regexp
