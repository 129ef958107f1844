#pragma once

#include <QString>
#include <QTemporaryDir>
#include <map>
#include <string>
#include <vector>

namespace cli_test {

// One journal line as the tests write it (UTF-8 texts).
struct Line {
  std::string date;
  std::string amount;
  std::string debit;
  std::string summary;
  std::string credit;
};

// A book written into a folder of its own: the journal from `lines`, one ledger per subject
// (in the order the subjects first appear) posted from them with running balances, the
// subject, summary and settings files, and the index file "テスト.txt".
class TestBook {
 public:
  explicit TestBook(const std::vector<Line>& lines, const std::string& settings = {});

  QString Folder() const { return dir_.path(); }
  QString Index() const { return File("テスト.txt"); }
  QString File(const std::string& name) const;
  // Writes UTF-8 `text` as CP932 (or as it is) and replaces one line (from 1) of a file.
  void Write(const std::string& name, const std::string& text, bool cp932 = true) const;
  void ReplaceLine(const std::string& name, int line, const std::string& text) const;
  // Every file of the folder with its bytes and modification time, to tell a write.
  std::map<QString, std::pair<QByteArray, qint64>> Snapshot() const;

 private:
  QTemporaryDir dir_;
};

// The tool run as a process in a Japanese locale (LANG=ja_JP.UTF-8, LC_ALL and LC_MESSAGES
// cleared), with the "NAME=value" settings of `locale` on top.
struct Result {
  int status = -1;
  std::string out;  // UTF-8 unless asked otherwise
  std::string err;
};
Result RunTool(const QStringList& arguments, const QStringList& locale = {});

// UTF-8 text as CP932 bytes.
std::string Cp932(const std::string& utf8);

}  // namespace cli_test
