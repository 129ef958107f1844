#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "regexp/builtin_dictionary.h"
#include "regexp/scanner.h"

namespace regexp {

// Rewrites a pattern before it is compiled, so that plain characters found in a dictionary
// group match every member of that group.
class TREPreProcessor {
 public:
  TREPreProcessor() = default;

  // Gives the pattern to the scanner; Run then rewrites it into TargetRegExp().
  void SetRegExp(const std::string& pattern) { scanner_.SetRegExp(pattern); }
  void Run();
  const std::string& TargetRegExp() const { return target_; }

  // The cache key for `pattern`: the pattern itself while both flags are off (no copy),
  // otherwise the result of SetRegExp and Run. Raises ERegExpParser from the tokenizing.
  const std::string& Rewrite(const std::string& pattern) {
    if (!use_fuzzy_char_dic_ && !use_synonym_dic_) return pattern;
    SetRegExp(pattern);
    Run();
    return target_;
  }

  bool UseFuzzyCharDic() const { return use_fuzzy_char_dic_; }
  void SetUseFuzzyCharDic(bool use) { use_fuzzy_char_dic_ = use; }
  bool UseSynonymDic() const { return use_synonym_dic_; }
  void SetUseSynonymDic(bool use) { use_synonym_dic_ = use; }

  // Borrowed dictionaries, consulted in list order.
  std::vector<const TREDictionary*>& SynonymDicList() { return synonym_dics_; }
  std::vector<const TREDictionary*>& FuzzyCharDicList() { return fuzzy_char_dics_; }

 private:
  struct TokenRecord {
    TREToken kind;
    uint16_t code;
    int start;  // read position before the token
    int end;    // read position after it
  };

  void MakeTokenList();
  // Rewrites the scanner's pattern with `dictionaries` into target_.
  void Process(const std::vector<const TREDictionary*>& dictionaries);
  // The first member (in dictionary, group and member order) that spells the codes of
  // records first.. before `limit`; sets `next` to the record after it.
  const std::vector<std::string>* FindMatch(const std::vector<const TREDictionary*>& dictionaries,
                                            std::size_t first, std::size_t limit,
                                            std::size_t& next) const;
  static void AppendAlternation(const std::vector<std::string>& group, std::string& out);

  TREScanner scanner_;
  std::vector<TokenRecord> tokens_;
  std::vector<const TREDictionary*> synonym_dics_;
  std::vector<const TREDictionary*> fuzzy_char_dics_;
  std::string target_;
  bool use_fuzzy_char_dic_ = false;
  bool use_synonym_dic_ = false;
};

}  // namespace regexp
