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
#include "win32/com_win32.h"
#include "win32/handles_win32.h"

namespace hushkey {

// {F7BB6675-236C-4E5A-AB86-35BF25E402A6}
inline constexpr CLSID kLongtickClsid = {
    0xF7BB6675, 0x236C, 0x4E5A, {0xAB, 0x86, 0x35, 0xBF, 0x25, 0xE4, 0x02, 0xA6}};
// __Longtick, the event interface {7E8A0FFB-9D76-4CE3-97B7-D83BF1DA27BA}
inline constexpr IID kLongtickEventsIid = {
    0x7E8A0FFB, 0x9D76, 0x4CE3, {0x97, 0xB7, 0xD8, 0x3B, 0xF1, 0xDA, 0x27, 0xBA}};

inline constexpr DISPID kDispidEnabled = 0x68030000;
inline constexpr DISPID kDispidIntervalMinutes = 0x68030003;
inline constexpr DISPID kDispidIntervalSeconds = 0x68030004;
inline constexpr DISPID kDispidTimerEvent = 2;

inline constexpr wchar_t kLongtickFile[] = L"longtick.ocx";
inline constexpr wchar_t kLongtickProgId[] = L"LongtickOCX.Longtick";

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
