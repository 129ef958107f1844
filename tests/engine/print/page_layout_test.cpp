#include "engine/print/page_layout.h"

#include <gtest/gtest.h>

#include <string>

#include "engine/base/cp932.h"
#include "engine/base/error.h"
#include "fake_host.h"

namespace engine::testing {
namespace {

constexpr PageSize kA4{2099, 2970};

// Fills `table` with `rows` data rows whose column 1 reads "r<row>" and column 6 "<row>".
void FillRows(TAccGrid& table, int rows) {
  while (table.RowCount() < rows + 1) table.AppendRow();
  for (int r = 1; r <= rows; ++r) {
    table.SetCell(1, r, "r" + std::to_string(r));
    table.SetCell(6, r, std::to_string(r));
  }
}

TEST(PageMetricsTest, PageSizeFollowsResolutionPaperAndScale) {
  struct Case {
    int dpiX, dpiY, width, height, scale;
    PageSize expected;
  };
  const Case cases[] = {
      {600, 600, 4960, 7016, 100, {2099, 2970}},  // A4 at 600 dpi
      {600, 600, 4960, 7016, 50, {1049, 1485}},
      {300, 600, 2480, 7016, 100, {2099, 2970}},  // each axis by its own resolution
      {1200, 1200, 9921, 14031, 100, {2099, 2969}},
      // Products beyond 32 bits must not wrap.
      {1, 1, 2000000, 1, 400, {2032000000, 1016}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(PageSizeFromMetrics(c.dpiX, c.dpiY, c.width, c.height, c.scale), c.expected)
        << c.dpiX << " " << c.width << " " << c.scale;
  }
  EXPECT_THROW(PageSizeFromMetrics(0, 600, 4960, 7016, 100), Error);
  EXPECT_THROW(PageSizeFromMetrics(600, 600, 0, 7016, 100), Error);
}

TEST(PageMetricsTest, ScaleCountsOnlyWithItsField) {
  EXPECT_EQ(PrintScale({0, 50}), 100);
  EXPECT_EQ(PrintScale({DeviceMode::kScaleField, 50}), 50);
  EXPECT_EQ(PrintScale({DeviceMode::kScaleField | 0x1, 75}), 75);
}

TEST(PageLayoutTest, PageCountsAndRowRanges) {
  EXPECT_EQ(RowsPerPage(2970), 53);
  EXPECT_EQ(RowsPerPage(350), 1);
  struct Case {
    int dataRows;
    int pages;
    std::vector<PageRows> rows;  // per page
  };
  const Case cases[] = {
      {1, 1, {{1, 1}}},
      {53, 1, {{1, 53}}},
      {54, 2, {{1, 53}, {54, 1}}},
      {106, 2, {{1, 53}, {54, 53}}},
      {107, 3, {{1, 53}, {54, 53}, {107, 1}}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(PageCount(c.dataRows + 1, kA4.height), c.pages) << c.dataRows;
    for (int p = 1; p <= c.pages; ++p) {
      EXPECT_EQ(RowsOfPage(c.dataRows + 1, kA4.height, p), c.rows[static_cast<std::size_t>(p - 1)])
          << c.dataRows << " rows, page " << p;
    }
    EXPECT_THROW(RowsOfPage(c.dataRows + 1, kA4.height, 0), Error);
    EXPECT_THROW(RowsOfPage(c.dataRows + 1, kA4.height, c.pages + 1), Error);
  }
}

TEST(PageLayoutTest, PaperBelow35MillimetresIsRefusedClearly) {
  FakeHost host;
  for (PageSize size :
       {PageSize{2099, 349}, PageSize{2099, 0}, PageSize{2099, -10}, PageSize{349, 2970}}) {
    try {
      PageCount(host.journal(), size);
      FAIL() << size.width << " x " << size.height;
    } catch (const Error& e) {
      EXPECT_NE(e.Message().find(Sjis("35 mm")), std::string::npos);
    }
  }
  EXPECT_THROW(RowsPerPage(349), Error);
  EXPECT_EQ(PageCount(host.journal(), {350, 350}), 1);
}

TEST(PageLayoutTest, ColumnEdgesOfJournalAndLedger) {
  // A4: u = (2099 - 200) div 100 = 18.
  EXPECT_EQ(ColumnEdges(PrintedTable::Journal, 2099),
            (std::array<int, 7>{100, 244, 406, 766, 1477, 1837, 1999}));
  EXPECT_EQ(ColumnEdges(PrintedTable::Ledger, 2099),
            (std::array<int, 7>{100, 244, 604, 1351, 1567, 1783, 1999}));
  FakeHost host;
  EXPECT_EQ(PrintedTableOf(host.journal()), PrintedTable::Journal);
  EXPECT_EQ(PrintedTableOf(host.AddLedger(Sjis("食費"))), PrintedTable::Ledger);
}

TEST(PageLayoutTest, SecondPageOfALedgerWithTwoFullPages) {
  FakeHost host;
  TLedgerGrid& ledger = host.AddLedger(Sjis("食費"));
  FillRows(ledger, 106);
  ASSERT_EQ(PageCount(ledger, kA4), 2);
  const PageLayout page = LayoutPage(ledger, kA4, 2);

  EXPECT_EQ(page.title, Sjis("食費"));
  ASSERT_FALSE(page.texts.empty());
  EXPECT_EQ(page.texts[0].text, Sjis("食費"));
  EXPECT_EQ(page.texts[0].x, 100);
  EXPECT_EQ(page.texts[0].y, -100);
  EXPECT_EQ(page.texts[0].fontSize, 30);
  EXPECT_FALSE(page.texts[0].clipped);

  // 54 horizontal rules, the last one 5 mm below the 53rd row's top; 7 vertical ones.
  ASSERT_EQ(page.rules.size(), 54u + 7u);
  EXPECT_EQ(page.rules[0], (PrintLine{100, -200, 1999, -200}));
  EXPECT_EQ(page.rules[53], (PrintLine{100, -2850, 1999, -2850}));
  EXPECT_EQ(page.rules[54], (PrintLine{100, -200, 100, -2850}));
  EXPECT_EQ(page.rules[60], (PrintLine{1999, -200, 1999, -2850}));

  // Two texts per row (columns 1 and 6), rows 54 to 106 in order.
  ASSERT_EQ(page.texts.size(), 1u + 2u * 53u);
  const PrintText& first = page.texts[1];
  EXPECT_EQ(first.text, "r54");
  EXPECT_EQ(first.fontSize, 25);
  EXPECT_TRUE(first.clipped);
  EXPECT_EQ(first.x, 110);
  EXPECT_EQ(first.y, -208);
  EXPECT_EQ((std::array{first.clipLeft, first.clipTop, first.clipRight, first.clipBottom}),
            (std::array{100, -200, 244, -250}));
  const PrintText& balance = page.texts[2];
  EXPECT_EQ(balance.text, "54");
  EXPECT_EQ(balance.x, 1793);
  EXPECT_EQ(balance.clipRight, 1999);
  const PrintText& last = page.texts.back();
  EXPECT_EQ(last.text, "106");
  EXPECT_EQ(last.y, -(200 + 50 * 52) - 8);
}

TEST(PageLayoutTest, OneRowTableHasTwoRulesAndOneRowOfCells) {
  FakeHost host;
  TJournalGrid& journal = host.journal();
  ASSERT_EQ(journal.RowCount(), 2);
  for (int c = 1; c <= 6; ++c) journal.SetCell(c, 1, "c" + std::to_string(c));
  ASSERT_EQ(PageCount(journal, kA4), 1);
  const PageLayout page = LayoutPage(journal, kA4, 1);
  ASSERT_EQ(page.rules.size(), 2u + 7u);
  EXPECT_EQ(page.rules[1], (PrintLine{100, -250, 1999, -250}));
  EXPECT_EQ(page.rules[2].y2, -250);
  ASSERT_EQ(page.texts.size(), 7u);
  const std::array<int, 7> x = ColumnEdges(PrintedTable::Journal, 2099);
  for (std::size_t k = 1; k <= 6; ++k) {
    EXPECT_EQ(page.texts[k].text, "c" + std::to_string(k));
    EXPECT_EQ(page.texts[k].x, x[k - 1] + 10);
    EXPECT_EQ(page.texts[k].clipRight, x[k]);
  }
  EXPECT_THROW(LayoutPage(journal, kA4, 2), Error);
}

TEST(PageLayoutTest, HeadingsOnEveryPageTakeOneRowEach) {
  FakeHost host;
  TLedgerGrid& ledger = host.AddLedger(Sjis("食費"));
  FillRows(ledger, 106);
  const struct {
    int height;
    bool headings;
    int pages;
    int headingTexts;  // per page
  } cases[] = {
      {kA4.height, false, 2, 0},  // the plain layout keeps its page count
      {kA4.height, true, 3, 6},   // 52 data rows a page under the heading
      {350, true, 106, 0},        // room for one row only: no heading
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.headings);
    const PageSize size{kA4.width, c.height};
    ASSERT_EQ(PageCount(ledger, size, c.headings), c.pages);
    int printed = 0;
    for (int p = 1; p <= c.pages; ++p) {
      const PageLayout page = LayoutPage(ledger, size, p, c.headings);
      const int rows = RowsOfPage(ledger.RowCount(), c.height, p, c.headings).count;
      // One rule above each printed row and one below the last.
      EXPECT_EQ(page.rules.size(), std::size_t(rows + (c.headingTexts ? 1 : 0) + 1 + 7));
      for (int k = 1; k <= c.headingTexts; ++k) {
        EXPECT_EQ(page.texts[std::size_t(k)].text, ledger.Cell(k, 0));
        EXPECT_EQ(page.texts[std::size_t(k)].y, -208);
      }
      // The page's first data row follows the heading.
      const PrintText& first = page.texts[std::size_t(1 + c.headingTexts)];
      EXPECT_EQ(first.text, "r" + std::to_string(printed + 1));
      EXPECT_EQ(first.y, -208 - (c.headingTexts ? 50 : 0));
      printed += rows;
    }
    EXPECT_EQ(printed, 106);
  }
}

}  // namespace
}  // namespace engine::testing
