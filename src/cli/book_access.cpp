#include "cli/book_access.h"

#include <QFileInfo>

#include "cli/cli.h"
#include "cli/messages.h"
#include "engine/app/book_path.h"
#include "engine/app/profile.h"
#include "engine/base/cp932.h"
#include "engine/base/error.h"
#include "engine/base/text_file.h"

namespace cli {

namespace {

constexpr std::size_t kIndexLines = 4;

std::string EncodingMessage(const engine::EncodingProblem& problem) {
  return Tr(problem.utf8 ? "%1 行目がシフト JIS (CP932) ではなく UTF-8 で書かれています"
                         : "%1 行目がシフト JIS (CP932) として読めません",
            {std::to_string(problem.line)});
}

// False, after saying so, when the file is not CP932 text.
bool IsCp932File(const std::string& path) {
  try {
    const engine::FileView file(engine::PathFromCp932(path));
    if (const auto problem = engine::FindEncodingProblem(file.Bytes())) {
      PrintErrorUtf8(Tr("%1 の %2", {Quoted(path), EncodingMessage(*problem)}));
      return false;
    }
  } catch (const engine::Error& e) {
    PrintError(e.Message());
    return false;
  }
  return true;
}

bool IsReadableFile(const std::string& path) {
  const QFileInfo info(engine::PathFromCp932(path));
  return info.isFile() && info.isReadable();
}

}  // namespace

std::string Quoted(const std::string& cp932Path) {
  return "'" + engine::FromCp932(cp932Path).toStdString() + "'";
}

int OpenBookFor(Context& context, const QString& operand, OpenedBook& opened,
                std::vector<engine::Finding>* fileFindings, engine::Book::OpenMode mode) {
  QString indexFile;
  try {
    indexFile = engine::FindIndexFile(operand);
  } catch (const engine::Error& e) {
    PrintError(e.Message());
    return kFailure;
  }
  const auto indexPath = engine::PathToCp932(indexFile);
  if (!indexPath) {
    PrintErrorUtf8(Tr("'%1' はシフト JIS (CP932) で表せない文字を含むため、家計簿として開けません",
                      {indexFile.toStdString()}));
    return kFailure;
  }
  opened.indexPath = *indexPath;
  std::string bytes;
  try {
    bytes = engine::ReadFileBytes(indexFile);
  } catch (const engine::Error& e) {
    PrintError(e.Message());
    return kFailure;
  }
  if (const auto problem = engine::FindEncodingProblem(bytes)) {
    PrintErrorUtf8(
        Tr("家計簿ファイル %1 の %2", {Quoted(opened.indexPath), EncodingMessage(*problem)}));
    return kFailure;
  }
  opened.index = engine::SplitLines(bytes);
  if (opened.index.empty() || !engine::IsIndexFirstLine(opened.index[0])) {
    PrintErrorUtf8(Tr("%1 は家計簿ファイルではありません", {Quoted(opened.indexPath)}));
    return kFailure;
  }
  if (opened.index.size() < kIndexLines) {
    PrintErrorUtf8(Tr("%1 は家計簿ファイルの行が足りません", {Quoted(opened.indexPath)}));
    return kFailure;
  }

  if (fileFindings) {
    *fileFindings = engine::CheckBookFiles(opened.index);
    for (const engine::Finding& finding : *fileFindings) {
      if (finding.line == 0) return kFindings;
    }
  } else {
    for (std::size_t i = 0; i < opened.index.size(); ++i) {
      if (i == 2) continue;  // the aggregation settings are tested by the commands that read them
      if (!IsReadableFile(opened.index[i])) {
        PrintErrorUtf8(Tr("家計簿のファイル %1 を読めません", {Quoted(opened.index[i])}));
        return kFailure;
      }
    }
    // The subject file and the journal tell a book saved in another encoding at once; the
    // ledgers are left to the check, so that a report reads each of them once.
    if (!IsCp932File(opened.index[0]) || !IsCp932File(opened.index[3])) return kFailure;
  }

  opened.book = std::make_unique<engine::Book>(context.ui);
  // Reading never takes the book's lock, so a book the program holds open reads as it is
  // on disk and nothing is written beside it.
  opened.book->OpenBook(opened.indexPath, mode);
  // The engine has said why.
  return opened.book->IsOpen() ? kOk : kFailure;
}

std::string SettingsFileFor(const OpenedBook& opened, const char* section) {
  const std::string& path = opened.book->SettingsPath();
  if (path.empty()) {
    PrintErrorUtf8(
        Tr("この家計簿には集計設定ファイルがありません (プログラムで一度集計すると作られます)"));
    return {};
  }
  if (!QFileInfo::exists(engine::PathFromCp932(path))) {
    PrintErrorUtf8(Tr("集計設定ファイル %1 がありません", {Quoted(path)}));
    return {};
  }
  if (!IsReadableFile(path) || !IsCp932File(path)) {
    PrintErrorUtf8(Tr("集計設定ファイル %1 を読めません", {Quoted(path)}));
    return {};
  }
  if (section && !engine::Profile(engine::PathFromCp932(path)).HasSection(section)) {
    PrintErrorUtf8(
        Tr("集計設定ファイル %1 に [%2] の設定がありません "
           "(プログラムで一度この集計をすると作られます)",
           {Quoted(path), section}));
    return {};
  }
  return path;
}

}  // namespace cli
