#include "engine/import/import_rules.h"

#include <exception>

#include "engine/app/profile.h"
#include "engine/base/cp932.h"
#include "engine/base/error.h"
#include "engine/base/integer.h"
#include "engine/base/text_file.h"
#include "engine/import/field_parsers.h"
#include "engine/import/import_profile.h"
#include "regexp/awkstr.h"

namespace engine::import {

namespace {

const char* DirectionName(Direction d) {
  switch (d) {
    case Direction::Out:
      return "out";
    case Direction::In:
      return "in";
    default:
      return "any";
  }
}

std::string RuleSection(std::size_t index) {
  return "rule " + std::to_string(index + 1);
}

bool HasLineBreak(std::string_view text) {
  return text.find_first_of("\r\n") != std::string_view::npos;
}

}  // namespace

std::string RuleProblem(const ImportRule& rule) {
  if (rule.pattern.empty()) return Sjis("パターンがありません");
  if (rule.subject.empty()) return Sjis("科目がありません");
  if (rule.minAmount && rule.maxAmount && *rule.minAmount > *rule.maxAmount)
    return Sjis("金額の下限が上限より大きくなっています");
  if ((rule.minAmount && *rule.minAmount < 0) || (rule.maxAmount && *rule.maxAmount < 0))
    return Sjis("金額の範囲は 0 以上で指定してください");
  if (HasLineBreak(rule.pattern) || HasLineBreak(rule.subject) || HasLineBreak(rule.summary))
    return Sjis("改行は使えません");
  try {
    regexp::TAWKStr matcher;
    matcher.SetUseFuzzyCharDic(rule.fold);
    matcher.SetRegExp(rule.pattern);
  } catch (const std::exception& e) {
    return FormatMessage(Sjis("パターン '%s' が正しくありません: "), rule.pattern) + e.what();
  }
  return {};
}

RuleMatcher::RuleMatcher(const std::vector<ImportRule>& rules) : rules_(rules) {
  for (std::size_t i = 0; i < rules_.size(); ++i) {
    const std::string problem = RuleProblem(rules_[i]);
    if (!problem.empty()) throw Error(Sjis("ルール ") + std::to_string(i + 1) + ": " + problem);
    auto matcher = std::make_unique<regexp::TAWKStr>();
    matcher->SetUseFuzzyCharDic(rules_[i].fold);
    matcher->SetRegExp(rules_[i].pattern);
    matchers_.push_back(std::move(matcher));
  }
}

RuleMatcher::~RuleMatcher() = default;
RuleMatcher::RuleMatcher(RuleMatcher&&) noexcept = default;
RuleMatcher& RuleMatcher::operator=(RuleMatcher&&) noexcept = default;

int RuleMatcher::Match(std::string_view description, std::int32_t amount) const {
  const std::int64_t size = amount < 0 ? -static_cast<std::int64_t>(amount) : amount;
  for (std::size_t i = 0; i < rules_.size(); ++i) {
    const ImportRule& rule = rules_[i];
    if (rule.direction == Direction::Out && amount >= 0) continue;
    if (rule.direction == Direction::In && amount < 0) continue;
    if (rule.minAmount && size < *rule.minAmount) continue;
    if (rule.maxAmount && size > *rule.maxAmount) continue;
    if (matchers_[i]->Match(description) > 0) return static_cast<int>(i);
  }
  return -1;
}

void RuleFile::Load(std::vector<ImportRule>& rules, ImportSettings& settings) const {
  CheckTextFile(path_, "取り込みルール");
  const Profile file(path_);
  std::vector<ImportRule> loaded;
  ImportSettings read;
  auto fault = [&](const std::string& section, const std::string& what) {
    throw Error(MessageText(QStringLiteral("取り込みルールのファイル「%1」が壊れています: [%2] %3")
                                .arg(path_, FromCp932(section), FromCp932(what))));
  };
  if (file.HasSection("settings")) {
    const auto window = ParseInt32(file.Read("settings", "date_window"));
    if (!window || *window < 0 || *window > 60) fault("settings", "date_window");
    read.dateWindow = *window;
    read.lastProfile = file.Read("settings", "last_profile");
  }
  for (std::size_t i = 0; file.HasSection(RuleSection(i)); ++i) {
    const std::string section = RuleSection(i);
    ImportRule rule;
    rule.pattern = file.Read(section, "pattern");
    const std::string fold = file.Read(section, "dictionary");
    if (fold != "0" && fold != "1") fault(section, "dictionary");
    rule.fold = fold == "1";
    for (auto [key, target] : {std::pair{"min", &rule.minAmount}, {"max", &rule.maxAmount}}) {
      const std::string text = file.Read(section, key);
      if (text.empty()) continue;
      const auto value = ParseInt32(text);
      if (!value) fault(section, key);
      *target = *value;
    }
    const std::string direction = file.Read(section, "direction");
    if (direction == "out") {
      rule.direction = Direction::Out;
    } else if (direction == "in") {
      rule.direction = Direction::In;
    } else if (direction != "any") {
      fault(section, "direction");
    }
    rule.subject = file.Read(section, "subject");
    rule.summary = file.Read(section, "summary");
    const std::string problem = RuleProblem(rule);
    if (!problem.empty()) fault(section, problem);
    loaded.push_back(std::move(rule));
  }
  rules = std::move(loaded);
  settings = std::move(read);
}

void RuleFile::Save(const std::vector<ImportRule>& rules, const ImportSettings& settings) const {
  CheckTextFile(path_, "取り込みルール");
  if (HasLineBreak(settings.lastProfile)) throw Error(Sjis("改行は使えません"));
  std::string image;
  AppendLine(image, "[settings]");
  AppendLine(image, "date_window=" + std::to_string(settings.dateWindow));
  AppendLine(image, "last_profile=" + settings.lastProfile);
  for (std::size_t i = 0; i < rules.size(); ++i) {
    const ImportRule& rule = rules[i];
    const std::string problem = RuleProblem(rule);
    if (!problem.empty()) throw Error(Sjis("ルール ") + std::to_string(i + 1) + ": " + problem);
    AppendLine(image, "");
    AppendLine(image, "[" + RuleSection(i) + "]");
    AppendLine(image, "pattern=" + rule.pattern);
    AppendLine(image, std::string("dictionary=") + (rule.fold ? "1" : "0"));
    AppendLine(image, "min=" + (rule.minAmount ? IntToText(*rule.minAmount) : std::string()));
    AppendLine(image, "max=" + (rule.maxAmount ? IntToText(*rule.maxAmount) : std::string()));
    AppendLine(image, std::string("direction=") + DirectionName(rule.direction));
    AppendLine(image, "subject=" + rule.subject);
    AppendLine(image, "summary=" + rule.summary);
  }
  WriteFileAtomically(path_, image);
}

}  // namespace engine::import
