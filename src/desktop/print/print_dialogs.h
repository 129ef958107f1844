#pragma once

#include <QList>
#include <QPageSize>
#include <QPrintDialog>

#include "desktop/base/tacc_dialog.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QRadioButton;

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

// "プリンタの設定": the printer to print on (the system's queues and the program's own PDF
// printer) above the paper it takes and the orientation. OK makes the printer take them in.
class TDevicePrinterSetupDialog : public TAccDialog {
  Q_OBJECT

 public:
  TDevicePrinterSetupDialog(TPrinterDevice& device, QWidget* parent = nullptr);
  int exec() override;

  QComboBox* cmbprinter = nullptr;
  QLabel* lblwhere = nullptr;
  QComboBox* cmbpaper = nullptr;
  QRadioButton* portrait = nullptr;
  QRadioButton* landscape = nullptr;
  QCheckBox* chkheadings = nullptr;

 private:
  // The paper sizes of the chosen printer, keeping the chosen size where it has it.
  void FillPapers();
  // Applies the choices to the printer.
  void Apply();

  TPrinterDevice& device_;
  // The printer list's index of each entry of cmbprinter.
  QList<int> indexes_;
};

}  // namespace desktop
