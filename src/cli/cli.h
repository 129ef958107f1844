#pragma once

#include <QString>
#include <map>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "cli/cli_ui.h"
#include "cli/table_writer.h"

namespace cli {

// The exit statuses: done, findings (check), and a usage, file or book error.
enum Exit { kOk = 0, kFindings = 1, kFailure = 2 };

// An option of a command: "--name", with a value when `value` names one.
struct OptionSpec {
  std::string_view name;
  std::string_view value;
  std::string_view help;
};

struct Context;

// One subcommand. The table of these drives parsing, dispatch and every help text.
struct Command {
  std::string_view name;
  std::string_view operands;
  std::string_view summary;
  std::span<const OptionSpec> options;
  std::size_t minOperands;
  std::size_t maxOperands;
  int (*run)(Context&);
};

// What a command works with: its validated arguments, the output and the engine's UI.
struct Context {
  const Command& command;
  std::map<std::string, std::string, std::less<>> options;
  std::vector<QString> operands;
  Format format = Format::Text;
  Encoding encoding = Encoding::Utf8;
  CliUi ui;

  bool Has(std::string_view name) const { return options.count(name) != 0; }
  const std::string& Value(std::string_view name) const { return options.find(name)->second; }
};

std::span<const Command> Commands();

// The whole tool: arguments in, exit status out.
int Run(const std::vector<QString>& arguments);

}  // namespace cli
