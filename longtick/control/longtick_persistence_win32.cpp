// The control's stored properties: a container's property bag, or a stream.
#include "longtick/control/longtick_control_win32.h"

#include <optional>
#include <string>

#include "longtick/control/property_store.h"
#include "win32/com_win32.h"
#include "win32/text_win32.h"

namespace longtick {

namespace {

// Stored streams are a few dozen bytes; anything beyond this is not one of ours.
constexpr uint32_t kMaxStreamBytes = 64 * 1024;

// Stored properties read from a container's property bag. A value the bag does not hold
// takes its default; any other failure (a bag that cannot read, a value of the wrong kind)
// is kept for the caller, who then applies nothing.
class BagReader final : public PropertyReader {
 public:
  explicit BagReader(IPropertyBag* bag, IErrorLog* log) : bag_(bag), log_(log) {}
  std::optional<int32_t> ReadLong(std::string_view name) override {
    win32::ScopedVariant v;
    if (!Read(name, VT_I4, v)) return std::nullopt;
    return v->lVal;
  }
  std::optional<bool> ReadBool(std::string_view name) override {
    win32::ScopedVariant v;
    if (!Read(name, VT_BOOL, v)) return std::nullopt;
    return v->boolVal != VARIANT_FALSE;
  }
  HRESULT error() const { return error_; }

 private:
  bool Read(std::string_view name, VARTYPE type, win32::ScopedVariant& v) {
    const std::wstring wname = win32::Utf8ToWide(name);
    HRESULT hr = bag_->Read(wname.c_str(), v.get(), log_);
    if (hr == E_INVALIDARG) return false;  // not stored
    if (SUCCEEDED(hr)) hr = VariantChangeType(v.get(), v.get(), 0, type);
    if (FAILED(hr) && SUCCEEDED(error_)) error_ = hr;
    return SUCCEEDED(hr);
  }
  IPropertyBag* bag_;
  IErrorLog* log_;
  HRESULT error_ = S_OK;
};

class BagWriter final : public PropertyWriter {
 public:
  explicit BagWriter(IPropertyBag* bag) : bag_(bag) {}
  void WriteLong(std::string_view name, int32_t value) override {
    VARIANT v{};
    v.vt = VT_I4;
    v.lVal = value;
    Write(name, v);
  }
  void WriteBool(std::string_view name, bool value) override {
    VARIANT v{};
    v.vt = VT_BOOL;
    v.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
    Write(name, v);
  }
  HRESULT error() const { return error_; }

 private:
  // The values written hold no resources: nothing to clear afterwards.
  void Write(std::string_view name, VARIANT& v) {
    const std::wstring wname = win32::Utf8ToWide(name);
    const HRESULT hr = bag_->Write(wname.c_str(), &v);
    if (FAILED(hr) && SUCCEEDED(error_)) error_ = hr;
  }
  IPropertyBag* bag_;
  HRESULT error_ = S_OK;
};

}  // namespace

// ---- persistence ------------------------------------------------------------------------

STDMETHODIMP LongtickControl::GetClassID(CLSID* clsid) {
  if (!clsid) return E_POINTER;
  *clsid = CLSID_Longtick;
  return S_OK;
}

STDMETHODIMP LongtickControl::InitNew() { return S_OK; }

STDMETHODIMP LongtickControl::Load(IPropertyBag* bag, IErrorLog* log) {
  if (!bag) return E_POINTER;
  BagReader reader(bag, log);
  const StoredProperties stored = ReadStoredProperties(reader);
  if (FAILED(reader.error())) return reader.error();
  return LoadStored(stored);
}

HRESULT LongtickControl::LoadStored(const StoredProperties& stored) {
  ComPtr<LongtickControl> keep(this);
  const HRESULT hr = Report(counter_.Load(stored));
  if (SUCCEEDED(hr)) dirty_ = false;
  return hr;
}

STDMETHODIMP LongtickControl::Save(IPropertyBag* bag, BOOL clear_dirty, BOOL) {
  if (!bag) return E_POINTER;
  BagWriter writer(bag);
  counter_.Save(writer);
  if (FAILED(writer.error())) return writer.error();
  if (clear_dirty) dirty_ = false;
  return S_OK;
}

STDMETHODIMP LongtickControl::IsDirty() { return dirty_ ? S_OK : S_FALSE; }

STDMETHODIMP LongtickControl::Load(LPSTREAM stream) {
  if (!stream) return E_POINTER;
  uint32_t size = 0;
  ULONG got = 0;
  HRESULT hr = stream->Read(&size, sizeof size, &got);
  if (FAILED(hr)) return hr;
  if (got != sizeof size || size > kMaxStreamBytes) return STG_E_READFAULT;
  std::vector<uint8_t> bytes(size);
  if (size > 0) {
    hr = stream->Read(bytes.data(), size, &got);
    if (FAILED(hr)) return hr;
    if (got != size) return STG_E_READFAULT;
  }
  auto store = PropertyStore::Parse(bytes);
  if (!store) return STG_E_READFAULT;
  return LoadStored(ReadStoredProperties(*store));
}

STDMETHODIMP LongtickControl::Save(LPSTREAM stream, BOOL clear_dirty) {
  if (!stream) return E_POINTER;
  PropertyStore store;
  counter_.Save(store);
  std::vector<uint8_t> bytes = store.Serialize();
  uint32_t size = static_cast<uint32_t>(bytes.size());
  ULONG written = 0;
  HRESULT hr = stream->Write(&size, sizeof size, &written);
  if (SUCCEEDED(hr)) hr = stream->Write(bytes.data(), size, &written);
  if (FAILED(hr)) return hr;
  if (clear_dirty) dirty_ = false;
  return S_OK;
}

STDMETHODIMP LongtickControl::GetSizeMax(ULARGE_INTEGER* size) {
  if (!size) return E_POINTER;
  PropertyStore store;
  counter_.Save(store);
  size->QuadPart = sizeof(uint32_t) + store.Serialize().size();
  return S_OK;
}

}  // namespace longtick
