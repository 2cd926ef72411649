// Helpers for the Windows-side tests of longtick.ocx: registration through the system's
// regsvr32, a message pump with a deadline, late-bound property access, and hand-written
// event sinks and property bag as a container or client would supply them.
#pragma once

#include <windows.h>
#include <ole2.h>
#include <ocidl.h>
#include <olectl.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "longtick/control/longtick_ids_win32.h"

namespace lttest {

inline constexpr CLSID kClsid = longtick::ToGuid(longtick::kClsid);
inline constexpr IID kControlIid = longtick::ToGuid(longtick::kControlIid);
inline constexpr IID kEventsIid = longtick::ToGuid(longtick::kEventsIid);
inline constexpr GUID kLibid = longtick::ToGuid(longtick::kLibid);
using longtick::kProgId;

std::wstring OcxPath();                           // longtick.ocx beside the test program
std::wstring SystemProgram(const wchar_t* name);  // e.g. regsvr32.exe in the system folder
// Runs a command line, waits (generous deadline) and returns its exit code, or -1. When
// `output` is given, the program's standard output and error are collected there.
int RunProcess(const std::wstring& command_line, std::string* output = nullptr);
int Regsvr32(bool unregister);
bool ClassesKeyExists(const std::wstring& key);
std::wstring ClassesValue(const std::wstring& key, const wchar_t* name = nullptr);
std::wstring GuidText(REFGUID guid);

// The control's hidden timer windows (message-only windows of its class).
std::vector<HWND> ControlTimerWindows();

// Processes messages until `done` holds or `timeout_ms` passed; returns `done()`.
bool PumpUntil(const std::function<bool()>& done, DWORD timeout_ms = 30000);

// Late-bound access through IDispatch.
DISPID DispIdOf(IDispatch* disp, const wchar_t* name);
HRESULT PutLong(IDispatch* disp, DISPID id, LONG value, EXCEPINFO* excep = nullptr);
HRESULT PutBool(IDispatch* disp, DISPID id, bool value);
HRESULT GetValue(IDispatch* disp, DISPID id, VARIANT* out);
LONG GetLong(IDispatch* disp, DISPID id);

// One record of an event sink, in arrival order.
struct EventRecord {
  DISPID id;
  std::vector<LONG> args;  // CountDown's seven values, Years first
};

// An IDispatch sink for __Longtick.
class EventSink : public IDispatch {
 public:
  std::vector<EventRecord> events;
  HRESULT invoke_result = S_OK;                      // what Invoke answers
  std::function<void(const EventRecord&)> on_event;  // runs inside the event
  bool answer_events_iid = true;                     // QI for __Longtick succeeds

  int Count(DISPID id) const;
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
  STDMETHODIMP_(ULONG) AddRef() override { return ++refs; }
  STDMETHODIMP_(ULONG) Release() override { return --refs; }
  STDMETHODIMP GetTypeInfoCount(UINT* n) override;
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override;
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override;
  STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* p, VARIANT*, EXCEPINFO*,
                      UINT*) override;
  LONG refs = 0;  // lives on the test's stack; the count shows leaks
};

class NotifySink : public IPropertyNotifySink {
 public:
  std::vector<DISPID> changed;
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
  STDMETHODIMP_(ULONG) AddRef() override { return ++refs; }
  STDMETHODIMP_(ULONG) Release() override { return --refs; }
  STDMETHODIMP OnChanged(DISPID id) override {
    changed.push_back(id);
    return S_OK;
  }
  STDMETHODIMP OnRequestEdit(DISPID) override { return S_OK; }
  LONG refs = 0;
};

// A property bag that keeps values in write order and logs the names read.
class MemoryBag : public IPropertyBag {
 public:
  std::vector<std::pair<std::wstring, VARIANT>> values;
  std::vector<std::wstring> reads;
  std::wstring unreadable;  // a name whose Read fails with E_FAIL
  ~MemoryBag();
  void Set(const std::wstring& name, LONG value);
  void SetBool(const std::wstring& name, bool value);
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
  STDMETHODIMP_(ULONG) AddRef() override { return 2; }
  STDMETHODIMP_(ULONG) Release() override { return 1; }
  STDMETHODIMP Read(LPCOLESTR name, VARIANT* v, IErrorLog*) override;
  STDMETHODIMP Write(LPCOLESTR name, VARIANT* v) override;
};

// Connects a sink to one of the control's connection points for its lifetime.
class Connection {
 public:
  Connection(IUnknown* control, REFIID iid, IUnknown* sink);
  ~Connection();
  void Disconnect();
  HRESULT hr() const { return hr_; }
  IConnectionPoint* point() const { return cp_; }
  DWORD cookie() const { return cookie_; }

 private:
  IConnectionPoint* cp_ = nullptr;
  DWORD cookie_ = 0;
  HRESULT hr_ = E_FAIL;
};

}  // namespace lttest
