#include "engine/import/import_session.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QFile>

#include "../tables/journal_fixture.h"
#include "engine/base/error.h"
#include "engine/import/import_history.h"
#include "engine/import/import_profile.h"
#include "engine/import/import_rules.h"

namespace engine::import {
namespace {

using engine::testing::JournalTest;

class ImportTest : public JournalTest {
 protected:
  ImportTest() {
    for (const char* s :
         {"普通預金", "食費", "日用品", "交通費", "給与", "現金", "クレジットカード"})
      host.AddSubject(Sjis(s));
    profile.name = Sjis("テスト銀行");
    profile.encoding = Encoding::Utf8;
    profile.header = true;
    profile.dateColumn = 1;
    profile.descriptionColumns = {2};
    profile.amountColumn = 3;
    profile.account = Sjis("普通預金");
  }

  // A UTF-8 statement with the heading "日付,摘要,金額" and the given lines.
  ImportPreview Preview(const std::string& lines, const std::vector<ImportRule>& rules = {}) {
    QBuffer buffer;
    buffer.setData(QByteArray::fromStdString("日付,摘要,金額\n" + lines));
    buffer.open(QIODevice::ReadOnly);
    return BuildPreview(buffer, profile, journal, RuleMatcher(rules), &history, 3);
  }

  static ImportRule Rule(const char* pattern, const char* subject, bool fold = true) {
    ImportRule rule;
    rule.pattern = Sjis(pattern);
    rule.subject = Sjis(subject);
    rule.fold = fold;
    return rule;
  }

  // The journal's data rows that hold text, as TAB-joined UTF-8.
  std::vector<std::string> JournalLines() const {
    std::vector<std::string> lines;
    for (int r = 1; r < journal.RowCount(); ++r) {
      if (!journal.RowAt(r).IsEmpty())
        lines.push_back(FromCp932(RowText(journal, r)).toStdString());
    }
    return lines;
  }

  ImportProfile profile;
  ImportHistory history{dir.filePath("history.tsv")};
};

TEST_F(ImportTest, SignRulesPutTheAccountOnTheRightSide) {
  struct Case {
    AmountStyle style;
    bool negativeIsOut;
    const char* line;  // date, description, amount (signed) or withdrawal and deposit
    std::string expected;
  } cases[] = {
      {AmountStyle::Signed, true, "2025/04/01,ATM,-3000", "25/04/01\t3000\t\tATM\t普通預金\t3000"},
      {AmountStyle::Signed, true, "2025/04/01,ATM,3000", "25/04/01\t3000\t普通預金\tATM\t\t3000"},
      {AmountStyle::Signed, false, "2025/04/01,ATM,3100", "25/04/01\t3100\t\tATM\t普通預金\t3100"},
      {AmountStyle::Signed, false, "2025/04/01,ATM,△3200", "25/04/01\t3200\t普通預金\tATM\t\t3200"},
      {AmountStyle::Split, true, "2025/04/01,ATM,\"1,500\",",
       "25/04/01\t1500\t\tATM\t普通預金\t1500"},
      {AmountStyle::Split, true, "2025/04/01,ATM,,700", "25/04/01\t700\t普通預金\tATM\t\t700"},
      // A negative charge on a card is a refund: money comes back in.
      {AmountStyle::Split, true, "2025/04/01,ATM,-200,", "25/04/01\t200\t普通預金\tATM\t\t200"},
  };
  for (const Case& c : cases) {
    profile.amountStyle = c.style;
    profile.negativeIsOut = c.negativeIsOut;
    profile.withdrawalColumn = 3;
    profile.depositColumn = 4;
    const int before = journal.RowCount();
    const ImportPreview preview = Preview(std::string(c.line) + "\n");
    ASSERT_EQ(preview.rows.size(), 1u) << c.line;
    ASSERT_EQ(preview.rows[0].error, "") << c.line;
    const ImportSummary summary = CommitImport(journal, history, preview);
    EXPECT_EQ(summary.added, 1);
    EXPECT_EQ(summary.unassigned, 1);
    EXPECT_EQ(FromCp932(RowText(journal, before - 1)).toStdString(), c.expected) << c.line;
    EXPECT_FALSE(journal.IsPosted(before - 1));
    EXPECT_TRUE(journal.RowAt(journal.RowCount() - 1).IsEmpty());
  }
  EXPECT_TRUE(host.modified);
}

TEST_F(ImportTest, AnIndicatorColumnSaysWhichWayTheMoneyWent) {
  profile.amountStyle = AmountStyle::Indicator;
  profile.amountColumn = 3;
  profile.indicatorColumn = 4;
  profile.inWords = {Sjis("入金"), Sjis("お預入れ")};
  profile.outWords = {Sjis("出金")};
  struct Case {
    const char* line;      // date, description, amount, indicator
    std::string expected;  // the journal line, or the row's error
  } cases[] = {
      {"2025/04/01,ATM,3000,出金", "25/04/01\t3000\t\tATM\t普通預金\t3000"},
      // Blanks and full-width forms fold; every word of the list counts.
      {"2025/04/01,給与,\"200,000\", 入 金 ", "25/04/01\t200000\t普通預金\t給与\t\t200000"},
      {"2025/04/01,振込,5000,お預入れ", "25/04/01\t5000\t普通預金\t振込\t\t5000"},
      // A negative amount marked out comes back in.
      {"2025/04/01,返品,-800,出金", "25/04/01\t800\t普通預金\t返品\t\t800"},
      {"2025/04/01,振替,100,振替", "入出金の列の「振替」は入金の語とも出金の語とも合いません"},
      {"2025/04/01,振替,100,", "入出金の列が空です"},
      {"2025/04/01,ATM,100", "入出金の列 4 がありません"},
  };
  for (const Case& c : cases) {
    const int before = journal.RowCount();
    const ImportPreview preview = Preview(std::string(c.line) + "\n");
    ASSERT_EQ(preview.rows.size(), 1u) << c.line;
    if (!preview.rows[0].error.empty()) {
      EXPECT_EQ(FromCp932(preview.rows[0].error).toStdString(), c.expected) << c.line;
      continue;
    }
    CommitImport(journal, history, preview);
    EXPECT_EQ(FromCp932(RowText(journal, before - 1)).toStdString(), c.expected) << c.line;
  }

  // A word on both lists, or no words, can't decide.
  profile.outWords.push_back(Sjis("お預入れ"));
  EXPECT_EQ(FitProblems(profile, 4, {}, journal.Subjects()),
            std::vector<std::string>{Sjis("「お預入れ」が入金と出金の両方の語にあります")});
  profile.inWords.clear();
  EXPECT_EQ(FitProblems(profile, 4, {}, journal.Subjects()),
            std::vector<std::string>{Sjis("入金と出金を表す語を入れてください")});

  // A heading of such a column is recognised on a statement never seen.
  const ImportProfile guessed =
      GuessProfile({QStringLiteral("取引日"), QStringLiteral("お取引内容"),
                    QStringLiteral("入出金区分"), QStringLiteral("取引金額")},
                   Encoding::Utf8, ',');
  EXPECT_EQ(guessed.amountStyle, AmountStyle::Indicator);
  EXPECT_EQ(guessed.indicatorColumn, 3);
  EXPECT_EQ(guessed.amountColumn, 4);
  EXPECT_EQ(guessed.outWords, std::vector<std::string>{Sjis("出金")});
  // Separate withdrawal and deposit columns stay two columns.
  EXPECT_EQ(GuessProfile({QStringLiteral("日付"), QStringLiteral("摘要"), QStringLiteral("出金"),
                          QStringLiteral("入金")},
                         Encoding::Utf8, ',')
                .amountStyle,
            AmountStyle::Split);
}

TEST_F(ImportTest, TheUsersChoicesFollowTheirRowsThroughRebuilds) {
  const std::string lines = "2025/04/01,店A,-100\n2025/04/02,店B,-200\n2025/04/03,店C,-300\n";
  ImportPreview preview = Preview(lines);
  PreviewChoices choices;
  preview.rows[0].ticked = false;
  choices.Tick(preview.rows[0], false);
  AssignSubject(preview, 1, Sjis("日用品"));
  choices.Subject(preview.rows[1], Sjis("日用品"));

  // A rule arrives: the rows it takes get its subject unless the user picked one.
  ImportPreview rebuilt = Preview(lines, {Rule("店", "食費")});
  choices.Apply(rebuilt);
  EXPECT_FALSE(rebuilt.rows[0].ticked);
  EXPECT_EQ(rebuilt.rows[0].subject, Sjis("食費"));
  EXPECT_EQ(rebuilt.rows[1].subject, Sjis("日用品"));
  EXPECT_EQ(rebuilt.rows[1].assignment, Assignment::User);
  EXPECT_EQ(rebuilt.rows[2].subject, Sjis("食費"));
  EXPECT_TRUE(rebuilt.rows[1].ticked && rebuilt.rows[2].ticked);

  // A row before them moves them all down: the choices go with the rows, not the places.
  rebuilt = Preview("2025/03/31,店Z,-50\n" + lines);
  choices.Apply(rebuilt);
  EXPECT_TRUE(rebuilt.rows[0].ticked);
  EXPECT_FALSE(rebuilt.rows[1].ticked);
  EXPECT_EQ(rebuilt.rows[2].subject, Sjis("日用品"));
  EXPECT_TRUE(rebuilt.rows[3].subject.empty());

  // Read with the other sign they are other rows, and keep nothing.
  profile.negativeIsOut = false;
  rebuilt = Preview(lines);
  choices.Apply(rebuilt);
  EXPECT_TRUE(rebuilt.rows[0].ticked);
  EXPECT_TRUE(rebuilt.rows[1].subject.empty());
}

TEST_F(ImportTest, BadRowsAreListedWithTheirReasonAndTheRestImport) {
  profile.amountStyle = AmountStyle::Split;
  profile.withdrawalColumn = 3;
  profile.depositColumn = 4;
  const ImportPreview preview = Preview(
      "2025/04/01,店A,100,\n"
      "2025/02/30,店B,100,\n"
      "2025/04/02,店C,3000000000,\n"
      "2025/04/03,店D,100,200\n"
      "2025/04/04,店E\n"
      "2025/04/05,絵文字😀,100,\n"
      "2025/04/06,店F,,50\n");
  std::vector<long> bad;
  for (const PreviewRow& row : preview.rows) {
    if (!row.error.empty()) bad.push_back(row.line);
    EXPECT_EQ(row.ticked, row.error.empty());
  }
  EXPECT_EQ(bad, (std::vector<long>{3, 4, 5, 6, 7}));
  // A description longer than a row may hold, however it is written, is refused.
  for (const std::string& description :
       {std::string(kMaxDescriptionBytes + 1, 'x'), std::string(3 * kMaxDescriptionBytes, 'x'),
        std::string(2000, 'x')}) {
    const ImportPreview longer = Preview("2025/04/01," + description + ",100,\n");
    EXPECT_EQ(FromCp932(longer.rows[0].error).toStdString(),
              "摘要が長すぎます（256 バイトまで）。摘要にする列を見直してください");
  }
  EXPECT_EQ(Preview("2025/04/01," + std::string(kMaxDescriptionBytes, 'x') + ",100,\n").Errors(),
            0);
  const ImportSummary summary = CommitImport(journal, history, preview);
  EXPECT_EQ(summary.added, 2);
  EXPECT_EQ(summary.errors, 5);
  EXPECT_EQ(JournalLines().size(), 2u);
}

TEST_F(ImportTest, FirstMatchingRuleWinsThenTheJournalsHistory) {
  LoadLines({{"25/03/01", "800", "交通費", "ｺｳﾂｳ ﾁｬｰｼﾞ", "普通預金", "800"},
             {"25/03/02", "900", "現金", "ATM ﾋｷﾀﾞｼ", "普通預金", "900"},
             {"25/03/05", "900", "日用品", "ATM ﾋｷﾀﾞｼ", "普通預金", "900"},
             {"25/03/25", "250000", "普通預金", "ｷｭｳﾖ", "給与", "250000"}});
  std::vector<ImportRule> rules{Rule("スーパー|ﾏｰｹｯﾄ", "食費"), Rule("ｽｰﾊﾟｰ", "日用品"),
                                Rule("ｶﾞｽ", "日用品")};
  rules[2].minAmount = 1000;
  rules[2].maxAmount = 5000;
  ImportRule payday = Rule("ｷｭｳﾖ", "給与");
  payday.direction = Direction::In;
  payday.summary = Sjis("給与振込");
  rules.push_back(payday);
  rules.push_back(Rule("abc", "日用品", false));
  const ImportPreview preview = Preview(
      "2025/04/01,ｽｰﾊﾟｰ ﾏﾙﾏﾙ,-1200\n"    // rule 1, with the dictionary's widths
      "2025/04/02,ﾏｰｹｯﾄ,-300\n"          // rule 1, second alternative
      "2025/04/03,ｶﾞｽ ﾘｮｳｷﾝ,-6000\n"     // rule 3's range refuses it
      "2025/04/04,ｶﾞｽ ﾘｮｳｷﾝ,-4000\n"     // rule 3
      "2025/04/05,ｷｭｳﾖ,-100\n"           // rule 4 takes money in only; history
      "2025/04/25,ｷｭｳﾖ,260000\n"         // rule 4
      "2025/04/06,ＡＢＣ,-50\n"          // rule 5 has no dictionary: widths differ
      "2025/04/07,ｺｳﾂｳ ﾁｬｰｼﾞ,-1000\n"    // the journal's history
      "2025/04/08,ＡＴＭ ﾋｷﾀﾞｼ,-2000\n"  // the latest of two history lines, widths folded
      "2025/04/09,ﾎﾝﾔ,-1500\n",          // nothing: unassigned
      rules);
  struct Expected {
    const char* subject;
    Assignment assignment;
    int rule;
  } expected[] = {
      {"食費", Assignment::Rule, 0},       {"食費", Assignment::Rule, 0},
      {"", Assignment::None, -1},          {"日用品", Assignment::Rule, 2},
      {"給与", Assignment::History, -1},   {"給与", Assignment::Rule, 3},
      {"", Assignment::None, -1},          {"交通費", Assignment::History, -1},
      {"日用品", Assignment::History, -1}, {"", Assignment::None, -1},
  };
  ASSERT_EQ(preview.rows.size(), std::size(expected));
  for (std::size_t i = 0; i < preview.rows.size(); ++i) {
    EXPECT_EQ(preview.rows[i].subject, Sjis(expected[i].subject)) << i;
    EXPECT_EQ(preview.rows[i].assignment, expected[i].assignment) << i;
    EXPECT_EQ(preview.rows[i].rule, expected[i].rule) << i;
  }
  EXPECT_EQ(preview.rows[5].summary, Sjis("給与振込"));
  EXPECT_EQ(preview.Unassigned(), 3);
}

TEST_F(ImportTest, DuplicatesAcrossOverlappingDownloadsAndRepeatPurchases) {
  const std::vector<ImportRule> rules{Rule("ｺﾝﾋﾞﾆ", "食費")};
  // March's download, imported and saved.
  ImportPreview march = Preview(
      "2025/03/28,ｺﾝﾋﾞﾆ,-500\n"
      "2025/03/30,ｺﾝﾋﾞﾆ,-500\n"
      "2025/03/30,ｺﾝﾋﾞﾆ,-500\n",
      rules);
  EXPECT_EQ(march.Ticked(), 3);  // a true repeat purchase on one day is two rows
  CommitImport(journal, history, march);
  history.SavePending();

  // A download that overlaps it: the rows already taken are recognised by their
  // fingerprints, even after the user changed the journal's summaries.
  journal.SetCell(4, 1, Sjis("おにぎり"));
  ImportPreview overlap = Preview(
      "2025/03/30,ｺﾝﾋﾞﾆ,-500\n"
      "2025/03/30,ｺﾝﾋﾞﾆ,-500\n"
      "2025/03/31,ｺﾝﾋﾞﾆ,-500\n",
      rules);
  ASSERT_EQ(overlap.rows.size(), 3u);
  EXPECT_TRUE(overlap.rows[0].importedBefore);
  EXPECT_TRUE(overlap.rows[1].importedBefore);
  EXPECT_FALSE(overlap.rows[2].IsDuplicate());
  EXPECT_EQ(overlap.Ticked(), 1);

  // Another profile (no fingerprints) still finds the journal's lines: the same amount on
  // the account within three days with a similar description; each line claimed once.
  profile.name = Sjis("別の取り込み");
  const ImportPreview other = Preview(
      "2025/03/30,ｺﾝﾋﾞﾆ,-500\n"  // line 2
      "2025/03/30,ｺﾝﾋﾞﾆ,-500\n"  // line 3
      "2025/04/01,ｺﾝﾋﾞﾆ,-500\n"  // two days after line 2 or 3, both claimed: line 1 is 4 days off
      "2025/03/27,ｺﾝﾋﾞﾆ ｶﾝﾀﾞ,-500\n"  // one day before line 1, whose summary was edited
      "2025/03/29,ﾎﾝﾔ,-500\n"         // same amount, another payee
      "2025/03/29,ｺﾝﾋﾞﾆ,-501\n"       // another amount
      "2025/03/29,ｺﾝﾋﾞﾆ,500\n",       // money in, not out
      rules);
  ASSERT_EQ(other.rows.size(), 7u);
  EXPECT_EQ(other.rows[0].matchRow, 2);
  EXPECT_EQ(other.rows[1].matchRow, 3);
  for (std::size_t i = 2; i < 7; ++i) EXPECT_EQ(other.rows[i].matchRow, 0) << i;
  EXPECT_EQ(other.Duplicates(), 2);

  // The duplicates the user leaves out are remembered too, so they are known next time.
  const ImportSummary summary = CommitImport(journal, history, other);
  EXPECT_EQ(summary.duplicatesSkipped, 2);
  EXPECT_EQ(summary.added, 5);
}

TEST_F(ImportTest, FingerprintsWaitForTheSave) {
  const ImportPreview first = Preview("2025/04/01,ATM,-1000\n");
  CommitImport(journal, history, first);
  EXPECT_TRUE(history.HasPending());
  ImportHistory reread(history.Path());
  reread.Load();
  EXPECT_FALSE(reread.Contains(first.rows[0].fingerprint));

  history.DiscardPending();  // the book was closed without saving
  EXPECT_FALSE(history.Contains(first.rows[0].fingerprint));
  CommitImport(journal, history, first);
  history.SavePending();
  ImportHistory saved(history.Path());
  saved.Load();
  EXPECT_TRUE(saved.Contains(first.rows[0].fingerprint));

  QFile file(history.Path());
  ASSERT_TRUE(file.open(QIODevice::Append));
  file.write("not a fingerprint\r\n");
  file.close();
  ImportHistory damaged(history.Path());
  EXPECT_THROW(damaged.Load(), Error);
}

TEST_F(ImportTest, ProfilesRoundTripAndDamageIsRefused) {
  ProfileStore store(dir.filePath("profiles.ini"));
  ImportProfile card;
  card.name = Sjis("カード [会社]");
  card.encoding = Encoding::Cp932;
  card.delimiter = '\t';
  card.header = false;
  card.skipTop = 2;
  card.skipBottom = 1;
  card.dateColumn = 2;
  card.dateOrder = DateOrder::MonthDayYear;
  card.descriptionColumns = {3, 5};
  card.amountStyle = AmountStyle::Split;
  card.amountColumn = 3;
  card.withdrawalColumn = 6;
  card.depositColumn = 7;
  card.account = Sjis("クレジットカード");
  card.headings = {"", Sjis("利用日"), Sjis("利用店名")};
  profile.headings = {Sjis("日付"), Sjis("摘要"), Sjis("金額")};
  ImportProfile marked = profile;
  marked.name = Sjis("区分のある銀行");
  marked.amountStyle = AmountStyle::Indicator;
  marked.indicatorColumn = 4;
  marked.inWords = {Sjis("入金"), Sjis("お預入れ")};
  marked.outWords = {Sjis("出金")};
  store.Save(profile);
  store.Save(card);
  store.Save(marked);
  card.skipTop = 3;
  store.Save(card);  // replaces the one of that name
  EXPECT_EQ(store.Load(), (std::vector<ImportProfile>{profile, marked, card}));
  store.Remove(profile.name);
  store.Remove(marked.name);
  EXPECT_EQ(store.Load(), std::vector<ImportProfile>{card});
  marked.outWords = {Sjis("出金,引出")};
  EXPECT_THROW(store.Save(marked), Error);

  const std::string good = ReadFileBytes(store.Path());
  WriteFileAtomically(store.Path(), good + "[broken]\r\nencoding=EBCDIC\r\n");
  EXPECT_THROW(store.Load(), Error);
  WriteFileAtomically(store.Path(), std::string("\x89PNG\r\n\x1a\n\0\0", 10));
  EXPECT_THROW(store.Load(), Error);
  EXPECT_THROW(store.Save(card), Error);  // a damaged file is never overwritten
  EXPECT_EQ(ReadFileBytes(store.Path()).size(), 10u);
}

TEST_F(ImportTest, AProfileSaysWhatDoesNotFitTheFile) {
  profile.headings = {Sjis("日付"), Sjis("摘要"), Sjis("金額")};
  EXPECT_TRUE(FitProblems(profile, 3, profile.headings, journal.Subjects()).empty());
  // Full-width or spaced headings still fit.
  EXPECT_TRUE(
      FitProblems(profile, 3, {Sjis("日付"), Sjis("摘 要"), Sjis("金額")}, journal.Subjects())
          .empty());
  const auto problems =
      FitProblems(profile, 2, {Sjis("日付"), Sjis("お取引内容")}, journal.Subjects());
  EXPECT_EQ(problems, (std::vector<std::string>{
                          Sjis("摘要の列 2 の見出しが「摘要」ではなく「お取引内容」です"),
                          Sjis("金額の列 3 がありません（この明細は 2 列です）")}));
  profile.account = Sjis("定期預金");
  EXPECT_EQ(FitProblems(profile, 3, profile.headings, journal.Subjects()),
            std::vector<std::string>{Sjis("口座の科目「定期預金」がこの家計簿にありません")});
  EXPECT_THROW(CommitImport(journal, history, Preview("2025/04/01,ATM,-1000\n")), Error);
  EXPECT_EQ(JournalLines().size(), 0u);
}

TEST_F(ImportTest, RulesFileRoundTripAndDamage) {
  RuleFile file(dir.filePath("rules.ini"));
  std::vector<ImportRule> rules{Rule("スーパー|ﾏｰｹｯﾄ", "食費"), Rule("^ATM", "現金", false)};
  rules[1].minAmount = 0;
  rules[1].maxAmount = 50000;
  rules[1].direction = Direction::Out;
  rules[1].summary = Sjis("引き出し");
  const ImportSettings settings{5, Sjis("テスト銀行")};
  file.Save(rules, settings);
  std::vector<ImportRule> loaded;
  ImportSettings loadedSettings;
  file.Load(loaded, loadedSettings);
  EXPECT_EQ(loaded, rules);
  EXPECT_EQ(loadedSettings, settings);

  rules.push_back(Rule("(", "食費"));
  EXPECT_THROW(file.Save(rules, settings), Error);
  file.Load(loaded, loadedSettings);
  EXPECT_EQ(loaded.size(), 2u);  // the refused save left the file as it was

  const std::string good = ReadFileBytes(file.Path());
  for (const char* damage :
       {"[rule 3]\r\npattern=(\r\ndictionary=1\r\ndirection=any\r\nsubject=x\r\n",
        "[rule 3]\r\npattern=a\r\ndictionary=2\r\ndirection=any\r\nsubject=x\r\n",
        "[rule 3]\r\npattern=a\r\ndictionary=1\r\nmin=abc\r\ndirection=any\r\nsubject=x\r\n"}) {
    WriteFileAtomically(file.Path(), good + damage);
    EXPECT_THROW(file.Load(loaded, loadedSettings), Error) << damage;
  }
}

TEST_F(ImportTest, AnImportIsOneUndoableStepAndUndoingItForgetsItsRows) {
  LoadLines({{"25/03/01", "800", "交通費", "ﾃﾞﾝｼｬ", "普通預金", "800"}});
  const std::vector<std::string> before = JournalLines();
  const std::string statement = "2025/04/01,ｺﾝﾋﾞﾆ,-500\n2025/04/02,ｺﾝﾋﾞﾆ,-300\n";
  ImportPreview preview = Preview(statement);
  ASSERT_EQ(CommitImport(journal, history, preview).added, 2);
  const std::vector<std::string> imported = JournalLines();
  ASSERT_EQ(imported.size(), 3u);
  ASSERT_TRUE(Preview(statement).rows[0].importedBefore);

  ASSERT_TRUE(host.history.CanUndo());
  EXPECT_EQ(host.history.UndoLabel(), Sjis("明細の取り込み"));
  host.history.Undo();
  EXPECT_EQ(JournalLines(), before);
  EXPECT_FALSE(history.HasPending());
  // The rows taken back are new rows again for the next import.
  for (const PreviewRow& row : Preview(statement).rows) EXPECT_FALSE(row.importedBefore);

  host.history.Redo();
  EXPECT_EQ(JournalLines(), imported);
  EXPECT_FALSE(journal.IsPosted(2));
  EXPECT_TRUE(Preview(statement).rows[1].importedBefore);
  history.SavePending();
  EXPECT_TRUE(ReadFileBytes(history.Path()).find("\t" + profile.name) != std::string::npos);
}

}  // namespace
}  // namespace engine::import
