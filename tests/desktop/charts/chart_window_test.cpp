// The chart windows: their series against the engine's totals, a redraw after posting, and
// each chart rendered to a PNG image.
#include "desktop/charts/chart_window.h"

#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QImage>
#include <QLineSeries>
#include <QPieSeries>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

#include "desktop/app/tacc_mdi.h"
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
    window.resize(640, 420);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    // The chart lays out its new series on the next turn of the event loop.
    QTest::qWait(20);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("chart.png"));
    QVERIFY(window.SaveImage(path));
    const QImage image(path);
    QCOMPARE(image.size(), window.View()->size() * window.View()->devicePixelRatio());
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); y += 4) {
      for (int x = 0; x < image.width(); x += 4) colours.insert(image.pixel(x, y));
    }
    QVERIFY2(colours.size() > 20, qPrintable(QString::number(colours.size())));
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
};

REGISTER_DESKTOP_TEST(ChartWindowTest);

}  // namespace desktop_tests

#include "chart_window_test.moc"
