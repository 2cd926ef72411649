#include "hushkey/engine/text_conversions.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

#include "hushkey/engine/text_chars.h"

namespace hushkey {
namespace {

// Checks the grammar [sign] digits [. digits] (digits on at least one side of the point)
// and returns the text without blanks and without a leading "+", ready for from_chars.
std::optional<std::string> Canonical(std::string_view text, bool allowFraction) {
  std::string_view s = TrimBlanks(text);
  bool negative = false;
  if (!s.empty() && (s.front() == '+' || s.front() == '-')) {
    negative = s.front() == '-';
    s.remove_prefix(1);
  }
  const std::size_t point = allowFraction ? s.find('.') : std::string_view::npos;
  const std::string_view whole = s.substr(0, point);
  const std::string_view fraction =
      point == std::string_view::npos ? std::string_view() : s.substr(point + 1);
  auto allDigits = [](std::string_view d) {
    for (char c : d) {
      if (!IsDigit(c)) return false;
    }
    return true;
  };
  if (!allDigits(whole) || !allDigits(fraction) || whole.size() + fraction.size() == 0) {
    return std::nullopt;
  }
  std::string out;
  out.reserve(s.size() + 2);
  if (negative) out += '-';
  out += whole.empty() ? std::string_view("0") : whole;  // ".5" -> "0.5"
  if (!fraction.empty()) {                               // "2." -> "2"
    out += '.';
    out += fraction;
  }
  return out;
}

template <typename Int>
std::optional<Int> ParseWhole(std::string_view text) {
  std::optional<std::string> c = Canonical(text, false);
  if (!c) return std::nullopt;
  long long v = 0;
  auto [end, ec] = std::from_chars(c->data(), c->data() + c->size(), v);
  if (ec != std::errc() || end != c->data() + c->size()) return std::nullopt;
  if (v < std::numeric_limits<Int>::min() || v > std::numeric_limits<Int>::max()) {
    return std::nullopt;
  }
  return static_cast<Int>(v);
}

}  // namespace

std::optional<double> ParseNumber(std::string_view text) {
  std::optional<std::string> c = Canonical(text, true);
  if (!c) return std::nullopt;
  double v = 0;
  auto [end, ec] = std::from_chars(c->data(), c->data() + c->size(), v, std::chars_format::fixed);
  if (ec != std::errc() || end != c->data() + c->size() || !std::isfinite(v)) {
    return std::nullopt;
  }
  return v;
}

std::optional<float> ParseSingle(std::string_view text) {
  std::optional<double> v = ParseNumber(text);
  if (!v || std::fabs(*v) > std::numeric_limits<float>::max()) return std::nullopt;
  return static_cast<float>(*v);
}

std::optional<std::int32_t> ParseInt32(std::string_view text) {
  return ParseWhole<std::int32_t>(text);
}

std::optional<std::int16_t> ParseInt16(std::string_view text) {
  return ParseWhole<std::int16_t>(text);
}

std::optional<bool> ParseFlag(std::string_view text) {
  std::optional<double> v = ParseNumber(text);
  if (!v) return std::nullopt;
  return *v != 0.0;
}

}  // namespace hushkey
