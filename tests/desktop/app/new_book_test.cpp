#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "desktop/app/tnewdialog.h"
#include "engine/base/cp932.h"
#include "engine/base/text_file.h"
#include "engine/tables/journal_grid.h"
#include "engine/tables/ledger_grid.h"
#include "support/book_fixture.h"
#include "support/modal_driver.h"
#include "test_registry.h"

using desktop_tests::BookFixture;
using desktop_tests::ModalDriver;

namespace {

QStringList ReadCp932Lines(const QString& path) {
  QStringList lines;
  for (const std::string& line : engine::ReadTextLines(path)) lines << engine::FromCp932(line);
  return lines;
}

const QStringList kListTitles = {QStringLiteral("勘定科目ファイル名を入力してください"),
                                 QStringLiteral("摘要ファイル名を入力してください"),
                                 QStringLiteral("集計設定ファイル名を入力してください")};

}  // namespace

// The new-book dialog and the CSV import, with every dialog they open answered as a user
// would.
class NewBookTest : public QObject {
  Q_OBJECT

 private slots:
  void refusalsKeepTheDialogOpen_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("message");
    QTest::newRow("empty") << ""
                           << "家計簿名を入力してください";
    QTest::newRow("folder exists") << "2024"
                                   << "同名データが存在します";
    QTest::newRow("not cp932") << "家計한"
                               << "「한」はシフト JIS (CP932) で表せない文字のため使用できません";
    QTest::newRow("path") << "../x"
                          << "家計簿名に「/」「\\」や「.」「..」は使用できません";
  }
  void refusalsKeepTheDialogOpen() {
    QFETCH(QString, name);
    QFETCH(QString, message);
    BookFixture f;
    QVERIFY(QDir(f.dir.path()).mkdir(QStringLiteral("2024")));
    desktop::tnewdialog dialog(f.book);
    dialog.show();
    dialog.pname->setText(name);
    ModalDriver driver;
    driver.Box();
    dialog.btnok->click();
    QVERIFY(driver.Done());
    QVERIFY2(driver.Unexpected().isEmpty(), qPrintable(driver.Unexpected().join(u';')));
    QCOMPARE(driver.Messages(), QStringList{message});
    QVERIFY(dialog.isVisible());
    QVERIFY(!f.book.IsOpen());
    QCOMPARE(dialog.focusWidget(), static_cast<QWidget*>(dialog.pname));
    QCOMPARE(QDir(f.dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
             QStringList{QStringLiteral("2024")});
  }

  void createsTheBookThroughThreeFileDialogs() {
    BookFixture f;
    desktop::tnewdialog dialog(f.book);
    dialog.show();
    dialog.pname->setText(QStringLiteral("2024"));
    ModalDriver driver;
    driver.File({}).File({}).File({});
    dialog.btnok->click();
    QVERIFY(driver.Done());
    QVERIFY2(driver.Unexpected().isEmpty(), qPrintable(driver.Unexpected().join(u';')));
    QCOMPARE(driver.FileTitles(), kListTitles);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QVERIFY(f.book.IsOpen());

    const QString folder = f.Path(QStringLiteral("2024/"));
    QCOMPARE(ReadCp932Lines(folder + QStringLiteral("2024.txt")),
             (QStringList{
                 folder + QStringLiteral("勘定科目.txt"), folder + QStringLiteral("摘要.txt"),
                 folder + QStringLiteral("集計設定.txt"), folder + QStringLiteral("仕訳帳.txt")}));
    QVERIFY(QFileInfo::exists(folder + QStringLiteral("仕訳帳.txt")));
    QVERIFY(QFileInfo::exists(folder + QStringLiteral("勘定科目.txt")));
  }

  // Every one of the three is asked even after one was cancelled; then the folder goes.
  void cancellingOneListFileRemovesTheFolder() {
    BookFixture f;
    desktop::tnewdialog dialog(f.book);
    dialog.show();
    dialog.pname->setText(QStringLiteral("家計2025"));
    ModalDriver driver;
    driver.File({}).CancelFile().File({}).Box();
    dialog.btnok->click();
    QVERIFY(driver.Done());
    QVERIFY2(driver.Unexpected().isEmpty(), qPrintable(driver.Unexpected().join(u';')));
    QCOMPARE(driver.FileTitles(), kListTitles);
    QCOMPARE(driver.Messages(), QStringList{QStringLiteral("設定ファイルが選択されませんでした")});
    QVERIFY(!dialog.isVisible());
    QVERIFY(!f.book.IsOpen());
    QVERIFY(!QFileInfo::exists(f.Path(QStringLiteral("家計2025"))));
  }

  void csvImportThroughTheDialogs() {
    BookFixture f;
    f.WriteCp932(QStringLiteral("2024.csv"),
                 {QStringLiteral("25/01/05,1200,食費,昼食,現金,1200"),
                  QStringLiteral("25/01/25,250000,普通預金,給料,給与,250000"),
                  QStringLiteral("25/01/26,3000,現金,,普通預金,3000")});
    ModalDriver driver;
    driver.File(f.Path(QStringLiteral("2024.csv"))).File({}).File({}).File({});
    f.book.NewBookFromCSV();
    QVERIFY(driver.Done());
    QVERIFY2(driver.Unexpected().isEmpty(), qPrintable(driver.Unexpected().join(u';')));
    QCOMPARE(driver.FileTitles(),
             QStringList{QStringLiteral("CSVファイルを選択してください")} + kListTitles);
    QVERIFY(f.book.IsOpen());
    QStringList ledgers;
    for (std::size_t i = 0; i < f.book.LedgerCount(); ++i) {
      ledgers << engine::FromCp932(f.book.LedgerAt(i).Caption());
    }
    // Debit subjects in order of first use, then the credit subjects not seen yet.
    QCOMPARE(ledgers, (QStringList{QStringLiteral("食費"), QStringLiteral("普通預金"),
                                   QStringLiteral("現金"), QStringLiteral("給与")}));
    QVERIFY(f.book.Journal()->IsPosted(1));
    QVERIFY(QFileInfo::exists(f.Path(QStringLiteral("2024/2024.txt"))));

    // The book's folder now exists, so the same file is refused the second time.
    f.book.CloseBook();
    driver.File(f.Path(QStringLiteral("2024.csv"))).Box();
    f.book.NewBookFromCSV();
    QVERIFY(driver.Done());
    QCOMPARE(driver.Messages(), QStringList{QStringLiteral("同名データが存在します")});
    QVERIFY(!f.book.IsOpen());
  }
};

REGISTER_DESKTOP_TEST(NewBookTest);

#include "new_book_test.moc"
