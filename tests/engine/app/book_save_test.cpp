// Saves that never lose data: failing writes, crashes at every step of a save, a real full
// disk, and leftovers of interrupted saves.
#include <sys/mount.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <cerrno>
#include <cstring>

#include "book_fixture.h"
#include "engine/app/app_settings.h"
#include "engine/app/profile.h"
#include "engine/base/atomic_saver.h"
#include "engine/base/error.h"
#include "engine/tables/journal_grid.h"

namespace engine::testing {
namespace {

class BookSaveTest : public BookTest {
 protected:
  QString Folder() const { return PathFromCp932(folder); }
  // Opens the sample and changes what every file holds.
  void OpenAndChange() {
    book.OpenBook(WriteSample());
    ASSERT_TRUE(book.IsOpen()) << ui.LastMessage();
    book.Journal()->SetCell(4, 1, Sjis("夕食"));
    book.AddSubject(Sjis("交通費"));
    book.Journal()->Summaries().Add(Sjis("電車"));
    book.SetModified();
  }
  static bool HasTemporaries(const Files& files) {
    for (const auto& [name, bytes] : files) {
      if (name.find(AtomicSaver::kTempSuffix) != std::string::npos) return true;
    }
    return false;
  }
};

TEST_F(BookSaveTest, AFailedWriteOfAnyFileLeavesEveryFileAsItWas) {
  const struct {
    const char* file;
    qint64 bytesBeforeFailure;
    int error;
    const char* reason;
  } cases[] = {
      {"勘定科目.txt", 0, ENOSPC, "ディスクの空き容量が不足しています"},
      {"摘要.txt", 3, ENOSPC, "ディスクの空き容量が不足しています"},
      {"仕訳帳.txt", 20, ENOSPC, "ディスクの空き容量が不足しています"},
      {"現金.txt", 0, EDQUOT, "ディスクの空き容量が不足しています"},
      {"交通費.txt", 0, EACCES, "書き込む権限がありません"},
      {"家計.txt", 40, EIO, "ディスクの読み書きに失敗しました"},
  };
  OpenAndChange();
  const Files before = FilesIn(Folder());
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    ui.messages.clear();
    {
      WriteFaultInjection fault(FromCp932(Sjis(c.file)), c.bytesBeforeFailure, c.error);
      EXPECT_FALSE(book.SaveBook());
    }
    EXPECT_TRUE(book.Modified());
    EXPECT_EQ(FilesIn(Folder()), before);  // nothing replaced, no temporary left
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_NE(ui.messages[0].find(P(c.file)), std::string::npos) << ui.messages[0];
    EXPECT_NE(ui.messages[0].find(Sjis(c.reason)), std::string::npos) << ui.messages[0];
  }
  ASSERT_TRUE(book.SaveBook()) << ui.LastMessage();
  EXPECT_EQ(Bytes(P("摘要.txt")), Sjis("パン\r\n昼食\r\n電車\r\n"));
  EXPECT_FALSE(HasTemporaries(FilesIn(Folder())));
}

TEST_F(BookSaveTest, SettingsFilesReportAFailedWriteAndKeepTheOldFile) {
  const QString ini = dir.filePath("zntbk.ini");
  AppSettings settings(ini);
  settings.WritePlacement({1, 2, 3, 4});
  Profile aggregation(Folder() + "/" + FromCp932(Sjis("集計設定.txt")));
  aggregation.Write("a", "b", "c");
  const std::string iniBefore = ReadFileBytes(ini);
  const std::string aggregationBefore = ReadFileBytes(aggregation.Path());

  WriteFaultInjection fault({}, 5);
  try {
    settings.WritePlacement({5, 6, 7, 8});
    ADD_FAILURE() << "a failed write reported success";
  } catch (const Error& e) {
    EXPECT_NE(e.Message().find("zntbk.ini"), std::string::npos);
    EXPECT_NE(e.Message().find(Sjis("ディスクの空き容量が不足しています")), std::string::npos);
  }
  EXPECT_THROW(aggregation.Write("a", "b", "d"), Error);
  EXPECT_EQ(ReadFileBytes(ini), iniBefore);
  EXPECT_EQ(ReadFileBytes(aggregation.Path()), aggregationBefore);
}

// A crash before any step of the commit: the reopened book is wholly old before the save
// record is written, wholly new from then on.
TEST_F(BookSaveTest, ACrashAtEveryStepOfASaveReopensWhollyOldOrWhollyNew) {
  OpenAndChange();
  const Files old = FilesIn(Folder());
  ASSERT_TRUE(book.SaveBook());
  const Files saved = FilesIn(Folder());
  book.CloseBook();
  // Step 0 writes the record; seven files are renamed (two lists, the journal, three ledgers
  // and the index); the last step removes the record.
  const int steps = 7;
  for (int step = 0; step <= steps + 1; ++step) {
    SCOPED_TRACE(step);
    QDir(Folder()).removeRecursively();
    QDir().mkpath(Folder());
    OpenAndChange();
    {
      CrashInjection crash(step);
      EXPECT_THROW(book.SaveBook(), CrashInjection::SimulatedCrash);
    }
    FakeUi reopenUi;
    Book reopened(reopenUi);
    book.CloseBook();  // the crashed program's lock goes with it
    reopened.OpenBook(P("家計.txt"));
    ASSERT_TRUE(reopened.IsOpen()) << reopenUi.LastMessage();
    reopened.CloseBook();
    EXPECT_EQ(FilesIn(Folder()), step == 0 ? old : saved);
    // Completing a save after a crash is said; throwing away one that never counted is not.
    EXPECT_EQ(reopenUi.messages.size(), step == 0 || step == steps + 1 ? 0u : 1u);
  }
}

TEST_F(BookSaveTest, LeftoverTemporariesOfThisProgramGoOnOpen) {
  const std::string index = WriteSample();
  const Lines left = {"食費.txt.1a2b3c.zentabo-new", "旅行費.txt.0f0f0f.zentabo-new",
                      "食費.txt.dcIVKz", "家計.txt.zentabo-save.zentabo-new"};
  const Lines kept = {"食費.txt.backup", "食費.txt.BACKUP", "メモ.txt"};
  for (const auto& name : left) Write(P(name.c_str()), {"x"});
  for (const auto& name : kept) Write(P(name.c_str()), {"x"});
  book.OpenBook(index);
  ASSERT_TRUE(book.IsOpen()) << ui.LastMessage();
  for (const auto& name : left) EXPECT_FALSE(Exists(P(name.c_str()))) << name;
  for (const auto& name : kept) EXPECT_TRUE(Exists(P(name.c_str()))) << name;
}

// A real full disk: runs only where a small tmpfs can be mounted (as root).
TEST_F(BookSaveTest, ARealFullDiskLeavesTheBookWhole) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to mount a small tmpfs";
  QTemporaryDir mountPoint;
  const QByteArray target = QFile::encodeName(mountPoint.path());
  if (::mount("tmpfs", target.constData(), "tmpfs", 0, "size=256k") != 0) {
    GTEST_SKIP() << "can't mount a tmpfs here: " << std::strerror(errno);
  }
  struct Unmount {
    QByteArray target;
    ~Unmount() { ::umount2(target.constData(), MNT_DETACH); }
  } unmount{target};
  root = ToCp932(mountPoint.path()).value() + "/";
  folder = root + Sjis("家計") + "/";
  QDir().mkpath(PathFromCp932(folder));
  OpenAndChange();
  const Files before = FilesIn(Folder());
  // Fill the disk to the last byte.
  QFile filler(mountPoint.filePath("filler"));
  ASSERT_TRUE(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
  const QByteArray block(4096, 'x');
  while (filler.write(block) > 0) {
  }
  while (filler.write(block.constData(), 1) > 0) {
  }
  filler.close();
  EXPECT_FALSE(book.SaveBook());
  EXPECT_NE(ui.LastMessage().find(Sjis("ディスクの空き容量が不足しています")), std::string::npos)
      << ui.LastMessage();
  EXPECT_EQ(FilesIn(Folder()), before);
  book.CloseBook();
}

}  // namespace
}  // namespace engine::testing
