#include "engine/amount/aggregation_settings.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "engine/base/cp932.h"
#include "engine/base/error.h"
#include "engine/base/text_file.h"

namespace engine {
namespace {

using Tables = std::vector<TableEntrySetting>;
using Compares = std::vector<CompareEntrySetting>;

class AggregationSettingsTest : public ::testing::Test {
 protected:
  QString Path() const { return dir_.filePath(QString::fromUtf8("集計設定.txt")); }
  Profile Make(const std::string& content) {
    WriteFileAtomically(Path(), content);
    return Profile(Path());
  }
  std::string Content() const { return ReadFileBytes(Path()); }

  QTemporaryDir dir_;
  const std::string food_ = Sjis("食費");
  const std::string eatingOut_ = Sjis("外食費");
  const std::string light_ = Sjis("光熱費");
  const std::string old_ = Sjis("旧科目");
};

TEST_F(AggregationSettingsTest, TableValuesAreCutAtTheFirstCommas) {
  const struct {
    std::string value;
    TableEntrySetting expected;
  } cases[] = {
      {food_ + ",1", {food_, true, false, false}},
      {food_ + ",1,1,0," + Sjis("余分"), {food_, true, true, false}},
      {Sjis("･･･") + food_ + ",1,1,0", {Sjis("･･･") + food_, true, true, false}},
      {food_, {food_, false, false, false}},
      {",1,1,1", {"", true, true, true}},
      {food_ + ",1 ,yes,01", {food_, false, false, false}},
      {food_ + ",0,1,1,1", {food_, false, true, true}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.value);
    const auto loaded = LoadTableSettings(Make("[table]\r\n0=" + c.value + "\r\n"));
    ASSERT_TRUE(loaded);
    EXPECT_EQ(*loaded, Tables{c.expected});
  }
}

TEST_F(AggregationSettingsTest, TableSectionKeysAreListPositionsWithGaps) {
  Profile profile(Path());
  EXPECT_FALSE(LoadTableSettings(profile));  // no file: the dialog's defaults

  const Tables entries = {{Sjis("･･･") + food_, true, true, false},
                          {"", false, false, true},
                          {food_, false, true, true},
                          {food_, true, false, false}};
  SaveTableSettings(profile, entries);
  EXPECT_EQ(Content(), "[table]\r\n0=" + Sjis("･･･") + food_ + ",1,1,0\r\n2=" + food_ +
                           ",0,1,1\r\n3=" + food_ + ",1,0,0\r\n");
  EXPECT_EQ(LoadTableSettings(profile), (Tables{entries[0], entries[2], entries[3]}));

  // Saving again replaces the whole section and leaves the other sections alone.
  profile.Write("compare", "0", food_ + ",05/01,05/03,1,0,0");
  SaveTableSettings(profile, {{"x", true, true, false}});
  EXPECT_EQ(LoadTableSettings(profile), (Tables{{"x", true, true, false}}));
  EXPECT_EQ(LoadCompareSettings(profile)->size(), 1u);

  // Only empty names: the section goes, and the dialog starts with its defaults again.
  SaveTableSettings(profile, {{"", true, true, false}});
  EXPECT_FALSE(profile.HasSection("table"));
  EXPECT_FALSE(LoadTableSettings(profile));
}

TEST_F(AggregationSettingsTest, TableKeysAreReadInFileOrderWithoutInterpretation) {
  const Profile profile =
      Make("[TABLE]\r\n5=b,1,1,0\r\nx=c,0,0,0\r\n1=\r\n0=a,1,0,1\r\n0=dup,1,1,1\r\n");
  EXPECT_EQ(
      LoadTableSettings(profile),
      (Tables{{"b", true, true, false}, {"c", false, false, false}, {"a", true, false, true}}));
  EXPECT_EQ(LoadTableSettings(Make("[table]\r\n0=\r\n")), Tables{});
}

TEST_F(AggregationSettingsTest, CompareEntriesRoundTrip) {
  const Compares cases = {
      {food_, "05/01", "05/03", true, false, false},
      {Sjis("･･････") + eatingOut_, "24/12", "25/01", false, true, true},
      {food_, "05/01", "05/03", true, false, false},
  };
  Profile profile(Path());
  SaveCompareSettings(profile, cases);
  EXPECT_EQ(profile.Read("compare", "0"), food_ + ",05/01,05/03,1,0,0");
  EXPECT_EQ(LoadCompareSettings(profile), cases);

  EXPECT_EQ(
      LoadCompareSettings(Make("[compare]\r\n0=" + food_ + ",05/01\r\n1=a,b,c,1,1,1,z\r\n")),
      (Compares{{food_, "05/01", "", false, false, false}, {"a", "b", "c", true, true, true}}));
}

TEST_F(AggregationSettingsTest, SchemaSelectionsFollowTheBookSubjects) {
  const std::vector<std::string> subjects = {food_, eatingOut_, light_};
  const std::string schema = Sjis("/home/u/schema/月次.rng");
  const Profile profile = Make("[" + schema + "]\r\n0=" + food_ + ",1,0,0," + old_ + ",1,1,1," +
                               eatingOut_ + ",0,1,0\r\n1=" + food_ + ",1,1,1," + eatingOut_ +
                               ",1,\r\n2=" + old_ + ",1,1,1\r\n/2=  \"text\" \r\n" + "7=" + food_ +
                               ",1,1,1\r\n/9=far\r\n-1=" + food_ + ",1,1,1\r\n/-1=neg\r\n");
  const auto settings = LoadSchemaSettings(profile, schema, 4, subjects);
  const SubjectSelection start;
  ASSERT_EQ(settings.size(), 4u);
  EXPECT_EQ(settings[0],
            (SchemaEntrySetting{
                true, "", {{true, true, false, false}, {true, false, true, false}, start}}));
  EXPECT_EQ(settings[1], (SchemaEntrySetting{true, "", {{true, true, true, true}, start, start}}));
  // A key whose subjects are all unknown still marks the entry; the text keeps its quotes.
  EXPECT_EQ(settings[2], (SchemaEntrySetting{true, "\"text\"", {start, start, start}}));
  EXPECT_EQ(settings[3], (SchemaEntrySetting{false, "", {start, start, start}}));

  // The section name is the full path: the same file name elsewhere is another section.
  EXPECT_EQ(LoadSchemaSettings(profile, Sjis("/other/月次.rng"), 4, subjects),
            (std::vector<SchemaEntrySetting>(4, {false, "", {start, start, start}})));
}

TEST_F(AggregationSettingsTest, SchemaKeysThatAreNoNumbersFailReading) {
  for (const std::string key : {"x", "/x", "/", "1a", "99999999999"}) {
    SCOPED_TRACE(key);
    const Profile profile = Make("[s.rng]\r\n0=a,1,1,1\r\n" + key + "=v\r\n");
    EXPECT_THROW(LoadSchemaSettings(profile, "s.rng", 2, {"a"}), Error);
  }
}

TEST_F(AggregationSettingsTest, SchemaSectionsRoundTripPerPath) {
  const std::vector<std::string> subjects = {food_, eatingOut_, light_};
  const SubjectSelection off;
  std::vector<SchemaEntrySetting> entries = {
      {true, "", {{true, true, false, false}, off, {true, false, true, true}}},
      {true, Sjis("メモ"), {off, off, off}},  // nothing selected: no key 1
      {false, "", {off, off, off}},
  };
  Profile profile(Path());
  SaveSchemaSettings(profile, "/a/s.rng", entries, subjects);
  SaveSchemaSettings(profile, "/b/s.rng", {{true, "b", {off, {true, true, true, true}, off}}},
                     subjects);
  EXPECT_EQ(Content(), "[/a/s.rng]\r\n0=" + food_ + ",1,0,0," + light_ +
                           ",0,1,1\r\n/1=" + Sjis("メモ") + "\r\n[/b/s.rng]\r\n0=" + eatingOut_ +
                           ",1,1,1\r\n/0=b\r\n");
  entries[1].hasSubjects = false;
  EXPECT_EQ(LoadSchemaSettings(profile, "/a/s.rng", 3, subjects), entries);
}

TEST_F(AggregationSettingsTest, WriteFailuresThrow) {
  Profile profile(dir_.filePath("missing/集計設定.txt"));
  EXPECT_THROW(SaveTableSettings(profile, {{"a", true, true, false}}), Error);
  EXPECT_THROW(SaveCompareSettings(profile, {{"a", "05/01", "05/01", true, true, false}}), Error);
  EXPECT_THROW(SaveSchemaSettings(profile, "s.rng", {{false, "t", {}}}, {}), Error);
  // A text that would break the file is refused rather than written.
  Profile good(Path());
  EXPECT_THROW(SaveSchemaSettings(good, "s.rng", {{false, "two\nlines", {}}}, {}), Error);
}

}  // namespace
}  // namespace engine
