// The program started with a book on its command line, as a file manager or the menu entry
// starts it: run as a process without a display.
#include <gtest/gtest.h>

#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QThread>
#include <functional>

#include "cli_book.h"

namespace cli_test {
namespace {

const std::vector<Line> kLines = {{"25/01/05", "1000", "食費", "スーパー", "現金"}};

// The program, started offscreen with one command line; stopped when the test is done.
class Program {
 public:
  explicit Program(const QStringList& arguments) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    process_.setProcessEnvironment(environment);
    process_.setReadChannel(QProcess::StandardError);
    process_.start(QStringLiteral(ZENTABO_PROGRAM), arguments);
    process_.waitForStarted();
  }
  ~Program() {
    if (process_.state() != QProcess::NotRunning) {
      process_.kill();
      process_.waitForFinished();
    }
  }
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  bool Running() const { return process_.state() == QProcess::Running; }
  qint64 Pid() const { return process_.processId(); }
  // Everything written to the error stream so far, after a short wait for more.
  const std::string& Errors() {
    process_.waitForReadyRead(50);
    err_ += process_.readAllStandardError().toStdString();
    return err_;
  }
  QProcess& Process() { return process_; }

 private:
  QProcess process_;
  std::string err_;
};

// Polls `done` until it holds or a sanitized start-up has had ample time.
bool WaitFor(const std::function<bool()>& done) {
  const QDeadlineTimer deadline(60000);
  while (!done()) {
    if (deadline.hasExpired()) return false;
    QThread::msleep(50);
  }
  return true;
}

// The process that holds the lock beside an index file (the program takes it when it opens a
// book for writing), or 0.
qint64 LockHolder(const QString& index) {
  QFile lock(index + ".lock");
  if (!lock.open(QIODevice::ReadOnly)) return 0;
  return lock.readLine().trimmed().toLongLong();
}

TEST(ProgramStartTest, OpensTheBookItIsGiven) {
  const TestBook book(kLines);
  // The index file itself, and the folder that holds it as its only index file.
  for (const QString& operand : {book.Index(), book.Folder()}) {
    Program program({operand});
    ASSERT_TRUE(WaitFor([&] { return LockHolder(book.Index()) == program.Pid(); }))
        << operand.toStdString() << ": " << program.Errors();
    // Still open a while later: the book was read, not given up after the lock was taken.
    QThread::msleep(500);
    EXPECT_TRUE(program.Running());
    EXPECT_EQ(LockHolder(book.Index()), program.Pid());
    // Qt may say things of its own there; the program says nothing.
    EXPECT_EQ(program.Errors().find("zentabo: "), std::string::npos) << program.Errors();
  }
}

TEST(ProgramStartTest, ABadPathIsToldAndNothingIsOpened) {
  const TestBook book(kLines);
  const TestBook twice(kLines);
  QFile::copy(twice.Index(), twice.File("控え.txt"));
  const TestBook none(kLines);
  QFile::remove(none.Index());
  struct Case {
    QString operand;
    std::string message;
  };
  const Case cases[] = {
      {book.File("ない.txt"), "' がありません"},
      {twice.Folder(), "家計簿ファイルが複数あります"},
      {none.Folder(), "家計簿ファイルがありません"},
  };
  for (const Case& c : cases) {
    Program program({c.operand});
    // The message waits in the window for the user; the same text is on the error stream.
    ASSERT_TRUE(WaitFor([&] { return program.Errors().find(c.message) != std::string::npos; }))
        << c.operand.toStdString() << ": " << program.Errors();
    EXPECT_NE(program.Errors().find("zentabo: "), std::string::npos) << program.Errors();
    EXPECT_TRUE(program.Running());
    EXPECT_FALSE(QFile::exists(book.Index() + ".lock"));
    EXPECT_FALSE(QFile::exists(twice.Index() + ".lock"));
  }
  // Two books are one too many: refused before any window.
  Program two({book.Index(), twice.Index()});
  ASSERT_TRUE(two.Process().waitForFinished(60000));
  EXPECT_EQ(two.Process().exitCode(), 2);
  EXPECT_NE(two.Errors().find("開ける家計簿は一つです"), std::string::npos) << two.Errors();
}

}  // namespace
}  // namespace cli_test
