// The statement import command.

#include <QFileDialog>
#include <QStandardPaths>

#include "desktop/app/tacc_mdi.h"
#include "desktop/base/message_boxes.h"
#include "desktop/import/timportdialog.h"
#include "engine/base/cp932.h"
#include "engine/base/error.h"

namespace desktop {

void TAccMDI::DataImportExecute() {
  if (!book_->IsOpen()) return;
  const QString path = QFileDialog::getOpenFileName(
      this, QStringLiteral("明細のファイルを選択してください"),
      QStandardPaths::writableLocation(QStandardPaths::DownloadLocation),
      QStringLiteral("銀行・カードの明細 (*.csv *.tsv *.txt);;すべてのファイル (*)"));
  if (path.isEmpty()) return;
  try {
    book_->WritePendingImportFiles();
  } catch (const engine::Error& e) {
    ShowMessage(this, engine::FromCp932(e.Message()));
    return;
  }
  timportdialog::Run(*book_, path, this);
}

}  // namespace desktop
