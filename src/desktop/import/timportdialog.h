#pragma once

#include <QString>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "desktop/base/tacc_dialog.h"
#include "engine/import/import_profile.h"
#include "engine/import/import_rules.h"
#include "engine/import/import_session.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTableView;
class QTableWidget;

namespace engine {
class Book;
}

namespace desktop {

class PreviewModel;

// "明細の取り込み": maps a bank or card statement's columns, shows every row as it would
// enter the journal (with its other side, duplicates and unreadable rows), lets the user
// tick rows and pick subjects, and appends the ticked rows to the journal in one step.
class timportdialog : public TAccDialog {
  Q_OBJECT

 public:
  // Reads the book's import files and the statement's first bytes. When something is
  // damaged or the file is no text, Problem() says so and the dialog must not be shown.
  timportdialog(engine::Book& book, QString statementPath, QWidget* parent = nullptr);
  ~timportdialog() override;

  // The whole command: the journal's editor committed, the dialog shown, the summary told.
  static void Run(engine::Book& book, const QString& statementPath, QWidget* parent);

  const QString& Problem() const { return problem_; }
  engine::import::ImportPreview& Preview() { return preview_; }
  const engine::import::ImportProfile& Mapping() const { return mapping_; }
  // What the import did, after OK.
  const engine::import::ImportSummary& Summary() const { return summary_; }
  // Opens the rules dialog (optionally with a new rule from the selected row).
  void EditRules(bool fromSelectedRow);

  QComboBox* cprofile = nullptr;
  QLineEdit* eprofile = nullptr;
  QPushButton* btnsave = nullptr;
  QPushButton* btndelete = nullptr;
  QComboBox* cencoding = nullptr;
  QComboBox* cdelimiter = nullptr;
  QCheckBox* cheader = nullptr;
  QSpinBox* sskiptop = nullptr;
  QSpinBox* sskipbottom = nullptr;
  QComboBox* cdate = nullptr;
  QComboBox* cdateorder = nullptr;
  QLineEdit* edescription = nullptr;
  QComboBox* cstyle = nullptr;
  QComboBox* camount = nullptr;
  QComboBox* cwithdrawal = nullptr;
  QComboBox* cdeposit = nullptr;
  QComboBox* cindicator = nullptr;
  QLineEdit* ein = nullptr;
  QLineEdit* eout = nullptr;
  QComboBox* caccount = nullptr;
  QLabel* lproblems = nullptr;
  QTableWidget* sample = nullptr;
  QTableView* grid = nullptr;
  QLabel* lcounts = nullptr;
  QPushButton* btnrules = nullptr;
  QPushButton* btnmakerule = nullptr;
  QPushButton* btnok = nullptr;

 private:
  void BuildControls();
  // Puts a mapping into the controls without rebuilding for each one.
  void ShowMapping(const engine::import::ImportProfile& profile);
  // Reads the controls into the mapping and builds the preview anew.
  void MappingChanged();
  void Rebuild();
  void FillColumnChoices();
  void FillProfiles(const std::string& select);
  void ProfileChosen(int index);
  void SaveProfile();
  void DeleteProfile();
  void UpdateCounts();
  void Accept();
  // The heading and the widest record of the first bytes under a mapping.
  std::pair<std::vector<std::string>, int> Shape(const engine::import::ImportProfile& p) const;
  engine::import::ImportProfile FirstMapping();

  engine::Book& book_;
  QString path_;
  QString problem_;
  std::string head_;  // the first bytes of the statement
  std::vector<engine::import::ImportProfile> profiles_;
  std::vector<engine::import::ImportRule> rules_;
  engine::import::ImportSettings settings_;
  std::optional<engine::import::RuleMatcher> matcher_;
  engine::import::ImportProfile mapping_;
  engine::import::ImportPreview preview_;
  engine::import::PreviewChoices choices_;
  engine::import::ImportSummary summary_;
  PreviewModel* model_ = nullptr;
  bool showing_ = false;
};

}  // namespace desktop
