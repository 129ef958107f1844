#pragma once

#include <QList>
#include <QPicture>
#include <QRectF>

#include "engine/print/page_layout.h"

class QPainter;

namespace engine {
class TAccGrid;
}

namespace desktop {

class TPrinterDevice;

// A page image is a QPicture recorded in tenths of a millimetre with y pointing down, the
// paper filling (0, 0) to (width, height). It is independent of the device it is drawn on.

// Character height of a font size in page units: size x dots per inch of the reference
// screen / 72, rounded, as a screen font of that size would be.
int FontHeight(int fontSize, int referenceDpi);

// Records a laid-out page.
QPicture RecordPage(const engine::PageLayout& layout, int referenceDpi);

// PrintPage: records page `page` (from 1) of the table on paper of the given size.
QPicture PrintPage(const engine::TAccGrid& table, engine::PageSize size, int page, int referenceDpi,
                   bool headings = false);

// Draws a page image scaled to fill `target` (in the painter's coordinates).
void DrawPageImage(QPainter& painter, const QPicture& page, const QRectF& target);

// Prints pages first to last (from 1) of `pages` as one job named after the device's job
// name: each page scaled into the printable area, a new sheet between pages.
void PrintPages(TPrinterDevice& device, const QList<QPicture>& pages, int first, int last);

}  // namespace desktop
