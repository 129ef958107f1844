#pragma once

#include <QPoint>
#include <QSize>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

#include "engine/base/error.h"
#include "engine/print/page_layout.h"

class QPainter;
class QPrinter;

namespace desktop {

// One printer as the printer list knows it: its name and its attribute bits.
struct PrinterEntry {
  QString name;
  quint32 attributes = 0;
  bool operator==(const PrinterEntry&) const = default;
};

// A snapshot of the installed printers: the system's, and the program's own printer that
// writes the pages to a PDF file and is always there, so that previewing and printing work
// on a machine without any printer.
class TPrinterList {
 public:
  static constexpr quint32 kAttributeDefault = 0x04;
  static constexpr quint32 kAttributeNetwork = 0x10;
  static constexpr quint32 kAttributeHidden = 0x20;
  static constexpr quint32 kAttributeLocal = 0x40;

  // Where snapshots come from; tests put a list of their own in place of the system's.
  using Source = std::function<std::vector<PrinterEntry>()>;
  static void SetSource(Source source);

  // A snapshot taken now.
  TPrinterList();
  explicit TPrinterList(std::vector<PrinterEntry> printers) : printers_(std::move(printers)) {}

  int Count() const { return static_cast<int>(printers_.size()); }
  const PrinterEntry& At(int index) const { return printers_[static_cast<std::size_t>(index)]; }
  // The first printer of that name, or -1.
  int IndexOf(const QString& name) const;
  QStringList Names() const;
  bool HasUsablePrinter() const;

  // Equal when the same printers with the same attributes stand in the same order.
  bool operator==(const TPrinterList&) const = default;

  // The name of the program's own PDF printer.
  static QString PdfPrinterName();
  // The system's printers as Qt Print Support sees them, then the program's own.
  static std::vector<PrinterEntry> InstalledPrinters();

 private:
  std::vector<PrinterEntry> printers_;
};

// No printer that can be used.
class ENoPrinter : public engine::Error {
 public:
  ENoPrinter();
};

// The printer the program prints on, one for the whole run. It keeps a snapshot of the
// printers and notices a change of the system's printers at the next print command. Page
// metrics come from the current printer; the job runs through BeginDoc, NewPage and EndDoc.
class TPrinterDevice {
 public:
  static TPrinterDevice& Instance();
  ~TPrinterDevice();
  TPrinterDevice(const TPrinterDevice&) = delete;
  TPrinterDevice& operator=(const TPrinterDevice&) = delete;

  // Names of the printers, after taking in any change of the system's printers. Each print
  // command asks for them first; the metrics below work on the list as it was then, since
  // asking the print system costs time on every resize of the preview.
  QStringList Printers();
  const TPrinterList& List() const { return list_; }
  // The current printer's place in the list; -1 when there is none.
  int PrinterIndex();
  void SetPrinterIndex(int index);
  bool IsPdfPrinter();

  // Raises ENoPrinter when no printer of the list can be used.
  void CheckNoPrinter();
  // Dots per inch, horizontal and vertical.
  QSize GetResolution();
  // The paper in device pixels.
  QSize GetPhysicalSize();
  // Where the printable area starts on the paper, in device pixels.
  QPoint GetPhysicalOffset();
  // The paper in tenths of a millimetre.
  engine::PageSize GetPageSize();

  void BeginDoc(const QString& title);
  void NewPage();
  void EndDoc();
  // Drops a job that failed; what the PDF printer wrote so far is thrown away.
  void AbortDoc();
  bool Printing() const { return painter_ != nullptr; }
  // The drawing surface of the current page, while a job runs.
  QPainter* Canvas() const { return painter_.get(); }

  // The platform printer the dialogs work on.
  QPrinter& Printer();
  // Takes in what a dialog changed: the current printer, its paper and the PDF file.
  void Reset();

  // The file the PDF printer writes; the old file stays whole until a job has succeeded.
  // The print dialog also proposes it when the user switches to printing into a file.
  QString OutputFileName() const { return outputFile_; }
  void SetOutputFileName(const QString& path);

  // The name of the next print job: what the spooler shows and names its files after.
  QString JobName() const { return jobName_; }
  void SetJobName(const QString& name);

  // Whether each printed page starts with the table's heading row.
  bool PrintHeadings() const { return printHeadings_; }
  void SetPrintHeadings(bool on) { printHeadings_ = on; }

 private:
  TPrinterDevice();
  // A new snapshot that differs from the held one replaces it and drops the current printer.
  void Refresh();
  // Points the platform printer at printer `index` of the list.
  void ApplyIndex(int index);
  // The list index of the printer the platform printer stands on.
  int PlatformIndex() const;

  TPrinterList list_;
  std::unique_ptr<QPrinter> printer_;
  std::unique_ptr<QPainter> painter_;
  int index_ = -1;
  bool pdfConfigured_ = false;
  QString outputFile_;
  QString jobFile_;
  QString jobName_ = QStringLiteral("Zentabo");
  bool printHeadings_ = false;
};

}  // namespace desktop
