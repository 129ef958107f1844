#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

namespace cli {

// True when the locale asks for English (the first of LC_ALL, LC_MESSAGES and LANG that is
// set is "C", "C.…", "POSIX…" or "en…"); otherwise the tool speaks Japanese.
bool EnglishMessages();

// The tool's own text for the locale: `japanese` is the key into the one table of message
// pairs, "%1" … "%9" in it are replaced by `args`. A text missing from the table is given in
// Japanese rather than lost.
std::string Tr(std::string_view japanese, std::initializer_list<std::string_view> args = {});

}  // namespace cli
