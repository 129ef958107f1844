#include "engine/base/integer.h"

#include <charconv>

#include "engine/base/cp932.h"
#include "engine/base/error.h"

namespace engine {

std::optional<std::int32_t> ParseInt32(std::string_view text) {
  std::size_t pos = 0;
  while (pos < text.size() && text[pos] == ' ') ++pos;
  bool negative = false;
  if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) negative = text[pos++] == '-';
  if (pos == text.size()) return std::nullopt;
  std::int64_t value = 0;
  for (; pos < text.size(); ++pos) {
    const char c = text[pos];
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
    if (value > std::int64_t{INT32_MAX} + 1) return std::nullopt;
  }
  if (negative) value = -value;
  if (value > INT32_MAX || value < INT32_MIN) return std::nullopt;
  return static_cast<std::int32_t>(value);
}

std::int32_t ReadInt(std::string_view text) {
  auto value = ParseInt32(text);
  if (!value) throw Error(FormatMessage(Sjis("'%s' は整数ではありません"), ShortenedText(text)));
  return *value;
}

std::string IntToText(std::int32_t value) {
  char buffer[16];
  auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

std::string OverflowMessage() {
  return Sjis("金額の計算結果が扱える範囲(±21億)を超えました");
}

std::int32_t CheckedAdd(std::int32_t a, std::int32_t b) {
  std::int32_t sum;
  if (__builtin_add_overflow(a, b, &sum)) throw Error(OverflowMessage());
  return sum;
}

std::int32_t CheckedSub(std::int32_t a, std::int32_t b) {
  std::int32_t difference;
  if (__builtin_sub_overflow(a, b, &difference)) throw Error(OverflowMessage());
  return difference;
}

std::int32_t CheckedNarrow(std::int64_t value) {
  std::int32_t narrow;
  if (__builtin_add_overflow(value, 0, &narrow)) throw Error(OverflowMessage());
  return narrow;
}

std::string GroupDigits(std::string_view text) {
  const std::size_t sign = !text.empty() && text.front() == '-' ? 1 : 0;
  const std::string_view digits = text.substr(sign);
  if (digits.empty() || digits.find_first_not_of("0123456789") != std::string_view::npos)
    return std::string(text);
  std::string grouped(text.substr(0, sign));
  grouped.reserve(text.size() + digits.size() / 3);
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) grouped += ',';
    grouped += digits[i];
  }
  return grouped;
}

}  // namespace engine
