#include "engine/app/profile.h"

#include <gtest/gtest.h>

#include <QFileInfo>
#include <QTemporaryDir>
#include <filesystem>

#include "engine/base/cp932.h"
#include "engine/base/error.h"
#include "engine/base/text_file.h"

namespace engine {
namespace {

using Strings = std::vector<std::string>;
using Entries = std::vector<Profile::Entry>;

class ProfileTest : public ::testing::Test {
 protected:
  QString Path() const { return dir_.filePath("test.ini"); }
  Profile Make(const std::string& content) {
    WriteFileAtomically(Path(), content);
    return Profile(Path());
  }
  std::string Content() const { return ReadFileBytes(Path()); }

  QTemporaryDir dir_;
};

TEST_F(ProfileTest, ReadsTheSameWithEveryLineEnd) {
  const Strings lines = {
      "before=hidden", "[Sec]", "  b =  two words  ", "A=1",   "no equals sign", "b=second", "",
      "[Other]",       "x=y=z", "q=\"quoted\"",       "[sec]", "late=unseen",
  };
  for (const std::string end : {"\r\n", "\n", "\r"}) {
    std::string content;
    for (const auto& line : lines) content += line + end;
    content.resize(content.size() - end.size());  // the last line without a line end
    SCOPED_TRACE(testing::PrintToString(end));
    const Profile profile = Make(content);
    EXPECT_EQ(profile.Sections(), (Strings{"Sec", "Other"}));
    EXPECT_EQ(profile.Keys("SEC"), (Strings{"b", "A"}));
    EXPECT_EQ(profile.Entries("sec"), (Entries{{"b", "two words"}, {"A", "1"}}));
    EXPECT_EQ(profile.Read("Sec", "B"), "two words");
    EXPECT_EQ(profile.Read(" sec ", " a "), "1");
    EXPECT_EQ(profile.Read("Other", "x"), "y=z");
    EXPECT_EQ(profile.Read("Other", "q"), "\"quoted\"");
    EXPECT_EQ(profile.Read("Sec", "late"), "");
    EXPECT_EQ(profile.Read("Sec", "no equals sign"), "");
    EXPECT_EQ(profile.Read("Sec", "before"), "");
    EXPECT_EQ(profile.Read("Missing", "x"), "");
    EXPECT_TRUE(profile.HasSection("OTHER"));
    EXPECT_FALSE(profile.HasSection("Missing"));
  }
}

TEST_F(ProfileTest, SectionLinesAndOddBytes) {
  const std::string nul("v\0w", 3);
  const Profile profile =
      Make("  [ a]b ] trailing\r\nk=1\r\n[open\r\nk2=" + nul + "\r\n[\x83]\r\nz=\x83\r\n");
  // The name runs to the last "]"; a "[" line without one is an entry line of the section.
  EXPECT_EQ(profile.Sections(), (Strings{"a]b", "\x83"}));
  EXPECT_EQ(profile.Keys("a]b"), (Strings{"k", "k2"}));
  EXPECT_EQ(profile.Read("a]b", "k2"), nul);
  EXPECT_EQ(profile.Read("\x83", "z"), "\x83");
}

TEST_F(ProfileTest, LetterCaseFoldsOnlyInSingleByteCharacters) {
  // ア and ヂ differ only in a trail byte that looks like "A" and "a".
  const std::string a = Sjis("ア"), di = Sjis("ヂ");
  Profile profile = Make("[" + a + "x]\r\n" + a + "=1\r\n");
  EXPECT_TRUE(profile.HasSection(a + "X"));
  EXPECT_FALSE(profile.HasSection(di + "x"));
  EXPECT_EQ(profile.Read(a + "x", di), "");
  profile.Write(a + "X", di, "2");
  EXPECT_EQ(profile.Entries(a + "x"), (Entries{{a, "1"}, {di, "2"}}));
}

TEST_F(ProfileTest, MissingOrUnreadableFileHasNoSections) {
  for (const QString& path : {dir_.filePath("none.ini"), dir_.path()}) {
    Profile profile(path);
    EXPECT_TRUE(profile.Sections().empty());
    EXPECT_FALSE(profile.HasSection("Settings"));
    EXPECT_TRUE(profile.Keys("Settings").empty());
    EXPECT_EQ(profile.Read("Settings", "left"), "");
    EXPECT_EQ(profile.ReadInt("Settings", "left", 30), 30);
  }
  Profile missing(dir_.filePath("none.ini"));
  missing.EraseSection("Settings");
  missing.ReplaceSection("Settings", {});
  EXPECT_FALSE(QFileInfo::exists(missing.Path()));
  // A path that exists but can't be read is never replaced by a write.
  Profile folder(dir_.path());
  EXPECT_THROW(folder.Write("s", "k", "v"), Error);
  EXPECT_TRUE(QFileInfo(dir_.path()).isDir());
}

TEST_F(ProfileTest, ReadIntNeedsAWholeNumber) {
  const Profile profile =
      Make("[s]\r\na=12\r\nb=-3\r\nc= 7 \r\nd=12px\r\ne=99999999999\r\nf=\r\ng=+4\r\n");
  const struct {
    const char* key;
    int expected;
  } cases[] = {{"a", 12}, {"b", -3}, {"c", 7}, {"d", -1},
               {"e", -1}, {"f", -1}, {"g", 4}, {"missing", -1}};
  for (const auto& c : cases) EXPECT_EQ(profile.ReadInt("s", c.key, -1), c.expected) << c.key;
}

TEST_F(ProfileTest, WritesReplaceInPlaceAndAppendAtTheEnd) {
  Profile profile =
      Make("; note\n[One]\nKey=old\nloose line\nother=1\n\n[Two]\nz=9\n[one]\nkey=dup\n");
  profile.Write("ONE", "key", "new value");  // replaced where it stands, spelling kept
  profile.Write("one", "added", "x");        // after the section's last filled line
  profile.Write("Two", "y", "8");            // at the end of the last section
  profile.Write("Three", "k", "v");          // a new section at the end of the file
  EXPECT_EQ(Content(),
            "; note\r\n[One]\r\nKey=new value\r\nloose line\r\nother=1\r\nadded=x\r\n\r\n"
            "[Two]\r\nz=9\r\ny=8\r\n[one]\r\nkey=dup\r\n[Three]\r\nk=v\r\n");
  EXPECT_EQ(profile.Keys("one"), (Strings{"Key", "other", "added"}));
}

TEST_F(ProfileTest, EraseRemovesEverySectionOfTheName) {
  Profile profile = Make("[table]\r\n0=a\r\n[keep]\r\nk=v\r\n[TABLE]\r\n1=b\r\n");
  profile.EraseSection("Table");
  EXPECT_EQ(Content(), "[keep]\r\nk=v\r\n");
  profile.Write("table", "0", "c");
  EXPECT_EQ(profile.Entries("table"), (Entries{{"0", "c"}}));

  profile.ReplaceSection("keep", {{"1", "x"}, {"2", "y"}});
  EXPECT_EQ(Content(), "[table]\r\n0=c\r\n[keep]\r\n1=x\r\n2=y\r\n");
  profile.ReplaceSection("KEEP", {});
  EXPECT_EQ(Content(), "[table]\r\n0=c\r\n");
}

// A rewrite keeps a leading byte order mark, so a second mark (or anything after the first)
// can't move to the front of the file and change how its first line reads.
TEST_F(ProfileTest, WritesKeepTheByteOrderMark) {
  const std::string bom = "\xEF\xBB\xBF";
  const struct {
    const char* name;
    void (*write)(Profile&);
    std::string rest;  // what follows the marks once written
  } cases[] = {
      {"write", [](Profile& p) { p.Write("s", "k", "v"); },
       "[table]\r\n1=hidden\r\n[s]\r\nk=v\r\n"},
      {"erase", [](Profile& p) { p.EraseSection("s"); }, "[table]\r\n1=hidden\r\n"},
      {"replace",
       [](Profile& p) {
         p.ReplaceSection("table", {{"0", "x"}});
       },
       "[table]\r\n1=hidden\r\n[s]\r\nk=old\r\n[table]\r\n0=x\r\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Profile profile = Make(bom + bom + "[table]\r\n1=hidden\r\n[s]\r\nk=old\r\n");
    ASSERT_FALSE(profile.HasSection("table"));
    c.write(profile);
    EXPECT_EQ(Content(), bom + bom + c.rest);
    EXPECT_EQ(profile.Entries("table").empty(), std::string(c.name) != "replace");
  }
  Profile plain = Make(bom + "[s]\r\nk=old\r\n");
  plain.Write("s", "k", "new");
  EXPECT_EQ(Content(), bom + "[s]\r\nk=new\r\n");
}

TEST_F(ProfileTest, RefusesWhatWouldNotReadBack) {
  const std::string before = "[s]\r\nk=v\r\n";
  Profile profile = Make(before);
  const struct {
    std::string section, key, value;
  } cases[] = {
      {"s", "k", "two\r\nlines"}, {"s", "k", "cr\rinside"}, {"s\n", "k", "v"}, {"s", "k\n", "v"},
      {"s", "a=b", "v"},          {"s", "[x]", "v"},        {"s", "", "v"},    {"s", "   ", "v"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.key);
    EXPECT_THROW(profile.Write(c.section, c.key, c.value), Error);
    EXPECT_THROW(profile.ReplaceSection(c.section, {{c.key, c.value}}), Error);
    EXPECT_EQ(Content(), before);
  }
}

TEST_F(ProfileTest, WritesReplaceTheFileAtomically) {
  Profile profile = Make("[s]\r\nk=old\r\n");
  // A second name for the old file shows that it is replaced, not rewritten in place.
  const std::filesystem::path link = dir_.filePath("link.ini").toStdString();
  std::filesystem::create_hard_link(Path().toStdString(), link);
  profile.Write("s", "k", "new");
  EXPECT_EQ(profile.Read("s", "k"), "new");
  EXPECT_EQ(Profile(QString::fromStdString(link.string())).Read("s", "k"), "old");

  Profile elsewhere(dir_.filePath("no/such/folder.ini"));
  EXPECT_THROW(elsewhere.Write("s", "k", "v"), Error);
}

TEST_F(ProfileTest, LongLinesAndManyKeys) {
  std::string content = "[big]\r\n";
  for (int i = 0; i < 20000; ++i)
    content += "k" + std::to_string(i) + "=" + std::to_string(i) + "\r\n";
  const std::string huge(3 << 20, 'x');
  content += "huge=" + huge + "\r\n";
  Profile profile = Make(content);
  EXPECT_EQ(profile.Entries("big").size(), 20001u);
  EXPECT_EQ(profile.Read("big", "huge"), huge);
  profile.Write("big", "k19999", "last");
  EXPECT_EQ(profile.Read("big", "k19999"), "last");
  EXPECT_EQ(profile.Read("big", "huge"), huge);
}

}  // namespace
}  // namespace engine
