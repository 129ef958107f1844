#pragma once

#include <string>
#include <vector>

namespace regexp {

// An ordered list of groups of equivalent texts (CP932).
using TREDictionary = std::vector<std::vector<std::string>>;

// The built-in equivalent-character dictionary: 145 groups, built on first use and kept
// for the life of the program.
const TREDictionary& BuiltinFuzzyCharDictionary();

}  // namespace regexp
