// Undo and redo as the user reaches them: the 編集 menu items naming the step, the keys (also
// from inside a cell editor), and the question before a line is deleted.

#include <QAction>
#include <QLineEdit>
#include <QMessageBox>
#include <QTest>

#include "desktop/app/tacc_mdi.h"
#include "desktop/tables/acc_grid_view.h"
#include "desktop/tables/journal_editors.h"
#include "desktop/tables/tjournalform.h"
#include "engine/tables/journal_grid.h"
#include "engine/tables/ledger_grid.h"
#include "support/book_window.h"
#include "support/modal_driver.h"
#include "test_registry.h"

namespace desktop_tests {

using desktop::Command;

class UndoCommandsTest : public BookWindowTest {
  Q_OBJECT

 private:
  QAction* Item(Command command) { return window_->Commands().MenuItem(command); }
  std::string Cell(int column, int row) { return std::string(Journal().Cell(column, row)); }
  // Selects the line by its row header, as a click there does.
  void SelectLine(int row) { Journal().MousePress(0, row); }
  void DeleteLine(ModalDriver& driver, QMessageBox::StandardButton answer) {
    driver.Box(answer);
    Item(Command::EditLineDel)->trigger();
    QTRY_VERIFY(driver.Done());
    // The question box had the activation; keys go to the main window again.
    window_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window_.get()));
  }

 private slots:
  void init() {
    StartWindow();
    window_->resize(800, 600);
    OpenBook();
    QVERIFY(window_->Book().IsOpen());
    // Shortcuts reach only the active window.
    window_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window_.get()));
  }
  void cleanup() { StopWindow(); }

  void menuItemsNameTheStepAndFollowTheHistory() {
    QCOMPARE(Item(Command::EditUndo)->text(), QStringLiteral("元に戻す"));
    QVERIFY(!Item(Command::EditUndo)->isEnabled());
    QCOMPARE(Item(Command::EditUndo)->shortcut(), QKeySequence(QStringLiteral("Ctrl+Z")));
    QCOMPARE(Item(Command::EditRedo)->shortcuts(),
             QList<QKeySequence>({QKeySequence(QStringLiteral("Ctrl+Y")),
                                  QKeySequence(QStringLiteral("Ctrl+Shift+Z"))}));
    ModalDriver driver;
    SelectLine(1);
    DeleteLine(driver, QMessageBox::Yes);
    QCOMPARE(driver.Messages(), QStringList({QStringLiteral("この行を削除しますか？")}));
    QCOMPARE(Cell(2, 1), std::string("300"));
    QCOMPARE(Item(Command::EditUndo)->text(), QStringLiteral("元に戻す: 行の削除"));
    QVERIFY(window_->Commands().Offered(Item(Command::EditUndo)));
    QVERIFY(!Item(Command::EditRedo)->isEnabled());

    Item(Command::EditUndo)->trigger();
    QCOMPARE(Cell(2, 1), std::string("1200"));
    QCOMPARE(window_->Book().FindLedger(engine::Sjis("食費"))->Cell(6, 2), std::string("1500"));
    QVERIFY(!window_->Book().Modified());
    QCOMPARE(Item(Command::EditRedo)->text(), QStringLiteral("やり直し: 行の削除"));
    QCOMPARE(Item(Command::EditUndo)->text(), QStringLiteral("元に戻す"));
    Item(Command::EditRedo)->trigger();
    QCOMPARE(Cell(2, 1), std::string("300"));
    QVERIFY(window_->Book().Modified());
    window_->Book().Undo();
  }

  void keysReachTheBookFromTheGridAndFromAnEmptiedEditor() {
    ModalDriver driver;
    SelectLine(2);
    DeleteLine(driver, QMessageBox::Yes);
    QCOMPARE(Journal().RowCount(), 3);
    // The date editor of row 1 is open and has nothing of its own to undo.
    Form().grid->SelectTableCell(1, 1);
    QLineEdit* editor = Form().Editors()->DateEditor();
    QTRY_VERIFY(editor->isVisible());
    editor->setFocus();
    QTRY_VERIFY(editor->hasFocus());
    QTest::keyClick(editor, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(Journal().RowCount(), 4);
    QCOMPARE(Cell(2, 2), std::string("300"));
    QTest::keyClick(Form().grid, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(Journal().RowCount(), 3);
    QTest::keyClick(Form().grid, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(Journal().RowCount(), 4);
    QTest::keyClick(Form().grid, Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(Journal().RowCount(), 3);
    window_->Book().Undo();
  }

  void deleteQuestionCanBeAnsweredNoAndTurnedOff() {
    ModalDriver driver;
    SelectLine(1);
    DeleteLine(driver, QMessageBox::No);
    QCOMPARE(Cell(2, 1), std::string("1200"));
    QVERIFY(!Item(Command::EditUndo)->isEnabled());

    QVERIFY(Item(Command::EditConfirmDelete)->isChecked());
    Item(Command::EditConfirmDelete)->trigger();
    QVERIFY(!Item(Command::EditConfirmDelete)->isChecked());
    QVERIFY(!window_->Settings().ConfirmLineDelete());
    SelectLine(1);
    Item(Command::EditLineDel)->trigger();
    QVERIFY(driver.Unexpected().isEmpty());
    QCOMPARE(Cell(2, 1), std::string("300"));
    window_->Book().Undo();
    Item(Command::EditConfirmDelete)->trigger();
    QVERIFY(window_->Settings().ConfirmLineDelete());
  }
};

REGISTER_DESKTOP_TEST(UndoCommandsTest);

}  // namespace desktop_tests

#include "undo_commands_test.moc"
