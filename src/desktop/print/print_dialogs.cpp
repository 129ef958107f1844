#include "desktop/print/print_dialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <algorithm>

#include "desktop/print/printer_device.h"

namespace desktop {

TDevicePrintDialog::TDevicePrintDialog(TPrinterDevice& device, QWidget* parent)
    : QPrintDialog(&device.Printer(), parent), device_(device) {
  printer()->setCollateCopies(true);
  // Switching to printing into a file, Qt would propose a file in the home folder; the
  // program's proposal is the table's name in the book folder. The field is Qt's own.
  if (printer()->outputFormat() != QPrinter::PdfFormat && !device.OutputFileName().isEmpty()) {
    if (auto* edit = findChild<QLineEdit*>(QStringLiteral("filename"))) {
      edit->setText(device.OutputFileName());
    }
  }
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

namespace {

// The sizes offered for the PDF printer, which takes any.
const QList<QPageSize::PageSizeId> kPdfPapers = {
    QPageSize::A3,    QPageSize::A4,    QPageSize::A5,     QPageSize::B4,   QPageSize::B5,
    QPageSize::JisB4, QPageSize::JisB5, QPageSize::Letter, QPageSize::Legal};

}  // namespace

TDevicePrinterSetupDialog::TDevicePrinterSetupDialog(TPrinterDevice& device, QWidget* parent)
    : TAccDialog(parent), device_(device) {
  setWindowTitle(QStringLiteral("プリンタの設定"));
  QPrinter& printer = device.Printer();

  auto* printerBox = new QGroupBox(QStringLiteral("プリンタ"), this);
  cmbprinter = new QComboBox(printerBox);
  cmbprinter->setObjectName(QStringLiteral("cmbprinter"));
  lblwhere = new QLabel(printerBox);
  lblwhere->setObjectName(QStringLiteral("lblwhere"));
  auto* printerForm = new QFormLayout(printerBox);
  printerForm->addRow(QStringLiteral("プリンタ名(&N):"), cmbprinter);
  printerForm->addRow(QStringLiteral("種類:"), lblwhere);
  const TPrinterList& list = device.List();
  const int current = device.PrinterIndex();
  for (int i = 0; i < list.Count(); ++i) {
    if (list.At(i).attributes & TPrinterList::kAttributeHidden) continue;
    indexes_ << i;
    cmbprinter->addItem(list.At(i).name);
    if (i == current) cmbprinter->setCurrentIndex(cmbprinter->count() - 1);
  }

  auto* paperBox = new QGroupBox(QStringLiteral("用紙"), this);
  cmbpaper = new QComboBox(paperBox);
  cmbpaper->setObjectName(QStringLiteral("cmbpaper"));
  auto* paperForm = new QFormLayout(paperBox);
  paperForm->addRow(QStringLiteral("サイズ(&Z):"), cmbpaper);

  auto* orientationBox = new QGroupBox(QStringLiteral("印刷の向き"), this);
  portrait = new QRadioButton(QStringLiteral("縦(&O)"), orientationBox);
  portrait->setObjectName(QStringLiteral("portrait"));
  landscape = new QRadioButton(QStringLiteral("横(&A)"), orientationBox);
  landscape->setObjectName(QStringLiteral("landscape"));
  auto* orientationRow = new QHBoxLayout(orientationBox);
  orientationRow->addWidget(portrait);
  orientationRow->addWidget(landscape);
  (printer.pageLayout().orientation() == QPageLayout::Landscape ? landscape : portrait)
      ->setChecked(true);

  chkheadings = new QCheckBox(QStringLiteral("見出しを印刷する"), this);
  chkheadings->setObjectName(QStringLiteral("chkheadings"));
  chkheadings->setChecked(device.PrintHeadings());

  auto* buttons = new QDialogButtonBox(this);
  buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole)->setDefault(true);
  buttons->addButton(QStringLiteral("ｷｬﾝｾﾙ"), QDialogButtonBox::RejectRole);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(printerBox);
  layout->addWidget(paperBox);
  layout->addWidget(orientationBox);
  layout->addWidget(chkheadings);
  layout->addWidget(buttons);

  cmbpaper->addItem(printer.pageLayout().pageSize().name(),
                    QVariant::fromValue(printer.pageLayout().pageSize()));
  FillPapers();
  connect(cmbprinter, &QComboBox::currentIndexChanged, this, [this] { FillPapers(); });
  resize(360, sizeHint().height());
}

void TDevicePrinterSetupDialog::FillPapers() {
  const int row = cmbprinter->currentIndex();
  if (row < 0) return;
  const QString name = device_.List().At(indexes_[row]).name;
  const bool pdf = name == TPrinterList::PdfPrinterName();
  QList<QPageSize> sizes;
  if (pdf) {
    for (const QPageSize::PageSizeId id : kPdfPapers) sizes << QPageSize(id);
    lblwhere->setText(QStringLiteral("PDF ファイル"));
  } else {
    const QPrinterInfo info = QPrinterInfo::printerInfo(name);
    sizes = info.supportedPageSizes();
    lblwhere->setText(info.makeAndModel().isEmpty() ? info.location() : info.makeAndModel());
  }
  const QPageSize chosen = cmbpaper->currentData().value<QPageSize>();
  cmbpaper->clear();
  for (const QPageSize& size : sizes) cmbpaper->addItem(size.name(), QVariant::fromValue(size));
  // The chosen paper where the printer has it, else A4, else its first.
  int keep = -1;
  for (int i = 0; i < sizes.size() && keep < 0; ++i) {
    if (sizes[i].isEquivalentTo(chosen)) keep = i;
  }
  for (int i = 0; i < sizes.size() && keep < 0; ++i) {
    if (sizes[i].id() == QPageSize::A4) keep = i;
  }
  if (keep < 0 && chosen.isValid()) {
    cmbpaper->addItem(chosen.name(), QVariant::fromValue(chosen));
    keep = cmbpaper->count() - 1;
  }
  cmbpaper->setCurrentIndex(std::max(keep, 0));
}

void TDevicePrinterSetupDialog::Apply() {
  const int row = cmbprinter->currentIndex();
  if (row >= 0) device_.SetPrinterIndex(indexes_[row]);
  QPrinter& printer = device_.Printer();
  const QPageSize size = cmbpaper->currentData().value<QPageSize>();
  if (size.isValid()) printer.setPageSize(size);
  printer.setPageOrientation(landscape->isChecked() ? QPageLayout::Landscape
                                                    : QPageLayout::Portrait);
  device_.SetPrintHeadings(chkheadings->isChecked());
}

int TDevicePrinterSetupDialog::exec() {
  const int result = TAccDialog::exec();
  if (result == QDialog::Accepted) {
    Apply();
    device_.Reset();
  }
  return result;
}

}  // namespace desktop
