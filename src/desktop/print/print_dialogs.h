#pragma once

#include <QPageSetupDialog>
#include <QPrintDialog>

namespace desktop {

class TPrinterDevice;

// The platform's print dialog on the program's printer. Closing it with OK makes the
// printer take in what the user chose (printer, paper, PDF file) before the result returns.
class TDevicePrintDialog : public QPrintDialog {
  Q_OBJECT

 public:
  TDevicePrintDialog(TPrinterDevice& device, QWidget* parent = nullptr);
  int exec() override;

  // The pages to print: the chosen range, or all from the lowest to the highest page.
  int FirstPage() const;
  int LastPage() const;

 private:
  TPrinterDevice& device_;
};

// The platform's page set-up dialog on the program's printer: paper size, orientation and
// margins. OK makes the printer take them in.
class TDevicePrinterSetupDialog : public QPageSetupDialog {
  Q_OBJECT

 public:
  TDevicePrinterSetupDialog(TPrinterDevice& device, QWidget* parent = nullptr);
  int exec() override;

 private:
  TPrinterDevice& device_;
};

}  // namespace desktop
