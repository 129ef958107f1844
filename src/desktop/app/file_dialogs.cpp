#include "desktop/app/file_dialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <optional>

#include "desktop/base/fonts.h"
#include "engine/base/cp932.h"

namespace desktop {

namespace {

// "All files" matches every name: "*.*" would hide the many files on Linux without a dot.
const QString kAllFiles = QStringLiteral("すべてのファイル (*)");

QString StartFolder(const std::string& folder) {
  return folder.empty() ? QDir::currentPath() : engine::PathFromCp932(folder);
}

// Sets up what both dialogs share: non-native, so the program looks and behaves the same on
// every desktop (and tests can answer it), the title, the filters and the proposed name.
void Prepare(QFileDialog& dialog, const QStringList& filters, const std::string& proposedName,
             int filter) {
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setNameFilters(filters);
  const int index = filter >= 1 && filter <= filters.size() ? filter - 1 : 0;
  dialog.selectNameFilter(filters[index]);
  if (!proposedName.empty()) dialog.selectFile(engine::FromCp932(proposedName));
}

int ChosenFilter(const QFileDialog& dialog, const QStringList& filters) {
  return static_cast<int>(filters.indexOf(dialog.selectedNameFilter())) + 1;
}

std::string ChosenPath(QWidget* parent, const QString& path) {
  std::optional<std::string> bytes = engine::PathToCp932(path);
  if (bytes) return *bytes;
  ShowMessage(parent, QStringLiteral("%1\nこのファイル名はシフト JIS (CP932) で表せない文字を"
                                     "含むため使用できません")
                          .arg(QDir::toNativeSeparators(path)));
  return {};
}

}  // namespace

QStringList OpenFileFilters() {
  return {QStringLiteral("テキスト ファイル (*.txt)"), QStringLiteral("CSV ファイル (*.csv)"),
          QStringLiteral("XML ファイル (*.xml)"), QStringLiteral("スキーマ ファイル (*.rng)"),
          kAllFiles};
}

QStringList SaveFileFilters() {
  return {QStringLiteral("テキスト ファイル (*.txt)"), QStringLiteral("CSV ファイル (*.csv)"),
          QStringLiteral("XML ファイル (*.xml)"), kAllFiles};
}

QString WithFilterExtension(const QString& path, int filter) {
  static const char* const kExtensions[] = {".txt", ".csv", ".xml"};
  if (filter < 1 || filter > 3) return path;
  const QString extension = QString::fromLatin1(kExtensions[filter - 1]);
  if (path.right(4).toLower() == extension) return path;
  return path + extension;
}

std::string SelectOpenFile(QWidget* parent, const std::string& proposedName,
                           const std::string& title, const std::string& folder, int filter) {
  QFileDialog dialog(parent, engine::FromCp932(title), StartFolder(folder));
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::ExistingFile);
  Prepare(dialog, OpenFileFilters(), proposedName, filter);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return ChosenPath(parent, dialog.selectedFiles().constFirst());
}

std::string SelectSaveFile(QWidget* parent, const std::string& proposedName,
                           const std::string& title, const std::string& folder, int filter) {
  const QStringList filters = SaveFileFilters();
  QFileDialog dialog(parent, engine::FromCp932(title), StartFolder(folder));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  Prepare(dialog, filters, proposedName, filter);
  for (;;) {
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    const QString chosen = dialog.selectedFiles().constFirst();
    const QString path = WithFilterExtension(chosen, ChosenFilter(dialog, filters));
    // The dialog asked about the name as typed; the appended extension may name another file
    // that exists, and replacing it unasked would lose it.
    if (path != chosen && QFileInfo::exists(path)) {
      const auto answer = QMessageBox::question(
          parent, dialog.windowTitle(),
          QStringLiteral("%1 は既に存在します。\n置き換えますか?").arg(QFileInfo(path).fileName()));
      if (answer != QMessageBox::Yes) {
        dialog.selectFile(QFileInfo(chosen).fileName());
        continue;
      }
    }
    return ChosenPath(parent, path);
  }
}

}  // namespace desktop
