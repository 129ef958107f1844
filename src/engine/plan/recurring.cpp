#include "engine/plan/recurring.h"

#include <algorithm>

#include "engine/app/book.h"
#include "engine/base/cp932.h"
#include "engine/base/date.h"
#include "engine/base/error.h"
#include "engine/base/integer.h"
#include "engine/base/ui.h"
#include "engine/history/history.h"
#include "engine/plan/plan_file.h"
#include "engine/tables/journal_grid.h"
#include "engine/tables/table_host.h"

namespace engine {

namespace {

constexpr const char* kFrequencies[] = {"monthly", "yearly", "weekly"};
constexpr const char* kRules[] = {"asis", "before", "after"};

bool IsDigits(std::string_view text) {
  return !text.empty() &&
         std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

template <typename Enum, std::size_t N>
std::optional<Enum> ReadChoice(std::string_view text, const char* const (&names)[N]) {
  for (std::size_t i = 0; i < N; ++i) {
    if (text == names[i]) return static_cast<Enum>(i);
  }
  return std::nullopt;
}

std::vector<std::string_view> SplitCommas(std::string_view text) {
  std::vector<std::string_view> parts;
  while (!text.empty()) {
    const auto comma = text.find(',');
    parts.push_back(text.substr(0, comma));
    if (comma == std::string_view::npos) break;
    text.remove_prefix(comma + 1);
  }
  return parts;
}

RecurringTemplate ReadTemplate(const PlanSection& section) {
  const std::string file = RecurringFileName();
  auto fail = [&](const char* key) -> Error {
    return Error(DamagedPlanFile(file, "[" + section.name + "] " + key));
  };
  auto number = [&](const char* key, int low, int high) {
    const auto value = ParseInt32(section.Value(key));
    if (!value || *value < low || *value > high) throw fail(key);
    return *value;
  };
  auto date = [&](const char* key, bool optional) {
    const std::string text = section.Value(key);
    if (optional && text.empty()) return QDate();
    const auto value = ReadPlanDate(text);
    if (!value) throw fail(key);
    return *value;
  };
  RecurringTemplate t;
  t.amount = section.Value("amount");
  t.debit = section.Value("debit");
  t.summary = section.Value("summary");
  t.credit = section.Value("credit");
  if (!t.amount.empty() && !ParseInt32(t.amount)) throw fail("amount");
  const auto frequency = ReadChoice<Schedule::Frequency>(section.Value("frequency"), kFrequencies);
  if (!frequency) throw fail("frequency");
  t.schedule.frequency = *frequency;
  const auto rule = ReadChoice<BusinessDayRule>(section.Value("holiday"), kRules);
  if (!rule) throw fail("holiday");
  t.schedule.rule = *rule;
  t.schedule.interval = number("interval", 1, 1200);
  t.schedule.day = section.Value("day") == "last" ? Schedule::kLastDay : number("day", 1, 31);
  t.schedule.month = number("month", 1, 12);
  t.schedule.weekday = number("weekday", 1, 7);
  t.schedule.start = date("start", false);
  t.schedule.end = date("end", true);
  t.schedule.count = section.Value("count").empty() ? 0 : number("count", 0, 1000000);
  t.askAmount = number("ask", 0, 1) == 1;
  t.post = number("post", 0, 1) == 1;
  const std::string done = section.Value("done");
  for (std::string_view text : SplitCommas(done)) {
    const auto day = ReadPlanDate(text);
    if (!day) throw fail("done");
    t.handled.insert(*day);
  }
  const std::string postponed = section.Value("postponed");
  for (std::string_view pair : SplitCommas(postponed)) {
    const auto arrow = pair.find('>');
    const auto from = ReadPlanDate(pair.substr(0, arrow));
    const auto to =
        arrow == std::string_view::npos ? std::nullopt : ReadPlanDate(pair.substr(arrow + 1));
    if (!from || !to) throw fail("postponed");
    t.postponed[*from] = *to;
  }
  if (!ScheduleProblem(t.schedule).empty()) throw fail("start");
  if (t.amount.empty() && !t.askAmount) throw fail("amount");
  return t;
}

PlanSection WriteTemplate(const RecurringTemplate& t, std::size_t index) {
  PlanSection section{std::to_string(index + 1), {}};
  auto add = [&](const char* key, std::string value) {
    if (!value.empty()) section.entries.emplace_back(key, std::move(value));
  };
  const Schedule& s = t.schedule;
  add("amount", t.amount);
  add("debit", t.debit);
  add("summary", t.summary);
  add("credit", t.credit);
  add("frequency", kFrequencies[static_cast<int>(s.frequency)]);
  add("interval", std::to_string(s.interval));
  add("day", s.day == Schedule::kLastDay ? std::string("last") : std::to_string(s.day));
  add("month", std::to_string(s.month));
  add("weekday", std::to_string(s.weekday));
  add("holiday", kRules[static_cast<int>(s.rule)]);
  add("start", PlanDateText(s.start));
  if (s.end.isValid()) add("end", PlanDateText(s.end));
  if (s.count > 0) add("count", std::to_string(s.count));
  add("ask", t.askAmount ? "1" : "0");
  add("post", t.post ? "1" : "0");
  std::string done;
  for (const QDate& day : t.handled) {
    if (!done.empty()) done += ',';
    done += PlanDateText(day);
  }
  add("done", std::move(done));
  std::string postponed;
  for (const auto& [from, to] : t.postponed) {
    if (!postponed.empty()) postponed += ',';
    postponed += PlanDateText(from) + ">" + PlanDateText(to);
  }
  add("postponed", std::move(postponed));
  return section;
}

std::string MissingSubject(TableHost& host, const RecurringTemplate& t) {
  for (const std::string* subject : {&t.debit, &t.credit}) {
    if (subject->empty()) return Sjis("科目が空です");
    if (!host.FindLedger(*subject)) return *subject + Sjis(" という勘定科目がありません");
  }
  return {};
}

}  // namespace

std::string RecurringFileName() {
  return Sjis("定期取引.ini");
}

std::vector<RecurringTemplate> ParseRecurringFile(std::string_view image) {
  std::vector<RecurringTemplate> templates;
  for (const PlanSection& section : ParsePlanFile(image, RecurringFileName())) {
    templates.push_back(ReadTemplate(section));
  }
  return templates;
}

std::string RecurringFileImage(const std::vector<RecurringTemplate>& templates) {
  std::vector<PlanSection> sections;
  for (std::size_t i = 0; i < templates.size(); ++i) {
    sections.push_back(WriteTemplate(templates[i], i));
  }
  return PlanFileImage(sections);
}

std::vector<DueOccurrence> DueOccurrences(const std::vector<RecurringTemplate>& templates,
                                          TableHost& host, const QDate& today, std::size_t limit,
                                          bool* truncated) {
  std::vector<DueOccurrence> due;
  bool more = false;
  // A nominal date a little after today can be due today when the rule moves it back over a
  // weekend or a holiday week.
  const QDate horizon = today.addDays(14);
  for (std::size_t i = 0; i < templates.size(); ++i) {
    const RecurringTemplate& t = templates[i];
    const std::string problem = MissingSubject(host, t);
    // Occurrences already dealt with don't count against the limit.
    for (const QDate& nominal : NominalDates(t.schedule, horizon, limit + t.handled.size() + 1)) {
      if (t.handled.count(nominal)) continue;
      const auto postponed = t.postponed.find(nominal);
      const QDate day =
          postponed != t.postponed.end() ? postponed->second : DueDate(t.schedule, nominal);
      if (day > today) continue;
      due.push_back({i, nominal, day, problem});
    }
  }
  std::stable_sort(due.begin(), due.end(),
                   [](const DueOccurrence& a, const DueOccurrence& b) { return a.due < b.due; });
  if (due.size() > limit) {
    due.resize(limit);
    more = true;
  }
  if (truncated) *truncated = more;
  return due;
}

RecurringTemplate TemplateFromJournalLine(const TJournalGrid& journal, int row) {
  if (row < 1 || row >= journal.RowCount() || !journal.RowAt(row).IsComplete())
    throw Error(Sjis("定期取引にする行に空白があります"));
  const Date date = ReadDate(journal.Cell(1, row));
  RecurringTemplate t;
  t.amount = std::string(journal.Cell(2, row));
  t.debit = std::string(journal.Cell(3, row));
  t.summary = std::string(journal.Cell(4, row));
  t.credit = std::string(journal.Cell(5, row));
  const QDate day(date.year, date.month, date.day);
  t.schedule.day = day.day();
  t.schedule.month = day.month();
  t.schedule.weekday = day.dayOfWeek();
  // The line itself is this month's occurrence; the template takes over from the next one.
  t.schedule.start = day.addDays(1);
  return t;
}

void RecurringLines::Load() {
  const std::optional<std::string> image = book_.CompanionFile(RecurringFileName());
  templates_ = image ? ParseRecurringFile(*image) : std::vector<RecurringTemplate>{};
}

std::vector<DueOccurrence> RecurringLines::Due(const QDate& today, bool* truncated) const {
  return DueOccurrences(templates_, book_, today, kDueLimit, truncated);
}

void RecurringLines::Store() {
  // Inside the step of a line being entered, the template's change joins it.
  HistoryStep step(book_.Changes(), Sjis("定期取引の変更"));
  book_.SetCompanionFile(RecurringFileName(), RecurringFileImage(templates_));
}

bool RecurringLines::Enter(const DueOccurrence& occurrence, std::string_view amount) {
  if (occurrence.templateIndex >= templates_.size()) return false;
  RecurringTemplate& t = templates_[occurrence.templateIndex];
  Ui& ui = book_.ui();
  const std::string problem = MissingSubject(book_, t);
  if (!problem.empty()) {
    ui.Message(problem);
    return false;
  }
  const std::string text(amount.empty() ? std::string_view(t.amount) : amount);
  if (!IsDigits(text)) {
    ui.Message(Sjis("金額は数値のみを入力してください"));
    return false;
  }
  if (!ParseInt32(text)) {
    ui.Message(FormatMessage(Sjis("'%s' は整数ではありません"), text));
    return false;
  }
  TJournalGrid* journal = book_.Journal();
  if (!journal) return false;
  // The entered line, its posting and the editor's commit are one step for undo.
  HistoryStep step(book_.Changes(), Sjis("定期的な取引の記入"));
  if (!journal->CommitEditor()) return false;

  // The line goes into the empty row at the end, and a new empty row follows it.
  int row = journal->RowCount() - 1;
  if (!journal->RowAt(row).IsEmpty()) {
    journal->AppendRow();
    row = journal->RowCount() - 1;
  }
  const std::string date = JournalDateText(occurrence.due);
  const std::string_view cells[6] = {date, text, t.debit, t.summary, t.credit, text};
  for (int c = 1; c <= 6; ++c) journal->SetCell(c, row, cells[c - 1]);
  journal->AppendRow();
  book_.SetModified();
  if (t.post) {
    try {
      journal->PostRow(row);
    } catch (const Error& e) {
      // The line stays in the journal, unposted, for the user to look at.
      ui.Message(e.Message());
    }
  }
  t.handled.insert(occurrence.nominal);
  t.postponed.erase(occurrence.nominal);
  Store();
  return true;
}

void RecurringLines::Skip(const DueOccurrence& occurrence) {
  if (occurrence.templateIndex >= templates_.size()) return;
  RecurringTemplate& t = templates_[occurrence.templateIndex];
  t.handled.insert(occurrence.nominal);
  t.postponed.erase(occurrence.nominal);
  Store();
}

void RecurringLines::Postpone(const DueOccurrence& occurrence, const QDate& until) {
  if (occurrence.templateIndex >= templates_.size() || !until.isValid()) return;
  templates_[occurrence.templateIndex].postponed[occurrence.nominal] = until;
  Store();
}

std::string RecurringLines::Check(const RecurringTemplate& entry) const {
  if (std::string problem = ScheduleProblem(entry.schedule); !problem.empty()) return problem;
  if (entry.debit.empty() || entry.credit.empty())
    return Sjis("借方科目と貸方科目を選んでください");
  if (entry.debit == entry.credit) return Sjis("貸方科目と同じ科目は指定できません");
  if (entry.amount.empty() ? !entry.askAmount
                           : (!IsDigits(entry.amount) || !ParseInt32(entry.amount)))
    return Sjis("金額は数値のみを入力してください");
  return {};
}

void RecurringLines::Add(RecurringTemplate entry) {
  if (std::string problem = Check(entry); !problem.empty()) throw Error(problem);
  templates_.push_back(std::move(entry));
  Store();
}

void RecurringLines::Replace(std::size_t index, RecurringTemplate entry) {
  if (index >= templates_.size()) return;
  if (std::string problem = Check(entry); !problem.empty()) throw Error(problem);
  // What was dealt with stays dealt with. When the schedule changes, its occurrences up to
  // the last one dealt with count as dealt with too, or every month since the start would
  // fall due again under the new day; a postponed one comes back under the new schedule.
  RecurringTemplate& old = templates_[index];
  if (entry.schedule != old.schedule) {
    if (!old.handled.empty()) {
      const QDate last = *old.handled.rbegin();
      for (const QDate& day : NominalDates(entry.schedule, last, kDueLimit + old.handled.size()))
        old.handled.insert(day);
    }
    old.postponed.clear();
  }
  entry.handled = std::move(old.handled);
  entry.postponed = std::move(old.postponed);
  templates_[index] = std::move(entry);
  Store();
}

void RecurringLines::Remove(std::size_t index) {
  if (index >= templates_.size()) return;
  templates_.erase(templates_.begin() + static_cast<std::ptrdiff_t>(index));
  Store();
}

std::optional<std::size_t> RecurringLines::AddFromSelectedLine() {
  TJournalGrid* journal = book_.Journal();
  if (!journal) return std::nullopt;
  const int row = journal->SelectedLine() > 0 ? journal->SelectedLine() : journal->CurrentRow();
  if (row < 1 || row >= journal->RowCount() || journal->RowAt(row).IsEmpty()) {
    book_.ui().Message(Sjis("定期取引にする行を選択してください"));
    return std::nullopt;
  }
  try {
    Add(TemplateFromJournalLine(*journal, row));
  } catch (const Error& e) {
    book_.ui().Message(e.Message());
    return std::nullopt;
  }
  return templates_.size() - 1;
}

}  // namespace engine
