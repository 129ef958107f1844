// The statement import command.

#include <QFileDialog>
#include <QStandardPaths>

#include "desktop/app/tacc_mdi.h"
#include "desktop/import/timportdialog.h"

namespace desktop {

void TAccMDI::DataImportExecute() {
  if (!book_->IsOpen()) return;
  const QString path = QFileDialog::getOpenFileName(
      this, QStringLiteral("明細のファイルを選択してください"),
      QStandardPaths::writableLocation(QStandardPaths::DownloadLocation),
      QStringLiteral("銀行・カードの明細 (*.csv *.tsv *.txt);;すべてのファイル (*)"));
  if (path.isEmpty()) return;
  timportdialog::Run(*book_, path, this);
}

}  // namespace desktop
