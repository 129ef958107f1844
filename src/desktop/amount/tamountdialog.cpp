#include "desktop/amount/tamountdialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <exception>

#include "desktop/amount/tamounttable.h"
#include "desktop/base/fonts.h"
#include "engine/amount/entry_list.h"
#include "engine/base/cp932.h"

namespace desktop {

namespace {
QPushButton* Button(QWidget* parent, const char* name, const QString& caption, QRect place) {
  auto* button = new QPushButton(caption, parent);
  button->setObjectName(QString::fromLatin1(name));
  button->setGeometry(place);
  button->setAutoDefault(false);
  return button;
}

QCheckBox* CheckBox(QWidget* parent, const char* name, const QString& caption, QRect place) {
  auto* box = new QCheckBox(caption, parent);
  box->setObjectName(QString::fromLatin1(name));
  box->setGeometry(place);
  return box;
}

QComboBox* MonthList(QWidget* parent, const char* name, QRect place) {
  auto* list = new QComboBox(parent);
  list->setObjectName(QString::fromLatin1(name));
  list->setGeometry(place);
  list->setMaxVisibleItems(12);
  return list;
}
}  // namespace

tamountdialog::tamountdialog(QWidget* parent) : TAccDialog(parent) {
  FixSize(358, 298);

  lsttable = new QListWidget(this);
  lsttable->setObjectName(QStringLiteral("lsttable"));
  lsttable->setGeometry(8, 8, 164, 282);

  cmbname = new QComboBox(this);
  cmbname->setObjectName(QStringLiteral("cmbname"));
  cmbname->setEditable(true);
  cmbname->setInsertPolicy(QComboBox::NoInsert);
  // The name is whatever is typed; a completer would put a subject name over it.
  cmbname->setCompleter(nullptr);

  lstfirst = MonthList(this, "lstfirst", QRect(184, 26, 74, 22));
  lstlast = MonthList(this, "lstlast", QRect(276, 26, 74, 22));

  chkdebtor = CheckBox(this, "chkdebtor", QStringLiteral("借方"), QRect(184, 110, 54, 20));
  chkcredit = CheckBox(this, "chkcredit", QStringLiteral("貸方"), QRect(240, 110, 54, 20));
  chkmark = CheckBox(this, "chkmark", QStringLiteral("入替"), QRect(296, 110, 54, 20));

  btnleft = Button(this, "btnleft", QStringLiteral("←"), QRect(184, 140, 38, 25));
  btnright = Button(this, "btnright", QStringLiteral("→"), QRect(226, 140, 38, 25));
  btnup = Button(this, "btnup", QStringLiteral("↑"), QRect(268, 140, 38, 25));
  btndown = Button(this, "btndown", QStringLiteral("↓"), QRect(310, 140, 38, 25));
  btninsert = Button(this, "btninsert", QStringLiteral("挿入"), QRect(184, 172, 80, 25));
  btndelete = Button(this, "btndelete", QStringLiteral("削除"), QRect(268, 172, 80, 25));

  btnok = Button(this, "btnok", QStringLiteral("OK"), QRect(184, 262, 80, 27));
  btnok->setDefault(true);
  btnok->setAutoDefault(true);
  // QDialog answers the Escape key with reject() too.
  btncancel = Button(this, "btncancel", QStringLiteral("ｷｬﾝｾﾙ"), QRect(268, 262, 80, 27));

  connect(lsttable, &QListWidget::currentRowChanged, this, [this](int row) {
    if (!entries_) return;
    entries_->Select(row);
    ShowSelected();
  });
  connect(cmbname, &QComboBox::editTextChanged, this, &tamountdialog::NameEdited);
  const auto flagBox = [this](QCheckBox* box, engine::EntryListEditing::Flag flag) {
    connect(box, &QCheckBox::clicked, this, [this, flag](bool on) {
      if (entries_) entries_->SetFlag(flag, on);
    });
  };
  flagBox(chkdebtor, engine::EntryListEditing::Flag::Debit);
  flagBox(chkcredit, engine::EntryListEditing::Flag::Credit);
  flagBox(chkmark, engine::EntryListEditing::Flag::Swap);
  connect(btnleft, &QPushButton::clicked, this, [this] { Edit(&engine::EntryListEditing::Left); });
  connect(btnright, &QPushButton::clicked, this,
          [this] { Edit(&engine::EntryListEditing::Right); });
  connect(btnup, &QPushButton::clicked, this, [this] { Edit(&engine::EntryListEditing::Up); });
  connect(btndown, &QPushButton::clicked, this, [this] { Edit(&engine::EntryListEditing::Down); });
  connect(btninsert, &QPushButton::clicked, this, [this] {
    Edit(&engine::EntryListEditing::Insert);
    ShowSelected();
  });
  connect(btndelete, &QPushButton::clicked, this, [this] {
    Edit(&engine::EntryListEditing::Delete);
    ShowSelected();
  });
  connect(btnok, &QPushButton::clicked, this, &tamountdialog::btnokClick);
  connect(btncancel, &QPushButton::clicked, this, &QDialog::reject);
}

void tamountdialog::Attach(engine::EntryListEditing& entries,
                           const std::vector<std::string>& subjects,
                           const std::vector<std::string>& months) {
  entries_ = &entries;
  {
    const QSignalBlocker blocker(cmbname);
    for (const std::string& subject : subjects) cmbname->addItem(engine::FromCp932(subject));
  }
  for (QComboBox* list : {lstfirst, lstlast}) {
    const QSignalBlocker blocker(list);
    QStringList texts;
    texts.reserve(static_cast<qsizetype>(months.size()));
    for (const std::string& month : months) texts << QString::fromLatin1(month);
    list->addItems(texts);
  }
  RefreshList();
  ShowSelected();
}

void tamountdialog::SetTabOrder(std::initializer_list<QWidget*> fields, QWidget* beforeOk) {
  QWidget* previous = lsttable;
  const auto follow = [&previous](QWidget* next) {
    QWidget::setTabOrder(previous, next);
    previous = next;
  };
  for (QWidget* widget : fields) follow(widget);
  for (QWidget* widget : std::initializer_list<QWidget*>{
           chkdebtor, chkcredit, chkmark, btnleft, btnright, btnup, btndown, btninsert, btndelete})
    follow(widget);
  if (beforeOk) follow(beforeOk);
  follow(btnok);
  follow(btncancel);
}

void tamountdialog::RefreshList() {
  const QSignalBlocker blocker(lsttable);
  lsttable->clear();
  for (int i = 0; i < entries_->Count(); ++i)
    lsttable->addItem(engine::FromCp932(entries_->NameAt(i)));
  lsttable->setCurrentRow(entries_->Selected());
}

void tamountdialog::ShowSelected() {
  const int selected = entries_->Selected();
  {
    const QSignalBlocker blocker(cmbname);
    const QString bare = selected < 0
                             ? QString()
                             : engine::FromCp932(engine::BareNameOf(entries_->NameAt(selected)));
    cmbname->setEditText(bare);
  }
  chkdebtor->setChecked(entries_->FlagOf(engine::EntryListEditing::Flag::Debit));
  chkcredit->setChecked(entries_->FlagOf(engine::EntryListEditing::Flag::Credit));
  chkmark->setChecked(entries_->FlagOf(engine::EntryListEditing::Flag::Swap));
  ShowMonths();
}

void tamountdialog::NameEdited(const QString& text) {
  if (!entries_ || entries_->Selected() < 0) return;
  const std::optional<std::string> bare = TypedText(this, text);
  if (!bare) {
    // The character is refused where it was typed: the box goes back to the stored name.
    ShowSelected();
    return;
  }
  entries_->SetBareName(*bare);
  if (QListWidgetItem* item = lsttable->item(entries_->Selected()))
    item->setText(engine::FromCp932(entries_->NameAt(entries_->Selected())));
}

void tamountdialog::Edit(void (engine::EntryListEditing::*operation)()) {
  if (!entries_) return;
  (entries_->*operation)();
  RefreshList();
}

void tamountdialog::NoteFailure(const std::exception& failure) {
  if (const auto* row = dynamic_cast<const engine::RowError*>(&failure); row && !failedRow_)
    failedRow_ = *row;
}

void tamountdialog::btnokClick() {
  engine::ResultGrid grid;
  try {
    grid = Aggregate();
  } catch (const std::exception& e) {
    // The command tells the user, naming the row when a date there is the reason.
    NoteFailure(e);
    done(kAbortResult);
    return;
  }
  {
    tamounttable result(std::move(grid), this);
    result.exec();
  }
  accept();
}

}  // namespace desktop
