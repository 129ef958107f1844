// The schema command driven as the user drives it: the schema chosen, subjects and texts
// attached to the report entries, the XML written and read back, and the choices found
// again when the dialog opens the next time.

#include <QCheckBox>
#include <QComboBox>
#include <QDesktopServices>
#include <QDomDocument>
#include <QFileInfo>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <memory>

#include "desktop/amount/tamountschemadialog.h"
#include "desktop/app/tacc_mdi.h"
#include "desktop_fixture.h"
#include "engine/base/date.h"
#include "support/book_window.h"
#include "support/modal_driver.h"
#include "test_registry.h"

namespace desktop_tests {

using desktop::Command;
using desktop::tamountschemadialog;

namespace {

// The schema shipped with the program, straight from the source tree.
QString ShippedSchema() {
  return QStringLiteral(ZENTABO_SCHEMA_DIR "/家計月報.rng");
}

int RowOf(QListWidget* list, const QString& text) {
  const auto found = list->findItems(text, Qt::MatchExactly);
  return found.isEmpty() ? -1 : list->row(found.first());
}

// Takes the URLs the program asks the desktop to open, instead of starting a browser.
class UrlCatcher : public QObject {
  Q_OBJECT

 public:
  explicit UrlCatcher(const QString& scheme) : scheme_(scheme) {
    QDesktopServices::setUrlHandler(scheme_, this, "Open");
  }
  ~UrlCatcher() override { QDesktopServices::unsetUrlHandler(scheme_); }
  QList<QUrl> urls;

 public slots:
  void Open(const QUrl& url) { urls << url; }

 private:
  QString scheme_;
};

}  // namespace

class SchemaDialogTest : public BookWindowTest {
  Q_OBJECT

 private:
  void Start() {
    StartWindow();
    OpenBook();
  }
  void RunCommand() { window_->Commands().MenuItem(Command::AmountSchema)->trigger(); }
  QString XmlPath() const { return engine::FromCp932(book_->Root()) + QStringLiteral("月報.xml"); }

 private slots:
  void cleanup() { StopWindow(); }

  void cancellingTheSchemaChoiceFailsWithoutShowingTheDialog() {
    Start();
    ModalDriver driver;
    driver.CancelFile().Box();
    RunCommand();
    QVERIFY(driver.Done());
    QCOMPARE(driver.FileTitles(), QStringList{"スキーマファイルを選択してください"});
    QCOMPARE(driver.Messages(), QStringList{"集計に失敗しました"});
    QVERIFY(driver.Unexpected().isEmpty());
  }

  void theShippedSchemaMakesTheReportAndTheChoicesSurvive() {
    Start();
    const QString schema = ShippedSchema();
    QVERIFY(!schema.isEmpty());

    ModalDriver driver;
    driver.File(schema)
        .Then<tamountschemadialog>([&](tamountschemadialog* dialog) {
          QCOMPARE(dialog->size(), QSize(585, 324));
          QCOMPARE(dialog->lstform->item(0)->text(), QStringLiteral("家計月報"));
          QCOMPARE(dialog->lstyear->currentText(), QStringLiteral("2025"));
          QVERIFY(!dialog->gbfield->isEnabled());
          QVERIFY(!dialog->edttext->isEnabled());

          // 食費 sums the ledger 食費 as it is.
          dialog->lstform->setCurrentRow(RowOf(dialog->lstform, "･･････食費 +"));
          QVERIFY(dialog->gbfield->isEnabled());
          QVERIFY(!dialog->edttext->isEnabled());
          const int food = RowOf(dialog->lstname, "食費");
          const int cash = RowOf(dialog->lstname, "現金");
          dialog->lstname->item(food)->setCheckState(Qt::Checked);

          // 医療費 takes the cash ledger inverted, and a note.
          dialog->lstform->setCurrentRow(RowOf(dialog->lstform, "･･････医療費 *"));
          QVERIFY(dialog->edttext->isEnabled());
          QCOMPARE(dialog->lstname->item(food)->checkState(), Qt::Unchecked);
          dialog->lstname->setCurrentRow(cash);
          dialog->lstname->item(cash)->setCheckState(Qt::Checked);
          QTest::mouseClick(dialog->chkmark, Qt::LeftButton, {}, QPoint(5, 10));
          QVERIFY(dialog->chkmark->isChecked());
          dialog->edttext->insert(QStringLiteral("通院"));

          dialog->lstform->setCurrentRow(RowOf(dialog->lstform, "･･･表題 /"));
          QVERIFY(!dialog->gbfield->isEnabled());
          QCOMPARE(dialog->edttext->text(), QString());
          // A character Shift_JIS can't hold is refused as it is typed.
          dialog->edttext->insert(QStringLiteral("\U0001F600"));
          QCOMPARE(dialog->edttext->text(), QString());
          dialog->edttext->insert(QStringLiteral("2025年 家計月報"));
          QVERIFY(dialog->chkhtml->isChecked() && dialog->chkhtml->isEnabled());
          QVERIFY(!dialog->btnbrowser->isEnabled());
          dialog->btnok->click();
        })
        .Box()
        .File(XmlPath())
        // Written: the dialog stays with the page ready to open, and closes with 閉じる.
        .Then<tamountschemadialog>([&](tamountschemadialog* dialog) {
          QVERIFY(dialog->btnbrowser->isEnabled());
          QCOMPARE(dialog->btncancel->text(), QStringLiteral("閉じる"));
          dialog->btnbrowser->click();
          dialog->btncancel->click();
        });
    UrlCatcher browser(QStringLiteral("file"));
    RunCommand();
    QVERIFY(driver.Done());
    QVERIFY2(driver.Unexpected().isEmpty(), qPrintable(driver.Unexpected().join('\n')));
    QCOMPARE(driver.FileTitles(), (QStringList{"スキーマファイルを選択してください",
                                               "XMLファイル名を入力してください"}));
    QCOMPARE(driver.Messages().size(), 1);
    QVERIFY(driver.Messages()[0].contains(QStringLiteral("\U0001F600")));

    // The file: declaration, stylesheet and the report, read back through its declaration.
    QFile file(XmlPath());
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    const QList<QByteArray> lines = bytes.split('\n');
    QCOMPARE(lines.size(), 4);  // three lines, each ended by CR LF
    QCOMPARE(lines[0], QByteArray("<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\r"));
    // The stylesheet lies outside the book's folder: a file: URI that leads to it.
    QString xsl = schema;
    xsl.replace(QStringLiteral(".rng"), QStringLiteral(".xsl"));
    const QString line = QString::fromLatin1(lines[1]);
    QVERIFY(line.startsWith("<?xml-stylesheet type=\"text/xsl\" href=\"file:///"));
    const QString href = line.section(u'"', 3, 3);
    QCOMPARE(QUrl::fromLocalFile(XmlPath()).resolved(QUrl(href, QUrl::StrictMode)).toLocalFile(),
             xsl);
    // The page beside the XML, and the browser was asked to open it.
    const QString html = engine::FromCp932(book_->Root()) + QStringLiteral("月報.html");
    QCOMPARE(browser.urls, QList<QUrl>{QUrl::fromLocalFile(html)});
    QFile page(html);
    QVERIFY(page.open(QIODevice::ReadOnly));
    QVERIFY(QString::fromUtf8(page.readAll()).contains(QStringLiteral("2025年 家計月報")));
    QDomDocument report;
    QVERIFY(report.setContent(bytes));
    const QDomElement top = report.documentElement();
    QCOMPARE(top.tagName(), QStringLiteral("家計月報"));
    QCOMPARE(top.firstChildElement("表題").text(), QStringLiteral("2025年 家計月報"));
    const QDomElement living = top.firstChildElement("生活費");
    QCOMPARE(living.firstChildElement("食費").firstChildElement("JUN").text(),
             QStringLiteral("1500"));
    QCOMPARE(living.firstChildElement("食費").firstChildElement("MAY").text(), QStringLiteral("0"));
    const QDomElement medical = living.firstChildElement("医療費");
    QCOMPARE(medical.firstChildElement("JUN").text(), QStringLiteral("1500"));
    QCOMPARE(medical.lastChild().nodeValue(), QStringLiteral("通院"));
    QCOMPARE(top.firstChildElement("収入").firstChildElement("給与").childNodes().size(), 12);

    // Without the page only the XML is written, and there is nothing to open.
    QVERIFY(QFile::remove(html));
    ModalDriver plain;
    plain.File(schema)
        .Then<tamountschemadialog>([&](tamountschemadialog* dialog) {
          dialog->chkhtml->click();
          dialog->btnok->click();
        })
        .File(XmlPath())
        .Box(QMessageBox::Yes)  // the report of the first run is replaced
        .Then<tamountschemadialog>([&](tamountschemadialog* dialog) {
          QVERIFY(!dialog->btnbrowser->isEnabled());
          dialog->btncancel->click();
        });
    RunCommand();
    QVERIFY2(plain.Done(), qPrintable(plain.Unexpected().join(QChar(10))));
    QCOMPARE(plain.Messages().size(), 1);
    QVERIFY(plain.Unexpected().isEmpty());
    QVERIFY(!QFile::exists(html));

    // Opening again shows what was chosen; cancelling writes nothing.
    ModalDriver again;
    again.File(schema).Then<tamountschemadialog>([&](tamountschemadialog* dialog) {
      dialog->lstform->setCurrentRow(RowOf(dialog->lstform, "･･････医療費 *"));
      QCOMPARE(dialog->edttext->text(), QStringLiteral("通院"));
      const int cash = RowOf(dialog->lstname, "現金");
      QCOMPARE(dialog->lstname->item(cash)->checkState(), Qt::Checked);
      dialog->lstname->setCurrentRow(cash);
      QVERIFY(dialog->chkmark->isChecked());
      dialog->lstform->setCurrentRow(RowOf(dialog->lstform, "･･･表題 /"));
      QCOMPARE(dialog->edttext->text(), QStringLiteral("2025年 家計月報"));
      dialog->btncancel->click();
    });
    RunCommand();
    QVERIFY(again.Done());
    QVERIFY(again.Messages().isEmpty());
    QVERIFY(again.Unexpected().isEmpty());
  }

  void clicksOnEntriesLeaveTheFlagsOfAmountsAndFocusTheText() {
    Start();
    ModalDriver driver;
    driver.File(ShippedSchema()).Then<tamountschemadialog>([&](tamountschemadialog* dialog) {
      const int cash = RowOf(dialog->lstname, "現金");
      dialog->lstform->setCurrentRow(RowOf(dialog->lstform, "･･････食費 +"));
      dialog->lstname->setCurrentRow(cash);
      QTest::mouseClick(dialog->chkdebtor, Qt::LeftButton, {}, QPoint(5, 10));
      QTest::mouseClick(dialog->chkmark, Qt::LeftButton, {}, QPoint(5, 10));

      // A text entry switches the boxes off as they stand; the next amount entry shows its own.
      const int title = RowOf(dialog->lstform, "･･･表題 /");
      dialog->lstform->setCurrentRow(title);
      QVERIFY(!dialog->gbfield->isEnabled());
      QVERIFY(!dialog->chkdebtor->isChecked());
      QVERIFY(dialog->chkmark->isChecked());
      dialog->lstform->setCurrentRow(RowOf(dialog->lstform, "･･････外食費 +"));
      QVERIFY(dialog->chkdebtor->isChecked());
      QVERIFY(!dialog->chkmark->isChecked());
      dialog->lstform->setCurrentRow(RowOf(dialog->lstform, "･･････食費 +"));
      QVERIFY(!dialog->chkdebtor->isChecked());
      QVERIFY(dialog->chkmark->isChecked());

      // Clicking the selected text entry once more gives the text box the focus again.
      dialog->lstform->setCurrentRow(title);
      QCOMPARE(dialog->focusWidget(), dialog->edttext);
      dialog->lstform->setFocus();
      const QRect item = dialog->lstform->visualItemRect(dialog->lstform->item(title));
      QTest::mouseClick(dialog->lstform->viewport(), Qt::LeftButton, {}, item.center());
      QCOMPARE(dialog->focusWidget(), dialog->edttext);
      dialog->btncancel->click();
    });
    RunCommand();
    QVERIFY(driver.Done());
    QVERIFY(driver.Messages().isEmpty());
    QVERIFY(driver.Unexpected().isEmpty());
  }

  void aSchemaThatDoesNotReadOpensEmptyAndOkWritesNothing() {
    Start();
    const QString schema = engine::FromCp932(book_->Root()) + QStringLiteral("壊れた.rng");
    SampleBook::Write(engine::ToCp932(schema).value(), {"<grammar><start>"});
    ModalDriver driver;
    driver.File(schema).Box().Then<tamountschemadialog>([&](tamountschemadialog* dialog) {
      QCOMPARE(dialog->lstform->count(), 0);
      dialog->btnok->click();
    });
    RunCommand();
    QVERIFY(driver.Done());
    QCOMPARE(driver.Messages(), QStringList{"スキーマの構造が不正です"});
    QVERIFY(driver.Unexpected().isEmpty());
  }
};

REGISTER_DESKTOP_TEST(SchemaDialogTest);

}  // namespace desktop_tests

#include "schema_dialog_test.moc"
