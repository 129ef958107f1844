#include "regexp/regular_expression.h"

#include "regexp/nfa.h"
#include "regexp/parser.h"

namespace regexp {

TRegularExpression::TRegularExpression() {
  cache_.push_back({std::string(), nullptr});
  CompileCurrent();
}

TRegularExpression::~TRegularExpression() = default;

void TRegularExpression::CompileCurrent() {
  CacheEntry& entry = cache_[current_];
  entry.dfa.reset();
  try {
    TREParser parser(entry.key);
    parser.Run();
    TRE_NFA nfa(parser, LineHeadSymbol(), LineTailSymbol());
    nfa.GenerateStateList();
    entry.dfa = std::make_unique<TRE_DFA>(nfa, state_cache_bytes_);
    entry.dfa->Build();
  } catch (...) {
    // Entry 0, the empty pattern, always compiles, so this never removes it.
    cache_.erase(cache_.begin() + static_cast<std::ptrdiff_t>(current_));
    current_ = 0;
    throw;
  }
}

void TRegularExpression::SetRegExp(const std::string& pattern) {
  // A preprocessor error leaves everything as it was.
  const std::string& key = preprocessor_.Rewrite(pattern);
  // The pattern in use is the likeliest: a table checks cell after cell with one pattern.
  std::size_t found = current_;
  if (cache_[found].key != key) {
    found = 0;
    while (found < cache_.size() && cache_[found].key != key) ++found;
  }
  if (found < cache_.size()) {
    current_ = found;
  } else {
    try {
      if (cache_.size() >= kCacheCapacity) cache_.pop_back();
      cache_.insert(cache_.begin() + 1, {key, nullptr});
      current_ = 1;
      CompileCurrent();
    } catch (...) {
      current_ = 0;
      regexp_.clear();
      throw;
    }
  }
  regexp_ = pattern;
}

}  // namespace regexp
