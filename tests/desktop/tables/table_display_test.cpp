// The book's tables as the user reads and types them: amounts grouped and aligned, columns
// that fit what they show, the keyboard path through a line, the line shortcuts, and where
// the keyboard goes after a message.

#include <QAbstractItemView>
#include <QClipboard>
#include <QComboBox>
#include <QCompleter>
#include <QHelpEvent>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollBar>
#include <QTabBar>
#include <QTableView>
#include <QTest>
#include <QToolTip>

#include "desktop/app/tacc_mdi.h"
#include "desktop/lists/tsubjectdialog.h"
#include "desktop/tables/acc_grid_view.h"
#include "desktop/tables/grid_model.h"
#include "desktop/tables/journal_editors.h"
#include "desktop/tables/tjournalform.h"
#include "desktop_fixture.h"
#include "engine/base/text_file.h"
#include "engine/tables/journal_grid.h"
#include "engine/tables/ledger_grid.h"
#include "support/book_window.h"
#include "test_registry.h"

namespace desktop_tests {

using desktop::Command;

class TableDisplayTest : public BookWindowTest {
  Q_OBJECT

 private:
  desktop::JournalEditors& Editors() { return *Form().Editors(); }
  desktop::AccGridView& LedgerGrid(std::size_t i) {
    return *window_->FormOf(window_->Book().LedgerAt(i))->grid;
  }
  static QVariant Shown(desktop::AccGridView& grid, int column, int row, int role) {
    return grid.model()->data(grid.model()->index(row - 1, column - 1), role);
  }
  QAction* GroupingItem() {
    for (QAction* menu : window_->menuBar()->actions()) {
      if (menu->text() == QStringLiteral("表示(&V)")) return menu->menu()->actions().value(0);
    }
    return nullptr;
  }
  // Types text into the open editor and leaves it with `key`.
  void Enter(const QString& text, Qt::Key key = Qt::Key_Tab) {
    QWidget* editor = Editors().OpenEditor();
    QVERIFY(editor);
    if (text.isEmpty()) {
      // Leave the editor as it is.
    } else if (auto* chooser = qobject_cast<QComboBox*>(editor)) {
      if (chooser->isEditable()) {
        chooser->setEditText(text);
      } else {
        chooser->setCurrentIndex(chooser->findText(text));
      }
    } else {
      QTest::keyClicks(editor, text);
    }
    QTest::keyClick(editor, key);
  }

 private slots:
  void init() {
    StartWindow();
    window_->resize(800, 600);
    OpenBook();
    QVERIFY(window_->Book().IsOpen());
  }

  void cleanup() {
    StopWindow();
    desktop::GridModel::SetDigitGrouping(true);
  }

  void amountsAreGroupedOnScreenOnly() {
    Journal().SetCell(2, 1, "1234567");
    auto& cash = LedgerGrid(1);
    const struct {
      desktop::AccGridView* grid;
      int column;
      int row;
      const char* grouped;
      const char* plain;
      bool amount;
      bool red;
    } cases[] = {
        {&Grid(), 2, 1, "1,234,567", "1234567", true, false},
        {&Grid(), 6, 2, "300", "300", true, false},
        {&Grid(), 1, 1, "25/06/01", "25/06/01", false, false},
        {&LedgerGrid(0), 6, 2, "1,500", "1500", true, false},
        {&LedgerGrid(0), 4, 1, "1,200", "1200", true, false},
        {&cash, 6, 2, "-1,500", "-1500", true, true},
        {&cash, 5, 2, "300", "300", true, false},
    };
    QAction* item = GroupingItem();
    QVERIFY(item);
    QVERIFY(item->isChecked());
    for (const bool on : {true, false}) {
      if (!on) item->trigger();
      for (const auto& c : cases) {
        QCOMPARE(Shown(*c.grid, c.column, c.row, Qt::DisplayRole).toString(),
                 QString::fromLatin1(on ? c.grouped : c.plain));
        const auto align = Shown(*c.grid, c.column, c.row, Qt::TextAlignmentRole).toInt();
        QCOMPARE(bool(align & Qt::AlignRight), c.amount);
        QCOMPARE(
            Shown(*c.grid, c.column, c.row, Qt::ForegroundRole).value<QColor>() == QColor(Qt::red),
            c.red);
        QCOMPARE(std::string(c.grid->Table().Cell(c.column, c.row)), std::string(c.plain));
      }
    }
    // The choice is the program's, kept in its settings; the tables' output is untouched.
    QVERIFY(!engine::AppSettings().ReadDigitGrouping());
    QVERIFY(Journal().CSVOut().front() == S("25/06/01,1234567,食費,昼食,現金,1200"));
    item->trigger();
    QVERIFY(engine::AppSettings().ReadDigitGrouping());
  }

  void columnsFitWhatTheyShowAndLongTextsSayWhatIsCut() {
    auto& grid = Grid();
    for (int c = 1; c <= 6; ++c) {
      for (int r = 1; r <= 2; ++r) {
        const QString shown = Shown(grid, c, r, Qt::DisplayRole).toString();
        QVERIFY2(grid.columnWidth(c - 1) >= grid.TextWidth(shown), qPrintable(shown));
      }
    }
    // An amount typed wider than its column widens it; a long summary stops at its limit
    // and shows its whole text as a tool tip.
    Enter(QStringLiteral("5"));
    Enter(QStringLiteral("123456789"));
    QVERIFY(grid.columnWidth(1) >= grid.TextWidth(QStringLiteral("123,456,789")));
    Enter(QStringLiteral("食費"));
    const QString summary = QString(60, QChar(0x5915));
    Enter(summary);
    QCOMPARE(engine::FromCp932(Journal().Cell(4, 3)), summary);
    QVERIFY(grid.columnWidth(3) < grid.TextWidth(summary));
    QVERIFY(grid.columnWidth(3) >= int(grid.viewport()->width() * 0.4) - 1);
    const struct {
      int column;
      int row;
      QString tip;
    } tips[] = {{4, 1, QString()}, {2, 3, QString()}, {4, 3, summary}};
    for (const auto& t : tips) {
      const QRect cell = grid.CellRect(t.column, t.row);
      QHelpEvent help(QEvent::ToolTip, cell.center(), grid.viewport()->mapToGlobal(cell.center()));
      QApplication::sendEvent(grid.viewport(), &help);
      QCOMPARE(QToolTip::isVisible() ? QToolTip::text() : QString(), t.tip);
      QToolTip::hideText();
    }
  }

  void enterOrTabOnTheLastColumnStartsTheNextLine() {
    for (const Qt::Key key : {Qt::Key_Tab, Qt::Key_Return}) {
      const int row = Journal().RowCount() - 1;
      Enter(QStringLiteral("5"));
      Enter(QStringLiteral("800"));
      Enter(QStringLiteral("食費"));
      Enter(QStringLiteral("夕食"));
      Enter(QString());  // the counterpart proposed for the credit side
      QCOMPARE(Journal().FocusedColumn(), 6);
      Enter(QString(), key);
      QCOMPARE(Journal().Cell(6, row), std::string_view("800"));
      QCOMPARE(Journal().RowCount(), row + 2);
      QCOMPARE(Journal().FocusedRow(), row + 1);
      QCOMPARE(Journal().FocusedColumn(), 1);
      QCOMPARE(Journal().OpenEditorKind(), engine::TJournalGrid::EditorKind::Date);
    }
    // On a wholly empty last line no further line is added: the cursor returns to its date.
    const int rows = Journal().RowCount();
    Grid().SelectTableCell(6, rows - 1);
    Enter(QString(), Qt::Key_Return);
    QCOMPARE(Journal().RowCount(), rows);
    QCOMPARE(Journal().FocusedColumn(), 1);
  }

  void lineCommandsHaveKeysOfTheirOwn() {
    const struct {
      Command command;
      const char* keys;
    } cases[] = {
        {Command::EditLineAdd, "Ctrl+Return"},    {Command::EditLineDel, "Ctrl+Shift+Delete"},
        {Command::EditLineSelect, "Shift+Space"}, {Command::OperatePost, "Ctrl+T"},
        {Command::GoToLedger, "Ctrl+L"},
    };
    QList<QKeySequence> all;
    for (QAction* menu : window_->menuBar()->actions())
      for (QAction* item : menu->menu()->actions())
        if (!item->shortcut().isEmpty()) all << item->shortcut();
    for (const auto& c : cases) {
      const QKeySequence keys(QString::fromLatin1(c.keys));
      QCOMPARE(window_->Commands().MenuItem(c.command)->shortcut(), keys);
      QCOMPARE(all.count(keys), 1);
    }

    // Run from the keyboard while the date editor has the focus.
    QVERIFY(QTest::qWaitForWindowActive(window_.get()));
    const int rows = Journal().RowCount();
    QLineEdit* date = Editors().DateEditor();
    date->setFocus();
    QTest::keyClick(date, Qt::Key_Space, Qt::ShiftModifier);
    QCOMPARE(Journal().SelectedLine(), rows - 1);
    QCOMPARE(date->text(), QString());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return, Qt::ControlModifier);
    QCOMPARE(Journal().RowCount(), rows + 1);
  }

  void aMessageGivesTheKeyboardBackToTheCell() {
    QVERIFY(QTest::qWaitForWindowActive(window_.get()));
    QLineEdit* date = Editors().DateEditor();
    date->setFocus();
    {
      ModalAnswers answers;
      QTest::keyClicks(date, QStringLiteral("99/99/99"));
      QTest::keyClick(date, Qt::Key_Tab);
      QCOMPARE(answers.Texts().size(), 1);
    }
    QTRY_COMPARE(window_->focusWidget(), date);
  }

  void choosersCompleteWhatIsTyped() {
    Journal().Subjects().Add(S("ショッピング"));
    const int row = Journal().RowCount() - 1;
    const struct {
      int column;
      const char* typed;
      bool takeOffered;  // the first entry of the list under the chooser is taken
      const char* offered;
      const char* stored;
    } cases[] = {
        {3, "食", false, "食費", "食費"},                      // a subject the text begins
        {3, "しょっ", false, "ショッピング", "ショッピング"},  // either script reads alike
        {3, "xyz", false, "", "ショッピング"},                 // a text naming none keeps the cell
        {4, "食", false, "昼食", "食"},                        // a summary stays as typed...
        {4, "食", true, "昼食", "昼食"},                       // ...unless an offered one is taken
        {4, "ン", true, "パン", "パン"},                       // found anywhere in the text
    };
    for (const auto& c : cases) {
      const QString typed = QString::fromUtf8(c.typed);
      Grid().SelectTableCell(c.column, row);
      auto* chooser = qobject_cast<QComboBox*>(Editors().OpenEditor());
      QVERIFY(chooser);
      chooser->lineEdit()->insert(typed);
      QAbstractItemView* popup = nullptr;
      for (auto* completer : Editors().findChildren<QCompleter*>())
        if (completer->widget() == chooser->lineEdit()) popup = completer->popup();
      QVERIFY(popup);
      QCOMPARE(popup->isVisible(), *c.offered != 0);
      if (*c.offered) {
        QCOMPARE(popup->model()->index(0, 0).data().toString(), QString::fromUtf8(c.offered));
      }
      if (c.takeOffered) popup->setCurrentIndex(popup->model()->index(0, 0));
      QTest::keyClick(chooser->lineEdit(), Qt::Key_Return);
      QCOMPARE(engine::FromCp932(Journal().Cell(c.column, row)), QString::fromUtf8(c.stored));
      QVERIFY(!popup->isVisible());
    }
  }

  void aTypedSummaryIsKeptAndProposesItsSubjectsNextTime() {
    const int row = Journal().RowCount() - 1;
    for (const char* text : {"5", "800", "食費", "夕食", "", ""}) Enter(QString::fromUtf8(text));
    QVERIFY(window_->Book().SaveBook());
    const Lines saved = engine::ReadTextLines(engine::PathFromCp932(book_->P("摘要.txt")));
    QCOMPARE(saved, (Lines{S("パン"), S("夕食"), S("昼食")}));
    // The next line leaves its subjects empty; the summary brings those of its last use.
    Journal().CellSelected(1, row + 1);  // the save closed the editor
    for (const char* text : {"6", "500", "", "夕食"}) Enter(QString::fromUtf8(text));
    QCOMPARE(Journal().Cell(3, row + 1), S("食費"));
    QCOMPARE(Journal().Cell(5, row + 1), S("現金"));
    QCOMPARE(Editors().OpenEditor(), Editors().SubjectChooser());
    QCOMPARE(Editors().SubjectChooser()->currentText(), QStringLiteral("現金"));
  }

  void japaneseInputReachesTheRightEditorWhole() {
    const auto acceptsComposition = [](QWidget* widget) {
      QInputMethodQueryEvent query(Qt::ImEnabled);
      QApplication::sendEvent(widget, &query);
      return query.value(Qt::ImEnabled).toBool();
    };
    QVERIFY(!acceptsComposition(Editors().DateEditor()));
    const int row = Journal().RowCount() - 1;
    const struct {
      int column;
      const char* preedit;  // composed on the grid with no editor open
      const char* commit;   // then committed
      const char* pasted;   // or pasted into the open editor instead
      const char* stored;
    } cases[] = {
        {1, "", "６／３", "", "25/06/03"},  // committed on a date cell anyway: read as ASCII
        {2, "", "", "１，５００", ""},      // a comma is still no digit
        {2, "", "", "１５００", "1500"},   {4, "かいもの", "買い物", "", "買い物"},
        {3, "しょく", "食", "", "食費"},   {1, "", "", "２５／０６／０４", "25/06/04"},
    };
    for (const auto& c : cases) {
      Grid().setFocus();
      Journal().CellSelected(c.column, row);
      QTest::keyClick(Editors().OpenEditor(), Qt::Key_Escape);
      QCOMPARE(Journal().OpenEditorKind(), engine::TJournalGrid::EditorKind::None);
      QCOMPARE(acceptsComposition(&Grid()), c.column >= 3 && c.column <= 5);
      ModalAnswers answers;
      if (*c.pasted) {
        Journal().OpenEditor();
        QApplication::clipboard()->setText(QString::fromUtf8(c.pasted));
        Editors().DateEditor()->paste();
      } else {
        QInputMethodEvent composing(QString::fromUtf8(c.preedit), {});
        if (!*c.preedit) composing.setCommitString(QString::fromUtf8(c.commit));
        QApplication::sendEvent(&Grid(), &composing);
        QWidget* editor = Editors().OpenEditor();
        QVERIFY(editor);
        if (*c.preedit) {
          auto* line = qobject_cast<QComboBox*>(editor)->lineEdit();
          QInputMethodEvent committed;
          committed.setCommitString(QString::fromUtf8(c.commit));
          QApplication::sendEvent(line, &committed);
        }
      }
      QTest::keyClick(Editors().OpenEditor(), Qt::Key_Return);
      QCOMPARE(engine::FromCp932(Journal().Cell(c.column, row)), QString::fromUtf8(c.stored));
      QCOMPARE(answers.Texts().size(), *c.stored ? 0 : 1);
    }
  }

  void aRenamedSubjectChangesItsWindowTabAndCells() {
    desktop::tsubjectdialog dialog(window_->Book(), window_.get());
    dialog.show();
    QCOMPARE(dialog.btnrename->text(), QStringLiteral("名前の変更"));
    QCOMPARE(dialog.eitem->text(), QStringLiteral("食費"));  // row 1 is selected
    {
      ModalAnswers answers;
      dialog.eitem->setText(QStringLiteral("現金"));
      dialog.btnrename->click();
      QCOMPARE(answers.Texts(), QStringList{QStringLiteral("現金 は既に使用されています")});
    }
    dialog.eitem->setText(QStringLiteral("食料費"));
    dialog.btnrename->click();
    QCOMPARE(dialog.grid->model()->index(0, 0).data().toString(), QStringLiteral("食料費"));
    engine::TLedgerGrid& food = window_->Book().LedgerAt(0);
    QCOMPARE(window_->FormOf(food)->windowTitle(), QStringLiteral("食料費"));
    QTabBar* tabs = window_->TabBar();
    QStringList captions;
    for (int i = 0; i < tabs->count(); ++i) captions << tabs->tabText(i);
    QVERIFY(captions.contains(QStringLiteral("食料費")));
    QVERIFY(!captions.contains(QStringLiteral("食費")));
    QCOMPARE(Shown(Grid(), 3, 1, Qt::DisplayRole).toString(), QStringLiteral("食料費"));
    QVERIFY(window_->Book().Modified());
  }

  void aRestoredLedgerShowsItsLatestRowsAndAllColumns() {
    window_->Book().CloseBook();
    Lines lines;
    for (int day = 1; day <= 60; ++day)
      lines.push_back(S("25/06/01\t現金\t昼食\t1200\t\t") + std::to_string(day * 1200));
    SampleBook::Write(book_->P("食費.txt"), lines);
    OpenBook();
    engine::TLedgerGrid& food = window_->Book().LedgerAt(0);
    auto* form = window_->FormOf(food);
    QVERIFY(form->IsMinimized());
    form->Restore();
    auto& grid = *form->grid;
    QVERIFY(grid.verticalScrollBar()->maximum() > 0);
    QCOMPARE(grid.verticalScrollBar()->value(), grid.verticalScrollBar()->maximum());
    int columns = 0;
    for (int c = 0; c < 6; ++c) columns += grid.columnWidth(c);
    QVERIFY2(columns <= grid.viewport()->width(),
             qPrintable(QStringLiteral("%1 > %2").arg(columns).arg(grid.viewport()->width())));
  }
};

REGISTER_DESKTOP_TEST(TableDisplayTest);

}  // namespace desktop_tests

#include "table_display_test.moc"
