#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/base/date.h"
#include "engine/lists/subject_store.h"
#include "engine/tables/acc_clip.h"
#include "engine/tables/acc_grid.h"
#include "regexp/awkstr.h"

namespace engine {

class LedgerIndex;

// The journal: one row per transaction (date, amount, debit subject, summary, credit subject,
// amount again), the only table the user types into. It keeps a posted state per row, the
// in-place editors as state the desktop mirrors with real widgets, the subject and summary
// stores the editors offer, and the table clipboard.
class TJournalGrid : public TAccGrid {
 public:
  // Which in-place editor is open: the date editor serves dates and amounts (columns 1, 2,
  // 6), the subject chooser the debit and credit subjects (3, 5), the summary chooser the
  // summary (4).
  enum class EditorKind { None, Date, Subject, Summary };

  explicit TJournalGrid(TableHost& host);
  ~TJournalGrid() override;

  // Overrides of the book table's operations.
  void CellSelected(int column, int row) override;
  void AppendRow() override;
  void RemoveRow(int row) override;
  void LineMoved(int from, int to) override;
  std::array<int, 6> FitColumns(int windowWidth) const override;
  bool IsAmountColumn(int column) const override { return column == 2 || column == 6; }
  // Rows read from the file count as posted. Read failures reach the caller.
  void LoadTable(const QString& path) override;
  // Writes the subject and summary files, then the journal's complete rows. Throws Error when
  // the open editor's text is refused or the journal file can't be written.
  void SaveTable(const QString& path) override;
  bool IsStoredRow(const Row& row) const override;
  // Commits the open editor before a save; false, with the user told, when it was refused.
  bool CommitForSave();
  void CellCopy() override;
  void CellPaste() override;
  void LineCopy() override;
  void LinePaste() override;
  void LineAdd() override;
  void LineDel() override;
  void GoToDebtor() override;
  void GoToCredit() override;
  void GoToJournal() override {}
  void GoToLedger() override {}
  void PostLine() override;
  void SortByDate() override;
  void SelectMatchingLine(const LineKey& key) override;
  void SelectLine(int row) override;
  bool MousePress(int column, int row) override;
  void HistoryApplied() override;

  // In-place editors. The editor lies over the current cell.
  EditorKind OpenEditorKind() const { return editor_; }
  // The date editor's or the summary chooser's text.
  const std::string& EditorText() const { return editorText_; }
  // The subject chooser's choice as an index into Subjects(), or -1.
  int ChosenSubject() const;
  void OpenEditor();
  // Stores the open editor's text under the entry rules and closes the editor. False when
  // the text was refused (the user has been told; the cell is unchanged).
  bool CommitEditor();
  // Closes the editor without storing anything.
  void HideEditor();
  // The grid scrolled: the edit is committed, whatever comes of it.
  void ScrollCommit() { CommitEditor(); }
  // What the user types or picks; the desktop calls these and needs no notice back.
  void SetEditorText(std::string_view text);
  void ChooseSubject(int index);

  // Posted states: a row is posted when its two ledger postings exist.
  bool IsPosted(int row) const;
  // True when an unposted row holds any text.
  bool HasUnpostedLines() const;
  // Commits the editor and offers to post every unposted line; true when the book may be
  // saved, sorted or aggregated.
  bool ReadinessCheck();

  // Posts row r into the ledgers of its debit and credit subjects and marks it posted. Throws
  // Error, changing no ledger, when the amount or a previous balance doesn't convert or a
  // balance would leave 32 bits.
  void PostRow(int row);
  // Posts every complete unposted row, top down. False when the editor's text was refused or
  // a row could not be posted (the user has been told; rows before it stay posted).
  bool PostAll();
  // Removes row r's two ledger postings and marks it unposted; nothing when it is unposted.
  // Throws Error when a ledger can't take the removal; the row then stays posted.
  void Unpost(int row);

  // The stores the editors offer.
  SubjectStore& Subjects() { return subjects_; }
  const SubjectStore& Subjects() const { return subjects_; }
  SummaryStore& Summaries() { return summaries_; }
  const SummaryStore& Summaries() const { return summaries_; }
  // Removal with the lists' message when there is no such entry; false then.
  bool RemoveSubjectEntry(std::string_view subject);
  bool RemoveSummary(std::string_view text);
  // Writes the subject file, then the summary file, to the book's paths. A failure is shown
  // and the other file is still written; false when either failed.
  bool SaveLists();
  // The bytes of the subject file (subjects in store order, each with a TAB and its
  // counterpart when it has one) and of the summary file.
  std::string SubjectFileImage() const;
  std::string SummaryFileImage() const;
  // True when the last SaveTable wrote both list files.
  bool ListsSaved() const { return listsSaved_; }

  TAccClip& Clip() { return clip_; }
  const TAccClip& Clip() const { return clip_; }

  // Fills a new journal from the lines of a journal CSV file, creating the subjects and
  // summaries they use; every row starts unposted.
  void LoadCsvLines(const std::vector<std::string>& lines);
  // Adds whole lines after the last line that holds text, each unposted, keeping one empty
  // line at the end for typing; the view is told once. The book's modified flag is the
  // caller's to set.
  void AppendLines(const std::vector<RowTexts>& lines);
  // The first and last dates of the journal; (today, today) while row 1 is undated. Throws
  // Error on an empty or invalid date up to the last dated row.
  std::pair<Date, Date> DateRange() const;

 private:
  bool CommitDate();
  bool CommitAmount();
  bool CommitSubject(int column);
  bool CommitSummary();
  // Fills the empty subject cells of `row` from the latest other line with the same summary.
  void ProposeSubjectsOf(int row);
  // Refuses the editor's text: tells the user, empties and closes the editor.
  bool RefuseEdit(const std::string& message);
  // True when committing the open editor would change its cell.
  bool EditorChangesCell() const;
  // Unposts the row before an edit changes it; false (the user told) when a ledger refused.
  bool UnpostForEdit(int row);
  bool Matches(const char* pattern, std::string_view text) const;
  bool ValidRow(int row) const { return row >= 1 && row < RowCount(); }
  void SetPosted(int row, bool posted);
  void PostRow(int row, const LedgerIndex& ledgers);
  void GoToLedgerOf(int subjectColumn, bool debitSide);

  mutable regexp::TAWKStr matcher_;
  TAccClip clip_;
  SubjectStore subjects_;
  SummaryStore summaries_;
  bool listsSaved_ = true;

  EditorKind editor_ = EditorKind::None;
  std::string editorText_;
  // The subject chooser's choice, kept by name so that a change to the store while the
  // chooser is open can't turn it into another subject.
  std::string chosenSubject_;
  bool subjectChosen_ = false;
};

}  // namespace engine
