#pragma once

#include <QAbstractTableModel>
#include <QStringList>
#include <QStyledItemDelegate>

#include "engine/import/import_session.h"

namespace engine {
class TJournalGrid;
}

namespace desktop {

// The statement rows as they would enter the journal: a tick per row, the other side's
// subject editable, and what the engine found (rule, history, duplicate, error) as a status.
class PreviewModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  enum Column { Tick, Line, Date, Out, In, Description, Subject, Status, ColumnCount };

  // The user's ticks and subjects are also told to `choices`, which keeps them for the
  // previews built after.
  PreviewModel(engine::import::ImportPreview& preview, engine::import::PreviewChoices& choices,
               const engine::TJournalGrid& journal, QObject* parent = nullptr);

  // The preview was built anew.
  void Reset();

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role) override;

  // The status text of a row, as the grid shows it.
  QString StatusText(int row) const;

 signals:
  void Edited();

 private:
  engine::import::ImportPreview& preview_;
  engine::import::PreviewChoices& choices_;
  const engine::TJournalGrid& journal_;
};

// The subject chooser of the preview's subject column: the book's subjects and an empty
// choice for "unassigned".
class SubjectDelegate : public QStyledItemDelegate {
 public:
  SubjectDelegate(QStringList subjects, QObject* parent)
      : QStyledItemDelegate(parent), subjects_(std::move(subjects)) {}
  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                        const QModelIndex& index) const override;
  void setEditorData(QWidget* editor, const QModelIndex& index) const override;
  void setModelData(QWidget* editor, QAbstractItemModel* model,
                    const QModelIndex& index) const override;

 private:
  QStringList subjects_;
};

}  // namespace desktop
