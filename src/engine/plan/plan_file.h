#pragma once

#include <QDate>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace engine {

// The files of the household plan (recurring lines, budgets) are INI text in CP932: "[name]"
// lines each followed by "key=value" lines. They are read and written whole, as one image,
// so that the book can hold a changed file until it is saved itself.
struct PlanSection {
  std::string name;
  std::vector<std::pair<std::string, std::string>> entries;

  // The value of the first entry with the key; empty when there is none.
  std::string Value(std::string_view key) const;
};

// Throws Error naming `fileName` (CP932) when a line is neither a section, an entry nor
// empty, or an entry comes before the first section.
std::vector<PlanSection> ParsePlanFile(std::string_view image, std::string_view fileName);
// Throws Error when a name, key or value holds a line break or would read back otherwise.
std::string PlanFileImage(const std::vector<PlanSection>& sections);

// The message of a damaged plan file, for the readers' own checks.
std::string DamagedPlanFile(std::string_view fileName, std::string_view detail);

// "yyyy/mm/dd" and back; nothing for anything else.
std::string PlanDateText(const QDate& date);
std::optional<QDate> ReadPlanDate(std::string_view text);
// The journal's date text of a day: yy/mm/dd.
std::string JournalDateText(const QDate& date);

}  // namespace engine
