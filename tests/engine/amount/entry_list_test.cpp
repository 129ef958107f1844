// Editing the aggregation dialogs' entry lists: names, level marks and what moves with them.

#include "engine/amount/entry_list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/amount/aggregation_settings.h"

namespace engine {
namespace {

const std::string kMark(kLevelMark);

TEST(LevelMarkTest, DepthAndBareName) {
  EXPECT_EQ(DepthOf(""), 0);
  EXPECT_EQ(DepthOf("a" + kMark), 0);
  EXPECT_EQ(DepthOf(kMark + kMark + "a"), 2);
  // Two dots are no level mark.
  EXPECT_EQ(DepthOf("\xA5\xA5"
                    "a"),
            0);
  EXPECT_EQ(BareNameOf(kMark + kMark + "a" + kMark), "a" + kMark);
  EXPECT_EQ(BareNameOf(kMark), "");
}

// "name:debit credit swap" of every entry, with "*" before the selected one.
std::string Show(const EntryList<TableEntrySetting>& list) {
  std::string text;
  for (int i = 0; i < list.Count(); ++i) {
    const TableEntrySetting& e = list.At(i);
    if (!text.empty()) text += ' ';
    if (i == list.Selected()) text += '*';
    text += std::to_string(DepthOf(e.name)) + std::string(BareNameOf(e.name)) + ":" +
            (e.debit ? "1" : "0") + (e.credit ? "1" : "0") + (e.swap ? "1" : "0");
  }
  return text;
}

EntryList<TableEntrySetting> ThreeEntries() {
  EntryList<TableEntrySetting> list;
  list.Assign(
      {{"a", true, false, false}, {kMark + "b", false, true, false}, {"c", false, false, true}});
  return list;
}

TEST(EntryListTest, EditingMovesNamesWithTheirFlags) {
  struct Case {
    const char* steps;  // L R U D I X (delete) and digits that select
    const char* expected;
  };
  const Case cases[] = {
      {"", "*0a:100 1b:010 0c:001"},
      {"1U", "*1b:010 0a:100 0c:001"},
      {"0U", "*0a:100 1b:010 0c:001"},
      {"1D", "0a:100 0c:001 *1b:010"},
      {"2D", "0a:100 1b:010 *0c:001"},
      {"1LL", "0a:100 *0b:010 0c:001"},
      {"0RR", "*2a:100 1b:010 0c:001"},
      {"1I", "0a:100 *0:110 1b:010 0c:001"},
      {"1X", "0a:100 *0c:001"},
      {"2X", "0a:100 *1b:010"},
      {"0XXX", "*0:110"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.steps);
    auto list = ThreeEntries();
    for (const char* p = c.steps; *p; ++p) {
      switch (*p) {
        case 'L':
          list.Left();
          break;
        case 'R':
          list.Right();
          break;
        case 'U':
          list.Up();
          break;
        case 'D':
          list.Down();
          break;
        case 'I':
          list.Insert();
          break;
        case 'X':
          list.Delete();
          break;
        default:
          list.Select(*p - '0');
          break;
      }
    }
    EXPECT_EQ(Show(list), c.expected);
  }
}

TEST(EntryListTest, WithoutASelectionOnlyInsertActs) {
  auto list = ThreeEntries();
  list.Select(-1);
  list.Up();
  list.Down();
  list.Left();
  list.Right();
  list.Delete();
  list.SetBareName("z");
  EXPECT_EQ(Show(list), "0a:100 1b:010 0c:001");
  list.Insert();
  EXPECT_EQ(Show(list), "0a:100 1b:010 0c:001 *0:110");
}

TEST(EntryListTest, TheNameBoxKeepsTheLevelMarks) {
  auto list = ThreeEntries();
  list.Select(1);
  list.SetBareName("new");
  EXPECT_EQ(list.At(1).name, kMark + "new");
  list.SetBareName("");
  EXPECT_EQ(list.At(1).name, kMark);
  EXPECT_EQ(DepthOf(list.At(1).name), 1);
}

TEST(EntryListTest, CompareRecordsMoveWholeAndResetToTheirDefaults) {
  CompareEntrySetting fresh;
  fresh.first = fresh.last = "25/06";
  EntryList<CompareEntrySetting> list(fresh);
  list.Assign(
      {{"x", "25/01", "25/02", true, false, true}, {"y", "25/03", "25/04", false, true, false}});
  list.Select(1);
  list.Up();
  ASSERT_EQ(list.Selected(), 0);
  EXPECT_EQ(list.At(0), (CompareEntrySetting{"y", "25/03", "25/04", false, true, false}));
  EXPECT_EQ(list.At(1), (CompareEntrySetting{"x", "25/01", "25/02", true, false, true}));
  list.Delete();
  list.Delete();
  ASSERT_EQ(list.Count(), 1);
  EXPECT_EQ(list.At(0), fresh);
}

}  // namespace
}  // namespace engine
