#include "desktop/print/page_image.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPen>
#include <cmath>

#include "desktop/base/fonts.h"
#include "desktop/print/printer_device.h"
#include "engine/base/cp932.h"
#include "engine/base/error.h"
#include "engine/tables/acc_grid.h"

namespace desktop {

int FontHeight(int fontSize, int referenceDpi) {
  return static_cast<int>(std::lround(fontSize * referenceDpi / 72.0));
}

QPicture RecordPage(const engine::PageLayout& layout, int referenceDpi) {
  QPicture picture;
  const int width = layout.size.width;
  const int height = layout.size.height;
  {
    QPainter painter(&picture);
    // Rules are 0.1 mm wide, whatever the scale the page is drawn at.
    painter.setPen(QPen(Qt::black, 1, Qt::SolidLine, Qt::FlatCap));
    painter.setBrush(Qt::NoBrush);
    painter.setBackgroundMode(Qt::TransparentMode);
    // The program's Japanese face, so that kana, kanji and digits share one set of metrics.
    QFont font = ApplicationFont();
    for (const engine::PrintLine& line : layout.rules) {
      painter.drawLine(QPoint(line.x1, -line.y1), QPoint(line.x2, -line.y2));
    }
    for (const engine::PrintText& text : layout.texts) {
      font.setPixelSize(FontHeight(text.fontSize, referenceDpi));
      painter.setFont(font);
      const QString shown = engine::FromCp932(text.text);
      // The text stands in a box one character height tall below its origin, the baseline
      // dividing it as the face's ascent and descent do. Faces with a tall line spacing
      // would otherwise sit low in the row and lose their feet at its bottom rule.
      const QFontMetricsF metrics(font);
      const qreal extent = metrics.ascent() + metrics.descent();
      const qreal ascent = extent > 0 ? font.pixelSize() * metrics.ascent() / extent : 0;
      const QPointF baseline(text.x, -text.y + ascent);
      if (text.clipped) {
        painter.setClipRect(QRect(QPoint(text.clipLeft, -text.clipTop),
                                  QPoint(text.clipRight - 1, -text.clipBottom - 1)));
        painter.drawText(baseline, shown);
        painter.setClipping(false);
      } else {
        painter.drawText(baseline, shown);
      }
    }
  }
  picture.setBoundingRect(QRect(0, 0, width, height));
  return picture;
}

QPicture PrintPage(const engine::TAccGrid& table, engine::PageSize size, int page, int referenceDpi,
                   bool headings) {
  return RecordPage(engine::LayoutPage(table, size, page, headings), referenceDpi);
}

void DrawPageImage(QPainter& painter, const QPicture& page, const QRectF& target) {
  const QRect frame = page.boundingRect();
  if (frame.width() <= 0 || frame.height() <= 0 || !painter.device()) return;
  painter.save();
  painter.translate(target.topLeft());
  painter.scale(target.width() / frame.width(), target.height() / frame.height());
  // Playing a picture scales it by the target's resolution over the picture's own; the page
  // is already scaled to the target, so that is taken back out.
  painter.scale(qreal(page.logicalDpiX()) / painter.device()->logicalDpiX(),
                qreal(page.logicalDpiY()) / painter.device()->logicalDpiY());
  painter.drawPicture(QPointF(0, 0), page);
  painter.restore();
}

void PrintPages(TPrinterDevice& device, const QList<QPicture>& pages, int first, int last) {
  if (pages.isEmpty()) return;
  first = std::max(first, 1);
  last = std::min(last, static_cast<int>(pages.size()));
  if (first > last) return;
  const QSize paper = device.GetPhysicalSize();
  const QPoint offset = device.GetPhysicalOffset();
  // The printable area, as far from the right and bottom edges as from the left and top.
  const QRectF target(0, 0, paper.width() - 2 * offset.x(), paper.height() - 2 * offset.y());
  device.BeginDoc(device.JobName());
  try {
    for (int page = first; page <= last; ++page) {
      if (page > first) device.NewPage();
      DrawPageImage(*device.Canvas(), pages[page - 1], target);
    }
  } catch (...) {
    device.AbortDoc();
    throw;
  }
  device.EndDoc();
}

}  // namespace desktop
