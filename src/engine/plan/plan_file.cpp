#include "engine/plan/plan_file.h"

#include <cstdio>

#include "engine/base/cp932.h"
#include "engine/base/error.h"
#include "engine/base/text_file.h"

namespace engine {

namespace {

std::string_view Trim(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

bool HasLineBreak(std::string_view text) {
  return text.find_first_of("\r\n") != std::string_view::npos;
}

}  // namespace

std::string PlanSection::Value(std::string_view key) const {
  for (const auto& [k, v] : entries) {
    if (k == key) return v;
  }
  return {};
}

std::string DamagedPlanFile(std::string_view fileName, std::string_view detail) {
  return std::string(fileName) + Sjis(" が壊れているため読み込めません（") + std::string(detail) +
         Sjis("）");
}

std::vector<PlanSection> ParsePlanFile(std::string_view image, std::string_view fileName) {
  std::vector<PlanSection> sections;
  int number = 0;
  ForEachLine(image, [&](std::string_view raw) {
    ++number;
    const std::string_view line = Trim(raw);
    if (line.empty()) return;
    if (line.front() == '[' && line.back() == ']') {
      sections.push_back({std::string(Trim(line.substr(1, line.size() - 2))), {}});
      return;
    }
    const auto eq = line.find('=');
    if (eq == std::string_view::npos || eq == 0 || sections.empty()) {
      throw Error(DamagedPlanFile(fileName, std::to_string(number) + Sjis(" 行目")));
    }
    sections.back().entries.emplace_back(std::string(Trim(line.substr(0, eq))),
                                         std::string(Trim(line.substr(eq + 1))));
  });
  return sections;
}

std::string PlanFileImage(const std::vector<PlanSection>& sections) {
  std::string image;
  for (const PlanSection& section : sections) {
    if (HasLineBreak(section.name) || section.name.find(']') != std::string::npos)
      throw Error(Sjis("改行や「]」を含む名前は保存できません"));
    AppendLine(image, "[" + section.name + "]");
    for (const auto& [key, value] : section.entries) {
      // Blanks at either end would be trimmed away on reading.
      if (HasLineBreak(key) || HasLineBreak(value) || key.find('=') != std::string::npos ||
          key.empty() || Trim(value) != value)
        throw Error(Sjis("改行や前後の空白を含む値は保存できません"));
      AppendLine(image, key + "=" + value);
    }
  }
  return image;
}

std::string PlanDateText(const QDate& date) {
  char text[16];
  std::snprintf(text, sizeof text, "%04d/%02d/%02d", date.year(), date.month(), date.day());
  return text;
}

std::optional<QDate> ReadPlanDate(std::string_view text) {
  if (text.size() != 10 || text[4] != '/' || text[7] != '/') return std::nullopt;
  int parts[3] = {0, 0, 0};
  const std::size_t starts[3] = {0, 5, 8};
  const std::size_t lengths[3] = {4, 2, 2};
  for (int p = 0; p < 3; ++p) {
    for (std::size_t i = 0; i < lengths[p]; ++i) {
      const char c = text[starts[p] + i];
      if (c < '0' || c > '9') return std::nullopt;
      parts[p] = parts[p] * 10 + (c - '0');
    }
  }
  const QDate date(parts[0], parts[1], parts[2]);
  if (!date.isValid()) return std::nullopt;
  return date;
}

std::string JournalDateText(const QDate& date) {
  char text[16];
  std::snprintf(text, sizeof text, "%02d/%02d/%02d", date.year() % 100, date.month(), date.day());
  return text;
}

}  // namespace engine
