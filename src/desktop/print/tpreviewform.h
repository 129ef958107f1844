#pragma once

#include <QImage>
#include <QList>
#include <QPicture>
#include <QWidget>

#include "desktop/base/tacc_dialog.h"

class QAction;
class QLabel;
class QPushButton;
class QToolBar;

namespace desktop {

class TPrinterDevice;

// The preview's sheet: shows its bitmap, which the preview paints.
class PreviewImage : public QWidget {
  Q_OBJECT

 public:
  explicit PreviewImage(QWidget* parent = nullptr) : QWidget(parent) {}
  QImage bitmap;

 protected:
  void paintEvent(QPaintEvent* event) override;
};

// The print preview: one page at a time, scaled to the window with the paper's proportions,
// with buttons to page through and to print.
class TPreviewForm : public TAccDialog {
  Q_OBJECT

 public:
  static constexpr int kToolBarHeight = 25;
  static constexpr int kStatusBarHeight = 19;

  TPreviewForm(TPrinterDevice& device, QWidget* owner);
  ~TPreviewForm() override;

  // The pages to show (not owned); shows the first one next.
  void SetPages(const QList<QPicture>* pages);
  int PageIndex() const { return index_; }
  QString StatusText() const;

  void tbFirstPageClick();
  void tbPreviousPageClick();
  void tbNextPageClick();
  void tbLastPageClick();
  void tbPrintClick();

  QToolBar* toolBar = nullptr;
  QAction* tbFirstPage = nullptr;
  QAction* tbPreviousPage = nullptr;
  QAction* tbNextPage = nullptr;
  QAction* tbLastPage = nullptr;
  QAction* tbPrint = nullptr;
  QPushButton* btnClose = nullptr;
  PreviewImage* image = nullptr;
  QWidget* statusBar = nullptr;
  QLabel* statusPanel = nullptr;

 protected:
  void showEvent(QShowEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  int PageCount() const { return pages_ ? static_cast<int>(pages_->size()) : 0; }
  void ShowPage(int index);
  void ShowStatus();
  void DrawBorder();
  void PlaceImage(int clientWidth, int clientHeight);

  TPrinterDevice& device_;
  const QList<QPicture>* pages_ = nullptr;
  int index_ = 0;
};

}  // namespace desktop
