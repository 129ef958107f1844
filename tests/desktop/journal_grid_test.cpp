// The journal window as the user types into it: the in-place editors, the entry rules as the
// grid shows them, posting and jumping to a ledger and back, the row marks and row dragging.

#include "engine/tables/journal_grid.h"

#include <QComboBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMouseEvent>
#include <QTest>
#include <memory>

#include "desktop/app/tacc_mdi.h"
#include "desktop/tables/acc_grid_view.h"
#include "desktop/tables/grid_header.h"
#include "desktop/tables/journal_editors.h"
#include "desktop/tables/tjournalform.h"
#include "desktop_fixture.h"
#include "engine/base/date.h"
#include "engine/tables/ledger_grid.h"
#include "support/book_window.h"
#include "test_registry.h"

namespace desktop_tests {

using desktop::Command;

class JournalGridTest : public BookWindowTest {
  Q_OBJECT

 private:

  desktop::JournalEditors& Editors() { return *Form().Editors(); }
  QLineEdit& DateEditor() { return *Editors().DateEditor(); }
  std::string Cell(int column, int row) { return std::string(Journal().Cell(column, row)); }
  QString Panel(int i) { return window_->StatusPanel(i)->text(); }

  // The point in the row header's viewport at the middle of a table row.
  QPoint RowHeaderPoint(int row) {
    QHeaderView* header = Grid().verticalHeader();
    return {header->width() / 2,
            header->sectionViewportPosition(row - 1) + header->sectionSize(row - 1) / 2};
  }
  // Key presses carrying any text, Japanese included, as an input method would send them.
  static void Type(QWidget* widget, const QString& text) {
    for (const QChar c : text) {
      QKeyEvent press(QEvent::KeyPress, c.isDigit() ? Qt::Key_0 + c.digitValue() : 0,
                      Qt::NoModifier, QString(c));
      QApplication::sendEvent(widget, &press);
      QKeyEvent release(QEvent::KeyRelease, press.key(), Qt::NoModifier, QString(c));
      QApplication::sendEvent(widget, &release);
    }
  }
  void TypeAndTab(QWidget* editor, const QString& text) {
    Type(editor, text);
    QTest::keyClick(editor, Qt::Key_Tab);
  }
  void PressRowHeader(int row) {
    QTest::mousePress(Grid().verticalHeader()->viewport(), Qt::LeftButton, {}, RowHeaderPoint(row));
    QTest::mouseRelease(Grid().verticalHeader()->viewport(), Qt::LeftButton, {},
                        RowHeaderPoint(row));
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
  }

  void openingLeavesTheDateEditorOnTheNewLine() {
    QCOMPARE(Journal().RowCount(), 4);  // heading, two lines, the empty line to type into
    QCOMPARE(Journal().OpenEditorKind(), engine::TJournalGrid::EditorKind::Date);
    QVERIFY(DateEditor().isVisible());
    const QRect cell = Grid().CellRect(1, 3);
    QCOMPARE(DateEditor().geometry().topLeft(), cell.topLeft());
    QCOMPARE(Panel(1), QStringLiteral("cell ( 1 : 3 )"));
  }

  void typingALineFillsTheJournal() {
    TypeAndTab(&DateEditor(), "5");
    QCOMPARE(Cell(1, 3), "25/06/05");
    QCOMPARE(Journal().CurrentColumn(), 2);
    TypeAndTab(&DateEditor(), "800");
    QCOMPARE(Cell(2, 3), "800");
    QCOMPARE(Cell(6, 3), "800");

    QComboBox* subjects = Editors().SubjectChooser();
    QVERIFY(subjects->isVisible());
    QVERIFY(subjects->isEditable());  // typing completes a subject
    QCOMPARE(subjects->count(), 2);
    subjects->setCurrentIndex(subjects->findText(QStringLiteral("食費")));
    QTest::keyClick(subjects, Qt::Key_Tab);
    QCOMPARE(Cell(3, 3), S("食費"));
    QCOMPARE(Cell(5, 3), S("現金"));  // the counterpart fills the empty credit side

    QComboBox* summaries = Editors().SummaryChooser();
    QVERIFY(summaries->isVisible());
    TypeAndTab(summaries->lineEdit(), QStringLiteral("夕食"));
    QCOMPARE(Cell(4, 3), S("夕食"));
    // Escape closes the credit chooser without storing its choice.
    Editors().SubjectChooser()->setCurrentIndex(Editors().SubjectChooser()->findText("食費"));
    QTest::keyClick(Editors().SubjectChooser(), Qt::Key_Escape);
    QCOMPARE(Journal().OpenEditorKind(), engine::TJournalGrid::EditorKind::None);
    QCOMPARE(Cell(5, 3), S("現金"));
    QVERIFY(!Journal().IsPosted(3));
    QVERIFY(window_->Book().Modified());

    // Post the line, visit its debit ledger row and come back.
    PressRowHeader(3);
    QCOMPARE(Journal().SelectedLine(), 3);
    QCOMPARE(Panel(2), QStringLiteral("3 行目選択"));
    window_->Commands().ToolButton(Command::OperatePost)->trigger();
    QVERIFY(Journal().IsPosted(3));
    engine::TLedgerGrid& food = window_->Book().LedgerAt(0);
    QCOMPARE(food.Cell(1, 3), std::string_view("25/06/05"));
    QCOMPARE(food.Cell(6, 3), std::string_view("2300"));

    window_->Commands().MenuItem(Command::GoToDebtor)->trigger();
    auto* foodForm = window_->FormOf(food);
    QCOMPARE(window_->MdiArea()->currentSubWindow(), foodForm);
    QVERIFY(!foodForm->IsMinimized());
    QCOMPARE(food.SelectedLine(), 3);
    QCOMPARE(Panel(0), QStringLiteral("食費"));

    window_->Commands().MenuItem(Command::GoToJournal)->trigger();
    QCOMPARE(window_->MdiArea()->currentSubWindow(), &Form());
    QCOMPARE(Journal().SelectedLine(), 3);
  }

  void datesAreCompletedOrRefused_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("stored");
    QTest::newRow("day alone") << "5"
                               << "25/06/05";
    QTest::newRow("month and day") << "3/7"
                                   << "25/03/07";
    QTest::newRow("one-digit month") << "24/1/9"
                                     << "24/01/09";
    QTest::newRow("one-digit day") << "24/11/9"
                                   << "24/11/09";
    QTest::newRow("four-digit year") << "2024/1/9"
                                     << "24/01/09";
    QTest::newRow("no such day in February") << "27/2/30"
                                             << "";
    QTest::newRow("no such month") << "13/5"
                                   << "";
    QTest::newRow("no such day") << "32"
                                 << "";
  }

  void datesAreCompletedOrRefused() {
    QFETCH(QString, typed);
    QFETCH(QString, stored);
    ModalAnswers answers;
    TypeAndTab(&DateEditor(), typed);
    QCOMPARE(QString::fromStdString(Cell(1, 3)), stored);
    if (stored.isEmpty()) {
      QCOMPARE(answers.Texts(), QStringList{"日付は yy/mm/dd の形式で入力してください"});
      // The refused text is gone and the cell can be typed into again.
      QCOMPARE(Journal().OpenEditorKind(), engine::TJournalGrid::EditorKind::None);
    } else {
      QVERIFY(answers.Texts().isEmpty());
    }
  }

  void textOutsideCp932IsRefusedWhereItIsTyped() {
    ModalAnswers answers;
    Type(&DateEditor(), QStringLiteral("한"));
    QCOMPARE(answers.Texts().size(), 1);
    QVERIFY(answers.Texts()[0].contains(QStringLiteral("한")));
    QCOMPARE(DateEditor().text(), QString());
    QCOMPARE(Journal().EditorText(), std::string());
  }

  void refusedCharactersLeaveTheRestOfTheTypedText() {
    // One key event per character, as an input method commits a pair of surrogates.
    const auto commit = [](QWidget* widget, const QString& text) {
      QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, text);
      QApplication::sendEvent(widget, &press);
    };
    ModalAnswers answers;
    TypeAndTab(&DateEditor(), QString());
    QCOMPARE(Journal().CurrentColumn(), 2);
    Type(&DateEditor(), QStringLiteral("12"));
    commit(&DateEditor(), QStringLiteral("🍣"));
    Type(&DateEditor(), QStringLiteral("3"));
    QCOMPARE(DateEditor().text(), QStringLiteral("123"));
    QCOMPARE(answers.Texts(),
             QStringList{"「🍣」はシフト JIS (CP932) で表せない文字のため使用できません"});
    QTest::keyClick(&DateEditor(), Qt::Key_Tab);
    QCOMPARE(Cell(2, 3), "123");

    QTest::keyClick(Editors().SubjectChooser(), Qt::Key_Tab);
    QLineEdit* summary = Editors().SummaryChooser()->lineEdit();
    Type(summary, QStringLiteral("夕食"));
    summary->setCursorPosition(1);
    commit(summary, QStringLiteral("𠮷🍣"));
    Type(summary, QStringLiteral("の"));
    QCOMPARE(summary->text(), QStringLiteral("夕の食"));
    QCOMPARE(answers.Texts().size(), 2);
    QCOMPARE(answers.Texts()[1],
             QStringLiteral("「𠮷」「🍣」はシフト JIS (CP932) で表せない文字のため使用できません"));
    QTest::keyClick(summary, Qt::Key_Tab);
    QCOMPARE(Cell(4, 3), S("夕の食"));
  }

  void typingOnACellWithoutEditorOpensIt() {
    QTest::keyClick(&DateEditor(), Qt::Key_Escape);
    QCOMPARE(Journal().OpenEditorKind(), engine::TJournalGrid::EditorKind::None);
    QCOMPARE(Cell(1, 3), "");
    Type(&Grid(), "7");
    QCOMPARE(Journal().OpenEditorKind(), engine::TJournalGrid::EditorKind::Date);
    QCOMPARE(DateEditor().text(), QStringLiteral("7"));
    QTest::keyClick(&DateEditor(), Qt::Key_Return);
    QCOMPARE(Cell(1, 3), "25/06/07");
  }

  void arrowsMoveBetweenCells() {
    QTest::keyClick(&DateEditor(), Qt::Key_Up);
    QCOMPARE(Journal().CurrentRow(), 2);
    QCOMPARE(DateEditor().text(), QStringLiteral("25/06/02"));
    // Inside a text Left moves the cursor; at its start it moves to the cell before.
    DateEditor().setCursorPosition(3);
    QTest::keyClick(&DateEditor(), Qt::Key_Left);
    QCOMPARE(Journal().CurrentColumn(), 1);
    DateEditor().setCursorPosition(DateEditor().text().size());
    QTest::keyClick(&DateEditor(), Qt::Key_Right);
    QCOMPARE(Journal().CurrentColumn(), 2);
    QTest::keyClick(&DateEditor(), Qt::Key_Down);
    QCOMPARE(Journal().CurrentRow(), 3);
    QCOMPARE(Journal().CurrentColumn(), 2);
    QCOMPARE(Cell(1, 2), "25/06/02");  // passing through changed nothing
    QVERIFY(!window_->Book().Modified());
  }

  void aRefusedCommitSwallowsTheMousePress() {
    Type(&DateEditor(), "99");
    const QModelIndex before = Grid().currentIndex();
    ModalAnswers answers;
    const QRect target = Grid().CellRect(2, 1);
    QTest::mouseClick(Grid().viewport(), Qt::LeftButton, {}, target.center());
    QCOMPARE(answers.Texts().size(), 1);
    QCOMPARE(Grid().currentIndex(), before);
    QCOMPARE(Cell(1, 3), "");
    QCOMPARE(Journal().CurrentRow(), 3);
  }

  void draggingARowByItsHeaderMovesTheLine() {
    QWidget* header = Grid().verticalHeader()->viewport();
    QTest::mousePress(header, Qt::LeftButton, {}, RowHeaderPoint(1));
    QMouseEvent move(QEvent::MouseMove, RowHeaderPoint(2), header->mapToGlobal(RowHeaderPoint(2)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(header, &move);
    QTest::mouseRelease(header, Qt::LeftButton, {}, RowHeaderPoint(2));
    QCOMPARE(Cell(1, 1), "25/06/02");
    QCOMPARE(Cell(1, 2), "25/06/01");
    QCOMPARE(Journal().SelectedLine(), 2);
    QCOMPARE(Panel(1), QStringLiteral("cell ( 0 : 2 )"));
    QCOMPARE(Panel(2), QStringLiteral("2 行目選択"));
    QVERIFY(window_->Book().Modified());
    // Both lines keep their posted state through the move.
    QVERIFY(Journal().IsPosted(1));
    QVERIFY(Journal().IsPosted(2));
  }

  void marksArePaintedOnTheGrid() {
    TypeAndTab(&DateEditor(), "5");  // row 3 becomes an unposted line
    PressRowHeader(1);
    QCOMPARE(Journal().SelectedLine(), 1);
    QHeaderView* header = Grid().verticalHeader();
    const QImage rows = header->viewport()->grab().toImage();
    const auto colourAt = [&](int row) {
      return QColor(rows.pixel(RowHeaderPoint(row) * rows.devicePixelRatio()));
    };
    QCOMPARE(colourAt(1), desktop::AccGridView::SelectedLineColour());
    QCOMPARE(colourAt(2), desktop::GridHeader::HeadingColour());
    QCOMPARE(colourAt(3), desktop::AccGridView::UnpostedColour());
    // The selected line's frame runs along the top edge of its data cells.
    const QImage cells = Grid().viewport()->grab().toImage();
    const QRect first = Grid().CellRect(1, 1);
    int red = 0;
    for (int x = first.left(); x < first.right(); ++x)
      if (QColor(cells.pixel(x, first.top())) == QColor(Qt::red)) ++red;
    QVERIFY(red > 2);
  }
};

REGISTER_DESKTOP_TEST(JournalGridTest);

}  // namespace desktop_tests

#include "journal_grid_test.moc"
