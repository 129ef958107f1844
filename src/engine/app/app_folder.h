#pragma once

#include <QString>
#include <optional>
#include <string>
#include <string_view>

namespace engine {

// The program folder: where the settings file "zntbk.ini" lives and new books are created.
// It is the folder that holds the executable when that folder can be written to, its path
// can be held in CP932 and the program's files lie beside it (not installed in
// share/zentabo); otherwise the user's application data folder, created when missing.
// Always ends with a path separator.
QString AppFolderPath();

// The program folder as a CP932 path with the native separator at the end. Throws Error
// when the path can't be held in CP932.
std::string AppFolder();

// A file or folder shipped with the program: beside the executable (a build tree, or a copy
// unpacked anywhere), else in share/zentabo beside the bin folder of an installation.
QString ShippedPath(const QString& name);
// The same choice, apart from asking the platform for the executable's folder.
QString ChooseShippedPath(const QString& executableFolder, const QString& name);

// The choice behind AppFolderPath, apart from asking the platform for the two folders.
QString ChooseAppFolder(const QString& executableFolder, const QString& dataFolder);

// Tests point the program folder at a folder of their own (a CP932 path) for as long as
// this lives.
class AppFolderOverride {
 public:
  explicit AppFolderOverride(std::string_view cp932Folder);
  ~AppFolderOverride();
  AppFolderOverride(const AppFolderOverride&) = delete;
  AppFolderOverride& operator=(const AppFolderOverride&) = delete;

 private:
  std::optional<QString> previous_;
};

}  // namespace engine
