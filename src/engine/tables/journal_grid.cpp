#include "engine/tables/journal_grid.h"

#include <algorithm>
#include <cmath>
#include <unordered_set>

#include "engine/base/cp932.h"
#include "engine/base/error.h"
#include "engine/base/fields.h"
#include "engine/base/text_file.h"
#include "engine/base/ui.h"

namespace engine {

namespace {

constexpr std::uint8_t kPosted = 0;
constexpr std::uint8_t kUnposted = 1;

}  // namespace

TJournalGrid::TJournalGrid(TableHost& host)
    : TAccGrid(host, Sjis(",日付,金額,借方科目,摘要,貸方科目,金額")) {
  // The list stores record into the book's history as the tables do.
  subjects_.SetHistory(host.Changes());
  summaries_.SetHistory(host.Changes());
  SetMark(1, kUnposted);
}

TJournalGrid::~TJournalGrid() = default;

bool TJournalGrid::IsPosted(int row) const {
  if (row < 0 || row >= RowCount()) return false;
  return Mark(row) == kPosted;
}

void TJournalGrid::SetPosted(int row, bool posted) {
  SetMark(row, posted ? kPosted : kUnposted);
}

bool TJournalGrid::HasUnpostedLines() const {
  for (int r = 1; r < RowCount(); ++r) {
    if (!IsPosted(r) && !RowAt(r).IsEmpty()) return true;
  }
  return false;
}

void TJournalGrid::AppendRow() {
  AppendRows(1, kUnposted);
  NotifyReset();
}

void TJournalGrid::RemoveRow(int row) {
  if (!ValidRow(row)) return;
  if (RowCount() <= 2) SetPosted(1, false);
  TAccGrid::RemoveRow(row);
  HideEditor();
}

void TJournalGrid::LineMoved(int from, int to) {
  if (from == to || !ValidRow(from) || !ValidRow(to)) return;
  // An editor left open would stand over a row that has just moved away.
  HideEditor();
  // The posted states moved with their rows in MoveRow.
  TAccGrid::LineMoved(from, to);
  NotifyMarks();
}

void TJournalGrid::SortByDate() {
  // Rows move under the current cell; an editor must not write into whatever lands there.
  HideEditor();
  TAccGrid::SortByDate();
  NotifyMarks();
}

void TJournalGrid::HistoryApplied() {
  HideEditor();
  TAccGrid::HistoryApplied();
  // Back on a cell, the editor opens there as it does when the user selects the cell.
  if (SelectedLine() == 0 && CurrentColumn() >= 1) OpenEditor();
}

std::array<int, 6> TJournalGrid::FitColumns(int windowWidth) const {
  static constexpr std::array<int, 6> kShares{8, 9, 20, 28, 20, 9};
  const double x = std::max(0, windowWidth - kHeaderWidth) / 100.0;
  std::array<int, 6> widths{};
  // nearbyint rounds halves to even in the default rounding mode.
  for (std::size_t i = 0; i < widths.size(); ++i) {
    widths[i] = static_cast<int>(std::nearbyint(kShares[i] * x));
  }
  return widths;
}

void TJournalGrid::LoadTable(const QString& path) {
  HideEditor();
  LoadRows(path);
  // Saving would write an empty journal over such a file; the CSV import is its way in.
  if (filledLines_ > 0 && commaLines_ == filledLines_) {
    throw Error("'" + PathToCp932(path).value_or(std::string()) +
                Sjis("' は項目がカンマで区切られているため、仕訳帳として読み込めません。"
                     "「CSVファイル(仕訳帳)から新規に作成」で家計簿を作成してください"));
  }
  if (IsDated(1)) LineAdd();
  if (View()) View()->ScrollToEnd();
}

bool TJournalGrid::CommitForSave() {
  if (CommitEditor()) return true;
  ui().Message(Sjis("家計簿を保存できませんでした"));
  return false;
}

void TJournalGrid::SaveTable(const QString& path) {
  if (!CommitForSave()) {
    listsSaved_ = false;
    // The book must not go on to write the other files and take the journal for saved.
    throw Error(Sjis("家計簿を保存できませんでした"));
  }
  listsSaved_ = SaveLists();
  WriteFileAtomically(path, FileImage());
}

bool TJournalGrid::IsStoredRow(const Row& row) const {
  return row.IsComplete();
}

std::string TJournalGrid::SubjectFileImage() const {
  std::string image;
  for (int i = 0; i < subjects_.Count(); ++i) {
    image.append(subjects_.Subject(i));
    if (!subjects_.CounterpartAt(i).empty()) {
      image.push_back('\t');
      image.append(subjects_.CounterpartAt(i));
    }
    image.append("\r\n", 2);
  }
  return image;
}

std::string TJournalGrid::SummaryFileImage() const {
  std::string image;
  for (int i = 0; i < summaries_.Count(); ++i) AppendLine(image, summaries_.At(i));
  return image;
}

bool TJournalGrid::SaveLists() {
  bool saved = true;
  try {
    WriteFileAtomically(PathFromCp932(Host().SubjectPath()), SubjectFileImage());
  } catch (const Error&) {
    saved = false;
  }
  // The summary file is still written after the subject file failed: it loses nothing.
  try {
    WriteFileAtomically(PathFromCp932(Host().SummaryPath()), SummaryFileImage());
  } catch (const Error&) {
    saved = false;
  }
  if (!saved) ui().Message(Sjis("ファイルの書き込みに失敗しました"));
  return saved;
}

void TJournalGrid::LineAdd() {
  HistoryStep step(Changes(), Sjis("行の追加"));
  AppendRow();
  FocusRow(RowCount() - 1);
}

void TJournalGrid::LineDel() {
  if (Host().RefuseChange()) return;
  if (SelectedLine() == 0) {
    ui().Message(Sjis("削除する行を選択してください"));
    return;
  }
  const int row = CurrentRow();
  if (!ValidRow(row)) return;
  // An empty line holds nothing to lose.
  if (Host().ConfirmLineDelete() && !RowAt(row).IsEmpty() &&
      !ui().AskYesNo(Sjis("この行を削除しますか？")))
    return;
  HistoryStep step(Changes(), Sjis("行の削除"));
  if (!UnpostForEdit(row)) return;
  RemoveRow(row);
  Host().SetModified();
}

bool TJournalGrid::ReadinessCheck() {
  if (!CommitEditor()) return false;
  if (HasUnpostedLines()) {
    if (!ui().AskYesNo(Sjis("すべて転記しますか ?"))) return false;
    return PostAll();
  }
  return true;
}

bool TJournalGrid::RemoveSubjectEntry(std::string_view subject) {
  if (subjects_.Remove(subject)) return true;
  ui().Message(std::string(subject) + Sjis(" は存在しません"));
  return false;
}

bool TJournalGrid::RemoveSummary(std::string_view text) {
  if (summaries_.Remove(text)) return true;
  ui().Message(std::string(text) + Sjis(" は存在しません"));
  return false;
}

void TJournalGrid::LoadCsvLines(const std::vector<std::string>& lines) {
  HistoryStep step(Changes(), Sjis("CSVファイルの読み込み"));
  HideEditor();
  std::vector<Row> rows;
  rows.reserve(lines.size() + 2);
  rows.emplace_back();  // the heading's place
  for (const std::string& line : lines) {
    RowTexts fields = SplitFieldViews<6>(line, ',');
    if (line.find('\t') == std::string::npos) {
      rows.emplace_back(fields);
      continue;
    }
    // A TAB would split the cell in two when the journal file is read back, so an imported
    // field carries a blank in its place.
    std::array<std::string, 6> clean;
    for (std::size_t i = 0; i < fields.size(); ++i) {
      clean[i].assign(fields[i]);
      std::replace(clean[i].begin(), clean[i].end(), '\t', ' ');
      fields[i] = clean[i];
    }
    rows.emplace_back(fields);
  }
  ReplaceRows(std::move(rows), kUnposted);
  NotifyReset();

  // Neighbouring lines mostly share their subjects, so the store is asked once per run.
  for (const int column : {3, 5}) {
    bool first = true;
    std::string_view previous;
    for (int r = 1; r < RowCount(); ++r) {
      const std::string_view subject = Cell(column, r);
      if (!first && subject == previous) continue;
      first = false;
      previous = subject;
      if (!subjects_.Contains(subject)) Host().AddSubject(std::string(subject));
    }
  }
  // New summaries go into the store in one sorted insertion; a summary equal to one added
  // before it but for letter case counts as present, as it would one at a time.
  std::unordered_set<std::string_view> seen;
  std::unordered_set<QString> addedKeys;
  std::vector<std::string_view> added;
  for (int r = 1; r < RowCount(); ++r) {
    const std::string_view summary = Cell(4, r);
    if (!seen.insert(summary).second || summaries_.Contains(summary)) continue;
    if (addedKeys.insert(FromCp932(summary).toCaseFolded()).second) added.push_back(summary);
  }
  summaries_.AddMany(added);
  NotifyMarks();
}

void TJournalGrid::AppendLines(const std::vector<RowTexts>& lines) {
  if (lines.empty()) return;
  HideEditor();
  int at = RowCount();
  while (at > 1 && RowAt(at - 1).IsEmpty()) --at;
  // The lines go in before the empty rows at the end: rows are added, the lines written from
  // `at` and the empty rows' marks moved below them.
  const int count = static_cast<int>(lines.size());
  std::vector<std::uint8_t> tail;
  for (int r = at; r < RowCount(); ++r) tail.push_back(Mark(r));
  AppendRows(count, kUnposted);
  for (int i = 0; i < count; ++i) {
    WriteRow(at + i, lines[static_cast<std::size_t>(i)]);
    SetMark(at + i, kUnposted);
  }
  for (std::size_t i = 0; i < tail.size(); ++i) SetMark(at + count + static_cast<int>(i), tail[i]);
  if (!RowAt(RowCount() - 1).IsEmpty()) AppendRow();
  NotifyReset();
  NotifyMarks();
  FocusRow(RowCount() - 1);
  if (View()) View()->ScrollToEnd();
}

std::pair<Date, Date> TJournalGrid::DateRange() const {
  if (!IsDated(1)) {
    const QDate today = Today();
    const Date date{today.year(), today.month(), today.day()};
    return {date, date};
  }
  const int year = Today().year();
  Date first = RowDate(1, year);
  Date last = first;
  int lastDated = RowCount() - 1;
  while (lastDated > 1 && !IsDated(lastDated)) --lastDated;
  for (int r = 1; r <= lastDated; ++r) {
    const Date date = RowDate(r, year);
    if (date < first) {
      first = date;
    } else if (date > last) {
      last = date;
    }
  }
  return {first, last};
}

}  // namespace engine
