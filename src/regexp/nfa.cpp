#include "regexp/nfa.h"

#include <algorithm>
#include <stdexcept>

#include "regexp/complexity_limits.h"
#include "regexp/messages.h"

namespace regexp {

TRE_NFA::TRE_NFA(const TREParser& parser, uint16_t line_head_symbol, uint16_t line_tail_symbol)
    : parser_(parser), line_head_symbol_(line_head_symbol), line_tail_symbol_(line_tail_symbol) {}

uint32_t TRE_NFA::AddState() {
  if (states_.size() >= kMaxNfaStates) throw std::runtime_error(kMsgTooComplex);
  states_.emplace_back();
  return static_cast<uint32_t>(states_.size() - 1);
}

void TRE_NFA::AddTransition(uint32_t from, TRECharRange condition, uint32_t to) {
  if (++transition_count_ > kMaxNfaTransitions) throw std::runtime_error(kMsgTooComplex);
  states_[from].push_back({condition, to});
}

void TRE_NFA::GenerateStateList() {
  states_.clear();
  transition_count_ = 0;
  line_head_used_ = false;
  line_tail_used_ = false;
  entry_ = AddState();
  exit_ = AddState();
  const TRECharRange epsilon{kEpsilonCode, kEpsilonCode};

  // An explicit stack in place of recursion, so a long chain of concatenations cannot
  // exhaust the call stack. A task without a node closes a loop once its body is done:
  // s2 -> s1 again, and on to `exit` from s1 (a star) or from s2 (a plus).
  struct Task {
    const TRENode* node;
    uint32_t from;
    uint32_t to;
    uint32_t exit;
    bool plus;
  };
  // "x+" is kept as x followed by x*, with x shared. Generating x twice doubles the automaton
  // at every nesting level, so it becomes one loop instead, which takes the same paths. Only
  // the first x at the entry state may hold a "^" anchor that the loop would lose.
  const bool has_line_head = parser_.ParseTree().HasLineHead();
  std::vector<Task> tasks{{parser_.ParseTree().Root(), entry_, exit_, 0, false}};
  // A star, or a plus as a loop: f -> s1, the body from s1 to s2, then the closing task.
  const auto loop = [this, &tasks, &epsilon](const Task& task, const TRENode* body, bool plus) {
    const uint32_t s1 = AddState();
    const uint32_t s2 = AddState();
    AddTransition(task.from, epsilon, s1);
    tasks.push_back({nullptr, s2, s1, task.to, plus});
    tasks.push_back({body, s1, s2, 0, false});
  };
  std::size_t steps = 0;
  while (!tasks.empty()) {
    // Ranges that add nothing still cost a step, so a shared subtree cannot run unbounded.
    if (++steps > kMaxNfaSteps) throw std::runtime_error(kMsgTooComplex);
    const Task task = tasks.back();
    tasks.pop_back();
    const TRENode* node = task.node;
    if (node == nullptr) {
      AddTransition(task.from, epsilon, task.to);
      AddTransition(task.plus ? task.from : task.to, epsilon, task.exit);
      continue;
    }
    switch (node->kind) {
      case node_Range:
        // Subjects never hold codes above kMaxSubjectCode; leaving them out keeps escapes
        // such as "\xffff" from posing as the epsilon or anchor conditions.
        if (node->range.start <= kMaxSubjectCode) {
          AddTransition(task.from, {node->range.start, std::min(node->range.end, kMaxSubjectCode)},
                        task.to);
        }
        break;
      case node_LineHead:
        if (task.from == entry_) {
          line_head_used_ = true;
          AddTransition(task.from, {line_head_symbol_, line_head_symbol_}, task.to);
        } else {
          AddTransition(task.from, node->range, task.to);
        }
        break;
      case node_LineTail:
        if (task.to == exit_) {
          line_tail_used_ = true;
          AddTransition(task.from, {line_tail_symbol_, line_tail_symbol_}, task.to);
        } else {
          AddTransition(task.from, node->range, task.to);
        }
        break;
      case node_Concat: {
        const TRENode* star = node->right;
        if (star != nullptr && star->kind == node_Star && star->left == node->left &&
            (task.from != entry_ || !has_line_head)) {
          loop(task, node->left, true);
          break;
        }
        const uint32_t middle = AddState();
        // Pushed in reverse so the left side is generated first.
        tasks.push_back({node->right, middle, task.to, 0, false});
        tasks.push_back({node->left, task.from, middle, 0, false});
        break;
      }
      case node_Union:
        tasks.push_back({node->right, task.from, task.to, 0, false});
        tasks.push_back({node->left, task.from, task.to, 0, false});
        break;
      case node_Star:
        loop(task, node->left, false);
        break;
      case node_Empty:
        AddTransition(task.from, epsilon, task.to);
        break;
      default:
        throw std::runtime_error("This cannot happen in TRE_NFA.GenerateStateList");
    }
  }
}

}  // namespace regexp
