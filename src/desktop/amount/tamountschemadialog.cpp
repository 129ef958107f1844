#include "desktop/amount/tamountschemadialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDesktopServices>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QUrl>

#include "desktop/base/fonts.h"
#include "desktop/base/message_boxes.h"
#include "engine/app/book.h"
#include "engine/base/cp932.h"
#include "engine/schema/report_files.h"

namespace desktop {

tamountschemadialog::tamountschemadialog(engine::Book& book, QWidget* parent)
    : TAccDialog(parent), report_(book, book.SettingsPath()) {
  setWindowTitle(QStringLiteral("スキーマを使用した集計"));
  FixSize(585, 324);
  BuildControls();
  if (!report_.Open()) {
    setResult(kAbortResult);
    return;
  }
  FillLists();
  ShowSelection();
  // The page needs the schema's stylesheet beside it.
  if (engine::ReportStylesheet(engine::PathFromCp932(report_.SchemaPath())).isEmpty()) {
    chkhtml->setEnabled(false);
    chkhtml->setToolTip(QStringLiteral("スキーマと同じフォルダに同じ名前の .xsl がありません"));
  }
}

void tamountschemadialog::BuildControls() {
  const auto named = [](QWidget* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
  };
  lstform = new QListWidget(this);
  named(lstform, "lstform");
  lstform->setGeometry(0, 0, 257, 324);

  lblyear = new QLabel(QStringLiteral("年度"), this);
  named(lblyear, "lblyear");
  lblyear->setGeometry(268, 12, 30, 16);
  lstyear = new QComboBox(this);
  named(lstyear, "lstyear");
  lstyear->setGeometry(304, 8, 97, 22);

  chkhtml = new QCheckBox(QStringLiteral("HTML も作成する"), this);
  named(chkhtml, "chkhtml");
  chkhtml->setGeometry(416, 10, 161, 20);
  chkhtml->setChecked(report_.WriteHtml());
  chkhtml->setToolTip(QStringLiteral(
      "XML と同じフォルダに、どのブラウザでも表として開ける HTML ファイルを作ります"));

  gbfield = new QGroupBox(this);
  named(gbfield, "gbfield");
  gbfield->setGeometry(264, 36, 313, 210);
  lstname = new QListWidget(gbfield);
  named(lstname, "lstname");
  lstname->setGeometry(8, 10, 209, 192);
  chkdebtor = new QCheckBox(QStringLiteral("借方"), gbfield);
  named(chkdebtor, "chkdebtor");
  chkdebtor->setGeometry(228, 14, 80, 20);
  chkcredit = new QCheckBox(QStringLiteral("貸方"), gbfield);
  named(chkcredit, "chkcredit");
  chkcredit->setGeometry(228, 40, 80, 20);
  chkmark = new QCheckBox(QStringLiteral("反転"), gbfield);
  named(chkmark, "chkmark");
  chkmark->setGeometry(228, 66, 80, 20);

  edttext = new QLineEdit(this);
  named(edttext, "edttext");
  edttext->setGeometry(264, 256, 313, 24);

  btnbrowser = new QPushButton(QStringLiteral("ブラウザで開く"), this);
  named(btnbrowser, "btnbrowser");
  btnbrowser->setGeometry(264, 291, 120, 25);
  btnbrowser->setAutoDefault(false);
  btnbrowser->setEnabled(false);

  btnok = new QPushButton(QStringLiteral("OK"), this);
  named(btnok, "btnok");
  btnok->setGeometry(416, 291, 75, 25);
  btnok->setDefault(true);
  btncancel = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), this);
  named(btncancel, "btncancel");
  btncancel->setGeometry(502, 291, 75, 25);
  btncancel->setAutoDefault(false);

  connect(lstform, &QListWidget::currentRowChanged, this, &tamountschemadialog::lstformClick);
  // Clicking the entry that is already selected changes no row but still counts as a click.
  connect(lstform, &QListWidget::itemClicked, this,
          [this](QListWidgetItem* item) { lstformClick(lstform->row(item)); });
  connect(lstname, &QListWidget::currentRowChanged, this, &tamountschemadialog::lstnameClick);
  connect(lstname, &QListWidget::itemChanged, this, &tamountschemadialog::lstnameClickCheck);
  connect(lstyear, &QComboBox::currentIndexChanged, this,
          [this](int index) { report_.SelectYear(index); });
  connect(chkdebtor, &QCheckBox::clicked, this, [this](bool on) { report_.SetDebit(on); });
  connect(chkcredit, &QCheckBox::clicked, this, [this](bool on) { report_.SetCredit(on); });
  connect(chkmark, &QCheckBox::clicked, this, [this](bool on) { report_.SetInvert(on); });
  connect(edttext, &QLineEdit::textChanged, this, &tamountschemadialog::edttextChange);
  connect(chkhtml, &QCheckBox::toggled, this, [this](bool on) { report_.SetWriteHtml(on); });
  connect(btnbrowser, &QPushButton::clicked, this, &tamountschemadialog::btnbrowserClick);
  connect(btnok, &QPushButton::clicked, this, &tamountschemadialog::btnokClick);
  connect(btncancel, &QPushButton::clicked, this, &QDialog::reject);
}

void tamountschemadialog::FillLists() {
  showing_ = true;
  for (const std::string& entry : report_.Entries()) lstform->addItem(engine::FromCp932(entry));
  for (const std::string& subject : report_.Subjects()) {
    auto* item = new QListWidgetItem(engine::FromCp932(subject), lstname);
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(Qt::Unchecked);
  }
  for (const std::string& year : report_.Years()) lstyear->addItem(engine::FromCp932(year));
  lstyear->setCurrentIndex(report_.SelectedYear());
  lstname->setCurrentRow(report_.SelectedSubject());
  showing_ = false;
}

void tamountschemadialog::ShowSelection() {
  showing_ = true;
  for (int row = 0; row < lstname->count(); ++row) {
    lstname->item(row)->setCheckState(report_.Checked(row) ? Qt::Checked : Qt::Unchecked);
  }
  // An entry without amounts leaves the three boxes as they were, switched off with the group.
  if (report_.FieldsEnabled() || report_.SelectedEntry() < 0) {
    const engine::SubjectSelection flags = report_.ShownFlags();
    chkdebtor->setChecked(flags.debit);
    chkcredit->setChecked(flags.credit);
    chkmark->setChecked(flags.invert);
  }
  gbfield->setEnabled(report_.FieldsEnabled());
  edttext->setEnabled(report_.TextEnabled());
  const QString text = engine::FromCp932(report_.Text());
  if (edttext->text() != text) edttext->setText(text);
  showing_ = false;
}

void tamountschemadialog::lstformClick(int row) {
  if (showing_ || row < 0) return;
  report_.ClickEntry(row);
  ShowSelection();
  if (report_.TextEnabled()) edttext->setFocus();
}

void tamountschemadialog::lstnameClick(int row) {
  if (showing_ || row < 0) return;
  report_.SelectSubject(row);
  ShowSelection();
}

void tamountschemadialog::lstnameClickCheck(QListWidgetItem* item) {
  if (showing_) return;
  report_.SetChecked(lstname->row(item), item->checkState() == Qt::Checked);
}

void tamountschemadialog::edttextChange(const QString& text) {
  if (showing_ || !report_.TextEnabled()) return;
  // A character the report file can't hold is refused where it was typed.
  const std::optional<std::string> bytes = TypedText(this, text);
  if (!bytes) {
    ShowSelection();
    return;
  }
  report_.SetText(*bytes);
}

void tamountschemadialog::btnokClick() {
  if (!report_.Ok()) {
    done(kAbortResult);
    return;
  }
  if (report_.WrittenXml().isEmpty()) {
    accept();
    return;
  }
  // The report is written: the dialog stays, so the page can be opened or another year
  // written, and closes with 閉じる.
  const QString html = report_.WrittenHtml();
  btnbrowser->setEnabled(!html.isEmpty());
  btnbrowser->setToolTip(html);
  btncancel->setText(QStringLiteral("閉じる"));
  setWindowTitle(QStringLiteral("スキーマを使用した集計 - %1 を書き出しました")
                     .arg(QFileInfo(html.isEmpty() ? report_.WrittenXml() : html).fileName()));
}

void tamountschemadialog::btnbrowserClick() {
  const QString html = report_.WrittenHtml();
  if (html.isEmpty()) return;
  if (!QDesktopServices::openUrl(QUrl::fromLocalFile(html))) {
    ShowMessage(this, QStringLiteral("ブラウザを開けませんでした: %1").arg(html));
  }
}

}  // namespace desktop
