// The aggregation commands, their dialogs, the result table and the text window, driven from
// the main window's menu on the sample book.

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QHelpEvent>
#include <QListWidget>
#include <QLocale>
#include <QMdiArea>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QToolTip>
#include <memory>

#include "desktop/amount/tamountcomparedialog.h"
#include "desktop/amount/tamounttable.h"
#include "desktop/amount/tamounttabledialog.h"
#include "desktop/amount/teditform.h"
#include "desktop/app/tacc_mdi.h"
#include "desktop/tables/tbookform.h"
#include "desktop_fixture.h"
#include "engine/app/profile.h"
#include "engine/base/date.h"
#include "engine/tables/ledger_grid.h"
#include "support/book_window.h"
#include "support/modal_driver.h"
#include "test_registry.h"

namespace desktop_tests {

using desktop::Command;

class AggregationWindowsTest : public BookWindowTest {
  Q_OBJECT

 private:

  void Start() {
    StartWindow();
    OpenBook();
  }
  void Run(Command command) { window_->Commands().MenuItem(command)->trigger(); }
  QString SettingsPath() const { return engine::PathFromCp932(book_->P("集計設定.txt")); }

  // Each data row's cells joined by "|".
  static QStringList Rows(const engine::ResultGrid& grid) {
    QStringList rows;
    for (const auto& row : grid.rows) {
      QStringList cells;
      for (const auto& cell : row) cells << engine::FromCp932(cell);
      rows << cells.join(QLatin1Char('|'));
    }
    return rows;
  }
  static QStringList Items(QComboBox* box) {
    QStringList items;
    for (int i = 0; i < box->count(); ++i) items << box->itemText(i);
    return items;
  }
  static QStringList Items(QListWidget* list) {
    QStringList items;
    for (int i = 0; i < list->count(); ++i) items << list->item(i)->text();
    return items;
  }

 private slots:
  void cleanup() {
    StopWindow();
  }

  void tableAggregationShowsSavesAndOutputs() {
    Start();
    const QString saved = QDir(engine::PathFromCp932(book_->Root())).filePath("out");
    QStringList months, subjects, rows, text, afterReopen;
    ModalDriver driver;
    driver.Then<desktop::tamounttabledialog>([&](desktop::tamounttabledialog* d) {
      months = Items(d->lstfirst);
      subjects = Items(d->cmbname);
      QVERIFY(d->chkdebtor->isChecked() && d->chkcredit->isChecked() && !d->chkmark->isChecked());
      d->cmbname->setEditText(QStringLiteral("食費"));
      d->btnright->click();
      d->btninsert->click();
      d->cmbname->setEditText(QStringLiteral("生活費"));
      d->btndown->click();
      d->btnup->click();
      d->btnok->click();
    });
    driver.Then<desktop::tamounttable>([&](desktop::tamounttable* t) {
      QCOMPARE(t->windowTitle(), QStringLiteral("集計表"));
      rows = Rows(t->Grid());
      // An edited cell reaches the output as it stands.
      t->grid->model()->setData(t->grid->model()->index(0, 0), QStringLiteral("計,全部"));
      t->btncsv->click();
      t->btnclose->click();
    });
    driver.Then<desktop::teditform>([&](desktop::teditform* e) {
      text = e->memo->toPlainText().split('\n');
      e->btnsave->click();
      e->btnclose->click();
    });
    driver.File(saved);
    Run(Command::AmountTable);
    // Queued only now: the first dialog, still closing, would otherwise take this step.
    driver.Then<desktop::tamounttabledialog>([&](desktop::tamounttabledialog* d) {
      afterReopen = Items(d->lsttable);
      d->btncancel->click();
    });
    Run(Command::AmountTable);
    QTRY_VERIFY(driver.Done());
    QVERIFY2(driver.Unexpected().isEmpty(), qPrintable(driver.Unexpected().join(", ")));

    QCOMPARE(months, QStringList{"25/06"});
    QCOMPARE(subjects, QStringList({"現金", "食費"}));
    QCOMPARE(rows, QStringList({"科目|借方金額||貸方金額||差引残高", "生活費|1500||0||1500",
                                " 食費|1500|100 %|0||1500"}));
    QCOMPARE(text, QStringList({"科目,借方金額,,貸方金額,,差引残高", "計,全部,1500,,0,,1500",
                                " 食費,1500,100 %,0,,1500"}));
    QCOMPARE(afterReopen, QStringList({"生活費", "･･･食費"}));
    // The text window wrote exactly what it showed, CP932 with CR LF, under the typed name.
    QCOMPARE(engine::ReadFileBytes(saved),
             engine::Sjis("科目,借方金額,,貸方金額,,差引残高\r\n計,全部,1500,,0,,1500\r\n"
                          " 食費,1500,100 %,0,,1500\r\n"));
    QCOMPARE(engine::Profile(SettingsPath()).Read("table", "1"), engine::Sjis("･･･食費,1,1,0"));
  }

  void compareAggregationWritesTheMonthsBehindNames() {
    Start();
    QStringList rows, reopened;
    bool monthOptionStartsClear = false;
    const QString dateFormat = QLocale().dateFormat(QLocale::ShortFormat);
    QString dateFormatWhileOpen;
    ModalDriver driver;
    driver.Then<desktop::tamountcomparedialog>([&](desktop::tamountcomparedialog* d) {
      // The dialog's "yy/mm" texts are its own; the program's date format stays as it was.
      dateFormatWhileOpen = QLocale().dateFormat(QLocale::ShortFormat);
      monthOptionStartsClear = !d->chkmonthout->isChecked();
      QCOMPARE(Items(d->lstfirst), QStringList{"25/06"});
      QCOMPARE(d->lstfirst->currentText(), QStringLiteral("25/06"));
      d->cmbname->setEditText(QStringLiteral("食費"));
      d->chkcredit->click();
      d->btninsert->click();
      d->cmbname->setEditText(QStringLiteral("見出し"));
      d->chkmonthout->click();
      d->btnok->click();
    });
    driver.Then<desktop::tamounttable>([&](desktop::tamounttable* t) {
      rows = Rows(t->Grid());
      t->btnclose->click();
    });
    Run(Command::AmountCompare);
    // The settings outlive the book's closing and reopening.
    window_->Book().CloseBook();
    window_->Book().OpenBook(book_->Index());
    driver.Then<desktop::tamountcomparedialog>([&](desktop::tamountcomparedialog* d) {
      reopened = Items(d->lsttable);
      d->lsttable->setCurrentRow(1);
      reopened << d->cmbname->currentText() << d->lstfirst->currentText()
               << (d->chkcredit->isChecked() ? "credit" : "no credit");
      d->btncancel->click();
    });
    Run(Command::AmountCompare);
    QTRY_VERIFY(driver.Done());
    QVERIFY2(driver.Unexpected().isEmpty(), qPrintable(driver.Unexpected().join(", ")));
    QVERIFY(monthOptionStartsClear);
    QCOMPARE(dateFormatWhileOpen, dateFormat);
    QCOMPARE(reopened, QStringList({"見出し", "食費", "食費", "25/06", "no credit"}));
    QCOMPARE(rows, QStringList({"科目|借方金額||貸方金額||差引残高", "見出し|0||0||0",
                                "食費 25/06|1500||0||1500"}));
    QCOMPARE(engine::Profile(SettingsPath()).Read("compare", "1"),
             engine::Sjis("食費,25/06,25/06,1,0,0"));
  }

  void aFailedAggregationIsReported() {
    Start();
    engine::Profile(SettingsPath()).Write("compare", "0", engine::Sjis("食費,25/13,25/13,1,1,0"));
    QString shownMonth;
    ModalDriver driver;
    driver.Then<desktop::tamountcomparedialog>([&](desktop::tamountcomparedialog* d) {
      // A stored month outside the list shows as the list's first month.
      shownMonth = d->lstfirst->currentText();
      d->btnok->click();
    });
    driver.Box();
    Run(Command::AmountCompare);
    QTRY_VERIFY(driver.Done());
    QCOMPARE(shownMonth, QStringLiteral("25/06"));
    QCOMPARE(driver.Messages(), QStringList{"集計に失敗しました"});
  }

  void aDateThatDoesNotReadNamesAndSelectsItsRow() {
    Start();
    engine::TLedgerGrid& food = window_->Book().LedgerAt(0);
    food.SetCell(1, 2, "25/06/31");  // as a file edited by hand may hold it
    ModalDriver driver;
    driver.Then<desktop::tamounttabledialog>([&](desktop::tamounttabledialog* d) {
      d->cmbname->setEditText(QStringLiteral("食費"));
      d->btnok->click();
    });
    driver.Box();
    Run(Command::AmountTable);
    QTRY_VERIFY(driver.Done());
    QCOMPARE(driver.Messages(),
             QStringList{"集計に失敗しました\n'25/06/31' は日付ではありません（食費 の 2 行目）"});
    QCOMPARE(food.SelectedLine(), 2);
    QCOMPARE(window_->MdiArea()->currentSubWindow(), window_->FormOf(food));
  }

  void bookTablesGoToTheTextWindow() {
    Start();
    QStringList text, csv;
    ModalDriver driver;
    driver.Then<desktop::teditform>([&](desktop::teditform* e) {
      text = e->memo->toPlainText().split('\n');
      QCOMPARE(e->size(), window_->size());
      e->btnclose->click();
    });
    driver.Then<desktop::teditform>([&](desktop::teditform* e) {
      csv = e->memo->toPlainText().split('\n');
      e->btnclose->click();
    });
    Run(Command::FileTextOut);
    Run(Command::FileCSVOut);
    QTRY_VERIFY(driver.Done());
    // The journal is the active child right after opening; its empty last row is left out.
    QCOMPARE(text, QStringList({"25/06/01\t1200\t食費\t昼食\t現金\t1200",
                                "25/06/02\t300\t食費\tパン\t現金\t300"}));
    QCOMPARE(csv,
             QStringList({"25/06/01,1200,食費,昼食,現金,1200", "25/06/02,300,食費,パン,現金,300"}));
  }

  void resultColumnsFollowTheGridWidth() {
    struct Case {
      int clientWidth, name, amount, share;
    };
    // The name column's share of 375 and 425 is 82.5 and 93.5: halves go to the even width.
    const Case cases[] = {{375, 82, 75, 30}, {425, 94, 85, 34}, {400, 88, 80, 32}};
    desktop::tamounttable table(engine::ResultGrid(), nullptr);
    table.show();
    QVERIFY(QTest::qWaitForWindowExposed(&table));
    for (const Case& c : cases) {
      // Widen the window until the grid's client area has the wanted width.
      for (int tries = 0; tries < 3 && table.grid->viewport()->width() != c.clientWidth; ++tries)
        table.resize(table.width() + c.clientWidth - table.grid->viewport()->width(), 432);
      QCOMPARE(table.grid->viewport()->width(), c.clientWidth);
      QCOMPARE(table.grid->columnWidth(0), c.name);
      for (int column : {1, 3, 5}) QCOMPARE(table.grid->columnWidth(column), c.amount);
      for (int column : {2, 4}) QCOMPARE(table.grid->columnWidth(column), c.share);
      QCOMPARE(table.grid->width(), table.width() - 8);
    }
  }

  void aCutShortCellShowsItsTextAsToolTip() {
    engine::ResultGrid result;
    result.rows.push_back({"A", "3", "", "0", "", "3"});
    result.rows.push_back({" B", "1", "33.3 %", "0", "", "1"});
    desktop::tamounttable table(std::move(result), nullptr);
    table.show();
    QVERIFY(QTest::qWaitForWindowExposed(&table));
    const auto hover = [&](int row, int column) {
      const QPoint centre = table.grid->visualRect(table.grid->model()->index(row, column)).center();
      QHelpEvent event(QEvent::ToolTip, centre, table.grid->viewport()->mapToGlobal(centre));
      QApplication::sendEvent(table.grid->viewport(), &event);
    };
    hover(1, 2);
    QTRY_VERIFY(QToolTip::isVisible());
    QCOMPARE(QToolTip::text(), QStringLiteral("33.3 %"));
    // A name that fits gets none.
    hover(0, 0);
    QTRY_VERIFY(!QToolTip::isVisible());
  }

  void aFailedSaveKeepsTheTextWindowOpen() {
    Start();
    bool stillOpen = false;
    QString kept;
    ModalDriver driver;
    driver.Then<desktop::teditform>([&](desktop::teditform* e) {
      e->memo->setPlainText(QStringLiteral("編集した\t文"));
      e->btnsave->click();
      stillOpen = e->isVisible();
      kept = e->memo->toPlainText();
      e->btnclose->click();
    });
    // No file can be made in /proc, so the write fails after the name was chosen.
    driver.File(QStringLiteral("/proc/zentabo-test.txt"));
    driver.Box();
    Run(Command::FileTextOut);
    QTRY_VERIFY(driver.Done());
    QVERIFY(stillOpen);
    QCOMPARE(kept, QStringLiteral("編集した\t文"));
    QCOMPARE(driver.Messages().size(), 1);
    QVERIFY(driver.Messages().front().contains(QStringLiteral("書き込めません")));
  }
};

REGISTER_DESKTOP_TEST(AggregationWindowsTest);

}  // namespace desktop_tests

#include "aggregation_windows_test.moc"
