#include "desktop/base/tacc_dialog.h"

#include <QHeaderView>
#include <QIcon>
#include <QPalette>
#include <QPushButton>
#include <QTableView>

#include "desktop/base/fonts.h"
#include "desktop/tables/acc_grid_view.h"
#include "desktop/tables/grid_header.h"

namespace desktop {

QColor TAccDialog::ButtonFace() {
  return QColor(240, 240, 240);
}

TAccDialog::TAccDialog(QWidget* parent) : QDialog(parent) {
  setFont(ApplicationFont());
  QPalette face = palette();
  face.setColor(QPalette::Window, ButtonFace());
  face.setColor(QPalette::Button, ButtonFace());
  setPalette(face);
  setAutoFillBackground(true);
  // The dialogs have nothing for a "?" button to explain.
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);
}

void TAccDialog::FixSize(int width, int height) {
  setFixedSize(width, height);
  setSizeGripEnabled(false);
}

QPushButton* TAccDialog::TopButton(const char* name, const QString& caption, const QIcon& icon,
                                   int left) {
  auto* button = new QPushButton(icon, caption, this);
  button->setObjectName(QString::fromLatin1(name));
  button->setGeometry(left, 4, 75, 25);
  button->setAutoDefault(false);
  return button;
}

void TAccDialog::PaintGrid(QTableView& grid) {
  const QColor heading = GridHeader::HeadingColour();
  grid.horizontalHeader()->setStyleSheet(
      QStringLiteral("QHeaderView::section { background-color: %1; border: none;"
                     " border-right: 1px solid gray; border-bottom: 1px solid gray;"
                     " padding-left: 2px; }")
          .arg(heading.name()));
  QPalette cells = grid.palette();
  cells.setColor(QPalette::Base, AccGridView::CellColour());
  grid.setPalette(cells);
}

}  // namespace desktop
