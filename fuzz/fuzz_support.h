#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "engine/base/ui.h"

namespace fuzzing {

// Answers every question with the answer given, picks the files queued for it (cancelling
// when none is left), shows nothing.
class SilentUi : public engine::Ui {
 public:
  bool yes = true;
  std::deque<std::string> files;
  void Message(const std::string&) override {}
  bool AskYesNo(const std::string&) override { return yes; }
  Answer AskYesNoCancel(const std::string&) override { return yes ? Answer::Yes : Answer::No; }
  std::string SelectOpenFile(const std::string&, const std::string&, const std::string&,
                             int) override {
    return Next();
  }
  std::string SelectSaveFile(const std::string&, const std::string&, const std::string&,
                             int) override {
    return Next();
  }
  void SetStatus(int, const std::string&) override {}

 private:
  std::string Next() {
    if (files.empty()) return {};
    std::string file = files.front();
    files.pop_front();
    return file;
  }
};

// A scratch folder that lives as long as the fuzzer.
inline QTemporaryDir& Scratch() {
  static int argc = 1;
  static char name[] = "fuzz";
  static char* argv[] = {name, nullptr};
  static QCoreApplication app(argc, argv);
  static QTemporaryDir dir;
  return dir;
}

inline QString WriteScratch(const QString& name, std::string_view bytes) {
  const QString path = Scratch().filePath(name);
  QFile file(path);
  file.open(QIODevice::WriteOnly | QIODevice::Truncate);
  file.write(bytes.data(), static_cast<qint64>(bytes.size()));
  return path;
}

// Cuts the input at bytes 0xFF 0x00 into at most `count` parts.
inline std::vector<std::string_view> Parts(const uint8_t* data, std::size_t size, std::size_t count) {
  std::string_view rest(reinterpret_cast<const char*>(data), size);
  std::vector<std::string_view> parts;
  while (parts.size() + 1 < count) {
    const auto at = rest.find(std::string_view("\xff\x00", 2));
    if (at == std::string_view::npos) break;
    parts.push_back(rest.substr(0, at));
    rest.remove_prefix(at + 2);
  }
  parts.push_back(rest);
  parts.resize(count);
  return parts;
}

}  // namespace fuzzing
