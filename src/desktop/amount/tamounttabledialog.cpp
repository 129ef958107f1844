#include "desktop/amount/tamounttabledialog.h"

#include <QComboBox>
#include <QLabel>
#include <exception>

#include "engine/app/book.h"

namespace desktop {

tamounttabledialog::tamounttabledialog(engine::Book& book, QWidget* parent)
    : tamountdialog(parent), aggregation_(book, book.SettingsPath()) {
  setWindowTitle(QStringLiteral("テーブルに出力"));
  lbl1 = new QLabel(QStringLiteral("集計範囲"), this);
  lbl1->setObjectName(QStringLiteral("lbl1"));
  lbl1->setGeometry(184, 8, 160, 16);
  lbl3 = new QLabel(QStringLiteral("-"), this);
  lbl3->setObjectName(QStringLiteral("lbl3"));
  lbl3->setGeometry(262, 28, 12, 16);
  lbl2 = new QLabel(QStringLiteral("勘定科目"), this);
  lbl2->setObjectName(QStringLiteral("lbl2"));
  lbl2->setGeometry(184, 58, 160, 16);
  cmbname->setGeometry(184, 76, 166, 22);
  SetTabOrder({lstfirst, lstlast, cmbname});

  try {
    aggregation_.Open();
  } catch (const std::exception& e) {
    // The dialog opens with what could be read; OK then fails on the missing months.
    NoteFailure(e);
  }
  Attach(aggregation_.Entries(), aggregation_.SubjectNames(), aggregation_.Months());
  lstfirst->setCurrentIndex(aggregation_.FirstMonth());
  lstlast->setCurrentIndex(aggregation_.LastMonth());
  connect(lstfirst, &QComboBox::currentIndexChanged, this,
          [this](int index) { aggregation_.SetFirstMonth(index); });
  connect(lstlast, &QComboBox::currentIndexChanged, this,
          [this](int index) { aggregation_.SetLastMonth(index); });
}

engine::ResultGrid tamounttabledialog::Aggregate() {
  return aggregation_.Aggregate();
}

}  // namespace desktop
