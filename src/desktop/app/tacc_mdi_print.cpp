// The print, print preview and printer set-up commands.

#include <QDir>

#include "desktop/app/tacc_mdi.h"
#include "desktop/base/message_boxes.h"
#include "desktop/print/page_image.h"
#include "desktop/print/print_dialogs.h"
#include "desktop/print/printer_device.h"
#include "desktop/print/tpreviewform.h"
#include "desktop/tables/tbookform.h"
#include "engine/base/cp932.h"
#include "engine/base/error.h"

namespace desktop {

namespace {

// The page list lives for one command: emptied when it ends, also by an error.
class PageListScope {
 public:
  explicit PageListScope(QList<QPicture>& pages) : pages_(pages) { pages_.clear(); }
  ~PageListScope() { pages_.clear(); }
  PageListScope(const PageListScope&) = delete;
  PageListScope& operator=(const PageListScope&) = delete;

 private:
  QList<QPicture>& pages_;
};

// The job is named after the table ("仕訳帳", a ledger's subject), so spool files and the
// printer's queue say what they hold. A PDF goes beside the book under the same name; the
// print dialog shows it, also when the user switches to printing into a file there.
void NameJob(TPrinterDevice& device, const engine::Book& book, const tbookform& form) {
  QString name = engine::FromCp932(form.Table().Caption());
  device.SetJobName(name);
  if (book.Folder().empty()) return;
  name.replace(QLatin1Char('/'), QLatin1Char('_'));
  device.SetOutputFileName(
      QDir(engine::PathFromCp932(book.Folder())).filePath(name + QStringLiteral(".pdf")));
}

}  // namespace

bool TAccMDI::HavePrinter() {
  TPrinterDevice& device = TPrinterDevice::Instance();
  if (device.Printers().isEmpty()) {
    ShowMessage(this, QStringLiteral("プリンタが見つかりません"));
    return false;
  }
  // Every print command starts from the options as last chosen, also by another window.
  try {
    device.SetPrintHeadings(settings_.ReadPrintHeadings());
  } catch (const engine::Error&) {
    device.SetPrintHeadings(false);
  }
  return true;
}

void TAccMDI::RenderPages(const tbookform& form) {
  TPrinterDevice& device = TPrinterDevice::Instance();
  const engine::PageSize size = device.GetPageSize();
  const bool headings = device.PrintHeadings();
  const int count = engine::PageCount(form.Table(), size, headings);
  // The window's screen resolution sets the font heights, as on screen.
  const int dpi = form.logicalDpiY();
  for (int page = 1; page <= count; ++page) {
    pages_.append(PrintPage(form.Table(), size, page, dpi, headings));
  }
}

void TAccMDI::mnuPrintClick() {
  if (!HavePrinter()) return;
  tbookform* form = ActiveForm();
  if (!form) return;
  TPrinterDevice& device = TPrinterDevice::Instance();
  PageListScope scope(pages_);
  RenderPages(*form);
  NameJob(device, *book_, *form);
  const int count = static_cast<int>(pages_.size());
  TDevicePrintDialog dialog(device, this);
  dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
  dialog.setMinMax(1, count);
  dialog.setFromTo(1, count);
  if (dialog.exec() != QDialog::Accepted) return;
  // The dialog offers no range: every page prints.
  PrintPages(device, pages_, dialog.minPage(), dialog.maxPage());
}

void TAccMDI::mnuPrintPreviewClick() {
  if (!HavePrinter()) return;
  tbookform* form = ActiveForm();
  if (!form) return;
  TPrinterDevice& device = TPrinterDevice::Instance();
  PageListScope scope(pages_);
  TPreviewForm preview(device, this);
  preview.resize(width(), height());
  RenderPages(*form);
  NameJob(device, *book_, *form);
  preview.SetPages(&pages_);
  preview.exec();
}

void TAccMDI::mnuPrinterSettingClick() {
  if (!HavePrinter()) return;
  TPrinterDevice& device = TPrinterDevice::Instance();
  const bool headings = device.PrintHeadings();
  TDevicePrinterSetupDialog dialog(device, this);
  if (dialog.exec() != QDialog::Accepted || device.PrintHeadings() == headings) return;
  try {
    settings_.WritePrintHeadings(device.PrintHeadings());
  } catch (const engine::Error& e) {
    ShowMessage(this, engine::FromCp932(e.Message()));
  }
}

}  // namespace desktop
