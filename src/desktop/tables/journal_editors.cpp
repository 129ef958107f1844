#include "desktop/tables/journal_editors.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QCompleter>
#include <QGuiApplication>
#include <QHeaderView>
#include <QInputMethod>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QStringListModel>

#include "desktop/app/guarded.h"
#include "desktop/base/fonts.h"
#include "desktop/base/message_boxes.h"
#include "desktop/tables/acc_grid_view.h"
#include "desktop/tables/grid_model.h"
#include "engine/base/cp932.h"

namespace desktop {

using Kind = engine::TJournalGrid::EditorKind;

namespace {

// The date and amount editor. Qt 6.4's line edit answers the input method's question "do you
// take composed text?" with yes even when its input-method attribute is off, so input methods
// such as fcitx5 stay on and turn digits into full-width ones; this editor says no.
class DigitEdit : public QLineEdit {
 public:
  using QLineEdit::inputMethodQuery;
  using QLineEdit::QLineEdit;
  QVariant inputMethodQuery(Qt::InputMethodQuery query) const override {
    if (query == Qt::ImEnabled) return false;
    return QLineEdit::inputMethodQuery(query);
  }
};

// Full-width digits and slashes (typed with an input method, or pasted) read as ASCII.
QString Narrowed(const QString& text) {
  return text.normalized(QString::NormalizationForm_KC);
}

bool IsTextColumn(int column) {
  return column >= 3 && column <= 5;
}

}  // namespace

JournalEditors::JournalEditors(engine::TJournalGrid& table, AccGridView& view)
    : QObject(&view),
      table_(table),
      view_(view),
      dateEditor_(new DigitEdit(view.viewport())),
      subjectChooser_(new QComboBox(view.viewport())),
      summaryChooser_(new QComboBox(view.viewport())),
      subjectCompleter_(new QCompleter(this)),
      summaryCompleter_(new QCompleter(this)) {
  dateEditor_->setObjectName(QStringLiteral("dateEditor"));
  subjectChooser_->setObjectName(QStringLiteral("subjectChooser"));
  summaryChooser_->setObjectName(QStringLiteral("summaryChooser"));
  // Dates and amounts are digits and slashes: the input method would only get in the way.
  dateEditor_->setAttribute(Qt::WA_InputMethodEnabled, false);
  dateEditor_->setInputMethodHints(Qt::ImhLatinOnly | Qt::ImhPreferNumbers);
  dateEditor_->setFrame(false);
  // Both choosers take typing; what they offer comes from the stores' own matching (subjects
  // by their beginning, summaries anywhere), not from the combo box's built-in completer.
  for (QComboBox* chooser : {subjectChooser_, summaryChooser_}) {
    chooser->setEditable(true);
    chooser->setInsertPolicy(QComboBox::NoInsert);
    chooser->setCompleter(nullptr);
    QCompleter* completer = CompleterOf(chooser);
    completer->setModel(new QStringListModel(completer));
    completer->setCompletionMode(QCompleter::UnfilteredPopupCompletion);
    completer->setMaxVisibleItems(12);
    completer->setWidget(chooser->lineEdit());
    completer->popup()->installEventFilter(this);
    connect(completer, qOverload<const QString&>(&QCompleter::activated), chooser,
            &QComboBox::setEditText);
  }
  subjectChooser_->lineEdit()->installEventFilter(this);
  summaryChooser_->setMaxVisibleItems(16);
  subjectChooser_->setMaxVisibleItems(16);
  for (QWidget* editor :
       {static_cast<QWidget*>(dateEditor_), static_cast<QWidget*>(subjectChooser_),
        static_cast<QWidget*>(summaryChooser_)}) {
    editor->hide();
    editor->installEventFilter(this);
  }
  summaryChooser_->lineEdit()->installEventFilter(this);
  view_.installEventFilter(this);

  connect(dateEditor_, &QLineEdit::textEdited, this, &JournalEditors::DateEdited);
  connect(summaryChooser_, &QComboBox::editTextChanged, this, &JournalEditors::SummaryEdited);
  connect(subjectChooser_, &QComboBox::currentIndexChanged, this, &JournalEditors::SubjectPicked);
  connect(subjectChooser_, &QComboBox::editTextChanged, this, &JournalEditors::SubjectEdited);
  connect(view_.Model(), &GridModel::editorChanged, this, &JournalEditors::Refresh);
  connect(view_.horizontalHeader(), &QHeaderView::sectionResized, this, &JournalEditors::Place);
}

QWidget* JournalEditors::OpenEditor() const {
  switch (table_.OpenEditorKind()) {
    case Kind::Date:
      return dateEditor_;
    case Kind::Subject:
      return subjectChooser_;
    case Kind::Summary:
      return summaryChooser_;
    case Kind::None:
      break;
  }
  return nullptr;
}

void JournalEditors::FillSubjects() {
  const QSignalBlocker blocker(subjectChooser_);
  subjectChooser_->clear();
  const engine::SubjectStore& subjects = table_.Subjects();
  for (int i = 0; i < subjects.Count(); ++i)
    subjectChooser_->addItem(engine::FromCp932(subjects.Subject(i)));
}

void JournalEditors::FillSummaries() {
  const QSignalBlocker blocker(summaryChooser_);
  summaryChooser_->clear();
  const engine::SummaryStore& summaries = table_.Summaries();
  for (int i = 0; i < summaries.Count(); ++i)
    summaryChooser_->addItem(engine::FromCp932(summaries.At(i)));
}

void JournalEditors::Refresh() {
  // With no editor open the grid itself receives what an input method composes: only the
  // text columns want that; a date or amount cell takes plain keys.
  const bool composing = IsTextColumn(table_.CurrentColumn());
  if (view_.testAttribute(Qt::WA_InputMethodEnabled) != composing) {
    view_.setAttribute(Qt::WA_InputMethodEnabled, composing);
    if (view_.hasFocus()) QGuiApplication::inputMethod()->update(Qt::ImEnabled);
  }
  const Kind kind = table_.OpenEditorKind();
  QWidget* open = OpenEditor();
  const bool opening = kind != shown_;
  shown_ = kind;
  for (QWidget* editor :
       {static_cast<QWidget*>(dateEditor_), static_cast<QWidget*>(subjectChooser_),
        static_cast<QWidget*>(summaryChooser_)}) {
    if (auto* chooser = qobject_cast<QComboBox*>(editor); chooser && editor != open)
      CompleterOf(chooser)->popup()->hide();
    if (editor != open && editor->isVisible()) {
      // Hiding the focused editor would hand the focus to some other widget.
      if (editor->hasFocus()) view_.setFocus();
      editor->hide();
    }
  }
  if (!open) return;
  const QString text = engine::FromCp932(table_.EditorText());
  switch (kind) {
    case Kind::Date:
      if (dateEditor_->text() != text) dateEditor_->setText(text);
      break;
    case Kind::Subject: {
      if (opening || subjectChooser_->count() != table_.Subjects().Count()) FillSubjects();
      const QSignalBlocker blocker(subjectChooser_);
      subjectChooser_->setCurrentIndex(table_.ChosenSubject());
      break;
    }
    case Kind::Summary: {
      if (opening || summaryChooser_->count() != table_.Summaries().Count()) FillSummaries();
      const QSignalBlocker blocker(summaryChooser_);
      summaryChooser_->setCurrentIndex(-1);
      if (summaryChooser_->currentText() != text) summaryChooser_->setEditText(text);
      break;
    }
    case Kind::None:
      break;
  }
  if (opening) {
    Place();
    open->show();
    open->raise();
    open->setFocus();
    if (kind == Kind::Date) dateEditor_->selectAll();
    if (auto* chooser = qobject_cast<QComboBox*>(open)) chooser->lineEdit()->selectAll();
  }
}

void JournalEditors::Place() {
  QWidget* open = OpenEditor();
  if (!open) return;
  const QRect cell = view_.CellRect(table_.CurrentColumn(), table_.CurrentRow());
  if (!cell.isValid()) return;
  open->setGeometry(cell.adjusted(0, 0, 1, 1));
}

void JournalEditors::TakeTyped(QLineEdit* line, const QString& text) {
  QString held = text;
  int cursor = line->cursorPosition();
  const QStringList dropped = DropNonCp932(held, cursor);
  if (!dropped.isEmpty()) {
    // The editor shows the kept text before the message box takes the focus.
    const QSignalBlocker blocker(line);
    line->setText(held);
    line->setCursorPosition(cursor);
  }
  table_.SetEditorText(engine::ToCp932(held).value_or(std::string()));
  if (!dropped.isEmpty()) {
    ShowMessage(line, NonCp932Message(dropped.join(QStringLiteral("」「"))));
    line->setFocus();
  }
}

void JournalEditors::DateEdited(const QString& text) {
  const QString narrow = Narrowed(text);
  if (narrow != text) {
    const int cursor = dateEditor_->cursorPosition() + int(narrow.size()) - int(text.size());
    const QSignalBlocker blocker(dateEditor_);
    dateEditor_->setText(narrow);
    dateEditor_->setCursorPosition(std::max(0, cursor));
  }
  TakeTyped(dateEditor_, narrow);
}

void JournalEditors::SummaryEdited(const QString& text) {
  if (table_.OpenEditorKind() != Kind::Summary) return;
  TakeTyped(summaryChooser_->lineEdit(), text);
  const std::optional<std::string> typed = engine::ToCp932(text);
  Offer(summaryChooser_, typed ? table_.Summaries().Completions(*typed) : std::vector<int>(), text);
}

void JournalEditors::SubjectPicked(int index) {
  table_.ChooseSubject(index);
}

void JournalEditors::SubjectEdited(const QString& text) {
  if (table_.OpenEditorKind() != Kind::Subject) return;
  const engine::SubjectStore& subjects = table_.Subjects();
  const std::optional<std::string> typed = engine::ToCp932(text);
  const std::vector<int> matches = typed ? subjects.Completions(*typed) : std::vector<int>();
  Offer(subjectChooser_, matches, text);
  // The subject named exactly, else the first one the text begins; a text that names none
  // leaves the cell's subject as it was, and an emptied chooser empties the cell.
  int chosen = text.isEmpty() ? -1 : subjects.IndexOf(typed.value_or(std::string()));
  if (chosen < 0 && !text.isEmpty()) {
    chosen = !matches.empty()
                 ? matches.front()
                 : subjects.IndexOf(table_.Cell(table_.CurrentColumn(), table_.CurrentRow()));
  }
  table_.ChooseSubject(chosen);
}

QCompleter* JournalEditors::CompleterOf(QComboBox* chooser) const {
  return chooser == subjectChooser_ ? subjectCompleter_ : summaryCompleter_;
}

void JournalEditors::Offer(QComboBox* chooser, const std::vector<int>& matches,
                           const QString& typed) {
  QCompleter* completer = CompleterOf(chooser);
  QStringList names;
  for (int index : matches) {
    names << engine::FromCp932(chooser == subjectChooser_ ? table_.Subjects().Subject(index)
                                                          : table_.Summaries().At(index));
  }
  static_cast<QStringListModel*>(completer->model())->setStringList(names);
  // Nothing to offer, or only what is already there.
  if (typed.isEmpty() || names.isEmpty() || (names.size() == 1 && names.front() == typed)) {
    completer->popup()->hide();
    return;
  }
  completer->complete();
  // A typed summary stays as typed unless the user moves into the list.
  completer->popup()->setCurrentIndex(
      chooser == subjectChooser_ ? completer->completionModel()->index(0, 0) : QModelIndex());
}

void JournalEditors::TakeOffered(QComboBox* chooser) {
  QAbstractItemView* popup = CompleterOf(chooser)->popup();
  if (!popup->isVisible()) return;
  const QModelIndex offered = popup->currentIndex();
  popup->hide();
  if (offered.isValid()) chooser->setEditText(offered.data().toString());
}

void JournalEditors::MoveBy(int columns, int rows) {
  int column = std::max(table_.FocusedColumn(), 1) + columns;
  int row = table_.FocusedRow() + rows;
  if (column > 6) {
    column = 1;
    ++row;
    // Past the end of the last line a new line is started, unless the last one is still
    // wholly empty: then the cursor goes back to its date.
    if (row == table_.RowCount()) {
      bool committed = false;
      RunGuarded(&view_, [&] { committed = table_.CommitEditor(); });
      if (!committed) return;
      if (table_.RowAt(row - 1).IsEmpty()) {
        --row;
      } else if (!RunGuarded(&view_, [this] { table_.LineAdd(); })) {
        return;
      }
    }
  } else if (column < 1) {
    column = 6;
    --row;
  }
  if (row < 1 || row >= table_.RowCount()) return;
  view_.SelectTableCell(column, row);
}

bool JournalEditors::EditorKey(QWidget* editor, QKeyEvent* key) {
  const bool plain = !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
  auto* chooser = qobject_cast<QComboBox*>(editor);
  switch (key->key()) {
    case Qt::Key_Tab:
    case Qt::Key_Return:
    case Qt::Key_Enter:
      if (chooser) TakeOffered(chooser);
      MoveBy(1, 0);
      return true;
    case Qt::Key_Backtab:
      if (chooser) TakeOffered(chooser);
      MoveBy(-1, 0);
      return true;
    case Qt::Key_Escape:
      if (chooser && CompleterOf(chooser)->popup()->isVisible()) {
        CompleterOf(chooser)->popup()->hide();
        return true;
      }
      table_.HideEditor();
      view_.setFocus();
      return true;
    case Qt::Key_Up:
      if (!plain) return false;
      MoveBy(0, -1);
      return true;
    case Qt::Key_Down:
      if (!plain) return false;
      MoveBy(0, 1);
      return true;
    case Qt::Key_Left:
    case Qt::Key_Right: {
      // Inside a text the arrows move the cursor; at its ends they move to the next cell.
      QLineEdit* line = chooser ? chooser->lineEdit() : dateEditor_;
      const bool left = key->key() == Qt::Key_Left;
      if (line && (line->hasSelectedText() && line->selectedText() != line->text())) return false;
      if (line && !line->hasSelectedText()) {
        if (left && line->cursorPosition() > 0) return false;
        if (!left && line->cursorPosition() < line->text().size()) return false;
      }
      MoveBy(left ? -1 : 1, 0);
      return true;
    }
    default:
      return false;
  }
}

bool JournalEditors::GridKey(QKeyEvent* key) {
  if (table_.OpenEditorKind() != Kind::None) return false;
  if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) return false;
  const QString typed = key->text();
  if (typed.isEmpty() || !typed.at(0).isPrint()) return false;
  const int column = table_.CurrentColumn();
  if (column < 1 || column > 6 || table_.CurrentRow() < 1) return false;
  table_.OpenEditor();
  switch (table_.OpenEditorKind()) {
    case Kind::Date:
      dateEditor_->setText(typed);
      DateEdited(typed);
      break;
    case Kind::Subject:
      subjectChooser_->setEditText(typed);
      break;
    case Kind::Summary:
      summaryChooser_->setEditText(typed);
      break;
    default:
      break;
  }
  return true;
}

bool JournalEditors::GridInput(QInputMethodEvent* input) {
  if (table_.OpenEditorKind() != Kind::None) return false;
  if (input->commitString().isEmpty() && input->preeditString().isEmpty()) return false;
  const int column = table_.CurrentColumn();
  if (column < 1 || column > 6 || table_.CurrentRow() < 1) return false;
  table_.OpenEditor();
  if (table_.OpenEditorKind() == Kind::Date) {
    // The date editor takes no composition; whatever was already committed is kept.
    if (!input->commitString().isEmpty()) {
      dateEditor_->setText(input->commitString());
      DateEdited(input->commitString());
    }
    return true;
  }
  if (auto* chooser = qobject_cast<QComboBox*>(OpenEditor()))
    QCoreApplication::sendEvent(chooser->lineEdit(), input);
  return true;
}

bool JournalEditors::eventFilter(QObject* watched, QEvent* event) {
  if (watched == &view_ && event->type() == QEvent::InputMethod)
    return GridInput(static_cast<QInputMethodEvent*>(event));
  if (event->type() == QEvent::ShortcutOverride) {
    // A line editor would take Shift+Space as a space; here it selects the line instead.
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Space && key->modifiers() == Qt::ShiftModifier) return true;
    // Undo and redo belong to the text being typed while it has any of its own; after that
    // the keys reach the book's undo and redo.
    const bool undo = key->matches(QKeySequence::Undo);
    const bool redo = key->matches(QKeySequence::Redo) ||
                      key->keyCombination() == QKeyCombination(Qt::ControlModifier, Qt::Key_Y);
    if (!undo && !redo) return QObject::eventFilter(watched, event);
    QLineEdit* line = watched == dateEditor_                   ? dateEditor_
                      : watched == summaryChooser_->lineEdit() ? summaryChooser_->lineEdit()
                                                               : nullptr;
    if (line && (undo ? line->isUndoAvailable() : line->isRedoAvailable())) return false;
    return true;
  }
  if (event->type() != QEvent::KeyPress) return QObject::eventFilter(watched, event);
  auto* key = static_cast<QKeyEvent*>(event);
  if (watched == &view_) return GridKey(key);
  // The list of completions has the keyboard while it is shown; the keys that leave the cell
  // are the editor's.
  for (QComboBox* chooser : {subjectChooser_, summaryChooser_}) {
    if (watched != CompleterOf(chooser)->popup()) continue;
    switch (key->key()) {
      case Qt::Key_Tab:
      case Qt::Key_Backtab:
      case Qt::Key_Return:
      case Qt::Key_Enter:
      case Qt::Key_Escape:
        return chooser == OpenEditor() && EditorKey(chooser, key);
      default:
        return false;
    }
  }
  QWidget* editor = watched == summaryChooser_->lineEdit()   ? summaryChooser_
                    : watched == subjectChooser_->lineEdit() ? subjectChooser_
                                                             : qobject_cast<QWidget*>(watched);
  if (editor == OpenEditor()) return EditorKey(editor, key);
  return QObject::eventFilter(watched, event);
}

}  // namespace desktop
