#include "desktop/app/about_dialog.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QStyle>

#ifndef ZENTABO_VERSION
#define ZENTABO_VERSION "0.0.0"
#endif

namespace desktop {

QString AboutDialog::VersionText() {
  return QStringLiteral("Zentabo バージョン %1").arg(QStringLiteral(ZENTABO_VERSION));
}

AboutDialog::AboutDialog(QWidget* parent) : TAccDialog(parent) {
  setWindowTitle(QStringLiteral("バージョン情報"));
  FixSize(328, 72);

  auto* icon = new QLabel(this);
  icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(32, 32));
  icon->setGeometry(12, 12, 32, 32);

  auto* name = new QLabel(VersionText(), this);
  name->setObjectName(QStringLiteral("lblversion"));
  name->setGeometry(56, 12, 200, 18);
  auto* line = new QLabel(QStringLiteral("複式簿記で付ける家計簿"), this);
  line->setObjectName(QStringLiteral("lblcomment"));
  line->setGeometry(56, 36, 200, 18);

  btnok = new QPushButton(QStringLiteral("OK"), this);
  btnok->setObjectName(QStringLiteral("btnok"));
  btnok->setGeometry(266, 38, 50, 25);
  btnok->setDefault(true);
  connect(btnok, &QPushButton::clicked, this, &QDialog::accept);
}

}  // namespace desktop
