#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "regexp/regular_expression.h"

namespace regexp {

// The string matcher each table owns: set a pattern, then ask where it first matches.
class TAWKStr : public TMatchCORE {
 public:
  TAWKStr();

  void SetRegExp(const std::string& pattern) override;

  // The 1-based byte position of the leftmost, longest match, or 0 when there is none.
  // A NUL byte ends the subject. Matching allocates nothing once the automaton states it
  // visits are made (those of small patterns, such as the tables' own, are made at setting)
  // and, for subjects of 64 bytes or more, once none longer comes.
  int Match(std::string_view subject) const;
  int Match(std::string_view subject, int& position, int& length) const;

  // Each flag change compiles the current pattern anew (or finds it in the cache).
  bool UseFuzzyCharDic() const { return PreProcessor().UseFuzzyCharDic(); }
  void SetUseFuzzyCharDic(bool use);
  bool UseSynonymDic() const { return PreProcessor().UseSynonymDic(); }
  void SetUseSynonymDic(bool use);

  // Where a search reached a position in a state, for runs over long subjects.
  struct Visit {
    uint32_t state = 0;
    uint32_t stamp = 0;
  };

 private:
  struct Span;
  std::vector<Visit>* VisitStore(const unsigned char* begin, const unsigned char* end) const;
  bool MatchPlain(const unsigned char* begin, const unsigned char* end, Span& span) const;
  bool MatchAnchored(const unsigned char* begin, const unsigned char* end, Span& span) const;

  // Patterns that use "^" or "$" as anchors need the line-aware matcher.
  bool anchored_ = false;
  // Records of one search over a long subject, kept for the next so that matching
  // allocates nothing once subjects stop growing.
  mutable std::vector<Visit> visits_;
  mutable uint32_t visit_stamp_ = 0;
};

}  // namespace regexp
