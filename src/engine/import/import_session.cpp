#include "engine/import/import_session.h"

#include <QIODevice>
#include <algorithm>
#include <cstdio>
#include <optional>
#include <unordered_map>

#include "engine/base/cp932.h"
#include "engine/base/error.h"
#include "engine/history/history.h"
#include "engine/import/field_parsers.h"
#include "engine/import/import_history.h"
#include "engine/import/journal_index.h"
#include "engine/tables/journal_grid.h"
#include "engine/tables/table_host.h"

namespace engine::import {

namespace {

// TABs and line breaks would split the journal file's line.
void Flatten(std::string& text) {
  for (char& c : text) {
    if (static_cast<unsigned char>(c) < 0x20) c = ' ';
  }
}

const std::string* Field(const RawRecord& record, int column) {
  if (column < 1 || static_cast<std::size_t>(column) > record.fields.size()) return nullptr;
  return &record.fields[static_cast<std::size_t>(column - 1)];
}

std::string LongDescription() {
  return MessageText(
      QStringLiteral("摘要が長すぎます（%1 バイトまで）。摘要にする列を見直してください")
          .arg(kMaxDescriptionBytes));
}

std::string MissingColumn(const char* role, int column) {
  return MessageText(
      QStringLiteral("%1の列 %2 がありません").arg(QString::fromUtf8(role)).arg(column));
}

// Reads one data record into a row; the row's error says why it can't be imported.
class RowBuilder {
 public:
  RowBuilder(const ImportProfile& profile, int currentYear)
      : profile_(profile), decoder_(profile.encoding), year_(currentYear) {
    for (const std::string& word : profile.inWords)
      inKeys_.push_back(ComparisonKey(FromCp932(word)));
    for (const std::string& word : profile.outWords)
      outKeys_.push_back(ComparisonKey(FromCp932(word)));
  }

  PreviewRow Build(const RawRecord& record, QString& key) {
    PreviewRow row;
    row.line = record.line;
    row.error = record.error;
    if (row.error.empty()) row.error = EncodingProblem(record, profile_.encoding);
    if (!row.error.empty()) return row;

    const std::string* date = Field(record, profile_.dateColumn);
    if (!date) {
      row.error = MissingColumn("日付", profile_.dateColumn);
      return row;
    }
    const auto parsedDate = ParseStatementDate(decoder_.Decode(*date), profile_.dateOrder, year_);
    if (!parsedDate.ok()) {
      row.error = parsedDate.reason;
      return row;
    }
    row.date = *parsedDate.value;

    if (!ReadAmount(record, row)) return row;

    // Every row's text is held for the preview: a bounded length bounds the memory a huge
    // statement can take. A field far too long is refused before it is decoded.
    std::size_t raw = 0;
    for (const int column : profile_.descriptionColumns) {
      const std::string* field = Field(record, column);
      if (!field) {
        row.error = MissingColumn("摘要", column);
        return row;
      }
      raw += field->size();
    }
    if (raw > 3 * kMaxDescriptionBytes) {
      row.error = LongDescription();
      return row;
    }
    QString text;
    for (const int column : profile_.descriptionColumns) {
      const std::string* field = Field(record, column);
      const QString part = decoder_.Decode(*field).trimmed();
      if (part.isEmpty()) continue;
      if (!text.isEmpty()) text += QLatin1Char(' ');
      text += part;
    }
    auto description = ToCp932(text);
    if (!description) {
      row.error = MessageText(QStringLiteral("摘要に Shift_JIS で書けない文字「%1」があります")
                                  .arg(FirstNonCp932Character(text)));
      return row;
    }
    if (description->size() > kMaxDescriptionBytes) {
      row.error = LongDescription();
      return row;
    }
    row.description = std::move(*description);
    Flatten(row.description);
    key = ComparisonKey(text);
    return row;
  }

 private:
  bool ReadAmount(const RawRecord& record, PreviewRow& row) {
    if (profile_.amountStyle != AmountStyle::Split) {
      const std::string* field = Field(record, profile_.amountColumn);
      if (!field) {
        row.error = MissingColumn("金額", profile_.amountColumn);
        return false;
      }
      const auto amount = ParseStatementAmount(decoder_.Decode(*field));
      if (!amount.reason.empty()) {
        row.error = amount.reason;
        return false;
      }
      const std::int32_t value = amount.value.value_or(0);
      if (profile_.amountStyle == AmountStyle::Signed) {
        row.amount = profile_.negativeIsOut ? value : -value;
      } else if (!Field(record, profile_.indicatorColumn)) {
        row.error = MissingColumn("入出金", profile_.indicatorColumn);
        return false;
      } else {
        const auto out = Direction(record);
        if (!out) {
          row.error =
              indicator_.isEmpty()
                  ? Sjis("入出金の列が空です")
                  : MessageText(
                        QStringLiteral("入出金の列の「%1」は入金の語とも出金の語とも合いません")
                            .arg(indicator_));
          return false;
        }
        // A negative amount marked out is money coming back, as a refund is.
        row.amount = *out ? -value : value;
      }
    } else {
      const std::string* out = Field(record, profile_.withdrawalColumn);
      const std::string* in = Field(record, profile_.depositColumn);
      if (!out || !in) {
        row.error = !out ? MissingColumn("出金", profile_.withdrawalColumn)
                         : MissingColumn("入金", profile_.depositColumn);
        return false;
      }
      const auto paid = ParseStatementAmount(decoder_.Decode(*out));
      const auto received = ParseStatementAmount(decoder_.Decode(*in));
      if (!paid.reason.empty() || !received.reason.empty()) {
        row.error = !paid.reason.empty() ? paid.reason : received.reason;
        return false;
      }
      const std::int32_t p = paid.value.value_or(0), r = received.value.value_or(0);
      if (p != 0 && r != 0) {
        row.error = Sjis("出金と入金の両方に金額があります");
        return false;
      }
      // A negative withdrawal is a refund: money in.
      row.amount = p != 0 ? -p : r;
    }
    if (row.amount == 0) {
      row.error = Sjis("金額がありません");
      return false;
    }
    return true;
  }

  // True for money out, false for money in, nothing when the indicator's word is neither
  // (then indicator_ holds it for the message).
  std::optional<bool> Direction(const RawRecord& record) {
    indicator_ = decoder_.Decode(*Field(record, profile_.indicatorColumn)).trimmed();
    const QString key = ComparisonKey(indicator_);
    if (key.isEmpty()) return std::nullopt;
    if (std::find(outKeys_.begin(), outKeys_.end(), key) != outKeys_.end()) return true;
    if (std::find(inKeys_.begin(), inKeys_.end(), key) != inKeys_.end()) return false;
    return std::nullopt;
  }

  const ImportProfile& profile_;
  FieldDecoder decoder_;
  int year_;
  std::vector<QString> inKeys_;
  std::vector<QString> outKeys_;
  QString indicator_;
};

}  // namespace

int ImportPreview::Ticked() const {
  return static_cast<int>(
      std::count_if(rows.begin(), rows.end(), [](auto& r) { return r.ticked; }));
}
int ImportPreview::Duplicates() const {
  return static_cast<int>(std::count_if(
      rows.begin(), rows.end(), [](auto& r) { return r.error.empty() && r.IsDuplicate(); }));
}
int ImportPreview::Unassigned() const {
  return static_cast<int>(std::count_if(
      rows.begin(), rows.end(), [](auto& r) { return r.error.empty() && r.subject.empty(); }));
}
int ImportPreview::Errors() const {
  return static_cast<int>(
      std::count_if(rows.begin(), rows.end(), [](auto& r) { return !r.error.empty(); }));
}

ImportPreview BuildPreview(QIODevice& in, const ImportProfile& profile, const TJournalGrid& journal,
                           const RuleMatcher& rules, const ImportHistory* history, int dateWindow,
                           const ProgressFn& progress) {
  ImportPreview preview;
  preview.account = profile.account;
  preview.profileName = profile.name;
  const int year = Today().year();
  RowBuilder builder(profile, year);
  FieldDecoder decoder(profile.encoding);
  std::vector<QString> keys;
  std::unordered_map<std::uint64_t, int> occurrences;
  const ReadOutcome outcome = ReadStatement(
      in, profile.Reading(),
      [&](RawRecord&& record) {
        if (preview.sample.size() < static_cast<std::size_t>(kSampleRows)) {
          std::vector<QString> texts;
          for (const std::string& field : record.fields) texts.push_back(decoder.Decode(field));
          preview.sample.push_back(std::move(texts));
        }
        preview.columnCount = std::max(preview.columnCount, static_cast<int>(record.fields.size()));
        QString key;
        PreviewRow row = builder.Build(record, key);
        row.recordHash = RecordHash(record);
        row.occurrence = ++occurrences[row.recordHash];
        row.fingerprint = Fingerprint(profile.name, row.recordHash, row.occurrence);
        preview.rows.push_back(std::move(row));
        keys.push_back(std::move(key));
      },
      progress);
  preview.error = outcome.error;
  preview.cancelled = outcome.cancelled;
  std::vector<std::string> heading;
  for (const std::string& field : outcome.heading) {
    preview.heading.push_back(decoder.Decode(field));
    heading.push_back(decoder.ToCp932(field).value_or(std::string()));
  }
  if (profile.header)
    preview.columnCount = std::max(preview.columnCount, static_cast<int>(heading.size()));
  preview.fitProblems = FitProblems(profile, preview.columnCount, heading, journal.Subjects());
  if (!preview.error.empty() || preview.cancelled) return preview;

  JournalIndex index(journal, profile.account, year);
  for (std::size_t i = 0; i < preview.rows.size(); ++i) {
    PreviewRow& row = preview.rows[i];
    if (!row.error.empty()) continue;
    row.summary = row.description;
    const int rule = rules.Match(row.description, row.amount);
    std::vector<QString> rowKeys{keys[i]};
    if (rule >= 0) {
      const ImportRule& r = rules.Rule(rule);
      row.rule = rule;
      row.assignment = Assignment::Rule;
      row.subject = r.subject;
      if (!r.summary.empty()) {
        row.summary = r.summary;
        rowKeys.push_back(ComparisonKey(FromCp932(r.summary)));
      }
    } else if (std::string proposal = index.Proposal(keys[i], row.Out()); !proposal.empty()) {
      row.subject = std::move(proposal);
      row.assignment = Assignment::History;
    }
    if (!row.subject.empty() &&
        (row.subject == profile.account || !journal.Subjects().Contains(row.subject))) {
      row.note = MessageText(QStringLiteral("科目「%1」は使えません").arg(FromCp932(row.subject)));
      row.subject.clear();
      row.assignment = Assignment::None;
    }
    // A row known by its fingerprint still claims its journal line, so that the line can't
    // pass for the duplicate of a new row next to it.
    row.importedBefore = history && history->Contains(row.fingerprint);
    const std::int32_t size = row.amount < 0 ? -row.amount : row.amount;
    row.matchRow = index.ClaimDuplicate(row.Out(), size, row.date.Days(), dateWindow, rowKeys);
    row.ticked = !row.IsDuplicate();
  }
  return preview;
}

void SetProfileName(ImportPreview& preview, std::string name, const ImportHistory* history) {
  preview.profileName = std::move(name);
  for (PreviewRow& row : preview.rows) {
    row.fingerprint = Fingerprint(preview.profileName, row.recordHash, row.occurrence);
    row.importedBefore = history && history->Contains(row.fingerprint);
  }
}

void AssignSubject(ImportPreview& preview, int index, std::string subject) {
  if (index < 0 || static_cast<std::size_t>(index) >= preview.rows.size()) return;
  PreviewRow& row = preview.rows[static_cast<std::size_t>(index)];
  row.subject = std::move(subject);
  row.assignment = row.subject.empty() ? Assignment::None : Assignment::User;
  row.note.clear();
}

namespace {

// The fingerprints an import noted: undoing the import forgets them, so that the rows it
// took back can be imported again.
class PendingRowsAdded : public Change {
 public:
  PendingRowsAdded(ImportHistory& history, std::string profile, std::vector<std::uint64_t> rows)
      : history_(history), profile_(std::move(profile)), rows_(std::move(rows)) {}
  void Undo() override { history_.Forget(rows_); }
  void Redo() override { history_.AddPending(profile_, rows_); }
  std::size_t Bytes() const override {
    return sizeof(*this) + profile_.size() + rows_.size() * sizeof(std::uint64_t);
  }

 private:
  ImportHistory& history_;
  std::string profile_;
  std::vector<std::uint64_t> rows_;
};

}  // namespace

bool PreviewChoices::Choice::Fits(const PreviewRow& row) const {
  return date == row.date && amount == row.amount && description == row.description;
}

PreviewChoices::Choice& PreviewChoices::For(const PreviewRow& row) {
  Choice& choice = choices_[{row.recordHash, row.occurrence}];
  if (!choice.Fits(row)) {
    // What was chosen for the row as it read before doesn't hold for it as it reads now.
    choice = {row.date, row.amount, row.description, std::nullopt, std::nullopt};
  }
  return choice;
}

void PreviewChoices::Tick(const PreviewRow& row, bool ticked) {
  For(row).ticked = ticked;
}

void PreviewChoices::Subject(const PreviewRow& row, const std::string& subject) {
  For(row).subject = subject;
}

void PreviewChoices::Apply(ImportPreview& preview) const {
  for (std::size_t i = 0; i < preview.rows.size(); ++i) {
    PreviewRow& row = preview.rows[i];
    if (!row.error.empty()) continue;
    const auto it = choices_.find({row.recordHash, row.occurrence});
    if (it == choices_.end()) continue;
    const Choice& choice = it->second;
    if (!choice.Fits(row)) continue;
    if (choice.subject) AssignSubject(preview, static_cast<int>(i), *choice.subject);
    if (choice.ticked) row.ticked = *choice.ticked;
  }
}

ImportSummary CommitImport(TJournalGrid& journal, ImportHistory& history,
                           const ImportPreview& preview) {
  // The whole import is one step for undo.
  History* changes = journal.Host().Changes();
  HistoryStep step(changes, Sjis("明細の取り込み"));
  if (preview.account.empty() || !journal.Subjects().Contains(preview.account)) {
    throw Error(MessageText(QStringLiteral("口座の科目「%1」がこの家計簿にありません")
                                .arg(FromCp932(preview.account))));
  }
  ImportSummary summary;
  std::vector<std::array<std::string, 6>> texts;
  std::vector<std::uint64_t> fingerprints;
  for (const PreviewRow& row : preview.rows) {
    if (!row.error.empty()) {
      ++summary.errors;
      continue;
    }
    if (!row.ticked) {
      if (row.IsDuplicate()) {
        ++summary.duplicatesSkipped;
        fingerprints.push_back(row.fingerprint);
      } else {
        ++summary.untickedOthers;
      }
      continue;
    }
    // A subject that is the account itself would make a line the journal refuses to post.
    const std::string other = row.subject == preview.account ? std::string() : row.subject;
    if (other.empty()) ++summary.unassigned;
    char date[16];
    std::snprintf(date, sizeof date, "%02d/%02d/%02d", row.date.year % 100, row.date.month,
                  row.date.day);
    const std::int64_t size = row.amount < 0 ? -static_cast<std::int64_t>(row.amount) : row.amount;
    const std::string amount = std::to_string(size);
    std::string text = row.summary;
    Flatten(text);
    if (row.Out()) {
      texts.push_back({date, amount, other, text, preview.account, amount});
    } else {
      texts.push_back({date, amount, preview.account, text, other, amount});
    }
    fingerprints.push_back(row.fingerprint);
    ++summary.added;
  }
  std::vector<RowTexts> lines;
  lines.reserve(texts.size());
  for (const auto& t : texts) lines.push_back({t[0], t[1], t[2], t[3], t[4], t[5]});
  journal.AppendLines(lines);
  if (!lines.empty()) journal.Host().SetModified();
  std::vector<std::uint64_t> noted = history.AddPending(preview.profileName, fingerprints);
  if (changes && changes->Recording() && !noted.empty()) {
    changes->Record(
        std::make_unique<PendingRowsAdded>(history, preview.profileName, std::move(noted)));
  }
  return summary;
}

std::string SummaryText(const ImportSummary& s) {
  QString text = QStringLiteral("%1 行を仕訳帳に追加しました（未転記）。").arg(s.added);
  if (s.duplicatesSkipped)
    text += QStringLiteral("\n重複として %1 行を除きました。").arg(s.duplicatesSkipped);
  if (s.unassigned) {
    text +=
        QStringLiteral("\n%1 行は相手科目が未割当です。科目を入れるまで転記も保存もされません。")
            .arg(s.unassigned);
  }
  if (s.errors) text += QStringLiteral("\n読めなかった %1 行は取り込んでいません。").arg(s.errors);
  if (s.untickedOthers)
    text += QStringLiteral("\n選ばなかった %1 行は取り込んでいません。").arg(s.untickedOthers);
  return MessageText(text);
}

}  // namespace engine::import
