#pragma once

#include <QString>
#include <string>
#include <string_view>
#include <vector>

#include "engine/amount/aggregation_settings.h"
#include "engine/amount/entry_list.h"
#include "engine/amount/result_grid.h"

namespace engine {

class TableHost;

// What the aggregation-to-table dialog holds and does: the entry list with its flags, the
// month list, the chosen first and last month, and the aggregation that OK runs.
class TableAggregation {
 public:
  // `settingsPath` is the book's aggregation settings file (CP932).
  TableAggregation(TableHost& host, std::string settingsPath);

  // Reads section "table" (one fresh entry without it), the subject names and the month
  // list, and selects the first entry and the whole period. Throws Error when the journal's
  // dates can't be read; what was filled before stays.
  void Open();

  EntryList<TableEntrySetting>& Entries() { return entries_; }
  const EntryList<TableEntrySetting>& Entries() const { return entries_; }
  const std::vector<std::string>& SubjectNames() const { return subjects_; }
  const std::vector<std::string>& Months() const { return months_; }

  // Indices into Months(); -1 while the list is empty.
  int FirstMonth() const { return firstMonth_; }
  int LastMonth() const { return lastMonth_; }
  void SetFirstMonth(int index) { firstMonth_ = index; }
  void SetLastMonth(int index) { lastMonth_ = index; }

  // OK: writes section "table", then totals every entry over [first month, month after the
  // last month). Throws Error on any failure; the section may already be written then.
  ResultGrid Aggregate();
  // The totals alone, writing nothing (for callers that only read the book).
  ResultGrid Totals();

 private:
  std::string MonthAt(int index) const;

  TableHost& host_;
  std::string settingsPath_;
  EntryList<TableEntrySetting> entries_;
  std::vector<std::string> subjects_;
  std::vector<std::string> months_;
  int firstMonth_ = -1;
  int lastMonth_ = -1;
};

// What the comparative dialog holds and does: entries with a period each (a name with its
// Tcomparevalue: first and last month, debit, credit, swap), the month list, and the month
// option that writes each entry's months behind its name.
class CompareAggregation {
 public:
  CompareAggregation(TableHost& host, std::string settingsPath);

  // Builds the month list, reads section "compare" (one fresh entry without it) and the
  // subject names, and selects the first entry. A journal whose dates can't be read leaves
  // the month list empty; the stored entries are read all the same, so OK never replaces
  // them with an empty list. Throws Error in that case after everything else is filled.
  void Open();

  EntryList<CompareEntrySetting>& Entries() { return entries_; }
  const EntryList<CompareEntrySetting>& Entries() const { return entries_; }
  const std::vector<std::string>& SubjectNames() const { return subjects_; }
  const std::vector<std::string>& Months() const { return months_; }

  // Where the month lists stand for the selected entry: its month's index, or 0 (the list's
  // first month) when the month isn't listed. Showing never changes the stored months.
  int ShownFirstMonth() const;
  int ShownLastMonth() const;
  // A click in a month list sets the selected entry's month to that list text.
  void ChooseFirstMonth(int index);
  void ChooseLastMonth(int index);

  bool MonthOption() const { return monthOption_; }
  void SetMonthOption(bool on) { monthOption_ = on; }

  // OK: writes section "compare", then totals each entry over its own period. Throws Error
  // on any failure.
  ResultGrid Aggregate();
  // The totals alone, writing nothing.
  ResultGrid Totals();

 private:
  int IndexOfMonth(std::string_view month) const;

  TableHost& host_;
  std::string settingsPath_;
  EntryList<CompareEntrySetting> entries_;
  std::vector<std::string> subjects_;
  std::vector<std::string> months_;
  bool monthOption_ = false;
};

}  // namespace engine
