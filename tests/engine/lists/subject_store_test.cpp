#include "engine/lists/subject_store.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <type_traits>

#include "engine/base/cp932.h"

namespace engine {
namespace {

using Lines = std::vector<std::string>;

TEST(SubjectStoreTest, KeepsSubjectsSortedWithoutRegardToCase) {
  SubjectStore store;
  for (const char* name : {"cherry", "Banana", "apple", "Cherry2", "APRICOT"}) store.Add(name);
  EXPECT_EQ(store.Subjects(), (Lines{"apple", "APRICOT", "Banana", "cherry", "Cherry2"}));
}

TEST(SubjectStoreTest, CounterpartsStayPairedThroughInserts) {
  // Inserted in an order that puts every new entry before, between and after the others.
  const std::map<std::string, std::string> expected = {{"m", "cash"}, {"a", ""}, {"z", "bank"},
                                                       {"f", "card"}, {"q", ""}, {"b", "wallet"}};
  SubjectStore store;
  for (const char* line : {"m\tcash", "a", "z\tbank", "f\tcard", "q", "b\twallet"}) {
    store.AddLine(line);
    for (int i = 0; i < store.Count(); ++i) {
      EXPECT_EQ(store.CounterpartAt(i), expected.at(store.Subject(i))) << line;
    }
  }
  EXPECT_EQ(store.Subjects(), (Lines{"a", "b", "f", "m", "q", "z"}));
}

TEST(SubjectStoreTest, AddLineReadsSubjectAndCounterpart) {
  const struct {
    const char* line;
    const char* subject;
    const char* counterpart;
  } cases[] = {
      {"食費\t現金", "食費", "現金"},
      {"食費\t現金\t余りの文字", "食費", "現金"},
      {"食費", "食費", ""},
      {"食費\t", "食費", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    SubjectStore store;
    store.AddLine(Sjis(c.line));
    ASSERT_EQ(store.Count(), 1);
    EXPECT_EQ(store.Subject(0), Sjis(c.subject));
    EXPECT_EQ(store.Counterpart(Sjis(c.subject)), Sjis(c.counterpart));
  }
}

TEST(SubjectStoreTest, LookupsIgnoreLetterCaseIncludingFullWidth) {
  SubjectStore store;
  store.Add("Food", "Cash");
  store.Add(Sjis("ＡＢＣ銀行"), Sjis("現金"));
  const struct {
    std::string asked;
    std::string found;  // the stored name, or empty when none matches
    std::string counterpart;
  } cases[] = {
      {"food", "Food", "Cash"},
      {"FOOD", "Food", "Cash"},
      {Sjis("ａｂｃ銀行"), Sjis("ＡＢＣ銀行"), Sjis("現金")},
      {Sjis("ＡｂＣ銀行"), Sjis("ＡＢＣ銀行"), Sjis("現金")},
      {"abc" + Sjis("銀行"), "", ""},  // half-width letters are other characters
      {"Foo", "", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.asked);
    const int index = store.IndexOf(c.asked);
    EXPECT_EQ(index >= 0 ? store.Subject(index) : std::string(), c.found);
    EXPECT_EQ(store.Contains(c.asked), !c.found.empty());
    EXPECT_EQ(store.Counterpart(c.asked), c.counterpart);
  }
}

TEST(SubjectStoreTest, SetCounterpartFindsTheSubjectWithoutRegardToCase) {
  SubjectStore store;
  store.Add("Food");
  store.SetCounterpart("FOOD", "Cash");
  store.SetCounterpart("none", "Cash");
  EXPECT_EQ(store.Counterpart("Food"), "Cash");
  EXPECT_EQ(store.Count(), 1);
}

TEST(SubjectStoreTest, RemoveTakesSubjectAndCounterpartTogether) {
  SubjectStore store;
  for (const char* line : {"a\t1", "b\t2", "c\t3"}) store.AddLine(line);
  EXPECT_TRUE(store.Remove("B"));
  EXPECT_FALSE(store.Remove("b"));
  EXPECT_FALSE(store.Contains("b"));
  EXPECT_EQ(store.FileLines(), (Lines{"a\t1", "c\t3"}));
  // A re-added name gets its new counterpart, not a stale one.
  store.Add("b");
  EXPECT_EQ(store.Counterpart("b"), "");
}

TEST(SubjectStoreTest, ClearCounterpartsOfMatchesExactly) {
  SubjectStore store;
  for (const char* line : {"a\tCash", "b\tcash", "c\tCash2", "d\tCash", "Cash"})
    store.AddLine(line);
  store.ClearCounterpartsOf("Cash");
  EXPECT_EQ(store.FileLines(), (Lines{"a", "b\tcash", "c\tCash2", "Cash", "d"}));
}

TEST(SubjectStoreTest, FileLinesAreInStoreOrder) {
  SubjectStore store;
  for (const char* line : {"salary\tbank", "Food\tcash", "cash"}) store.AddLine(line);
  EXPECT_EQ(store.FileLines(), (Lines{"cash", "Food\tcash", "salary\tbank"}));
  store.AddLine(Sjis("食費\t現金"));
  EXPECT_EQ(store.FileLines()[static_cast<std::size_t>(store.IndexOf(Sjis("食費")))],
            Sjis("食費\t現金"));
  store.Clear();
  EXPECT_TRUE(store.FileLines().empty());
}

TEST(SummaryStoreTest, KeepsDuplicatesSortedAndRemovesTheFirstMatch) {
  SummaryStore store;
  for (const char* text : {"lunch", "Dinner", "breakfast", "Lunch"}) store.Add(text);
  ASSERT_EQ(store.Count(), 4);
  EXPECT_EQ(store.At(0), "breakfast");
  EXPECT_EQ(store.At(1), "Dinner");
  EXPECT_TRUE(store.Contains("LUNCH"));
  EXPECT_TRUE(store.Remove("LUNCH"));
  EXPECT_EQ(store.Count(), 3);
  EXPECT_TRUE(store.Contains("lunch"));
  EXPECT_TRUE(store.Remove("lunch"));
  EXPECT_FALSE(store.Remove("lunch"));
  EXPECT_EQ(store.Summaries(), (Lines{"breakfast", "Dinner"}));
}

TEST(SummaryStoreTest, ManyAtOnceGiveTheOrderOfOneByOne) {
  const std::vector<std::string> texts = {Sjis("昼食"), "lunch",     Sjis("パン"),
                                          "Lunch",      "breakfast", Sjis("ＬＵＮＣＨ"),
                                          "a",          Sjis("昼食")};
  SummaryStore oneByOne, many;
  oneByOne.Add("Dinner");
  many.Add("Dinner");
  for (const auto& text : texts) oneByOne.Add(text);
  many.AddMany(std::vector<std::string_view>(texts.begin(), texts.end()));
  EXPECT_EQ(many.Summaries(), oneByOne.Summaries());
  EXPECT_TRUE(many.Contains("LUNCH"));
  EXPECT_TRUE(many.Remove(Sjis("昼食")));
  EXPECT_TRUE(many.Contains(Sjis("昼食")));  // the second copy stays
}

TEST(CompletionTest, SubjectsByBeginningSummariesAnywhereAsTheyRead) {
  SubjectStore subjects;
  SummaryStore summaries;
  for (const char* name : {"Food", "ショッピング", "食費", "食料品", "現金", "fuel"}) {
    subjects.Add(Sjis(name));
    summaries.Add(Sjis(name));
  }
  const auto names = [](const auto& store, const std::vector<int>& found) {
    Lines texts;
    for (int index : found) {
      if constexpr (std::is_same_v<std::decay_t<decltype(store)>, SubjectStore>) {
        texts.push_back(FromCp932(store.Subject(index)).toStdString());
      } else {
        texts.push_back(FromCp932(store.At(index)).toStdString());
      }
    }
    return texts;
  };
  const struct {
    const char* typed;
    Lines subjects;   // beginning with it
    Lines summaries;  // containing it
  } cases[] = {
      {"食", {"食料品", "食費"}, {"食料品", "食費"}},
      {"ｆ", {"Food", "fuel"}, {"Food", "fuel"}},      // full width and case read alike
      {"しょっ", {"ショッピング"}, {"ショッピング"}},  // hiragana finds katakana
      {"ｼｮｯﾋﾟ", {"ショッピング"}, {"ショッピング"}},   // so does half-width katakana
      {"料", {}, {"食料品"}},
      {"ue", {}, {"fuel"}},
      {"xyz", {}, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.typed);
    auto sortedNames = [](Lines lines) {
      std::sort(lines.begin(), lines.end());
      return lines;
    };
    EXPECT_EQ(sortedNames(names(subjects, subjects.Completions(Sjis(c.typed)))),
              sortedNames(c.subjects));
    EXPECT_EQ(sortedNames(names(summaries, summaries.Completions(Sjis(c.typed)))),
              sortedNames(c.summaries));
  }
  EXPECT_EQ(subjects.Completions("").size(), 6u);  // nothing typed offers everything
}

}  // namespace
}  // namespace engine
