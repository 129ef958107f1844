#include "support/book_fixture.h"

#include <QFile>
#include <stdexcept>

#include "engine/base/cp932.h"

namespace desktop_tests {

namespace {
std::string FolderOf(const QTemporaryDir& dir) {
  return engine::PathToCp932(dir.path() + QStringLiteral("/")).value_or(std::string());
}
}  // namespace

BookFixture::BookFixture() : folder(FolderOf(dir)), appFolder(folder) {}

std::string BookFixture::Cp932Path(const QString& name) const {
  return engine::PathToCp932(Path(name)).value_or(std::string());
}

void BookFixture::NewBook(const QString& name) {
  ui.answerFilesItself = true;
  book.NewBook(*engine::ToCp932(name));
  ui.answerFilesItself = false;
}

void BookFixture::WriteCp932(const QString& name, const QStringList& lines) const {
  QFile file(Path(name));
  if (!file.open(QIODevice::WriteOnly)) throw std::runtime_error("can't write a test file");
  for (const QString& line : lines) {
    file.write(QByteArray::fromStdString(engine::ToCp932(line).value()));
    file.write("\r\n");
  }
}

void BookFixture::BookFromCsv(const QString& csvName, const QStringList& lines) {
  WriteCp932(csvName, lines);
  ui.answerFilesItself = true;
  ui.openAnswer = Cp932Path(csvName);
  book.NewBookFromCSV();
  ui.answerFilesItself = false;
}

}  // namespace desktop_tests
