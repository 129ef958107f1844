#include "cli_book.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStringDecoder>
#include <QStringEncoder>
#include <stdexcept>

namespace cli_test {

std::string Cp932(const std::string& utf8) {
  QStringEncoder encoder("Shift_JIS");
  const QByteArray bytes = encoder.encode(QString::fromStdString(utf8));
  if (encoder.hasError()) throw std::logic_error("test text outside CP932");
  return bytes.toStdString();
}

namespace {

void WriteBytes(const QString& path, const std::string& bytes) {
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) throw std::runtime_error("write");
  file.write(bytes.data(), static_cast<qint64>(bytes.size()));
}

std::string Lines(const std::vector<std::string>& lines) {
  std::string text;
  for (const auto& line : lines) text += line + "\r\n";
  return text;
}

}  // namespace

TestBook::TestBook(const std::vector<Line>& lines, const std::string& settings) {
  std::vector<std::string> journal;
  std::vector<std::string> order;
  std::map<std::string, std::vector<std::string>> ledgers;
  std::map<std::string, long long> balances;
  for (const Line& line : lines) {
    journal.push_back(line.date + "\t" + line.amount + "\t" + line.debit + "\t" + line.summary +
                      "\t" + line.credit + "\t" + line.amount);
    for (int side = 0; side < 2; ++side) {
      const std::string& subject = side == 0 ? line.debit : line.credit;
      const std::string& other = side == 0 ? line.credit : line.debit;
      if (!ledgers.count(subject)) order.push_back(subject);
      long long& balance = balances[subject];
      const long long amount = std::stoll(line.amount);
      balance += side == 0 ? amount : -amount;
      ledgers[subject].push_back(line.date + "\t" + other + "\t" + line.summary + "\t" +
                                 (side == 0 ? line.amount : "") + "\t" +
                                 (side == 1 ? line.amount : "") + "\t" + std::to_string(balance));
    }
  }
  Write("仕訳帳.txt", Lines(journal));
  std::vector<std::string> index = {
      File("勘定科目.txt").toStdString(), File("摘要.txt").toStdString(),
      File("集計設定.txt").toStdString(), File("仕訳帳.txt").toStdString()};
  for (const auto& subject : order) {
    Write(subject + ".txt", Lines(ledgers[subject]));
    index.push_back(File(subject + ".txt").toStdString());
  }
  Write("勘定科目.txt", Lines(order));
  Write("摘要.txt", "");
  if (!settings.empty()) Write("集計設定.txt", settings);
  Write("テスト.txt", Lines(index));
}

QString TestBook::File(const std::string& name) const {
  return QDir(dir_.path()).filePath(QString::fromStdString(name));
}

void TestBook::Write(const std::string& name, const std::string& text, bool cp932) const {
  WriteBytes(File(name), cp932 ? Cp932(text) : text);
}

void TestBook::ReplaceLine(const std::string& name, int line, const std::string& text) const {
  QFile file(File(name));
  if (!file.open(QIODevice::ReadOnly)) throw std::runtime_error("read");
  QList<QByteArray> lines = file.readAll().split('\n');
  file.close();
  lines[line - 1] = QByteArray::fromStdString(Cp932(text) + "\r");
  WriteBytes(File(name), lines.join('\n').toStdString());
}

std::map<QString, std::pair<QByteArray, qint64>> TestBook::Snapshot() const {
  std::map<QString, std::pair<QByteArray, qint64>> files;
  QDirIterator it(dir_.path(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
  while (it.hasNext()) {
    const QString path = it.next();
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    files[path] = {file.readAll(), QFileInfo(path).lastModified().toMSecsSinceEpoch()};
  }
  return files;
}

Result RunTool(const QStringList& arguments, const QStringList& locale) {
  QProcess process;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.remove(QStringLiteral("LC_ALL"));
  environment.remove(QStringLiteral("LC_MESSAGES"));
  environment.insert(QStringLiteral("LANG"), QStringLiteral("ja_JP.UTF-8"));
  for (const QString& setting : locale)
    environment.insert(setting.section(u'=', 0, 0), setting.section(u'=', 1));
  process.setProcessEnvironment(environment);
  process.start(QStringLiteral(ZENTABO_CLI), arguments);
  Result result;
  if (!process.waitForFinished(120000)) {
    process.kill();
    process.waitForFinished();
    result.err = "timed out";
    return result;
  }
  result.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
  result.out = process.readAllStandardOutput().toStdString();
  result.err = process.readAllStandardError().toStdString();
  return result;
}

}  // namespace cli_test

// The process tests' main: QProcess wants an application object.
int main(int argc, char** argv) {
  QCoreApplication application(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
