#include "desktop/app/tacc_mdi.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QStyle>
#include <QTabBar>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

#include "desktop/base/fonts.h"
#include "desktop/tables/acc_grid_view.h"
#include "desktop/tables/grid_model.h"
#include "desktop/tables/tjournalform.h"
#include "desktop/tables/tledgerform.h"
#include "engine/base/cp932.h"
#include "engine/base/date.h"
#include "engine/base/error.h"
#include "engine/tables/journal_grid.h"
#include "engine/tables/ledger_grid.h"

// The tool bar's own pictures live in this library's resources, which a static library must
// register by hand (outside any namespace).
static void InitIconResources() {
  Q_INIT_RESOURCE(icons);
}

namespace desktop {

TAccMDI::TAccMDI(QWidget* parent)
    : QMainWindow(parent), ui_(*this), book_(std::make_unique<engine::Book>(ui_)) {
  InitIconResources();
  setFont(ApplicationFont());
  toolBar_ = new QToolBar(this);
  toolBar_->setObjectName(QStringLiteral("toolBar"));
  addToolBar(Qt::TopToolBarArea, toolBar_);
  commands_.Build(
      *this, *toolBar_, [this](Command command) { Run(command); },
      [this](int index) { FileRecentExecute(index); });
  BuildPlanMenu();
  BuildViewMenu();

  auto* client = new QWidget(this);
  auto* layout = new QVBoxLayout(client);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  tabs_ = new QTabBar(client);
  tabs_->setObjectName(QStringLiteral("TabControl"));
  tabs_->setFixedHeight(kTabStripHeight);
  tabs_->setExpanding(false);
  tabs_->setUsesScrollButtons(true);
  tabs_->setDrawBase(true);
  layout->addWidget(tabs_);
  mdi_ = new QMdiArea(client);
  mdi_->setBackground(palette().brush(QPalette::Dark));
  // Minimized windows sit along the bottom edge by design; scroll bars would only shrink the
  // area they are placed in.
  mdi_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  mdi_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  layout->addWidget(mdi_, 1);
  setCentralWidget(client);
  connect(tabs_, &QTabBar::currentChanged, this, &TAccMDI::TabControlChange);
  connect(mdi_, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* window) {
    if (auto* form = qobject_cast<tbookform*>(window)) form->WindowActivated();
  });
  connect(commands_.WindowMenu(), &QMenu::aboutToShow, this, &TAccMDI::FillWindowMenu);

  BuildStatusBar();
  BuildFindCommands();

  try {
    if (settings_.HasPlacement()) {
      const engine::WindowPlacement placement = settings_.ReadPlacement();
      move(placement.left, placement.top);
      resize(placement.width, placement.height);
    } else if (const QScreen* screen = QGuiApplication::primaryScreen()) {
      // The first run: most of the screen, centred, so the tables have room to be read.
      const QRect room = screen->availableGeometry();
      const QSize size = room.size() * 0.8;
      setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, size, room));
    } else {
      resize(600, 400);
    }
    settings_.LoadRecentFiles();
  } catch (const std::exception&) {
    // An unreadable settings file leaves the defaults; the next write replaces it.
    resize(600, 400);
  }
  RecentFilesChanged();
  book_->SetRecentFileHandler([this](const std::string& path) {
    try {
      settings_.AddRecentFile(path);
    } catch (const engine::Error& e) {
      ShowMessage(this, engine::FromCp932(e.Message()));
    }
    RecentFilesChanged();
  });
  book_->Changes()->SetChangedHandler([this] { UpdateUndoItems(); });
  book_->SetConfirmLineDelete(settings_.ConfirmLineDelete());
  book_->SetBackupCount(settings_.BackupCount());
  book_->Changes()->SetLimit(settings_.UndoLimit());
  if (const int minutes = settings_.RecoveryMinutes(); minutes > 0) {
    recoveryTimer_ = new QTimer(this);
    recoveryTimer_->setInterval(minutes * 60 * 1000);
    connect(recoveryTimer_, &QTimer::timeout, this,
            [this] { Guarded([this] { book_->WriteRecovery(); }); });
    recoveryTimer_->start();
  }
  commands_.MenuItem(Command::EditConfirmDelete)->setChecked(settings_.ConfirmLineDelete());
  SetStatus(3, QString::fromStdString(engine::FormatDate(
                   {engine::Today().year(), engine::Today().month(), engine::Today().day()})));
  SetNoBookCommands();
}

TAccMDI::~TAccMDI() {
  // The windows read their tables: take them down while the book is still whole.
  book_->Changes()->SetChangedHandler({});
  try {
    book_->CloseBook();
  } catch (const std::exception&) {
  }
  if (placementWritten_) return;
  try {
    settings_.WritePlacement({x(), y(), width(), height()});
  } catch (const std::exception&) {
    // Nowhere left to report it; the next run starts from the old placement.
  }
}

void TAccMDI::BuildViewMenu() {
  QMenu* view = new QMenu(QStringLiteral("表示(&V)"), this);
  menuBar()->insertMenu(commands_.WindowMenu()->menuAction(), view);
  groupingItem_ = view->addAction(QStringLiteral("金額を桁区切りで表示(&G)"));
  groupingItem_->setCheckable(true);
  bool on = true;
  try {
    on = settings_.ReadDigitGrouping();
  } catch (const std::exception&) {
    // An unreadable settings file leaves the default.
  }
  groupingItem_->setChecked(on);
  GridModel::SetDigitGrouping(on);
  connect(groupingItem_, &QAction::toggled, this, [this](bool checked) {
    SetDigitGrouping(checked);
    try {
      settings_.WriteDigitGrouping(checked);
    } catch (const engine::Error& e) {
      ShowMessage(this, engine::FromCp932(e.Message()));
    }
  });
}

void TAccMDI::SetDigitGrouping(bool on) {
  GridModel::SetDigitGrouping(on);
  for (tbookform* form : std::as_const(forms_)) {
    form->grid->FitColumnsToContent();
    form->grid->viewport()->update();
  }
}

void TAccMDI::BuildStatusBar() {
  static constexpr int kWidths[5] = {130, 130, 130, 90, 50};
  for (int i = 0; i < 5; ++i) {
    auto* panel = new QLabel(statusBar());
    panel->setObjectName(QStringLiteral("panel%1").arg(i));
    panel->setFixedWidth(kWidths[i]);
    panel->setAlignment(i == 4 ? Qt::AlignLeft | Qt::AlignVCenter : Qt::AlignCenter);
    panel->setFrameShape(QFrame::Panel);
    panel->setFrameShadow(QFrame::Sunken);
    statusBar()->addWidget(panel);
    panels_[static_cast<std::size_t>(i)] = panel;
  }
  statusBar()->setSizeGripEnabled(true);
  statusBar()->setFixedHeight(kStatusBarHeight);
}

int TAccMDI::ClientWidth() const {
  return width();
}

int TAccMDI::ClientHeight() const {
  return height() - menuBar()->sizeHint().height();
}

tbookform* TAccMDI::ActiveForm() const {
  if (auto* form = qobject_cast<tbookform*>(mdi_->currentSubWindow())) return form;
  engine::TJournalGrid* journal = book_->Journal();
  return journal ? FormOf(*journal) : nullptr;
}

void TAccMDI::SetStatus(int panel, const QString& text) {
  if (panel < 0 || panel >= static_cast<int>(panels_.size())) return;
  panels_[static_cast<std::size_t>(panel)]->setText(text);
}

void TAccMDI::AddTab(const QString& caption) {
  selectingTab_ = true;
  tabs_->addTab(caption);
  selectingTab_ = false;
}

void TAccMDI::RemoveTab(const QString& caption) {
  for (int i = 0; i < tabs_->count(); ++i) {
    if (tabs_->tabText(i) != caption) continue;
    selectingTab_ = true;
    tabs_->removeTab(i);
    selectingTab_ = false;
    return;
  }
}

void TAccMDI::SelectTab(const QString& caption) {
  for (int i = 0; i < tabs_->count(); ++i) {
    if (tabs_->tabText(i) != caption) continue;
    selectingTab_ = true;
    tabs_->setCurrentIndex(i);
    selectingTab_ = false;
    return;
  }
}

void TAccMDI::TabControlChange(int index) {
  if (selectingTab_ || index < 0) return;
  const QString caption = tabs_->tabText(index);
  for (engine::TAccGrid* table : book_->Tables()) {
    if (engine::FromCp932(table->Caption()) == caption) {
      ShowTable(*table, true);
      return;
    }
  }
}

void TAccMDI::SetNoBookCommands() {
  commands_.SetNoBookCommands();
  for (int panel = 0; panel < 3; ++panel) SetStatus(panel, {});
}

void TAccMDI::SetBookCommands() {
  commands_.SetBookCommands();
}
void TAccMDI::SetJournalCommands() {
  commands_.SetJournalCommands();
}
void TAccMDI::SetLedgerCommands() {
  commands_.SetLedgerCommands();
}

void TAccMDI::TableAdded(engine::TAccGrid& table) {
  tbookform* form = nullptr;
  QMdiSubWindow* active = mdi_->currentSubWindow();
  if (auto* journal = dynamic_cast<engine::TJournalGrid*>(&table)) {
    form = new tjournalform(*this, *journal);
  } else {
    form = new tledgerform(*this, static_cast<engine::TLedgerGrid&>(table));
  }
  form->setFont(font());
  forms_.insert(&table, form);
  form->SetMinimizePlacer([this](TAccChild& child) { PlaceMinimized(child); });
  mdi_->addSubWindow(form);
  AddTab(engine::FromCp932(table.Caption()));
  if (&table == book_->Journal()) {
    form->move(0, 0);
    form->show();
  } else {
    // A ledger starts minimized and doesn't take the focus from the window the user is in.
    form->show();
    form->Minimize();
    PlaceMinimized(*form);
    if (active && active != form) mdi_->setActiveSubWindow(active);
  }
}

void TAccMDI::TableRemoving(engine::TAccGrid& table) {
  tbookform* form = forms_.take(&table);
  RemoveTab(engine::FromCp932(table.Caption()));
  if (!form) return;
  mdi_->removeSubWindow(form);
  delete form;
}

void TAccMDI::TableRenamed(engine::TAccGrid& table, const std::string& oldCaption) {
  const QString caption = engine::FromCp932(table.Caption());
  const QString old = engine::FromCp932(oldCaption);
  for (int i = 0; i < tabs_->count(); ++i) {
    if (tabs_->tabText(i) == old) tabs_->setTabText(i, caption);
  }
  tbookform* form = FormOf(table);
  if (!form) return;
  form->setWindowTitle(caption);
  if (mdi_->currentSubWindow() == form) SetStatus(0, caption);
}

void TAccMDI::ShowTable(engine::TAccGrid& table, bool restore) {
  tbookform* form = FormOf(table);
  if (!form) return;
  if (restore && form->IsMinimized()) form->Restore();
  form->show();
  form->raise();
  if (mdi_->currentSubWindow() == form) {
    form->WindowActivated();
  } else {
    mdi_->setActiveSubWindow(form);
  }
  form->grid->setFocus();
}

void TAccMDI::RecentFilesChanged() {
  const auto& items = settings_.RecentFiles();
  for (int i = 0; i < engine::AppSettings::kRecentFileCount; ++i) {
    const auto& item = items[static_cast<std::size_t>(i)];
    if (item.visible) commands_.SetRecentItem(i, engine::FromCp932(item.caption), true);
  }
}

QPoint TAccMDI::MinimizedSlot(int index) const {
  int x = 0;
  int y = ClientHeight() - 99;
  for (int i = 0; i < index; ++i) {
    x += TAccChild::kMinimizedWidth;
    if (ClientWidth() < x + 165) {
      x = 0;
      y -= 24;
    }
  }
  return {x, y};
}

void TAccMDI::PlaceMinimized(TAccChild& child) {
  QList<QPoint> taken;
  for (QMdiSubWindow* window : mdi_->subWindowList()) {
    auto* other = qobject_cast<TAccChild*>(window);
    if (other && other != &child && other->IsMinimized()) taken.append(other->pos());
  }
  for (int slot = 0;; ++slot) {
    const QPoint place = MinimizedSlot(slot);
    if (!taken.contains(place) || place.y() < -1000) {
      child.move(place);
      return;
    }
  }
}

void TAccMDI::WindowSortExecute() {
  engine::TJournalGrid* journal = book_->Journal();
  if (!journal) return;
  int slot = 0;
  for (engine::TAccGrid* table : book_->Tables()) {
    if (table == journal) continue;
    tbookform* form = FormOf(*table);
    if (!form) continue;
    if (!form->IsMinimized()) form->Minimize();
    form->move(MinimizedSlot(slot++));
    form->lower();
  }
  if (tbookform* form = FormOf(*journal)) {
    if (form->IsMinimized()) form->Restore();
    const int frame = form->height() - form->contentsRect().height();
    form->setGeometry(0, 0, ClientWidth() - 5, (ClientHeight() / 5) * 3 + frame);
  }
  journal->FocusRow(journal->RowCount() - 1);
}

void TAccMDI::FillWindowMenu() {
  QMenu* menu = commands_.WindowMenu();
  for (QAction* item : windowItems_) {
    menu->removeAction(item);
    delete item;
  }
  windowItems_.clear();
  windowItems_.append(menu->addSeparator());
  const tbookform* active = ActiveForm();
  for (engine::TAccGrid* table : book_->Tables()) {
    QAction* item = menu->addAction(engine::FromCp932(table->Caption()));
    item->setCheckable(true);
    item->setChecked(FormOf(*table) == active);
    connect(item, &QAction::triggered, this, [this, table] { ShowTable(*table, true); });
    windowItems_.append(item);
  }
}

void TAccMDI::changeEvent(QEvent* event) {
  QMainWindow::changeEvent(event);
  // Coming back from another program: ask about book files it changed. The question waits
  // until the activation is done, so its box doesn't open inside the window system's event.
  if (event->type() == QEvent::ActivationChange && isActiveWindow() && !checkQueued_) {
    checkQueued_ = true;
    QTimer::singleShot(0, this, [this] {
      checkQueued_ = false;
      Guarded([&] { book_->CheckFilesOnDisk(); });
    });
  }
}

void TAccMDI::closeEvent(QCloseEvent* event) {
  bool mayClose = false;
  Guarded([&] { mayClose = book_->QuerySaveBook(); });
  if (mayClose) {
    // Written here, where a failure (a full disk, no permission) can still be shown.
    placementWritten_ = true;
    Guarded([&] { settings_.WritePlacement({x(), y(), width(), height()}); });
    event->accept();
  } else {
    event->ignore();
  }
}

}  // namespace desktop
