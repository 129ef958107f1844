// The household plan's dialogs, each driven once through its main flow from the main window.

#include <QAction>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

#include "desktop/amount/tamounttable.h"
#include "desktop/app/tacc_mdi.h"
#include "desktop/charts/budget_chart_window.h"
#include "desktop/plan/tbudgetdialog.h"
#include "desktop/plan/tnewyeardialog.h"
#include "desktop/plan/trecurringdialog.h"
#include "desktop/plan/trecurringduedialog.h"
#include "desktop_fixture.h"
#include "engine/plan/recurring.h"
#include "engine/tables/journal_grid.h"
#include "engine/tables/ledger_grid.h"
#include "support/book_window.h"
#include "support/modal_driver.h"
#include "test_registry.h"

namespace desktop_tests {

class PlanDialogsTest : public BookWindowTest {
  Q_OBJECT

 private:
  void Trigger(const char* caption) {
    for (QAction* item : window_->PlanItems()) {
      if (item->objectName() == QString::fromUtf8(caption)) {
        item->trigger();
        return;
      }
    }
    QFAIL(caption);
  }
  static QStringList Row(const engine::ResultGrid& grid, int row) {
    QStringList cells;
    for (const auto& cell : grid.rows[static_cast<std::size_t>(row)])
      cells << engine::FromCp932(cell);
    return cells;
  }

 private slots:
  void cleanup() { StopWindow(); }

  void dueLinesAreEnteredAndSkippedWhenTheBookOpens() {
    StartWindow();
    // 食費 500 from 現金 on the 10th, from May: 10 May and 10 June are due on 14 June.
    SampleBook::Write(
        book_->P("定期取引.ini"),
        {"[1]", "amount=500", "debit=" + S("食費"), "summary=" + S("昼食"), "credit=" + S("現金"),
         "frequency=monthly", "interval=1", "day=10", "month=1", "weekday=1", "holiday=asis",
         "start=2025/05/01", "ask=0", "post=1"});
    QStringList dates, afterwards, count;
    ModalDriver driver;
    driver.Then<desktop::trecurringduedialog>([&](desktop::trecurringduedialog* d) {
      for (int row = 0; row < d->grid->rowCount(); ++row) dates << d->grid->item(row, 0)->text();
      count << d->lblcount->text();
      d->grid->selectRow(0);
      d->btnenter->click();
      d->grid->selectRow(0);
      d->btnskip->click();
      afterwards << QString::number(d->grid->rowCount());
      QVERIFY(!d->btnenter->isEnabled());
      d->btnclose->click();
    });
    OpenBook();
    window_->BookOpened();
    QTRY_VERIFY(driver.Done());
    QVERIFY2(driver.Unexpected().isEmpty(), qPrintable(driver.Unexpected().join(", ")));

    QCOMPARE(dates, QStringList({"2025/05/10", "2025/06/10"}));
    QCOMPARE(count, QStringList{"記入していない定期取引: 2 件"});
    QCOMPARE(afterwards, QStringList{"0"});
    engine::Book& book = window_->Book();
    const engine::TJournalGrid& journal = *book.Journal();
    QCOMPARE(engine::FromCp932(std::string(journal.Cell(1, 3))), QStringLiteral("25/05/10"));
    QVERIFY(journal.IsPosted(3));
    QCOMPARE(std::string(book.FindLedger(S("食費"))->Cell(6, 3)), std::string("2000"));
    QVERIFY(book.Modified());
    // Saved with the book, the next opening asks nothing.
    QVERIFY(book.SaveBook());
    book.CloseBook();
    OpenBook();
    engine::RecurringLines lines(book);
    lines.Load();
    QVERIFY(lines.Due(engine::Today()).empty());
  }

  void templateIsSetUpOnceAndFallsDueOnABusinessDay() {
    StartWindow();
    OpenBook();
    QStringList listed;
    ModalDriver driver;
    driver.Then<desktop::trecurringdialog>([&](desktop::trecurringdialog* d) {
      QVERIFY(!d->btnupdate->isEnabled());
      d->edtamount->setText(QStringLiteral("80000"));
      d->cmbdebit->setCurrentText(QStringLiteral("食費"));
      d->cmbcredit->setCurrentText(QStringLiteral("現金"));
      d->cmbsummary->setEditText(QStringLiteral("家賃"));
      d->chklastday->setChecked(true);
      d->cmbholiday->setCurrentIndex(1);  // the business day before
      d->edtstart->setDate(QDate(2025, 5, 1));
      d->btnadd->click();
      d->edtamount->setText(QStringLiteral("90000"));
      d->btnupdate->click();
      for (int i = 0; i < d->lsttemplates->count(); ++i) listed << d->lsttemplates->item(i)->text();
      d->btnclose->click();
    });
    Trigger("定期取引の設定(&T)...");
    QTRY_VERIFY(driver.Done());
    QVERIFY2(driver.Unexpected().isEmpty(), qPrintable(driver.Unexpected().join(", ")));
    QCOMPARE(listed, QStringList{"毎月 末日 食費 / 現金 家賃 90000"});
    engine::RecurringLines lines(window_->Book());
    lines.Load();
    // 31 May 2025 is a Saturday: due on Friday the 30th; June's is not due yet.
    const auto due = lines.Due(engine::Today());
    QCOMPARE(due.size(), std::size_t{1});
    QCOMPARE(due[0].due, QDate(2025, 5, 30));
    QVERIFY(window_->Book().Modified());
  }

  void budgetTableShowsOverrunsInColourAndAsAChart() {
    StartWindow();
    OpenBook();
    QStringList header, food;
    QColor colour;
    // Budget and actual bars per subject, then 食費 month by month: [budget, actual, over].
    QList<QList<double>> bySubject, byMonth;
    ModalDriver driver;
    driver.Then<desktop::tbudgetdialog>([&](desktop::tbudgetdialog* d) {
      QCOMPARE(d->grid->verticalHeaderItem(0)->text(), QStringLiteral("食費"));
      d->grid->item(0, 0)->setText(QStringLiteral("1000"));  // 毎月
      QCOMPARE(d->grid->item(0, 12)->text(), QStringLiteral("1000"));
      d->cmbfirst->setCurrentIndex(5);
      d->cmblast->setCurrentIndex(5);
      d->btntable->click();
    });
    driver.Then<desktop::tamounttable>([&](desktop::tamounttable* t) {
      header = Row(t->Grid(), 0);
      food = Row(t->Grid(), 1);
      colour = t->grid->model()->index(0, 0).data(Qt::BackgroundRole).value<QColor>();
      QVERIFY(!t->grid->model()->index(1, 0).data(Qt::BackgroundRole).isValid());
      t->btngraph->click();
      auto* chart = t->findChild<desktop::BudgetChartWindow*>();
      QVERIFY(chart);
      const auto bars = [chart] {
        QList<double> values;
        auto* series = qobject_cast<QBarSeries*>(chart->Chart()->series().constFirst());
        for (int i = 0; i < series->barSets()[0]->count(); ++i) {
          values << series->barSets()[0]->at(i) << series->barSets()[1]->at(i)
                 << (series->barSets()[1]->isBarSelected(i) ? 1 : 0);
        }
        return values;
      };
      bySubject << bars();
      chart->ShowEntry(0);
      byMonth << bars();
      QTemporaryDir dir;
      QVERIFY(chart->SaveImage(dir.filePath(QStringLiteral("budget.png"))));
      QVERIFY(!QImage(dir.filePath(QStringLiteral("budget.png"))).isNull());
      chart->close();
      t->btnclose->click();
    });
    driver.Then<desktop::tbudgetdialog>([&](desktop::tbudgetdialog* d) { d->btnclose->click(); });
    Trigger("予算と実績(&B)...");
    QTRY_VERIFY(driver.Done());
    QVERIFY2(driver.Unexpected().isEmpty(), qPrintable(driver.Unexpected().join(", ")));
    QCOMPARE(header, QStringList({"科目", "月", "予算", "実績", "差額", "使用率"}));
    QCOMPARE(food, QStringList({"食費", "25/06", "1000", "1500", "-500", "150 %"}));
    QVERIFY(colour.isValid());
    QCOMPARE(bySubject, QList<QList<double>>({{1000, 1500, 1}}));
    QCOMPARE(byMonth, QList<QList<double>>({{1000, 1500, 1}}));
    QVERIFY(window_->Book().Modified());
  }

  void newYearBookIsCreatedAndOpened() {
    StartWindow();
    OpenBook();
    QStringList subjects, balances;
    QString name;
    ModalDriver driver;
    driver.Then<desktop::tnewyeardialog>([&](desktop::tnewyeardialog* d) {
      name = d->edtname->text();
      for (int row = 0; row < d->grid->rowCount(); ++row) {
        subjects << d->grid->item(row, 0)->text();
        balances << d->grid->item(row, 1)->text();
      }
      QCOMPARE(d->cmbopening->currentText(), QStringLiteral("元入金"));
      d->grid->item(1, 0)->setCheckState(Qt::Checked);  // 現金
      d->btncreate->click();
    });
    driver.Box(QMessageBox::Yes);
    Trigger("年度の繰越(&Y)...");
    QTRY_VERIFY(driver.Done());
    QVERIFY2(driver.Unexpected().isEmpty(), qPrintable(driver.Unexpected().join(", ")));

    QCOMPARE(name, QStringLiteral("家計2026"));
    QCOMPARE(subjects, QStringList({"食費", "現金"}));
    QCOMPARE(balances, QStringList({"1500", "-1500"}));
    engine::Book& book = window_->Book();
    QCOMPARE(engine::FromCp932(book.Name()), QStringLiteral("家計2026"));
    const engine::TJournalGrid& journal = *book.Journal();
    QCOMPARE(engine::FromCp932(
                 std::string(journal.Cell(1, 1)) + "|" + std::string(journal.Cell(3, 1)) + "|" +
                 std::string(journal.Cell(5, 1)) + "|" + std::string(journal.Cell(6, 1))),
             QStringLiteral("26/01/01|元入金|現金|1500"));
    // A credit balance is carried as a credit: the ledger starts where the old one ended.
    QCOMPARE(std::string(book.FindLedger(S("現金"))->Cell(6, 1)), std::string("-1500"));
    QVERIFY(!book.Modified());
  }
};

REGISTER_DESKTOP_TEST(PlanDialogsTest);

}  // namespace desktop_tests

#include "plan_dialogs_test.moc"
