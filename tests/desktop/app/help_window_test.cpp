#include "desktop/app/help_window.h"

#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>

#include "support/modal_driver.h"
#include "test_registry.h"

using desktop_tests::ModalDriver;

class HelpWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void showsTheHelpFileOnItsContents() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("zntbk.hlp"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QStringLiteral("<html><head><meta charset=\"utf-8\"></head><body>"
                              "<h1><a name=\"contents\"></a>目次</h1><p>仕訳帳の使い方</p>"
                              "</body></html>")
                   .toUtf8());
    file.close();
    desktop::HelpWindow* window = desktop::HelpWindow::ShowHelp(nullptr, path);
    QVERIFY(window);
    QVERIFY(window->isVisible());
    QVERIFY(window->Browser()->toPlainText().contains(QStringLiteral("仕訳帳の使い方")));
    // A second request reuses the window.
    QCOMPARE(desktop::HelpWindow::ShowHelp(nullptr, path), window);
    window->close();
  }

  void missingHelpFileIsSaid() {
    QTemporaryDir dir;
    ModalDriver driver;
    driver.Box();
    const QString path = dir.filePath(QStringLiteral("zntbk.hlp"));
    QVERIFY(!desktop::HelpWindow::ShowHelp(nullptr, path));
    QVERIFY(driver.Done());
    QCOMPARE(driver.Messages().size(), 1);
    QVERIFY(driver.Messages()[0].contains(path));
  }

  // The shipped guide: every link inside it leads to an anchor that exists, and it covers
  // each menu.
  void shippedGuideHoldsTogether() {
    const QString path = QFINDTESTDATA("../../../src/desktop/zntbk.hlp");
    QVERIFY(!path.isEmpty());
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QString html = QString::fromUtf8(file.readAll());
    QSet<QString> anchors;
    for (const auto& m :
         QRegularExpression(QStringLiteral("(?:name|id)=\"([^\"]+)\"")).globalMatch(html)) {
      anchors.insert(m.captured(1));
    }
    QVERIFY(anchors.contains(QStringLiteral("contents")));
    int links = 0;
    for (const auto& m :
         QRegularExpression(QStringLiteral("href=\"#([^\"]+)\"")).globalMatch(html)) {
      QVERIFY2(anchors.contains(m.captured(1)), qPrintable(m.captured(1)));
      ++links;
    }
    QVERIFY(links >= 8);
    for (const char* menu :
         {"ファイル", "編集", "移動", "操作", "データ", "集計", "ウィンドウ", "ヘルプ"}) {
      QVERIFY2(html.contains(QString::fromUtf8(menu) + QStringLiteral("(&amp;")), menu);
    }
  }
};

REGISTER_DESKTOP_TEST(HelpWindowTest);

#include "help_window_test.moc"
