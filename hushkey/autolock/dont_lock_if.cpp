#include "hushkey/autolock/dont_lock_if.h"

#include "hushkey/engine/lock_mode.h"
#include "hushkey/engine/text_conversions.h"
#include "hushkey/engine/time_text.h"

namespace hushkey {

std::string IfEmpty(std::string_view value, std::string_view fallback) {
  return std::string(value.empty() ? fallback : value);
}

bool DayMarked(std::string_view mask, int weekday) {
  if (weekday < 1 || weekday > 7) return false;
  const std::size_t pos = static_cast<std::size_t>(weekday - 1);
  return pos < mask.size() && mask[pos] == 'X';
}

bool InTimeWindow(std::int32_t now, std::int32_t start, std::int32_t end) {
  if (end > start) return now >= start && now <= end;
  if (end == start) return true;
  return now >= start || now <= end;
}

bool AddressMatchesPrefix(std::string_view address, std::string_view prefix) {
  if (prefix.empty() || address.size() < prefix.size() ||
      address.substr(0, prefix.size()) != prefix)
    return false;
  // The prefix must end where an octet ends.
  return prefix.back() == '.' || address.size() == prefix.size() || address[prefix.size()] == '.';
}

std::vector<Ipv4Address> AddressTableRows(std::span<const std::uint8_t> table) {
  std::vector<Ipv4Address> rows;
  if (table.size() < kAddressTableHeaderBytes) return rows;
  const std::uint32_t count =
      table[0] | table[1] << 8 | table[2] << 16 | static_cast<std::uint32_t>(table[3]) << 24;
  const std::size_t fits = (table.size() - kAddressTableHeaderBytes) / kAddressTableRowBytes;
  const std::size_t n = count < fits ? count : fits;
  rows.reserve(n);
  for (std::size_t i = 0; i < n; ++i) {
    const std::uint8_t* row = table.data() + kAddressTableHeaderBytes + i * kAddressTableRowBytes;
    rows.push_back({row[0], row[1], row[2], row[3]});
  }
  return rows;
}

std::string FormatIpv4(const Ipv4Address& a) {
  return std::to_string(a[0]) + '.' + std::to_string(a[1]) + '.' + std::to_string(a[2]) + '.' +
         std::to_string(a[3]);
}

std::string SelectLocalIPAddress(std::span<const Ipv4Address> rows) {
  std::string result;
  for (const Ipv4Address& row : rows) {
    if (row[0] == 127 || row[0] == 0) continue;
    result = FormatIpv4(row);
    if (row[0] != 169) break;  // a link-local address is kept only until a better one
  }
  return result;
}

namespace {

std::string AddressTableFailure(std::uint32_t error) {
  return "GetIpAddrTable failed with return value " + std::to_string(error);
}

}  // namespace

std::vector<std::string> QualifyingAddresses(std::span<const Ipv4Address> rows) {
  std::vector<std::string> routable, linkLocal;
  for (const Ipv4Address& row : rows) {
    if (row[0] == 127 || row[0] == 0) continue;
    (row[0] == 169 ? linkLocal : routable).push_back(FormatIpv4(row));
  }
  return routable.empty() ? linkLocal : routable;
}

LocalIPAddressResult LocalIPAddress(AddressTablePort& table) {
  AddressTableRead read = table.ReadAddressTable();
  LocalIPAddressResult r;
  if (!read.ok) {
    r.failure = AddressTableFailure(read.error);
    return r;
  }
  r.ok = true;
  r.address = SelectLocalIPAddress(read.rows);
  return r;
}

std::string RemoveDoubleQuotes(std::string_view path) {
  std::string out;
  out.reserve(path.size());
  for (char c : path) {
    if (c != '"') out.push_back(c);
  }
  return out;
}

bool FileExists(FileSearchPort& files, std::string_view path) {
  std::string pattern = RemoveDoubleQuotes(path);
  if (pattern.empty()) return false;
  return files.AnyFileMatches(pattern);
}

namespace {

DontLockIfVerdict Failed(std::string why) {
  DontLockIfVerdict v;
  v.failed = true;
  v.failure = std::move(why);
  return v;
}

DontLockIfVerdict Holds(bool holds) {
  DontLockIfVerdict v;
  v.holds = holds;
  return v;
}

DontLockIfVerdict DayAndTime(const DontLockIfPorts& ports) {
  const std::string mask = ports.read(DontLockIfValue::Day);
  const LocalTime now = ports.clock.Now();
  if (!DayMarked(mask, now.weekday)) return Holds(false);

  // An empty stored time means midnight.
  const std::string startText = IfEmpty(ports.read(DontLockIfValue::StartTime), "0:00");
  const std::string endText = IfEmpty(ports.read(DontLockIfValue::EndTime), "0:00");
  const std::optional<std::int32_t> start = ParseTimeOfDay(startText);
  if (!start) return Failed("DontLockIfStartTime is not a time: \"" + startText + "\"");
  const std::optional<std::int32_t> end = ParseTimeOfDay(endText);
  if (!end) return Failed("DontLockIfEndTime is not a time: \"" + endText + "\"");
  return Holds(InTimeWindow(now.secondOfDay, *start, *end));
}

DontLockIfVerdict IpAddress(const DontLockIfPorts& ports) {
  const std::string prefix = ports.read(DontLockIfValue::Ip);
  if (prefix.empty()) return Holds(false);
  const AddressTableRead table = ports.addresses.ReadAddressTable();
  if (!table.ok) return Failed(AddressTableFailure(table.error));
  // A machine with a VPN or a virtual adapter has several addresses: any of them counts.
  bool match = false;
  for (const std::string& address : QualifyingAddresses(table.rows))
    match = match || AddressMatchesPrefix(address, prefix);
  const std::string matchText = ports.read(DontLockIfValue::IpMatch);
  const std::optional<double> matchValue = ParseNumber(matchText);
  if (!matchValue) return Failed("DontLockIfIPMatch is not a number: \"" + matchText + "\"");
  const bool wanted = *matchValue == 1.0;
  return Holds(match == wanted);
}

DontLockIfVerdict FileCheck(const DontLockIfPorts& ports) {
  const std::string path = ports.read(DontLockIfValue::FileExists);
  return Holds(!path.empty() && FileExists(ports.files, path));
}

}  // namespace

DontLockIfVerdict EvaluateDontLockIf(const Settings& settings, const DontLockIfPorts& ports) {
  switch (settings.DontLockIfOpt) {
    case DontLockIfCondition::DayTime: return DayAndTime(ports);
    case DontLockIfCondition::IpAddress: return IpAddress(ports);
    case DontLockIfCondition::FileExists: return FileCheck(ports);
    default: return Holds(false);
  }
}

DontLockIfVerdict CheckDontLockIf(const AppState& app, const DontLockIfPorts& ports) {
  if (!app.settings.DontLockIf ||
      (app.CurrentMode != ModeAutoLock && app.CurrentMode != ModeAutoLockSuspended)) {
    return {};
  }
  DontLockIfVerdict v = EvaluateDontLockIf(app.settings, ports);
  v.outcome = v.holds && !v.failed ? DontLockIfOutcome::Suspend : DontLockIfOutcome::Lock;
  return v;
}

}  // namespace hushkey
