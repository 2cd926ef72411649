// Longtick1 on Win32: the hosted long-interval timer control as the inactivity timer.
// The control is created from its class identifier (or, when the class is not registered,
// from longtick.ocx in the program's own folder), started in its design state (disabled,
// intervals 0), driven only through IDispatch by DISPID, and its Timer event is sunk and
// handed to a callback.
#pragma once

#include <windows.h>
#include <ole2.h>
#include <ocidl.h>

#include <functional>
#include <memory>
#include <string>

#include "hushkey/engine/ports.h"
#include "longtick/control/longtick_ids_win32.h"
#include "win32/com_win32.h"
#include "win32/handles_win32.h"

namespace hushkey {

inline constexpr CLSID kLongtickClsid = longtick::ToGuid(longtick::kClsid);
// __Longtick, the event interface
inline constexpr IID kLongtickEventsIid = longtick::ToGuid(longtick::kEventsIid);

inline constexpr wchar_t kLongtickFile[] = L"longtick.ocx";

class LongtickHost final : public InactivityTimerPort {
 public:
  // Creates and sets up the control on the calling (COM apartment) thread. On failure
  // returns null and describes what went wrong in *error.
  static std::unique_ptr<LongtickHost> Create(std::wstring* error);
  ~LongtickHost() override;
  LongtickHost(const LongtickHost&) = delete;
  LongtickHost& operator=(const LongtickHost&) = delete;

  // Where the control's Timer event goes.
  void SetTimerHandler(std::function<void()> onTimer);

  // Disconnects the event, stops the timer and releases the control. Also done by the
  // destructor; nothing is called afterwards.
  void Close();

  // How the control was obtained: true when it came from the registered class, false when
  // it was loaded from the program's folder.
  bool FromRegisteredClass() const { return fromRegistry_; }

  // InactivityTimerPort
  bool Enabled() override;
  void SetEnabled(bool on) override;
  std::int32_t IntervalMinutes() override;
  void SetIntervalMinutes(std::int32_t minutes) override;
  std::int32_t IntervalSeconds() override;
  void SetIntervalSeconds(std::int32_t seconds) override;

 private:
  class EventSink;
  class Site;
  LongtickHost() = default;
  // The property as `type`; false when the control refuses it.
  bool GetProperty(DISPID id, VARTYPE type, win32::ScopedVariant& out);
  bool PutProperty(DISPID id, VARIANT value);

  win32::UniqueModule library_;  // held while the control lives when loaded by path
  bool fromRegistry_ = false;
  win32::ComPtr<IDispatch> control_;
  win32::ComPtr<IOleObject> oleObject_;
  win32::ComPtr<Site> site_;
  win32::ComPtr<EventSink> sink_;
  win32::ComPtr<IConnectionPoint> connection_;
  DWORD cookie_ = 0;
  std::function<void()> onTimer_;
};

}  // namespace hushkey
