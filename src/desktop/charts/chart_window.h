#pragma once

#include <QDialog>
#include <QTimer>
#include <vector>

#include "engine/amount/chart_series.h"

class QChart;
class QChartView;
class QComboBox;

namespace engine {
class TLedgerGrid;
}

namespace desktop {

class GridModel;

// A chart window: the rows of an aggregation as a sorted bar chart or a pie, or one subject's
// money in and out per month as bars with its balance as a line. Amounts are grouped by
// thousands and shown exactly in tool tips; "画像として保存…" writes the chart as a PNG image.
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
  // Writes the chart as an image; false when the file can't be written.
  bool SaveImage(const QString& path) const;

 private:
  void Build(const QString& title);
  void Clear();
  void DrawItems();
  void DrawLedger();
  void SaveImageClicked();

  std::vector<engine::ChartItem> items_;
  const engine::TLedgerGrid* ledger_ = nullptr;
  bool pie_ = false;
  QChart* chart_ = nullptr;
  QChartView* view_ = nullptr;
  QComboBox* kind_ = nullptr;
  QTimer redraw_;
};

// Amounts as the charts show them: "12,345".
QString GroupedAmount(std::int64_t amount);

}  // namespace desktop
