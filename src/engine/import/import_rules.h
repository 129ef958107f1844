#pragma once

#include <QString>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace regexp {
class TAWKStr;
}

namespace engine::import {

enum class Direction { Any, Out, In };

// One rule: a pattern on the statement's description (the program's matcher, optionally
// with the dictionary that makes full- and half-width forms one), an optional range of the
// amount (without sign) and direction, and what a matching row gets: the other side's
// subject and, when given, the journal summary in place of the description. CP932 texts.
struct ImportRule {
  std::string pattern;
  bool fold = true;
  std::optional<std::int32_t> minAmount;
  std::optional<std::int32_t> maxAmount;
  Direction direction = Direction::Any;
  std::string subject;
  std::string summary;
  bool operator==(const ImportRule&) const = default;
};

// What the book keeps about importing besides the rules.
struct ImportSettings {
  // Days either side within which a journal line of the same amount may be the same entry.
  int dateWindow = 3;
  // The profile used last, offered first next time.
  std::string lastProfile;
  bool operator==(const ImportSettings&) const = default;
};

// Why a rule can't be used (an empty or malformed pattern, no subject, a range upside down),
// or empty. CP932.
std::string RuleProblem(const ImportRule& rule);

// The rules in order, compiled once; the first rule that takes a row wins.
class RuleMatcher {
 public:
  // Throws Error naming the rule when one can't be used.
  explicit RuleMatcher(const std::vector<ImportRule>& rules);
  ~RuleMatcher();
  RuleMatcher(RuleMatcher&&) noexcept;
  RuleMatcher& operator=(RuleMatcher&&) noexcept;

  // The index of the first rule for a description and a signed amount (negative = money
  // out), or -1.
  int Match(std::string_view description, std::int32_t amount) const;
  const ImportRule& Rule(int index) const { return rules_[static_cast<std::size_t>(index)]; }
  int Count() const { return static_cast<int>(rules_.size()); }

 private:
  std::vector<ImportRule> rules_;
  std::vector<std::unique_ptr<regexp::TAWKStr>> matchers_;
};

// The rules file beside the book: a settings section and one section per rule, in order.
class RuleFile {
 public:
  explicit RuleFile(QString path) : path_(std::move(path)) {}
  const QString& Path() const { return path_; }
  // Throws Error naming the file and the fault when it is damaged; a missing file gives no
  // rules and the default settings.
  void Load(std::vector<ImportRule>& rules, ImportSettings& settings) const;
  // Replaces the file atomically; throws Error for a rule that can't be used or stored.
  void Save(const std::vector<ImportRule>& rules, const ImportSettings& settings) const;

 private:
  QString path_;
};

}  // namespace engine::import
