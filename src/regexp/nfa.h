#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

#include "regexp/parse_tree.h"
#include "regexp/parser.h"

namespace regexp {

// Condition codes the automata reserve beside the character ranges.
inline constexpr uint16_t kLineHeadSymbol = 0xFFFD;
inline constexpr uint16_t kLineTailSymbol = 0xFFFE;
inline constexpr uint16_t kEpsilonCode = 0xFFFF;
// The highest code a subject can produce (lead byte 0xFC followed by 0xFF).
inline constexpr uint16_t kMaxSubjectCode = 0xFCFF;

inline bool IsEpsilon(const TRECharRange& condition) {
  return condition.start == kEpsilonCode;
}

struct TRE_NFATransition {
  TRECharRange condition;
  uint32_t target = 0;
};

// A set of NFA state indexes as a bit array of N / 8 + 1 bytes.
class TRE_NFAStateSet {
 public:
  explicit TRE_NFAStateSet(std::size_t state_count) : bits_(state_count / 8 + 1, 0) {}
  // A set from its bit array, as Bytes() gives it.
  TRE_NFAStateSet(const uint8_t* bytes, std::size_t byte_count)
      : bits_(bytes, bytes + byte_count) {}

  void Include(std::size_t state) { bits_[state / 8] |= static_cast<uint8_t>(1u << (state % 8)); }
  bool Contains(std::size_t state) const { return (bits_[state / 8] >> (state % 8) & 1u) != 0; }
  bool Equals(const TRE_NFAStateSet& other) const { return bits_ == other.bits_; }
  std::size_t ByteCount() const { return bits_.size(); }
  const uint8_t* Bytes() const { return bits_.data(); }
  std::size_t Hash() const { return HashBytes(bits_.data(), bits_.size()); }
  static std::size_t HashBytes(const uint8_t* bytes, std::size_t count) {
    return std::hash<std::string_view>{}(
        std::string_view(reinterpret_cast<const char*>(bytes), count));
  }
  // Calls f(index) for every member, by increasing index.
  template <typename F>
  void ForEach(F&& f) const {
    for (std::size_t byte = 0; byte < bits_.size(); ++byte) {
      for (unsigned bits = bits_[byte]; bits != 0; bits &= bits - 1)
        f(byte * 8 + static_cast<std::size_t>(__builtin_ctz(bits)));
    }
  }

 private:
  std::vector<uint8_t> bits_;
};

// The nondeterministic automaton of one parse tree.
class TRE_NFA {
 public:
  TRE_NFA(const TREParser& parser, uint16_t line_head_symbol, uint16_t line_tail_symbol);

  // Builds the states from the parser's tree; raises std::runtime_error past the size caps.
  void GenerateStateList();

  std::size_t StateCount() const { return states_.size(); }
  // A state's transitions in the order they were added; the newest comes first in its
  // list, so walking the list means walking this vector backwards.
  const std::vector<TRE_NFATransition>& Transitions(std::size_t state) const {
    return states_[state];
  }
  uint32_t EntryState() const { return entry_; }
  uint32_t ExitState() const { return exit_; }
  bool LineHeadUsed() const { return line_head_used_; }
  bool LineTailUsed() const { return line_tail_used_; }
  uint16_t LineHeadSymbol() const { return line_head_symbol_; }
  uint16_t LineTailSymbol() const { return line_tail_symbol_; }

 private:
  uint32_t AddState();
  void AddTransition(uint32_t from, TRECharRange condition, uint32_t to);

  const TREParser& parser_;
  std::vector<std::vector<TRE_NFATransition>> states_;
  std::size_t transition_count_ = 0;
  uint32_t entry_ = 0;
  uint32_t exit_ = 0;
  uint16_t line_head_symbol_;
  uint16_t line_tail_symbol_;
  bool line_head_used_ = false;
  bool line_tail_used_ = false;
};

}  // namespace regexp
