#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace regexp {

// True for the lead byte of a Shift-JIS (code page 932) double-byte character.
inline bool IsDBCSLeadByte(unsigned char b) {
  return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

// A malformed pattern: the CP932 message and the 1-based byte position where it was found.
class ERegExpParser : public std::runtime_error {
 public:
  ERegExpParser(const std::string& message, uint16_t position);
  const std::string& Message() const { return message_; }
  uint16_t Position() const { return position_; }

 private:
  std::string message_;
  uint16_t position_;
};

enum TREToken : uint8_t {
  tok_Char,
  tok_Range,
  tok_Union,
  tok_LPar,
  tok_RPar,
  tok_Star,
  tok_Plus,
  tok_QMark,
  tok_ClassOpen,
  tok_NegClassOpen,
  tok_ClassClose,
  tok_Dot,
  tok_LineHead,
  tok_LineTail,
  tok_End,
};

// Reads a pattern into tokens. A NUL byte ends the pattern, as it would end a C string.
class TREScanner {
 public:
  TREScanner() = default;
  explicit TREScanner(const std::string& pattern);
  virtual ~TREScanner() = default;

  // Takes a new pattern and starts reading it from the first byte, outside a class.
  void SetRegExp(const std::string& pattern);
  const std::string& RegExp() const { return pattern_; }

  // Reads the next token; afterwards Token(), Symbol() and RangeEnd() describe it.
  TREToken GetToken();

  TREToken Token() const { return token_; }
  uint16_t Symbol() const { return symbol_; }
  uint16_t RangeEnd() const { return range_end_; }
  // The 1-based index of the next unread byte.
  int Position() const { return position_; }

 protected:
  virtual TREToken GetTokenStd();
  virtual TREToken GetTokenInClass();

 private:
  static constexpr int kEnd = -1;

  // One character at the read position, or kEnd (without moving) at the end of the pattern.
  int GetChar();
  // The character after a backslash, already read.
  uint16_t GetEscapedChar();
  uint16_t GetHexCode();
  uint16_t GetOctalCode();
  [[noreturn]] void Fail(const char* message) const;

  std::string pattern_;
  int length_ = 0;
  int position_ = 1;
  TREToken token_ = tok_End;
  uint16_t symbol_ = 0;
  uint16_t range_end_ = 0;
  bool in_class_ = false;
};

// Raises ERegExpParser, saturating positions that do not fit the 16-bit field.
[[noreturn]] void RaiseParseError(const char* message, int position);

}  // namespace regexp
