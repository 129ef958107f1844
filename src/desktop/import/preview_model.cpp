#include "desktop/import/preview_model.h"

#include <QBrush>
#include <QColor>
#include <QComboBox>
#include <QLocale>

#include "engine/base/cp932.h"
#include "engine/tables/journal_grid.h"

namespace desktop {

namespace {

using engine::FromCp932;
using engine::import::Assignment;
using engine::import::PreviewRow;

QString DateText(const engine::Date& date) {
  return QStringLiteral("%1/%2/%3")
      .arg(date.year, 4, 10, QLatin1Char('0'))
      .arg(date.month, 2, 10, QLatin1Char('0'))
      .arg(date.day, 2, 10, QLatin1Char('0'));
}

QString Amount(std::int64_t value) {
  return QLocale(QLocale::Japanese).toString(value);
}

}  // namespace

PreviewModel::PreviewModel(engine::import::ImportPreview& preview,
                           engine::import::PreviewChoices& choices,
                           const engine::TJournalGrid& journal, QObject* parent)
    : QAbstractTableModel(parent), preview_(preview), choices_(choices), journal_(journal) {}

void PreviewModel::Reset() {
  beginResetModel();
  endResetModel();
}

int PreviewModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(preview_.rows.size());
}

int PreviewModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : ColumnCount;
}

QString PreviewModel::StatusText(int index) const {
  const PreviewRow& row = preview_.rows[static_cast<std::size_t>(index)];
  if (!row.error.empty()) return QStringLiteral("エラー: ") + FromCp932(row.error);
  QString text;
  if (row.importedBefore) text = QStringLiteral("取り込み済み");
  if (row.matchRow > 0) {
    if (!text.isEmpty()) text += QStringLiteral(" / ");
    const int r = row.matchRow;
    text += QStringLiteral("重複の可能性: 仕訳帳 %1 行目 %2 %3 %4")
                .arg(r)
                .arg(FromCp932(journal_.Cell(1, r)), FromCp932(journal_.Cell(2, r)),
                     FromCp932(journal_.Cell(4, r)));
  }
  if (!text.isEmpty()) return text;
  switch (row.assignment) {
    case Assignment::Rule:
      return QStringLiteral("ルール %1").arg(row.rule + 1);
    case Assignment::History:
      return QStringLiteral("前回と同じ科目");
    case Assignment::User:
      return QStringLiteral("手で指定");
    case Assignment::None:
      break;
  }
  return row.note.empty() ? QStringLiteral("未割当")
                          : QStringLiteral("未割当（%1）").arg(FromCp932(row.note));
}

QVariant PreviewModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  const PreviewRow& row = preview_.rows[static_cast<std::size_t>(index.row())];
  const bool ok = row.error.empty();
  if (role == Qt::CheckStateRole && index.column() == Tick)
    return row.ticked ? Qt::Checked : Qt::Unchecked;
  if (role == Qt::BackgroundRole) {
    if (!ok) return QBrush(QColor(255, 215, 215));
    if (row.IsDuplicate()) return QBrush(QColor(255, 240, 190));
    if (row.subject.empty()) return QBrush(QColor(215, 230, 255));
    return {};
  }
  if (role == Qt::TextAlignmentRole &&
      (index.column() == Out || index.column() == In || index.column() == Line))
    return int(Qt::AlignRight | Qt::AlignVCenter);
  if (role != Qt::DisplayRole && role != Qt::EditRole && role != Qt::ToolTipRole) return {};
  switch (index.column()) {
    case Line:
      return QString::number(row.line);
    case Date:
      return ok ? DateText(row.date) : QString();
    case Out:
      return ok && row.amount < 0 ? Amount(-static_cast<std::int64_t>(row.amount)) : QString();
    case In:
      return ok && row.amount > 0 ? Amount(row.amount) : QString();
    case Description:
      return FromCp932(row.summary.empty() ? row.description : row.summary);
    case Subject:
      return FromCp932(row.subject);
    case Status:
      return StatusText(index.row());
    default:
      return {};
  }
}

QVariant PreviewModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
  static const char* const kCaptions[] = {"取込", "行",   "日付",     "出金",
                                          "入金", "摘要", "相手科目", "状態"};
  return QString::fromUtf8(kCaptions[section]);
}

Qt::ItemFlags PreviewModel::flags(const QModelIndex& index) const {
  Qt::ItemFlags flags = QAbstractTableModel::flags(index);
  if (!index.isValid()) return flags;
  const PreviewRow& row = preview_.rows[static_cast<std::size_t>(index.row())];
  if (!row.error.empty()) return flags;
  if (index.column() == Tick) flags |= Qt::ItemIsUserCheckable;
  if (index.column() == Subject) flags |= Qt::ItemIsEditable;
  return flags;
}

bool PreviewModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (!index.isValid()) return false;
  PreviewRow& row = preview_.rows[static_cast<std::size_t>(index.row())];
  if (!row.error.empty()) return false;
  if (index.column() == Tick && role == Qt::CheckStateRole) {
    row.ticked = value.toInt() == Qt::Checked;
    choices_.Tick(row, row.ticked);
  } else if (index.column() == Subject && role == Qt::EditRole) {
    auto subject = engine::ToCp932(value.toString());
    if (!subject) return false;
    engine::import::AssignSubject(preview_, index.row(), *subject);
    choices_.Subject(row, *subject);
  } else {
    return false;
  }
  emit dataChanged(this->index(index.row(), 0), this->index(index.row(), ColumnCount - 1));
  emit Edited();
  return true;
}

QWidget* SubjectDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&,
                                       const QModelIndex&) const {
  auto* combo = new QComboBox(parent);
  combo->addItem(QString());
  combo->addItems(subjects_);
  return combo;
}

void SubjectDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
  auto* combo = static_cast<QComboBox*>(editor);
  combo->setCurrentIndex(std::max(0, combo->findText(index.data(Qt::EditRole).toString())));
}

void SubjectDelegate::setModelData(QWidget* editor, QAbstractItemModel* model,
                                   const QModelIndex& index) const {
  model->setData(index, static_cast<QComboBox*>(editor)->currentText(), Qt::EditRole);
}

}  // namespace desktop
