#include "engine/schema/rng_parse.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "engine/base/cp932.h"
#include "engine/base/text_file.h"
#include "fake_ui.h"

namespace engine {
namespace {

using testing::FakeUi;
using Lines = std::vector<std::string>;

Lines Sjis(std::initializer_list<const char*> utf8) {
  Lines lines;
  for (const char* line : utf8) lines.push_back(engine::Sjis(line));
  return lines;
}

struct Case {
  const char* what;
  const char* xml;
  std::initializer_list<const char*> entries;
  bool refused;
};

class RngParseTest : public ::testing::Test {
 protected:
  FakeUi ui;
  Lines Parse(const QByteArray& xml) {
    trngdomparse reader(ui);
    return reader.ParseSchemaBytes(xml);
  }
};

TEST_F(RngParseTest, ReadsTheSchemaSubset) {
  const Case cases[] = {
      {"household schema",
       R"(<grammar><start><element name="家計">
            <element name="食費"><ref name="subject"/></element>
            <element name="備考"><text/></element>
          </element></start>
          <define name="subject"><element name="JAN"><text/></element></define></grammar>)",
       {"家計", "･･･食費 +", "･･･備考 /"},
       false},
      {"text and subject, or two of either, are all",
       R"(<grammar><start><element name="r">
            <element name="a"><text/><ref name="subject"/></element>
            <element name="b"><text/><text/></element>
            <element name="c"><ref name="subject"/><ref name="subject"/></element>
          </element></start><define name="subject"><empty/></define></grammar>)",
       {"r", "･･･a *", "･･･b *", "･･･c *"},
       false},
      {"a define's elements go after the parent's own children",
       R"(<grammar><start><element name="家計"><ref name="支出"/><element name="収入"/></element></start>
          <define name="支出"><element name="食費"/><element name="住居費"/></define></grammar>)",
       {"家計", "･･･収入", "･･･食費", "･･･住居費"},
       false},
      {"two references to one define both expand",
       R"(<grammar><start><element name="A">
            <element name="X"><ref name="d"/></element><element name="Y"><ref name="d"/></element>
          </element></start><define name="d"><element name="Z"><text/></element></define></grammar>)",
       {"A", "･･･X", "･･････Z /", "･･･Y", "･･････Z /"},
       false},
      {"patterns around an element drop it with everything below",
       R"(<grammar><start><element name="r"><zeroOrMore><element name="x"><element name="y"/>
          </element></zeroOrMore><optional><text/></optional><element name="z"/></element></start>
          </grammar>)",
       {"r", "･･･z"},
       false},
      {"an element without a name is dropped with its content",
       R"(<grammar><start><element name="r"><element><element name="x"/></element></element></start>
          </grammar>)",
       {"r"},
       false},
      {"an earlier define's placeholder made by a later define stays",
       R"(<grammar><start><element name="r"><ref name="d1"/></element></start>
          <define name="d1"><element name="x"><ref name="d2"/></element></define>
          <define name="d2"><element name="y"><ref name="d1"/></element></define></grammar>)",
       {"r", "･･･x", "･･････y", "･････････d1"},
       false},
      {"text in a define marks the referring element's parent",
       R"(<grammar><start><element name="r"><element name="a"><ref name="note"/></element></element>
          </start><define name="note"><text/></define></grammar>)",
       {"r", "･･･a /"},
       false},
      {"an unresolved reference stays an element of its name",
       R"(<grammar><start><element name="r"><ref name="none"/></element></start></grammar>)",
       {"r", "･･･none"},
       false},
      {"document element element: refs stay elements",
       R"(<element name="家計"><element name="食費"><ref name="subject"/></element></element>)",
       {"家計", "･･･食費", "･･････subject"},
       false},
      {"an element named xmlroot restarts the depth count",
       R"(<element name="a"><element name="xmlroot"><element name="b"><element name="c"/></element>
          </element></element>)",
       {"a", "･･･xmlroot", "b", "･･･c"},
       false},
      {"names keep their prefix",
       R"(<rng:grammar xmlns:rng="http://relaxng.org/ns/structure/1.0"><rng:start/></rng:grammar>)",
       {},
       false},
      {"another document element gives nothing, silently",
       R"(<html><element name="x"/></html>)",
       {},
       false},
      {"a start holding a comment and an element",
       R"(<grammar><start><!-- the report --><element name="r"/></start></grammar>)",
       {},
       true},
      {"a start holding an ideographic space, which is no XML white space",
       "<grammar><start>\u3000<element name=\"r\"/></start></grammar>",
       {},
       true},
      {"blanks in a CDATA section inside start",
       R"(<grammar><start><![CDATA[ ]]><element name="r"/></start></grammar>)",
       {},
       true},
      {"an ideographic space between other elements is just text",
       "<grammar><start><element name=\"r\">\u3000<element name=\"a\"/></element></start>"
       "</grammar>",
       {"r", "･･･a"},
       false},
      {"two starts",
       R"(<grammar><start><element name="a"/></start><div><start><element name="b"/>
          </start></div></grammar>)",
       {},
       true},
      {"no start", R"(<grammar><define name="d"><element name="a"/></define></grammar>)", {}, true},
      {"a ref directly in start",
       R"(<grammar><start><ref name="d"/></start><define name="d"><element name="a"/></define></grammar>)",
       {},
       true},
      {"an element name that is no XML name",
       R"(<grammar><start><element name="a b"/></start></grammar>)",
       {},
       true},
      {"a define named xmlroot would add a second root",
       R"(<grammar><start><element name="a"/></start><define name="xmlroot"><element name="b"/>
          </define></grammar>)",
       {},
       true},
      {"not well-formed", R"(<grammar><start><element name="a"></start></grammar>)", {}, true},
      {"empty", "", {}, true},
      {"an undeclared entity", R"(<element name="a">&x;</element>)", {}, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ui.messages.clear();
    EXPECT_EQ(Parse(QByteArray(c.xml)), Sjis(c.entries));
    EXPECT_EQ(ui.messages, c.refused ? Sjis({"スキーマの構造が不正です"}) : Lines());
  }
}

TEST_F(RngParseTest, WhitespaceBetweenElementsIsNotANode) {
  // Indentation inside start would otherwise make it hold more than its element.
  const Lines entries = Parse(
      "<grammar>\n <start>\n  <element name=\"a\">\n  </element>\n </start>\n"
      "</grammar>\n");
  EXPECT_EQ(entries, Lines{"a"});
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(RngParseTest, HostileInputIsRefusedWithoutReadingOrExpanding) {
  QTemporaryDir dir;
  const QString secret = dir.filePath("secret.txt");
  WriteFileAtomically(secret, "<element name=\"leaked\"/>");
  QByteArray laughs = "<?xml version=\"1.0\"?><!DOCTYPE lolz [<!ENTITY a \"aaaaaaaaaa\">";
  for (int i = 1; i < 10; ++i) {
    laughs += QByteArray("<!ENTITY a") + QByteArray::number(i) + " \"";
    for (int k = 0; k < 10; ++k)
      laughs += QByteArray("&a") + (i > 1 ? QByteArray::number(i - 1) : "") + ";";
    laughs += "\">";
  }
  laughs += "]><element name=\"r\"><text/>&a9;</element>";
  const QByteArray external = "<!DOCTYPE e [<!ENTITY x SYSTEM \"file://" + secret.toUtf8() +
                              "\">]><grammar><start>&x;</start></grammar>";
  QByteArray deep;
  for (int i = 0; i < 300; ++i) deep += "<element name=\"a\">";
  for (int i = 0; i < 300; ++i) deep += "</element>";
  // Each define doubles the report: 2^40 elements if nothing stopped it.
  QByteArray doubling = "<grammar><start><element name=\"r\"><ref name=\"d0\"/></element></start>";
  for (int i = 0; i < 40; ++i) {
    doubling += "<define name=\"d" + QByteArray::number(i) +
                "\"><element name=\"x\"><ref name=\"d" + QByteArray::number(i + 1) +
                "\"/><ref name=\"d" + QByteArray::number(i + 1) + "\"/></element></define>";
  }
  doubling += "</grammar>";
  QByteArray huge = "<element name=\"r\">";
  while (huge.size() <= trngdomparse::kMaxSchemaBytes) huge += "<text/>";
  huge += "</element>";

  for (const QByteArray& xml : {laughs, external, deep, doubling, huge}) {
    ui.messages.clear();
    EXPECT_EQ(Parse(xml), Lines());
    EXPECT_EQ(ui.messages, Sjis({"スキーマの構造が不正です"}));
  }
}

TEST_F(RngParseTest, ReadsFilesInTheEncodingTheyDeclare) {
  QTemporaryDir dir;
  const std::string folder = ToCp932(dir.path()).value() + "/";
  const std::string body =
      "<grammar><start><element name=\"家計\"><element name=\"食費\"><text/></element></element>"
      "</start></grammar>";
  const std::string sjisPath = folder + engine::Sjis("月報.rng");
  WriteFileAtomically(PathFromCp932(sjisPath),
                      "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>" + engine::Sjis(body));
  const std::string utf8Path = folder + "utf8.rng";
  WriteFileAtomically(PathFromCp932(utf8Path), "<?xml version=\"1.0\" encoding=\"UTF-8\"?>" + body);

  for (const std::string& path : {sjisPath, utf8Path}) {
    trngdomparse reader(ui);
    EXPECT_EQ(reader.ParseSchema(path), Sjis({"家計", "･･･食費 /"}));
  }
  EXPECT_TRUE(ui.messages.empty());

  trngdomparse reader(ui);
  EXPECT_EQ(reader.ParseSchema(folder + "missing.rng"), Lines());
  EXPECT_EQ(ui.messages, Sjis({"スキーマの構造が不正です"}));
}

TEST_F(RngParseTest, TheShippedHouseholdSchemaReads) {
  trngdomparse reader(ui);
  const std::string path = ToCp932(QStringLiteral(ZENTABO_SCHEMA_DIR "/家計月報.rng")).value();
  EXPECT_EQ(reader.ParseSchema(path),
            Sjis({"家計月報",       "･･･表題 /",      "･･･収入",
                  "･･････給与 +",   "･･････賞与 +",   "･･････その他の収入 +",
                  "･･･固定費",      "･･････住居費 +", "･･････水道光熱費 +",
                  "･･････通信費 +", "･･････保険料 +", "･･･生活費",
                  "･･････食費 +",   "･･････外食費 +", "･･････日用品 +",
                  "･･････交通費 +", "･･････医療費 *", "･･････教養娯楽費 +",
                  "･･････衣服費 +", "･･･備考 /"}));
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(RngParseTest, NamesOutsideCp932AreRefused) {
  EXPECT_EQ(Parse("<element name=\"\xF0\x9F\x98\x80\"/>"), Lines());
  EXPECT_EQ(ui.messages, Sjis({"スキーマの構造が不正です"}));
}

}  // namespace
}  // namespace engine
