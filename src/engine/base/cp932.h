#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>
#include <optional>
#include <string>
#include <string_view>

namespace engine {

// Book text is Windows code page 932 (Shift-JIS) bytes. These convert at the edges only:
// where the desktop shows or takes text, and where a path goes to the operating system.

// Decodes CP932 bytes for display. Bytes that are not valid CP932 become U+FFFD-like
// substitutes; this direction never fails because it only serves showing text.
QString FromCp932(std::string_view bytes);

// Encodes text to CP932, or nothing when a character has no CP932 code. Nothing is ever
// stored as a substitute character.
std::optional<std::string> ToCp932(QStringView text);
// Two CP932 texts that differ at most in letter case (full-width letters included).
bool EqualIgnoringCase(std::string_view a, std::string_view b);

// The first character of `text` that CP932 cannot hold, or an empty string when all can.
QString FirstNonCp932Character(QStringView text);

// `text` taken apart into what CP932 can hold, in order, and the characters it cannot, each
// once in the order first met (a surrogate pair counts as one character).
struct Cp932Split {
  QString held;
  QStringList refused;
};
Cp932Split SplitCp932(QStringView text);

// A program text (UTF-8 in the source) as CP932 bytes, for messages and fixed captions.
// Program texts are all representable; anything else is a programming error and throws.
std::string Sjis(std::string_view utf8);

// Replaces the first "%s" of a CP932 message with `arg` (also CP932).
std::string FormatMessage(std::string_view cp932Template, std::string_view arg);

// At most `maxBytes` bytes of a CP932 text for quoting in a message, cut between characters
// and ended with "…" when cut, so that a damaged 10 MB value never makes a 10 MB message.
std::string ShortenedText(std::string_view cp932, std::size_t maxBytes = 100);

// A CP932 path as the operating system's file name (file names on disk are UTF-8) and back.
QString PathFromCp932(std::string_view cp932Path);
std::optional<std::string> PathToCp932(const QString& path);

// Why bytes that should be CP932 text are not: the line (from 1) where it shows, and whether
// the text reads as UTF-8 (a book saved in the wrong encoding) rather than as damaged bytes.
struct EncodingProblem {
  int line = 0;
  bool utf8 = false;
};

// Nothing when `bytes` is CP932 text. Text that is valid UTF-8 with at least one multi-byte
// character is taken for UTF-8, since CP932 text almost never forms valid UTF-8 (its lead
// bytes 81-9F are UTF-8 continuation bytes); a UTF-8 byte-order mark or a NUL byte (UTF-16)
// is refused at once.
std::optional<EncodingProblem> FindEncodingProblem(std::string_view bytes);

}  // namespace engine
