#pragma once

#include <QString>
#include <QTemporaryDir>
#include <string>

#include "engine/app/app_folder.h"
#include "engine/app/book.h"
#include "support/dialog_ui.h"

namespace desktop_tests {

// A program folder of its own in a temporary folder, the dialogs' Ui and a book without
// windows.
struct BookFixture {
  BookFixture();

  // A path inside the program folder, as the operating system's name and as CP932.
  QString Path(const QString& name) const { return dir.filePath(name); }
  std::string Cp932Path(const QString& name) const;
  // Creates a new book of that name in the program folder, its list files beside the index.
  void NewBook(const QString& name);
  // Creates a book from CSV lines (UTF-8 here, CP932 on disk) with the file name `csvName`.
  void BookFromCsv(const QString& csvName, const QStringList& lines);
  // Writes `lines` as CP932 with CR LF.
  void WriteCp932(const QString& name, const QStringList& lines) const;

  QTemporaryDir dir;
  std::string folder;  // CP932, ending with "/"
  engine::AppFolderOverride appFolder;
  DialogUi ui;
  engine::Book book{ui};
};

}  // namespace desktop_tests
