#pragma once

#include <string>

#include "regexp/parse_tree.h"
#include "regexp/scanner.h"

namespace regexp {

// Reads one pattern into a parse tree whose leaves are pairwise disjoint ranges.
class TREParser {
 public:
  explicit TREParser(const std::string& pattern);
  virtual ~TREParser() = default;

  // Parses the whole pattern; raises ERegExpParser for a malformed one.
  void Run();

  const TREParseTree& ParseTree() const { return tree_; }
  TREScanner& Scanner() { return scanner_; }

 private:
  void Advance() { token_ = scanner_.GetToken(); }
  [[noreturn]] void Fail(const char* message) const;

  // The whole grammar, with an explicit stack of open groups instead of recursion, so no
  // depth of nesting can exhaust the call stack.
  TRENode* Regex();
  // Applies a "*", "+" or "?" that follows an operand.
  TRENode* Postfix(TRENode* x);
  // An operand other than a group.
  TRENode* Primary();
  // Parses the members of a class into `tree`, stopping at the closing bracket.
  TRENode* CharClass(TREParseTree& tree);
  TRENode* NegativeCharClass();

  TREScanner scanner_;
  TREParseTree tree_;
  TREToken token_ = tok_End;
};

}  // namespace regexp
