#include "engine/import/statement_reader.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>

#include "engine/base/cp932.h"

namespace engine::import {
namespace {

using Records = std::vector<std::vector<std::string>>;

Records ReadAll(std::string_view bytes, char delimiter, bool byteByByte,
                std::vector<std::string>* errors = nullptr, std::vector<long>* lines = nullptr) {
  Records records;
  CsvReader reader(delimiter);
  auto sink = [&](RawRecord&& r) {
    records.push_back(r.fields);
    if (errors) errors->push_back(r.error);
    if (lines) lines->push_back(r.line);
  };
  if (byteByByte) {
    for (const char c : bytes) reader.Feed(std::string_view(&c, 1), sink);
  } else {
    reader.Feed(bytes, sink);
  }
  reader.Finish(sink);
  return records;
}

TEST(CsvReaderTest, SplitsRecordsTheSameWhateverThePiecesFed) {
  struct Case {
    const char* input;
    char delimiter;
    Records expected;
  } cases[] = {
      {"a,b,c\r\n1,2,3\r\n", ',', {{"a", "b", "c"}, {"1", "2", "3"}}},
      {"a,b\n1,2", ',', {{"a", "b"}, {"1", "2"}}},
      {"a\rb\r", ',', {{"a"}, {"b"}}},
      {"\"x,y\",\"say \"\"hi\"\"\"\n", ',', {{"x,y", "say \"hi\""}}},
      {"\"two\r\nlines\",z\n", ',', {{"two\r\nlines", "z"}}},
      {"a,,\n", ',', {{"a", "", ""}}},
      {"\n\r\n\na\n\n", ',', {{"a"}}},
      {"\"\"\n", ',', {{""}}},
      {"ab\"c,d\n", ',', {{"ab\"c", "d"}}},
      {"\"ab\"cd,e\n", ',', {{"abcd", "e"}}},
      {"a\tb,c\t\"d\te\"\n", '\t', {{"a", "b,c", "d\te"}}},
      {"\x82\xa0,\x8e\x9e\n", ',', {{"\x82\xa0", "\x8e\x9e"}}},
  };
  for (const Case& c : cases) {
    for (const bool pieces : {false, true}) {
      EXPECT_EQ(ReadAll(c.input, c.delimiter, pieces), c.expected) << c.input << " " << pieces;
    }
  }
}

TEST(CsvReaderTest, CountsLinesAndReportsBrokenRecords) {
  std::vector<std::string> errors;
  std::vector<long> lines;
  const Records records = ReadAll("a\n\"b\nc\"\nd\n\"open", ',', false, &errors, &lines);
  ASSERT_EQ(records.size(), 4u);
  EXPECT_EQ(lines, (std::vector<long>{1, 2, 4, 5}));
  EXPECT_TRUE(errors[2].empty());
  EXPECT_EQ(errors[3], Sjis("引用符が閉じていません"));

  // A quote that never closes can't make one record swallow the memory of a whole file.
  std::string huge = "x,\"";
  huge.append(CsvReader::kMaxRecordBytes + 10, 'y');
  errors.clear();
  const Records big = ReadAll(huge + "\"\nnext\n", ',', false, &errors);
  ASSERT_EQ(big.size(), 2u);
  EXPECT_TRUE(big[0].empty());
  EXPECT_EQ(errors[0], Sjis("行が長すぎます"));
  EXPECT_EQ(big[1], std::vector<std::string>{"next"});
}

TEST(EncodingTest, DetectsFromBomOrBytes) {
  struct Case {
    std::string head;
    Encoding encoding;
    bool text;
  } cases[] = {
      {"\xEF\xBB\xBF"
       "a,b",
       Encoding::Utf8, true},
      {"\xFF\xFE"
       "a\0",
       Encoding::Utf16LE, true},
      {"\xFE\xFF"
       "\0a",
       Encoding::Utf16BE, true},
      {"\xE6\x97\xA5\xE4\xBB\x98,1\n", Encoding::Utf8, true},
      {"\x93\xfa\x95\x74,\xb6\xb0\xc4\n", Encoding::Cp932, true},
      {"date,amount\n", Encoding::Cp932, true},
      {std::string("PK\x03\x04\0\0", 6), Encoding::Cp932, false},
      {"\x01\x02\x03\x04\x05 binary", Encoding::Cp932, false},
      // A sample cut in the middle of a UTF-8 character is still UTF-8.
      {"\xE6\x97\xA5\xE6\x97", Encoding::Utf8, true},
  };
  for (const Case& c : cases) {
    const Detection d = DetectEncoding(c.head);
    EXPECT_EQ(d.encoding, c.encoding) << c.head;
    EXPECT_EQ(d.text, c.text) << c.head;
  }
}

TEST(EncodingTest, ALineInAnotherEncodingIsNamed) {
  RawRecord utf8Line{{"2025/04/01", "\xE6\x97\xA5"}, 1, {}};
  RawRecord sjisLine{{"2025/04/01", "\x93\xfa\x95\x74"}, 2, {}};
  EXPECT_NE(EncodingProblem(utf8Line, Encoding::Cp932), "");
  EXPECT_EQ(EncodingProblem(sjisLine, Encoding::Cp932), "");
  EXPECT_NE(EncodingProblem(sjisLine, Encoding::Utf8), "");
  EXPECT_EQ(EncodingProblem(utf8Line, Encoding::Utf8), "");

  FieldDecoder decoder(Encoding::Utf8);
  EXPECT_EQ(decoder.ToCp932("\xE6\x97\xA5"), std::optional<std::string>("\x93\xfa"));
  EXPECT_EQ(decoder.ToCp932("\xF0\x9F\x98\x80"), std::nullopt);  // an emoji has no CP932 code
}

struct ReadResult {
  Records records;
  ReadOutcome outcome;
};

ReadResult Read(const QByteArray& bytes, const ReadOptions& options, int cancelAfter = -1) {
  QBuffer buffer;
  buffer.setData(bytes);
  buffer.open(QIODevice::ReadOnly);
  ReadResult result;
  int calls = 0;
  result.outcome = ReadStatement(
      buffer, options, [&](RawRecord&& r) { result.records.push_back(r.fields); },
      [&](qint64, qint64) { return cancelAfter < 0 || ++calls <= cancelAfter; });
  return result;
}

TEST(ReadStatementTest, SkipsLinesTakesTheHeadingAndDecodesUtf16) {
  ReadOptions options;
  options.header = true;
  options.skipTop = 2;
  options.skipBottom = 1;
  const QByteArray csv = "Bank,Account\n\"No.\",123\ndate,amount\n1,2\n3,4\ntotal,6\n";
  ReadResult r = Read(csv, options);
  EXPECT_EQ(r.outcome.heading, (std::vector<std::string>{"date", "amount"}));
  EXPECT_EQ(r.records, (Records{{"1", "2"}, {"3", "4"}}));
  EXPECT_EQ(r.outcome.records, 2);

  // UTF-16 arrives as UTF-8 fields, its byte order mark dropped.
  QStringEncoder toUtf16(QStringConverter::Utf16LE, QStringConverter::Flag::WriteBom);
  options.encoding = Encoding::Utf16LE;
  r = Read(toUtf16.encode(QStringLiteral("Bank,Account\nNo.,1\n日付,金額\n4/1,5\ntotal,5\n")),
           options);
  EXPECT_EQ(r.outcome.heading,
            (std::vector<std::string>{"\xE6\x97\xA5\xE4\xBB\x98", "\xE9\x87\x91\xE9\xA1\x8D"}));
  EXPECT_EQ(r.records, (Records{{"4/1", "5"}}));

  // A UTF-8 byte order mark is not part of the first field.
  options = ReadOptions{};
  options.encoding = Encoding::Utf8;
  r = Read(
      "\xEF\xBB\xBF"
      "a,b\n",
      options);
  EXPECT_EQ(r.records, (Records{{"a", "b"}}));
}

TEST(ReadStatementTest, RefusesBinaryAndStopsWhenCancelled) {
  ReadResult r = Read(QByteArray("a,b\n\0\0\0", 7), ReadOptions{});
  EXPECT_EQ(r.outcome.error, Sjis("テキストファイルではありません"));

  QByteArray big;
  for (int i = 0; i < 200000; ++i) big += "2025/04/01,1234,some shop name here\n";
  r = Read(big, ReadOptions{}, 1);
  EXPECT_TRUE(r.outcome.cancelled);
  EXPECT_GT(r.records.size(), 0u);
  EXPECT_LT(r.records.size(), 200000u);
}

TEST(ReadStatementTest, AFileBeyondTheLimitIsRefusedUnread) {
  // A sparse file: as large as the limit allows plus one byte, of NULs that any read would
  // take for binary.
  QTemporaryDir dir;
  QFile file(dir.filePath(QStringLiteral("huge.csv")));
  ASSERT_TRUE(file.open(QIODevice::ReadWrite));
  ASSERT_TRUE(file.resize(kMaxStatementBytes + 1));
  bool told = false;
  const ReadOutcome outcome = ReadStatement(
      file, ReadOptions{}, [](RawRecord&&) {}, [&](qint64, qint64) { return told = true; });
  EXPECT_EQ(outcome.error,
            Sjis("明細のファイルが大きすぎます（513 MB）。512 MB までのファイルを取り込めます。"));
  EXPECT_FALSE(told);
  EXPECT_EQ(file.pos(), 0);
  EXPECT_EQ(SizeProblem(kMaxStatementBytes), "");
}

}  // namespace
}  // namespace engine::import
