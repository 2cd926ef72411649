#include "longtick/control/connection_point_win32.h"

#include <olectl.h>

#include <algorithm>

namespace longtick {

namespace {

// Reference handling of the enumerated item types.
void AddRefItem(IConnectionPoint* p) { p->AddRef(); }
void ReleaseItem(IConnectionPoint* p) { p->Release(); }
void AddRefItem(CONNECTDATA& c) { c.pUnk->AddRef(); }
void ReleaseItem(CONNECTDATA& c) { c.pUnk->Release(); }

// A snapshot enumerator over IConnectionPoint* or CONNECTDATA items; every item holds a
// reference for as long as the enumerator lives, and every item handed out gets its own.
template <class IEnum, class Item, const IID* kIid>
class Enumerator final : public ComObject<Enumerator<IEnum, Item, kIid>, IEnum> {
 public:
  Enumerator(std::vector<Item> items, size_t pos) : items_(std::move(items)), pos_(pos) {
    for (auto& i : items_) AddRefItem(i);
  }
  ~Enumerator() override {
    for (auto& i : items_) ReleaseItem(i);
  }
  void* Interface(REFIID iid) {
    return IsEqualIID(iid, *kIid) ? static_cast<IEnum*>(this) : nullptr;
  }
  STDMETHODIMP Next(ULONG count, Item* out, ULONG* fetched) override {
    if (!out || (count > 1 && !fetched)) return E_POINTER;
    ULONG n = 0;
    for (; n < count && pos_ < items_.size(); ++n, ++pos_) {
      out[n] = items_[pos_];
      AddRefItem(out[n]);
    }
    if (fetched) *fetched = n;
    return n == count ? S_OK : S_FALSE;
  }
  STDMETHODIMP Skip(ULONG count) override {
    size_t left = items_.size() - pos_;
    pos_ += std::min<size_t>(count, left);
    return count <= left ? S_OK : S_FALSE;
  }
  STDMETHODIMP Reset() override {
    pos_ = 0;
    return S_OK;
  }
  STDMETHODIMP Clone(IEnum** out) override {
    return CreateAndQuery<Enumerator>(*kIid, reinterpret_cast<void**>(out), items_, pos_);
  }

 private:
  std::vector<Item> items_;
  size_t pos_;
};

using PointEnumerator =
    Enumerator<IEnumConnectionPoints, IConnectionPoint*, &IID_IEnumConnectionPoints>;
using ConnectionEnumerator = Enumerator<IEnumConnections, CONNECTDATA, &IID_IEnumConnections>;

}  // namespace

HRESULT CreateConnectionPointEnumerator(const std::vector<IConnectionPoint*>& points,
                                        IEnumConnectionPoints** out) {
  return CreateAndQuery<PointEnumerator>(IID_IEnumConnectionPoints, reinterpret_cast<void**>(out),
                                         points, size_t{0});
}

ConnectionPoint::ConnectionPoint(IConnectionPointContainer* owner, REFIID iid,
                                 bool dispatch_fallback)
    : owner_(owner), iid_(iid), dispatch_fallback_(dispatch_fallback) {}

ConnectionPoint::~ConnectionPoint() = default;

void ConnectionPoint::Detach() {
  owner_ = nullptr;
  // Release outside the list: a sink's destructor may call back into us.
  std::vector<Connection> gone;
  gone.swap(connections_);
}

bool ConnectionPoint::IsConnected(DWORD cookie) const {
  return std::any_of(connections_.begin(), connections_.end(),
                     [&](const Connection& c) { return c.cookie == cookie; });
}

void* ConnectionPoint::Interface(REFIID iid) {
  return IsEqualIID(iid, IID_IConnectionPoint) ? static_cast<IConnectionPoint*>(this) : nullptr;
}

STDMETHODIMP ConnectionPoint::GetConnectionInterface(IID* iid) {
  if (!iid) return E_POINTER;
  *iid = iid_;
  return S_OK;
}

STDMETHODIMP ConnectionPoint::GetConnectionPointContainer(IConnectionPointContainer** out) {
  if (!out) return E_POINTER;
  *out = owner_;
  if (!owner_) return E_UNEXPECTED;
  owner_->AddRef();
  return S_OK;
}

STDMETHODIMP ConnectionPoint::Advise(IUnknown* sink, DWORD* cookie) {
  if (!cookie) return E_POINTER;
  *cookie = 0;
  if (!sink) return E_POINTER;
  if (!owner_) return E_UNEXPECTED;
  ComPtr<IUnknown> typed;
  if (FAILED(sink->QueryInterface(iid_, typed.put_void())) &&
      (!dispatch_fallback_ || FAILED(sink->QueryInterface(IID_IDispatch, typed.put_void()))))
    return CONNECT_E_CANNOTCONNECT;
  if (next_cookie_ == 0) next_cookie_ = 1;
  *cookie = next_cookie_++;
  connections_.push_back(Connection{*cookie, std::move(typed)});
  return S_OK;
}

STDMETHODIMP ConnectionPoint::Unadvise(DWORD cookie) {
  auto it = std::find_if(connections_.begin(), connections_.end(),
                         [&](const Connection& c) { return c.cookie == cookie; });
  if (it == connections_.end()) return CONNECT_E_NOCONNECTION;
  ComPtr<IUnknown> sink = std::move(it->sink);  // released after the list is consistent
  connections_.erase(it);
  return S_OK;
}

STDMETHODIMP ConnectionPoint::EnumConnections(IEnumConnections** out) {
  if (!out) return E_POINTER;
  std::vector<CONNECTDATA> data;
  for (const auto& c : connections_) data.push_back(CONNECTDATA{c.sink.get(), c.cookie});
  return CreateAndQuery<ConnectionEnumerator>(IID_IEnumConnections, reinterpret_cast<void**>(out),
                                              std::move(data), size_t{0});
}

}  // namespace longtick
