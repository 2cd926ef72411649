#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <set>
#include <string>
#include <vector>

#include "tests/support/mode_code.h"
#include "hushkey/autolock/bounded_file_search.h"
#include "hushkey/autolock/dont_lock_if.h"
#include "hushkey/settings/load_settings.h"
#include "hushkey/engine/lock_mode.h"
#include "tests/support/fakes.h"
#include "tests/support/memory_settings_store.h"

namespace hushkey {
namespace {

using fakes::Events;

constexpr int Mon = 1, Wed = 3, Thu = 4, Fri = 5, Sat = 6, Sun = 7;

std::int32_t T(int h, int m, int s = 0) { return h * 3600 + m * 60 + s; }

struct FakeClock : ClockPort {
  LocalTime now{Mon, T(12, 0)};
  LocalTime Now() override { return now; }
};

struct FakeAddressTable : AddressTablePort {
  AddressTableRead table{true, 0, {}};
  int reads = 0;
  AddressTableRead ReadAddressTable() override {
    ++reads;
    return table;
  }
};

struct FakeFileSearch : FileSearchPort {
  std::set<std::string> files;
  std::vector<std::string> asked;
  bool AnyFileMatches(const std::string& pattern) override {
    asked.push_back(pattern);
    return files.count(pattern) != 0;
  }
};

class DontLockIfTest : public ::testing::Test {
 protected:
  DontLockIfTest() {
    app.CurrentMode = ModeAutoLock;
    app.settings.DontLockIf = true;
    app.settings.DontLockIfOpt = DontLockIfCondition{0};
  }
  bool Check(DontLockIfVerdict* v = nullptr) {
    DontLockIfVerdict found = CheckDontLockIf(app, ports);
    const bool suspend = found.outcome == DontLockIfOutcome::Suspend;
    if (v) *v = std::move(found);
    return suspend;
  }
  bool HeldBackAt(int weekday, std::int32_t secondOfDay) {
    clock.now = {weekday, secondOfDay};
    app.CurrentMode = ModeAutoLock;
    return Check();
  }

  MemorySettingsStore store;
  FakeClock clock;
  FakeAddressTable addresses;
  FakeFileSearch files;
  DontLockIfPorts ports{DontLockIfValuesIn(store), clock, addresses, files};
  AppState app;
};

// ---- Day and time ----------------------------------------------------------------

TEST(TimeWindow, BoundsAndMidnight) {
  struct Case {
    std::int32_t now, start, end;
    bool in;
  };
  const Case cases[] = {
      {.now = T(8, 0), .start = T(8, 0), .end = T(17, 0), .in = true},
      {.now = T(7, 59, 59), .start = T(8, 0), .end = T(17, 0), .in = false},
      {.now = T(23, 59, 59), .start = T(22, 0), .end = T(6, 0), .in = true},
      {.now = 0, .start = T(22, 0), .end = T(6, 0), .in = true},
      {.now = T(21, 59, 59), .start = T(22, 0), .end = T(6, 0), .in = false},
      {.now = T(3, 0), .start = T(9, 0), .end = T(9, 0), .in = true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.now << " in [" << c.start << "," << c.end << "]");
    EXPECT_EQ(InTimeWindow(c.now, c.start, c.end), c.in);
  }
}

TEST_F(DontLockIfTest, DefaultWindowIsWeekdaysEightToFiveInclusive) {
  EXPECT_TRUE(HeldBackAt(Mon, T(8, 0)));
  EXPECT_TRUE(HeldBackAt(Fri, T(17, 0, 0)));
  EXPECT_FALSE(HeldBackAt(Fri, T(17, 0, 1)));
  EXPECT_FALSE(HeldBackAt(Mon, T(7, 59, 59)));
  EXPECT_FALSE(HeldBackAt(Sat, T(12, 0)));
}

TEST_F(DontLockIfTest, UnmarkedDayDoesNotConsultTheWindow) {
  // On Saturday with the default mask even an unreadable time is never looked at.
  store.Set(SettingId::DontLockIfStartTime, "garbage");
  DontLockIfVerdict v;
  clock.now = {Sat, T(12, 0)};
  EXPECT_FALSE(Check(&v));
  EXPECT_FALSE(v.failed);
}

TEST_F(DontLockIfTest, OvernightWindowFromStore) {
  store.Set(SettingId::DontLockIfStartTime, "22:00");
  store.Set(SettingId::DontLockIfEndTime, "06:00");
  store.Set(SettingId::DontLockIfDay, "XXXXXXX");
  EXPECT_TRUE(HeldBackAt(Mon, T(22, 0)));
  EXPECT_TRUE(HeldBackAt(Mon, T(6, 0, 0)));
  EXPECT_FALSE(HeldBackAt(Mon, T(6, 0, 1)));
  EXPECT_FALSE(HeldBackAt(Mon, T(12, 0)));
  store.Set(SettingId::DontLockIfStartTime, "10:00 PM");  // 12-hour form reads the same
  store.Set(SettingId::DontLockIfEndTime, "6:00 am");
  EXPECT_TRUE(HeldBackAt(Mon, T(6, 0, 0)));
  EXPECT_FALSE(HeldBackAt(Mon, T(6, 0, 1)));
}

TEST_F(DontLockIfTest, EqualOrEmptyEndsMeanAllDayOnMarkedDays) {
  const std::pair<const char*, const char*> ends[] = {{"", ""}, {"09:30", "9:30"}, {"", "00:00"}};
  for (auto [start, end] : ends) {
    SCOPED_TRACE(std::string(start) + "-" + end);
    store.Set(SettingId::DontLockIfStartTime, start);
    store.Set(SettingId::DontLockIfEndTime, end);
    EXPECT_TRUE(HeldBackAt(Mon, 0));
    EXPECT_TRUE(HeldBackAt(Wed, T(23, 59, 59)));
    EXPECT_FALSE(HeldBackAt(Sun, T(12, 0)));
  }
}

TEST_F(DontLockIfTest, EmptyStartMeansMidnightNotTheDefault) {
  store.Set(SettingId::DontLockIfStartTime, "");
  EXPECT_TRUE(HeldBackAt(Mon, T(3, 0)));  // with "08:00" this would be outside
}

TEST_F(DontLockIfTest, MasksThatMarkNothing) {
  for (const char* mask : {"       ", "xxxxxxx", "", "XXX"}) {
    SCOPED_TRACE(std::string("\"") + mask + "\"");
    store.Set(SettingId::DontLockIfDay, mask);
    EXPECT_FALSE(HeldBackAt(Thu, T(12, 0)));
    EXPECT_FALSE(HeldBackAt(Sun, T(12, 0)));
  }
  store.Set(SettingId::DontLockIfDay, "XXX");
  EXPECT_TRUE(HeldBackAt(Mon, T(12, 0)));
  store.Set(SettingId::DontLockIfDay, "      X");
  EXPECT_TRUE(HeldBackAt(Sun, T(12, 0)));
  EXPECT_FALSE(HeldBackAt(Sat, T(12, 0)));
}

TEST_F(DontLockIfTest, UnreadableTimeIsAFailureAnsweredFalse) {
  for (auto key : {SettingId::DontLockIfStartTime, SettingId::DontLockIfEndTime}) {
    MemorySettingsStore fresh;
    DontLockIfPorts p{DontLockIfValuesIn(fresh), clock, addresses, files};
    fresh.Set(key, "half past eight");
    clock.now = {Mon, T(12, 0)};
    app.CurrentMode = ModeAutoLockSuspended;
    const DontLockIfVerdict v = CheckDontLockIf(app, p);
    EXPECT_EQ(v.outcome, DontLockIfOutcome::Lock);  // like any false answer: locking goes ahead
    EXPECT_TRUE(v.failed);
    EXPECT_NE(v.failure.find("half past eight"), std::string::npos);
  }
}

// ---- IP address ------------------------------------------------------------------

Ipv4Address A(int a, int b, int c, int d) {
  return {static_cast<std::uint8_t>(a), static_cast<std::uint8_t>(b), static_cast<std::uint8_t>(c),
          static_cast<std::uint8_t>(d)};
}

TEST(LocalIPAddressRule, RowSelection) {
  struct Case {
    std::vector<Ipv4Address> rows;
    const char* want;
  };
  const Case cases[] = {
      {{A(127, 0, 0, 1), A(169, 254, 3, 4), A(10, 1, 2, 3)}, "10.1.2.3"},
      {{A(127, 0, 0, 1), A(169, 254, 3, 4)}, "169.254.3.4"},
      {{A(169, 254, 1, 1), A(169, 254, 9, 9), A(127, 0, 0, 1)}, "169.254.9.9"},
      {{A(127, 0, 0, 1)}, ""},
      {{}, ""},
      {{A(0, 0, 0, 0), A(192, 168, 0, 15), A(10, 0, 0, 1)}, "192.168.0.15"},
      {{A(10, 0, 0, 1), A(169, 254, 0, 1)}, "10.0.0.1"},
      {{A(255, 255, 255, 255)}, "255.255.255.255"},
      {{A(172, 16, 0, 9), A(127, 1, 1, 1)}, "172.16.0.9"},
      {{A(168, 254, 0, 1), A(10, 0, 0, 1)}, "168.254.0.1"},  // only 169 counts as link-local
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.want);
    EXPECT_EQ(SelectLocalIPAddress(c.rows), c.want);
  }
}

TEST_F(DontLockIfTest, IpConditionAndItsSense) {
  app.settings.DontLockIfOpt = DontLockIfCondition{1};
  // The address table, the stored prefix and match flag (left out: not stored) and whether
  // locking is held back (left out: no).
  struct Case {
    std::vector<Ipv4Address> rows;
    const char* prefix = nullptr;
    const char* match = nullptr;  // missing: default 0
    bool held = false;
  };
  const Case cases[] = {
      {.rows = {A(192, 168, 0, 15)}, .prefix = "192.168.0.", .match = "1", .held = true},
      {.rows = {A(192, 168, 10, 5)}, .prefix = "192.168.0.", .match = "1"},
      {.rows = {A(192, 168, 10, 5)}, .prefix = "192.168.0.", .match = "0", .held = true},
      {.rows = {A(192, 168, 0, 15)}, .prefix = "192.168.0."},
      {.rows = {A(192, 168, 10, 5)}, .held = true},  // all defaults: away from home
      {.rows = {A(10, 0, 0, 1)}, .prefix = "10.0.0.1", .match = "1", .held = true},
      // Only the number 1 means "match".
      {.rows = {A(10, 0, 0, 1)}, .prefix = "10.0.0.1", .match = "2"},
      // Address shorter than prefix.
      {.rows = {A(192, 168, 0, 1)}, .prefix = "192.168.0.15", .match = "1"},
      {.rows = {A(192, 168, 0, 15)}, .prefix = "192.168.0.15", .match = "1", .held = true},
      {.rows = {A(10, 0, 0, 1)}, .prefix = "10.0.0.1", .match = "1.0", .held = true},
      // Whole octets: a prefix without the closing dot names complete octets.
      {.rows = {A(10, 0, 0, 15)}, .prefix = "10.0.0.1", .match = "1"},
      {.rows = {A(192, 168, 10, 4)}, .prefix = "192.168.1", .match = "1"},
      {.rows = {A(192, 168, 1, 4)}, .prefix = "192.168.1", .match = "1", .held = true},
      {.rows = {A(192, 168, 10, 4)}, .prefix = "192.168.1", .match = "0", .held = true},
      // Every qualifying address counts: a VPN or virtual adapter listed first.
      {.rows = {A(10, 8, 0, 6), A(192, 168, 0, 15)},
       .prefix = "192.168.0.",
       .match = "1",
       .held = true},
      {.rows = {A(10, 8, 0, 6), A(192, 168, 0, 15)}, .prefix = "192.168.0.", .match = "0"},
      // Link-local: fallback.
      {.rows = {A(169, 254, 3, 4), A(10, 8, 0, 6)}, .prefix = "169.254.", .match = "1"},
      {.rows = {A(127, 0, 0, 1), A(169, 254, 3, 4)},
       .prefix = "169.254.",
       .match = "1",
       .held = true},
      // No address: nothing matches.
      {.rows = {A(127, 0, 0, 1)}, .prefix = "192.168.0.", .match = "1"},
      {.rows = {A(127, 0, 0, 1)}, .prefix = "192.168.0.", .match = "0", .held = true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << (c.prefix ? c.prefix : "<default>")
                                      << " match=" << (c.match ? c.match : "<default>"));
    MemorySettingsStore fresh;
    DontLockIfPorts p{DontLockIfValuesIn(fresh), clock, addresses, files};
    if (c.prefix) fresh.Set(SettingId::DontLockIfIP, c.prefix);
    if (c.match) fresh.Set(SettingId::DontLockIfIPMatch, c.match);
    addresses.table = {true, 0, c.rows};
    app.CurrentMode = ModeAutoLock;
    EXPECT_EQ(CheckDontLockIf(app, p).outcome == DontLockIfOutcome::Suspend, c.held);
  }
}

TEST_F(DontLockIfTest, EmptyPrefixNeverLooksUpTheAddress) {
  app.settings.DontLockIfOpt = DontLockIfCondition{1};
  store.Set(SettingId::DontLockIfIP, "");
  store.Set(SettingId::DontLockIfIPMatch, "0");  // would hold for any address
  EXPECT_FALSE(Check());
  EXPECT_EQ(addresses.reads, 0);
}

TEST_F(DontLockIfTest, IpFailuresAnswerFalse) {
  app.settings.DontLockIfOpt = DontLockIfCondition{1};
  store.Set(SettingId::DontLockIfIPMatch, "0");
  addresses.table = {false, 122, {}};
  DontLockIfVerdict v;
  app.CurrentMode = ModeAutoLockSuspended;
  EXPECT_FALSE(Check(&v));
  EXPECT_TRUE(v.failed);
  EXPECT_EQ(v.failure, "GetIpAddrTable failed with return value 122");

  addresses.table = {true, 0, {A(10, 0, 0, 1)}};
  store.Set(SettingId::DontLockIfIPMatch, "yes");
  EXPECT_FALSE(Check(&v));
  EXPECT_TRUE(v.failed);
}

// ---- File exists -----------------------------------------------------------------

TEST_F(DontLockIfTest, FileConditionStripsQuotes) {
  app.settings.DontLockIfOpt = DontLockIfCondition{2};
  files.files = {"C:\\flags\\work.on"};
  EXPECT_FALSE(Check()) << "empty path (the default) never holds";
  EXPECT_TRUE(files.asked.empty());

  store.Set(SettingId::DontLockIfFileExists, "\"C:\\flags\\work.on\"");
  EXPECT_TRUE(Check());
  store.Set(SettingId::DontLockIfFileExists, "C:\\flags\\work.on");
  EXPECT_TRUE(Check());
  store.Set(SettingId::DontLockIfFileExists, "C:\\flags\\home.on");
  EXPECT_FALSE(Check());
  store.Set(SettingId::DontLockIfFileExists, "\"\"");  // nothing left after the quotes
  EXPECT_FALSE(Check());
  EXPECT_EQ(files.asked, (std::vector<std::string>{"C:\\flags\\work.on", "C:\\flags\\work.on",
                                                   "C:\\flags\\home.on"}));
}

// ---- When it is checked ----------------------------------------------------------

// Only with DontLockIf on and in the autolock modes; the mode is never changed here.
TEST_F(DontLockIfTest, CheckedOnlyInAutolockWithTheSettingOn) {
  clock.now = {Mon, T(12, 0)};  // the condition holds
  for (ModeCode mode : {0, 1, 2, 20, 3, 30, 4, 99, -1}) {
    for (bool on : {true, false}) {
      app.CurrentMode = mode;
      app.settings.DontLockIf = on;
      const bool checked = on && (mode == ModeAutoLock || mode == ModeAutoLockSuspended);
      EXPECT_EQ(CheckDontLockIf(app, ports).outcome,
                checked ? DontLockIfOutcome::Suspend : DontLockIfOutcome::NotChecked)
          << mode << " " << on;
      EXPECT_EQ(app.CurrentMode, mode);
    }
  }
}

TEST_F(DontLockIfTest, UnknownOptionHoldsNothing) {
  for (std::int16_t opt : {-1, 3, 99}) {
    app.settings.DontLockIfOpt = DontLockIfCondition{opt};
    app.CurrentMode = ModeAutoLockSuspended;
    EXPECT_FALSE(Check()) << opt;
  }
}

// A search that answers only when released, as a share whose server does not answer.
class GatedSearch final : public FileSearchPort {
 public:
  bool AnyFileMatches(const std::string&) override {
    std::unique_lock lock(mutex_);
    ++calls_;
    opened_.wait(lock, [&] { return open_; });
    return found_;
  }
  void Release(bool found) {
    {
      std::lock_guard lock(mutex_);
      open_ = true;
      found_ = found;
    }
    opened_.notify_all();
  }
  int Calls() {
    std::lock_guard lock(mutex_);
    return calls_;
  }

 private:
  std::mutex mutex_;
  std::condition_variable opened_;
  bool open_ = false, found_ = false;
  int calls_ = 0;
};

// The caller never waits much longer than the limit, whatever the search does: a slow
// search answers "no file" until it has finished, and is never started twice meanwhile;
// once finished, its answer is what the next check sees.
TEST(BoundedFileSearch, SlowSearchIsCutOffAndItsAnswerUsedOnceItComes) {
  using namespace std::chrono;
  auto gated = std::make_shared<GatedSearch>();
  BoundedFileSearch search(gated, milliseconds(50));
  for (int i = 0; i < 3; ++i) {
    const auto start = steady_clock::now();
    EXPECT_FALSE(search.AnyFileMatches("\\\\server\\share\\flag"));
    EXPECT_LT(steady_clock::now() - start, seconds(5)) << "the caller was held up";
  }
  gated->Release(true);
  // The finished answer arrives with the next call at the latest within its wait.
  bool found = false;
  for (int i = 0; i < 500 && !found; ++i) {
    found = search.AnyFileMatches("\\\\server\\share\\flag");
    if (!found) std::this_thread::sleep_for(milliseconds(10));
  }
  EXPECT_TRUE(found);
  EXPECT_LE(gated->Calls(), 2);
}

TEST(BoundedFileSearch, FastSearchAnswersAtOnce) {
  auto files = std::make_shared<FakeFileSearch>();
  files->files = {"C:\\flag.on"};
  BoundedFileSearch search(files, std::chrono::seconds(10));
  EXPECT_TRUE(search.AnyFileMatches("C:\\flag.on"));
  EXPECT_FALSE(search.AnyFileMatches("C:\\other"));
}

// The table as the system hands it out: rows are read as far as the buffer holds them,
// whatever the count says, each address first octet first.
TEST(AddressTableRows, ReadsTheRowsTheBufferHolds) {
  std::vector<std::uint8_t> table = {5, 0, 0, 0};  // says five rows
  for (std::uint8_t first : {192, 10}) {
    std::vector<std::uint8_t> row(kAddressTableRowBytes, 0xEE);
    row[0] = first, row[1] = 168, row[2] = 0, row[3] = 15;
    table.insert(table.end(), row.begin(), row.end());
  }
  table.resize(table.size() + kAddressTableRowBytes - 1);  // and part of a third
  EXPECT_EQ(AddressTableRows(table),
            (std::vector<Ipv4Address>{A(192, 168, 0, 15), A(10, 168, 0, 15)}));
  EXPECT_TRUE(AddressTableRows(std::span(table).first(3)).empty());
  table[0] = 1;
  EXPECT_EQ(AddressTableRows(table).size(), 1u);
}

}  // namespace
}  // namespace hushkey
