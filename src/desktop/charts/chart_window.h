#pragma once

#include <QDialog>
#include <QList>
#include <QPicture>
#include <QTimer>
#include <array>
#include <vector>

#include "engine/amount/chart_series.h"
#include "engine/print/page_layout.h"

class QChart;
class QChartView;
class QComboBox;
class QHBoxLayout;
class QValueAxis;

namespace engine {
class TLedgerGrid;
}

namespace desktop {

class GridModel;

// A chart window: the rows of an aggregation as a sorted bar chart or a pie, or one subject's
// money in and out per month as bars with its balance as a line. Amounts are grouped by
// thousands and shown exactly in tool tips; "画像として保存…" writes the chart as a PNG or SVG
// image, and the chart prints, or shows in the preview, on the program's printer.
class ChartWindow : public QDialog {
  Q_OBJECT

 public:
  // The rows of an aggregation result.
  ChartWindow(std::vector<engine::ChartItem> items, QWidget* parent);
  // One ledger's months; the chart is drawn again when the ledger changes (a posting).
  ChartWindow(const engine::TLedgerGrid& ledger, GridModel* model, QWidget* parent);

  QChart* Chart() const { return chart_; }
  QChartView* View() const { return view_; }
  // Draws the items as a pie instead of bars, or back.
  void SetPie(bool pie);
  // Writes the chart as an SVG image when the path ends in ".svg", as PNG otherwise; false
  // when the file can't be written, the old file then staying as it was.
  bool SaveImage(const QString& path) const;
  // The chart on one page of `size`, across the printable width with its own proportions.
  QPicture PrintPage(engine::PageSize size) const;

 protected:
  // For charts of their own: the window with its buttons and an empty chart.
  ChartWindow(const QString& title, QWidget* parent);
  // The row of controls over the chart.
  QHBoxLayout* TopRow() const { return top_; }
  void Clear();
  // Shows `items` as bars or, once chosen, a pie, with the bar-or-pie choice in the top row.
  void SetItems(std::vector<engine::ChartItem> items, const QString& title);
  // Draws again shortly after the last change of any of the models (a posting touches
  // several rows and tables); the window closes with the book, when one of them goes.
  void FollowModels(const QList<GridModel*>& models);
  virtual void Redraw();
  // A followed table is gone with its book: nothing may be read any more.
  bool FollowedGone() const { return followedGone_; }

  // One month of a bar-and-line chart: two bars and a point of the line.
  struct MonthBars {
    QString label;
    std::int64_t in = 0;
    std::int64_t out = 0;
    std::int64_t balance = 0;
  };
  // "yy/mm".
  static QString MonthLabel(int year, int month);
  // The months as two bars each, named by `names[0]` and `names[1]`, and a line `names[2]`.
  void DrawMonths(const QString& title, const std::array<QString, 3>& names,
                  const std::vector<MonthBars>& months);

 private:
  void Build(const QString& title);
  void DrawItems();
  void DrawLedger();
  void SaveImageClicked();
  void PrintClicked();
  void PreviewClicked();
  // The pages to print or preview; empty, with the user told, when there is no printer.
  bool MakePages(QList<QPicture>& pages);

  std::vector<engine::ChartItem> items_;
  QString itemsTitle_;
  const engine::TLedgerGrid* ledger_ = nullptr;
  bool pie_ = false;
  // A followed table is gone: the book closed and nothing may be read any more.
  bool followedGone_ = false;
  QChart* chart_ = nullptr;
  QChartView* view_ = nullptr;
  QHBoxLayout* top_ = nullptr;
  QComboBox* kind_ = nullptr;
  QTimer redraw_;
};

// Amounts as the charts show them: "12,345".
QString GroupedAmount(std::int64_t amount);
// An amount axis from `low` (or 0) to `high` (or 1), on round numbers.
QValueAxis* AmountAxis(double low, double high);

}  // namespace desktop
