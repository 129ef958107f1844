#pragma once

#include <iconv.h>

#include <algorithm>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "regexp/parser.h"

namespace regexp::testing {

// UTF-8 test text as CP932 bytes, so tests can be written in readable Japanese.
inline std::string Sjis(const std::string& utf8) {
  iconv_t cd = iconv_open("CP932", "UTF-8");
  if (cd == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("no CP932 converter");
  std::string out(utf8.size() * 2 + 1, '\0');
  char* in = const_cast<char*>(utf8.data());
  std::size_t in_left = utf8.size();
  char* dst = out.data();
  std::size_t out_left = out.size();
  const std::size_t result = iconv(cd, &in, &in_left, &dst, &out_left);
  iconv_close(cd);
  if (result == static_cast<std::size_t>(-1)) throw std::runtime_error("not CP932: " + utf8);
  out.resize(out.size() - out_left);
  return out;
}

using RangeList = std::vector<std::pair<unsigned, unsigned>>;

// The leaf ranges of a parsed pattern, sorted.
inline RangeList Leaves(const std::string& pattern) {
  TREParser parser(pattern);
  parser.Run();
  RangeList ranges;
  for (const auto& leaf : parser.ParseTree().LeafList())
    ranges.emplace_back(leaf->range.start, leaf->range.end);
  std::sort(ranges.begin(), ranges.end());
  return ranges;
}

}  // namespace regexp::testing
