#include "hushkey/engine/time_text.h"

#include "hushkey/engine/text_chars.h"

namespace hushkey {
namespace {

// Reads one to maxDigits digits from the front of s.
std::optional<int> TakeDigits(std::string_view& s, std::size_t minDigits, std::size_t maxDigits) {
  std::size_t n = 0;
  int v = 0;
  while (n < s.size() && n < maxDigits && IsDigit(s[n])) v = v * 10 + (s[n++] - '0');
  if (n < minDigits) return std::nullopt;
  s.remove_prefix(n);
  return v;
}

}  // namespace

std::optional<std::int32_t> ParseTimeOfDay(std::string_view s) {
  s = TrimBlanks(s);

  // Split off an AM/PM suffix.
  enum { None, Am, Pm } half = None;
  if (s.size() >= 2 && AsciiUpper(s[s.size() - 1]) == 'M') {
    char ap = AsciiUpper(s[s.size() - 2]);
    if (ap == 'A' || ap == 'P') {
      half = ap == 'A' ? Am : Pm;
      s.remove_suffix(2);
      while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    }
  }

  std::optional<int> hour = TakeDigits(s, 1, 2);
  if (!hour) return std::nullopt;
  int minute = 0, second = 0;
  if (!s.empty()) {
    if (s.front() != ':') return std::nullopt;
    s.remove_prefix(1);
    std::optional<int> m = TakeDigits(s, 2, 2);
    if (!m || *m > 59) return std::nullopt;
    minute = *m;
    if (!s.empty()) {
      if (s.front() != ':') return std::nullopt;
      s.remove_prefix(1);
      std::optional<int> sec = TakeDigits(s, 2, 2);
      if (!sec || *sec > 59 || !s.empty()) return std::nullopt;
      second = *sec;
    }
  } else if (half == None) {
    return std::nullopt;  // a bare number is no time; "8 PM" is
  }

  int h = *hour;
  if (half == None) {
    if (h > 23) return std::nullopt;
  } else {
    if (h < 1 || h > 12) return std::nullopt;
    h %= 12;
    if (half == Pm) h += 12;
  }
  return h * 3600 + minute * 60 + second;
}

}  // namespace hushkey
