#include "com_test_support_win32.h"

namespace lttest {

std::wstring OcxPath() {
  wchar_t path[MAX_PATH];
  DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring dir(path, n);
  return dir.substr(0, dir.find_last_of(L"\\/") + 1) + L"longtick.ocx";
}

std::wstring SystemProgram(const wchar_t* name) {
  wchar_t dir[MAX_PATH];
  UINT n = GetSystemDirectoryW(dir, MAX_PATH);
  return std::wstring(dir, n) + L"\\" + name;
}

int RunProcess(const std::wstring& command_line, std::string* output) {
  SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
  HANDLE read_end = nullptr, write_end = nullptr;
  STARTUPINFOW si{};
  si.cb = sizeof si;
  if (output) {
    if (!CreatePipe(&read_end, &write_end, &sa, 0)) return -1;
    SetHandleInformation(read_end, HANDLE_FLAG_INHERIT, 0);
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = write_end;
    si.hStdError = write_end;
    si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  }
  PROCESS_INFORMATION pi{};
  std::wstring cmd = command_line;
  BOOL ok = CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, output != nullptr,
                           CREATE_NO_WINDOW, nullptr, nullptr, &si, &pi);
  if (write_end) CloseHandle(write_end);
  if (!ok) {
    if (read_end) CloseHandle(read_end);
    return -1;
  }
  if (output) {
    char buf[4096];
    DWORD got = 0;
    while (ReadFile(read_end, buf, sizeof buf, &got, nullptr) && got > 0) output->append(buf, got);
    CloseHandle(read_end);
  }
  DWORD code = static_cast<DWORD>(-1);
  if (WaitForSingleObject(pi.hProcess, 120000) == WAIT_OBJECT_0)
    GetExitCodeProcess(pi.hProcess, &code);
  else
    TerminateProcess(pi.hProcess, 1);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return static_cast<int>(code);
}

int Regsvr32(bool unregister) {
  std::wstring cmd = L"\"" + SystemProgram(L"regsvr32.exe") + L"\" /s " +
                     (unregister ? L"/u " : L"") + L"\"" + OcxPath() + L"\"";
  return RunProcess(cmd);
}

bool ClassesKeyExists(const std::wstring& key) {
  HKEY h = nullptr;
  if (RegOpenKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS) return false;
  RegCloseKey(h);
  return true;
}

std::wstring ClassesValue(const std::wstring& key, const wchar_t* name) {
  wchar_t buf[1024];
  DWORD size = sizeof buf;
  if (RegGetValueW(HKEY_CLASSES_ROOT, key.c_str(), name, RRF_RT_REG_SZ, nullptr, buf, &size) !=
      ERROR_SUCCESS)
    return L"<missing>";
  return buf;
}

std::wstring GuidText(REFGUID guid) {
  wchar_t text[40] = {};
  StringFromGUID2(guid, text, 40);
  return text;
}

std::vector<HWND> ControlTimerWindows() {
  std::vector<HWND> found;
  for (HWND w = nullptr; (w = FindWindowExW(HWND_MESSAGE, w, L"LongtickControlWindow", nullptr));)
    found.push_back(w);
  return found;
}

bool PumpUntil(const std::function<bool()>& done, DWORD timeout_ms) {
  DWORD start = GetTickCount();
  while (!done()) {
    DWORD spent = GetTickCount() - start;
    if (spent >= timeout_ms) return done();
    MsgWaitForMultipleObjects(0, nullptr, FALSE, timeout_ms - spent, QS_ALLINPUT);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
  return true;
}

DISPID DispIdOf(IDispatch* disp, const wchar_t* name) {
  DISPID id = DISPID_UNKNOWN;
  LPOLESTR n = const_cast<LPOLESTR>(name);
  if (FAILED(disp->GetIDsOfNames(IID_NULL, &n, 1, LOCALE_USER_DEFAULT, &id))) return DISPID_UNKNOWN;
  return id;
}

namespace {
HRESULT Put(IDispatch* disp, DISPID id, VARIANT& v, EXCEPINFO* excep) {
  DISPID named = DISPID_PROPERTYPUT;
  DISPPARAMS p{&v, &named, 1, 1};
  EXCEPINFO local{};
  HRESULT hr = disp->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT, &p, nullptr,
                            excep ? excep : &local, nullptr);
  if (!excep) {
    SysFreeString(local.bstrSource);
    SysFreeString(local.bstrDescription);
    SysFreeString(local.bstrHelpFile);
  }
  return hr;
}
}  // namespace

HRESULT PutLong(IDispatch* disp, DISPID id, LONG value, EXCEPINFO* excep) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_I4;
  v.lVal = value;
  return Put(disp, id, v, excep);
}

HRESULT PutBool(IDispatch* disp, DISPID id, bool value) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_BOOL;
  v.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
  return Put(disp, id, v, nullptr);
}

HRESULT GetValue(IDispatch* disp, DISPID id, VARIANT* out) {
  DISPPARAMS none{nullptr, nullptr, 0, 0};
  VariantInit(out);
  return disp->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, out, nullptr,
                      nullptr);
}

LONG GetLong(IDispatch* disp, DISPID id) {
  VARIANT v;
  if (FAILED(GetValue(disp, id, &v)) || v.vt != VT_I4) return -12345;
  return v.lVal;
}

int EventSink::Count(DISPID id) const {
  int n = 0;
  for (const auto& e : events) n += e.id == id;
  return n;
}

STDMETHODIMP EventSink::QueryInterface(REFIID iid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) ||
      (answer_events_iid && IsEqualIID(iid, kEventsIid)))
    *out = static_cast<IDispatch*>(this);
  if (!*out) return E_NOINTERFACE;
  AddRef();
  return S_OK;
}

STDMETHODIMP EventSink::GetTypeInfoCount(UINT* n) {
  *n = 0;
  return S_OK;
}
STDMETHODIMP EventSink::GetTypeInfo(UINT, LCID, ITypeInfo**) { return E_NOTIMPL; }
STDMETHODIMP EventSink::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) { return E_NOTIMPL; }

STDMETHODIMP EventSink::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* p, VARIANT*, EXCEPINFO*,
                               UINT*) {
  EventRecord r{id, {}};
  // Arguments arrive last first; store them Years first.
  for (UINT i = p ? p->cArgs : 0; i > 0; --i) {
    const VARIANTARG& a = p->rgvarg[i - 1];
    r.args.push_back(a.vt == (VT_BYREF | VT_I4) ? *a.plVal : -99999);
    if (a.vt == (VT_BYREF | VT_I4)) *a.plVal = 4242;  // must not reach anyone else
  }
  events.push_back(r);
  if (on_event) on_event(r);
  return invoke_result;
}

STDMETHODIMP NotifySink::QueryInterface(REFIID iid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IPropertyNotifySink)) *out = this;
  if (!*out) return E_NOINTERFACE;
  AddRef();
  return S_OK;
}

MemoryBag::~MemoryBag() {
  for (auto& [name, v] : values) VariantClear(&v);
}

void MemoryBag::Set(const std::wstring& name, LONG value) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_I4;
  v.lVal = value;
  Write(name.c_str(), &v);
}

void MemoryBag::SetBool(const std::wstring& name, bool value) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_BOOL;
  v.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
  Write(name.c_str(), &v);
}

STDMETHODIMP MemoryBag::QueryInterface(REFIID iid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IPropertyBag)) *out = this;
  return *out ? S_OK : E_NOINTERFACE;
}

STDMETHODIMP MemoryBag::Read(LPCOLESTR name, VARIANT* v, IErrorLog*) {
  if (!name || !v) return E_POINTER;
  reads.push_back(name);
  if (unreadable == name) return E_FAIL;
  for (auto& [n, value] : values) {
    if (_wcsicmp(n.c_str(), name) == 0) {
      VARTYPE want = v->vt;
      VariantInit(v);
      if (want == VT_EMPTY) return VariantCopy(v, &value);
      return VariantChangeType(v, &value, 0, want);
    }
  }
  return E_INVALIDARG;
}

STDMETHODIMP MemoryBag::Write(LPCOLESTR name, VARIANT* v) {
  if (!name || !v) return E_POINTER;
  VARIANT copy;
  VariantInit(&copy);
  HRESULT hr = VariantCopy(&copy, v);
  if (FAILED(hr)) return hr;
  values.emplace_back(name, copy);
  return S_OK;
}

Connection::Connection(IUnknown* control, REFIID iid, IUnknown* sink) {
  IConnectionPointContainer* cpc = nullptr;
  hr_ = control->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&cpc));
  if (FAILED(hr_)) return;
  hr_ = cpc->FindConnectionPoint(iid, &cp_);
  cpc->Release();
  if (SUCCEEDED(hr_)) hr_ = cp_->Advise(sink, &cookie_);
}

Connection::~Connection() {
  Disconnect();
  if (cp_) cp_->Release();
}

void Connection::Disconnect() {
  if (cp_ && cookie_) cp_->Unadvise(cookie_);
  cookie_ = 0;
}

}  // namespace lttest
