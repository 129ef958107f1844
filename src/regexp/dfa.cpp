#include "regexp/dfa.h"

#include <algorithm>
#include <stdexcept>
#include <unordered_map>
#include <utility>

#include "regexp/complexity_limits.h"
#include "regexp/messages.h"

namespace regexp {

namespace {

// Subset construction state, dropped once the compact states are made.
class SubsetBuilder {
 public:
  struct Candidate {
    TRE_NFAStateSet set;
    bool accepting = false;
    std::vector<TRE_DFATransition> transitions;
  };

  explicit SubsetBuilder(const TRE_NFA& nfa) : nfa_(nfa), set_bytes_(nfa.StateCount() / 8 + 1) {
    // Number the distinct conditions once, so grouping a state's transitions by range
    // needs no lookup of its own.
    std::unordered_map<uint32_t, uint32_t> ids;
    condition_ids_.resize(nfa_.StateCount());
    for (std::size_t state = 0; state < nfa_.StateCount(); ++state) {
      const auto& transitions = nfa_.Transitions(state);
      Spend(transitions.size() + 1);
      for (const TRE_NFATransition& t : transitions) {
        uint32_t id = kEpsilonId;
        if (!IsEpsilon(t.condition)) {
          const uint32_t key = uint32_t{t.condition.start} << 16 | t.condition.end;
          const auto [found, added] =
              ids.try_emplace(key, static_cast<uint32_t>(conditions_.size()));
          if (added) conditions_.push_back(t.condition);
          id = found->second;
        }
        condition_ids_[state].push_back(id);
      }
    }
    group_of_.assign(conditions_.size(), kNoGroup);
  }

  std::vector<Candidate> Run(uint16_t& initial) {
    TRE_NFAStateSet start(nfa_.StateCount());
    start.Include(nfa_.EntryState());
    Close(start);
    initial = Register(std::move(start));
    // New states are appended, so the first unvisited state is always the next one.
    for (std::size_t i = 0; i < states_.size(); ++i) Expand(i);
    return std::move(states_);
  }

 private:
  static constexpr uint32_t kEpsilonId = 0xFFFFFFFF;
  static constexpr uint32_t kNoGroup = 0xFFFFFFFF;

  void Spend(std::size_t units) {
    work_ += units;
    if (work_ > kMaxDfaWork) throw std::runtime_error(kMsgTooComplex);
  }

  // Adds every state reachable by epsilon transitions, without recursion.
  void Close(TRE_NFAStateSet& set) {
    stack_.clear();
    set.ForEach([this](std::size_t state) { stack_.push_back(static_cast<uint32_t>(state)); });
    while (!stack_.empty()) {
      const uint32_t state = stack_.back();
      stack_.pop_back();
      const auto& transitions = nfa_.Transitions(state);
      Spend(transitions.size() + 1);
      for (const TRE_NFATransition& t : transitions) {
        if (IsEpsilon(t.condition) && !set.Contains(t.target)) {
          set.Include(t.target);
          stack_.push_back(t.target);
        }
      }
    }
  }

  uint16_t Register(TRE_NFAStateSet set) {
    Spend(set.ByteCount() / 8 + 1);
    const std::size_t hash = set.Hash();
    const auto [first, last] = index_.equal_range(hash);
    for (auto it = first; it != last; ++it) {
      if (states_[it->second].set.Equals(set)) return it->second;
    }
    if (states_.size() >= kMaxDfaStates) throw std::runtime_error(kMsgTooComplex);
    const auto number = static_cast<uint16_t>(states_.size());
    const bool accepting = set.Contains(nfa_.ExitState());
    states_.push_back({std::move(set), accepting, {}});
    index_.emplace(hash, number);
    return number;
  }

  // The state for the closure of `kernel` (set_bytes_ bytes of bits). Many groups share a
  // kernel, and a closure depends on its kernel alone, so each one is closed only once.
  uint16_t Successor(const uint8_t* kernel) {
    Spend(set_bytes_ / 8 + 1);
    const std::size_t hash = TRE_NFAStateSet::HashBytes(kernel, set_bytes_);
    const auto [first, last] = kernels_.equal_range(hash);
    for (auto it = first; it != last; ++it) {
      if (std::equal(kernel, kernel + set_bytes_, it->second.first.Bytes()))
        return it->second.second;
    }
    TRE_NFAStateSet closed(kernel, set_bytes_);
    Spend(set_bytes_ / 4 + 1);
    Close(closed);
    const uint16_t state = Register(std::move(closed));
    kernels_.emplace(hash, std::make_pair(TRE_NFAStateSet(kernel, set_bytes_), state));
    return state;
  }

  void Expand(std::size_t index) {
    // One group per distinct range, in creation order (the newest heads the group list);
    // the groups' kernels lie side by side in kernels_arena_.
    group_conditions_.clear();
    kernel_arena_.clear();
    states_[index].set.ForEach([&](std::size_t state) {
      const auto& transitions = nfa_.Transitions(state);
      const auto& ids = condition_ids_[state];
      Spend(transitions.size() + 1);
      for (std::size_t k = transitions.size(); k-- > 0;) {
        if (ids[k] == kEpsilonId) continue;
        uint32_t& group = group_of_[ids[k]];
        if (group == kNoGroup) {
          group = static_cast<uint32_t>(group_conditions_.size());
          group_conditions_.push_back(ids[k]);
          Spend(set_bytes_ / 8 + 1);
          kernel_arena_.resize(kernel_arena_.size() + set_bytes_, 0);
        }
        const uint32_t target = transitions[k].target;
        kernel_arena_[group * set_bytes_ + target / 8] |= static_cast<uint8_t>(1u << (target % 8));
      }
    });
    for (uint32_t id : group_conditions_) group_of_[id] = kNoGroup;

    // Registered newest group first; the transitions are listed oldest first, which is
    // where putting each at the front of the list leaves them.
    const std::size_t count = group_conditions_.size();
    targets_.resize(count);
    for (std::size_t g = count; g-- > 0;) targets_[g] = Successor(&kernel_arena_[g * set_bytes_]);
    // Sorted by range start; equal starts keep the list order, as a stable sort would.
    order_.resize(count);
    for (std::size_t g = 0; g < count; ++g) order_[g] = static_cast<uint32_t>(g);
    std::sort(order_.begin(), order_.end(), [this](uint32_t a, uint32_t b) {
      const uint16_t start_a = conditions_[group_conditions_[a]].start;
      const uint16_t start_b = conditions_[group_conditions_[b]].start;
      return start_a != start_b ? start_a < start_b : a < b;
    });
    std::vector<TRE_DFATransition> transitions;
    transitions.reserve(count);
    for (uint32_t g : order_)
      transitions.push_back({conditions_[group_conditions_[g]], targets_[g]});
    states_[index].transitions = std::move(transitions);
  }

  const TRE_NFA& nfa_;
  const std::size_t set_bytes_;
  std::vector<TRECharRange> conditions_;
  std::vector<std::vector<uint32_t>> condition_ids_;
  std::vector<uint32_t> group_of_;
  std::vector<uint32_t> group_conditions_;
  std::vector<uint8_t> kernel_arena_;
  std::vector<uint16_t> targets_;
  std::vector<uint32_t> order_;
  std::vector<Candidate> states_;
  std::unordered_multimap<std::size_t, uint16_t> index_;
  std::unordered_multimap<std::size_t, std::pair<TRE_NFAStateSet, uint16_t>> kernels_;
  std::vector<uint32_t> stack_;
  std::size_t work_ = 0;
};

}  // namespace

void TRE_DFA::Build() {
  if (nfa_ == nullptr) return;
  line_head_used_ = nfa_->LineHeadUsed();
  line_tail_used_ = nfa_->LineTailUsed();
  std::vector<SubsetBuilder::Candidate> built = SubsetBuilder(*nfa_).Run(initial_);
  const uint16_t line_head = nfa_->LineHeadSymbol();
  const uint16_t line_tail = nfa_->LineTailSymbol();

  states_.clear();
  states_.resize(built.size());
  for (std::size_t i = 0; i < built.size(); ++i) {
    State& state = states_[i];
    state.accepting = built[i].accepting;
    state.transitions = std::move(built[i].transitions);
    // The list is sorted by start, so the walk takes the first transition that holds a code;
    // filling from the back lets that first one win where transitions overlap.
    state.single.fill(kNoState);
    for (auto t = state.transitions.rbegin(); t != state.transitions.rend(); ++t) {
      for (unsigned code = t->range.start; code <= t->range.end && code < 256; ++code)
        state.single[code] = t->target;
    }
    state.single[0] = kNoState;
    state.line_head = Walk(state.transitions, line_head);
    state.line_tail = Walk(state.transitions, line_tail);
    for (const TRE_DFATransition& t : state.transitions) {
      if (t.range.end >= 0x100) state.wide.push_back(t);
    }
  }
  nfa_ = nullptr;
}

}  // namespace regexp
