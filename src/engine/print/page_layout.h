#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace engine {

class TAccGrid;

// A sheet of paper in tenths of a millimetre.
struct PageSize {
  int width = 0;
  int height = 0;
  bool operator==(const PageSize&) const = default;
};

// What a printer's device mode says about scaling: the scale applies only when the fields
// carry the scale bit.
struct DeviceMode {
  static constexpr std::uint32_t kScaleField = 0x10;
  std::uint32_t fields = 0;
  int scale = 100;
};

// The print scale in percent.
int PrintScale(const DeviceMode& mode);

// The paper size in tenths of a millimetre from the printer's resolution (dots per inch), its
// paper size in device pixels and the print scale in percent. Truncating integer divisions in
// a fixed order, so that every printer gives the same figures as the printed layout expects.
PageSize PageSizeFromMetrics(int dpiX, int dpiY, int pixelWidth, int pixelHeight, int scale);

// The printed layout of a book table, in tenths of a millimetre: 10 mm margins at the sides
// and above the title, the table 20 mm below the top edge, rows 5 mm high.
inline constexpr int kPageMargin = 100;
inline constexpr int kTableTop = 200;
inline constexpr int kRowPitch = 50;
inline constexpr int kTitleFontSize = 30;
inline constexpr int kCellFontSize = 25;
// The smallest paper that holds the title, the margins and one row.
inline constexpr int kMinPageSide = 350;

// Which table the page shows: the two have their own column widths.
enum class PrintedTable { Journal, Ledger };
PrintedTable PrintedTableOf(const TAccGrid& table);

// Throws a clear Error for paper too small to hold one row, before anything divides by the
// rows per page.
void CheckPageSize(PageSize size);

// With `headings` every page starts with the table's heading row, which then takes the place
// of one data row; paper that holds a single row prints it without the heading.
bool HeadingsFit(int pageHeight, bool headings);
// Data rows on one page of the given height.
int RowsPerPage(int pageHeight, bool headings = false);
// Pages of a table of `rowCount` rows (the heading row included: it is printed only as the
// heading of each page, when asked for).
int PageCount(int rowCount, int pageHeight, bool headings = false);
int PageCount(const TAccGrid& table, PageSize size, bool headings = false);

// The data rows that page `page` (from 1) holds: the last page holds the last rows.
struct PageRows {
  int first = 0;
  int count = 0;
  bool operator==(const PageRows&) const = default;
};
PageRows RowsOfPage(int rowCount, int pageHeight, int page, bool headings = false);

// x of the table's seven column rules, left to right.
std::array<int, 7> ColumnEdges(PrintedTable table, int pageWidth);

// Everything that is drawn on a page, with y pointing up: a point d tenths of a millimetre
// below the paper's top edge has y = -d.
struct PrintLine {
  int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  bool operator==(const PrintLine&) const = default;
};

struct PrintText {
  // Where the text's top-left corner goes.
  int x = 0, y = 0;
  int fontSize = 0;
  // Cell texts are cut at their cell; the title is not.
  bool clipped = false;
  int clipLeft = 0, clipTop = 0, clipRight = 0, clipBottom = 0;
  std::string text;  // CP932
};

struct PageLayout {
  PageSize size;
  std::string title;  // CP932
  std::vector<PrintLine> rules;
  std::vector<PrintText> texts;  // the title first, then the cells row by row
};

// Lays out page `page` (from 1 to PageCount) of the table.
PageLayout LayoutPage(const TAccGrid& table, PageSize size, int page, bool headings = false);

}  // namespace engine
