#pragma once

#include "desktop/base/tacc_dialog.h"
#include "engine/schema/schema_report.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;

namespace engine {
class Book;
}

namespace desktop {

// The schema-driven monthly report: a schema's report entries on the left, the year, the
// subjects whose amounts an entry sums with their flags, and an entry's text. Creating the
// dialog asks for the schema; when that fails the dialog carries the result kAbortResult at once
// and is not to be shown. OK saves the choices and writes the XML report, and its HTML page
// when "HTML も作成する" is on; the dialog then stays open with "ブラウザで開く" for the page.
class tamountschemadialog : public TAccDialog {
  Q_OBJECT

 public:
  tamountschemadialog(engine::Book& book, QWidget* parent = nullptr);

  // True when the dialog ended its creation with the failure result.
  bool Failed() const { return result() == kAbortResult; }
  engine::SchemaReport& Report() { return report_; }

  QListWidget* lstform = nullptr;
  QLabel* lblyear = nullptr;
  QComboBox* lstyear = nullptr;
  QGroupBox* gbfield = nullptr;
  QListWidget* lstname = nullptr;
  QCheckBox* chkdebtor = nullptr;
  QCheckBox* chkcredit = nullptr;
  QCheckBox* chkmark = nullptr;
  QLineEdit* edttext = nullptr;
  QCheckBox* chkhtml = nullptr;
  QPushButton* btnbrowser = nullptr;
  QPushButton* btnok = nullptr;
  QPushButton* btncancel = nullptr;

 private:
  void BuildControls();
  void FillLists();
  // Shows what the report holds for the selected entry and subject.
  void ShowSelection();
  void lstformClick(int row);
  void lstnameClick(int row);
  void lstnameClickCheck(QListWidgetItem* item);
  void edttextChange(const QString& text);
  void btnokClick();
  void btnbrowserClick();

  engine::SchemaReport report_;
  // Set while the controls are filled from the report, so that doesn't count as the user's.
  bool showing_ = false;
};

}  // namespace desktop
