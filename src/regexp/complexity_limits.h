#pragma once

#include <cstddef>

// Bounds that keep a hostile or mistaken pattern from exhausting the memory or the time of a
// compile. Each grows at most linearly with the pattern, so only patterns of hundreds of
// kilobytes reach them; the deterministic automaton needs none, since its states are a
// cache of bounded size.

namespace regexp {

// Parse tree size: all nodes, and distinct character ranges (making the ranges disjoint
// compares every pair).
inline constexpr std::size_t kMaxTreeNodes = 500000;
inline constexpr std::size_t kMaxLeaves = 10000;
// Nondeterministic automaton size. A "+" is a loop, so the automaton is linear in the tree,
// save where a "^" at the very start of a repeated group must be kept as an anchor.
inline constexpr std::size_t kMaxNfaStates = 1200000;
inline constexpr std::size_t kMaxNfaTransitions = 2400000;
inline constexpr std::size_t kMaxNfaSteps = 4000000;

}  // namespace regexp
