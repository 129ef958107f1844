#include "engine/app/app_settings.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "engine/app/app_folder.h"
#include "engine/base/cp932.h"
#include "engine/base/error.h"
#include "engine/base/text_file.h"

namespace engine {
namespace {

using Items = AppSettings::RecentFileItems;

class AppSettingsTest : public ::testing::Test {
 protected:
  QString Path() const { return dir_.filePath("zntbk.ini"); }
  std::string Content() const { return ReadFileBytes(Path()); }
  static std::vector<std::string> Captions(const AppSettings& settings) {
    std::vector<std::string> shown;
    for (const auto& item : settings.RecentFiles())
      if (item.visible) shown.push_back(item.caption);
    return shown;
  }

  QTemporaryDir dir_;
};

TEST_F(AppSettingsTest, NoFileGivesDefaultsAndLeavingCreatesIt) {
  AppSettings settings(Path());
  EXPECT_EQ(settings.ReadPlacement(), (WindowPlacement{30, 30, 600, 400}));
  settings.LoadRecentFiles();
  EXPECT_FALSE(settings.RecentSeparatorVisible());
  EXPECT_EQ(settings.RecentFiles(), (Items{{{"RecentFile1", false},
                                            {"RecentFile2", false},
                                            {"RecentFile3", false},
                                            {"RecentFile4", false}}}));
  EXPECT_FALSE(QFileInfo::exists(Path()));

  settings.WritePlacement({-5, 12, 800, 600});
  EXPECT_EQ(Content(), "[Settings]\r\nleft=-5\r\ntop=12\r\nwidth=800\r\nheight=600\r\n");
  EXPECT_EQ(AppSettings(Path()).ReadPlacement(), (WindowPlacement{-5, 12, 800, 600}));
}

TEST_F(AppSettingsTest, PlacementValuesThatAreNoWholeNumberReadAsDefaults) {
  WriteFileAtomically(Path(), "[settings]\r\nLEFT=abc\r\ntop=\r\nwidth=1e3\r\nheight= 480 \r\n");
  EXPECT_EQ(AppSettings(Path()).ReadPlacement(), (WindowPlacement{30, 30, 600, 480}));
}

TEST_F(AppSettingsTest, FirstRunHasNoPlacementAndGroupingIsRememberedBesideIt) {
  AppSettings settings(Path());
  EXPECT_FALSE(settings.HasPlacement());
  EXPECT_TRUE(settings.ReadDigitGrouping());
  settings.WriteDigitGrouping(false);
  EXPECT_FALSE(AppSettings(Path()).ReadDigitGrouping());
  EXPECT_FALSE(AppSettings(Path()).HasPlacement());
  settings.WritePlacement({1, 2, 300, 400});
  const AppSettings again(Path());
  EXPECT_TRUE(again.HasPlacement());
  EXPECT_FALSE(again.ReadDigitGrouping());
  EXPECT_EQ(again.ReadPlacement(), (WindowPlacement{1, 2, 300, 400}));
}

TEST_F(AppSettingsTest, SafetySettingsReadWithinTheirBounds) {
  struct Case {
    const char* section;  // the [Safety] lines, or empty for no file
    bool confirm;
    int backups, recoveryMinutes, undoLimit;
  } cases[] = {
      {"", true, 10, 5, 100},
      {"ConfirmLineDelete=0\r\nBackupCount=3\r\nRecoveryMinutes=1\r\nUndoLimit=500\r\n", false, 3,
       1, 500},
      {"BackupCount=-4\r\nRecoveryMinutes=99999\r\nUndoLimit=0\r\n", true, 0, 1440, 1},
      {"BackupCount=ten\r\nUndoLimit=99999999\r\n", true, 10, 5, 10000},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.section);
    QFile::remove(Path());
    if (*c.section) WriteFileAtomically(Path(), std::string("[Safety]\r\n") + c.section);
    const AppSettings settings(Path());
    EXPECT_EQ(settings.ConfirmLineDelete(), c.confirm);
    EXPECT_EQ(settings.BackupCount(), c.backups);
    EXPECT_EQ(settings.RecoveryMinutes(), c.recoveryMinutes);
    EXPECT_EQ(settings.UndoLimit(), c.undoLimit);
  }
}

TEST_F(AppSettingsTest, OpeningFiveBooksKeepsTheNewestFour) {
  AppSettings settings(Path());
  settings.LoadRecentFiles();
  for (const char* book : {"/b/A.txt", "/b/B.txt", "/b/C.txt", "/b/D.txt", "/b/E.txt"})
    settings.AddRecentFile(book);
  EXPECT_EQ(Content(),
            "[RecentFiles]\r\nfile1=/b/E.txt\r\nfile2=/b/D.txt\r\nfile3=/b/C.txt\r\n"
            "file4=/b/B.txt\r\n");
  EXPECT_TRUE(settings.RecentSeparatorVisible());
  const std::vector<std::string> newestFirst = {"/b/E.txt", "/b/D.txt", "/b/C.txt", "/b/B.txt"};
  EXPECT_EQ(Captions(settings), newestFirst);

  // Reopening a listed book changes neither the file nor the menu; letter case counts.
  const std::string before = Content();
  settings.AddRecentFile("/b/B.txt");
  settings.AddRecentFile("/b/E.txt");
  EXPECT_EQ(Content(), before);
  EXPECT_EQ(Captions(settings), newestFirst);
  settings.AddRecentFile("/b/e.txt");
  EXPECT_EQ(Captions(settings),
            (std::vector<std::string>{"/b/e.txt", "/b/E.txt", "/b/D.txt", "/b/C.txt"}));

  // A fresh run shows the same list from the file.
  AppSettings next(Path());
  next.LoadRecentFiles();
  EXPECT_EQ(Captions(next), Captions(settings));
}

TEST_F(AppSettingsTest, ItemsFollowTheKeysInFileOrder) {
  const std::string japanese = Sjis("/家計簿/2025.txt");
  WriteFileAtomically(Path(),
                      "[recentfiles]\r\nfile2=" + japanese +
                          "\r\nfile1=/one.txt\r\nfile3=\r\nx=/x.txt\r\nfile4=/late.txt\r\n");
  AppSettings settings(Path());
  settings.LoadRecentFiles();
  EXPECT_TRUE(settings.RecentSeparatorVisible());
  EXPECT_EQ(
      settings.RecentFiles(),
      (Items{{{japanese, true}, {"/one.txt", true}, {"RecentFile3", false}, {"/x.txt", true}}}));

  // Shown items stay shown with their captions when the file later holds no value for them.
  WriteFileAtomically(Path(), "[RecentFiles]\r\nfile1=\r\n");
  settings.LoadRecentFiles();
  EXPECT_EQ(settings.RecentFiles()[0], (AppSettings::RecentFileItem{japanese, true}));
}

TEST_F(AppSettingsTest, PushShiftsOnlyNonEmptyValuesAndWritesFailuresThrow) {
  WriteFileAtomically(Path(), "[RecentFiles]\r\nfile1=/a.txt\r\nfile2=\r\nfile3=/c.txt\r\n");
  AppSettings settings(Path());
  settings.PushRecentFile("/new.txt");
  EXPECT_EQ(Content(),
            "[RecentFiles]\r\nfile1=/new.txt\r\nfile2=/a.txt\r\nfile3=/c.txt\r\nfile4=/c.txt\r\n");

  // A placeholder caption counts as listed, even though it is hidden.
  AppSettings fresh(dir_.filePath("fresh.ini"));
  fresh.AddRecentFile("RecentFile3");
  EXPECT_FALSE(QFileInfo::exists(fresh.Path()));

  AppSettings nowhere(dir_.filePath("missing/zntbk.ini"));
  EXPECT_THROW(nowhere.AddRecentFile("/a.txt"), Error);
  EXPECT_THROW(nowhere.WritePlacement({}), Error);
  EXPECT_THROW(settings.AddRecentFile("/line\nbreak.txt"), Error);
}

TEST(AppFolderTest, OverrideAndFallback) {
  QTemporaryDir dir;
  const QString japanese = dir.filePath(QString::fromUtf8("家計簿"));
  ASSERT_TRUE(QDir().mkpath(japanese));
  {
    AppFolderOverride override(*PathToCp932(japanese));
    EXPECT_EQ(AppFolderPath(), japanese + "/");
    EXPECT_EQ(AppFolder(), *PathToCp932(japanese + "/"));
    EXPECT_EQ(AppSettings::DefaultPath(), japanese + "/zntbk.ini");
    {
      AppFolderOverride inner(*PathToCp932(dir.path() + "/"));
      EXPECT_EQ(AppFolderPath(), dir.path() + "/");
    }
    EXPECT_EQ(AppFolderPath(), japanese + "/");
  }

  // A writable executable folder wins; otherwise the data folder, created when missing.
  const QString data = dir.filePath("data/zentabo");
  EXPECT_EQ(ChooseAppFolder(japanese, data), japanese + "/");
  EXPECT_FALSE(QFileInfo::exists(data));
  EXPECT_EQ(ChooseAppFolder(dir.filePath("gone"), data), data + "/");
  EXPECT_TRUE(QFileInfo(data).isDir());
  EXPECT_EQ(ChooseAppFolder(QString(), data), data + "/");

  // Folder names CP932 can't hold would make every book path unusable.
  const QString outside = dir.filePath(QString::fromUtf8("\U0001F4D2"));
  ASSERT_TRUE(QDir().mkpath(outside));
  EXPECT_EQ(ChooseAppFolder(outside, data), data + "/");

  QFile::setPermissions(japanese, QFile::ReadOwner | QFile::ExeOwner);
  if (!QFileInfo(japanese).isWritable()) {  // root ignores permissions
    EXPECT_EQ(ChooseAppFolder(japanese, data), data + "/");
  }
  QFile::setPermissions(japanese, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

}  // namespace
}  // namespace engine

namespace engine {
namespace {

TEST(AppFolderTest, ShippedFilesBesideTheProgramOrInShare) {
  QTemporaryDir dir;
  const QString build = dir.filePath("build");
  const QString bin = dir.filePath("usr/bin");
  ASSERT_TRUE(QDir().mkpath(build + "/schema"));
  ASSERT_TRUE(QDir().mkpath(bin));
  ASSERT_TRUE(QDir().mkpath(dir.filePath("usr/share/zentabo/schema")));
  // A build tree keeps them beside the executable; an installation in share/zentabo.
  EXPECT_EQ(ChooseShippedPath(build, "schema"), build + "/schema");
  EXPECT_EQ(ChooseShippedPath(bin, "schema"), dir.filePath("usr/share/zentabo/schema"));
  // Missing everywhere: beside the executable, where the failure then names it.
  EXPECT_EQ(ChooseShippedPath(bin, "zntbk.hlp"), bin + "/zntbk.hlp");
}

}  // namespace
}  // namespace engine
