#pragma once

#include <QDate>
#include <cstddef>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "engine/plan/schedule.h"

namespace engine {

class Book;
class TableHost;
class TJournalGrid;

// A recurring journal line (定期取引): the line's texts, when it falls due, and which of its
// occurrences were already dealt with.
struct RecurringTemplate {
  std::string amount;  // decimal digits; may be empty when the amount is asked each time
  std::string debit;
  std::string summary;
  std::string credit;
  Schedule schedule;
  bool askAmount = false;  // 金額は毎回入力
  bool post = false;       // entered lines are posted at once
  // Nominal dates of occurrences entered or skipped.
  std::set<QDate> handled;
  // Nominal dates of postponed occurrences, with the day each is due again.
  std::map<QDate, QDate> postponed;

  bool operator==(const RecurringTemplate&) const = default;
};

// One occurrence waiting to be entered.
struct DueOccurrence {
  std::size_t templateIndex = 0;
  QDate nominal;
  QDate due;  // the date the journal line gets
  // Why it can't be entered (a subject the book no longer has), or empty.
  std::string problem;
};

// The file of the recurring lines, beside the book.
std::string RecurringFileName();

std::vector<RecurringTemplate> ParseRecurringFile(std::string_view image);
std::string RecurringFileImage(const std::vector<RecurringTemplate>& templates);

// Occurrences due up to `today` that were neither entered nor skipped, oldest first; at most
// `limit` of them (`truncated` says whether more were due).
std::vector<DueOccurrence> DueOccurrences(const std::vector<RecurringTemplate>& templates,
                                          TableHost& host, const QDate& today, std::size_t limit,
                                          bool* truncated = nullptr);

// A monthly template made from a complete journal line, starting a month after its date.
// Throws Error when the line is incomplete or its date can't be read.
RecurringTemplate TemplateFromJournalLine(const TJournalGrid& journal, int row);

// The book's recurring lines. Each command that changes them is one call, which hands the new
// file to the book (written with its next save) and, for an entered line, changes the journal.
class RecurringLines {
 public:
  static constexpr std::size_t kDueLimit = 5000;
  static constexpr std::size_t kDueWarning = 100;

  explicit RecurringLines(Book& book) : book_(book) {}

  // Throws Error when the file is damaged; nothing changes then.
  void Load();
  const std::vector<RecurringTemplate>& Templates() const { return templates_; }

  std::vector<DueOccurrence> Due(const QDate& today, bool* truncated = nullptr) const;

  // Appends the occurrence's line to the journal, dated its due day, with `amount` (the
  // template's own when empty), posts it when the template says so, and records it as
  // entered. False, the user told and nothing recorded, when the amount is refused, a subject
  // is missing or the journal's open edit can't be committed.
  bool Enter(const DueOccurrence& occurrence, std::string_view amount = {});
  void Skip(const DueOccurrence& occurrence);
  // The occurrence is due again on `until`.
  void Postpone(const DueOccurrence& occurrence, const QDate& until);

  // Template editing. Throws Error with the reason when the template can't be kept.
  void Add(RecurringTemplate entry);
  void Replace(std::size_t index, RecurringTemplate entry);
  void Remove(std::size_t index);
  // The command "選択行から定期取引を作成": a template from the journal's selected line.
  // Returns its index; the user is told and nothing changes when there is no usable line.
  std::optional<std::size_t> AddFromSelectedLine();

 private:
  void Store();
  std::string Check(const RecurringTemplate& entry) const;

  Book& book_;
  std::vector<RecurringTemplate> templates_;
};

}  // namespace engine
