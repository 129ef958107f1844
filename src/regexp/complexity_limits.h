#pragma once

#include <cstddef>

// Bounds that keep a hostile or mistaken pattern from exhausting the stack, the memory or
// the time of a compile. The patterns the tables use stay far below every one of them.

namespace regexp {

// Groups nested deeper than this are refused before the parser's recursion can grow.
inline constexpr int kMaxNesting = 256;
// Parse tree size: all nodes, and distinct character ranges.
inline constexpr std::size_t kMaxTreeNodes = 500000;
inline constexpr std::size_t kMaxLeaves = 10000;
// Nondeterministic automaton size; nested "+" doubles it at each level.
inline constexpr std::size_t kMaxNfaStates = 100000;
inline constexpr std::size_t kMaxNfaTransitions = 1000000;
inline constexpr std::size_t kMaxNfaSteps = 4000000;
// Deterministic automaton size, and the work the subset construction may spend (set bytes
// scanned or copied, transitions and epsilon edges followed).
inline constexpr std::size_t kMaxDfaStates = 2048;
inline constexpr std::size_t kMaxDfaWork = 20000000;

}  // namespace regexp
