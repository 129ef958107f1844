#pragma once

#include <memory>

#include "desktop/base/tacc_dialog.h"

class QLineEdit;
class QPushButton;
class QTableView;

namespace engine {
class ItemList;
}

namespace desktop {

class ItemListModel;

// The list dialog that the subject and summary dialogs share: a name edit, "追加", "削除" and
// "閉じる" along the top and the list below. The rules live in the engine's list; every change
// takes effect in the open book at once.
class titemdialog : public TAccDialog {
  Q_OBJECT

 public:
  ~titemdialog() override;

  engine::ItemList& List() const { return *list_; }

  QLineEdit* eitem = nullptr;
  QPushButton* btnadd = nullptr;
  QPushButton* btndel = nullptr;
  QPushButton* btncancel = nullptr;
  QTableView* grid = nullptr;

 protected:
  titemdialog(std::unique_ptr<engine::ItemList> list, const QString& caption, int width,
              QWidget* parent);

  // Shows the list as it now stands: rows, selected row, name edit and "削除".
  void Refresh();
  // Hands the typed name to the list; false when it holds a character CP932 cannot.
  bool TakeName();
  // Sets the column widths for the grid's client width.
  virtual void FitColumns(int clientWidth) = 0;

  void resizeEvent(QResizeEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void RowChosen(int row);
  void btnaddClick();
  void btndelClick();

  std::unique_ptr<engine::ItemList> list_;
  ItemListModel* model_ = nullptr;
};

}  // namespace desktop
