#include "engine/base/text_file.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "engine/base/cp932.h"
#include "engine/base/error.h"

namespace engine {
namespace {

using Lines = std::vector<std::string>;

TEST(TextFileTest, LinesEndAtCrLfLfOrCr) {
  const struct {
    std::string content;
    Lines expected;
  } cases[] = {
      {"", {}},
      {"a", {"a"}},
      {"a\r\nb\r\n", {"a", "b"}},
      {"a\nb\rc\r\nd", {"a", "b", "c", "d"}},
      {"\r\n", {""}},
      {"\r\n\r\n", {"", ""}},
      {"a\r\rb", {"a", "", "b"}},
      {"a\n\r", {"a", ""}},
      {std::string("x\0y\n", 4), {std::string("x\0y", 3)}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.content);
    EXPECT_EQ(SplitLines(c.content), c.expected);
  }
}

TEST(TextFileTest, WritesCrLfAndRoundTripsBytes) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QString::fromUtf8("仕訳帳.txt"));
  const Lines lines = {Sjis("25/04/01\t1000\t食費\t昼食\t現金"), "", std::string("\xff\x80\x82", 3)};
  WriteTextLines(path, lines);
  EXPECT_EQ(ReadFileBytes(path), lines[0] + "\r\n\r\n" + lines[2] + "\r\n");
  EXPECT_EQ(ReadTextLines(path), lines);
}

TEST(TextFileTest, MissingFileIsAnErrorNamingIt) {
  QTemporaryDir dir;
  try {
    ReadFileBytes(dir.filePath("none.txt"));
    FAIL() << "no error";
  } catch (const Error& e) {
    EXPECT_NE(e.Message().find("none.txt"), std::string::npos);
    EXPECT_NE(e.Message().find(Sjis("を開けません")), std::string::npos);
  }
}

TEST(TextFileTest, OnlyPlainFilesAreRead) {
  // A folder or a device named where a book file belongs is refused instead of blocking.
  QTemporaryDir dir;
  EXPECT_THROW(ReadFileBytes(dir.path()), Error);
  EXPECT_THROW(ReadFileBytes("/dev/zero"), Error);
}

TEST(TextFileTest, FailedWriteLeavesTheOldFileWhole) {
  QTemporaryDir dir;
  const QString path = dir.filePath("book.txt");
  WriteTextLines(path, {"old"});
  // A folder that can't be written to makes the save fail before anything is replaced.
  QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner);
  const bool canStillWrite = QFileInfo(dir.path()).isWritable();  // root ignores permissions
  if (!canStillWrite) {
    EXPECT_THROW(WriteTextLines(path, {"new"}), Error);
    EXPECT_EQ(ReadTextLines(path), Lines{"old"});
  }
  QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  // Writing into a path whose folder does not exist fails and creates nothing.
  EXPECT_THROW(WriteTextLines(dir.filePath("no/such/folder.txt"), {"x"}), Error);
  EXPECT_EQ(ReadTextLines(path), Lines{"old"});
}

}  // namespace
}  // namespace engine
