// The "Don't Lock If" conditions: whether autolock is to be held back right now, and the
// move between autolock (3) and autolock suspended (30) that goes with the answer.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "hushkey/engine/app_state.h"
#include "hushkey/engine/ports.h"
#include "hushkey/engine/settings_record.h"

namespace hushkey {

// ---- Ports -------------------------------------------------------------------------

struct LocalTime {
  int weekday = 1;               // Monday = 1 ... Sunday = 7
  std::int32_t secondOfDay = 0;  // 0..86399
};

// The local clock. One call gives day and time together, so a check near midnight never
// mixes the day of one call with the time of another.
class ClockPort {
 public:
  virtual ~ClockPort() = default;
  virtual LocalTime Now() = 0;
};

// An IPv4 address, first (most significant) octet first.
using Ipv4Address = std::array<std::uint8_t, 4>;

struct AddressTableRead {
  bool ok = false;
  std::uint32_t error = 0;        // the platform's return value when !ok
  std::vector<Ipv4Address> rows;  // in the table's (sorted) order
};

// The address table as the system hands it out: a 32-bit row count, then rows of 24 bytes
// whose first four are the address, first octet first. Rows beyond the buffer are not read,
// whatever the count says.
inline constexpr std::size_t kAddressTableHeaderBytes = 4;
inline constexpr std::size_t kAddressTableRowBytes = 24;
std::vector<Ipv4Address> AddressTableRows(std::span<const std::uint8_t> table);

// The machine's IPv4 address table.
class AddressTablePort {
 public:
  virtual ~AddressTablePort() = default;
  virtual AddressTableRead ReadAddressTable() = 0;
};

// Directory search: true when the path or wildcard pattern (used as given) matches at
// least one entry that is not a directory.
class FileSearchPort {
 public:
  virtual ~FileSearchPort() = default;
  virtual bool AnyFileMatches(const std::string& pattern) = 0;
};

// ---- Rules -------------------------------------------------------------------------

// The value, or the fallback when the value is the empty text.
std::string IfEmpty(std::string_view value, std::string_view fallback);

// True when the mask's character for the weekday (Monday = 1 ... Sunday = 7) is exactly
// "X". A mask too short to reach the day does not mark it.
bool DayMarked(std::string_view mask, int weekday);

// Window from start to end (seconds of the day), both ends inside. Equal ends: the whole
// day. End before start: the window runs across midnight.
bool InTimeWindow(std::int32_t now, std::int32_t start, std::int32_t end);

// The address begins with the prefix in whole octets: "192.168.1" matches 192.168.1.7 but
// not 192.168.10.4, "10.0.0.1" matches only 10.0.0.1, and a prefix ending in "." (as
// "192.168.0.") matches every address that starts with it. Case-sensitive text otherwise.
bool AddressMatchesPrefix(std::string_view address, std::string_view prefix);

// "192.168.0.15": octets in decimal without leading zeros.
std::string FormatIpv4(const Ipv4Address& a);

// The address the IP condition looks at: the first row whose first octet is neither 0,
// 127 nor 169; failing that, the last row starting with 169 (link-local); else empty.
std::string SelectLocalIPAddress(std::span<const Ipv4Address> rows);

// Every address the IP condition looks at: the rows whose first octet is neither 0, 127
// nor 169, in table order; when there are none, the link-local (169) rows.
std::vector<std::string> QualifyingAddresses(std::span<const Ipv4Address> rows);

struct LocalIPAddressResult {
  bool ok = false;
  std::string address;  // dotted address or empty (no qualifying row); empty when !ok
  std::string failure;  // "GetIpAddrTable failed with return value R" when !ok
};

// Reads the table and applies the selection rule.
LocalIPAddressResult LocalIPAddress(AddressTablePort& table);

// Removes every double quote, so a path stored as "C:\dir\file" works.
std::string RemoveDoubleQuotes(std::string_view path);

// True when the path (quotes removed) or pattern names at least one file.
bool FileExists(FileSearchPort& files, std::string_view path);

// ---- The check ---------------------------------------------------------------------

// The stored values the conditions read, at every check: the days, the start and end times,
// the address prefix and whether it must match, the file.
enum class DontLockIfValue : std::uint8_t { Day, StartTime, EndTime, Ip, IpMatch, FileExists };

// Reads one stored value (its default when it is missing).
using DontLockIfValueReader = std::function<std::string(DontLockIfValue)>;

struct DontLockIfPorts {
  DontLockIfValueReader read;
  ClockPort& clock;
  AddressTablePort& addresses;
  FileSearchPort& files;
};

// What the check found: not checked (DontLockIf off, or not in an autolock mode), lock (no
// condition holds, or it could not be evaluated), or suspend (the condition holds).
enum class DontLockIfOutcome : std::uint8_t { NotChecked, Lock, Suspend };

// The selected condition's verdict. failed: the condition could not be evaluated
// (unreadable address table, a stored time or match flag that does not convert); holds is
// then false and failure says why.
struct DontLockIfVerdict {
  DontLockIfOutcome outcome = DontLockIfOutcome::NotChecked;
  bool holds = false;
  bool failed = false;
  std::string failure;
};

// Evaluates the condition selected by settings.DontLockIfOpt (any code that selects none:
// nothing holds). Ignores settings.DontLockIf and the mode; the outcome is left unset.
DontLockIfVerdict EvaluateDontLockIf(const Settings& settings, const DontLockIfPorts& ports);

// Whether locking is to be held back now: checked only when app.settings.DontLockIf is on
// and the mode is 3 or 30. A condition that cannot be evaluated answers Lock (locking goes
// ahead) and the program keeps running. Changes nothing: moving between 3 and 30 is the
// main window's.
DontLockIfVerdict CheckDontLockIf(const AppState& app, const DontLockIfPorts& ports);

}  // namespace hushkey
