#include "desktop/lists/titemdialog.h"

#include <QEvent>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QPushButton>
#include <QResizeEvent>
#include <QSignalBlocker>
#include <QTableView>

#include "desktop/app/guarded.h"
#include "desktop/base/fonts.h"
#include "desktop/lists/item_list_model.h"
#include "engine/base/cp932.h"
#include "engine/lists/item_list.h"

namespace desktop {

namespace {
constexpr int kTop = 8;
constexpr int kGridTop = 40;
constexpr int kClientHeight = 250;

QPushButton* Button(QWidget* parent, const char* name, const QString& caption, int left) {
  auto* button = new QPushButton(caption, parent);
  button->setObjectName(QString::fromLatin1(name));
  button->setGeometry(left, kTop, 41, 25);
  button->setAutoDefault(false);
  return button;
}
}  // namespace

titemdialog::titemdialog(std::unique_ptr<engine::ItemList> list, const QString& caption, int width,
                         QWidget* parent)
    : TAccDialog(parent), list_(std::move(list)) {
  setWindowTitle(caption);
  resize(width, kClientHeight);

  eitem = new QLineEdit(this);
  eitem->setObjectName(QStringLiteral("eitem"));
  QFont nameFont = font();
  nameFont.setPointSize(10);
  eitem->setFont(nameFont);
  eitem->setGeometry(3, kTop, 148, 25);

  btnadd = Button(this, "btnadd", QStringLiteral("追加"), 160);
  btndel = Button(this, "btndel", QStringLiteral("削除"), 208);
  // QDialog answers the Escape key with reject() too.
  btncancel = Button(this, "btncancel", QStringLiteral("閉じる"), 256);
  connect(btnadd, &QPushButton::clicked, this, &titemdialog::btnaddClick);
  connect(btndel, &QPushButton::clicked, this, &titemdialog::btndelClick);
  connect(btncancel, &QPushButton::clicked, this, &QDialog::reject);

  grid = new QTableView(this);
  grid->setObjectName(QStringLiteral("grid"));
  model_ = new ItemListModel(*list_, grid);
  grid->setModel(model_);
  grid->setSelectionBehavior(QAbstractItemView::SelectRows);
  grid->setSelectionMode(QAbstractItemView::SingleSelection);
  grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
  grid->setShowGrid(true);
  grid->setWordWrap(false);
  grid->verticalHeader()->hide();
  grid->verticalHeader()->setMinimumSectionSize(1);
  grid->verticalHeader()->setDefaultSectionSize(20);
  grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  grid->horizontalHeader()->setFixedHeight(20);
  grid->horizontalHeader()->setHighlightSections(false);
  PaintGrid(*grid);
  grid->viewport()->installEventFilter(this);

  // A click, or a move of the selection by key, chooses the row and fills the name edit.
  connect(grid, &QTableView::clicked, this,
          [this](const QModelIndex& index) { RowChosen(index.row() + 1); });
  connect(grid->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
          [this](const QModelIndex& current) {
            if (current.isValid()) RowChosen(current.row() + 1);
          });
  Refresh();
  eitem->setFocus();
}

titemdialog::~titemdialog() {
  // The grid reads the list until it is gone, and the list goes before the dialog's children.
  grid->viewport()->removeEventFilter(this);
  delete grid;
}

void titemdialog::Refresh() {
  {
    // Selecting the list's row here must not read as the user choosing it.
    const QSignalBlocker blocker(grid->selectionModel());
    model_->Reload();
    const QModelIndex selected = model_->index(list_->SelectedRow() - 1, 0);
    grid->selectionModel()->setCurrentIndex(
        selected, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  }
  grid->viewport()->update();
  grid->scrollTo(model_->index(list_->SelectedRow() - 1, 0));
  const QString name = engine::FromCp932(list_->Name());
  if (eitem->text() != name) eitem->setText(name);
  btndel->setEnabled(list_->DeleteEnabled());
}

bool titemdialog::TakeName() {
  const std::optional<std::string> name = TypedText(this, eitem->text());
  if (!name) {
    eitem->setFocus();
    return false;
  }
  list_->SetName(*name);
  return true;
}

void titemdialog::RowChosen(int row) {
  list_->ClickRow(row);
  eitem->setText(engine::FromCp932(list_->Name()));
}

void titemdialog::btnaddClick() {
  if (!TakeName()) return;
  RunGuarded(this, [this] { list_->Add(); });
  Refresh();
  eitem->setFocus();
}

void titemdialog::btndelClick() {
  if (!TakeName()) return;
  RunGuarded(this, [this] { list_->Delete(); });
  Refresh();
}

void titemdialog::resizeEvent(QResizeEvent* event) {
  TAccDialog::resizeEvent(event);
  grid->setGeometry(0, kGridTop, width(), std::max(0, height() - kGridTop));
}

bool titemdialog::eventFilter(QObject* watched, QEvent* event) {
  if (watched == grid->viewport() && event->type() == QEvent::Resize) {
    FitColumns(static_cast<QResizeEvent*>(event)->size().width());
  }
  return TAccDialog::eventFilter(watched, event);
}

}  // namespace desktop
