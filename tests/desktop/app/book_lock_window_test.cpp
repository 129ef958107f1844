// A book another program holds or changes, as the user meets it: the question naming the
// holder, a main window whose caption says the book is read-only, and the question about
// files changed on disk when the window comes back to the front.
#include <QApplication>
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

  void aFileChangedOnDiskIsAskedAboutOnceWhenTheWindowComesBack() {
    StartWindow();
    OpenBook();
    window_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window_.get()));
    // Another program adds a line to the journal.
    SampleBook::Write(book_->P("仕訳帳.txt"), {S("25/06/01\t1200\t食費\t昼食\t現金\t1200"),
                                               S("25/06/02\t300\t食費\tパン\t現金\t300"),
                                               S("25/06/03\t500\t食費\t夕食\t現金\t500")});
    ModalAnswers answers({QMessageBox::No});
    QEvent activation(QEvent::ActivationChange);
    QApplication::sendEvent(window_.get(), &activation);
    QTRY_COMPARE(answers.Texts().size(), 1);
    QVERIFY(answers.Texts()[0].contains(QStringLiteral("他のプログラムで変更されています")));
    QVERIFY(answers.Texts()[0].contains(QStringLiteral("仕訳帳.txt")));
    QVERIFY(!answers.Texts()[0].contains(QStringLiteral("食費.txt")));
    // Kept as it was; the same change is not asked about again.
    QCOMPARE(window_->Book().Journal()->Cell(2, 3), std::string());
    QApplication::sendEvent(window_.get(), &activation);
    QTest::qWait(100);
    QCOMPARE(answers.Texts().size(), 1);
  }
};

REGISTER_DESKTOP_TEST(BookLockWindowTest);

}  // namespace desktop_tests

#include "book_lock_window_test.moc"
