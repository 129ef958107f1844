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
  // The same name question serves a new book and saving the open one under a new name.
  enum class Purpose { NewBook, SaveAs };
  tnewdialog(engine::Book& book, QWidget* parent = nullptr, Purpose purpose = Purpose::NewBook);

  QLineEdit* pname = nullptr;
  QPushButton* btnok = nullptr;
  QPushButton* btncancel = nullptr;

 private:
  void btnokClick();
  void StayOpen();

  engine::Book& book_;
  Purpose purpose_;
  QLabel* lblname = nullptr;
};

}  // namespace desktop
