// Connection points of the control: one per outgoing interface, each with any number of
// sinks, and the two enumerators clients use to list points and connections.
#pragma once

#include <ocidl.h>

#include <vector>

#include "longtick/control/com_base_win32.h"

namespace longtick {

class ConnectionPoint final : public ComObject<ConnectionPoint, IConnectionPoint> {
 public:
  // `owner` is not referenced: the owner calls Detach before it goes away. A sink that
  // only implements IDispatch is accepted for a dispinterface when `dispatch_fallback`.
  ConnectionPoint(IConnectionPointContainer* owner, REFIID iid, bool dispatch_fallback);
  ~ConnectionPoint() override;

  // Drops the owner and every sink.
  void Detach();
  // The current sinks (as the outgoing interface), each with a reference of its own, so
  // that a sink may disconnect while the caller walks the list.
  std::vector<ComPtr<IUnknown>> Sinks() const;

  void* Interface(REFIID iid);

  STDMETHODIMP GetConnectionInterface(IID* iid) override;
  STDMETHODIMP GetConnectionPointContainer(IConnectionPointContainer** out) override;
  STDMETHODIMP Advise(IUnknown* sink, DWORD* cookie) override;
  STDMETHODIMP Unadvise(DWORD cookie) override;
  STDMETHODIMP EnumConnections(IEnumConnections** out) override;

 private:
  struct Connection {
    DWORD cookie;
    ComPtr<IUnknown> sink;
  };
  IConnectionPointContainer* owner_;
  IID iid_;
  bool dispatch_fallback_;
  std::vector<Connection> connections_;
  DWORD next_cookie_ = 1;
};

HRESULT CreateConnectionPointEnumerator(const std::vector<IConnectionPoint*>& points,
                                        IEnumConnectionPoints** out);

}  // namespace longtick
