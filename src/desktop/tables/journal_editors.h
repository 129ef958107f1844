#pragma once

#include <QObject>
#include <vector>

#include "engine/tables/journal_grid.h"

class QComboBox;
class QCompleter;
class QInputMethodEvent;
class QKeyEvent;
class QLineEdit;

namespace desktop {

class AccGridView;

// The journal's three in-place editors, laid over the current cell of the grid. They mirror
// the journal's editor state: the table decides which editor is open and what it holds;
// these widgets show it and hand back what the user types or picks.
class JournalEditors : public QObject {
  Q_OBJECT

 public:
  JournalEditors(engine::TJournalGrid& table, AccGridView& view);

  // Columns 1, 2 and 6; the subject chooser for 3 and 5; the summary chooser for 4.
  QLineEdit* DateEditor() const { return dateEditor_; }
  QComboBox* SubjectChooser() const { return subjectChooser_; }
  QComboBox* SummaryChooser() const { return summaryChooser_; }
  // The widget of the open editor, or null.
  QWidget* OpenEditor() const;

  // Lays the open editor over the current cell again (after scrolling or resizing).
  void Place();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Refresh();
  void FillSubjects();
  void FillSummaries();
  // Hands what was typed into `line` to the table; characters code page 932 can't hold are
  // dropped and named, the rest stays.
  void TakeTyped(QLineEdit* line, const QString& text);
  void DateEdited(const QString& text);
  void SummaryEdited(const QString& text);
  void SubjectPicked(int index);
  void SubjectEdited(const QString& text);
  // Offers the store's entries that match what was typed in a list under the chooser; for
  // subjects the first one is preselected.
  void Offer(QComboBox* chooser, const std::vector<int>& matches, const QString& typed);
  QCompleter* CompleterOf(QComboBox* chooser) const;
  // Return or Tab while a chooser offers completions: the highlighted one goes into the editor.
  void TakeOffered(QComboBox* chooser);
  // Keys inside an editor; true when the key was used.
  bool EditorKey(QWidget* editor, QKeyEvent* key);
  // A printable key on the grid while no editor is open: open the current cell's editor
  // with the typed text.
  bool GridKey(QKeyEvent* key);
  // An input method composing on the grid while no editor is open: the current cell's editor
  // opens and the composition goes on in it, so no key is lost or left unconverted.
  bool GridInput(QInputMethodEvent* input);
  // Moves the focus by whole cells, the way Tab and Enter do: past column 6 to the next row.
  void MoveBy(int columns, int rows);

  engine::TJournalGrid& table_;
  AccGridView& view_;
  QLineEdit* dateEditor_;
  QComboBox* subjectChooser_;
  QComboBox* summaryChooser_;
  QCompleter* subjectCompleter_;
  QCompleter* summaryCompleter_;
  engine::TJournalGrid::EditorKind shown_ = engine::TJournalGrid::EditorKind::None;
};

}  // namespace desktop
