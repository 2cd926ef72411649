// The Longtick ActiveX control: the counter hosted as an in-process COM object with a
// dual dispatch interface served from the type library, event and property-change
// connection points, property-bag and stream persistence, and what an ordinary OLE
// control container needs to site an invisible-at-run-time control.
#pragma once

#include <windows.h>
#include <ole2.h>
#include <ocidl.h>
#include <olectl.h>

#include "longtick/control/com_base_win32.h"
#include "longtick/control/connection_point_win32.h"
#include "win32/handles_win32.h"
#include "longtick/control/counter.h"
#include "longtick_idl.h"

namespace longtick {

// OLEMISC flags of the control, for the registry and IOleObject::GetMiscStatus.
inline constexpr DWORD kMiscStatus = OLEMISC_INVISIBLEATRUNTIME | OLEMISC_SETCLIENTSITEFIRST |
                                     OLEMISC_ACTIVATEWHENVISIBLE | OLEMISC_INSIDEOUT |
                                     OLEMISC_CANTLINKINSIDE | OLEMISC_RECOMPOSEONRESIZE;

class LongtickControl;

HRESULT CreateLongtickControl(IUnknown* outer, REFIID iid, void** out);
// Window class of the control's timer and view windows (registered on first use).
void UnregisterControlWindowClass();
// A window of the control class for `control`: the hidden timer window (parent
// HWND_MESSAGE) or the design-time view inside a container.
HWND CreateControlWindow(LongtickControl* control, HWND parent, DWORD style, const RECT& r);

class LongtickControl final
    : public ComObject<LongtickControl, _Longtick, IConnectionPointContainer, IProvideClassInfo2,
                       IPersistPropertyBag, IPersistStreamInit, IOleObject, IOleControl,
                       IOleInPlaceObject, IViewObject2, IQuickActivate, ISupportErrorInfo>,
      private CounterEvents {
 public:
  LongtickControl();
  ~LongtickControl() override;
  HRESULT Init();  // type information and the timer window; fails when they are missing

  void* Interface(REFIID iid);
  void OnTimerMessage();
  void Paint(HDC dc, const RECT& r);

  // IDispatch
  STDMETHODIMP GetTypeInfoCount(UINT* count) override;
  STDMETHODIMP GetTypeInfo(UINT index, LCID lcid, ITypeInfo** out) override;
  STDMETHODIMP GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID lcid,
                             DISPID* ids) override;
  STDMETHODIMP Invoke(DISPID id, REFIID iid, LCID lcid, WORD flags, DISPPARAMS* params,
                      VARIANT* result, EXCEPINFO* excep, UINT* arg_err) override;
  // _Longtick
  STDMETHODIMP get_IntervalSeconds(LONG* value) override;
  STDMETHODIMP put_IntervalSeconds(LONG value) override;
  STDMETHODIMP get_IntervalMinutes(LONG* value) override;
  STDMETHODIMP put_IntervalMinutes(LONG value) override;
  STDMETHODIMP get_IntervalHours(LONG* value) override;
  STDMETHODIMP put_IntervalHours(LONG value) override;
  STDMETHODIMP get_IntervalDays(LONG* value) override;
  STDMETHODIMP put_IntervalDays(LONG value) override;
  STDMETHODIMP get_Enabled(VARIANT_BOOL* value) override;
  STDMETHODIMP put_Enabled(VARIANT_BOOL value) override;
  STDMETHODIMP About() override;
  // IConnectionPointContainer
  STDMETHODIMP EnumConnectionPoints(IEnumConnectionPoints** out) override;
  STDMETHODIMP FindConnectionPoint(REFIID iid, IConnectionPoint** out) override;
  // IProvideClassInfo2
  STDMETHODIMP GetClassInfo(ITypeInfo** out) override;
  STDMETHODIMP GetGUID(DWORD kind, GUID* guid) override;
  // IPersist, IPersistPropertyBag, IPersistStreamInit
  STDMETHODIMP GetClassID(CLSID* clsid) override;
  STDMETHODIMP InitNew() override;
  STDMETHODIMP Load(IPropertyBag* bag, IErrorLog* log) override;
  STDMETHODIMP Save(IPropertyBag* bag, BOOL clear_dirty, BOOL save_all) override;
  STDMETHODIMP IsDirty() override;
  STDMETHODIMP Load(LPSTREAM stream) override;
  STDMETHODIMP Save(LPSTREAM stream, BOOL clear_dirty) override;
  STDMETHODIMP GetSizeMax(ULARGE_INTEGER* size) override;
  // IOleObject
  STDMETHODIMP SetClientSite(IOleClientSite* site) override;
  STDMETHODIMP GetClientSite(IOleClientSite** site) override;
  STDMETHODIMP SetHostNames(LPCOLESTR app, LPCOLESTR obj) override;
  STDMETHODIMP Close(DWORD save_option) override;
  STDMETHODIMP SetMoniker(DWORD which, IMoniker* mk) override;
  STDMETHODIMP GetMoniker(DWORD assign, DWORD which, IMoniker** mk) override;
  STDMETHODIMP InitFromData(IDataObject* data, BOOL creation, DWORD reserved) override;
  STDMETHODIMP GetClipboardData(DWORD reserved, IDataObject** data) override;
  STDMETHODIMP DoVerb(LONG verb, LPMSG msg, IOleClientSite* site, LONG index, HWND parent,
                      LPCRECT pos) override;
  STDMETHODIMP EnumVerbs(IEnumOLEVERB** verbs) override;
  STDMETHODIMP Update() override;
  STDMETHODIMP IsUpToDate() override;
  STDMETHODIMP GetUserClassID(CLSID* clsid) override;
  STDMETHODIMP GetUserType(DWORD form, LPOLESTR* type) override;
  STDMETHODIMP SetExtent(DWORD aspect, SIZEL* size) override;
  STDMETHODIMP GetExtent(DWORD aspect, SIZEL* size) override;
  STDMETHODIMP Advise(IAdviseSink* sink, DWORD* cookie) override;
  STDMETHODIMP Unadvise(DWORD cookie) override;
  STDMETHODIMP EnumAdvise(IEnumSTATDATA** out) override;
  STDMETHODIMP GetMiscStatus(DWORD aspect, DWORD* status) override;
  STDMETHODIMP SetColorScheme(LOGPALETTE* pal) override;
  // IOleControl
  STDMETHODIMP GetControlInfo(CONTROLINFO* info) override;
  STDMETHODIMP OnMnemonic(MSG* msg) override;
  STDMETHODIMP OnAmbientPropertyChange(DISPID id) override;
  STDMETHODIMP FreezeEvents(BOOL freeze) override;
  // IOleWindow, IOleInPlaceObject
  STDMETHODIMP GetWindow(HWND* hwnd) override;
  STDMETHODIMP ContextSensitiveHelp(BOOL enter) override;
  STDMETHODIMP InPlaceDeactivate() override;
  STDMETHODIMP UIDeactivate() override;
  STDMETHODIMP SetObjectRects(LPCRECT pos, LPCRECT clip) override;
  STDMETHODIMP ReactivateAndUndo() override;
  // IViewObject, IViewObject2
  STDMETHODIMP Draw(DWORD aspect, LONG index, void* aspect_info, DVTARGETDEVICE* target,
                    HDC target_dc, HDC dc, LPCRECTL bounds, LPCRECTL wbounds,
                    BOOL(STDMETHODCALLTYPE* cont)(ULONG_PTR), ULONG_PTR cont_arg) override;
  STDMETHODIMP GetColorSet(DWORD aspect, LONG index, void* aspect_info, DVTARGETDEVICE* target,
                           HDC target_dc, LOGPALETTE** colors) override;
  STDMETHODIMP Freeze(DWORD aspect, LONG index, void* aspect_info, DWORD* freeze) override;
  STDMETHODIMP Unfreeze(DWORD freeze) override;
  STDMETHODIMP SetAdvise(DWORD aspects, DWORD flags, IAdviseSink* sink) override;
  STDMETHODIMP GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink) override;
  STDMETHODIMP GetExtent(DWORD aspect, LONG index, DVTARGETDEVICE* target, LPSIZEL size) override;
  // IQuickActivate
  STDMETHODIMP QuickActivate(QACONTAINER* container, QACONTROL* control) override;
  STDMETHODIMP SetContentExtent(LPSIZEL size) override;
  STDMETHODIMP GetContentExtent(LPSIZEL size) override;
  // ISupportErrorInfo
  STDMETHODIMP InterfaceSupportsErrorInfo(REFIID iid) override;

 private:
  // CounterEvents
  bool SetTimerRunning(bool running) override;
  void PropertyChanged(int32_t dispid) override;
  void CountDown(const TimeLeft& left) override;
  void Timer() override;

  HRESULT GetInterval(Interval which, LONG* value);
  HRESULT PutInterval(Interval which, LONG value);
  HRESULT Report(Result result);
  HRESULT LoadStored(const StoredProperties& stored);
  void FireEvent(DISPID id, DISPPARAMS* params);
  void ReadUserMode();
  void ContainerResized();

  Counter counter_{*this};
  ComPtr<ITypeLib> typelib_;
  ComPtr<ITypeInfo> dispatch_info_;  // _Longtick as clients see it
  ComPtr<ITypeInfo> vtable_info_;    // its dual vtable, for Invoke
  ComPtr<ConnectionPoint> events_;
  ComPtr<ConnectionPoint> notify_;
  ComPtr<IOleClientSite> site_;
  ComPtr<IOleAdviseHolder> ole_advise_;
  ComPtr<IAdviseSink> view_advise_;
  DWORD view_advise_aspects_ = 0;
  DWORD view_advise_flags_ = 0;
  ComPtr<IOleInPlaceSite> inplace_site_;
  win32::UniqueWindow timer_window_;
  win32::UniqueWindow view_window_;
  HRESULT timer_error_ = E_FAIL;  // why the platform timer last failed to start
  bool user_mode_ = true;
  bool dirty_ = false;
  LONG freeze_events_ = 0;
  SIZEL extent_{};  // HIMETRIC
  RECT pos_{};
};

}  // namespace longtick
