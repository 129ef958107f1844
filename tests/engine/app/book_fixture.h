#pragma once

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <map>
#include <string>
#include <vector>

#include "engine/app/book.h"
#include "engine/base/cp932.h"
#include "engine/base/date.h"
#include "engine/base/text_file.h"
#include "fake_ui.h"

namespace engine::testing {

using Lines = std::vector<std::string>;
using Files = std::map<std::string, std::string>;

inline bool StartsWith(const std::string& text, const std::string& start) {
  return text.compare(0, start.size(), start) == 0;
}

// Every file of a folder by name with its bytes; the lock of an open book is left out.
inline Files FilesIn(const QString& folder) {
  Files files;
  const QDir dir(folder);
  for (const QString& name : dir.entryList(QDir::Files | QDir::Hidden)) {
    if (name.endsWith(".lock")) continue;
    files[name.toStdString()] = ReadFileBytes(dir.filePath(name));
  }
  return files;
}

inline void CopyFolder(const QString& from, const QString& to) {
  QDir().mkpath(to);
  for (const QString& name : QDir(from).entryList(QDir::Files | QDir::Hidden)) {
    QFile::copy(from + "/" + name, to + "/" + name);
  }
}

// A book on disk: a temporary folder holding the book folder "家計" with its files.
class BookTest : public ::testing::Test {
 protected:
  QTemporaryDir dir;
  std::string root;    // CP932, ends with "/"
  std::string folder;  // the book folder
  FakeUi ui;
  Book book{ui};
  TodayOverride today{QDate(2025, 6, 14)};

  void SetUp() override {
    root = ToCp932(dir.path()).value() + "/";
    folder = root + Sjis(FolderName()) + "/";
    QDir().mkpath(PathFromCp932(folder));
  }
  // The book folder's name (UTF-8).
  virtual const char* FolderName() const { return "家計"; }

  std::string P(const char* utf8) const { return folder + Sjis(utf8); }
  std::string P(const std::string& cp932) const { return folder + cp932; }
  void Write(const std::string& path, const Lines& lines) {
    WriteTextLines(PathFromCp932(path), lines);
  }
  std::string Bytes(const std::string& path) { return ReadFileBytes(PathFromCp932(path)); }
  bool Exists(const std::string& path) { return QFile::exists(PathFromCp932(path)); }

  // The sample: two posted lines between 食費 and 現金, subjects with a counterpart.
  std::string WriteSample() {
    Write(P("仕訳帳.txt"), {Sjis("25/06/01\t1200\t食費\t昼食\t現金\t1200"),
                            Sjis("25/06/02\t300\t食費\tパン\t現金\t300")});
    Write(P("食費.txt"),
          {Sjis("25/06/01\t現金\t昼食\t1200\t\t1200"), Sjis("25/06/02\t現金\tパン\t300\t\t1500")});
    Write(P("現金.txt"), {Sjis("25/06/01\t食費\t昼食\t\t1200\t-1200"),
                          Sjis("25/06/02\t食費\tパン\t\t300\t-1500")});
    Write(P("勘定科目.txt"), {Sjis("食費\t現金"), "", Sjis("現金")});
    Write(P("摘要.txt"), {Sjis("パン"), Sjis("昼食")});  // in store order, so saved unchanged
    const std::string index = P("家計.txt");
    Write(index, {P("勘定科目.txt"), P("摘要.txt"), P("集計設定.txt"), P("仕訳帳.txt"),
                  P("食費.txt"), P("現金.txt")});
    return index;
  }
};

}  // namespace engine::testing
