#include "regexp/builtin_dictionary.h"

#include "regexp/comma_text.h"

namespace regexp {

namespace {
// One comma text per group.
constexpr const char* kGroupTexts[] = {
#include "regexp/builtin_dictionary_data.inc"
};
}  // namespace

const TREDictionary& BuiltinFuzzyCharDictionary() {
  static const TREDictionary dictionary = [] {
    TREDictionary groups;
    for (const char* text : kGroupTexts) groups.push_back(SplitCommaText(text));
    return groups;
  }();
  return dictionary;
}

}  // namespace regexp
