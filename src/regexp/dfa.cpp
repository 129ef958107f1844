#include "regexp/dfa.h"

#include <algorithm>
#include <functional>
#include <string_view>

namespace regexp {

namespace {

// Bounds on the work Build() spends ahead of matching (moves looked at); the rest is made
// when a subject needs it.
constexpr std::size_t kPrebuildWork = std::size_t{1} << 20;
// Bytes a state costs beside its row and its set: set offset, hash and table slots.
constexpr std::size_t kStateOverhead = 4 + sizeof(std::size_t) + 8;

std::size_t HashSet(const std::vector<uint32_t>& set) {
  return std::hash<std::string_view>{}(
      std::string_view(reinterpret_cast<const char*>(set.data()), set.size() * sizeof(uint32_t)));
}

}  // namespace

TRE_DFA::TRE_DFA(const TRE_NFA& nfa, std::size_t cache_bytes)
    // Row starts must stay below the two reserved successor values.
    : cache_bytes_(std::min(cache_bytes, std::size_t{1} << 31)) {
  exit_ = nfa.ExitState();
  line_head_used_ = nfa.LineHeadUsed();
  line_tail_used_ = nfa.LineTailUsed();
  MakeClasses(nfa);

  const std::size_t count = nfa.StateCount();
  move_begin_.reserve(count + 1);
  epsilon_begin_.reserve(count + 1);
  for (std::size_t state = 0; state < count; ++state) {
    move_begin_.push_back(static_cast<uint32_t>(moves_.size()));
    epsilon_begin_.push_back(static_cast<uint32_t>(epsilon_targets_.size()));
    for (const TRE_NFATransition& t : nfa.Transitions(state)) {
      if (IsEpsilon(t.condition)) {
        epsilon_targets_.push_back(t.target);
      } else {
        // The classes a condition covers are consecutive, from the piece holding its start
        // to the piece holding its end.
        moves_.push_back({WideClass(t.condition.start), WideClass(t.condition.end), t.target});
      }
    }
  }
  move_begin_.push_back(static_cast<uint32_t>(moves_.size()));
  epsilon_begin_.push_back(static_cast<uint32_t>(epsilon_targets_.size()));

  mark_.assign(count, 0);
  stamp_ = 1;
  scratch_.assign(1, nfa.EntryState());
  mark_[nfa.EntryState()] = stamp_;
  CloseScratch();
  initial_set_ = scratch_;
  // The classes the initial state has a step on.
  std::vector<bool> live(class_count_, false);
  for (const uint32_t member : initial_set_) {
    for (uint32_t m = move_begin_[member]; m < move_begin_[member + 1]; ++m) {
      for (uint32_t cls = moves_[m].first; cls <= moves_[m].last; ++cls) live[cls] = true;
    }
  }
  for (unsigned byte = 0; byte < 256; ++byte) {
    if (!IsDBCSLeadByte(static_cast<unsigned char>(byte))) {
      initial_skip_[byte] = !live[byte_class_[byte]] ? 1 : 0;
    } else {
      // A lead byte whose double-byte characters are cut into several classes is not looked
      // into; they are stepped as usual.
      const uint32_t wide = lead_class_[byte];
      initial_skip_[byte] = wide != kMixedClass && !live[wide] ? 2 : 0;
    }
  }
  set_begin_.assign(1, 0);
  Rehash(16);
  Flush();
  flushes_ = 0;
}

void TRE_DFA::MakeClasses(const TRE_NFA& nfa) {
  // Every condition start and every code just past a condition end cuts the code space.
  std::vector<TRECharRange> conditions;
  std::vector<uint32_t> cuts;
  for (std::size_t state = 0; state < nfa.StateCount(); ++state) {
    for (const TRE_NFATransition& t : nfa.Transitions(state)) {
      if (IsEpsilon(t.condition)) continue;
      conditions.push_back(t.condition);
      cuts.push_back(t.condition.start);
      cuts.push_back(uint32_t{t.condition.end} + 1);
    }
  }
  std::sort(cuts.begin(), cuts.end());
  cuts.erase(std::unique(cuts.begin(), cuts.end()), cuts.end());

  // A piece is covered when some condition holds it; covered pieces get classes in code
  // order, so the pieces inside one condition get consecutive classes.
  std::vector<int> coverage(cuts.size() + 1, 0);
  for (const TRECharRange& c : conditions) {
    ++coverage[std::lower_bound(cuts.begin(), cuts.end(), c.start) - cuts.begin()];
    --coverage[std::lower_bound(cuts.begin(), cuts.end(), uint32_t{c.end} + 1) - cuts.begin()];
  }
  int depth = 0;
  for (std::size_t i = 0; i < cuts.size() && cuts[i] <= 0xFFFF; ++i) {
    depth += coverage[i];
    piece_start_.push_back(cuts[i]);
    piece_class_.push_back(depth > 0 ? class_count_++ : 0);
  }

  for (unsigned code = 0; code < 256; ++code)
    byte_class_[code] = WideClass(static_cast<uint16_t>(code));
  // Code 0 is the end of a subject, where no step is ever taken.
  byte_class_[0] = 0;
  // Most double-byte rows lie inside one piece; only the others need a search.
  for (unsigned lead = 0; lead < 256; ++lead) {
    const auto low = static_cast<uint16_t>(lead << 8);
    const auto high = static_cast<uint16_t>(lead << 8 | 0xFF);
    const auto piece = [this](uint16_t code) {
      return std::upper_bound(piece_start_.begin(), piece_start_.end(), code) -
             piece_start_.begin();
    };
    lead_class_[lead] = piece(low) == piece(high) ? WideClass(low) : kMixedClass;
  }
  line_head_class_ = WideClass(nfa.LineHeadSymbol());
  line_tail_class_ = WideClass(nfa.LineTailSymbol());
}

uint32_t TRE_DFA::WideClass(uint16_t code) const {
  const auto it = std::upper_bound(piece_start_.begin(), piece_start_.end(), uint32_t{code});
  return it == piece_start_.begin() ? 0 : piece_class_[it - piece_start_.begin() - 1];
}

std::size_t TRE_DFA::CacheBytes() const {
  return next_.size() * sizeof(uint32_t) + set_begin_.size() * sizeof(uint32_t) +
         set_members_.size() * sizeof(uint32_t) + set_hash_.size() * sizeof(std::size_t) +
         // The table is kept at most half full; its slots beyond that are kept after a drop
         // for the states to come, so they are not counted against the room.
         StateCount() * 2 * sizeof(uint32_t);
}

void TRE_DFA::Build() {
  const std::size_t flushes = flushes_;
  work_ = 0;
  for (std::size_t state = 0; state < next_.size() && StateCount() <= kPrebuildStates;
       state += RowSize()) {
    for (uint32_t cls = 1; cls < class_count_; ++cls) {
      Next(static_cast<uint32_t>(state), cls);
      // A dropped cache or a costly automaton leaves the rest to matching.
      if (flushes_ != flushes || work_ > kPrebuildWork) return;
    }
  }
}

void TRE_DFA::CloseScratch() {
  // The scratch list is its own work queue: members appended here are visited in turn.
  for (std::size_t i = 0; i < scratch_.size(); ++i) {
    const uint32_t state = scratch_[i];
    for (uint32_t e = epsilon_begin_[state]; e < epsilon_begin_[state + 1]; ++e) {
      const uint32_t target = epsilon_targets_[e];
      if (mark_[target] != stamp_) {
        mark_[target] = stamp_;
        scratch_.push_back(target);
      }
    }
  }
  work_ += scratch_.size();
  std::sort(scratch_.begin(), scratch_.end());
}

uint32_t TRE_DFA::Compute(uint32_t state, uint32_t cls) {
  if (++stamp_ == 0) {
    std::fill(mark_.begin(), mark_.end(), 0);
    stamp_ = 1;
  }
  scratch_.clear();
  const std::size_t number = state / RowSize();
  for (uint32_t i = set_begin_[number]; i < set_begin_[number + 1]; ++i) {
    const uint32_t member = set_members_[i];
    work_ += move_begin_[member + 1] - move_begin_[member] + 1;
    for (uint32_t m = move_begin_[member]; m < move_begin_[member + 1]; ++m) {
      const Move& move = moves_[m];
      if (move.first <= cls && cls <= move.last && mark_[move.target] != stamp_) {
        mark_[move.target] = stamp_;
        scratch_.push_back(move.target);
      }
    }
  }
  uint32_t target = kNoState;
  if (!scratch_.empty()) {
    CloseScratch();
    const std::size_t hash = HashSet(scratch_);
    uint32_t found = Find(hash);
    const std::size_t flushes = flushes_;
    if (found == kNoState) found = Add(hash);
    target = static_cast<uint32_t>(found * RowSize());
    // The cache was dropped for the new state; `state` is gone with it.
    if (flushes_ != flushes) return target;
  }
  next_[std::size_t{state} + cls] = target;
  return target;
}

uint32_t TRE_DFA::Find(std::size_t hash) const {
  const std::size_t mask = slots_.size() - 1;
  for (std::size_t i = hash & mask; slots_[i] != kEmptySlot; i = (i + 1) & mask) {
    const uint32_t state = slots_[i];
    if (set_hash_[state] == hash &&
        std::equal(scratch_.begin(), scratch_.end(), set_members_.begin() + set_begin_[state],
                   set_members_.begin() + set_begin_[state + 1]))
      return state;
  }
  return kNoState;
}

uint32_t TRE_DFA::Add(std::size_t hash) {
  const std::size_t cost = (RowSize() + scratch_.size()) * sizeof(uint32_t) + kStateOverhead;
  // The initial state and the one being added always fit, whatever the budget.
  if (StateCount() > 1 && CacheBytes() + cost > cache_bytes_) {
    Flush();
    if (scratch_ == initial_set_) return InitialState();
  }
  const auto state = static_cast<uint32_t>(StateCount());
  const std::size_t row = next_.size();
  next_.resize(row + RowSize(), kUnknown);
  // Codes that no condition covers never lead anywhere.
  next_[row] = kNoState;
  next_[row + class_count_] = std::binary_search(scratch_.begin(), scratch_.end(), exit_) ? 1 : 0;
  set_members_.insert(set_members_.end(), scratch_.begin(), scratch_.end());
  set_begin_.push_back(static_cast<uint32_t>(set_members_.size()));
  set_hash_.push_back(hash);
  if (StateCount() * 2 > slots_.size()) {
    Rehash(slots_.size() * 2);
  } else {
    const std::size_t mask = slots_.size() - 1;
    std::size_t i = hash & mask;
    while (slots_[i] != kEmptySlot) i = (i + 1) & mask;
    slots_[i] = state;
  }
  return state;
}

void TRE_DFA::Flush() {
  ++flushes_;
  // Cleared, not freed: the memory is reused by the states made after.
  next_.clear();
  set_begin_.resize(1);
  set_members_.clear();
  set_hash_.clear();
  std::fill(slots_.begin(), slots_.end(), kEmptySlot);
  // The initial state comes back first, so it keeps index 0.
  scratch_.swap(initial_set_);
  Add(HashSet(scratch_));
  scratch_.swap(initial_set_);
}

void TRE_DFA::Rehash(std::size_t slot_count) {
  slots_.assign(slot_count, kEmptySlot);
  const std::size_t mask = slot_count - 1;
  for (uint32_t state = 0; state < StateCount(); ++state) {
    std::size_t i = set_hash_[state] & mask;
    while (slots_[i] != kEmptySlot) i = (i + 1) & mask;
    slots_[i] = state;
  }
}

}  // namespace regexp
