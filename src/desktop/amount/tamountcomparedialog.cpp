#include "desktop/amount/tamountcomparedialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QSignalBlocker>
#include <exception>

#include "engine/app/book.h"

namespace desktop {

tamountcomparedialog::tamountcomparedialog(engine::Book& book, QWidget* parent)
    : tamountdialog(parent), aggregation_(book, book.SettingsPath()) {
  setWindowTitle(QStringLiteral("比較集計"));
  lbl1 = new QLabel(QStringLiteral("勘定科目"), this);
  lbl1->setObjectName(QStringLiteral("lbl1"));
  lbl1->setGeometry(184, 8, 160, 16);
  cmbname->setGeometry(184, 26, 166, 22);
  lstfirst->setGeometry(184, 76, 74, 22);
  lstlast->setGeometry(276, 76, 74, 22);
  lbl2 = new QLabel(QStringLiteral("-"), this);
  lbl2->setObjectName(QStringLiteral("lbl2"));
  lbl2->setGeometry(262, 78, 12, 16);
  chkmonthout = new QCheckBox(QStringLiteral("集計年月を出力する"), this);
  chkmonthout->setObjectName(QStringLiteral("chkmonthout"));
  chkmonthout->setGeometry(184, 210, 166, 20);
  SetTabOrder({cmbname, lstfirst, lstlast}, chkmonthout);

  try {
    aggregation_.Open();
  } catch (const std::exception& e) {
    // The dialog opens with what could be read; the stored entries are there all the same.
    NoteFailure(e);
  }
  Attach(aggregation_.Entries(), aggregation_.SubjectNames(), aggregation_.Months());
  // Only the user's choice of a month changes the entry; showing one never does.
  connect(lstfirst, &QComboBox::activated, this,
          [this](int index) { aggregation_.ChooseFirstMonth(index); });
  connect(lstlast, &QComboBox::activated, this,
          [this](int index) { aggregation_.ChooseLastMonth(index); });
  connect(chkmonthout, &QCheckBox::toggled, this,
          [this](bool on) { aggregation_.SetMonthOption(on); });
}

void tamountcomparedialog::ShowMonths() {
  if (lstfirst->count() == 0) return;
  const QSignalBlocker first(lstfirst);
  const QSignalBlocker last(lstlast);
  lstfirst->setCurrentIndex(aggregation_.ShownFirstMonth());
  lstlast->setCurrentIndex(aggregation_.ShownLastMonth());
}

engine::ResultGrid tamountcomparedialog::Aggregate() {
  return aggregation_.Aggregate();
}

}  // namespace desktop
