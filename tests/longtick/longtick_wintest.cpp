// longtick.ocx under Wine as its clients meet it: registered by the system's regsvr32,
// created by ProgID, driven late-bound by DISPID and by name, events through a real message
// loop, persistence, invalid use, and the standard containers nobody here wrote (the ATL host
// window and the script host).
#include <windows.h>
#include <ole2.h>
#include <olectl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <memory>
#include <utility>

#include "com_test_support_win32.h"
#include "longtick_idl.h"

using namespace lttest;

namespace {

constexpr DISPID kEnabled = longtick::kDispidEnabled, kAbout = longtick::kDispidAbout;
constexpr DISPID kDays = longtick::kDispidIntervalDays, kHours = longtick::kDispidIntervalHours;
constexpr DISPID kMinutes = longtick::kDispidIntervalMinutes,
                 kSeconds = longtick::kDispidIntervalSeconds;
constexpr DISPID kCountDown = longtick::kDispidCountDown, kTimer = longtick::kDispidTimer;

class RegisteredControl : public ::testing::Environment {
 public:
  void SetUp() override {
    ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
    ASSERT_EQ(Regsvr32(false), 0) << "regsvr32 " << std::string(OcxPath().begin(), OcxPath().end());
  }
  void TearDown() override {
    EXPECT_EQ(Regsvr32(true), 0);
    EXPECT_FALSE(ClassesKeyExists(L"CLSID\\" + GuidText(kClsid)));
    OleUninitialize();
  }
};

template <class T>
struct Ptr {
  T* p = nullptr;
  Ptr() = default;
  Ptr(const Ptr&) = delete;
  ~Ptr() { reset(); }
  void reset() {
    if (p) p->Release();
    p = nullptr;
  }
  T* operator->() const { return p; }
  void** out() {
    reset();
    return reinterpret_cast<void**>(&p);
  }
};

Ptr<IDispatch>* NewControl(Ptr<IDispatch>& d) {
  CLSID clsid{};
  EXPECT_EQ(CLSIDFromProgID(kProgId, &clsid), S_OK);
  EXPECT_TRUE(IsEqualCLSID(clsid, kClsid));
  EXPECT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, d.out()), S_OK);
  return &d;
}

std::vector<LONG> Left(LONG s, LONG m = 0, LONG h = 0, LONG d = 0) { return {0, 0, 0, d, h, m, s}; }

// ---- registration -------------------------------------------------------------------------

TEST(Registration, KeysWrittenByRegsvr32) {
  const std::wstring clsid = L"CLSID\\" + GuidText(kClsid);
  EXPECT_EQ(ClassesValue(clsid + L"\\InprocServer32"), OcxPath());
  EXPECT_EQ(ClassesValue(clsid + L"\\InprocServer32", L"ThreadingModel"), L"Apartment");
  EXPECT_EQ(ClassesValue(clsid + L"\\ProgID"), kProgId);
  EXPECT_EQ(ClassesValue(clsid + L"\\VersionIndependentProgID"), kProgId);
  EXPECT_TRUE(ClassesKeyExists(clsid + L"\\Control"));
  EXPECT_EQ(ClassesValue(clsid + L"\\ToolboxBitmap32"), OcxPath() + L", 30000");
  EXPECT_EQ(ClassesValue(clsid + L"\\TypeLib"), GuidText(kLibid));
  EXPECT_EQ(ClassesValue(clsid + L"\\Version"), L"2.0");
  DWORD misc = std::stoul(ClassesValue(clsid + L"\\MiscStatus\\1"));
  EXPECT_TRUE(misc & OLEMISC_INVISIBLEATRUNTIME);
  EXPECT_TRUE(misc & OLEMISC_SETCLIENTSITEFIRST);
  EXPECT_EQ(ClassesValue(std::wstring(kProgId) + L"\\CLSID"), GuidText(kClsid));
  for (REFIID iid : {kControlIid, kEventsIid})
    EXPECT_EQ(ClassesValue(L"Interface\\" + GuidText(iid) + L"\\TypeLib"), GuidText(kLibid));
  EXPECT_TRUE(ClassesKeyExists(L"TypeLib\\" + GuidText(kLibid) + L"\\2.0"));
}

TEST(Registration, UnregisterRemovesEverythingItWrote) {
  const std::wstring keys[] = {
      L"CLSID\\" + GuidText(kClsid), kProgId, L"Interface\\" + GuidText(kControlIid),
      L"Interface\\" + GuidText(kEventsIid), L"TypeLib\\" + GuidText(kLibid)};
  ASSERT_EQ(Regsvr32(true), 0);
  EXPECT_EQ(Regsvr32(true), 0) << "unregistering what is not there is no failure";
  for (const auto& k : keys) EXPECT_FALSE(ClassesKeyExists(k)) << std::string(k.begin(), k.end());
  Ptr<IDispatch> d;
  EXPECT_EQ(CoCreateInstance(kClsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, d.out()),
            REGDB_E_CLASSNOTREG);
  ASSERT_EQ(Regsvr32(false), 0);
  for (const auto& k : keys) EXPECT_TRUE(ClassesKeyExists(k)) << std::string(k.begin(), k.end());
}

// ---- type library and resources ------------------------------------------------------------

std::wstring Name(ITypeInfo* ti, MEMBERID id, std::wstring* help = nullptr) {
  BSTR name = nullptr, doc = nullptr;
  ti->GetDocumentation(id, &name, &doc, nullptr, nullptr);
  std::wstring n = name ? name : L"", h = doc ? doc : L"";
  SysFreeString(name);
  SysFreeString(doc);
  if (help) *help = h;
  return n;
}

TEST(TypeLibrary, MatchesTheControlsContract) {
  Ptr<ITypeLib> lib;
  ASSERT_EQ(LoadRegTypeLib(kLibid, 2, 0, 0x409, reinterpret_cast<ITypeLib**>(lib.out())), S_OK);
  TLIBATTR* la = nullptr;
  ASSERT_EQ(lib->GetLibAttr(&la), S_OK);
  EXPECT_EQ(la->lcid, 0x409u);
  EXPECT_EQ(la->wMajorVerNum, 2);
  EXPECT_EQ(la->wMinorVerNum, 0);
  EXPECT_TRUE(la->wLibFlags & LIBFLAG_FCONTROL);
  lib->ReleaseTLibAttr(la);
  BSTR libname = nullptr;
  lib->GetDocumentation(-1, &libname, nullptr, nullptr, nullptr);
  EXPECT_STREQ(libname, L"LongtickOCX");
  SysFreeString(libname);

  // Coclass: a control with _Longtick as default and __Longtick as default source.
  Ptr<ITypeInfo> cls;
  ASSERT_EQ(lib->GetTypeInfoOfGuid(kClsid, reinterpret_cast<ITypeInfo**>(cls.out())), S_OK);
  TYPEATTR* ca = nullptr;
  ASSERT_EQ(cls->GetTypeAttr(&ca), S_OK);
  EXPECT_EQ(ca->typekind, TKIND_COCLASS);
  EXPECT_TRUE(ca->wTypeFlags & TYPEFLAG_FCONTROL);
  ASSERT_EQ(ca->cImplTypes, 2);
  cls->ReleaseTypeAttr(ca);
  EXPECT_EQ(Name(cls.p, -1), L"Longtick");
  const std::pair<int, const wchar_t*> impls[] = {
      {IMPLTYPEFLAG_FDEFAULT, L"_Longtick"},
      {IMPLTYPEFLAG_FDEFAULT | IMPLTYPEFLAG_FSOURCE, L"__Longtick"}};
  for (UINT i = 0; i < 2; ++i) {
    INT flags = 0;
    HREFTYPE ref = 0;
    Ptr<ITypeInfo> ti;
    ASSERT_EQ(cls->GetImplTypeFlags(i, &flags), S_OK);
    EXPECT_EQ(flags, impls[i].first);
    ASSERT_EQ(cls->GetRefTypeOfImplType(i, &ref), S_OK);
    ASSERT_EQ(cls->GetRefTypeInfo(ref, reinterpret_cast<ITypeInfo**>(ti.out())), S_OK);
    EXPECT_EQ(Name(ti.p, -1), impls[i].second);
  }

  // _Longtick: dual, hidden, non-extensible, 1.0, members in order with get before put.
  Ptr<ITypeInfo> ctl;
  ASSERT_EQ(lib->GetTypeInfoOfGuid(kControlIid, reinterpret_cast<ITypeInfo**>(ctl.out())), S_OK);
  TYPEATTR* ta = nullptr;
  ASSERT_EQ(ctl->GetTypeAttr(&ta), S_OK);
  EXPECT_EQ(ta->typekind, TKIND_DISPATCH);
  EXPECT_TRUE(ta->wTypeFlags & TYPEFLAG_FDUAL);
  EXPECT_TRUE(ta->wTypeFlags & TYPEFLAG_FHIDDEN);
  EXPECT_TRUE(ta->wTypeFlags & TYPEFLAG_FNONEXTENSIBLE);
  EXPECT_EQ(ta->wMajorVerNum, 1);
  EXPECT_EQ(ta->wMinorVerNum, 0);
  WORD funcs = ta->cFuncs;
  ctl->ReleaseTypeAttr(ta);
  struct Member {
    const wchar_t* name;
    DISPID id;
    INVOKEKIND kind;
    VARTYPE type;
    const wchar_t* help;
  };
  const wchar_t* kSecHelp = L"Defined number of seconds before timer will fire.";
  const wchar_t* kMinHelp = L"Defined number of minutes before timer will fire.";
  const wchar_t* kHourHelp = L"Defined number of hours before timer will fire.";
  const wchar_t* kDayHelp = L"Defined number of days before timer will fire.";
  const wchar_t* kEnHelp =
      L"Returns/sets a value that determines whether an object can respond to user-generated "
      L"events.";
  const Member members[] = {
      {L"IntervalSeconds", kSeconds, INVOKE_PROPERTYGET, VT_I4, kSecHelp},
      {L"IntervalSeconds", kSeconds, INVOKE_PROPERTYPUT, VT_I4, kSecHelp},
      {L"IntervalMinutes", kMinutes, INVOKE_PROPERTYGET, VT_I4, kMinHelp},
      {L"IntervalMinutes", kMinutes, INVOKE_PROPERTYPUT, VT_I4, kMinHelp},
      {L"IntervalHours", kHours, INVOKE_PROPERTYGET, VT_I4, kHourHelp},
      {L"IntervalHours", kHours, INVOKE_PROPERTYPUT, VT_I4, kHourHelp},
      {L"IntervalDays", kDays, INVOKE_PROPERTYGET, VT_I4, kDayHelp},
      {L"IntervalDays", kDays, INVOKE_PROPERTYPUT, VT_I4, kDayHelp},
      {L"Enabled", kEnabled, INVOKE_PROPERTYGET, VT_BOOL, kEnHelp},
      {L"Enabled", kEnabled, INVOKE_PROPERTYPUT, VT_BOOL, kEnHelp},
      {L"About", kAbout, INVOKE_FUNC, VT_EMPTY, L"Show about box"},
  };
  // The dispatch view lists IDispatch's seven methods first.
  ASSERT_EQ(funcs, 7 + std::size(members));
  for (size_t i = 0; i < std::size(members); ++i) {
    FUNCDESC* fd = nullptr;
    ASSERT_EQ(ctl->GetFuncDesc(static_cast<UINT>(7 + i), &fd), S_OK);
    const Member& m = members[i];
    std::wstring help;
    EXPECT_EQ(Name(ctl.p, fd->memid, &help), m.name) << i;
    EXPECT_EQ(help, m.help) << i;
    EXPECT_EQ(fd->memid, m.id) << i;
    EXPECT_EQ(fd->invkind, m.kind) << i;
    if (m.kind == INVOKE_PROPERTYGET) {
      EXPECT_EQ(fd->elemdescFunc.tdesc.vt, m.type) << i;
    }
    if (m.kind == INVOKE_PROPERTYPUT) {
      ASSERT_EQ(fd->cParams, 1);
      EXPECT_EQ(fd->lprgelemdescParam[0].tdesc.vt, m.type) << i;
    }
    if (m.kind == INVOKE_FUNC) {
      EXPECT_EQ(fd->cParams, 0);
    }
    ctl->ReleaseFuncDesc(fd);
  }

  // __Longtick: hidden, 1.0, CountDown with seven long* in order, then Timer.
  Ptr<ITypeInfo> ev;
  ASSERT_EQ(lib->GetTypeInfoOfGuid(kEventsIid, reinterpret_cast<ITypeInfo**>(ev.out())), S_OK);
  ASSERT_EQ(ev->GetTypeAttr(&ta), S_OK);
  EXPECT_EQ(ta->typekind, TKIND_DISPATCH);
  EXPECT_TRUE(ta->wTypeFlags & TYPEFLAG_FHIDDEN);
  EXPECT_EQ(ta->wMajorVerNum, 1);
  EXPECT_EQ(ta->wMinorVerNum, 0);
  ASSERT_EQ(ta->cFuncs, 2);
  ev->ReleaseTypeAttr(ta);
  FUNCDESC* fd = nullptr;
  ASSERT_EQ(ev->GetFuncDesc(0, &fd), S_OK);
  EXPECT_EQ(fd->memid, kCountDown);
  ASSERT_EQ(fd->cParams, 7);
  BSTR names[8] = {};
  UINT got = 0;
  ASSERT_EQ(ev->GetNames(fd->memid, names, 8, &got), S_OK);
  const wchar_t* want[] = {L"CountDown", L"Years", L"Months",  L"Weeks",
                           L"Days",      L"Hours", L"Minutes", L"Seconds"};
  ASSERT_EQ(got, 8u);
  for (UINT i = 0; i < got; ++i) {
    EXPECT_STREQ(names[i], want[i]);
    SysFreeString(names[i]);
  }
  for (int i = 0; i < 7; ++i) {
    EXPECT_EQ(fd->lprgelemdescParam[i].tdesc.vt, VT_PTR);
    EXPECT_EQ(fd->lprgelemdescParam[i].tdesc.lptdesc->vt, VT_I4);
  }
  std::wstring help;
  Name(ev.p, kCountDown, &help);
  EXPECT_EQ(help,
            L"Fires each second and provides counters indicating how much time is left before the "
            L"Timer Event will fire.");
  ev->ReleaseFuncDesc(fd);
  ASSERT_EQ(ev->GetFuncDesc(1, &fd), S_OK);
  EXPECT_EQ(fd->memid, kTimer);
  EXPECT_EQ(fd->cParams, 0);
  EXPECT_EQ(Name(ev.p, kTimer), L"Timer");
  ev->ReleaseFuncDesc(fd);
}

TEST(Resources, InterfaceIdsBitmapAndVersionBlock) {
  HMODULE m = LoadLibraryExW(OcxPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(m, nullptr);
  const std::pair<const wchar_t*, IID> ids[] = {{L"_IID_LONGTICK", kControlIid},
                                                {L"_SRCIID_LONGTICK", kEventsIid}};
  for (const auto& [name, iid] : ids) {
    HRSRC r = FindResourceW(m, name, L"CUSTOM");
    ASSERT_NE(r, nullptr) << name;
    ASSERT_EQ(SizeofResource(m, r), 20u);
    const BYTE* data = static_cast<const BYTE*>(LockResource(LoadResource(m, r)));
    EXPECT_EQ(*reinterpret_cast<const DWORD*>(data), 16u);
    EXPECT_EQ(memcmp(data + 4, &iid, 16), 0) << name;
  }
  EXPECT_NE(FindResourceW(m, MAKEINTRESOURCEW(30000), MAKEINTRESOURCEW(2) /* RT_BITMAP */),
            nullptr);
  EXPECT_NE(FindResourceW(m, MAKEINTRESOURCEW(1), L"TYPELIB"), nullptr);
  FreeLibrary(m);

  DWORD ignored = 0, size = GetFileVersionInfoSizeW(OcxPath().c_str(), &ignored);
  ASSERT_GT(size, 0u);
  std::vector<BYTE> data(size);
  ASSERT_TRUE(GetFileVersionInfoW(OcxPath().c_str(), 0, size, data.data()));
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT len = 0;
  ASSERT_TRUE(VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &len));
  EXPECT_EQ(fixed->dwProductVersionMS, MAKELONG(0, 1));  // the control's own version
  EXPECT_EQ(fixed->dwProductVersionLS, MAKELONG(7, 0));
  wchar_t* text = nullptr;
  EXPECT_TRUE(VerQueryValueW(data.data(), L"\\StringFileInfo\\040904B0\\OLESelfRegister",
                             reinterpret_cast<void**>(&text), &len));
  ASSERT_TRUE(VerQueryValueW(data.data(), L"\\StringFileInfo\\040904B0\\Comments",
                             reinterpret_cast<void**>(&text), &len));
  EXPECT_NE(std::wstring(text).find(L"days, hours, minutes and seconds"), std::wstring::npos);
}

// ---- a client by ProgID --------------------------------------------------------------------

TEST(Client, EveryPropertyByDispidAndByName) {
  Ptr<IDispatch> d;
  NewControl(d);
  ASSERT_NE(d.p, nullptr);
  const std::pair<const wchar_t*, DISPID> props[] = {{L"IntervalSeconds", kSeconds},
                                                     {L"IntervalMinutes", kMinutes},
                                                     {L"IntervalHours", kHours},
                                                     {L"IntervalDays", kDays}};
  LONG value = 11;
  for (const auto& [name, id] : props) {
    EXPECT_EQ(DispIdOf(d.p, name), id);
    EXPECT_EQ(GetLong(d.p, id), 0) << "new control";
    EXPECT_EQ(PutLong(d.p, id, value), S_OK);
    EXPECT_EQ(GetLong(d.p, DispIdOf(d.p, name)), value);
    EXPECT_EQ(PutLong(d.p, DispIdOf(d.p, name), -value), S_OK);  // not validated
    EXPECT_EQ(GetLong(d.p, id), -value);
    ++value;
  }
  EXPECT_EQ(DispIdOf(d.p, L"enabled"), kEnabled);  // names without case
  EXPECT_EQ(DispIdOf(d.p, L"About"), kAbout);
  VARIANT v;
  ASSERT_EQ(GetValue(d.p, kEnabled, &v), S_OK);
  EXPECT_EQ(v.vt, VT_BOOL);
  EXPECT_EQ(v.boolVal, VARIANT_FALSE);
  EXPECT_EQ(PutBool(d.p, DispIdOf(d.p, L"Enabled"), true), S_OK);
  ASSERT_EQ(GetValue(d.p, kEnabled, &v), S_OK);
  EXPECT_EQ(v.boolVal, VARIANT_TRUE);

  // The same through the dual vtable.
  Ptr<IUnknown> unk;
  ASSERT_EQ(d->QueryInterface(kControlIid, unk.out()), S_OK);
  auto* vt = static_cast<_Longtick*>(static_cast<IUnknown*>(unk.p));
  EXPECT_EQ(vt->put_IntervalSeconds(42), S_OK);
  LONG got = 0;
  EXPECT_EQ(vt->get_IntervalSeconds(&got), S_OK);
  EXPECT_EQ(got, 42);
  EXPECT_EQ(GetLong(d.p, kSeconds), 42);
  EXPECT_EQ(vt->get_IntervalSeconds(nullptr), E_POINTER);
}

TEST(Client, ClassInformationNamesTheEventInterface) {
  Ptr<IDispatch> d;
  NewControl(d);
  Ptr<IProvideClassInfo2> pci;
  ASSERT_EQ(d->QueryInterface(IID_IProvideClassInfo2, pci.out()), S_OK);
  GUID guid{};
  EXPECT_EQ(pci->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &guid), S_OK);
  EXPECT_TRUE(IsEqualIID(guid, kEventsIid));
  EXPECT_EQ(pci->GetGUID(99, &guid), E_INVALIDARG);
  EXPECT_EQ(pci->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, nullptr), E_POINTER);
  Ptr<ITypeInfo> cls;
  ASSERT_EQ(pci->GetClassInfo(reinterpret_cast<ITypeInfo**>(cls.out())), S_OK);
  TYPEATTR* attr = nullptr;
  ASSERT_EQ(cls->GetTypeAttr(&attr), S_OK);
  EXPECT_EQ(attr->typekind, TKIND_COCLASS);
  EXPECT_TRUE(IsEqualCLSID(attr->guid, kClsid));
  cls->ReleaseTypeAttr(attr);
  Ptr<ITypeInfo> own;
  ASSERT_EQ(d->GetTypeInfo(0, 0, reinterpret_cast<ITypeInfo**>(own.out())), S_OK);
  ASSERT_EQ(own->GetTypeAttr(&attr), S_OK);
  EXPECT_TRUE(IsEqualIID(attr->guid, kControlIid));
  own->ReleaseTypeAttr(attr);
}

TEST(Client, CountDownAndTimerThroughTheMessageLoop) {
  Ptr<IDispatch> d;
  NewControl(d);
  EventSink first, second;
  NotifySink notify;
  Connection c1(d.p, kEventsIid, &first), c2(d.p, kEventsIid, &second),
      c3(d.p, IID_IPropertyNotifySink, &notify);
  ASSERT_EQ(c1.hr(), S_OK);
  ASSERT_EQ(c2.hr(), S_OK);
  ASSERT_EQ(c3.hr(), S_OK);
  EXPECT_NE(c1.cookie(), c2.cookie());
  // The first Timer handler of the second sink pumps messages for longer than an interval,
  // as a message box does: no event inside it, and the next Timer a whole interval later.
  DWORD returned = 0;
  second.on_event = [&](const EventRecord& r) {
    if (r.id != kTimer || second.Count(kTimer) > 1) return;
    PumpUntil([] { return false; }, 4500);
    returned = GetTickCount();
  };
  ASSERT_EQ(PutLong(d.p, kSeconds, 3), S_OK);
  ASSERT_EQ(PutBool(d.p, kEnabled, true), S_OK);
  EXPECT_EQ(notify.changed, (std::vector<DISPID>{kSeconds, kEnabled}));
  ASSERT_TRUE(PumpUntil([&] { return second.Count(kTimer) >= 2; }, 60000));
  EXPECT_GE(GetTickCount() - returned, 2990u);
  ASSERT_EQ(PutBool(d.p, kEnabled, false), S_OK);
  for (EventSink* s : {&first, &second}) {
    ASSERT_GE(s->events.size(), 8u);
    const DISPID ids[] = {kCountDown, kCountDown, kCountDown, kTimer,
                          kCountDown, kCountDown, kCountDown, kTimer};
    const LONG secs[] = {2, 1, 0, -1, 2, 1, 0, -1};
    for (size_t i = 0; i < 8; ++i) {
      EXPECT_EQ(s->events[i].id, ids[i]) << i;
      if (ids[i] == kCountDown) {
        EXPECT_EQ(s->events[i].args, Left(secs[i])) << i;
      }
    }
  }
}

TEST(Client, IntervalPutRestartsTheCount) {
  Ptr<IDispatch> d;
  NewControl(d);
  EventSink sink;
  Connection c(d.p, kEventsIid, &sink);
  ASSERT_EQ(PutLong(d.p, kSeconds, 3), S_OK);
  ASSERT_EQ(PutBool(d.p, kEnabled, true), S_OK);
  ASSERT_TRUE(PumpUntil([&] { return sink.events.size() >= 1; }));
  ASSERT_EQ(PutLong(d.p, kSeconds, 3), S_OK);  // its own value
  ASSERT_TRUE(PumpUntil([&] { return sink.events.size() >= 2; }));
  EXPECT_EQ(sink.events[0].args, Left(2));
  EXPECT_EQ(sink.events[1].args, Left(2));  // restarted, not 1
  // Pausing keeps the count.
  ASSERT_EQ(PutBool(d.p, kEnabled, false), S_OK);
  size_t seen = sink.events.size();
  ASSERT_EQ(PutBool(d.p, kEnabled, true), S_OK);
  ASSERT_TRUE(PumpUntil([&] { return sink.events.size() > seen; }));
  EXPECT_EQ(sink.events[seen].args, Left(sink.events[seen - 1].args[6] - 1));
}

// Restarting the count restarts the one-second tick too: an interval put just before a tick
// was due never fires early.
TEST(Client, RestartedIntervalIsNeverShort) {
  Ptr<IDispatch> d;
  NewControl(d);
  EventSink sink;
  Connection c(d.p, kEventsIid, &sink);
  ASSERT_EQ(PutLong(d.p, kSeconds, 3), S_OK);
  ASSERT_EQ(PutBool(d.p, kEnabled, true), S_OK);
  for (DWORD offset : {300u, 700u, 950u}) {
    const size_t seen = sink.events.size();
    ASSERT_TRUE(PumpUntil([&] { return sink.events.size() > seen; }));
    PumpUntil([] { return false; }, offset);  // part of the way to the next tick
    const int timers = sink.Count(kTimer);
    ASSERT_EQ(PutLong(d.p, kSeconds, 3), S_OK);
    const DWORD put = GetTickCount();
    ASSERT_TRUE(PumpUntil([&] { return sink.Count(kTimer) > timers; }, 10000));
    EXPECT_GE(GetTickCount() - put, 2990u) << "re-put " << offset << " ms after a tick";
  }
}

TEST(Client, OverflowingIntervalIsAnOverflowError) {
  Ptr<IDispatch> d;
  NewControl(d);
  ASSERT_EQ(PutLong(d.p, kHours, 1), S_OK);
  EXCEPINFO excep{};
  HRESULT hr = PutLong(d.p, kDays, 24856, &excep);
  EXPECT_TRUE(hr == DISP_E_OVERFLOW || (hr == DISP_E_EXCEPTION && excep.scode == DISP_E_OVERFLOW))
      << std::hex << hr << " " << excep.scode;
  SysFreeString(excep.bstrSource);
  SysFreeString(excep.bstrDescription);
  SysFreeString(excep.bstrHelpFile);
  EXPECT_EQ(GetLong(d.p, kDays), 24856);  // stored all the same

  Ptr<IUnknown> unk;
  ASSERT_EQ(d->QueryInterface(kControlIid, unk.out()), S_OK);
  auto* vt = static_cast<_Longtick*>(static_cast<IUnknown*>(unk.p));
  EXPECT_EQ(vt->put_IntervalDays(24856), DISP_E_OVERFLOW);
  IErrorInfo* info = nullptr;
  ASSERT_EQ(GetErrorInfo(0, &info), S_OK);
  BSTR desc = nullptr;
  info->GetDescription(&desc);
  EXPECT_STREQ(desc, L"Overflow");
  SysFreeString(desc);
  info->Release();
  EXPECT_EQ(vt->put_IntervalDays(24855), S_OK);
}

// ---- persistence ---------------------------------------------------------------------------

TEST(Persistence, PropertyBagRoundTrip) {
  Ptr<IDispatch> d;
  NewControl(d);
  PutLong(d.p, kSeconds, 5);
  PutLong(d.p, kHours, 0);
  PutLong(d.p, kMinutes, -4);
  EXPECT_TRUE(FAILED(PutLong(d.p, kDays, 90000)));  // overflows, stored all the same
  PutBool(d.p, kEnabled, false);
  Ptr<IPersistPropertyBag> ppb;
  ASSERT_EQ(d->QueryInterface(IID_IPersistPropertyBag, ppb.out()), S_OK);
  MemoryBag bag;
  ASSERT_EQ(ppb->Save(&bag, TRUE, TRUE), S_OK);
  // Order of writing; hours equal their default and are left out.
  std::vector<std::wstring> names;
  for (auto& [n, v] : bag.values) names.push_back(n);
  EXPECT_EQ(names, (std::vector<std::wstring>{L"IntervalSeconds", L"Enabled", L"IntervalMinutes",
                                              L"IntervalDays"}));
  EXPECT_EQ(bag.values[1].second.vt, VT_BOOL);
  EXPECT_EQ(bag.values[0].second.vt, VT_I4);

  Ptr<IDispatch> e;
  NewControl(e);
  Ptr<IPersistPropertyBag> load;
  ASSERT_EQ(e->QueryInterface(IID_IPersistPropertyBag, load.out()), S_OK);
  ASSERT_EQ(load->InitNew(), S_OK);
  ASSERT_EQ(load->Load(&bag, nullptr), S_OK);
  EXPECT_EQ(bag.reads, (std::vector<std::wstring>{L"IntervalSeconds", L"IntervalHours", L"Enabled",
                                                  L"IntervalMinutes", L"IntervalDays"}));
  EXPECT_EQ(GetLong(e.p, kSeconds), 5);
  EXPECT_EQ(GetLong(e.p, kMinutes), -4);
  EXPECT_EQ(GetLong(e.p, kDays), 90000);
  VARIANT v;
  GetValue(e.p, kEnabled, &v);
  EXPECT_EQ(v.boolVal, VARIANT_FALSE);
}

TEST(Persistence, BagWithoutEnabledStartsTheTimer) {
  Ptr<IDispatch> d;
  NewControl(d);
  EventSink sink;
  Connection c(d.p, kEventsIid, &sink);
  MemoryBag bag;
  bag.Set(L"intervalseconds", 1);  // the bag matches names without case
  Ptr<IPersistPropertyBag> ppb;
  ASSERT_EQ(d->QueryInterface(IID_IPersistPropertyBag, ppb.out()), S_OK);
  ASSERT_EQ(ppb->Load(&bag, nullptr), S_OK);
  VARIANT v;
  GetValue(d.p, kEnabled, &v);
  EXPECT_EQ(v.boolVal, VARIANT_TRUE);
  EXPECT_TRUE(PumpUntil([&] { return sink.Count(kTimer) >= 1; }));
  EXPECT_EQ(ppb->Load(nullptr, nullptr), E_POINTER);
  MemoryBag bad;
  bad.Set(L"IntervalDays", 24856);
  EXPECT_EQ(ppb->Load(&bad, nullptr), S_OK);  // what a put accepted loads
  EXPECT_EQ(GetLong(d.p, kDays), 24856);
  // A load that fails changes nothing: no value half-applied, the timer not started.
  ASSERT_EQ(PutBool(d.p, kEnabled, false), S_OK);
  MemoryBag wrong;
  VARIANT text;
  VariantInit(&text);
  text.vt = VT_BSTR;
  text.bstrVal = SysAllocString(L"three");
  wrong.Write(L"IntervalHours", &text);
  VariantClear(&text);
  wrong.Set(L"IntervalMinutes", 4);
  EXPECT_EQ(ppb->Load(&wrong, nullptr), DISP_E_TYPEMISMATCH);
  wrong.unreadable = L"IntervalSeconds";  // a bag that fails for another reason
  EXPECT_EQ(ppb->Load(&wrong, nullptr), E_FAIL);
  EXPECT_EQ(GetLong(d.p, kMinutes), 0);
  GetValue(d.p, kEnabled, &v);
  EXPECT_EQ(v.boolVal, VARIANT_FALSE);
}

TEST(Persistence, StreamRoundTrip) {
  Ptr<IDispatch> d;
  NewControl(d);
  PutLong(d.p, kSeconds, 9);
  PutLong(d.p, kDays, 3);
  PutLong(d.p, kMinutes, 2147483647);  // overflows, stored all the same
  Ptr<IPersistStreamInit> ps;
  ASSERT_EQ(d->QueryInterface(IID_IPersistStreamInit, ps.out()), S_OK);
  EXPECT_EQ(ps->IsDirty(), S_OK);
  Ptr<IStream> stream;
  ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, reinterpret_cast<IStream**>(stream.out())), S_OK);
  ASSERT_EQ(ps->Save(stream.p, TRUE), S_OK);
  EXPECT_EQ(ps->IsDirty(), S_FALSE);
  LARGE_INTEGER zero{};
  stream->Seek(zero, STREAM_SEEK_SET, nullptr);
  Ptr<IDispatch> e;
  NewControl(e);
  Ptr<IPersistStreamInit> load;
  ASSERT_EQ(e->QueryInterface(IID_IPersistStreamInit, load.out()), S_OK);
  ASSERT_EQ(load->Load(stream.p), S_OK);
  EXPECT_EQ(GetLong(e.p, kSeconds), 9);
  EXPECT_EQ(GetLong(e.p, kDays), 3);
  EXPECT_EQ(GetLong(e.p, kMinutes), 2147483647);
  VARIANT v;
  GetValue(e.p, kEnabled, &v);
  EXPECT_EQ(v.boolVal, VARIANT_FALSE);  // saved from a control that was never enabled
  // A damaged stream is refused.
  stream->Seek(zero, STREAM_SEEK_SET, nullptr);
  ULONG junk = 0xFFFFFFF0u, written = 0;
  stream->Write(&junk, sizeof junk, &written);
  stream->Seek(zero, STREAM_SEEK_SET, nullptr);
  EXPECT_TRUE(FAILED(load->Load(stream.p)));
  EXPECT_EQ(load->Load(nullptr), E_POINTER);
  CLSID clsid{};
  EXPECT_EQ(load->GetClassID(&clsid), S_OK);
  EXPECT_TRUE(IsEqualCLSID(clsid, kClsid));
}

// ---- invalid use ---------------------------------------------------------------------------

TEST(Robustness, InvalidCallsAreComErrors) {
  const std::vector<HWND> before = ControlTimerWindows();
  Ptr<IDispatch> d;
  NewControl(d);
  DISPPARAMS none{nullptr, nullptr, 0, 0};
  VARIANT result;
  VariantInit(&result);
  UINT arg_err = 0;
  auto invoke = [&](DISPID id, WORD flags, DISPPARAMS* p) {
    VariantClear(&result);
    return d->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, p, &result, nullptr, &arg_err);
  };
  EXPECT_EQ(invoke(0x12345, DISPATCH_METHOD, &none), DISP_E_MEMBERNOTFOUND);
  EXPECT_EQ(invoke(kSeconds, DISPATCH_PROPERTYGET, nullptr), E_POINTER);
  // A put without its value.
  DISPID named = DISPID_PROPERTYPUT;
  DISPPARAMS no_value{nullptr, &named, 0, 1};
  EXPECT_TRUE(FAILED(invoke(kSeconds, DISPATCH_PROPERTYPUT, &no_value)));
  // A text that is no number, and one too many arguments.
  VARIANT args[2];
  VariantInit(&args[0]);
  VariantInit(&args[1]);
  args[0].vt = VT_BSTR;
  args[0].bstrVal = SysAllocString(L"soon");
  DISPPARAMS text{args, &named, 1, 1};
  HRESULT hr = invoke(kSeconds, DISPATCH_PROPERTYPUT, &text);
  EXPECT_EQ(hr, DISP_E_TYPEMISMATCH);
  VariantClear(&args[0]);
  args[0].vt = VT_I4;
  args[1].vt = VT_I4;
  DISPPARAMS two{args, &named, 2, 1};
  EXPECT_EQ(invoke(kSeconds, DISPATCH_PROPERTYPUT, &two), DISP_E_BADPARAMCOUNT);
  DISPPARAMS method_args{args, nullptr, 2, 0};
  EXPECT_EQ(invoke(kAbout, DISPATCH_METHOD, &method_args), DISP_E_BADPARAMCOUNT);  // takes none
  DISPPARAMS get_args{args, nullptr, 1, 0};
  EXPECT_EQ(invoke(kSeconds, DISPATCH_PROPERTYGET, &get_args), DISP_E_BADPARAMCOUNT);
  DISPPARAMS broken{nullptr, nullptr, 1, 0};
  EXPECT_EQ(invoke(kSeconds, DISPATCH_PROPERTYGET, &broken), E_POINTER);
  EXPECT_EQ(
      d->Invoke(kSeconds, kEventsIid, 0, DISPATCH_PROPERTYGET, &none, &result, nullptr, nullptr),
      DISP_E_UNKNOWNINTERFACE);
  EXPECT_EQ(GetLong(d.p, kSeconds), 0);  // nothing of the above changed it

  LPOLESTR name = const_cast<LPOLESTR>(L"NoSuchMember");
  DISPID id = 0;
  EXPECT_EQ(d->GetIDsOfNames(IID_NULL, &name, 1, 0, &id), DISP_E_UNKNOWNNAME);
  EXPECT_EQ(d->GetIDsOfNames(IID_NULL, nullptr, 1, 0, &id), E_POINTER);
  UINT count = 0;
  EXPECT_EQ(d->GetTypeInfoCount(&count), S_OK);
  EXPECT_EQ(count, 1u);
  ITypeInfo* ti = nullptr;
  EXPECT_EQ(d->GetTypeInfo(1, 0, &ti), DISP_E_BADINDEX);
  EXPECT_EQ(d->QueryInterface(IID_IDispatch, nullptr), E_POINTER);

  Ptr<IConnectionPointContainer> cpc;
  ASSERT_EQ(d->QueryInterface(IID_IConnectionPointContainer, cpc.out()), S_OK);
  IConnectionPoint* cp = nullptr;
  EXPECT_EQ(cpc->FindConnectionPoint(IID_IUnknown, &cp), CONNECT_E_NOCONNECTION);
  EXPECT_EQ(cpc->FindConnectionPoint(kEventsIid, nullptr), E_POINTER);
  Ptr<IConnectionPoint> events;
  ASSERT_EQ(
      cpc->FindConnectionPoint(kEventsIid, reinterpret_cast<IConnectionPoint**>(events.out())),
      S_OK);
  DWORD cookie = 0;
  EXPECT_EQ(events->Advise(nullptr, &cookie), E_POINTER);
  NotifySink not_a_dispatch;
  EXPECT_EQ(events->Advise(&not_a_dispatch, &cookie), CONNECT_E_CANNOTCONNECT);
  EXPECT_EQ(events->Unadvise(777), CONNECT_E_NOCONNECTION);
  Ptr<IEnumConnectionPoints> en;
  ASSERT_EQ(cpc->EnumConnectionPoints(reinterpret_cast<IEnumConnectionPoints**>(en.out())), S_OK);
  IConnectionPoint* points[3] = {};
  ULONG fetched = 0;
  EXPECT_EQ(en->Next(3, points, &fetched), S_FALSE);
  EXPECT_EQ(fetched, 2u);
  for (ULONG i = 0; i < fetched; ++i) points[i]->Release();
  EXPECT_EQ(not_a_dispatch.refs, 0);

  // With its window gone the timer cannot start: the put fails and Enabled stays False.
  for (HWND w : ControlTimerWindows())
    if (std::find(before.begin(), before.end(), w) == before.end()) DestroyWindow(w);
  EXPECT_TRUE(FAILED(PutBool(d.p, kEnabled, true)));
  ASSERT_EQ(GetValue(d.p, kEnabled, &result), S_OK);
  EXPECT_EQ(result.boolVal, VARIANT_FALSE);
}

TEST(Robustness, SinksThatFailOrLeaveDuringAnEvent) {
  Ptr<IDispatch> d;
  NewControl(d);
  EventSink failing, leaving, plain, only_dispatch;
  failing.invoke_result = E_FAIL;
  only_dispatch.answer_events_iid = false;  // accepted through IDispatch
  auto c1 = std::make_unique<Connection>(d.p, kEventsIid, &failing);
  auto c2 = std::make_unique<Connection>(d.p, kEventsIid, &leaving);
  Connection c3(d.p, kEventsIid, &plain);
  Connection c4(d.p, kEventsIid, &only_dispatch);
  ASSERT_EQ(c4.hr(), S_OK);
  EventSink dropped;
  Connection c5(d.p, kEventsIid, &dropped);
  // The leaving sink disconnects itself and a later sink from inside its first event.
  leaving.on_event = [&](const EventRecord&) {
    c2->Disconnect();
    c5.Disconnect();
  };
  ASSERT_EQ(PutLong(d.p, kSeconds, 2), S_OK);
  ASSERT_EQ(PutBool(d.p, kEnabled, true), S_OK);
  ASSERT_TRUE(PumpUntil([&] { return plain.Count(kTimer) >= 1; }));
  EXPECT_EQ(leaving.events.size(), 1u);
  EXPECT_TRUE(dropped.events.empty());
  EXPECT_EQ(failing.Count(kTimer), 1);
  EXPECT_EQ(only_dispatch.Count(kTimer), 1);
  // CountDown's by-reference values written by one handler do not reach the next.
  EXPECT_EQ(plain.events[0].args, Left(1));
  c1.reset();
  c2.reset();
  EXPECT_EQ(leaving.refs, 0);
  EXPECT_EQ(failing.refs, 0);

  // The client drops its last reference from inside an event.
  EventSink releasing;
  IConnectionPointContainer* cpc = nullptr;
  IConnectionPoint* cp = nullptr;
  ASSERT_EQ(d->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&cpc)), S_OK);
  ASSERT_EQ(cpc->FindConnectionPoint(kEventsIid, &cp), S_OK);
  cpc->Release();
  DWORD cookie = 0;
  ASSERT_EQ(cp->Advise(&releasing, &cookie), S_OK);
  bool released = false;
  releasing.on_event = [&](const EventRecord&) {
    if (released) return;
    released = true;
    cp->Unadvise(cookie);
    cp->Release();
    c3.Disconnect();
    c4.Disconnect();
    d.reset();
  };
  ASSERT_TRUE(PumpUntil([&] { return released; }));
  PumpUntil([] { return false; }, 2500);  // no more ticks reach anyone, nothing breaks
  EXPECT_EQ(releasing.events.size(), 1u);
  EXPECT_EQ(releasing.refs, 0);
}

// Released on another thread (against the apartment rule), the control leaves no window
// behind pointing at it: a tick would call into freed memory.
DWORD WINAPI ReleaseOnThisThread(void* object) {
  return static_cast<IDispatch*>(object)->Release();
}

TEST(Robustness, ReleasedOnAnotherThreadLeavesNoWindowBehind) {
  const size_t before = ControlTimerWindows().size();
  Ptr<IDispatch> d;
  NewControl(d);
  HANDLE thread =
      CreateThread(nullptr, 0, ReleaseOnThisThread, std::exchange(d.p, nullptr), 0, nullptr);
  ASSERT_EQ(WaitForSingleObject(thread, 10000), WAIT_OBJECT_0);
  CloseHandle(thread);
  EXPECT_TRUE(PumpUntil([&] { return ControlTimerWindows().size() == before; }, 5000));
}

// ---- server lifetime -------------------------------------------------------------------------

TEST(Server, ExportsAndUnloadCounting) {
  HMODULE m = LoadLibraryW(OcxPath().c_str());
  ASSERT_NE(m, nullptr);
  using GetClassObjectFn = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
  using CanUnloadFn = HRESULT(STDAPICALLTYPE*)();
  auto get_class = reinterpret_cast<GetClassObjectFn>(
      reinterpret_cast<void*>(GetProcAddress(m, "DllGetClassObject")));
  auto can_unload =
      reinterpret_cast<CanUnloadFn>(reinterpret_cast<void*>(GetProcAddress(m, "DllCanUnloadNow")));
  ASSERT_NE(get_class, nullptr);
  ASSERT_NE(can_unload, nullptr);
  EXPECT_NE(GetProcAddress(m, "DllRegisterServer"), nullptr);
  EXPECT_NE(GetProcAddress(m, "DllUnregisterServer"), nullptr);
  EXPECT_EQ(can_unload(), S_OK);  // every earlier object is gone

  Ptr<IClassFactory> factory;
  EXPECT_EQ(get_class(kControlIid, IID_IClassFactory, factory.out()), CLASS_E_CLASSNOTAVAILABLE);
  EXPECT_EQ(get_class(kClsid, IID_IClassFactory, nullptr), E_POINTER);
  ASSERT_EQ(get_class(kClsid, IID_IClassFactory, factory.out()), S_OK);
  EXPECT_EQ(can_unload(), S_FALSE);
  Ptr<IUnknown> outer_attempt;
  Ptr<IUnknown> fake_outer;
  ASSERT_EQ(factory->CreateInstance(nullptr, IID_IUnknown, fake_outer.out()), S_OK);
  EXPECT_EQ(factory->CreateInstance(fake_outer.p, IID_IUnknown, outer_attempt.out()),
            CLASS_E_NOAGGREGATION);
  EXPECT_EQ(factory->CreateInstance(nullptr, IID_IClassFactory, outer_attempt.out()),
            E_NOINTERFACE);
  fake_outer.reset();
  EXPECT_EQ(factory->LockServer(TRUE), S_OK);
  factory.reset();
  EXPECT_EQ(can_unload(), S_FALSE);  // locked
  ASSERT_EQ(get_class(kClsid, IID_IClassFactory, factory.out()), S_OK);
  EXPECT_EQ(factory->LockServer(FALSE), S_OK);
  factory.reset();
  EXPECT_EQ(can_unload(), S_OK);
  FreeLibrary(m);
}

// Installed deeper than MAX_PATH characters, the library still creates its control and
// registers itself in a form COM can load.
TEST(Server, WorksFromAPathLongerThanMaxPath) {
  wchar_t temp[MAX_PATH];
  ASSERT_GT(GetTempPathW(MAX_PATH, temp), 0u);
  std::wstring dir = std::wstring(L"\\\\?\\") + temp + L"longtick_long_path";
  CreateDirectoryW(dir.c_str(), nullptr);
  std::vector<std::wstring> made{dir};
  while (dir.size() < MAX_PATH + 40) {
    dir += L"\\a_folder_name_of_forty_characters_long__";
    CreateDirectoryW(dir.c_str(), nullptr);
    made.push_back(dir);
  }
  const std::wstring ocx = dir + L"\\longtick.ocx";
  ASSERT_TRUE(CopyFileW(OcxPath().c_str(), ocx.c_str(), FALSE)) << GetLastError();
  {
    HMODULE m = LoadLibraryW(ocx.c_str());
    ASSERT_NE(m, nullptr) << GetLastError();
    using GetClassObjectFn = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
    using RegisterFn = HRESULT(STDAPICALLTYPE*)();
    auto get_class = reinterpret_cast<GetClassObjectFn>(
        reinterpret_cast<void*>(GetProcAddress(m, "DllGetClassObject")));
    auto reg = reinterpret_cast<RegisterFn>(
        reinterpret_cast<void*>(GetProcAddress(m, "DllRegisterServer")));
    Ptr<IClassFactory> factory;
    ASSERT_EQ(get_class(kClsid, IID_IClassFactory, factory.out()), S_OK);
    Ptr<IDispatch> d;
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_IDispatch, d.out()), S_OK);
    EXPECT_EQ(PutLong(d.p, kSeconds, 5), S_OK);
    d.reset();
    factory.reset();
    EXPECT_EQ(reg(), S_OK);
    EXPECT_EQ(CoCreateInstance(kClsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, d.out()),
              S_OK);
    d.reset();
    CoFreeUnusedLibrariesEx(0, 0);
    FreeLibrary(m);
  }
  ASSERT_EQ(Regsvr32(false), 0);  // back to the copy beside the test
  DeleteFileW(ocx.c_str());
  for (auto it = made.rbegin(); it != made.rend(); ++it) RemoveDirectoryW(it->c_str());
}

// ---- siting ----------------------------------------------------------------------------------

// A client site without ambient properties (no IDispatch).
class MuteSite : public IOleClientSite {
 public:
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    *out = (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IOleClientSite)) ? this : nullptr;
    return *out ? S_OK : E_NOINTERFACE;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return 2; }
  STDMETHODIMP_(ULONG) Release() override { return 1; }
  STDMETHODIMP SaveObject() override { return E_NOTIMPL; }
  STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
  STDMETHODIMP GetContainer(IOleContainer**) override { return E_NOINTERFACE; }
  STDMETHODIMP ShowObject() override { return S_OK; }
  STDMETHODIMP OnShowWindow(BOOL) override { return S_OK; }
  STDMETHODIMP RequestNewObjectLayout() override { return E_NOTIMPL; }
};

TEST(Siting, QuickActivationConnectsTheContainersSinks) {
  Ptr<IDispatch> d;
  NewControl(d);
  Ptr<IQuickActivate> qa;
  ASSERT_EQ(d->QueryInterface(IID_IQuickActivate, qa.out()), S_OK);
  EventSink events;
  NotifySink notify;
  QACONTAINER container{};
  container.cbSize = sizeof container;
  container.pUnkEventSink = &events;
  container.pPropertyNotifySink = &notify;
  container.dwAmbientFlags = QACONTAINER_USERMODE;
  QACONTROL control{};
  control.cbSize = sizeof control;
  ASSERT_EQ(qa->QuickActivate(&container, &control), S_OK);
  EXPECT_TRUE(control.dwMiscStatus & OLEMISC_INVISIBLEATRUNTIME);
  EXPECT_NE(control.dwEventCookie, 0u);
  EXPECT_NE(control.dwPropNotifyCookie, 0u);
  PutLong(d.p, kSeconds, 1);
  PutBool(d.p, kEnabled, true);
  EXPECT_EQ(notify.changed, (std::vector<DISPID>{kSeconds, kEnabled}));
  EXPECT_TRUE(PumpUntil([&] { return events.Count(kTimer) >= 1; }));
  // A site without ambient properties: the container's own design-time flag holds, and a
  // designer never ticks.
  Ptr<IDispatch> designed;
  NewControl(designed);
  Ptr<IQuickActivate> qa2;
  ASSERT_EQ(designed->QueryInterface(IID_IQuickActivate, qa2.out()), S_OK);
  MuteSite mute;
  QACONTAINER design{};
  design.cbSize = sizeof design;
  design.pClientSite = &mute;
  design.dwAmbientFlags = 0;  // not QACONTAINER_USERMODE
  QACONTROL designControl{};
  designControl.cbSize = sizeof designControl;
  ASSERT_EQ(qa2->QuickActivate(&design, &designControl), S_OK);
  PutBool(designed.p, kEnabled, true);
  Ptr<IOleObject> designOle;
  ASSERT_EQ(designed->QueryInterface(IID_IOleObject, designOle.out()), S_OK);
  SIZEL size{2000, 2000};
  designOle->SetExtent(DVASPECT_CONTENT, &size);
  VARIANT enabled;
  GetValue(designed.p, kEnabled, &enabled);
  EXPECT_EQ(enabled.boolVal, VARIANT_FALSE) << "the design-time flag was lost";
  designOle->SetClientSite(nullptr);
  EXPECT_EQ(qa->QuickActivate(nullptr, &control), E_POINTER);
  QACONTAINER tiny{};
  tiny.cbSize = 4;
  EXPECT_EQ(qa->QuickActivate(&tiny, &control), E_INVALIDARG);
  d.reset();
  qa.reset();
  EXPECT_EQ(events.refs, 0);  // the control's death released the container's sinks
  EXPECT_EQ(notify.refs, 0);
}

// A client site that answers the ambient user mode.
class Site : public MuteSite, public IDispatch {
 public:
  bool user_mode = true;
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    if (!IsEqualIID(iid, IID_IDispatch)) return MuteSite::QueryInterface(iid, out);
    *out = static_cast<IDispatch*>(this);
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return 2; }
  STDMETHODIMP_(ULONG) Release() override { return 1; }
  STDMETHODIMP GetTypeInfoCount(UINT* n) override {
    *n = 0;
    return S_OK;
  }
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS*, VARIANT* v, EXCEPINFO*,
                      UINT*) override {
    if (id != DISPID_AMBIENT_USERMODE || !v) return DISP_E_MEMBERNOTFOUND;
    v->vt = VT_BOOL;
    v->boolVal = user_mode ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
  }
};

TEST(Siting, DesignTimeContainerStopsTheTimer) {
  Ptr<IDispatch> d;
  NewControl(d);
  Ptr<IOleObject> ole;
  ASSERT_EQ(d->QueryInterface(IID_IOleObject, ole.out()), S_OK);
  DWORD misc = 0;
  EXPECT_EQ(ole->GetMiscStatus(DVASPECT_CONTENT, &misc), S_OK);
  EXPECT_TRUE(misc & OLEMISC_INVISIBLEATRUNTIME);
  Site run_site;
  PutBool(d.p, kEnabled, true);
  ASSERT_EQ(ole->SetClientSite(&run_site), S_OK);
  SIZEL size{2000, 2000};
  ole->SetExtent(DVASPECT_CONTENT, &size);
  VARIANT v;
  GetValue(d.p, kEnabled, &v);
  EXPECT_EQ(v.boolVal, VARIANT_TRUE);  // run time: untouched

  Site design_site;
  design_site.user_mode = false;
  ASSERT_EQ(ole->SetClientSite(&design_site), S_OK);
  GetValue(d.p, kEnabled, &v);
  EXPECT_EQ(v.boolVal, VARIANT_FALSE);  // a designer never ticks
  Ptr<IPersistPropertyBag> ppb;
  ASSERT_EQ(d->QueryInterface(IID_IPersistPropertyBag, ppb.out()), S_OK);
  MemoryBag bag;
  ppb->Save(&bag, TRUE, FALSE);
  ASSERT_EQ(bag.values.size(), 1u);
  EXPECT_EQ(bag.values[0].first, L"Enabled");

  Ptr<IOleControl> ctl;
  ASSERT_EQ(d->QueryInterface(IID_IOleControl, ctl.out()), S_OK);
  design_site.user_mode = true;
  EXPECT_EQ(ctl->OnAmbientPropertyChange(DISPID_AMBIENT_USERMODE), S_OK);
  GetValue(d.p, kEnabled, &v);
  EXPECT_EQ(v.boolVal, VARIANT_FALSE);  // the program decides when it runs
  EXPECT_EQ(ole->SetClientSite(nullptr), S_OK);
  EXPECT_EQ(ole->Close(OLECLOSE_NOSAVE), S_OK);
}

// Draws the control through IViewObject into a 40x40 bitmap pre-filled with magenta.
std::vector<COLORREF> Drawn(IDispatch* d) {
  std::vector<COLORREF> px;
  IViewObject* view = nullptr;
  if (FAILED(d->QueryInterface(IID_IViewObject, reinterpret_cast<void**>(&view)))) return px;
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bmp = CreateCompatibleBitmap(screen, 40, 40);
  HGDIOBJ old = SelectObject(dc, bmp);
  RECT all{0, 0, 40, 40};
  HBRUSH magenta = CreateSolidBrush(RGB(255, 0, 255));
  FillRect(dc, &all, magenta);
  DeleteObject(magenta);
  RECTL bounds{0, 0, 40, 40};
  if (SUCCEEDED(view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, dc, &bounds, nullptr,
                           nullptr, 0))) {
    for (POINT p : {POINT{0, 0}, POINT{20, 0}, POINT{39, 39}, POINT{39, 20}, POINT{36, 2}})
      px.push_back(GetPixel(dc, p.x, p.y));
  }
  SelectObject(dc, old);
  DeleteObject(bmp);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
  view->Release();
  return px;
}

TEST(Siting, DrawsItsPictureOnlyAtDesignTime) {
  Ptr<IDispatch> d;
  NewControl(d);
  Ptr<IOleObject> ole;
  ASSERT_EQ(d->QueryInterface(IID_IOleObject, ole.out()), S_OK);
  const COLORREF magenta = RGB(255, 0, 255);
  EXPECT_EQ(Drawn(d.p), std::vector<COLORREF>(5, magenta));  // run time: transparent
  Site design;
  design.user_mode = false;
  ASSERT_EQ(ole->SetClientSite(&design), S_OK);
  std::vector<COLORREF> px = Drawn(d.p);
  ASSERT_EQ(px.size(), 5u);
  EXPECT_EQ(px[0], GetSysColor(COLOR_3DLIGHT));     // top-left frame
  EXPECT_EQ(px[1], GetSysColor(COLOR_3DLIGHT));     // top edge
  EXPECT_EQ(px[2], GetSysColor(COLOR_3DDKSHADOW));  // bottom-right frame
  EXPECT_EQ(px[3], GetSysColor(COLOR_3DDKSHADOW));  // right edge
  EXPECT_EQ(px[4], GetSysColor(COLOR_BTNFACE));     // opaque face outside the icon
  SIZEL size{};
  EXPECT_EQ(ole->GetExtent(DVASPECT_CONTENT, &size), S_OK);
  EXPECT_GT(size.cx, 0);
  EXPECT_EQ(size.cx, size.cy);
  ole->SetClientSite(nullptr);
}

// ---- a standard container: the ATL host window ------------------------------------------------

TEST(Container, AtlHostWindowSitesTheControl) {
  HMODULE atl = LoadLibraryW(L"atl.dll");
  ASSERT_NE(atl, nullptr);
  auto init = reinterpret_cast<BOOL(WINAPI*)()>(
      reinterpret_cast<void*>(GetProcAddress(atl, "AtlAxWinInit")));
  auto get_control = reinterpret_cast<HRESULT(WINAPI*)(HWND, IUnknown**)>(
      reinterpret_cast<void*>(GetProcAddress(atl, "AtlAxGetControl")));
  ASSERT_NE(init, nullptr);
  ASSERT_NE(get_control, nullptr);
  ASSERT_TRUE(init());
  // What this system's ATL libraries offer (printed for the record).
  auto host_classes = [](HMODULE m) {
    std::string classes;
    for (const wchar_t* name : {L"AtlAxWin", L"AtlAxWin71", L"AtlAxWin80", L"AtlAxWin90",
                                L"AtlAxWin100", L"AtlAxWin110"}) {
      WNDCLASSEXW wc{};
      wc.cbSize = sizeof wc;
      if (GetClassInfoExW(m, name, &wc)) classes += std::string(name, name + wcslen(name)) + " ";
    }
    return classes;
  };
  std::printf("atl.dll window classes: %s\n", host_classes(atl).c_str());
  for (const wchar_t* dll : {L"atl80.dll", L"atl90.dll", L"atl100.dll", L"atl110.dll"}) {
    HMODULE m = LoadLibraryW(dll);
    auto other_init = m ? reinterpret_cast<BOOL(WINAPI*)()>(
                              reinterpret_cast<void*>(GetProcAddress(m, "AtlAxWinInit")))
                        : nullptr;
    if (other_init) other_init();
    std::printf("%ls: %s, window classes: %s\n", dll, m ? "present" : "missing",
                m ? host_classes(m).c_str() : "");
  }
  HWND parent = CreateWindowExW(0, L"STATIC", L"Longtick host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0,
                                0, 320, 200, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(parent, nullptr);
  HWND host = CreateWindowExW(0, L"AtlAxWin", kProgId, WS_CHILD | WS_VISIBLE, 10, 10, 64, 64,
                              parent, nullptr, nullptr, nullptr);
  ASSERT_NE(host, nullptr);
  IUnknown* unk = nullptr;
  ASSERT_EQ(get_control(host, &unk), S_OK);
  ASSERT_NE(unk, nullptr);
  Ptr<IDispatch> d;
  ASSERT_EQ(unk->QueryInterface(IID_IDispatch, d.out()), S_OK);
  unk->Release();
  Ptr<IOleObject> ole;
  ASSERT_EQ(d->QueryInterface(IID_IOleObject, ole.out()), S_OK);
  IOleClientSite* site = nullptr;
  EXPECT_EQ(ole->GetClientSite(&site), S_OK);
  EXPECT_NE(site, nullptr) << "the host sited the control";
  if (site) site->Release();
  EventSink sink;
  Connection c(d.p, kEventsIid, &sink);
  ASSERT_EQ(c.hr(), S_OK);
  ASSERT_EQ(PutLong(d.p, DispIdOf(d.p, L"IntervalSeconds"), 2), S_OK);
  ASSERT_EQ(PutBool(d.p, DispIdOf(d.p, L"Enabled"), true), S_OK);
  EXPECT_EQ(GetLong(d.p, kSeconds), 2);
  EXPECT_TRUE(PumpUntil([&] { return sink.Count(kTimer) >= 1; }));
  EXPECT_EQ(sink.events.front().args, Left(1));
  c.Disconnect();
  d.reset();
  ole.reset();
  DestroyWindow(host);
  DestroyWindow(parent);
}

// ---- a script client: Wine's cscript -----------------------------------------------------------

TEST(Script, CscriptUsesTheControlByName) {
  wchar_t dir[MAX_PATH];
  GetTempPathW(MAX_PATH, dir);
  std::wstring script = std::wstring(dir) + L"longtick_client.vbs";
  {
    std::ofstream out(script.c_str());
    out << "Set t = CreateObject(\"" LONGTICK_PROGID
           "\")\r\n"
           "t.IntervalSeconds = 7\r\n"
           "t.IntervalMinutes = 1\r\n"
           "t.IntervalHours = 2\r\n"
           "t.IntervalDays = 3\r\n"
           "t.Enabled = True\r\n"
           "WScript.Echo \"values \" & t.IntervalSeconds & \" \" & t.IntervalMinutes & \" \" & "
           "t.IntervalHours & \" \" & t.IntervalDays & \" \" & t.Enabled\r\n"
           "On Error Resume Next\r\n"
           "t.IntervalDays = 24856\r\n"
           "WScript.Echo \"overflow \" & Hex(Err.Number) & \" \" & Err.Description & \" \" & "
           "t.IntervalDays\r\n"
           "Err.Clear\r\n"
           "Set e = WScript.CreateObject(\"" LONGTICK_PROGID
           "\", \"lt_\")\r\n"
           "WScript.Echo \"events by prefix \" & Hex(Err.Number) & \" \" & Err.Description\r\n"
           "Err.Clear\r\n"
           "WScript.ConnectObject t, \"lt_\"\r\n"
           "WScript.Echo \"events by ConnectObject \" & Hex(Err.Number) & \" \" & "
           "Err.Description\r\n";
  }
  std::string output;
  int rc = RunProcess(L"\"" + SystemProgram(L"cscript.exe") + L"\" //nologo \"" + script + L"\"",
                      &output);
  DeleteFileW(script.c_str());
  std::printf("cscript output:\n%s\n", output.c_str());
  EXPECT_EQ(rc, 0);
  EXPECT_NE(output.find("values 7 1 2 3 True"), std::string::npos);
  EXPECT_NE(output.find("overflow 8002000A Overflow 24856"), std::string::npos);
}

// ---- About
// ---------------------------------------------------------------------------------------

struct AboutProbe {
  int step = 0;
  DWORD start = 0;
  std::vector<std::wstring> texts;
  bool centred = false;
  std::wstring message;
  bool done = false;
};
AboutProbe* g_probe = nullptr;

BOOL CALLBACK CollectText(HWND child, LPARAM lp) {
  wchar_t t[512] = {};
  GetWindowTextW(child, t, 512);
  reinterpret_cast<std::vector<std::wstring>*>(lp)->push_back(t);
  return TRUE;
}

void CALLBACK AboutTimer(HWND, UINT, UINT_PTR, DWORD) {
  AboutProbe& p = *g_probe;
  HWND box = FindWindowW(L"#32770", L"About Longtick");
  if (GetTickCount() - p.start > 30000) {  // give up without hanging the test
    if (HWND any = GetForegroundWindow()) PostMessageW(any, WM_CLOSE, 0, 0);
    if (box) PostMessageW(box, WM_COMMAND, IDOK, 0);
    return;
  }
  if (p.step == 0 && box) {
    EnumChildWindows(box, CollectText, reinterpret_cast<LPARAM>(&p.texts));
    RECT r;
    GetWindowRect(box, &r);
    int x = (GetSystemMetrics(SM_CXSCREEN) - (r.right - r.left)) / 2;
    int y = (GetSystemMetrics(SM_CYSCREEN) - (r.bottom - r.top)) / 2;
    p.centred = std::abs(r.left - x) <= 1 && std::abs(r.top - y) <= 1;
    HWND sysinfo = FindWindowExW(box, nullptr, L"Button", L"&System Info...");
    if (sysinfo) PostMessageW(sysinfo, BM_CLICK, 0, 0);
    p.step = sysinfo ? 1 : 2;
  } else if (p.step == 1) {
    HWND msg = FindWindowW(L"#32770", L"Longtick");
    if (msg) {
      std::vector<std::wstring> t;
      EnumChildWindows(msg, CollectText, reinterpret_cast<LPARAM>(&t));
      for (auto& s : t)
        if (s.find(L"System") != std::wstring::npos) p.message = s;
      PostMessageW(msg, WM_COMMAND, IDOK, 0);
      p.step = 2;
    }
  } else if (p.step == 2 && box && !FindWindowW(L"#32770", L"Longtick")) {
    HWND ok = FindWindowExW(box, nullptr, L"Button", L"OK");
    if (ok) PostMessageW(ok, BM_CLICK, 0, 0);
    p.step = 3;
  }
}

TEST(About, ModalBoxWithTextsSystemInfoAndOk) {
  HKEY h = nullptr;
  bool tool_known = RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Shared Tools\\MSINFO",
                                  0, KEY_READ, &h) == ERROR_SUCCESS;
  if (h) RegCloseKey(h);
  Ptr<IDispatch> d;
  NewControl(d);
  AboutProbe probe;
  probe.start = GetTickCount();
  g_probe = &probe;
  UINT_PTR timer = SetTimer(nullptr, 0, 100, AboutTimer);
  DISPPARAMS none{nullptr, nullptr, 0, 0};
  HRESULT hr = d->Invoke(DispIdOf(d.p, L"About"), IID_NULL, 0, DISPATCH_METHOD, &none, nullptr,
                         nullptr, nullptr);
  KillTimer(nullptr, timer);
  g_probe = nullptr;
  EXPECT_EQ(hr, S_OK);
  EXPECT_EQ(probe.step, 3) << "the box closed by its OK button";
  EXPECT_TRUE(probe.centred);
  auto has = [&](const std::wstring& s) {
    for (auto& t : probe.texts)
      if (t == s) return true;
    return false;
  };
  EXPECT_TRUE(has(L"Longtick"));
  EXPECT_TRUE(has(L"Version 1.0.7"));
  EXPECT_TRUE(
      has(L"An enhanced timer control providing days, hours, minutes and seconds extensions."));
  EXPECT_TRUE(has(L"www.example.com/longtick"));
  EXPECT_TRUE(has(L"OK"));
  if (!tool_known) {
    EXPECT_EQ(probe.message, L"System Information Is Unavailable At This Time");
  }
}

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  ::testing::AddGlobalTestEnvironment(new RegisteredControl);
  return RUN_ALL_TESTS();
}
