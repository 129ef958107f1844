#pragma once

#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QPushButton>
#include <QStringList>
#include <QTemporaryDir>
#include <QTimer>
#include <string>
#include <vector>

#include "engine/app/app_folder.h"
#include "engine/base/cp932.h"
#include "engine/base/text_file.h"

namespace desktop_tests {

using Lines = std::vector<std::string>;

inline std::string S(const char* utf8) {
  return engine::Sjis(utf8);
}

// A temporary program folder (for "zntbk.ini") and a small book inside it: the journal with
// two posted lines between 食費 and 現金, and `extraLedgers` more empty ledgers.
class SampleBook {
 public:
  explicit SampleBook(int extraLedgers = 0) {
    root_ = engine::ToCp932(dir_.path()).value() + "/";
    folder_ = root_ + S("家計") + "/";
    QDir().mkpath(engine::PathFromCp932(folder_));
    Write(P("仕訳帳.txt"),
          {S("25/06/01\t1200\t食費\t昼食\t現金\t1200"), S("25/06/02\t300\t食費\tパン\t現金\t300")});
    Write(P("食費.txt"),
          {S("25/06/01\t現金\t昼食\t1200\t\t1200"), S("25/06/02\t現金\tパン\t300\t\t1500")});
    Write(P("現金.txt"),
          {S("25/06/01\t食費\t昼食\t\t1200\t-1200"), S("25/06/02\t食費\tパン\t\t300\t-1500")});
    Lines subjects{S("食費\t現金"), S("現金")};
    Lines index{P("勘定科目.txt"), P("摘要.txt"), P("集計設定.txt"),
                P("仕訳帳.txt"),   P("食費.txt"), P("現金.txt")};
    for (int i = 1; i <= extraLedgers; ++i) {
      const std::string name = S("科目") + std::to_string(i);
      Write(folder_ + name + ".txt", {});
      subjects.push_back(name);
      index.push_back(folder_ + name + ".txt");
    }
    Write(P("勘定科目.txt"), subjects);
    Write(P("摘要.txt"), {S("昼食"), S("パン")});
    index_ = P("家計.txt");
    Write(index_, index);
  }

  const std::string& Root() const { return root_; }
  const std::string& Index() const { return index_; }
  std::string P(const char* utf8) const { return folder_ + S(utf8); }
  static void Write(const std::string& path, const Lines& lines) {
    engine::WriteTextLines(engine::PathFromCp932(path), lines);
  }
  std::string Bytes(const char* utf8) const {
    return engine::ReadFileBytes(engine::PathFromCp932(P(utf8)));
  }

 private:
  QTemporaryDir dir_;
  std::string root_;
  std::string folder_;
  std::string index_;
};

// Answers the modal message boxes that come up while it lives, in order: each box gets the
// next button of `answers` (OK once they run out), and its text is recorded.
class ModalAnswers {
 public:
  explicit ModalAnswers(QList<QMessageBox::StandardButton> answers = {})
      : answers_(std::move(answers)) {
    QObject::connect(&timer_, &QTimer::timeout, [this] { Answer(); });
    timer_.start(10);
  }

  const QStringList& Texts() const { return texts_; }

 private:
  void Answer() {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box || box->property("answered").toBool()) return;
    box->setProperty("answered", true);
    texts_ << box->text();
    QMessageBox::StandardButton wanted = QMessageBox::Ok;
    if (!answers_.isEmpty()) wanted = answers_.takeFirst();
    QAbstractButton* button = box->button(wanted);
    if (!button) button = box->defaultButton();
    if (button) {
      button->click();
    } else {
      box->accept();
    }
  }

  QTimer timer_;
  QList<QMessageBox::StandardButton> answers_;
  QStringList texts_;
};

}  // namespace desktop_tests
