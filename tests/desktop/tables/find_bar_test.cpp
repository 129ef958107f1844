// The find bar and the filter driven from the keyboard over an opened book.
#include "desktop/tables/find_bar.h"

#include <QAction>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QStatusBar>
#include <QTest>
#include <QToolButton>

#include "desktop/app/tacc_mdi.h"
#include "desktop/tables/acc_grid_view.h"
#include "desktop/tables/row_filter.h"
#include "desktop/tables/tbookform.h"
#include "engine/tables/journal_grid.h"
#include "support/book_window.h"
#include "test_registry.h"

namespace desktop_tests {

class FindBarTest : public BookWindowTest {
  Q_OBJECT

 private:
  desktop::FindBar& Bar() { return *window_->Finder(); }
  QString Count() { return Bar().findChild<QLabel*>(QStringLiteral("findCount"))->text(); }
  void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(QApplication::focusWidget(), key, modifiers);
  }
  void WaitForCount() { QTRY_VERIFY(!Bar().Counting()); }

  // Lines 1 and 3 are lunches (one typed in full width), 2 and 4 are not.
  void Start() {
    auto book = std::make_unique<SampleBook>();
    SampleBook::Write(book->P("仕訳帳.txt"), {S("25/06/01\t1200\t食費\t昼食 ABC\t現金\t1200"),
                                              S("25/06/02\t300\t食費\tパン\t現金\t300"),
                                              S("25/06/03\t900\t食費\t昼食 ａｂｃ\t現金\t900"),
                                              S("25/05/30\t500\t食費\t夕食\t現金\t500")});
    StartWindow(std::move(book));
    OpenBook();
    window_->FormOf(Journal())->setFocus();
  }

 private slots:
  void cleanup() { StopWindow(); }

  void keysGoToTheNextAndPreviousMatchAndWrapAround() {
    Start();
    QTest::keyClick(window_.get(), Qt::Key_F, Qt::ControlModifier);
    QVERIFY(Bar().isVisible());
    auto* text = Bar().findChild<QLineEdit*>(QStringLiteral("findText"));
    QCOMPARE(QApplication::focusWidget(), text);
    QTest::keyClicks(text, QStringLiteral("abc"));
    WaitForCount();
    struct Step {
      Qt::Key key;
      Qt::KeyboardModifiers modifiers;
      int line;
      const char* count;
    };
    const Step steps[] = {{Qt::Key_Return, Qt::NoModifier, 1, "1 / 2"},
                          {Qt::Key_Return, Qt::NoModifier, 3, "2 / 2"},
                          {Qt::Key_Enter, Qt::NoModifier, 1, "1 / 2"},
                          {Qt::Key_Return, Qt::ShiftModifier, 3, "2 / 2"},
                          {Qt::Key_F3, Qt::ShiftModifier, 1, "1 / 2"},
                          {Qt::Key_F3, Qt::NoModifier, 3, "2 / 2"}};
    for (const Step& step : steps) {
      Key(step.key, step.modifiers);
      QCOMPARE(Journal().SelectedLine(), step.line);
      QCOMPARE(Count(), QString::fromUtf8(step.count));
    }
    // A malformed pattern is explained in the bar; nothing moves.
    Bar().findChild<QCheckBox*>(QStringLiteral("findPattern"))->setChecked(true);
    text->setFocus();
    QTest::keyClicks(text, QStringLiteral("("));
    QVERIFY(!Count().contains(QLatin1Char('/')));
    Key(Qt::Key_Return);
    QCOMPARE(Journal().SelectedLine(), 3);
    Key(Qt::Key_Escape);
    QVERIFY(!Bar().isVisible());
  }

  void filterHidesOtherLinesThroughSortingUntilCleared() {
    Start();
    window_->findChild<QAction*>(QStringLiteral("mnuFind"))->trigger();
    auto* text = Bar().findChild<QLineEdit*>(QStringLiteral("findText"));
    // Typed as an input method delivers it: one key event carrying the text.
    QKeyEvent typed(QEvent::KeyPress, 0, Qt::NoModifier, QStringLiteral("昼食"));
    QApplication::sendEvent(text, &typed);
    Key(Qt::Key_Return);
    QCOMPARE(Journal().SelectedLine(), 1);
    auto* filter = Bar().findChild<QToolButton*>(QStringLiteral("findFilter"));
    filter->click();
    const auto hiddenLines = [this] {
      QStringList hidden;
      for (int r = 1; r < Journal().RowCount(); ++r) {
        if (Grid().isRowHidden(r - 1)) hidden << engine::FromCp932(Journal().Cell(4, r));
      }
      return hidden;
    };
    QCOMPARE(hiddenLines(), QStringList({"パン", "夕食"}));
    auto* panel = window_->statusBar()->findChild<QLabel*>(QStringLiteral("filterPanel"));
    QCOMPARE(panel->text(), QStringLiteral("絞り込み: 2 行を非表示"));

    // Sorting with the filter on sorts every line, and the filter follows the new order.
    const int rows = Journal().RowCount();
    window_->Commands().MenuItem(desktop::Command::OperateSort)->trigger();
    QCOMPARE(Journal().RowCount(), rows);
    QCOMPARE(engine::FromCp932(Journal().Cell(4, 1)), QStringLiteral("夕食"));
    // 夕食 moved under the focused cell, and the line being worked on stays shown.
    QCOMPARE(Journal().FocusedRow(), 1);
    QCOMPARE(hiddenLines(), QStringList({"パン"}));

    filter->click();
    QVERIFY(hiddenLines().isEmpty());
    QVERIFY(panel->text().isEmpty());
  }

  void filterFollowsTheTypedConditionOncePausedAndDropsWhatTypingOvertook() {
    Start();
    window_->findChild<QAction*>(QStringLiteral("mnuFind"))->trigger();
    auto* text = Bar().findChild<QLineEdit*>(QStringLiteral("findText"));
    auto* filter = Bar().findChild<QToolButton*>(QStringLiteral("findFilter"));
    QTest::keyClicks(text, QStringLiteral("abc"));
    filter->click();
    const auto hiddenRows = [this] {
      QList<int> hidden;
      for (int r = 1; r < Journal().RowCount(); ++r) {
        if (Grid().isRowHidden(r - 1)) hidden << r;
      }
      return hidden;
    };
    QCOMPARE(hiddenRows(), QList<int>({2, 4}));
    int refilters = 0;
    connect(desktop::RowFilter::Of(Grid(), false), &desktop::RowFilter::changed, this,
            [&refilters] { ++refilters; });
    // Each key restarts the pause: the lines stay as they were while the user types, and the
    // texts on the way ("", "パ") never reach them.
    struct Edit {
      const char* text;
      bool pattern;
      QList<int> hidden;
      int refilters;
    };
    const Edit edits[] = {{"パン", false, {1, 3, 4}, 1},
                          {"ＡＢＣ", false, {2, 4}, 1},
                          {"昼食|パン", true, {4}, 1},
                          {"(", true, {4}, 0},  // malformed: the lines stay, the bar says why
                          {"", true, {}, 1}};
    for (const Edit& edit : edits) {
      Bar().findChild<QCheckBox*>(QStringLiteral("findPattern"))->setChecked(edit.pattern);
      const QList<int> before = hiddenRows();
      refilters = 0;
      text->selectAll();
      QTest::keyClick(text, Qt::Key_Backspace);
      for (const QChar c : QString::fromUtf8(edit.text)) {
        QKeyEvent typed(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(text, &typed);
      }
      QVERIFY(Bar().FilterPending());
      QTest::qWait(100);
      QCOMPARE(hiddenRows(), before);
      QTRY_VERIFY(!Bar().FilterPending());
      QCOMPARE(hiddenRows(), edit.hidden);
      QCOMPARE(refilters, edit.refilters);
    }
    // Emptied, the condition shows every line and switches the filter off.
    QVERIFY(!filter->isChecked());
  }
};

REGISTER_DESKTOP_TEST(FindBarTest);

}  // namespace desktop_tests

#include "find_bar_test.moc"
