#include "desktop/print/print_dialogs.h"

#include <QPrinter>
#include <algorithm>

#include "desktop/print/printer_device.h"

namespace desktop {

TDevicePrintDialog::TDevicePrintDialog(TPrinterDevice& device, QWidget* parent)
    : QPrintDialog(&device.Printer(), parent), device_(device) {
  printer()->setCollateCopies(true);
}

int TDevicePrintDialog::exec() {
  const int result = QPrintDialog::exec();
  if (result == QDialog::Accepted) device_.Reset();
  return result;
}

int TDevicePrintDialog::FirstPage() const {
  if (printRange() == QAbstractPrintDialog::PageRange && fromPage() > 0) {
    return std::clamp(fromPage(), minPage(), maxPage());
  }
  return minPage();
}

int TDevicePrintDialog::LastPage() const {
  if (printRange() == QAbstractPrintDialog::PageRange && toPage() > 0) {
    return std::clamp(toPage(), minPage(), maxPage());
  }
  return maxPage();
}

TDevicePrinterSetupDialog::TDevicePrinterSetupDialog(TPrinterDevice& device, QWidget* parent)
    : QPageSetupDialog(&device.Printer(), parent), device_(device) {}

int TDevicePrinterSetupDialog::exec() {
  const int result = QPageSetupDialog::exec();
  if (result == QDialog::Accepted) device_.Reset();
  return result;
}

}  // namespace desktop
