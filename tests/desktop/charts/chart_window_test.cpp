// The chart windows: their series against the engine's totals, a redraw after posting, and
// each chart rendered to a PNG image.
#include "desktop/charts/chart_window.h"

#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineSeries>
#include <QPainter>
#include <QPicture>
#include <QPieSeries>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

#include "desktop/app/tacc_mdi.h"
#include "desktop/charts/book_chart_window.h"
#include "desktop/print/page_image.h"
#include "desktop/tables/acc_grid_view.h"
#include "desktop/tables/tbookform.h"
#include "engine/tables/journal_grid.h"
#include "engine/tables/ledger_grid.h"
#include "support/book_window.h"
#include "test_registry.h"

namespace desktop_tests {

class ChartWindowTest : public BookWindowTest {
  Q_OBJECT

 private:
  template <typename Series>
  static Series* Only(QChart* chart) {
    for (QAbstractSeries* series : chart->series()) {
      if (auto* found = qobject_cast<Series*>(series)) return found;
    }
    return nullptr;
  }
  static double Sum(const QBarSet* set) {
    double sum = 0;
    for (int i = 0; i < set->count(); ++i) sum += set->at(i);
    return sum;
  }
  // Renders the chart to a PNG file and checks that it holds a picture, not a blank page.
  static void CheckRendering(desktop::ChartWindow& window) {
    CheckRenderingAs(window, QStringLiteral("chart.png"));
  }
  static int Colours(const QImage& image) {
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); y += 4) {
      for (int x = 0; x < image.width(); x += 4) colours.insert(image.pixel(x, y));
    }
    return static_cast<int>(colours.size());
  }
  static void CheckRenderingAs(desktop::ChartWindow& window, const QString& name) {
    window.resize(640, 420);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    // The chart lays out its new series on the next turn of the event loop.
    QTest::qWait(20);
    QTemporaryDir dir;
    const QString path = qEnvironmentVariableIsSet("ZENTABO_CHART_DIR")
                             ? QDir(qEnvironmentVariable("ZENTABO_CHART_DIR")).filePath(name)
                             : dir.filePath(name);
    QVERIFY(window.SaveImage(path));
    const QImage image(path);
    QCOMPARE(image.size(), window.View()->size() * window.View()->devicePixelRatio());
    QVERIFY2(Colours(image) > 20, qPrintable(QString::number(Colours(image))));
  }

 private slots:
  void cleanup() { StopWindow(); }

  void ledgerChartFollowsTheLedgerAndItsPostings() {
    StartWindow();
    OpenBook();
    engine::TLedgerGrid& food = window_->Book().LedgerAt(0);
    QCOMPARE(engine::FromCp932(food.Caption()), QStringLiteral("食費"));
    desktop::ChartWindow window(food, window_->FormOf(food)->grid->Model(), nullptr);
    window.setAttribute(Qt::WA_DeleteOnClose, false);
    auto* bars = Only<QBarSeries>(window.Chart());
    QVERIFY(bars);
    QCOMPARE(bars->count(), 2);
    QCOMPARE(Sum(bars->barSets()[0]), static_cast<double>(food.DebitTotal()));
    QCOMPARE(Sum(bars->barSets()[1]), static_cast<double>(food.CreditTotal()));
    QCOMPARE(Only<QLineSeries>(window.Chart())->points().constLast().y(), 1500.0);
    CheckRendering(window);

    // A posting into July adds a month and moves the balance.
    engine::TJournalGrid& journal = *window_->Book().Journal();
    const int row = journal.RowCount() - 1;
    const char* cells[] = {"25/07/03", "800", "食費", "夕食", "現金", "800"};
    for (int c = 1; c <= 6; ++c) journal.SetCell(c, row, S(cells[c - 1]));
    journal.PostRow(row);
    QTRY_COMPARE(Only<QLineSeries>(window.Chart())->points().size(), 2);
    bars = Only<QBarSeries>(window.Chart());
    QCOMPARE(Sum(bars->barSets()[0]), static_cast<double>(food.DebitTotal()));
    QCOMPARE(Only<QLineSeries>(window.Chart())->points().constLast().y(), 2300.0);
  }

  void resultChartDrawsItsRowsAsSortedBarsOrAPie() {
    StartWindow();
    engine::ResultGrid grid;
    grid.rows.push_back({S("食費"), "", "", "", "", "1,500"});
    grid.rows.push_back({S("収入"), "", "", "", "", ""});
    grid.rows.push_back({S("家賃"), "", "", "", "", "68000"});
    grid.rows.push_back({S("返金"), "", "", "", "", "-200"});
    desktop::ChartWindow window(engine::ResultChartItems(grid), nullptr);
    window.setAttribute(Qt::WA_DeleteOnClose, false);
    QBarSet* set = Only<QBarSeries>(window.Chart())->barSets().constFirst();
    QCOMPARE(set->count(), 3);
    QCOMPARE(set->at(0), 68000.0);
    QCOMPARE(set->at(1), 1500.0);
    QCOMPARE(set->at(2), -200.0);
    CheckRendering(window);

    window.SetPie(true);
    auto* pie = Only<QPieSeries>(window.Chart());
    QVERIFY(pie);
    QCOMPARE(pie->count(), 2);
    QCOMPARE(pie->sum(), 69500.0);
    CheckRendering(window);
  }

  void bookChartDrawsTheEnginesMonthsAndSubjectsAndFollowsPostings() {
    StartWindow();
    OpenBook();
    desktop::BookChartWindow window(
        window_->Book(), {window_->FormOf(*window_->Book().Journal())->grid->Model()}, nullptr);
    window.setAttribute(Qt::WA_DeleteOnClose, false);
    // 現金 is 食費's counterpart: it holds the money, and 食費 is the spending.
    const engine::FlowSubjects& subjects = window.Subjects();
    QCOMPARE(subjects.subjects.size(), std::size_t{1});
    QCOMPARE(engine::FromCp932(subjects.subjects[0].subject), QStringLiteral("食費"));
    QVERIFY(window.findChild<QLabel*>(QStringLiteral("chartSource"))->text().contains("借方"));

    struct Case {
      desktop::BookChartWindow::Mode mode;
      const char* image;
    };
    const Case cases[] = {{desktop::BookChartWindow::kMonthly, "monthly.png"},
                          {desktop::BookChartWindow::kSpending, "spending.png"}};
    for (const Case& c : cases) {
      window.SetMode(c.mode);
      const std::vector<engine::MonthFlow> months =
          engine::BookMonthlyFlow(window_->Book(), subjects);
      if (c.mode == desktop::BookChartWindow::kMonthly) {
        auto* bars = Only<QBarSeries>(window.Chart());
        QVERIFY(bars);
        QCOMPARE(bars->barSets()[0]->count(), static_cast<int>(months.size()));
        QCOMPARE(Sum(bars->barSets()[0]), 0.0);
        QCOMPARE(Sum(bars->barSets()[1]), 1500.0);
        QCOMPARE(Only<QLineSeries>(window.Chart())->points().constLast().y(), -1500.0);
      } else {
        QBarSet* set = Only<QBarSeries>(window.Chart())->barSets().constFirst();
        QCOMPARE(set->count(), 1);
        QCOMPARE(set->at(0), 1500.0);
      }
      CheckRenderingAs(window, QString::fromUtf8(c.image));
    }
    // No income in the book: an empty chart, not a failure.
    window.SetMode(desktop::BookChartWindow::kIncome);
    QCOMPARE(Only<QBarSeries>(window.Chart())->barSets().constFirst()->count(), 0);

    // A posting in July adds a month; the new month joins the period chosen.
    window.SetMode(desktop::BookChartWindow::kMonthly);
    engine::TJournalGrid& journal = *window_->Book().Journal();
    const int row = journal.RowCount() - 1;
    const char* cells[] = {"25/07/03", "800", "食費", "夕食", "現金", "800"};
    for (int c = 1; c <= 6; ++c) journal.SetCell(c, row, S(cells[c - 1]));
    journal.PostRow(row);
    QTRY_COMPARE(window.Months(), QStringList({"25/06", "25/07"}));
    window.SetMonths(0, 1);
    QCOMPARE(Sum(Only<QBarSeries>(window.Chart())->barSets()[1]), 2300.0);
  }

  void chartSavesAsSvgOrPngAndPrintsOnOnePage() {
    StartWindow();
    engine::ResultGrid grid;
    grid.rows.push_back({S("食費"), "", "", "", "", "1500"});
    grid.rows.push_back({S("家賃"), "", "", "", "", "68000"});
    desktop::ChartWindow window(engine::ResultChartItems(grid), nullptr);
    window.setAttribute(Qt::WA_DeleteOnClose, false);
    window.resize(640, 420);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QTemporaryDir dir;
    const QString svg = dir.filePath(QStringLiteral("chart.svg"));
    QVERIFY(window.SaveImage(svg));
    QFile file(svg);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(file.readAll());
    QVERIFY(text.contains(QStringLiteral("<svg")));
    QVERIFY(text.contains(QStringLiteral("家賃")));
    // A folder that isn't there: refused, nothing written.
    QVERIFY(!window.SaveImage(dir.filePath(QStringLiteral("missing/chart.png"))));

    // A4 portrait: the chart across the width inside the margins, on white paper.
    const engine::PageSize a4{2100, 2970};
    const QPicture page = window.PrintPage(a4);
    QCOMPARE(page.boundingRect(), QRect(0, 0, 2100, 2970));
    QImage paper(210, 297, QImage::Format_RGB32);
    paper.fill(Qt::white);
    {
      QPainter painter(&paper);
      desktop::DrawPageImage(painter, page, QRectF(0, 0, 210, 297));
    }
    QVERIFY2(Colours(paper) > 10, qPrintable(QString::number(Colours(paper))));
    const QRgb white = QColor(Qt::white).rgb();
    for (int x = 0; x < paper.width(); ++x) {
      QCOMPARE(paper.pixel(x, 5), white);  // inside the top margin
      QCOMPARE(paper.pixel(x, 290), white);
    }
  }
};

REGISTER_DESKTOP_TEST(ChartWindowTest);

}  // namespace desktop_tests

#include "chart_window_test.moc"
