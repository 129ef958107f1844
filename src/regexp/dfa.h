#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "regexp/nfa.h"

namespace regexp {

// The deterministic automaton of one pattern. Its states are made by subset construction over
// the NFA as matching first needs them, and kept in a cache of bounded size: when the cache
// is full it is dropped and building goes on from the state set in hand. So a pattern whose
// full automaton would be huge costs only the states a subject actually visits.
class TRE_DFA {
 public:
  static constexpr uint32_t kNoState = 0xFFFFFFFF;
  // Room for the cached states of one pattern; small patterns use a few kilobytes.
  static constexpr std::size_t kDefaultCacheBytes = std::size_t{8} << 20;
  // Build() makes at most this many states ahead, so small automata (every table pattern)
  // are complete before the first match and matching them never allocates.
  static constexpr std::size_t kPrebuildStates = 512;

  // Copies what matching needs from the NFA, which may be freed afterwards.
  explicit TRE_DFA(const TRE_NFA& nfa, std::size_t cache_bytes = kDefaultCacheBytes);

  // Makes the states reachable from the initial one ahead of matching, up to a bound.
  void Build();

  // A state is known by where its row starts, which saves a multiplication per step. The
  // initial state is always 0, also after the cache has been dropped, so a caller may hold
  // it across steps.
  uint32_t InitialState() const { return 0; }
  bool LineHeadUsed() const { return line_head_used_; }
  bool LineTailUsed() const { return line_tail_used_; }
  bool Accepting(uint32_t state) const { return next_[state + class_count_] != 0; }

  // The successor on `code`, or kNoState; code 0 (the end of a subject) never has one.
  // A step may drop the cache: only the returned state and the initial one stay valid.
  uint32_t Step(uint32_t state, uint16_t code) { return Next(state, ClassOf(code)); }
  uint32_t LineHeadStep(uint32_t state) { return Next(state, line_head_class_); }
  uint32_t LineTailStep(uint32_t state) { return Next(state, line_tail_class_); }
  // The bytes of a character starting with `byte` on which the initial state has no step
  // (1, or 2 for a lead byte that answers for every double-byte character it starts), or 0;
  // known without making any state, so a scan passes over text of another script at one
  // look-up per character. A lead byte at the subject's end stands alone: then 2 is too far.
  unsigned InitialSkip(uint8_t byte) const { return initial_skip_[byte]; }
  bool InitialStepsNowhere(const uint8_t* p, const uint8_t* end) const {
    const unsigned skip = initial_skip_[*p];
    return skip != 0 && p + skip <= end;
  }

  // For a tight loop over a subject: the rows of the cached states, where a state's successor
  // on class c is at Rows()[state + c] and its accepting flag at Rows()[state + AcceptColumn()].
  // A successor at or above kUnknown is kNoState or not made yet (then Step makes it, which
  // may move the rows).
  static constexpr uint32_t kUnknown = 0xFFFFFFFE;
  const uint32_t* Rows() const { return next_.data(); }
  uint32_t AcceptColumn() const { return class_count_; }
  uint32_t ClassOf(uint16_t code) const {
    if (code < 256) return byte_class_[code];
    const uint32_t lead = lead_class_[code >> 8];
    return lead != kMixedClass ? lead : WideClass(code);
  }

  // What the cache holds now, and how often it has been dropped.
  std::size_t StateCount() const { return next_.size() / RowSize(); }
  std::size_t CacheBytes() const;
  std::size_t FlushCount() const { return flushes_; }

 private:
  static constexpr uint32_t kMixedClass = 0xFFFFFFFF;
  static constexpr uint32_t kEmptySlot = 0xFFFFFFFF;

  // A transition on a condition, which covers the consecutive classes first..last.
  struct Move {
    uint32_t first;
    uint32_t last;
    uint32_t target;
  };

  uint32_t WideClass(uint16_t code) const;
  uint32_t Next(uint32_t state, uint32_t cls) {
    const uint32_t target = next_[std::size_t{state} + cls];
    // One test for the common case, which lets a caller's test for kNoState fold into it.
    if (target < kUnknown) return target;
    return target == kNoState ? kNoState : Compute(state, cls);
  }

  // A row: the successor for each class, then the accepting flag.
  std::size_t RowSize() const { return std::size_t{class_count_} + 1; }
  void MakeClasses(const TRE_NFA& nfa);
  uint32_t Compute(uint32_t state, uint32_t cls);
  // Adds the epsilon closure to scratch_, whose members are marked, and sorts it.
  void CloseScratch();
  // Both give a state's number, its row's start divided by the row size.
  uint32_t Find(std::size_t hash) const;
  uint32_t Add(std::size_t hash);
  void Flush();
  void Rehash(std::size_t slot_count);

  // The NFA: per state, its moves and its epsilon targets (offsets into flat arrays).
  std::vector<uint32_t> move_begin_;
  std::vector<Move> moves_;
  std::vector<uint32_t> epsilon_begin_;
  std::vector<uint32_t> epsilon_targets_;
  uint32_t exit_ = 0;
  bool line_head_used_ = false;
  bool line_tail_used_ = false;

  // The alphabet: class 0 holds the codes no condition covers; the others are the pieces
  // that the condition boundaries cut the code space into.
  uint32_t class_count_ = 1;
  std::array<uint32_t, 256> byte_class_{};
  std::array<uint32_t, 256> lead_class_{};
  std::vector<uint32_t> piece_start_;
  std::vector<uint32_t> piece_class_;
  uint32_t line_head_class_ = 0;
  uint32_t line_tail_class_ = 0;
  std::array<uint8_t, 256> initial_skip_{};

  // The cache: per state its row and its sorted NFA state set; an open-addressing table
  // finds a state's number by its set.
  std::size_t cache_bytes_;
  std::vector<uint32_t> next_;
  std::vector<uint32_t> set_begin_;
  std::vector<uint32_t> set_members_;
  std::vector<std::size_t> set_hash_;
  std::vector<uint32_t> slots_;
  std::vector<uint32_t> initial_set_;
  std::size_t flushes_ = 0;

  // Scratch for one subset step; mark_ holds the step's stamp for each member.
  std::vector<uint32_t> scratch_;
  std::vector<uint32_t> mark_;
  uint32_t stamp_ = 0;
  std::size_t work_ = 0;
};

}  // namespace regexp
