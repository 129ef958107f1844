#include "desktop/lists/tsubjectdialog.h"

#include <QHeaderView>
#include <QPushButton>
#include <QTableView>
#include <cmath>

#include "desktop/app/guarded.h"
#include "engine/lists/item_list.h"

namespace desktop {

tsubjectdialog::tsubjectdialog(engine::Book& book, QWidget* parent)
    : titemdialog(std::make_unique<engine::SubjectList>(book), QStringLiteral("勘定科目一覧"), 379,
                  parent),
      subjects_(static_cast<engine::SubjectList&>(List())) {
  btncouple = new QPushButton(QStringLiteral("相手設定"), this);
  btncouple->setObjectName(QStringLiteral("btncouple"));
  btncouple->setGeometry(312, 8, 65, 25);
  btncouple->setAutoDefault(false);
  connect(btncouple, &QPushButton::clicked, this, &tsubjectdialog::btncoupleClick);
  // Renaming needs one more button: the dialog grows by its width.
  btnrename = new QPushButton(QStringLiteral("名前の変更"), this);
  btnrename->setObjectName(QStringLiteral("btnrename"));
  btnrename->setGeometry(382, 8, 75, 25);
  btnrename->setAutoDefault(false);
  connect(btnrename, &QPushButton::clicked, this, &tsubjectdialog::btnrenameClick);
  resize(width() + 80, height());
  grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
  grid->horizontalHeader()->setStretchLastSection(false);
}

void tsubjectdialog::FitColumns(int clientWidth) {
  static constexpr double kShares[] = {0.22, 0.22, 0.18, 0.18, 0.18};
  for (int column = 0; column < 5; ++column) {
    grid->setColumnWidth(column, static_cast<int>(std::lround(clientWidth * kShares[column])));
  }
}

void tsubjectdialog::btncoupleClick() {
  if (!TakeName()) return;
  RunGuarded(this, [this] { subjects_.SetCounterpart(); });
  Refresh();
}

void tsubjectdialog::btnrenameClick() {
  if (!TakeName()) return;
  RunGuarded(this, [this] { subjects_.Rename(); });
  Refresh();
}

}  // namespace desktop
