#include "desktop/app/tnewdialog.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "desktop/app/guarded.h"
#include "desktop/base/fonts.h"
#include "engine/app/book.h"

namespace desktop {

tnewdialog::tnewdialog(engine::Book& book, QWidget* parent, Purpose purpose)
    : TAccDialog(parent), book_(book), purpose_(purpose) {
  setWindowTitle(purpose == Purpose::NewBook ? QStringLiteral("新しい家計簿")
                                             : QStringLiteral("名前を付けて保存"));
  FixSize(292, 67);

  lblname = new QLabel(QStringLiteral("名前"), this);
  lblname->setObjectName(QStringLiteral("lblname"));
  lblname->move(5, 24);

  pname = new QLineEdit(this);
  pname->setObjectName(QStringLiteral("pname"));
  QFont nameFont = font();
  nameFont.setPointSize(10);
  pname->setFont(nameFont);
  pname->setGeometry(40, 20, 170, 23);

  btnok = new QPushButton(QStringLiteral("OK"), this);
  btnok->setObjectName(QStringLiteral("btnok"));
  btnok->setGeometry(230, 5, 50, 25);
  btnok->setDefault(true);
  connect(btnok, &QPushButton::clicked, this, &tnewdialog::btnokClick);

  // QDialog answers the Escape key with reject() too.
  btncancel = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), this);
  btncancel->setObjectName(QStringLiteral("btncancel"));
  btncancel->setGeometry(230, 37, 50, 25);
  btncancel->setAutoDefault(false);
  connect(btncancel, &QPushButton::clicked, this, &QDialog::reject);

  pname->setFocus();
}

void tnewdialog::StayOpen() {
  pname->setFocus();
  pname->selectAll();
}

void tnewdialog::btnokClick() {
  const std::optional<std::string> name = TypedText(this, pname->text());
  if (!name) {
    StayOpen();
    return;
  }
  bool stay = true;
  RunGuarded(this, [&] {
    stay = purpose_ == Purpose::NewBook ? book_.NewBook(*name) : book_.SaveBookAs(*name);
  });
  if (stay) {
    StayOpen();
    return;
  }
  accept();
}

}  // namespace desktop
