// A book another program holds, as the user meets it: the question naming the holder, and a
// main window whose caption says the book is read-only.
#include <QMessageBox>
#include <QTest>
#include <memory>

#include "desktop/app/tacc_mdi.h"
#include "desktop_fixture.h"
#include "engine/app/book_lock.h"
#include "engine/base/cp932.h"
#include "support/book_window.h"
#include "test_registry.h"

namespace desktop_tests {

class BookLockWindowTest : public BookWindowTest {
  Q_OBJECT

 private slots:
  void cleanup() { StopWindow(); }

  void aHeldBookOpensReadOnlyWhenTheUserSaysSo() {
    StartWindow();
    // The lock held here stands for another program's.
    engine::BookLock other(engine::PathFromCp932(book_->Index()));
    QCOMPARE(other.TryLock(), engine::BookLock::Result::Acquired);
    {
      ModalAnswers answers({QMessageBox::Yes});
      OpenBook();
      QCOMPARE(answers.Texts().size(), 1);
      QVERIFY(answers.Texts()[0].contains(QStringLiteral("他のプログラムが使用中です")));
      QVERIFY(answers.Texts()[0].contains(QString::number(QCoreApplication::applicationPid())));
    }
    QVERIFY(window_->Book().ReadOnly());
    QVERIFY(window_->windowTitle().endsWith(QStringLiteral("（読み取り専用）")));
    if (qEnvironmentVariableIsSet("ZENTABO_GRAB")) {
      window_->grab().save(qEnvironmentVariable("ZENTABO_GRAB"));
    }
    {
      ModalAnswers answers;
      window_->Book().FileSaveExecute();
      QCOMPARE(answers.Texts().size(), 1);
      QVERIFY(answers.Texts()[0].contains(QStringLiteral("読み取り専用")));
    }
  }
};

REGISTER_DESKTOP_TEST(BookLockWindowTest);

}  // namespace desktop_tests

#include "book_lock_window_test.moc"
