#include "desktop/plan/trecurringdialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "desktop/base/fonts.h"
#include "desktop/base/message_boxes.h"
#include "engine/app/book.h"
#include "engine/base/cp932.h"
#include "engine/base/date.h"
#include "engine/base/error.h"
#include "engine/tables/journal_grid.h"

namespace desktop {

namespace {

const QStringList& Weekdays() {
  static const QStringList names{QStringLiteral("月"), QStringLiteral("火"), QStringLiteral("水"),
                                 QStringLiteral("木"), QStringLiteral("金"), QStringLiteral("土"),
                                 QStringLiteral("日")};
  return names;
}

QDateEdit* DateEdit(QWidget* parent, const char* name) {
  auto* edit = new QDateEdit(parent);
  edit->setObjectName(QLatin1String(name));
  edit->setDisplayFormat(QStringLiteral("yyyy/MM/dd"));
  edit->setCalendarPopup(true);
  return edit;
}

}  // namespace

QString DescribeTemplate(const engine::RecurringTemplate& t) {
  const engine::Schedule& s = t.schedule;
  const QString day = s.day == engine::Schedule::kLastDay ? QStringLiteral("末日")
                                                          : QStringLiteral("%1日").arg(s.day);
  QString when;
  switch (s.frequency) {
    case engine::Schedule::Frequency::Monthly:
      when = s.interval == 1 ? QStringLiteral("毎月 ") + day
                             : QStringLiteral("%1か月ごと ").arg(s.interval) + day;
      break;
    case engine::Schedule::Frequency::Yearly:
      when = (s.interval == 1 ? QStringLiteral("毎年 ")
                              : QStringLiteral("%1年ごと ").arg(s.interval)) +
             QStringLiteral("%1月").arg(s.month) + day;
      break;
    case engine::Schedule::Frequency::Weekly:
      when = (s.interval == 1 ? QStringLiteral("毎週 ")
                              : QStringLiteral("%1週ごと ").arg(s.interval)) +
             Weekdays().value(s.weekday - 1) + QStringLiteral("曜日");
      break;
  }
  const QString amount = t.askAmount && t.amount.empty() ? QStringLiteral("（毎回入力）")
                                                         : engine::FromCp932(t.amount);
  return when + QLatin1Char(' ') + engine::FromCp932(t.debit) + QStringLiteral(" / ") +
         engine::FromCp932(t.credit) + QLatin1Char(' ') + engine::FromCp932(t.summary) +
         QLatin1Char(' ') + amount;
}

trecurringdialog::trecurringdialog(engine::Book& book, engine::RecurringLines& lines,
                                   QWidget* parent)
    : TAccDialog(parent), lines_(lines) {
  setWindowTitle(QStringLiteral("定期取引の設定"));
  setSizeGripEnabled(true);
  auto* layout = new QHBoxLayout(this);
  lsttemplates = new QListWidget(this);
  lsttemplates->setObjectName(QStringLiteral("lsttemplates"));
  layout->addWidget(lsttemplates, 1);

  auto* right = new QVBoxLayout;
  auto* form = new QFormLayout;
  edtamount = new QLineEdit(this);
  edtamount->setObjectName(QStringLiteral("edtamount"));
  cmbdebit = new QComboBox(this);
  cmbdebit->setObjectName(QStringLiteral("cmbdebit"));
  cmbcredit = new QComboBox(this);
  cmbcredit->setObjectName(QStringLiteral("cmbcredit"));
  cmbsummary = new QComboBox(this);
  cmbsummary->setObjectName(QStringLiteral("cmbsummary"));
  cmbsummary->setEditable(true);
  if (const engine::TJournalGrid* journal = book.Journal()) {
    for (const std::string& subject : journal->Subjects().Subjects()) {
      cmbdebit->addItem(engine::FromCp932(subject));
      cmbcredit->addItem(engine::FromCp932(subject));
    }
    for (const std::string& summary : journal->Summaries().Summaries())
      cmbsummary->addItem(engine::FromCp932(summary));
  }
  cmbfrequency = new QComboBox(this);
  cmbfrequency->setObjectName(QStringLiteral("cmbfrequency"));
  cmbfrequency->addItems({QStringLiteral("毎月"), QStringLiteral("毎年"), QStringLiteral("毎週")});
  spninterval = new QSpinBox(this);
  spninterval->setObjectName(QStringLiteral("spninterval"));
  spninterval->setRange(1, 1200);
  auto* dayRow = new QHBoxLayout;
  spnday = new QSpinBox(this);
  spnday->setObjectName(QStringLiteral("spnday"));
  spnday->setRange(1, 31);
  spnday->setSuffix(QStringLiteral(" 日"));
  chklastday = new QCheckBox(QStringLiteral("末日"), this);
  chklastday->setObjectName(QStringLiteral("chklastday"));
  dayRow->addWidget(spnday);
  dayRow->addWidget(chklastday);
  spnmonth = new QSpinBox(this);
  spnmonth->setObjectName(QStringLiteral("spnmonth"));
  spnmonth->setRange(1, 12);
  spnmonth->setSuffix(QStringLiteral(" 月"));
  cmbweekday = new QComboBox(this);
  cmbweekday->setObjectName(QStringLiteral("cmbweekday"));
  cmbweekday->addItems(Weekdays());
  cmbholiday = new QComboBox(this);
  cmbholiday->setObjectName(QStringLiteral("cmbholiday"));
  cmbholiday->addItems(
      {QStringLiteral("そのまま"), QStringLiteral("前の営業日"), QStringLiteral("次の営業日")});
  edtstart = DateEdit(this, "edtstart");
  auto* endRow = new QHBoxLayout;
  chkend = new QCheckBox(this);
  chkend->setObjectName(QStringLiteral("chkend"));
  edtend = DateEdit(this, "edtend");
  endRow->addWidget(chkend);
  endRow->addWidget(edtend, 1);
  spncount = new QSpinBox(this);
  spncount->setObjectName(QStringLiteral("spncount"));
  spncount->setRange(0, 100000);
  spncount->setSpecialValueText(QStringLiteral("制限なし"));
  chkask = new QCheckBox(QStringLiteral("金額は毎回入力"), this);
  chkask->setObjectName(QStringLiteral("chkask"));
  chkpost = new QCheckBox(QStringLiteral("記入したら転記する"), this);
  chkpost->setObjectName(QStringLiteral("chkpost"));

  form->addRow(QStringLiteral("金額"), edtamount);
  form->addRow(QStringLiteral("借方科目"), cmbdebit);
  form->addRow(QStringLiteral("摘要"), cmbsummary);
  form->addRow(QStringLiteral("貸方科目"), cmbcredit);
  form->addRow(QStringLiteral("周期"), cmbfrequency);
  form->addRow(QStringLiteral("間隔"), spninterval);
  form->addRow(QStringLiteral("日"), dayRow);
  form->addRow(QStringLiteral("月（毎年）"), spnmonth);
  form->addRow(QStringLiteral("曜日（毎週）"), cmbweekday);
  form->addRow(QStringLiteral("休日・週末なら"), cmbholiday);
  form->addRow(QStringLiteral("開始日"), edtstart);
  form->addRow(QStringLiteral("終了日"), endRow);
  form->addRow(QStringLiteral("回数"), spncount);
  form->addRow(QString(), chkask);
  form->addRow(QString(), chkpost);
  right->addLayout(form);

  auto* buttons = new QHBoxLayout;
  btnadd = new QPushButton(QStringLiteral("追加"), this);
  btnadd->setObjectName(QStringLiteral("btnadd"));
  btnupdate = new QPushButton(QStringLiteral("変更"), this);
  btnupdate->setObjectName(QStringLiteral("btnupdate"));
  btndelete = new QPushButton(QStringLiteral("削除"), this);
  btndelete->setObjectName(QStringLiteral("btndelete"));
  btnclose = new QPushButton(QStringLiteral("閉じる"), this);
  btnclose->setObjectName(QStringLiteral("btnclose"));
  for (QPushButton* button : {btnadd, btnupdate, btndelete, btnclose}) buttons->addWidget(button);
  right->addLayout(buttons);
  layout->addLayout(right, 1);

  connect(lsttemplates, &QListWidget::currentRowChanged, this, [this](int row) {
    if (row >= 0 && row < static_cast<int>(lines_.Templates().size()))
      Show(lines_.Templates()[static_cast<std::size_t>(row)]);
    EnableFields();
  });
  connect(cmbfrequency, &QComboBox::currentIndexChanged, this, &trecurringdialog::EnableFields);
  connect(chklastday, &QCheckBox::toggled, this, &trecurringdialog::EnableFields);
  connect(chkend, &QCheckBox::toggled, this, &trecurringdialog::EnableFields);
  connect(btnadd, &QPushButton::clicked, this, &trecurringdialog::btnaddClick);
  connect(btnupdate, &QPushButton::clicked, this, &trecurringdialog::btnupdateClick);
  connect(btndelete, &QPushButton::clicked, this, &trecurringdialog::btndeleteClick);
  connect(btnclose, &QPushButton::clicked, this, &QDialog::reject);

  engine::RecurringTemplate fresh;
  const QDate today = engine::Today();
  fresh.schedule.start = today;
  fresh.schedule.day = today.day();
  fresh.schedule.month = today.month();
  fresh.schedule.weekday = today.dayOfWeek();
  Show(fresh);
  Refresh(lines_.Templates().empty() ? -1 : 0);
  resize(760, 460);
}

void trecurringdialog::Select(int index) {
  Refresh(index);
}

void trecurringdialog::Refresh(int selected) {
  const QSignalBlocker blocker(lsttemplates);
  lsttemplates->clear();
  for (const engine::RecurringTemplate& t : lines_.Templates())
    lsttemplates->addItem(DescribeTemplate(t));
  if (selected >= 0 && selected < lsttemplates->count()) {
    lsttemplates->setCurrentRow(selected);
    Show(lines_.Templates()[static_cast<std::size_t>(selected)]);
  }
  EnableFields();
}

void trecurringdialog::Show(const engine::RecurringTemplate& t) {
  const engine::Schedule& s = t.schedule;
  edtamount->setText(engine::FromCp932(t.amount));
  cmbdebit->setCurrentIndex(cmbdebit->findText(engine::FromCp932(t.debit)));
  cmbcredit->setCurrentIndex(cmbcredit->findText(engine::FromCp932(t.credit)));
  cmbsummary->setEditText(engine::FromCp932(t.summary));
  cmbfrequency->setCurrentIndex(static_cast<int>(s.frequency));
  spninterval->setValue(s.interval);
  chklastday->setChecked(s.day == engine::Schedule::kLastDay);
  spnday->setValue(s.day == engine::Schedule::kLastDay ? 31 : s.day);
  spnmonth->setValue(s.month);
  cmbweekday->setCurrentIndex(s.weekday - 1);
  cmbholiday->setCurrentIndex(static_cast<int>(s.rule));
  edtstart->setDate(s.start);
  chkend->setChecked(s.end.isValid());
  edtend->setDate(s.end.isValid() ? s.end : s.start.addYears(1));
  spncount->setValue(s.count);
  chkask->setChecked(t.askAmount);
  chkpost->setChecked(t.post);
}

void trecurringdialog::EnableFields() {
  const auto frequency = static_cast<engine::Schedule::Frequency>(cmbfrequency->currentIndex());
  const bool weekly = frequency == engine::Schedule::Frequency::Weekly;
  spnday->setEnabled(!weekly && !chklastday->isChecked());
  chklastday->setEnabled(!weekly);
  spnmonth->setEnabled(frequency == engine::Schedule::Frequency::Yearly);
  cmbweekday->setEnabled(weekly);
  edtend->setEnabled(chkend->isChecked());
  const bool selected = lsttemplates->currentRow() >= 0;
  btnupdate->setEnabled(selected);
  btndelete->setEnabled(selected);
}

std::optional<engine::RecurringTemplate> trecurringdialog::FromForm() {
  engine::RecurringTemplate t;
  const auto amount = TypedText(this, edtamount->text().trimmed());
  const auto debit = TypedText(this, cmbdebit->currentText());
  const auto summary = TypedText(this, cmbsummary->currentText().trimmed());
  const auto credit = TypedText(this, cmbcredit->currentText());
  if (!amount || !debit || !summary || !credit) return std::nullopt;
  t.amount = *amount;
  t.debit = *debit;
  t.summary = *summary;
  t.credit = *credit;
  engine::Schedule& s = t.schedule;
  s.frequency = static_cast<engine::Schedule::Frequency>(cmbfrequency->currentIndex());
  s.interval = spninterval->value();
  s.day = chklastday->isChecked() ? engine::Schedule::kLastDay : spnday->value();
  s.month = spnmonth->value();
  s.weekday = cmbweekday->currentIndex() + 1;
  s.rule = static_cast<engine::BusinessDayRule>(cmbholiday->currentIndex());
  s.start = edtstart->date();
  if (chkend->isChecked()) s.end = edtend->date();
  s.count = spncount->value();
  t.askAmount = chkask->isChecked();
  t.post = chkpost->isChecked();
  return t;
}

void trecurringdialog::btnaddClick() {
  auto t = FromForm();
  if (!t) return;
  try {
    lines_.Add(std::move(*t));
  } catch (const engine::Error& e) {
    ShowMessage(this, engine::FromCp932(e.Message()));
    return;
  }
  Refresh(static_cast<int>(lines_.Templates().size()) - 1);
}

void trecurringdialog::btnupdateClick() {
  const int row = lsttemplates->currentRow();
  auto t = FromForm();
  if (row < 0 || !t) return;
  try {
    lines_.Replace(static_cast<std::size_t>(row), std::move(*t));
  } catch (const engine::Error& e) {
    ShowMessage(this, engine::FromCp932(e.Message()));
    return;
  }
  Refresh(row);
}

void trecurringdialog::btndeleteClick() {
  const int row = lsttemplates->currentRow();
  if (row < 0) return;
  if (!AskYesNo(this, QStringLiteral("選択した定期取引を削除しますか ?"))) return;
  lines_.Remove(static_cast<std::size_t>(row));
  Refresh(std::min(row, static_cast<int>(lines_.Templates().size()) - 1));
}

}  // namespace desktop
