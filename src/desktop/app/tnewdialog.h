#pragma once

#include "desktop/base/tacc_dialog.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace engine {
class Book;
}

namespace desktop {

// "新しい家計簿": asks for the new book's name; the book itself does the creating.
class tnewdialog : public TAccDialog {
  Q_OBJECT

 public:
  tnewdialog(engine::Book& book, QWidget* parent = nullptr);

  QLineEdit* pname = nullptr;
  QPushButton* btnok = nullptr;
  QPushButton* btncancel = nullptr;

 private:
  void btnokClick();
  void StayOpen();

  engine::Book& book_;
  QLabel* lblname = nullptr;
};

}  // namespace desktop
