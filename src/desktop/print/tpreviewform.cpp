#include "desktop/print/tpreviewform.h"

#include <QAction>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QStyle>
#include <QToolBar>
#include <cmath>

#include "desktop/app/guarded.h"
#include "desktop/print/page_image.h"
#include "desktop/print/print_dialogs.h"
#include "desktop/print/printer_device.h"
#include "engine/base/error.h"

namespace desktop {

namespace {

// The colour of button shadows: the preview's background and the light side of the sheet.
const QColor kButtonShadow(160, 160, 160);

int RoundHalfEven(double value) {
  return static_cast<int>(std::nearbyint(value));
}

}  // namespace

void PreviewImage::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(this);
  painter.drawImage(0, 0, bitmap);
}

TPreviewForm::TPreviewForm(TPrinterDevice& device, QWidget* owner)
    : TAccDialog(owner), device_(device) {
  setWindowTitle(QStringLiteral("印刷プレビュー"));
  setWindowFlag(Qt::WindowStaysOnTopHint, true);
  QPalette shadow = palette();
  shadow.setColor(QPalette::Window, kButtonShadow);
  setPalette(shadow);
  setSizeGripEnabled(true);

  toolBar = new QToolBar(this);
  toolBar->setObjectName(QStringLiteral("ToolBar"));
  toolBar->setMovable(false);
  toolBar->setIconSize(QSize(16, 16));
  toolBar->setAutoFillBackground(true);
  QPalette face = toolBar->palette();
  face.setColor(QPalette::Window, ButtonFace());
  toolBar->setPalette(face);
  auto addButton = [this](QStyle::StandardPixmap icon, const char* name, const char* hint,
                          void (TPreviewForm::*handler)()) {
    QAction* action = toolBar->addAction(style()->standardIcon(icon), QString::fromUtf8(hint));
    action->setObjectName(QString::fromUtf8(name));
    action->setToolTip(QString::fromUtf8(hint));
    connect(action, &QAction::triggered, this,
            [this, handler] { RunGuarded(this, [this, handler] { (this->*handler)(); }); });
    return action;
  };
  toolBar->addSeparator();
  tbFirstPage = addButton(QStyle::SP_MediaSkipBackward, "tbFirstPage", "最初のページ",
                          &TPreviewForm::tbFirstPageClick);
  tbPreviousPage = addButton(QStyle::SP_MediaSeekBackward, "tbPreviousPage", "前のページ",
                             &TPreviewForm::tbPreviousPageClick);
  tbNextPage = addButton(QStyle::SP_MediaSeekForward, "tbNextPage", "次のページ",
                         &TPreviewForm::tbNextPageClick);
  tbLastPage = addButton(QStyle::SP_MediaSkipForward, "tbLastPage", "最後のページ",
                         &TPreviewForm::tbLastPageClick);
  toolBar->addSeparator();
  tbPrint = toolBar->addAction(QIcon(QStringLiteral(":/icons/print.png")), QStringLiteral("印刷"));
  tbPrint->setObjectName(QStringLiteral("tbPrint"));
  tbPrint->setToolTip(QStringLiteral("印刷"));
  connect(tbPrint, &QAction::triggered, this,
          [this] { RunGuarded(this, [this] { tbPrintClick(); }); });
  toolBar->addSeparator();
  btnClose = new QPushButton(QStringLiteral("閉じる"), toolBar);
  btnClose->setObjectName(QStringLiteral("btnClose"));
  btnClose->setAutoDefault(false);
  toolBar->addWidget(btnClose);
  connect(btnClose, &QPushButton::clicked, this, &QDialog::reject);

  image = new PreviewImage(this);
  image->setObjectName(QStringLiteral("Image"));

  statusBar = new QWidget(this);
  statusBar->setObjectName(QStringLiteral("StatusBar"));
  statusBar->setAutoFillBackground(true);
  statusBar->setPalette(face);
  auto* panels = new QHBoxLayout(statusBar);
  panels->setContentsMargins(0, 0, 0, 0);
  panels->setSpacing(2);
  statusPanel = new QLabel(statusBar);
  statusPanel->setFixedWidth(100);
  statusPanel->setAlignment(Qt::AlignCenter);
  statusPanel->setFrameShape(QFrame::Panel);
  statusPanel->setFrameShadow(QFrame::Sunken);
  auto* empty = new QLabel(statusBar);
  empty->setFixedWidth(50);
  empty->setFrameShape(QFrame::Panel);
  empty->setFrameShadow(QFrame::Sunken);
  panels->addWidget(statusPanel);
  panels->addWidget(empty);
  panels->addStretch(1);

  image->bitmap = QImage(1, 1, QImage::Format_RGB32);
  image->bitmap.fill(Qt::white);
  resize(414, 306);
}

TPreviewForm::~TPreviewForm() = default;

void TPreviewForm::SetPages(const QList<QPicture>* pages) {
  pages_ = pages;
  index_ = 0;
}

QString TPreviewForm::StatusText() const {
  return statusPanel->text();
}

void TPreviewForm::ShowPage(int index) {
  image->bitmap.fill(Qt::white);
  if (pages_ && index >= 0 && index < PageCount()) {
    QPainter painter(&image->bitmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    DrawPageImage(painter, (*pages_)[index],
                  QRectF(0, 0, image->bitmap.width(), image->bitmap.height()));
  }
  image->update();
}

void TPreviewForm::ShowStatus() {
  statusPanel->setText(QStringLiteral("page : %1 / %2").arg(index_ + 1).arg(PageCount()));
}

void TPreviewForm::DrawBorder() {
  const int w = image->bitmap.width();
  const int h = image->bitmap.height();
  QPainter painter(&image->bitmap);
  // A thick bottom and right edge: the sheet's drop shadow.
  painter.setPen(QPen(Qt::black, 4));
  painter.drawLine(0, h - 2, w, h - 2);
  painter.drawLine(w - 2, h, w - 2, 1);
  painter.setPen(QPen(Qt::black, 2));
  painter.drawLine(1, 0, 1, h - 2);
  painter.setPen(QPen(kButtonShadow, 2));
  painter.drawLine(1, h - 2, 1, h);
  painter.setPen(QPen(Qt::black, 2));
  painter.drawLine(0, 1, w - 3, 1);
  painter.setPen(QPen(kButtonShadow, 2));
  painter.drawLine(w - 3, 1, w, 1);
  image->update();
}

void TPreviewForm::showEvent(QShowEvent* event) {
  TAccDialog::showEvent(event);
  if (!pages_) return;
  ShowPage(index_);
  ShowStatus();
  DrawBorder();
}

void TPreviewForm::resizeEvent(QResizeEvent* event) {
  TAccDialog::resizeEvent(event);
  const int cw = width();
  const int ch = height();
  toolBar->setGeometry(0, 0, cw, kToolBarHeight);
  statusBar->setGeometry(0, ch - kStatusBarHeight, cw, kStatusBarHeight);
  PlaceImage(cw, ch);
}

void TPreviewForm::PlaceImage(int cw, int ch) {
  if (cw <= 10 || ch <= 54) return;
  QSize paper;
  try {
    paper = device_.GetPhysicalSize();
  } catch (const engine::Error&) {
    return;  // no printer to take the proportions from: the image stays as it is
  }
  const double pw = paper.width();
  const double ph = paper.height();
  if (pw <= 0 || ph <= 0) return;
  int height = ch - 54;
  int width = RoundHalfEven(pw / ph * height);
  int left = 0;
  int top = 0;
  if (cw - 10 < width) {
    width = cw - 10;
    height = RoundHalfEven(ph / pw * width);
    left = 5;
    top = RoundHalfEven((ch - 54) / 2.0 - height / 2.0) + 25;
  } else {
    left = RoundHalfEven((cw - 10) / 2.0 - width / 2.0);
    top = 30;
  }
  image->setGeometry(left, top, width, height);
  image->bitmap = QImage(std::max(width, 1), std::max(height, 1), QImage::Format_RGB32);
  image->bitmap.fill(Qt::white);
  if (pages_) ShowPage(index_);
  DrawBorder();
}

void TPreviewForm::tbFirstPageClick() {
  if (index_ <= 0) return;
  index_ = 0;
  ShowPage(index_);
  ShowStatus();
  DrawBorder();
}

void TPreviewForm::tbPreviousPageClick() {
  if (index_ > 0) --index_;
  ShowPage(index_);
  ShowStatus();
  DrawBorder();
}

void TPreviewForm::tbNextPageClick() {
  if (index_ < PageCount() - 1) ++index_;
  ShowPage(index_);
  ShowStatus();
  DrawBorder();
}

void TPreviewForm::tbLastPageClick() {
  if (index_ >= PageCount() - 1) return;
  index_ = PageCount() - 1;
  ShowPage(index_);
  ShowStatus();
  DrawBorder();
}

void TPreviewForm::tbPrintClick() {
  const int count = PageCount();
  if (count == 0) return;
  // Made afresh each time so that it always works on the printer as it is now.
  TDevicePrintDialog dialog(device_, this);
  dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
  dialog.setMinMax(1, count);
  dialog.setFromTo(1, count);
  dialog.setPrintRange(QAbstractPrintDialog::AllPages);
  if (dialog.exec() != QDialog::Accepted) return;
  PrintPages(device_, *pages_, dialog.FirstPage(), dialog.LastPage());
}

}  // namespace desktop
