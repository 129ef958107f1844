// The journal's in-place editors: which one is open over the current cell, what it holds,
// and the entry rules that a typed value must pass before it reaches the cell.

#include <algorithm>
#include <cstdio>
#include <string>

#include "engine/base/cp932.h"
#include "engine/base/error.h"
#include "engine/base/integer.h"
#include "engine/base/ui.h"
#include "engine/tables/journal_grid.h"

namespace engine {

namespace {

constexpr const char* kDayAlone = "^(0?[1-9]|[1-2][0-9]|3[0-1])$";
constexpr const char* kMonthAndDay = "^(0?[1-9]|1[0-2])/(0?[1-9]|[1-2][0-9]|3[0-1])$";
constexpr const char* kOneDigitMonth = "^([0-9][0-9])/([1-9])/(0?[1-9]|[1-2][0-9]|3[0-1])$";
constexpr const char* kOneDigitDay = "^([0-9][0-9])/(0[1-9]|1[0-2])/([1-9])$";
constexpr const char* kFullDate = "^([0-9][0-9])/(0?[1-9]|1[0-2])/(0?[1-9]|[1-2][0-9]|3[0-1])$";
constexpr const char* kFourDigitYear =
    "^([0-9][0-9][0-9][0-9])/(0?[1-9]|1[0-2])/(0?[1-9]|[1-2][0-9]|3[0-1])$";
constexpr const char* kAmount = "^[0-9]+$";

// No date or amount holds a control character; refusing them first also keeps the
// line-aware matcher from accepting one valid line out of a longer text.
bool HasControlCharacter(std::string_view text) {
  return std::any_of(text.begin(), text.end(),
                     [](char c) { return static_cast<unsigned char>(c) < 0x20; });
}

std::string TwoDigits(int value) {
  char text[8];
  std::snprintf(text, sizeof text, "%02d", value % 100);
  return text;
}

}  // namespace

bool TJournalGrid::Matches(const char* pattern, std::string_view text) const {
  matcher_.SetRegExp(pattern);
  return matcher_.Match(text) >= 1;
}

void TJournalGrid::CellSelected(int column, int row) {
  if (column < 0 || column >= kColumnCount || !ValidRow(row)) return;
  if (!CommitEditor()) return;
  const bool hadLine = SelectedLine() != 0;
  SetSelectedLine(0);
  SetCurrentCell(column, row);
  ShowCellStatus(column, row);
  ui().SetStatus(2, {});
  if (hadLine) NotifyMarks();
  OpenEditor();
}

bool TJournalGrid::MousePress(int column, int row) {
  // A refused edit swallows the press, so no drag or selection starts from it.
  if (!CommitEditor()) return false;
  if (SelectedLine() != 0) NotifyMarks();
  return TAccGrid::MousePress(column, row);
}

void TJournalGrid::OpenEditor() {
  editor_ = EditorKind::None;
  editorText_.clear();
  chosenSubject_.clear();
  subjectChosen_ = false;
  const int column = CurrentColumn();
  const int row = CurrentRow();
  if (ValidRow(row)) {
    switch (column) {
      case 1:
      case 2:
      case 6:
        editor_ = EditorKind::Date;
        editorText_ = Cell(column, row);
        break;
      case 3:
      case 5: {
        editor_ = EditorKind::Subject;
        const int index = subjects_.IndexOf(Cell(column, row));
        if (index >= 0) {
          chosenSubject_ = subjects_.Subject(index);
          subjectChosen_ = true;
        }
        break;
      }
      case 4:
        editor_ = EditorKind::Summary;
        editorText_ = Cell(column, row);
        break;
      default:
        break;
    }
  }
  NotifyEditor();
}

void TJournalGrid::HideEditor() {
  const bool wasOpen = editor_ != EditorKind::None;
  editor_ = EditorKind::None;
  editorText_.clear();
  chosenSubject_.clear();
  subjectChosen_ = false;
  if (wasOpen) NotifyEditor();
}

void TJournalGrid::SetEditorText(std::string_view text) {
  if (editor_ == EditorKind::Date || editor_ == EditorKind::Summary) editorText_.assign(text);
}

void TJournalGrid::ChooseSubject(int index) {
  if (editor_ != EditorKind::Subject) return;
  subjectChosen_ = index >= 0 && index < subjects_.Count();
  chosenSubject_ = subjectChosen_ ? subjects_.Subject(index) : std::string();
}

int TJournalGrid::ChosenSubject() const {
  if (!subjectChosen_) return -1;
  // Names that differ only in letter case share a lookup; the exact one is the choice.
  for (int i = std::max(0, subjects_.IndexOf(chosenSubject_)); i < subjects_.Count(); ++i) {
    if (subjects_.Subject(i) == chosenSubject_) return i;
  }
  return subjects_.IndexOf(chosenSubject_);
}

bool TJournalGrid::CommitEditor() {
  if (editor_ == EditorKind::None) return true;
  HistoryStep step(Changes(), Sjis("セルの編集"));
  bool stored = true;
  if (ValidRow(CurrentRow()) && EditorChangesCell() && Host().RefuseChange()) {
    stored = false;
  } else if (ValidRow(CurrentRow())) {
    switch (CurrentColumn()) {
      case 1:
        stored = CommitDate();
        break;
      case 2:
      case 6:
        stored = CommitAmount();
        break;
      case 3:
      case 5:
        stored = CommitSubject(CurrentColumn());
        break;
      case 4:
        stored = CommitSummary();
        break;
      default:
        break;
    }
  }
  HideEditor();
  return stored;
}

bool TJournalGrid::EditorChangesCell() const {
  const std::string_view cell = Cell(CurrentColumn(), CurrentRow());
  switch (editor_) {
    case EditorKind::Date:
    case EditorKind::Summary:
      return editorText_ != cell;
    case EditorKind::Subject:
      return subjectChosen_ && chosenSubject_ != cell;
    case EditorKind::None:
      break;
  }
  return false;
}

bool TJournalGrid::RefuseEdit(const std::string& message) {
  ui().Message(message);
  editorText_.clear();
  NotifyEditor();
  return false;
}

bool TJournalGrid::UnpostForEdit(int row) {
  try {
    Unpost(row);
    return true;
  } catch (const Error& e) {
    return RefuseEdit(e.Message());
  }
}

bool TJournalGrid::CommitDate() {
  std::string t = editorText_;
  if (t.empty()) return true;
  const std::string refusal = Sjis("日付は yy/mm/dd の形式で入力してください");
  if (HasControlCharacter(t)) return RefuseEdit(refusal);
  const QDate today = Today();
  const std::string year = TwoDigits(today.year());
  if (Matches(kFourDigitYear, t)) {
    // The table keeps two-digit years, so a year is taken only when its last two digits
    // read back as the same year.
    const int typedYear = std::stoi(t.substr(0, 4));
    if (WindowYear(typedYear % 100, today.year()) != typedYear) {
      const int first = today.year() - 50;  // the window's first year
      return RefuseEdit(Sjis("年は ") + std::to_string(first) + Sjis(" 年から ") +
                        std::to_string(first + 99) + Sjis(" 年までで入力してください"));
    }
    t.erase(0, 2);
  }
  if (Matches(kDayAlone, t)) t = year + "/" + TwoDigits(today.month()) + "/" + t;
  if (Matches(kMonthAndDay, t)) t = year + "/" + t;
  if (Matches(kOneDigitMonth, t)) t.insert(3, "0");
  if (Matches(kOneDigitDay, t)) t.insert(t.size() - 1, "0");
  // The patterns check ranges only; a day the calendar doesn't have (27/02/30) would make
  // the sort and every aggregation fail later.
  if (!Matches(kFullDate, t) || !ParseDate(t, today.year())) return RefuseEdit(refusal);
  const int row = CurrentRow();
  if (Cell(1, row) != t) {
    if (!UnpostForEdit(row)) return false;
    SetCell(1, row, t);
    Host().SetModified();
  }
  return true;
}

bool TJournalGrid::CommitAmount() {
  const std::string t = editorText_;
  if (t.empty()) return true;
  if (HasControlCharacter(t) || !Matches(kAmount, t)) {
    return RefuseEdit(Sjis("金額は数値のみを入力してください"));
  }
  // Amounts are added as 32-bit integers; a longer one would only fail when it is posted.
  if (!ParseInt32(t)) {
    return RefuseEdit(Sjis("金額が大きすぎます。2,147,483,647 以下の数値を入力してください"));
  }
  const int row = CurrentRow();
  if (Cell(CurrentColumn(), row) != t) {
    if (!UnpostForEdit(row)) return false;
    SetCell(2, row, t);
    SetCell(6, row, t);
    Host().SetModified();
  }
  return true;
}

bool TJournalGrid::CommitSubject(int column) {
  const int row = CurrentRow();
  const int other = column == 3 ? 5 : 3;
  const std::string chosen = subjectChosen_ ? chosenSubject_ : std::string();
  const bool wasChosen = subjectChosen_;
  chosenSubject_.clear();
  subjectChosen_ = false;
  if (chosen == Cell(column, row)) return true;
  if (!Cell(other, row).empty()) {
    if (chosen == Cell(other, row)) {
      ui().Message(column == 3 ? Sjis("貸方科目と同じ科目は指定できません")
                               : Sjis("借方科目と同じ科目は指定できません"));
      return true;
    }
    if (!UnpostForEdit(row)) return false;
    SetCell(column, row, chosen);
  } else {
    const std::string counterpart = wasChosen ? subjects_.Counterpart(chosen) : std::string();
    if (!UnpostForEdit(row)) return false;
    SetCell(column, row, chosen);
    SetCell(other, row, counterpart);
  }
  Host().SetModified();
  return true;
}

bool TJournalGrid::CommitSummary() {
  std::string s = editorText_;
  // Line breaks and TABs would split the line or the cell when the journal file is read
  // back; they are kept as blanks.
  std::replace_if(
      s.begin(), s.end(), [](char c) { return c == '\t' || c == '\r' || c == '\n'; }, ' ');
  const int row = CurrentRow();
  if (s != Cell(4, row)) {
    if (!UnpostForEdit(row)) return false;
    const bool usedBefore = !s.empty() && summaries_.Contains(s);
    SetCell(4, row, s);
    if (usedBefore) ProposeSubjectsOf(row);
    // A summary typed once is offered from then on; the summary file gets it on save.
    if (!s.empty() && !summaries_.Contains(s)) summaries_.Add(s);
    Host().SetModified();
  }
  return true;
}

void TJournalGrid::ProposeSubjectsOf(int row) {
  if (!Cell(3, row).empty() && !Cell(5, row).empty()) return;
  const std::string_view summary = Cell(4, row);
  // The latest use is the last line naming it; scanning from the end finds it soonest.
  for (int r = RowCount() - 1; r >= 1; --r) {
    if (r == row || Cell(4, r) != summary) continue;
    const std::string debit(Cell(3, r));
    const std::string credit(Cell(5, r));
    if (debit.empty() && credit.empty()) continue;
    // Only empty cells take a proposal, and never the subject already on the other side.
    if (Cell(3, row).empty() && !debit.empty() && debit != Cell(5, row)) SetCell(3, row, debit);
    if (Cell(5, row).empty() && !credit.empty() && credit != Cell(3, row)) SetCell(5, row, credit);
    return;
  }
}

}  // namespace engine
