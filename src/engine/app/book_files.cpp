// The book's files around opening and saving: a save left half done by a crash, temporaries,
// files that moved with a copied book, missing ledgers, unreadable lines, and files another
// program changed.

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>

#include "engine/app/book.h"
#include "engine/base/atomic_saver.h"
#include "engine/base/cp932.h"
#include "engine/base/error.h"
#include "engine/base/text_file.h"
#include "engine/base/ui.h"
#include "engine/tables/journal_grid.h"
#include "engine/tables/ledger_grid.h"

namespace engine {

namespace {

QString Path(std::string_view cp932) {
  return PathFromCp932(cp932);
}

bool IsFile(const std::string& path) {
  return QFileInfo(Path(path)).isFile();
}

std::string FileNameOf(const std::string& path) {
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string PathList(const std::vector<std::string>& paths) {
  std::string text;
  for (const auto& path : paths) text += "  " + path + "\n";
  return text;
}

}  // namespace

void Book::RecoverSave(const std::string& path) {
  const QStringList done = AtomicSaver::Recover(Path(SaveRecordPath(path)));
  if (done.isEmpty()) return;
  std::string text = Sjis("前回の保存が途中で終わっていたため、保存を完了しました:\n");
  for (const QString& file : done) text += "  " + PathToCp932(file).value_or(std::string()) + "\n";
  ui_.Message(text);
}

void Book::RemoveTemporaries(const std::string& path, const std::vector<std::string>& index) {
  AtomicSaver::RemoveTemporariesOf(Path(path));
  for (const auto& line : index) {
    if (!line.empty()) AtomicSaver::RemoveTemporariesOf(Path(line));
  }
  // Temporaries of ledgers whose subjects were deleted since lie under names the index lost.
  QDir folder(Path(FolderOf(path)));
  for (const QString& name :
       folder.entryList({QString("*") + AtomicSaver::kTempSuffix}, QDir::Files | QDir::Hidden)) {
    folder.remove(name);
  }
}

void Book::ResolveMovedFiles(std::vector<std::string>& index) {
  std::vector<std::size_t> conflicts;
  for (std::size_t i = 0; i < index.size(); ++i) {
    std::string& path = index[i];
    if (path.empty() || FolderOf(path) == folder_) continue;
    const std::string local = folder_ + FileNameOf(path);
    if (!IsFile(local)) continue;  // lists deliberately kept elsewhere stay where they are
    if (!IsFile(path) || i >= 3) {
      // The book moved, or the table is one the save writes into the book folder anyway: the
      // index still names the old place; the next save writes the new one.
      path = local;
    } else {
      conflicts.push_back(i);
    }
  }
  // The files outside chosen before are not asked about again.
  const std::string keptPath = indexPath_ + ".zentabo-shared";
  std::vector<std::string> kept;
  if (IsFile(keptPath)) kept = ReadTextLines(Path(keptPath));
  std::erase_if(conflicts, [&](std::size_t i) {
    return std::find(kept.begin(), kept.end(), index[i]) != kept.end();
  });
  if (conflicts.empty()) return;
  std::string question = Sjis(
      "家計簿ファイルが指すファイルと同じ名前のファイルが、家計簿のフォルダにもあります"
      "（コピーされた家計簿かもしれません）。\n");
  for (const std::size_t i : conflicts) {
    question += Sjis("\n家計簿ファイルが指すファイル: ") + index[i] +
                Sjis("\n家計簿のフォルダのファイル: ") + folder_ + FileNameOf(index[i]) + "\n";
  }
  question += Sjis(
      "\n家計簿のフォルダのファイルを使いますか ?\n"
      "（いいえ: 家計簿ファイルが指すファイルを使います）");
  if (!ui_.AskYesNo(question)) {
    for (const std::size_t i : conflicts) kept.push_back(index[i]);
    // Only a reminder: a book that can't keep it is asked again next time.
    try {
      WriteTextLines(Path(keptPath), kept);
    } catch (const Error&) {
    }
    return;
  }
  for (const std::size_t i : conflicts) index[i] = folder_ + FileNameOf(index[i]);
}

void Book::LoadLedgers(const std::vector<std::string>& index) {
  std::vector<std::string> missing;
  std::vector<TLedgerGrid*> rebuilt;
  for (std::size_t i = 4; i < index.size(); ++i) {
    TLedgerGrid& ledger = CreateLedger(BaseNameOf(index[i]));
    if (!QFileInfo::exists(Path(index[i]))) {
      missing.push_back(index[i]);
      rebuilt.push_back(&ledger);
      continue;
    }
    ledger.LoadTable(Path(index[i]));
    readFiles_.push_back(index[i]);
    loadedFrom_.emplace_back(&ledger, index[i]);
  }
  if (missing.empty()) return;
  const std::string question = Sjis("元帳ファイルが見つかりません:\n") + PathList(missing) +
                               Sjis("\n仕訳帳の転記済みの行からこの元帳を作り直して開きますか ?");
  if (!ui_.AskYesNo(question)) {
    throw Error(Sjis("元帳ファイルが見つかりません:\n") + PathList(missing));
  }
  for (TLedgerGrid* ledger : rebuilt) RebuildLedger(*ledger);
  SetModified();
}

void Book::RebuildLedger(TLedgerGrid& ledger) {
  const std::string& subject = ledger.Caption();
  const TJournalGrid& journal = *journal_;
  for (int r = 1; r < journal.RowCount(); ++r) {
    if (!journal.IsPosted(r) || !journal.RowAt(r).IsComplete()) continue;
    const RowTexts texts = journal.RowAt(r).Cells();
    // As posting does: the debit side wins when both sides name the subject.
    if (texts[2] == subject) {
      ledger.PostDebit(texts);
    } else if (texts[4] == subject) {
      ledger.PostCredit(texts);
    }
  }
}

void Book::ReportUnreadableLines() {
  int total = 0;
  std::string detail;
  for (const auto& [table, file] : loadedFrom_) {
    if (table->UnreadableCount() == 0) continue;
    total += table->UnreadableCount();
    detail += "'" + file + "': " + std::to_string(table->UnreadableCount()) + Sjis(" 行\n");
    for (const auto& line : table->FirstUnreadable()) {
      detail += "  " + FileNameOf(file) + " " + std::to_string(line.number) + Sjis(" 行目: ") +
                line.text + "\n";
    }
  }
  loadedFrom_.clear();
  if (total == 0) return;
  const std::string text =
      Sjis("表の行として読めない行が ") + std::to_string(total) + Sjis(" 行あります:\n") + detail;
  if (readOnly_) {
    ui_.Message(text + Sjis("\n家計簿は読み取り専用で開いています。"));
    return;
  }
  if (ui_.AskYesNo(text + Sjis("\nこのまま編集を続けますか ?\n"
                               "（保存するとこれらの行はなくなります。保存の前に、元のファイルを"
                               "家計簿のフォルダに残します。いいえ: 読み取り専用で開きます）"))) {
    keepOriginals_ = true;
    return;
  }
  readOnly_ = true;
  lock_.reset();
  ShowCaption();
}

void Book::KeepOriginalFiles() {
  const std::string target =
      folder_ + Name() + Sjis("_元のファイル_") +
      ToCp932(QDateTime::currentDateTime().toString("yyyyMMdd-HHmmss")).value() + "/";
  if (!QDir().mkpath(Path(target))) {
    throw Error("'" + target + Sjis("' を作成できません"));
  }
  for (const auto& file : readFiles_) {
    if (file.empty() || !IsFile(file)) continue;
    const std::string copy = target + FileNameOf(file);
    if (QFileInfo::exists(Path(copy))) continue;  // a list shared under the same name
    WriteFileAtomically(Path(copy), ReadFileBytes(Path(file)));
  }
}

void Book::RememberStamps(const QStringList& paths) {
  for (const QString& path : paths) {
    const FileStamp stamp = StampOf(path);
    auto found = std::find_if(stamps_.begin(), stamps_.end(),
                              [&](const auto& entry) { return entry.first == path; });
    if (found == stamps_.end()) {
      stamps_.push_back({path, {stamp, stamp}});
    } else {
      found->second = {stamp, stamp};
    }
  }
}

std::vector<std::string> Book::ChangedFiles(bool sinceNotice) const {
  std::vector<std::string> changed;
  for (const auto& [path, stamps] : stamps_) {
    if (StampOf(path) != (sinceNotice ? stamps.noticed : stamps.read)) {
      changed.push_back(PathToCp932(path).value_or(std::string()));
    }
  }
  return changed;
}

bool Book::ConfirmOverwrite() {
  const std::vector<std::string> changed = ChangedFiles(false);
  if (changed.empty()) return true;
  const std::string question =
      Sjis("次のファイルは、読み込んだ後に他のプログラムで変更されています:\n") +
      PathList(changed) +
      Sjis(
          "\nはい: ファイルを読み込み直します（この家計簿の変更は失われます）\n"
          "いいえ: このまま上書きして保存します\nキャンセル: 保存しません");
  switch (ui_.AskYesNoCancel(question)) {
    case Ui::Answer::Yes:
      Reload();
      return false;
    case Ui::Answer::No:
      return true;
    case Ui::Answer::Cancel:
      break;
  }
  return false;
}

void Book::Reload() {
  const std::string path = indexPath_;
  modified_ = false;
  CloseBook();
  OpenBook(path);
}

void Book::CheckFilesOnDisk() {
  if (!IsOpen() || checkingFiles_) return;
  const std::vector<std::string> changed = ChangedFiles(true);
  if (changed.empty()) return;
  // The question itself takes the window's focus away and back; ask about a change once.
  for (auto& [path, stamps] : stamps_) stamps.noticed = StampOf(path);
  checkingFiles_ = true;
  const bool reload = ui_.AskYesNo(
      Sjis("次のファイルは、読み込んだ後に他のプログラムで変更されています:\n") +
      PathList(changed) +
      Sjis("\n読み込み直しますか ?（この家計簿の変更は失われます。いいえ: このまま続けます。"
           "保存するときにもう一度確かめます）"));
  checkingFiles_ = false;
  if (reload) Reload();
}

}  // namespace engine
