#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace engine {

// Reads a signed 32-bit decimal integer: optional leading blanks, an optional sign, then
// digits and nothing else. Nothing when the text doesn't convert or is out of range.
std::optional<std::int32_t> ParseInt32(std::string_view text);

// As ParseInt32, but throws Error "'<text>' は整数ではありません".
std::int32_t ReadInt(std::string_view text);

// Plain decimal, "-" before negatives.
std::string IntToText(std::int32_t value);

// Sums that leave the 32-bit range stop the operation instead of wrapping.
std::int32_t CheckedAdd(std::int32_t a, std::int32_t b);
std::int32_t CheckedSub(std::int32_t a, std::int32_t b);
// A wider sum brought back to 32 bits, or the overflow error.
std::int32_t CheckedNarrow(std::int64_t value);

// An amount as shown on screen: the digits of an optional "-" and digits grouped by threes
// with "," ("-1,234,567"). Any other text, or one already grouped, comes back unchanged.
std::string GroupDigits(std::string_view text);

// The message of a sum out of range, for callers that report it themselves.
std::string OverflowMessage();

}  // namespace engine
