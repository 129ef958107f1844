#include "desktop/import/timportdialog.h"

#include <QBuffer>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QSplitter>
#include <QTableView>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "desktop/base/message_boxes.h"
#include "desktop/import/preview_model.h"
#include "desktop/import/timportrulesdialog.h"
#include "engine/app/book.h"
#include "engine/base/cp932.h"
#include "engine/base/error.h"
#include "engine/import/import_history.h"
#include "engine/tables/journal_grid.h"
#include "regexp/scanner.h"

namespace desktop {

namespace {

using engine::FromCp932;
using engine::import::AmountStyle;
using engine::import::DateOrder;
using engine::import::Encoding;
using engine::import::ImportProfile;

constexpr qint64 kHeadBytes = 64 * 1024;
// Files beyond this size show a progress bar while they are read.
constexpr qint64 kProgressBytes = 4 * 1024 * 1024;

const Encoding kEncodings[] = {Encoding::Cp932, Encoding::Utf8, Encoding::Utf16LE,
                               Encoding::Utf16BE};
const char kDelimiters[] = {',', '\t', ';'};

// A description as a pattern that matches it literally: the matcher's operators get a
// backslash; double-byte characters are copied whole, so a trail byte is never escaped.
std::string LiteralPattern(std::string_view text) {
  std::string pattern;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto b = static_cast<unsigned char>(text[i]);
    if (regexp::IsDBCSLeadByte(b) && i + 1 < text.size()) {
      pattern.append(text.substr(i, 2));
      ++i;
      continue;
    }
    if (std::string_view("^(|)+*?.[]$\\").find(text[i]) != std::string_view::npos)
      pattern.push_back('\\');
    pattern.push_back(text[i]);
  }
  return pattern;
}

// The words of an indicator column as the user types them: separated by blanks or commas.
std::vector<std::string> WordsOf(const QString& text) {
  std::vector<std::string> words;
  for (const QString& word :
       text.split(QRegularExpression(QStringLiteral("[\\s,、]+")), Qt::SkipEmptyParts))
    words.push_back(engine::import::MessageText(word));
  return words;
}

QString WordsText(const std::vector<std::string>& words) {
  QStringList texts;
  for (const std::string& word : words) texts << FromCp932(word);
  return texts.join(QLatin1Char(' '));
}

int ComboIndexOfData(const QComboBox* combo, int value) {
  const int index = combo->findData(value);
  return index < 0 ? 0 : index;
}

}  // namespace

timportdialog::timportdialog(engine::Book& book, QString statementPath, QWidget* parent)
    : TAccDialog(parent), book_(book), path_(std::move(statementPath)) {
  setWindowTitle(QStringLiteral("明細の取り込み"));
  try {
    profiles_ = engine::import::ProfileStore(book_.ImportProfilePath()).Load();
    engine::import::RuleFile(book_.ImportRulePath()).Load(rules_, settings_);
    book_.ImportedRows().Load();
    matcher_.emplace(rules_);
  } catch (const engine::Error& e) {
    problem_ = FromCp932(e.Message()) +
               QStringLiteral("\nファイルを直すか取り除いてから、もう一度取り込んでください。");
    return;
  }
  QFile file(path_);
  if (!file.open(QIODevice::ReadOnly)) {
    problem_ = QStringLiteral("「%1」を開けません").arg(path_);
    return;
  }
  if (const std::string tooBig = engine::import::SizeProblem(file.size()); !tooBig.empty()) {
    problem_ = FromCp932(tooBig);
    return;
  }
  head_ = file.read(kHeadBytes).toStdString();
  if (head_.empty()) {
    problem_ = QStringLiteral("「%1」は空のファイルです").arg(QFileInfo(path_).fileName());
    return;
  }
  if (!engine::import::DetectEncoding(head_).text) {
    problem_ = QStringLiteral(
                   "「%1」はテキストファイルではありません。銀行やカード会社の CSV "
                   "ファイルを選んでください。")
                   .arg(QFileInfo(path_).fileName());
    return;
  }
  BuildControls();
  mapping_ = FirstMapping();
  ShowMapping(mapping_);
  FillProfiles(mapping_.name);
  Rebuild();
}

timportdialog::~timportdialog() = default;

void timportdialog::Run(engine::Book& book, const QString& statementPath, QWidget* parent) {
  if (!book.IsOpen() || !book.Journal()->CommitEditor()) return;
  timportdialog dialog(book, statementPath, parent);
  if (!dialog.Problem().isEmpty()) {
    ShowMessage(parent, dialog.Problem());
    return;
  }
  if (dialog.exec() == QDialog::Accepted)
    ShowMessage(parent, FromCp932(engine::import::SummaryText(dialog.Summary())));
}

void timportdialog::BuildControls() {
  resize(1040, 720);
  auto* layout = new QVBoxLayout(this);
  auto* file = new QLabel(QStringLiteral("明細: %1").arg(QDir::toNativeSeparators(path_)), this);
  file->setTextInteractionFlags(Qt::TextSelectableByMouse);
  layout->addWidget(file);

  auto* top = new QHBoxLayout;
  auto* reading = new QGroupBox(QStringLiteral("読み込み"), this);
  auto* readingForm = new QFormLayout(reading);
  cencoding = new QComboBox(reading);
  cencoding->addItems({QStringLiteral("Shift_JIS (CP932)"), QStringLiteral("UTF-8"),
                       QStringLiteral("UTF-16 (LE)"), QStringLiteral("UTF-16 (BE)")});
  cdelimiter = new QComboBox(reading);
  cdelimiter->addItems(
      {QStringLiteral("カンマ (CSV)"), QStringLiteral("タブ (TSV)"), QStringLiteral("セミコロン")});
  cheader = new QCheckBox(QStringLiteral("見出し行がある"), reading);
  sskiptop = new QSpinBox(reading);
  sskipbottom = new QSpinBox(reading);
  for (QSpinBox* s : {sskiptop, sskipbottom}) s->setRange(0, 1000);
  readingForm->addRow(QStringLiteral("文字コード(&E)"), cencoding);
  readingForm->addRow(QStringLiteral("区切り(&T)"), cdelimiter);
  readingForm->addRow(QString(), cheader);
  readingForm->addRow(QStringLiteral("先頭で飛ばす行"), sskiptop);
  readingForm->addRow(QStringLiteral("末尾で飛ばす行"), sskipbottom);

  auto* columns = new QGroupBox(QStringLiteral("列"), this);
  auto* columnsForm = new QFormLayout(columns);
  cdate = new QComboBox(columns);
  cdateorder = new QComboBox(columns);
  cdateorder->addItems({QStringLiteral("年/月/日（和暦も可）"), QStringLiteral("月/日/年"),
                        QStringLiteral("日/月/年")});
  edescription = new QLineEdit(columns);
  edescription->setToolTip(
      QStringLiteral("摘要にする列の番号。複数なら空白で区切ります（例: 2 4）"));
  cstyle = new QComboBox(columns);
  cstyle->addItems({QStringLiteral("1 列（マイナスが出金）"),
                    QStringLiteral("1 列（マイナスが入金）"), QStringLiteral("出金と入金の 2 列"),
                    QStringLiteral("金額と入出金の区分の列")});
  camount = new QComboBox(columns);
  cwithdrawal = new QComboBox(columns);
  cdeposit = new QComboBox(columns);
  cindicator = new QComboBox(columns);
  ein = new QLineEdit(columns);
  eout = new QLineEdit(columns);
  for (QLineEdit* words : {ein, eout})
    words->setToolTip(QStringLiteral("区分の列に書かれる語。複数なら空白で区切ります"));
  columnsForm->addRow(QStringLiteral("日付(&D)"), cdate);
  columnsForm->addRow(QStringLiteral("日付の形式"), cdateorder);
  columnsForm->addRow(QStringLiteral("摘要の列(&M)"), edescription);
  columnsForm->addRow(QStringLiteral("金額の形式"), cstyle);
  columnsForm->addRow(QStringLiteral("金額"), camount);
  columnsForm->addRow(QStringLiteral("出金"), cwithdrawal);
  columnsForm->addRow(QStringLiteral("入金"), cdeposit);
  columnsForm->addRow(QStringLiteral("入出金の区分"), cindicator);
  columnsForm->addRow(QStringLiteral("入金を表す語"), ein);
  columnsForm->addRow(QStringLiteral("出金を表す語"), eout);

  auto* account = new QGroupBox(QStringLiteral("口座とプロファイル"), this);
  auto* accountForm = new QFormLayout(account);
  caccount = new QComboBox(account);
  caccount->addItem(QString());
  for (const std::string& s : book_.Journal()->Subjects().Subjects())
    caccount->addItem(FromCp932(s));
  cprofile = new QComboBox(account);
  eprofile = new QLineEdit(account);
  eprofile->setPlaceholderText(QStringLiteral("例: ○○銀行 普通預金"));
  btnsave = new QPushButton(QStringLiteral("プロファイルを保存(&S)"), account);
  btndelete = new QPushButton(QStringLiteral("削除"), account);
  auto* profileButtons = new QHBoxLayout;
  profileButtons->addWidget(btnsave);
  profileButtons->addWidget(btndelete);
  accountForm->addRow(QStringLiteral("明細の口座(&K)"), caccount);
  accountForm->addRow(QStringLiteral("プロファイル(&P)"), cprofile);
  accountForm->addRow(QStringLiteral("名前"), eprofile);
  accountForm->addRow(profileButtons);
  top->addWidget(reading);
  top->addWidget(columns);
  top->addWidget(account, 1);
  layout->addLayout(top);

  lproblems = new QLabel(this);
  lproblems->setWordWrap(true);
  lproblems->setStyleSheet(QStringLiteral("color: #b00000"));
  layout->addWidget(lproblems);

  auto* splitter = new QSplitter(Qt::Vertical, this);
  sample = new QTableWidget(splitter);
  sample->setEditTriggers(QAbstractItemView::NoEditTriggers);
  grid = new QTableView(splitter);
  model_ = new PreviewModel(preview_, choices_, *book_.Journal(), this);
  grid->setModel(model_);
  QStringList subjects;
  for (const std::string& s : book_.Journal()->Subjects().Subjects()) subjects << FromCp932(s);
  grid->setItemDelegateForColumn(PreviewModel::Subject, new SubjectDelegate(subjects, grid));
  grid->setEditTriggers(QAbstractItemView::AllEditTriggers);
  grid->setSelectionBehavior(QAbstractItemView::SelectRows);
  grid->verticalHeader()->hide();
  grid->verticalHeader()->setDefaultSectionSize(20);
  grid->horizontalHeader()->setStretchLastSection(true);
  for (const auto& [column, width] : {std::pair{PreviewModel::Tick, 40},
                                      {PreviewModel::Line, 45},
                                      {PreviewModel::Date, 85},
                                      {PreviewModel::Out, 80},
                                      {PreviewModel::In, 80},
                                      {PreviewModel::Description, 230},
                                      {PreviewModel::Subject, 120}})
    grid->setColumnWidth(column, width);
  splitter->setStretchFactor(0, 1);
  splitter->setStretchFactor(1, 3);
  layout->addWidget(splitter, 1);

  auto* bottom = new QHBoxLayout;
  lcounts = new QLabel(this);
  btnrules = new QPushButton(QStringLiteral("ルール(&R)..."), this);
  btnmakerule = new QPushButton(QStringLiteral("選んだ行をルールに(&L)..."), this);
  btnok = new QPushButton(QStringLiteral("取り込む(&I)"), this);
  auto* btncancel = new QPushButton(QStringLiteral("キャンセル"), this);
  btnok->setDefault(true);
  bottom->addWidget(lcounts, 1);
  bottom->addWidget(btnrules);
  bottom->addWidget(btnmakerule);
  bottom->addWidget(btnok);
  bottom->addWidget(btncancel);
  layout->addLayout(bottom);

  for (QComboBox* c : {cencoding, cdelimiter, cdate, cdateorder, cstyle, camount, cwithdrawal,
                       cdeposit, cindicator, caccount})
    connect(c, &QComboBox::currentIndexChanged, this, &timportdialog::MappingChanged);
  for (QLineEdit* words : {ein, eout})
    connect(words, &QLineEdit::editingFinished, this, &timportdialog::MappingChanged);
  connect(cheader, &QCheckBox::toggled, this, &timportdialog::MappingChanged);
  for (QSpinBox* s : {sskiptop, sskipbottom})
    connect(s, &QSpinBox::valueChanged, this, &timportdialog::MappingChanged);
  connect(edescription, &QLineEdit::editingFinished, this, &timportdialog::MappingChanged);
  connect(cprofile, &QComboBox::activated, this, &timportdialog::ProfileChosen);
  connect(btnsave, &QPushButton::clicked, this, &timportdialog::SaveProfile);
  connect(btndelete, &QPushButton::clicked, this, &timportdialog::DeleteProfile);
  connect(btnrules, &QPushButton::clicked, this, [this] { EditRules(false); });
  connect(btnmakerule, &QPushButton::clicked, this, [this] { EditRules(true); });
  connect(btnok, &QPushButton::clicked, this, &timportdialog::Accept);
  connect(btncancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(model_, &PreviewModel::Edited, this, &timportdialog::UpdateCounts);
}

std::pair<std::vector<std::string>, int> timportdialog::Shape(const ImportProfile& p) const {
  QByteArray bytes = QByteArray::fromStdString(head_);
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::ReadOnly);
  int widest = 0, seen = 0;
  const auto outcome =
      engine::import::ReadStatement(buffer, p.Reading(), [&](engine::import::RawRecord&& r) {
        if (++seen <= 20) widest = std::max(widest, static_cast<int>(r.fields.size()));
      });
  engine::import::FieldDecoder decoder(p.encoding);
  std::vector<std::string> heading;
  for (const std::string& field : outcome.heading)
    heading.push_back(decoder.ToCp932(field).value_or(std::string()));
  return {heading, std::max(widest, static_cast<int>(heading.size()))};
}

ImportProfile timportdialog::FirstMapping() {
  const auto fits = [&](const ImportProfile& p) {
    const auto [heading, count] = Shape(p);
    return engine::import::FitProblems(p, count, heading, book_.Journal()->Subjects()).empty();
  };
  for (const ImportProfile& p : profiles_) {
    if (p.name == settings_.lastProfile && fits(p)) return p;
  }
  for (const ImportProfile& p : profiles_) {
    if (fits(p)) return p;
  }
  const Encoding encoding = engine::import::DetectEncoding(head_).encoding;
  const std::string_view firstLine = std::string_view(head_).substr(0, head_.find('\n'));
  const auto count = [&](char c) { return std::count(firstLine.begin(), firstLine.end(), c); };
  const char delimiter = count('\t') > count(',') ? '\t' : ',';
  ImportProfile probe;
  probe.encoding = encoding;
  probe.delimiter = delimiter;
  probe.header = false;
  QByteArray bytes = QByteArray::fromStdString(head_);
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::ReadOnly);
  std::vector<QString> first;
  engine::import::FieldDecoder decoder(encoding);
  engine::import::ReadStatement(buffer, probe.Reading(), [&](engine::import::RawRecord&& r) {
    if (!first.empty()) return;
    for (const std::string& field : r.fields) first.push_back(decoder.Decode(field));
  });
  return engine::import::GuessProfile(first, encoding, delimiter);
}

void timportdialog::FillColumnChoices() {
  const bool was = showing_;
  showing_ = true;
  int count = std::max(preview_.columnCount, static_cast<int>(preview_.heading.size()));
  for (const auto& [column, role] : mapping_.UsedColumns()) count = std::max(count, column);
  for (QComboBox* combo : {cdate, camount, cwithdrawal, cdeposit, cindicator}) {
    combo->clear();
    for (int c = 1; c <= count; ++c) {
      const QString heading =
          mapping_.header && static_cast<std::size_t>(c) <= preview_.heading.size()
              ? preview_.heading[static_cast<std::size_t>(c - 1)]
              : QString();
      combo->addItem(heading.isEmpty() ? QStringLiteral("列 %1").arg(c)
                                       : QStringLiteral("列 %1: %2").arg(c).arg(heading),
                     c);
    }
  }
  cdate->setCurrentIndex(ComboIndexOfData(cdate, mapping_.dateColumn));
  camount->setCurrentIndex(ComboIndexOfData(camount, mapping_.amountColumn));
  cwithdrawal->setCurrentIndex(ComboIndexOfData(cwithdrawal, mapping_.withdrawalColumn));
  cdeposit->setCurrentIndex(ComboIndexOfData(cdeposit, mapping_.depositColumn));
  cindicator->setCurrentIndex(ComboIndexOfData(cindicator, mapping_.indicatorColumn));
  const bool split = mapping_.amountStyle == AmountStyle::Split;
  const bool indicator = mapping_.amountStyle == AmountStyle::Indicator;
  camount->setEnabled(!split);
  cwithdrawal->setEnabled(split);
  cdeposit->setEnabled(split);
  for (QWidget* w : std::initializer_list<QWidget*>{cindicator, ein, eout})
    w->setEnabled(indicator);
  showing_ = was;
}

void timportdialog::ShowMapping(const ImportProfile& p) {
  showing_ = true;
  cencoding->setCurrentIndex(
      static_cast<int>(std::find(std::begin(kEncodings), std::end(kEncodings), p.encoding) -
                       std::begin(kEncodings)));
  cdelimiter->setCurrentIndex(
      static_cast<int>(std::find(std::begin(kDelimiters), std::end(kDelimiters), p.delimiter) -
                       std::begin(kDelimiters)));
  cheader->setChecked(p.header);
  sskiptop->setValue(p.skipTop);
  sskipbottom->setValue(p.skipBottom);
  cdateorder->setCurrentIndex(static_cast<int>(p.dateOrder));
  QStringList columns;
  for (const int c : p.descriptionColumns) columns << QString::number(c);
  edescription->setText(columns.join(QLatin1Char(' ')));
  cstyle->setCurrentIndex(p.amountStyle == AmountStyle::Split       ? 2
                          : p.amountStyle == AmountStyle::Indicator ? 3
                          : p.negativeIsOut                         ? 0
                                                                    : 1);
  ein->setText(WordsText(p.inWords));
  eout->setText(WordsText(p.outWords));
  caccount->setCurrentIndex(std::max(0, caccount->findText(FromCp932(p.account))));
  eprofile->setText(FromCp932(p.name));
  mapping_ = p;
  FillColumnChoices();
  showing_ = false;
}

void timportdialog::MappingChanged() {
  if (showing_) return;
  ImportProfile& p = mapping_;
  p.encoding = kEncodings[std::max(0, cencoding->currentIndex())];
  p.delimiter = kDelimiters[std::max(0, cdelimiter->currentIndex())];
  p.header = cheader->isChecked();
  p.skipTop = sskiptop->value();
  p.skipBottom = sskipbottom->value();
  p.dateColumn = cdate->currentData().toInt();
  p.dateOrder = static_cast<DateOrder>(std::max(0, cdateorder->currentIndex()));
  p.descriptionColumns.clear();
  for (const QString& part : edescription->text().split(
           QRegularExpression(QStringLiteral("[\\s,]+")), Qt::SkipEmptyParts)) {
    bool ok = false;
    const int c = part.toInt(&ok);
    if (ok && c >= 1 && c <= 1000) p.descriptionColumns.push_back(c);
  }
  const int style = cstyle->currentIndex();
  p.amountStyle = style == 2   ? AmountStyle::Split
                  : style == 3 ? AmountStyle::Indicator
                               : AmountStyle::Signed;
  p.negativeIsOut = style != 1;
  p.amountColumn = camount->currentData().toInt();
  p.withdrawalColumn = cwithdrawal->currentData().toInt();
  p.depositColumn = cdeposit->currentData().toInt();
  p.indicatorColumn = cindicator->currentData().toInt();
  p.inWords = WordsOf(ein->text());
  p.outWords = WordsOf(eout->text());
  if (p.amountStyle == AmountStyle::Indicator && p.inWords.empty() && p.outWords.empty()) {
    // The words most statements use, for the user to change where the bank's differ.
    p.inWords = {engine::Sjis("入金")};
    p.outWords = {engine::Sjis("出金")};
    const bool was = showing_;
    showing_ = true;
    ein->setText(WordsText(p.inWords));
    eout->setText(WordsText(p.outWords));
    showing_ = was;
  }
  p.account = engine::import::MessageText(caccount->currentText());
  Rebuild();
}

void timportdialog::Rebuild() {
  QFile file(path_);
  if (!file.open(QIODevice::ReadOnly)) {
    preview_ = {};
    preview_.error = engine::import::MessageText(QStringLiteral("「%1」を開けません").arg(path_));
  } else {
    std::unique_ptr<QProgressDialog> progress;
    if (file.size() > kProgressBytes) {
      progress = std::make_unique<QProgressDialog>(QStringLiteral("明細を読んでいます..."),
                                                   QStringLiteral("キャンセル"), 0, 1000, this);
      progress->setWindowModality(Qt::WindowModal);
      progress->setMinimumDuration(300);
    }
    preview_ = engine::import::BuildPreview(
        file, mapping_, *book_.Journal(), *matcher_, &book_.ImportedRows(), settings_.dateWindow,
        [&](qint64 done, qint64 total) {
          if (!progress) return true;
          progress->setValue(static_cast<int>(done * 1000 / std::max<qint64>(total, 1)));
          return !progress->wasCanceled();
        });
    // What the user chose for a row stays with it through changes of mapping and rules.
    choices_.Apply(preview_);
  }
  model_->Reset();

  sample->clear();
  sample->setRowCount(static_cast<int>(preview_.sample.size()));
  sample->setColumnCount(std::max(preview_.columnCount, static_cast<int>(preview_.heading.size())));
  QStringList headings;
  for (int c = 0; c < sample->columnCount(); ++c) {
    const QString heading = static_cast<std::size_t>(c) < preview_.heading.size()
                                ? preview_.heading[static_cast<std::size_t>(c)]
                                : QString();
    headings << (heading.isEmpty() ? QStringLiteral("列 %1").arg(c + 1)
                                   : QStringLiteral("%1: %2").arg(c + 1).arg(heading));
  }
  sample->setHorizontalHeaderLabels(headings);
  for (std::size_t r = 0; r < preview_.sample.size(); ++r) {
    for (std::size_t c = 0; c < preview_.sample[r].size(); ++c) {
      sample->setItem(static_cast<int>(r), static_cast<int>(c),
                      new QTableWidgetItem(preview_.sample[r][c]));
    }
  }

  QStringList problems;
  if (!preview_.error.empty()) problems << FromCp932(preview_.error);
  if (preview_.cancelled) problems << QStringLiteral("読み込みを取り消しました");
  for (const std::string& p : preview_.fitProblems) problems << FromCp932(p);
  lproblems->setText(problems.join(QLatin1Char('\n')));
  lproblems->setVisible(!problems.isEmpty());
  FillColumnChoices();
  UpdateCounts();
}

void timportdialog::UpdateCounts() {
  lcounts->setText(QStringLiteral("全 %1 行　取り込む %2　重複 %3　未割当 %4　読めない行 %5")
                       .arg(preview_.rows.size())
                       .arg(preview_.Ticked())
                       .arg(preview_.Duplicates())
                       .arg(preview_.Unassigned())
                       .arg(preview_.Errors()));
  btnok->setEnabled(preview_.error.empty() && !preview_.cancelled && preview_.Ticked() > 0);
}

void timportdialog::FillProfiles(const std::string& select) {
  cprofile->clear();
  cprofile->addItem(QStringLiteral("（新しい明細）"));
  for (const ImportProfile& p : profiles_) cprofile->addItem(FromCp932(p.name));
  int index = 0;
  for (std::size_t i = 0; i < profiles_.size(); ++i) {
    if (profiles_[i].name == select) index = static_cast<int>(i) + 1;
  }
  cprofile->setCurrentIndex(index);
  btndelete->setEnabled(index > 0);
}

void timportdialog::ProfileChosen(int index) {
  btndelete->setEnabled(index > 0);
  if (index <= 0) {
    mapping_.name.clear();
    eprofile->clear();
  } else {
    ShowMapping(profiles_[static_cast<std::size_t>(index - 1)]);
  }
  Rebuild();
}

void timportdialog::SaveProfile() {
  const QString name = eprofile->text().trimmed();
  const auto cpName = engine::ToCp932(name);
  if (name.isEmpty() || !cpName) {
    ShowMessage(this, name.isEmpty() ? QStringLiteral("プロファイルの名前を入れてください")
                                     : QStringLiteral("「%1」は Shift_JIS で書けません")
                                           .arg(engine::FirstNonCp932Character(name)));
    return;
  }
  ImportProfile p = mapping_;
  p.name = *cpName;
  p.headings.clear();
  if (p.header) {
    for (const QString& h : preview_.heading) p.headings.push_back(engine::import::MessageText(h));
  }
  const engine::import::ProfileStore store(book_.ImportProfilePath());
  try {
    store.Save(p);
    profiles_ = store.Load();
  } catch (const engine::Error& e) {
    ShowMessage(this, FromCp932(e.Message()));
    return;
  }
  mapping_ = p;
  FillProfiles(p.name);
  engine::import::SetProfileName(preview_, p.name, &book_.ImportedRows());
  model_->Reset();
  UpdateCounts();
}

void timportdialog::DeleteProfile() {
  const int index = cprofile->currentIndex();
  if (index <= 0) return;
  const ImportProfile& p = profiles_[static_cast<std::size_t>(index - 1)];
  if (!AskYesNo(this, QStringLiteral("プロファイル「%1」を削除しますか?").arg(FromCp932(p.name))))
    return;
  const engine::import::ProfileStore store(book_.ImportProfilePath());
  try {
    store.Remove(p.name);
    profiles_ = store.Load();
  } catch (const engine::Error& e) {
    ShowMessage(this, FromCp932(e.Message()));
    return;
  }
  mapping_.name.clear();
  FillProfiles({});
  eprofile->clear();
}

void timportdialog::EditRules(bool fromSelectedRow) {
  QStringList subjects;
  for (const std::string& s : book_.Journal()->Subjects().Subjects()) subjects << FromCp932(s);
  timportrulesdialog dialog(rules_, settings_, book_.ImportRulePath(), subjects, this);
  if (fromSelectedRow) {
    const int row = grid->currentIndex().row();
    if (row < 0 || static_cast<std::size_t>(row) >= preview_.rows.size() ||
        preview_.rows[static_cast<std::size_t>(row)].description.empty()) {
      ShowMessage(this, QStringLiteral("ルールにする行を選んでください"));
      return;
    }
    const engine::import::PreviewRow& r = preview_.rows[static_cast<std::size_t>(row)];
    engine::import::ImportRule rule;
    rule.pattern = LiteralPattern(r.description);
    rule.subject = r.subject;
    dialog.AddRule(rule);
  }
  if (dialog.exec() != QDialog::Accepted) return;
  rules_ = dialog.Rules();
  settings_ = dialog.Settings();
  matcher_.emplace(rules_);
  Rebuild();
}

void timportdialog::Accept() {
  if (preview_.Ticked() == 0) {
    ShowMessage(this, QStringLiteral("取り込む行がありません"));
    return;
  }
  try {
    summary_ = engine::import::CommitImport(*book_.Journal(), book_.ImportedRows(), preview_);
  } catch (const engine::Error& e) {
    ShowMessage(this, FromCp932(e.Message()));
    return;
  }
  if (!mapping_.name.empty() && mapping_.name != settings_.lastProfile) {
    settings_.lastProfile = mapping_.name;
    // Only a convenience for next time: the import itself is done whatever comes of it.
    try {
      engine::import::RuleFile(book_.ImportRulePath()).Save(rules_, settings_);
    } catch (const engine::Error&) {
    }
  }
  accept();
}

}  // namespace desktop
