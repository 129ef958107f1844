// Printing driven as the user drives it: page images, the PDF printer, the print and preview
// commands, and the printer list.

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QMdiArea>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSpinBox>
#include <QTest>
#include <QToolBar>
#include <memory>

#include "desktop/app/mdi_commands.h"
#include "desktop/app/tacc_mdi.h"
#include "desktop/base/fonts.h"
#include "desktop/print/page_image.h"
#include "desktop/print/print_dialogs.h"
#include "desktop/print/printer_device.h"
#include "desktop/print/tpreviewform.h"
#include "desktop/tables/tbookform.h"
#include "desktop_fixture.h"
#include "engine/base/date.h"
#include "engine/tables/journal_grid.h"
#include "engine/tables/ledger_grid.h"
#include "support/book_window.h"
#include "support/modal_driver.h"
#include "test_registry.h"

namespace desktop_tests {

using desktop::Command;
using desktop::PrinterEntry;
using desktop::TPrinterDevice;
using desktop::TPrinterList;

namespace {

constexpr engine::PageSize kA4{2099, 2970};

// Pages in a PDF file: its page objects, not the page tree nodes.
int PdfPageCount(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return -1;
  const QString text = QString::fromLatin1(file.readAll());
  return static_cast<int>(text.count(QRegularExpression(QStringLiteral("/Type\\s*/Page(?!s)"))));
}

// Qt's warnings while it lives, for tests that must see none.
class WarningCatcher {
 public:
  WarningCatcher() {
    caught_.clear();
    previous_ = qInstallMessageHandler(&WarningCatcher::Handle);
  }
  ~WarningCatcher() { qInstallMessageHandler(previous_); }
  WarningCatcher(const WarningCatcher&) = delete;
  WarningCatcher& operator=(const WarningCatcher&) = delete;
  const QStringList& Caught() const { return caught_; }

 private:
  static void Handle(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    // The offscreen platform notes this for every window it shows; a real desktop doesn't.
    const bool platformNote =
        text == QLatin1String("This plugin does not support propagateSizeHints()");
    if (type != QtDebugMsg && type != QtInfoMsg && !platformNote) caught_ << text;
    if (previous_) previous_(type, context, text);
  }
  static inline QStringList caught_;
  static inline QtMessageHandler previous_ = nullptr;
};

bool Dark(const QImage& image, int x, int y) {
  return qGray(image.pixel(x, y)) < 128;
}

// Dark pixels inside the rectangle (inclusive corners).
int DarkIn(const QImage& image, int left, int top, int right, int bottom) {
  int dark = 0;
  for (int y = top; y <= bottom; ++y)
    for (int x = left; x <= right; ++x) dark += Dark(image, x, y) ? 1 : 0;
  return dark;
}

// Journal lines "25/06/dd<TAB>n<TAB>食費<TAB>line n<TAB>現金<TAB>n" for n = 1 to count.
Lines JournalLines(int count) {
  Lines lines;
  for (int n = 1; n <= count; ++n) {
    lines.push_back(S("25/06/01\t") + std::to_string(n) + S("\t食費\tline ") + std::to_string(n) +
                    S("\t現金\t") + std::to_string(n));
  }
  return lines;
}

}  // namespace

class PrintTest : public BookWindowTest {
  Q_OBJECT

 private:
  // The main window with the sample book open; `journalLines` replaces its journal.
  void Start(int journalLines = 0) {
    auto book = std::make_unique<SampleBook>();
    if (journalLines > 0) SampleBook::Write(book->P("仕訳帳.txt"), JournalLines(journalLines));
    StartWindow(std::move(book));
    OpenBook();
    TPrinterDevice& device = TPrinterDevice::Instance();
    device.Printers();  // as a print command starts
    device.SetPrinterIndex(device.List().IndexOf(TPrinterList::PdfPrinterName()));
    QCOMPARE(device.GetPageSize(), kA4);
  }
  QString JournalPdf() { return engine::PathFromCp932(book_->P("仕訳帳.pdf")); }
  void Trigger(Command command) { window_->Commands().MenuItem(command)->trigger(); }

 private slots:
  void cleanup() {
    TPrinterList::SetSource({});
    StopWindow();
  }

  void pageImageHasRulesAndTextsWhereTheLayoutPutsThem() {
    Start();
    engine::TJournalGrid& journal = Journal();
    QCOMPARE(journal.RowCount(), 4);  // two lines and the empty one for typing
    // Too long for the debit column: it must stop at the column's right rule.
    journal.SetCell(3, 1, S("WWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWW"));
    const QPicture page = desktop::PrintPage(journal, kA4, 1, 96);
    QCOMPARE(page.boundingRect(), QRect(0, 0, 2099, 2970));

    // Drawn on 600 dpi paper at one pixel per 0.1 mm: the picture must not grow with the
    // device's resolution.
    QImage image(2099, 2970, QImage::Format_RGB32);
    image.fill(Qt::white);
    image.setDotsPerMeterX(23622);
    image.setDotsPerMeterY(23622);
    {
      QPainter painter(&image);
      desktop::DrawPageImage(painter, page, QRectF(0, 0, 2099, 2970));
    }
    const std::array<int, 7> x = engine::ColumnEdges(engine::PrintedTable::Journal, 2099);
    // Four horizontal rules at 20, 25, 30 and 35 mm, from the left to the right margin.
    for (int y : {200, 250, 300, 350}) {
      QVERIFY2(Dark(image, 150, y) || Dark(image, 150, y - 1), qPrintable(QString::number(y)));
      QVERIFY(Dark(image, 1990, y) || Dark(image, 1990, y - 1));
      QVERIFY(!Dark(image, 80, y) && !Dark(image, 2020, y));
    }
    QCOMPARE(DarkIn(image, 150, 360, 1990, 2900), 0);  // nothing below the last row
    // Seven vertical rules from the top rule to the bottom one.
    for (int edge : x) {
      QVERIFY(Dark(image, edge, 275) || Dark(image, edge - 1, 275));
      QVERIFY(!Dark(image, edge, 380) && !Dark(image, edge - 1, 380));
    }
    // The title 10 mm from the left and top edges, 4 mm high.
    QVERIFY(DarkIn(image, 100, 100, 300, 145) > 0);
    QCOMPARE(DarkIn(image, 0, 0, 2098, 95), 0);
    QCOMPARE(DarkIn(image, 0, 0, 95, 2969), 0);
    // The first row's date sits 1 mm right of the rule and 0.8 mm below it.
    QVERIFY(DarkIn(image, x[0] + 10, 208, x[1] - 2, 248) > 0);
    QCOMPARE(DarkIn(image, x[0] + 2, 202, x[0] + 8, 248), 0);
    QCOMPARE(DarkIn(image, x[0] + 2, 202, x[1] - 2, 206), 0);
    // The long text is cut at its column: the gap before the summary's text stays white.
    QVERIFY(DarkIn(image, x[2] + 10, 208, x[3] - 2, 248) > 0);
    QCOMPARE(DarkIn(image, x[3] + 2, 202, x[3] + 8, 248), 0);
    // The third data row is the empty one.
    for (std::size_t k = 1; k <= 6; ++k)
      QCOMPARE(DarkIn(image, x[k - 1] + 3, 303, x[k] - 3, 347), 0);
  }

  void pdfPrinterWritesEveryPage() {
    Start(5 * 53 - 10);  // with the empty line: 256 rows, five pages
    QList<QPicture> pages;
    for (int p = 1; p <= engine::PageCount(Journal(), kA4); ++p)
      pages << desktop::PrintPage(Journal(), kA4, p, 96);
    QCOMPARE(pages.size(), 5);
    TPrinterDevice& device = TPrinterDevice::Instance();
    const QString path = engine::PathFromCp932(book_->P("all.pdf"));
    QFile::remove(path);
    device.SetOutputFileName(path);
    desktop::PrintPages(device, pages, 1, 5);
    QCOMPARE(PdfPageCount(path), 5);
    QVERIFY(!QFile::exists(path + QStringLiteral(".part")));

    // A file that cannot be written is reported, and an old file stays whole.
    device.SetOutputFileName(engine::PathFromCp932(book_->P("no such folder/x.pdf")));
    QVERIFY_THROWS_EXCEPTION(engine::Error, desktop::PrintPages(device, pages, 1, 5));
    QVERIFY(!device.Printing());
  }

  void printCommandPrintsTheActiveTable() {
    Start(60);  // 61 rows: two pages
    ModalDriver driver;
    QStringList shownFile;
    driver.Then<desktop::TDevicePrintDialog>([&](desktop::TDevicePrintDialog* dialog) {
      shownFile << dialog->printer()->outputFileName();
      shownFile << QString::number(dialog->minPage()) + "-" + QString::number(dialog->maxPage());
      shownFile << dialog->printer()->docName();  // the job is named after the table
      dialog->accept();
    });
    Trigger(Command::Print);
    QVERIFY(driver.Done());
    QVERIFY2(driver.Unexpected().isEmpty(), qPrintable(driver.Unexpected().join(u';')));
    // The PDF is proposed beside the book, named after the table.
    QCOMPARE(shownFile,
             QStringList({JournalPdf(), QStringLiteral("1-2"), QStringLiteral("仕訳帳")}));
    QCOMPARE(PdfPageCount(JournalPdf()), 2);
    QVERIFY(window_->Pages().isEmpty());

    // Cancelling prints nothing.
    QFile::remove(JournalPdf());
    driver.Then<desktop::TDevicePrintDialog>([](desktop::TDevicePrintDialog* d) { d->reject(); });
    Trigger(Command::Print);
    QVERIFY(driver.Done());
    QVERIFY(!QFile::exists(JournalPdf()));
    QVERIFY(window_->Pages().isEmpty());
  }

  void previewPagesThroughAndPrintsARange() {
    Start(5 * 53 - 1);  // 5 full pages
    ModalDriver driver;
    QStringList status;
    int pagesDuringPreview = 0;
    QSize previewSize;
    auto record = [&](desktop::TPreviewForm* p) { status << p->StatusText(); };
    driver.Then<desktop::TPreviewForm>([&](desktop::TPreviewForm* preview) {
      pagesDuringPreview = static_cast<int>(window_->Pages().size());
      previewSize = preview->size();
      record(preview);
      preview->tbPreviousPage->trigger();  // already on the first page
      record(preview);
      preview->tbNextPage->trigger();
      record(preview);
      preview->tbLastPage->trigger();
      record(preview);
      preview->tbNextPage->trigger();  // already on the last page
      record(preview);
      preview->tbPreviousPage->trigger();
      record(preview);
      preview->tbFirstPage->trigger();
      record(preview);
      preview->tbPrint->trigger();
    });
    QList<int> printed;
    driver.Then<desktop::TDevicePrintDialog>([&](desktop::TDevicePrintDialog* dialog) {
      // As the user does it: the range choice, then from and to.
      auto* range = dialog->findChild<QRadioButton*>(QStringLiteral("printRange"));
      auto* from = dialog->findChild<QSpinBox*>(QStringLiteral("from"));
      auto* to = dialog->findChild<QSpinBox*>(QStringLiteral("to"));
      if (range && from && to) {
        range->click();
        to->setValue(3);
        from->setValue(2);
      }
      dialog->accept();
      printed << dialog->FirstPage() << dialog->LastPage();
    });
    driver.Then<desktop::TPreviewForm>([&](desktop::TPreviewForm* preview) {
      record(preview);  // still open after printing
      preview->btnClose->click();
    });
    Trigger(Command::PrintPreview);
    QVERIFY(driver.Done());
    QVERIFY2(driver.Unexpected().isEmpty(), qPrintable(driver.Unexpected().join(u';')));
    QCOMPARE(pagesDuringPreview, 5);
    QCOMPARE(previewSize, window_->size());
    QCOMPARE(status, QStringList({"page : 1 / 5", "page : 1 / 5", "page : 2 / 5", "page : 5 / 5",
                                  "page : 5 / 5", "page : 4 / 5", "page : 1 / 5", "page : 1 / 5"}));
    QCOMPARE(printed, QList<int>({2, 3}));
    QCOMPARE(PdfPageCount(JournalPdf()), 2);
    QVERIFY(window_->Pages().isEmpty());
  }

  void previewKeepsThePaperProportions() {
    Start();
    QList<QPicture> pages{desktop::PrintPage(Journal(), kA4, 1, 96)};
    desktop::TPreviewForm preview(TPrinterDevice::Instance(), window_.get());
    preview.SetPages(&pages);
    preview.show();
    QVERIFY(QTest::qWaitForWindowExposed(&preview));
    auto resize = [&](QSize size) {
      preview.resize(size);
      QTRY_COMPARE(preview.size(), size);
    };
    const QSize paper = TPrinterDevice::Instance().GetPhysicalSize();
    struct Case {
      QSize client;
      QRect image;
    };
    // Tall windows fit the width, wide ones the height; the image stays where it was when
    // the window is too small.
    const double ratio = double(paper.width()) / paper.height();
    const int wideWidth = qRound(ratio * (600 - 54));
    const Case cases[] = {
        {{800, 600}, {qRound((800 - 10) / 2.0 - wideWidth / 2.0), 30, wideWidth, 546}},
        {{300, 700}, {5, 0, 290, qRound(290 / ratio)}},
    };
    for (const Case& c : cases) {
      resize(c.client);
      QRect expected = c.image;
      if (expected.top() == 0) {
        expected.moveTop(qRound((c.client.height() - 54) / 2.0 - expected.height() / 2.0) + 25);
      }
      QCOMPARE(preview.image->geometry(), expected);
      QCOMPARE(preview.image->bitmap.size(), expected.size());
    }
    const QRect before = preview.image->geometry();
    resize({10, 300});
    QCOMPARE(preview.image->geometry(), before);
    // The sheet's right and bottom edges carry the thick shadow.
    resize({800, 600});
    const QImage& bitmap = preview.image->bitmap;
    QVERIFY(Dark(bitmap, bitmap.width() - 1, bitmap.height() / 2));
    QVERIFY(Dark(bitmap, bitmap.width() - 4, bitmap.height() / 2));
    QVERIFY(Dark(bitmap, bitmap.width() / 2, bitmap.height() - 4));
    QVERIFY(!Dark(bitmap, 3, bitmap.height() / 2));

    // With every printer gone there are no proportions to keep: the image stays.
    TPrinterList::SetSource([] { return std::vector<PrinterEntry>{}; });
    TPrinterDevice::Instance().Printers();
    const QRect shown = preview.image->geometry();
    resize({500, 400});
    QCOMPARE(preview.image->geometry(), shown);
  }

  void noPrinterStopsEveryPrintCommand() {
    Start();
    TPrinterList::SetSource([] { return std::vector<PrinterEntry>{}; });
    ModalDriver driver;
    driver.Box().Box().Box();
    Trigger(Command::Print);
    Trigger(Command::PrintPreview);
    Trigger(Command::PrinterSetting);
    QVERIFY(driver.Done());
    QCOMPARE(driver.Messages(), QStringList(3, QStringLiteral("プリンタが見つかりません")));
    QVERIFY(window_->Pages().isEmpty());

    // Only hidden printers: listed, but none can be used.
    TPrinterList::SetSource([] {
      return std::vector<PrinterEntry>{{"a", TPrinterList::kAttributeHidden},
                                       {"b", TPrinterList::kAttributeHidden | 0x40}};
    });
    QCOMPARE(TPrinterDevice::Instance().Printers(), QStringList({"a", "b"}));
    QVERIFY_THROWS_EXCEPTION(desktop::ENoPrinter, TPrinterDevice::Instance().CheckNoPrinter());
    driver.Box();
    Trigger(Command::Print);
    QVERIFY(driver.Done());
    QVERIFY(driver.Messages().last().contains(QStringLiteral("プリンタがありません")));
    QVERIFY(window_->Pages().isEmpty());
  }

  void printerListNoticesAChangedConfiguration() {
    const PrinterEntry pdf{TPrinterList::PdfPrinterName(), TPrinterList::kAttributeLocal};
    QVERIFY(TPrinterList({{"a", 0x40}, pdf}) == TPrinterList({{"a", 0x40}, pdf}));
    QVERIFY(!(TPrinterList({{"a", 0x40}, pdf}) == TPrinterList({{"a", 0x60}, pdf})));
    QVERIFY(!(TPrinterList({{"a", 0x40}}) == TPrinterList({{"A", 0x40}})));
    QVERIFY(TPrinterList({{"a", 0x20}, {"b", 0x00}}).HasUsablePrinter());
    QVERIFY(!TPrinterList(std::vector<PrinterEntry>{}).HasUsablePrinter());

    std::vector<PrinterEntry> installed{{"hidden", TPrinterList::kAttributeHidden}, pdf};
    int snapshots = 0;
    TPrinterList::SetSource([&] {
      ++snapshots;
      return installed;
    });
    TPrinterDevice& device = TPrinterDevice::Instance();
    device.Printers();
    QCOMPARE(device.PrinterIndex(), 1);
    // A printer added while the program runs shows at the next command; the PDF printer
    // stays the current one.
    installed.insert(installed.begin(), PrinterEntry{"new", TPrinterList::kAttributeHidden});
    QCOMPARE(device.PrinterIndex(), 1);
    QCOMPARE(device.Printers(), QStringList({"new", "hidden", pdf.name}));
    QCOMPARE(device.PrinterIndex(), 2);
    QVERIFY(device.IsPdfPrinter());
    // The page metrics, asked for on every resize of the preview, don't ask the print
    // system again.
    snapshots = 0;
    device.GetPageSize();
    device.GetPhysicalSize();
    device.GetPhysicalOffset();
    QCOMPARE(snapshots, 0);
  }

  void aLedgerPrintsUnderItsSubjectAndTheDialogProposesItsPdf() {
    Start();
    engine::TLedgerGrid* food = window_->Book().FindLedger(S("食費"));
    QVERIFY(food);
    window_->MdiArea()->setActiveSubWindow(window_->FormOf(*food));
    // On a printer queue, the file Qt offers when the user switches to printing into a file
    // is the ledger's PDF beside the book.
    TPrinterDevice& device = TPrinterDevice::Instance();
    const QString foodPdf = engine::PathFromCp932(book_->P("食費.pdf"));
    QStringList seen;
    ModalDriver driver;
    driver.Then<desktop::TPreviewForm>([](desktop::TPreviewForm* p) { p->tbPrint->trigger(); });
    driver.Then<desktop::TDevicePrintDialog>([&](desktop::TDevicePrintDialog* dialog) {
      seen << dialog->printer()->docName() << dialog->printer()->outputFileName();
      if (auto* file = dialog->findChild<QLineEdit*>(QStringLiteral("filename")))
        seen << file->text();
      dialog->accept();
    });
    driver.Then<desktop::TPreviewForm>([](desktop::TPreviewForm* p) { p->btnClose->click(); });
    Trigger(Command::PrintPreview);
    QVERIFY(driver.Done());
    QVERIFY2(driver.Unexpected().isEmpty(), qPrintable(driver.Unexpected().join(u';')));
    QCOMPARE(seen, QStringList({QStringLiteral("食費"), foodPdf, foodPdf}));
    QCOMPARE(device.JobName(), QStringLiteral("食費"));
    QCOMPARE(PdfPageCount(foodPdf), 1);
  }

  void printDialogsOpenWithoutQtWarnings() {
    Start();
    // The program's font, as main() sets it for the whole application.
    const QFont before = QApplication::font();
    QApplication::setFont(desktop::ApplicationFont());
    const auto restore = qScopeGuard([&] { QApplication::setFont(before); });
    WarningCatcher warnings;
    ModalDriver driver;
    QStringList opened;
    driver.Then<desktop::TDevicePrintDialog>([&](desktop::TDevicePrintDialog* dialog) {
      opened << QStringLiteral("print");
      dialog->grab();
      // The printer's properties hold Qt's page preview, which draws with the program's font.
      auto* properties = dialog->findChild<QPushButton*>(QStringLiteral("properties"));
      if (properties && properties->isEnabled()) properties->click();
      dialog->reject();
    });
    driver.Then<QDialog>([&](QDialog* properties) {
      opened << QStringLiteral("properties");
      properties->grab();
      properties->reject();
    });
    Trigger(Command::Print);
    QVERIFY(driver.Done());
    driver.Then<desktop::TDevicePrinterSetupDialog>([&](desktop::TDevicePrinterSetupDialog* d) {
      opened << QStringLiteral("setup");
      d->grab();
      d->reject();
    });
    Trigger(Command::PrinterSetting);
    QVERIFY(driver.Done());
    QVERIFY2(driver.Unexpected().isEmpty(), qPrintable(driver.Unexpected().join(u';')));
    QCOMPARE(opened, QStringList({"print", "properties", "setup"}));
    QVERIFY2(warnings.Caught().isEmpty(), qPrintable(warnings.Caught().join(u'\n')));
  }

  void printerSettingsChooseThePrinterAboveThePaper() {
    const PrinterEntry pdf{TPrinterList::PdfPrinterName(), TPrinterList::kAttributeLocal};
    TPrinterList::SetSource([pdf] {
      return std::vector<PrinterEntry>{{"queue", TPrinterList::kAttributeLocal},
                                       {"hidden", TPrinterList::kAttributeHidden},
                                       pdf};
    });
    Start();
    TPrinterDevice& device = TPrinterDevice::Instance();
    ModalDriver driver;
    QStringList printers;
    driver.Then<desktop::TDevicePrinterSetupDialog>([&](desktop::TDevicePrinterSetupDialog* d) {
      for (int i = 0; i < d->cmbprinter->count(); ++i) printers << d->cmbprinter->itemText(i);
      printers << d->cmbprinter->currentText();
      // The printer comes first, the paper below it.
      QVERIFY(d->cmbprinter->mapTo(d, QPoint()).y() < d->cmbpaper->mapTo(d, QPoint()).y());
      d->cmbprinter->setCurrentIndex(0);
      d->cmbprinter->setCurrentIndex(d->cmbprinter->findText(pdf.name));
      d->cmbpaper->setCurrentIndex(d->cmbpaper->findText(QPageSize(QPageSize::A5).name()));
      d->landscape->click();
      d->accept();
    });
    Trigger(Command::PrinterSetting);
    QVERIFY(driver.Done());
    QVERIFY2(driver.Unexpected().isEmpty(), qPrintable(driver.Unexpected().join(u';')));
    QCOMPARE(printers, QStringList({"queue", pdf.name, pdf.name}));
    QVERIFY(device.IsPdfPrinter());
    const engine::PageSize a5 = device.GetPageSize();
    device.Printer().setPageOrientation(QPageLayout::Portrait);
    device.Printer().setPageSize(QPageSize(QPageSize::A4));
    QVERIFY2(qAbs(a5.width - 2100) <= 1 && qAbs(a5.height - 1480) <= 1,
             qPrintable(QString("%1 x %2").arg(a5.width).arg(a5.height)));
  }

  void printerSettingsChangeThePaper() {
    Start();
    TPrinterDevice& device = TPrinterDevice::Instance();
    ModalDriver driver;
    driver.Then<desktop::TDevicePrinterSetupDialog>([](desktop::TDevicePrinterSetupDialog* d) {
      if (auto* landscape = d->findChild<QRadioButton*>(QStringLiteral("landscape")))
        landscape->click();
      d->accept();
    });
    Trigger(Command::PrinterSetting);
    QVERIFY(driver.Done());
    QVERIFY2(driver.Unexpected().isEmpty(), qPrintable(driver.Unexpected().join(u';')));
    const engine::PageSize landscape = device.GetPageSize();
    device.Printer().setPageOrientation(QPageLayout::Portrait);
    QCOMPARE(landscape.width, kA4.height);
    QCOMPARE(landscape.height, kA4.width);
  }

  void headingsOnEveryPageAreAnOptionKeptInTheSettings() {
    Start(52);  // with the empty line for typing, one full page without headings
    for (const bool on : {false, true, false}) {
      ModalDriver driver;
      driver.Then<desktop::TDevicePrinterSetupDialog>([&](desktop::TDevicePrinterSetupDialog* d) {
        QCOMPARE(d->chkheadings->text(), QStringLiteral("見出しを印刷する"));
        d->chkheadings->setChecked(on);
        d->accept();
      });
      Trigger(Command::PrinterSetting);
      int pages = 0;
      driver.Then<desktop::TPreviewForm>([&](desktop::TPreviewForm* preview) {
        pages = static_cast<int>(window_->Pages().size());
        preview->btnClose->click();
      });
      Trigger(Command::PrintPreview);
      QVERIFY(driver.Done());
      QVERIFY2(driver.Unexpected().isEmpty(), qPrintable(driver.Unexpected().join(u';')));
      QCOMPARE(pages, on ? 2 : 1);
      QCOMPARE(window_->Settings().ReadPrintHeadings(), on);
    }
  }
};

REGISTER_DESKTOP_TEST(PrintTest);

}  // namespace desktop_tests

#include "print_test.moc"
