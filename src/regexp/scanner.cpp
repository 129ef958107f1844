#include "regexp/scanner.h"

#include <algorithm>
#include <cstring>

#include "regexp/messages.h"

namespace regexp {

ERegExpParser::ERegExpParser(const std::string& message, uint16_t position)
    : std::runtime_error(message), message_(message), position_(position) {}

void RaiseParseError(const char* message, int position) {
  throw ERegExpParser(message, static_cast<uint16_t>(std::clamp(position, 0, 0xFFFF)));
}

TREScanner::TREScanner(const std::string& pattern) {
  SetRegExp(pattern);
}

void TREScanner::SetRegExp(const std::string& pattern) {
  pattern_ = pattern;
  length_ = static_cast<int>(std::min(std::strlen(pattern_.c_str()), pattern_.size()));
  position_ = 1;
  in_class_ = false;
  token_ = tok_End;
  symbol_ = 0;
  range_end_ = 0;
}

void TREScanner::Fail(const char* message) const {
  RaiseParseError(message, position_);
}

int TREScanner::GetChar() {
  if (position_ < 1 || position_ > length_) return kEnd;
  const auto b = static_cast<unsigned char>(pattern_[position_ - 1]);
  if (IsDBCSLeadByte(b)) {
    if (position_ == length_) Fail(kMsgBadDoubleByte);
    const auto trail = static_cast<unsigned char>(pattern_[position_]);
    position_ += 2;
    return b << 8 | trail;
  }
  ++position_;
  return b;
}

namespace {
int HexDigit(int c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}
}  // namespace

uint16_t TREScanner::GetHexCode() {
  unsigned value = 0;
  int digits = 0;
  for (;;) {
    // A character that ends the code is put back; at the end nothing was read.
    const int before = position_;
    const int digit = HexDigit(GetChar());
    if (digit < 0 || digits == 4) {
      position_ = before;
      break;
    }
    value = value * 16 + static_cast<unsigned>(digit);
    ++digits;
  }
  if (digits == 0) Fail(kMsgBadHex);
  return static_cast<uint16_t>(value);
}

uint16_t TREScanner::GetOctalCode() {
  unsigned value = 0;
  for (int digits = 0;; ++digits) {
    const int before = position_;
    const int c = GetChar();
    if (c < '0' || c > '7' || digits == 6) {
      position_ = before;
      break;
    }
    value = value * 8 + static_cast<unsigned>(c - '0');
    if (value > 0xFFFF) Fail(kMsgBadOctal);
  }
  return static_cast<uint16_t>(value);
}

uint16_t TREScanner::GetEscapedChar() {
  const int before = position_;
  const int c = GetChar();
  switch (c) {
    case kEnd:
      Fail(kMsgEscapeAtEnd);
    case 'b':
      return 8;
    case 'n':
      return 10;
    case 'r':
      return 13;
    case 't':
      return 9;
    case 'x':
      return GetHexCode();
    default:
      if (c >= '0' && c <= '7') {
        position_ = before;
        return GetOctalCode();
      }
      return static_cast<uint16_t>(c);
  }
}

TREToken TREScanner::GetTokenStd() {
  const int c = GetChar();
  symbol_ = c == kEnd ? 0 : static_cast<uint16_t>(c);
  switch (c) {
    case kEnd:
      return tok_End;
    case '$':
      return tok_LineTail;
    case '(':
      return tok_LPar;
    case ')':
      return tok_RPar;
    case '*':
      return tok_Star;
    case '+':
      return tok_Plus;
    case '.':
      return tok_Dot;
    case '?':
      return tok_QMark;
    case ']':
      return tok_ClassClose;
    case '^':
      return tok_LineHead;
    case '|':
      return tok_Union;
    case '\\':
      symbol_ = GetEscapedChar();
      return tok_Char;
    case '[': {
      const int before = position_;
      const int next = GetChar();
      if (next == kEnd) Fail(kMsgNeedRightBracket);
      if (next == '^') return tok_NegClassOpen;
      position_ = before;
      return tok_ClassOpen;
    }
    default:
      return tok_Char;
  }
}

TREToken TREScanner::GetTokenInClass() {
  int m = GetChar();
  if (m == kEnd) Fail(kMsgNeedRightBracket);
  if (m == ']') {
    symbol_ = ']';
    return tok_ClassClose;
  }
  if (m == '\\') m = GetEscapedChar();
  symbol_ = static_cast<uint16_t>(m);

  const int before_next = position_;
  const int n = GetChar();
  if (n == kEnd) Fail(kMsgNeedRightBracket);
  if (n != '-') {
    position_ = before_next;
    return tok_Char;
  }
  int t = GetChar();
  if (t == kEnd) Fail(kMsgNeedRightBracket);
  if (t == ']') {
    // A "-" just before the closing bracket is a member of its own.
    position_ = before_next;
    return tok_Char;
  }
  if (t == '\\') t = GetEscapedChar();
  if (t < m) Fail(kMsgBadRange);
  range_end_ = static_cast<uint16_t>(t);
  return tok_Range;
}

TREToken TREScanner::GetToken() {
  if (in_class_) {
    token_ = GetTokenInClass();
    if (token_ == tok_ClassClose) in_class_ = false;
  } else {
    token_ = GetTokenStd();
    if (token_ == tok_ClassOpen || token_ == tok_NegClassOpen) in_class_ = true;
  }
  return token_;
}

}  // namespace regexp
