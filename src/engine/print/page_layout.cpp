#include "engine/print/page_layout.h"

#include <cstdint>
#include <string>

#include "engine/base/cp932.h"
#include "engine/base/error.h"
#include "engine/tables/acc_grid.h"
#include "engine/tables/journal_grid.h"

namespace engine {

int PrintScale(const DeviceMode& mode) {
  return (mode.fields & DeviceMode::kScaleField) != 0 ? mode.scale : 100;
}

PageSize PageSizeFromMetrics(int dpiX, int dpiY, int pixelWidth, int pixelHeight, int scale) {
  if (dpiX <= 0 || dpiY <= 0 || pixelWidth <= 0 || pixelHeight <= 0 || scale <= 0) {
    throw Error(Sjis("プリンタの用紙の大きさが取得できません"));
  }
  auto tenths = [scale](int pixels, int dpi) {
    const std::int64_t value = std::int64_t{pixels} * 254 * scale / dpi / 100;
    return static_cast<int>(value);
  };
  return {tenths(pixelWidth, dpiX), tenths(pixelHeight, dpiY)};
}

PrintedTable PrintedTableOf(const TAccGrid& table) {
  return dynamic_cast<const TJournalGrid*>(&table) ? PrintedTable::Journal : PrintedTable::Ledger;
}

namespace {
[[noreturn]] void RefuseSmallPaper() {
  throw Error(Sjis("用紙が小さすぎて印刷できません（縦横とも 35 mm 以上の用紙が必要です）"));
}
}  // namespace

void CheckPageSize(PageSize size) {
  if (size.width < kMinPageSide || size.height < kMinPageSide) RefuseSmallPaper();
}

namespace {
// Rows of any kind that one page holds.
int RowsOnPaper(int pageHeight) {
  // Below 35 mm not even one row fits, and the page count would divide by zero.
  if (pageHeight < kMinPageSide) RefuseSmallPaper();
  return (pageHeight - kTableTop - kPageMargin) / kRowPitch;
}
}  // namespace

bool HeadingsFit(int pageHeight, bool headings) {
  return headings && RowsOnPaper(pageHeight) > 1;
}

int RowsPerPage(int pageHeight, bool headings) {
  return RowsOnPaper(pageHeight) - (HeadingsFit(pageHeight, headings) ? 1 : 0);
}

int PageCount(int rowCount, int pageHeight, bool headings) {
  const int perPage = RowsPerPage(pageHeight, headings);
  const int dataRows = rowCount - 1;
  if (dataRows <= 0) return 0;
  return dataRows / perPage + (dataRows % perPage != 0 ? 1 : 0);
}

int PageCount(const TAccGrid& table, PageSize size, bool headings) {
  CheckPageSize(size);
  return PageCount(table.RowCount(), size.height, headings);
}

PageRows RowsOfPage(int rowCount, int pageHeight, int page, bool headings) {
  const int pages = PageCount(rowCount, pageHeight, headings);
  if (page < 1 || page > pages) {
    throw Error(
        FormatMessage(Sjis("%s ページ目は印刷するページの範囲にありません"), std::to_string(page)));
  }
  const int perPage = RowsPerPage(pageHeight, headings);
  if (page < pages) return {perPage * (page - 1) + 1, perPage};
  const int rest = (rowCount - 1) % perPage;
  const int count = rest == 0 ? perPage : rest;
  return {rowCount - count, count};
}

std::array<int, 7> ColumnEdges(PrintedTable table, int pageWidth) {
  // One hundredth of the table's width; the widths below are in those parts, the column
  // between the fixed ones taking what is left.
  const int part = (pageWidth - 2 * kPageMargin) / 100;
  std::array<int, 7> x{};
  x[0] = kPageMargin;
  x[6] = pageWidth - kPageMargin;
  x[1] = x[0] + 8 * part;
  if (table == PrintedTable::Journal) {
    x[2] = x[1] + 9 * part;
    x[3] = x[2] + 20 * part;
    x[5] = x[6] - 9 * part;
    x[4] = x[5] - 20 * part;
  } else {
    x[2] = x[1] + 20 * part;
    x[5] = x[6] - 12 * part;
    x[4] = x[5] - 12 * part;
    x[3] = x[4] - 12 * part;
  }
  return x;
}

PageLayout LayoutPage(const TAccGrid& table, PageSize size, int page, bool headings) {
  CheckPageSize(size);
  const PageRows data = RowsOfPage(table.RowCount(), size.height, page, headings);
  // The heading row is drawn as row 0 of the table, above the page's data rows.
  const bool heading = HeadingsFit(size.height, headings);
  const int lines = data.count + (heading ? 1 : 0);
  const auto tableRow = [&](int v) {
    return heading ? (v == 0 ? 0 : data.first + v - 1) : data.first + v;
  };
  const int width = size.width;
  PageLayout layout;
  layout.size = size;
  layout.title = table.Caption();
  layout.texts.push_back(
      {kPageMargin, -kPageMargin, kTitleFontSize, false, 0, 0, 0, 0, table.Caption()});

  for (int k = 0; k <= lines; ++k) {
    const int y = -(kTableTop + kRowPitch * k);
    layout.rules.push_back({kPageMargin, y, width - kPageMargin, y});
  }
  const std::array<int, 7> x = ColumnEdges(PrintedTableOf(table), width);
  const int bottom = -(kTableTop + kRowPitch * lines);
  for (int edge : x) layout.rules.push_back({edge, -kTableTop, edge, bottom});

  // Texts start 1 mm right of the column's left rule and 0.8 mm below the row's top rule.
  constexpr int kTextIndent = 10;
  constexpr int kTextDrop = 8;
  for (int v = 0; v < lines; ++v) {
    const int top = -(kTableTop + kRowPitch * v);
    for (int column = 1; column < TAccGrid::kColumnCount; ++column) {
      const std::string_view text = table.Cell(column, tableRow(v));
      if (text.empty()) continue;
      const std::size_t k = static_cast<std::size_t>(column);
      layout.texts.push_back({x[k - 1] + kTextIndent, top - kTextDrop, kCellFontSize, true,
                              x[k - 1], top, x[k], top - kRowPitch, std::string(text)});
    }
  }
  return layout;
}

}  // namespace engine
