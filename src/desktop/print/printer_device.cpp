#include "desktop/print/printer_device.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <cstdio>
#include <utility>

#include "engine/base/cp932.h"

namespace desktop {

namespace {

TPrinterList::Source& CurrentSource() {
  static TPrinterList::Source source;
  return source;
}

// The PDF printer's resolution: positions in the file are this fine, and an A4 sheet
// (595 x 842 points) comes out at 2099 x 2970 tenths of a millimetre.
constexpr int kPdfResolution = 1200;

std::unique_ptr<TPrinterDevice>& DeviceHolder() {
  static std::unique_ptr<TPrinterDevice> device;
  return device;
}

void ReleaseDevice() {
  DeviceHolder().reset();
}

}  // namespace

void TPrinterList::SetSource(Source source) {
  CurrentSource() = std::move(source);
}

TPrinterList::TPrinterList()
    : printers_(CurrentSource() ? CurrentSource()() : InstalledPrinters()) {}

int TPrinterList::IndexOf(const QString& name) const {
  for (int i = 0; i < Count(); ++i) {
    if (At(i).name == name) return i;
  }
  return -1;
}

QStringList TPrinterList::Names() const {
  QStringList names;
  for (const PrinterEntry& printer : printers_) names << printer.name;
  return names;
}

bool TPrinterList::HasUsablePrinter() const {
  for (const PrinterEntry& printer : printers_) {
    if ((printer.attributes & kAttributeHidden) == 0) return true;
  }
  return false;
}

QString TPrinterList::PdfPrinterName() {
  return QStringLiteral("PDF ファイルに出力");
}

std::vector<PrinterEntry> TPrinterList::InstalledPrinters() {
  std::vector<PrinterEntry> printers;
  for (const QPrinterInfo& info : QPrinterInfo::availablePrinters()) {
    quint32 attributes = info.isRemote() ? kAttributeNetwork : kAttributeLocal;
    if (info.isDefault()) attributes |= kAttributeDefault;
    printers.push_back({info.printerName(), attributes});
  }
  printers.push_back({PdfPrinterName(), kAttributeLocal});
  return printers;
}

ENoPrinter::ENoPrinter() : engine::Error(engine::Sjis("CheckNoPrinter: プリンタがありません")) {}

TPrinterDevice& TPrinterDevice::Instance() {
  std::unique_ptr<TPrinterDevice>& device = DeviceHolder();
  if (!device) {
    device.reset(new TPrinterDevice);
    // The platform printer must go before the application that made it.
    qAddPostRoutine(ReleaseDevice);
  }
  return *device;
}

TPrinterDevice::TPrinterDevice() {
  outputFile_ = QDir::home().filePath(QStringLiteral("Zentabo.pdf"));
  printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
}

TPrinterDevice::~TPrinterDevice() {
  if (painter_) AbortDoc();
}

void TPrinterDevice::Refresh() {
  if (painter_) return;  // never under a running job
  TPrinterList fresh;
  if (fresh == list_) return;
  // The current printer may be gone: it is chosen again on next use. The platform printer
  // object stays, since the dialogs hold on to it.
  list_ = std::move(fresh);
  index_ = -1;
}

QStringList TPrinterDevice::Printers() {
  Refresh();
  return list_.Names();
}

void TPrinterDevice::CheckNoPrinter() {
  if (!list_.HasUsablePrinter()) {
    index_ = -1;
    throw ENoPrinter();
  }
}

int TPrinterDevice::PlatformIndex() const {
  if (printer_->outputFormat() == QPrinter::PdfFormat) {
    return list_.IndexOf(TPrinterList::PdfPrinterName());
  }
  return list_.IndexOf(printer_->printerName());
}

int TPrinterDevice::PrinterIndex() {
  CheckNoPrinter();
  if (index_ >= 0) return index_;
  // First use: the system's default printer, else the PDF printer, else the first usable one.
  int index = list_.IndexOf(QPrinterInfo::defaultPrinterName());
  if (index < 0) index = list_.IndexOf(TPrinterList::PdfPrinterName());
  for (int i = 0; index < 0 && i < list_.Count(); ++i) {
    if ((list_.At(i).attributes & TPrinterList::kAttributeHidden) == 0) index = i;
  }
  ApplyIndex(index);
  return index_;
}

void TPrinterDevice::SetPrinterIndex(int index) {
  CheckNoPrinter();
  if (index < 0 || index >= list_.Count()) return;
  ApplyIndex(index);
}

bool TPrinterDevice::IsPdfPrinter() {
  const int index = PrinterIndex();
  return index >= 0 && list_.At(index).name == TPrinterList::PdfPrinterName();
}

void TPrinterDevice::ApplyIndex(int index) {
  index_ = index;
  if (index < 0) return;
  if (list_.At(index).name == TPrinterList::PdfPrinterName()) {
    // Set up when first chosen, or coming from a native printer; later the user's paper
    // settings stay.
    if (!pdfConfigured_ || printer_->outputFormat() != QPrinter::PdfFormat) {
      pdfConfigured_ = true;
      printer_->setOutputFormat(QPrinter::PdfFormat);
      printer_->setResolution(kPdfResolution);
      printer_->setPageSize(QPageSize(QPageSize::A4));
      printer_->setPageOrientation(QPageLayout::Portrait);
      // A file has no unprintable edge.
      printer_->setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
    }
    printer_->setOutputFileName(outputFile_);
  } else {
    // An empty file name is what turns the platform printer back to a native printer.
    printer_->setOutputFileName(QString());
    printer_->setOutputFormat(QPrinter::NativeFormat);
    printer_->setPrinterName(list_.At(index).name);
  }
}

void TPrinterDevice::SetOutputFileName(const QString& path) {
  if (path.isEmpty()) return;  // an empty name would turn the PDF printer into a native one
  outputFile_ = path;
  if (index_ >= 0 && printer_->outputFormat() == QPrinter::PdfFormat && !painter_) {
    printer_->setOutputFileName(path);
  }
}

void TPrinterDevice::SetJobName(const QString& name) {
  if (name.isEmpty()) return;
  jobName_ = name;
  printer_->setDocName(name);
}

QPrinter& TPrinterDevice::Printer() {
  PrinterIndex();
  return *printer_;
}

void TPrinterDevice::Reset() {
  // The dialog lists the system's printers as they are now.
  Refresh();
  index_ = -1;
  if (printer_->outputFormat() == QPrinter::PdfFormat && !printer_->outputFileName().isEmpty()) {
    outputFile_ = printer_->outputFileName();
  }
  CheckNoPrinter();
  const int index = PlatformIndex();
  // A printer the list doesn't know (a dialog may offer more) falls back to the first choice.
  if (index >= 0) {
    index_ = index;
  } else {
    PrinterIndex();
  }
}

QSize TPrinterDevice::GetResolution() {
  CheckNoPrinter();
  PrinterIndex();
  return {printer_->logicalDpiX(), printer_->logicalDpiY()};
}

QSize TPrinterDevice::GetPhysicalSize() {
  CheckNoPrinter();
  PrinterIndex();
  return printer_->paperRect(QPrinter::DevicePixel).toRect().size();
}

QPoint TPrinterDevice::GetPhysicalOffset() {
  CheckNoPrinter();
  PrinterIndex();
  return printer_->pageRect(QPrinter::DevicePixel).toRect().topLeft();
}

engine::PageSize TPrinterDevice::GetPageSize() {
  const QSize dpi = GetResolution();
  const QSize paper = GetPhysicalSize();
  // Qt's printers have no print scale of their own: pages print at 100 %.
  return engine::PageSizeFromMetrics(dpi.width(), dpi.height(), paper.width(), paper.height(),
                                     engine::PrintScale(engine::DeviceMode{}));
}

void TPrinterDevice::BeginDoc(const QString& title) {
  CheckNoPrinter();
  PrinterIndex();
  if (painter_) throw engine::Error(engine::Sjis("印刷中です"));
  printer_->setDocName(title);
  jobFile_.clear();
  if (printer_->outputFormat() == QPrinter::PdfFormat) {
    if (outputFile_.isEmpty()) throw engine::Error(engine::Sjis("出力先のファイル名がありません"));
    // The pages go to a file beside the chosen one, which takes its place only when the job
    // has succeeded: a failed job leaves the old file whole.
    jobFile_ = outputFile_ + QStringLiteral(".part");
    printer_->setOutputFileName(jobFile_);
  }
  auto painter = std::make_unique<QPainter>();
  if (!painter->begin(printer_.get())) {
    if (!jobFile_.isEmpty()) {
      printer_->setOutputFileName(outputFile_);
      QFile::remove(jobFile_);
    }
    throw engine::Error(engine::Sjis("印刷を開始できません"));
  }
  painter_ = std::move(painter);
}

void TPrinterDevice::NewPage() {
  if (!painter_ || !printer_->newPage()) {
    throw engine::Error(engine::Sjis("次のページを始められません"));
  }
}

void TPrinterDevice::EndDoc() {
  if (!painter_) return;
  const bool ended = painter_->end();
  painter_.reset();
  if (jobFile_.isEmpty()) {
    if (!ended) throw engine::Error(engine::Sjis("印刷できませんでした"));
    return;
  }
  printer_->setOutputFileName(outputFile_);
  const QString written = std::exchange(jobFile_, QString());
  // rename() replaces the old file in one step.
  if (!ended || std::rename(QFile::encodeName(written).constData(),
                            QFile::encodeName(outputFile_).constData()) != 0) {
    QFile::remove(written);
    throw engine::Error(engine::FormatMessage(engine::Sjis("%s に書き込めませんでした"),
                                              engine::ToCp932(outputFile_).value_or("PDF")));
  }
}

void TPrinterDevice::AbortDoc() {
  if (!painter_) return;
  if (jobFile_.isEmpty()) printer_->abort();
  painter_->end();
  painter_.reset();
  if (!jobFile_.isEmpty()) {
    printer_->setOutputFileName(outputFile_);
    QFile::remove(std::exchange(jobFile_, QString()));
  }
}

}  // namespace desktop
