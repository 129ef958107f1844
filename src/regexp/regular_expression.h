#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "regexp/dfa.h"
#include "regexp/preprocessor.h"

namespace regexp {

// Compiles patterns into automata and keeps the most recent ones, so that a table can
// switch between its few patterns on every cell edit without compiling again.
class TRegularExpression {
 public:
  static constexpr std::size_t kCacheCapacity = 30;

  TRegularExpression();
  TRegularExpression(const TRegularExpression&) = delete;
  TRegularExpression& operator=(const TRegularExpression&) = delete;
  TRegularExpression(TRegularExpression&&) = default;
  TRegularExpression& operator=(TRegularExpression&&) = default;
  virtual ~TRegularExpression();

  const std::string& RegExp() const { return regexp_; }
  // Finds the pattern in the cache or compiles it. A malformed pattern raises
  // ERegExpParser (other compile failures std::runtime_error) and leaves the empty
  // pattern current.
  virtual void SetRegExp(const std::string& pattern);

  virtual uint16_t LineHeadSymbol() const { return kLineHeadSymbol; }
  virtual uint16_t LineTailSymbol() const { return kLineTailSymbol; }

  // The cache, for tests: entry count, the key of entry i, and the current entry.
  std::size_t CacheCount() const { return cache_.size(); }
  const std::string& CacheKey(std::size_t index) const { return cache_[index].key; }
  std::size_t CurrentIndex() const { return current_; }

  // Room for the automaton states of each pattern compiled from now on. When matching fills
  // it, the states are dropped and made again as needed: results stay the same.
  void SetStateCacheBytes(std::size_t bytes) { state_cache_bytes_ = bytes; }
  // The automaton of the current pattern, to look at its state cache.
  const TRE_DFA& Automaton() const { return *cache_[current_].dfa; }

 protected:
  // Compiles the key of the current entry into its automaton.
  virtual void CompileCurrent();
  // Matching makes automaton states as it needs them: a cache inside the compiled pattern,
  // which changes no result, so a const matcher may still fill it.
  TRE_DFA& CurrentDFA() const { return *cache_[current_].dfa; }
  TREPreProcessor& PreProcessor() { return preprocessor_; }
  const TREPreProcessor& PreProcessor() const { return preprocessor_; }

 private:
  struct CacheEntry {
    std::string key;
    std::unique_ptr<TRE_DFA> dfa;
  };

  std::vector<CacheEntry> cache_;
  std::size_t current_ = 0;
  std::string regexp_;
  TREPreProcessor preprocessor_;
  std::size_t state_cache_bytes_ = TRE_DFA::kDefaultCacheBytes;
};

enum TMatchCORE_LineSeparator { mcls_CRLF, mcls_LF };

// Adds the choice of line separator that "$" stops at.
class TMatchCORE : public TRegularExpression {
 public:
  TMatchCORE_LineSeparator LineSeparator() const { return line_separator_; }
  void SetLineSeparator(TMatchCORE_LineSeparator separator) { line_separator_ = separator; }

 protected:
  uint16_t LineSeparatorCode() const { return line_separator_ == mcls_CRLF ? 13 : 10; }

 private:
  TMatchCORE_LineSeparator line_separator_ = mcls_CRLF;
};

}  // namespace regexp
