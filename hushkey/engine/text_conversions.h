// Strict conversions from stored text to the in-memory forms.
//
// What "strict" accepts, for every form:
//   - optional blanks (space, tab) before and after the number;
//   - an optional sign, "+" or "-";
//   - decimal digits, and for the fractional forms one "." with digits on at least one
//     side ("1.5", "10", ".5", "2.");
// and nothing else: no words ("True", "on"), no exponents, hexadecimal, thousands
// separators or decimal commas, no trailing units ("5 min"), no empty text.
// Integers must be whole ("1.5" is no integer) and within the type's range.
// A flag is read as a number: 0 is off, any other number (2, -1, 0.5) is on.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace hushkey {

std::optional<double> ParseNumber(std::string_view text);
std::optional<float> ParseSingle(std::string_view text);
std::optional<std::int32_t> ParseInt32(std::string_view text);
std::optional<std::int16_t> ParseInt16(std::string_view text);
std::optional<bool> ParseFlag(std::string_view text);

}  // namespace hushkey
