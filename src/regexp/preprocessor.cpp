#include "regexp/preprocessor.h"

#include <string_view>

namespace regexp {

namespace {
// Characters that would be operators in a replacement; "-" only means something in a class.
bool NeedsQuote(unsigned char c) {
  return std::string_view("^(|)+*?.[]$\\").find(static_cast<char>(c)) != std::string_view::npos;
}

// Length in bytes of the character at `pos`; a lead byte at the very end stands alone.
std::size_t CharLength(const std::string& text, std::size_t pos) {
  return IsDBCSLeadByte(static_cast<unsigned char>(text[pos])) && pos + 1 < text.size() ? 2 : 1;
}
}  // namespace

void TREPreProcessor::Run() {
  target_ = scanner_.RegExp();
  if (use_synonym_dic_) {
    Process(synonym_dics_);
    scanner_.SetRegExp(target_);
  }
  if (use_fuzzy_char_dic_) Process(fuzzy_char_dics_);
}

void TREPreProcessor::MakeTokenList() {
  tokens_.clear();
  for (;;) {
    const int start = scanner_.Position();
    const TREToken kind = scanner_.GetToken();
    if (kind == tok_End) break;
    tokens_.push_back({kind, scanner_.Symbol(), start, scanner_.Position()});
  }
  tokens_.push_back({tok_End, 0, scanner_.Position(), scanner_.Position()});
}

const std::vector<std::string>* TREPreProcessor::FindMatch(
    const std::vector<const TREDictionary*>& dictionaries, std::size_t first, std::size_t limit,
    std::size_t& next) const {
  for (const TREDictionary* dictionary : dictionaries) {
    for (const auto& group : *dictionary) {
      for (const std::string& member : group) {
        std::size_t record = first;
        std::size_t pos = 0;
        while (pos < member.size() && record < limit) {
          const std::size_t length = CharLength(member, pos);
          const auto lead = static_cast<unsigned char>(member[pos]);
          const uint16_t code =
              length == 2
                  ? static_cast<uint16_t>(lead << 8 | static_cast<unsigned char>(member[pos + 1]))
                  : lead;
          if (tokens_[record].code != code) break;
          pos += length;
          ++record;
        }
        if (!member.empty() && pos == member.size()) {
          next = record;
          return &group;
        }
      }
    }
  }
  return nullptr;
}

void TREPreProcessor::AppendAlternation(const std::vector<std::string>& group, std::string& out) {
  out.push_back('(');
  for (std::size_t m = 0; m < group.size(); ++m) {
    if (m > 0) out.push_back('|');
    const std::string& member = group[m];
    for (std::size_t pos = 0; pos < member.size();) {
      const std::size_t length = CharLength(member, pos);
      if (length == 1 && NeedsQuote(static_cast<unsigned char>(member[pos]))) out.push_back('\\');
      out.append(member, pos, length);
      pos += length;
    }
  }
  out.push_back(')');
}

void TREPreProcessor::Process(const std::vector<const TREDictionary*>& dictionaries) {
  const std::string source = scanner_.RegExp();
  scanner_.SetRegExp(source);
  MakeTokenList();
  const auto append_source = [&](const TokenRecord& record) {
    target_.append(source, static_cast<std::size_t>(record.start - 1),
                   static_cast<std::size_t>(record.end - record.start));
  };

  target_.clear();
  bool in_class = false;
  std::size_t i = 0;
  while (i < tokens_.size()) {
    const TokenRecord& record = tokens_[i];
    if (record.kind == tok_ClassOpen || record.kind == tok_NegClassOpen) in_class = true;
    if (record.kind == tok_ClassClose) in_class = false;
    if (record.kind != tok_Char || in_class) {
      append_source(record);
      ++i;
      continue;
    }
    std::size_t j = i;
    while (tokens_[j].kind == tok_Char) ++j;  // the list ends with tok_End
    while (i < j) {
      std::size_t next = i;
      if (const auto* group = FindMatch(dictionaries, i, j, next)) {
        AppendAlternation(*group, target_);
        i = next;
      } else {
        append_source(tokens_[i]);
        ++i;
      }
    }
  }
}

}  // namespace regexp
