#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>
#include <QTableWidget>
#include <QTest>

#include "desktop/import/preview_model.h"
#include "desktop/import/timportdialog.h"
#include "desktop/import/timportrulesdialog.h"
#include "engine/base/cp932.h"
#include "engine/base/text_file.h"
#include "engine/import/import_rules.h"
#include "engine/tables/journal_grid.h"
#include "support/book_fixture.h"
#include "support/modal_driver.h"
#include "test_registry.h"

using desktop::PreviewModel;
using desktop::timportdialog;
using desktop_tests::BookFixture;
using desktop_tests::ModalDriver;

namespace {

QString Statement(const char* name) {
  return QStringLiteral(ZENTABO_TEST_STATEMENTS "/") + QString::fromUtf8(name);
}

void Choose(QComboBox* combo, int column) {
  combo->setCurrentIndex(combo->findData(column));
}

// The journal's lines that hold text, UTF-8 cells joined by "|".
QStringList JournalLines(engine::Book& book) {
  QStringList lines;
  const engine::TJournalGrid& journal = *book.Journal();
  for (int r = 1; r < journal.RowCount(); ++r) {
    if (journal.RowAt(r).IsEmpty()) continue;
    QStringList cells;
    for (int c = 1; c <= 6; ++c) cells << engine::FromCp932(journal.Cell(c, r));
    lines << cells.join(QLatin1Char('|'));
  }
  return lines;
}

QString Status(timportdialog& dialog, int row) {
  return dialog.grid->model()->index(row, PreviewModel::Status).data().toString();
}

class ImportDialogTest : public QObject {
  Q_OBJECT

 private:
  void OpenBook(BookFixture& f) {
    f.NewBook(QStringLiteral("家計簿"));
    for (const char* s : {"普通預金", "食費", "日用品", "水道光熱費", "給料", "現金",
                          "クレジットカード", "書籍費", "交通費", "雑収入", "外食費"})
      f.book.AddSubject(engine::Sjis(s));
  }

 private slots:
  // A bank statement is mapped once and saved as a profile; next month's download, which
  // overlaps it, opens with that profile and only its new rows ticked.
  void bankMappedOnceThenImportedMonthly() {
    BookFixture f;
    OpenBook(f);
    engine::import::ImportRule supermarket;
    supermarket.pattern = engine::Sjis("スーパー|ｺﾝﾋﾞﾆ");
    supermarket.subject = engine::Sjis("食費");
    engine::import::RuleFile(f.book.ImportRulePath()).Save({supermarket}, {});

    {
      timportdialog dialog(f.book, Statement("bank_cp932.csv"));
      QVERIFY(dialog.Problem().isEmpty());
      dialog.sskiptop->setValue(2);
      dialog.sskipbottom->setValue(1);
      QVERIFY(dialog.cheader->isChecked());
      // The columns are found by their headings once the preamble is skipped.
      dialog.cencoding->setCurrentIndex(0);
      Choose(dialog.cdate, 1);
      dialog.edescription->setText(QStringLiteral("2"));
      emit dialog.edescription->editingFinished();
      Choose(dialog.camount, 3);
      dialog.caccount->setCurrentText(QStringLiteral("普通預金"));
      QVERIFY2(!dialog.lproblems->isVisibleTo(&dialog), qPrintable(dialog.lproblems->text()));
      auto& rows = dialog.Preview().rows;
      QCOMPARE(rows.size(), std::size_t(6));
      QCOMPARE(dialog.Preview().Errors(), 0);
      QCOMPARE(Status(dialog, 0), QStringLiteral("ルール 1"));
      QCOMPARE(Status(dialog, 2), QStringLiteral("未割当"));

      // The user assigns two rows in the preview and leaves the salary for later.
      QAbstractItemModel* model = dialog.grid->model();
      QVERIFY(model->setData(model->index(2, PreviewModel::Subject),
                             QStringLiteral("クレジットカード")));
      QVERIFY(model->setData(model->index(3, PreviewModel::Subject), QStringLiteral("水道光熱費")));
      QCOMPARE(Status(dialog, 2), QStringLiteral("手で指定"));
      QVERIFY(
          model->setData(model->index(5, PreviewModel::Tick), Qt::Unchecked, Qt::CheckStateRole));

      dialog.eprofile->setText(QStringLiteral("テスト銀行 普通預金"));
      dialog.btnsave->click();
      QCOMPARE(dialog.cprofile->currentText(), QStringLiteral("テスト銀行 普通預金"));
      dialog.btnok->click();
      QCOMPARE(dialog.result(), int(QDialog::Accepted));
      QCOMPARE(dialog.Summary().added, 5);
      QCOMPARE(dialog.Summary().unassigned, 1);
    }
    QCOMPARE(JournalLines(f.book),
             (QStringList{"25/04/01|2480|食費|ｽｰﾊﾟｰ ﾐﾄﾞﾘﾔ|普通預金|2480",
                          "25/04/02|648|食費|ｺﾝﾋﾞﾆ ｻｸﾗﾀﾞｲ|普通預金|648",
                          "25/04/05|15300|クレジットカード|ｶｰﾄﾞ ﾋｷｵﾄｼ|普通預金|15300",
                          "25/04/10|6120|水道光熱費|ﾃﾞﾝｷﾘｮｳｷﾝ|普通預金|6120",
                          "25/04/25|250000|普通預金|ｷｭｳﾖ ﾃｽﾄｼｮｳｼﾞ||250000"}));
    QVERIFY(f.book.Modified());
    QVERIFY(!f.book.Journal()->IsPosted(1));

    // May: the saved profile is chosen by itself; the two April rows are known, the ATM row
    // that was left out last time is new again, and the repeat purchase is two rows.
    timportdialog may(f.book, Statement("bank_cp932_may.csv"));
    QCOMPARE(may.Mapping().name, engine::Sjis("テスト銀行 普通預金"));
    QVERIFY(!may.lproblems->isVisibleTo(&may));
    const auto& rows = may.Preview().rows;
    QCOMPARE(rows.size(), std::size_t(5));
    QVERIFY(rows[0].importedBefore);
    QVERIFY(!rows[0].ticked);
    QVERIFY(Status(may, 0).startsWith(QStringLiteral("取り込み済み")));
    QVERIFY(!rows[1].IsDuplicate());
    QVERIFY(rows[2].ticked && rows[3].ticked);
    QCOMPARE(rows[2].subject, engine::Sjis("食費"));
    may.btnok->click();
    QCOMPARE(may.Summary().added, 4);
    QCOMPARE(may.Summary().duplicatesSkipped, 1);
    QCOMPARE(JournalLines(f.book).size(), 9);
  }

  // A card statement with separate charge and refund columns and era dates; a day that
  // doesn't exist is listed with its reason and the rest import.
  void creditCardWithSeparateColumns() {
    BookFixture f;
    OpenBook(f);
    timportdialog dialog(f.book, Statement("card_cp932.csv"));
    QVERIFY(dialog.cheader->isChecked());
    dialog.cstyle->setCurrentIndex(2);
    Choose(dialog.cwithdrawal, 4);
    Choose(dialog.cdeposit, 5);
    dialog.caccount->setCurrentText(QStringLiteral("クレジットカード"));
    QCOMPARE(dialog.Mapping().dateColumn, 1);
    QCOMPARE(dialog.Mapping().descriptionColumns, std::vector<int>{2});
    const auto& rows = dialog.Preview().rows;
    QCOMPARE(rows.size(), std::size_t(7));
    QCOMPARE(rows[1].description, engine::Sjis("ﾚｽﾄﾗﾝ ｶｻﾞﾐ, ﾎﾝﾃﾝ"));
    QCOMPARE(rows[3].amount, 1280);  // the refund column: money back
    QCOMPARE(rows[4].amount, 550);   // a negative charge: money back too
    QCOMPARE(rows[5].date, (engine::Date{2025, 4, 20}));
    QVERIFY(Status(dialog, 6).startsWith(QStringLiteral("エラー: ")));
    QVERIFY(!rows[6].ticked);
    QVERIFY(dialog.lcounts->text().contains(QStringLiteral("読めない行 1")));
    dialog.btnok->click();
    QCOMPARE(dialog.Summary().added, 6);
    QCOMPARE(dialog.Summary().errors, 1);
    QCOMPARE(JournalLines(f.book)[3],
             QStringLiteral("25/04/12|1280|クレジットカード|ﾄﾞﾗｯｸﾞｽﾄｱ ｱｵｿﾞﾗ||1280"));
  }

  // A rule made from a selected row assigns every row with that payee and is kept beside
  // the book with the duplicate window chosen in the rules dialog.
  void aRuleMadeFromARowAssignsItsPayee() {
    BookFixture f;
    OpenBook(f);
    timportdialog dialog(f.book, Statement("card_cp932.csv"));
    dialog.cstyle->setCurrentIndex(2);
    Choose(dialog.cwithdrawal, 4);
    Choose(dialog.cdeposit, 5);
    dialog.caccount->setCurrentText(QStringLiteral("クレジットカード"));
    dialog.grid->setCurrentIndex(dialog.grid->model()->index(0, PreviewModel::Description));
    ModalDriver driver;
    driver.Then<desktop::timportrulesdialog>([](desktop::timportrulesdialog* rules) {
      static_cast<QComboBox*>(rules->grid->cellWidget(0, 5))
          ->setCurrentText(QStringLiteral("日用品"));
      rules->swindow->setValue(5);
      rules->btnok->click();
    });
    dialog.btnmakerule->click();
    QVERIFY(driver.Done());
    QVERIFY2(driver.Unexpected().isEmpty(), qPrintable(driver.Unexpected().join(QLatin1Char(' '))));
    const auto& rows = dialog.Preview().rows;
    for (const std::size_t i : {std::size_t(0), std::size_t(3)}) {
      QCOMPARE(rows[i].subject, engine::Sjis("日用品"));
      QCOMPARE(Status(dialog, static_cast<int>(i)), QStringLiteral("ルール 1"));
    }
    QVERIFY(rows[2].subject.empty());
    std::vector<engine::import::ImportRule> saved;
    engine::import::ImportSettings settings;
    engine::import::RuleFile(f.book.ImportRulePath()).Load(saved, settings);
    QCOMPARE(saved.size(), std::size_t(1));
    QCOMPARE(saved[0].pattern, engine::Sjis("ﾄﾞﾗｯｸﾞｽﾄｱ ｱｵｿﾞﾗ"));
    QCOMPARE(settings.dateWindow, 5);
  }

  // A UTF-8 file with a byte order mark: found as UTF-8, the heading without the mark,
  // eight-digit dates and full-width amounts read.
  void utf8WithByteOrderMark() {
    BookFixture f;
    OpenBook(f);
    timportdialog dialog(f.book, Statement("netbank_utf8_bom.csv"));
    QCOMPARE(dialog.cencoding->currentIndex(), 1);
    QCOMPARE(dialog.Preview().heading.front(), QStringLiteral("取引日"));
    QCOMPARE(dialog.Mapping().amountStyle, engine::import::AmountStyle::Split);
    dialog.caccount->setCurrentText(QStringLiteral("普通預金"));
    const auto& rows = dialog.Preview().rows;
    QCOMPARE(rows.size(), std::size_t(4));
    QCOMPARE(dialog.Preview().Errors(), 0);
    QCOMPARE(rows[0].amount, -1980);
    QCOMPARE(rows[3].amount, 12000);
    QCOMPARE(rows[0].description, engine::Sjis("ネット通販　ミズイロ"));
    dialog.grab().save(QStringLiteral("/tmp/i13-import-dialog.png"));
  }

  // A statement with one amount column and a column saying in or out: found from its
  // heading; what the user picks for a row stays with it while the mapping changes, until
  // the change makes the row read differently.
  void indicatorColumnAndTheUsersChoicesKept() {
    BookFixture f;
    OpenBook(f);
    timportdialog dialog(f.book, Statement("bank_indicator_utf8.csv"));
    QCOMPARE(dialog.cstyle->currentIndex(), 3);
    QCOMPARE(dialog.cindicator->currentData().toInt(), 3);
    QCOMPARE(dialog.ein->text(), QStringLiteral("入金"));
    QVERIFY(dialog.cindicator->isEnabled() && !dialog.cwithdrawal->isEnabled());
    dialog.caccount->setCurrentText(QStringLiteral("普通預金"));
    const auto& rows = dialog.Preview().rows;
    QCOMPARE(rows.size(), std::size_t(4));
    QCOMPARE(dialog.Preview().Errors(), 0);
    QCOMPARE(rows[0].amount, -2310);
    QCOMPARE(rows[2].amount, 30000);

    QAbstractItemModel* model = dialog.grid->model();
    QVERIFY(model->setData(model->index(1, PreviewModel::Subject), QStringLiteral("水道光熱費")));
    QVERIFY(model->setData(model->index(3, PreviewModel::Tick), Qt::Unchecked, Qt::CheckStateRole));
    // Another account leaves the rows as they read: they are the same rows.
    dialog.caccount->setCurrentText(QStringLiteral("現金"));
    QCOMPARE(rows[1].subject, engine::Sjis("水道光熱費"));
    QVERIFY(!rows[3].ticked);
    // Words that no longer say which way the money went make those rows errors; set back,
    // the rows are the rows the user chose for.
    dialog.eout->setText(QStringLiteral("払出"));
    emit dialog.eout->editingFinished();
    QCOMPARE(dialog.Preview().Errors(), 3);
    dialog.eout->setText(QStringLiteral("出金"));
    emit dialog.eout->editingFinished();
    QCOMPARE(rows[1].subject, engine::Sjis("水道光熱費"));
    QVERIFY(!rows[3].ticked);
    // With another description the row is another row.
    dialog.edescription->setText(QStringLiteral("2 5"));
    emit dialog.edescription->editingFinished();
    QVERIFY(rows[1].subject.empty());
    QVERIFY(rows[3].ticked);
  }

  // A statement of megabytes is read behind a progress bar that can cancel it; one beyond
  // the size limit is refused before it is read.
  void largeStatementShowsProgressAndCancels() {
    BookFixture f;
    OpenBook(f);
    QFile big(f.Path(QStringLiteral("big.csv")));
    QVERIFY(big.open(QIODevice::WriteOnly));
    big.write("date,description,amount\r\n");
    QByteArray lines;
    for (int i = 0; i < 150000; ++i)
      lines += "2025/04/" + QByteArray::number(i % 28 + 1) + ",shop " + QByteArray::number(i) +
               ",-" + QByteArray::number(i % 5000 + 1) + "\r\n";
    big.write(lines);
    big.close();
    QVERIFY(big.size() > 4 * 1024 * 1024);

    ModalDriver driver;
    bool shown = false;
    driver.Then<QProgressDialog>([&](QProgressDialog* progress) {
      shown = progress->isVisible() && progress->value() < progress->maximum();
      progress->cancel();
    });
    timportdialog dialog(f.book, big.fileName());
    QVERIFY(driver.Done());
    QVERIFY(shown);
    QVERIFY(dialog.Preview().cancelled);
    QVERIFY(dialog.Preview().rows.size() < 150000);
    QVERIFY(dialog.lproblems->text().contains(QStringLiteral("読み込みを取り消しました")));
    QVERIFY(!dialog.btnok->isEnabled());

    QFile huge(f.Path(QStringLiteral("huge.csv")));
    QVERIFY(huge.open(QIODevice::WriteOnly));
    QVERIFY(huge.resize(engine::import::kMaxStatementBytes + 1));
    huge.close();
    timportdialog tooBig(f.book, huge.fileName());
    QVERIFY(tooBig.Problem().contains(QStringLiteral("大きすぎます")));
  }

  // What is no statement, or a damaged file beside the book, is refused before anything
  // changes.
  void badInputIsRefusedAndTheBookUntouched() {
    BookFixture f;
    OpenBook(f);
    QFile binary(f.Path(QStringLiteral("picture.csv")));
    QVERIFY(binary.open(QIODevice::WriteOnly));
    binary.write(QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16));
    binary.close();
    timportdialog notText(f.book, binary.fileName());
    QVERIFY(notText.Problem().contains(QStringLiteral("テキストファイルではありません")));

    engine::WriteFileAtomically(f.book.ImportRulePath(), "[rule 1]\r\npattern=(\r\n");
    const bool modified = f.book.Modified();
    ModalDriver driver;
    driver.Box();
    timportdialog::Run(f.book, Statement("bank_cp932.csv"), nullptr);
    QVERIFY(driver.Done());
    QVERIFY(driver.Messages().value(0).contains(QStringLiteral("壊れています")));
    QCOMPARE(JournalLines(f.book).size(), 0);
    QCOMPARE(f.book.Modified(), modified);
  }
};

}  // namespace

REGISTER_DESKTOP_TEST(ImportDialogTest);
#include "import_dialog_test.moc"
