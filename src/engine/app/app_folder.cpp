#include "engine/app/app_folder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include "engine/base/cp932.h"
#include "engine/base/error.h"

namespace engine {

namespace {

std::optional<QString>& OverriddenFolder() {
  static std::optional<QString> folder;
  return folder;
}

QString WithSeparator(QString folder) {
  if (!folder.endsWith(u'/')) folder += u'/';
  return folder;
}

bool Usable(const QString& folder) {
  return !folder.isEmpty() && QFileInfo(folder).isDir() && QFileInfo(folder).isWritable() &&
         PathToCp932(folder).has_value();
}

}  // namespace

QString ChooseAppFolder(const QString& executableFolder, const QString& dataFolder) {
  if (Usable(executableFolder)) return WithSeparator(executableFolder);
  if (!dataFolder.isEmpty() && QDir().mkpath(dataFolder)) return WithSeparator(dataFolder);
  // Nowhere better: the executable's folder, where writing then fails with a message.
  return executableFolder.isEmpty() ? QString() : WithSeparator(executableFolder);
}

QString ChooseShippedPath(const QString& executableFolder, const QString& name) {
  const QDir folder(executableFolder);
  const QString beside = folder.filePath(name);
  if (QFileInfo::exists(beside)) return beside;
  const QString installed =
      QDir::cleanPath(folder.filePath(QStringLiteral("../share/zentabo/") + name));
  return QFileInfo::exists(installed) ? installed : beside;
}

QString ShippedPath(const QString& name) {
  return ChooseShippedPath(
      QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QString(), name);
}

QString AppFolderPath() {
  if (OverriddenFolder()) return WithSeparator(*OverriddenFolder());
  // Without an application object Qt can't tell the executable's folder; the data folder
  // then serves.
  QString executableFolder =
      QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QString();
  // An installed program (its files in share/zentabo, not beside it) never writes into the
  // system's bin folder, even where it could (run as root).
  const QString help = QStringLiteral("zntbk.hlp");
  if (!executableFolder.isEmpty() &&
      ChooseShippedPath(executableFolder, help) != QDir(executableFolder).filePath(help)) {
    executableFolder.clear();
  }
  return ChooseAppFolder(executableFolder,
                         QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
}

std::string AppFolder() {
  const QString folder = QDir::toNativeSeparators(AppFolderPath());
  auto path = PathToCp932(folder);
  if (!path) {
    throw Error(FormatMessage(Sjis("'%s' はフォルダ名に使えない文字を含みます"),
                              folder.toLatin1().toStdString()));
  }
  return *path;
}

AppFolderOverride::AppFolderOverride(std::string_view cp932Folder) : previous_(OverriddenFolder()) {
  OverriddenFolder() = PathFromCp932(cp932Folder);
}

AppFolderOverride::~AppFolderOverride() {
  OverriddenFolder() = previous_;
}

}  // namespace engine
