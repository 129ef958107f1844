#include "desktop/app/file_dialogs.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>

#include "engine/base/cp932.h"
#include "support/modal_driver.h"
#include "test_registry.h"

using desktop_tests::ModalDriver;

namespace {

std::string Cp932(const QString& text) {
  return engine::ToCp932(text).value();
}

// Paths come back as CP932; decoded, a mismatch reads well in the failure message.
QString Shown(const std::string& cp932) {
  return engine::FromCp932(cp932);
}

void WriteFile(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  QVERIFY(file.open(QIODevice::WriteOnly));
  file.write(bytes);
}

QByteArray ReadFile(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

class FileDialogsTest : public QObject {
  Q_OBJECT

 private slots:
  void extensionRule_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("filter");
    QTest::addColumn<QString>("expected");
    QTest::newRow("missing csv") << "/d/report" << 2 << "/d/report.csv";
    QTest::newRow("capitals kept") << "/d/REPORT.CSV" << 2 << "/d/REPORT.CSV";
    QTest::newRow("other extension") << "/d/report.txt" << 3 << "/d/report.txt.xml";
    QTest::newRow("all files") << "/d/report" << 4 << "/d/report";
    QTest::newRow("mixed case txt") << "/d/a.Txt" << 1 << "/d/a.Txt";
    QTest::newRow("short name") << "txt" << 1 << "txt.txt";
    QTest::newRow("japanese name") << "/d/家計簿" << 1 << "/d/家計簿.txt";
  }
  void extensionRule() {
    QFETCH(QString, path);
    QFETCH(int, filter);
    QFETCH(QString, expected);
    QCOMPARE(desktop::WithFilterExtension(path, filter), expected);
  }

  // The name typed, the filter the dialog starts on and the one chosen before confirming
  // (0: left as it was), and the file the save dialog returns.
  void saveDialog_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("startFilter");
    QTest::addColumn<int>("chosenFilter");
    QTest::addColumn<QString>("expected");
    QTest::newRow("csv appended") << "report" << 2 << 0 << "report.csv";
    QTest::newRow("xml after txt") << "report.txt" << 3 << 0 << "report.txt.xml";
    QTest::newRow("user chose all files") << "report" << 1 << 4 << "report";
    QTest::newRow("user chose csv") << "report" << 4 << 2 << "report.csv";
    QTest::newRow("japanese name") << "勘定科目" << 1 << 0 << "勘定科目.txt";
  }
  void saveDialog() {
    QFETCH(QString, typed);
    QFETCH(int, startFilter);
    QFETCH(int, chosenFilter);
    QFETCH(QString, expected);
    QTemporaryDir dir;
    ModalDriver driver;
    driver.File(typed, chosenFilter);
    const std::string path =
        desktop::SelectSaveFile(nullptr, Cp932(QStringLiteral("x.txt")),
                                Cp932(QStringLiteral("保存先")), Cp932(dir.path()), startFilter);
    QVERIFY(driver.Done());
    QVERIFY2(driver.Unexpected().isEmpty(), qPrintable(driver.Unexpected().join(u';')));
    QCOMPARE(driver.FileTitles(), QStringList{QStringLiteral("保存先")});
    QCOMPARE(Shown(path), dir.filePath(expected));
  }

  void cancelReturnsEmpty() {
    QTemporaryDir dir;
    WriteFile(dir.filePath(QStringLiteral("a.txt")), "x");
    ModalDriver driver;
    driver.CancelFile().CancelFile();
    QCOMPARE(desktop::SelectSaveFile(nullptr, "a.txt", "t", Cp932(dir.path()), 1), "");
    QCOMPARE(desktop::SelectOpenFile(nullptr, "a.txt", "t", Cp932(dir.path()), 1), "");
    QVERIFY(driver.Done());
    QVERIFY2(driver.Unexpected().isEmpty(), qPrintable(driver.Unexpected().join(u';')));
  }

  // The dialog asked about "report"; the appended ".csv" names another file, which must not
  // be replaced unasked.
  void appendedExtensionAsksBeforeReplacing() {
    QTemporaryDir dir;
    const QString existing = dir.filePath(QStringLiteral("report.csv"));
    WriteFile(existing, "keep");
    ModalDriver driver;
    driver.File(QStringLiteral("report")).Box(QMessageBox::No).CancelFile();
    QCOMPARE(desktop::SelectSaveFile(nullptr, "", "t", Cp932(dir.path()), 2), "");
    driver.File(QStringLiteral("report")).Box(QMessageBox::Yes);
    QCOMPARE(Shown(desktop::SelectSaveFile(nullptr, "", "t", Cp932(dir.path()), 2)), existing);
    QVERIFY(driver.Done());
    QVERIFY2(driver.Unexpected().isEmpty(), qPrintable(driver.Unexpected().join(u';')));
    QCOMPARE(driver.Messages().size(), 2);
    QVERIFY(driver.Messages()[0].contains(QStringLiteral("report.csv は既に存在します")));
    QCOMPARE(ReadFile(existing), QByteArray("keep"));
  }

  void openDialogTakesOnlyExistingFiles() {
    QTemporaryDir dir;
    const QString book = dir.filePath(QStringLiteral("家計簿.txt"));
    WriteFile(book, "x");
    ModalDriver driver;
    driver.File(QStringLiteral("家計簿.txt"));
    QCOMPARE(Shown(desktop::SelectOpenFile(nullptr, "", "t", Cp932(dir.path()), 1)), book);
    // A missing name is refused by the dialog, which stays open until cancelled.
    driver.File(QStringLiteral("missing.txt")).Box().CancelFile();
    QCOMPARE(desktop::SelectOpenFile(nullptr, "", "t", Cp932(dir.path()), 1), "");
    QVERIFY(driver.Done());
    QVERIFY2(driver.Unexpected().isEmpty(), qPrintable(driver.Unexpected().join(u';')));
    QCOMPARE(driver.Messages().size(), 1);
    QVERIFY(driver.Messages()[0].contains(QStringLiteral("missing.txt")));
  }

  // An empty folder is the current folder; the filter number picks from the dialog's list.
  void startsInCurrentFolderOnTheGivenFilter() {
    QTemporaryDir dir;
    const QString previous = QDir::currentPath();
    QVERIFY(QDir::setCurrent(dir.path()));
    QString folder;
    QStringList filters;
    QString selected;
    ModalDriver driver;
    driver.Then<QFileDialog>([&](QFileDialog* dialog) {
      folder = dialog->directory().absolutePath();
      filters = dialog->nameFilters();
      selected = dialog->selectedNameFilter();
      dialog->reject();
    });
    desktop::SelectOpenFile(nullptr, "", "t", "", 4);
    QDir::setCurrent(previous);
    QVERIFY(driver.Done());
    QCOMPARE(folder, QDir(dir.path()).absolutePath());
    QCOMPARE(filters.size(), 5);
    QCOMPARE(selected, QStringLiteral("スキーマ ファイル (*.rng)"));
  }

  // A book keeps its paths as CP932: a name that can't be held there is refused.
  void pathOutsideCp932IsRefused() {
    QTemporaryDir dir;
    ModalDriver driver;
    driver.File(QStringLiteral("한글")).Box();
    QCOMPARE(desktop::SelectSaveFile(nullptr, "", "t", Cp932(dir.path()), 1), "");
    QVERIFY(driver.Done());
    QVERIFY2(driver.Unexpected().isEmpty(), qPrintable(driver.Unexpected().join(u';')));
    QCOMPARE(driver.Messages().size(), 1);
    QVERIFY(driver.Messages()[0].contains(QStringLiteral("CP932")));
  }
};

REGISTER_DESKTOP_TEST(FileDialogsTest);

#include "file_dialogs_test.moc"
