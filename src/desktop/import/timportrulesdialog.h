#pragma once

#include <QStringList>
#include <vector>

#include "desktop/base/tacc_dialog.h"
#include "engine/import/import_rules.h"

class QPushButton;
class QSpinBox;
class QTableWidget;

namespace desktop {

// "取り込みルール": the ordered rules, each a pattern on the description (with or without
// the dictionary of widths), an optional amount range and direction, the subject and an
// optional summary. OK checks every rule and writes the rules file beside the book.
class timportrulesdialog : public TAccDialog {
  Q_OBJECT

 public:
  timportrulesdialog(std::vector<engine::import::ImportRule> rules,
                     engine::import::ImportSettings settings, QString rulePath,
                     QStringList subjects, QWidget* parent = nullptr);

  // The rules as saved, after OK.
  const std::vector<engine::import::ImportRule>& Rules() const { return rules_; }
  const engine::import::ImportSettings& Settings() const { return settings_; }
  // Appends a rule and selects it, for "ルールにする" from a preview row.
  void AddRule(const engine::import::ImportRule& rule);

  QTableWidget* grid = nullptr;
  QPushButton* btnadd = nullptr;
  QPushButton* btndelete = nullptr;
  QPushButton* btnup = nullptr;
  QPushButton* btndown = nullptr;
  QPushButton* btnok = nullptr;
  // Days either side within which a journal line of the same amount counts as a duplicate.
  QSpinBox* swindow = nullptr;

 private:
  enum Column {
    Pattern,
    Dictionary,
    Min,
    Max,
    DirectionColumn,
    SubjectColumn,
    Summary,
    ColumnCount
  };
  void SetRow(int row, const engine::import::ImportRule& rule);
  void MoveRow(int delta);
  void Accept();

  std::vector<engine::import::ImportRule> rules_;
  engine::import::ImportSettings settings_;
  QString rulePath_;
  QStringList subjects_;
};

}  // namespace desktop
