// Time-of-day text: the one parser for the don't-lock-if window times, shared by the check
// that reads them and the options dialog that validates them before storing, so that every
// time the dialog lets through can be read back.
//
// Accepted (blanks around the text ignored, AM/PM in any letter case, a blank before it
// optional):
//   24-hour  "H:MM", "HH:MM", "H:MM:SS", "HH:MM:SS"   hours 0..23
//   12-hour  the same with "AM"/"PM" after it, or "H AM"/"HH PM" without minutes;
//            hours 1..12, "12:xx AM" is just after midnight, "12:xx PM" just after noon
// Minutes and seconds are exactly two digits, 00..59. Everything else (empty text, dates,
// "24:00", "13:00 PM", "8:5", "noon") is rejected.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace hushkey {

inline constexpr std::int32_t kSecondsPerDay = 24 * 60 * 60;

// Seconds since midnight, 0..86399, or nullopt when the text is not a time of day.
std::optional<std::int32_t> ParseTimeOfDay(std::string_view text);

}  // namespace hushkey
