#include "engine/amount/table_aggregation.h"

#include <algorithm>

#include "engine/amount/aggregation.h"
#include "engine/amount/month_list.h"
#include "engine/app/profile.h"
#include "engine/base/cp932.h"
#include "engine/base/date.h"
#include "engine/base/error.h"
#include "engine/tables/journal_grid.h"
#include "engine/tables/table_host.h"

namespace engine {

namespace {

std::vector<std::string> SubjectNamesOf(TableHost& host) {
  TJournalGrid* journal = host.Journal();
  return journal ? journal->Subjects().Subjects() : std::vector<std::string>{};
}

std::vector<std::string> MonthsOf(TableHost& host) {
  TJournalGrid* journal = host.Journal();
  return journal ? JournalMonthList(*journal) : std::vector<std::string>{};
}

Profile SettingsOf(const std::string& path) {
  return Profile(PathFromCp932(path));
}

}  // namespace

TableAggregation::TableAggregation(TableHost& host, std::string settingsPath)
    : host_(host), settingsPath_(std::move(settingsPath)) {}

void TableAggregation::Open() {
  auto stored = LoadTableSettings(SettingsOf(settingsPath_));
  entries_.Assign(stored ? std::move(*stored) : std::vector<TableEntrySetting>{entries_.Fresh()});
  subjects_ = SubjectNamesOf(host_);
  months_ = MonthsOf(host_);
  firstMonth_ = months_.empty() ? -1 : 0;
  lastMonth_ = static_cast<int>(months_.size()) - 1;
}

std::string TableAggregation::MonthAt(int index) const {
  // No month chosen reads like an empty month text: not a date.
  if (index < 0 || index >= static_cast<int>(months_.size())) return {};
  return months_[static_cast<std::size_t>(index)];
}

ResultGrid TableAggregation::Aggregate() {
  Profile settings = SettingsOf(settingsPath_);
  SaveTableSettings(settings, entries_.Entries());
  return Totals();
}

ResultGrid TableAggregation::Totals() {
  const int year = Today().year();
  const Date start = MonthStart(MonthAt(firstMonth_), year);
  const Date end = MonthAfter(MonthAt(lastMonth_), year);
  std::vector<AggregationItem> items;
  items.reserve(entries_.Entries().size());
  for (const TableEntrySetting& entry : entries_.Entries()) {
    items.push_back({entry.name, start, end, entry.debit, entry.credit, entry.swap, {}});
  }
  return engine::Aggregate(host_, items);
}

CompareAggregation::CompareAggregation(TableHost& host, std::string settingsPath)
    : host_(host), settingsPath_(std::move(settingsPath)) {}

void CompareAggregation::Open() {
  std::optional<Error> monthFailure;
  try {
    months_ = MonthsOf(host_);
  } catch (const Error& error) {
    monthFailure = error;
  }

  // A new entry's period is the current month when the list holds it, else the first month.
  CompareEntrySetting fresh;
  const QDate today = Today();
  const std::string current = MonthText(Date{today.year(), today.month(), 1});
  if (IndexOfMonth(current) >= 0) {
    fresh.first = fresh.last = current;
  } else if (!months_.empty()) {
    fresh.first = fresh.last = months_.front();
  }
  entries_.SetFresh(fresh);

  auto stored = LoadCompareSettings(SettingsOf(settingsPath_));
  entries_.Assign(stored ? std::move(*stored) : std::vector<CompareEntrySetting>{fresh});
  subjects_ = SubjectNamesOf(host_);
  if (monthFailure) throw *monthFailure;
}

int CompareAggregation::IndexOfMonth(std::string_view month) const {
  const auto it = std::find(months_.begin(), months_.end(), month);
  return it == months_.end() ? -1 : static_cast<int>(it - months_.begin());
}

int CompareAggregation::ShownFirstMonth() const {
  const CompareEntrySetting* entry = entries_.SelectedEntry();
  return entry ? std::max(IndexOfMonth(entry->first), 0) : 0;
}

int CompareAggregation::ShownLastMonth() const {
  const CompareEntrySetting* entry = entries_.SelectedEntry();
  return entry ? std::max(IndexOfMonth(entry->last), 0) : 0;
}

void CompareAggregation::ChooseFirstMonth(int index) {
  CompareEntrySetting* entry = entries_.SelectedEntry();
  if (entry && index >= 0 && index < static_cast<int>(months_.size()))
    entry->first = months_[static_cast<std::size_t>(index)];
}

void CompareAggregation::ChooseLastMonth(int index) {
  CompareEntrySetting* entry = entries_.SelectedEntry();
  if (entry && index >= 0 && index < static_cast<int>(months_.size()))
    entry->last = months_[static_cast<std::size_t>(index)];
}

ResultGrid CompareAggregation::Aggregate() {
  Profile settings = SettingsOf(settingsPath_);
  SaveCompareSettings(settings, entries_.Entries());
  return Totals();
}

ResultGrid CompareAggregation::Totals() {
  const int year = Today().year();
  std::vector<AggregationItem> items;
  items.reserve(entries_.Entries().size());
  for (const CompareEntrySetting& entry : entries_.Entries()) {
    AggregationItem item{entry.name,
                         MonthStart(entry.first, year),
                         MonthAfter(entry.last, year),
                         entry.debit,
                         entry.credit,
                         entry.swap,
                         {}};
    if (monthOption_) {
      item.monthText = entry.first == entry.last ? entry.first : entry.first + "-" + entry.last;
    }
    items.push_back(std::move(item));
  }
  return engine::Aggregate(host_, items);
}

}  // namespace engine
