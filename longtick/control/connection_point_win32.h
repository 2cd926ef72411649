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
  // Calls `call` with each sink (as the outgoing interface) connected when the call
  // begins, holding a reference of its own to each. A handler may disconnect any sink: one
  // disconnected before its turn is not called.
  template <class Call>
  void ForEachSink(Call call) const {
    const std::vector<Connection> sinks = connections_;
    for (const Connection& c : sinks)
      if (IsConnected(c.cookie)) call(c.sink.get());
  }

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
  bool IsConnected(DWORD cookie) const;
  IConnectionPointContainer* owner_;
  IID iid_;
  bool dispatch_fallback_;
  std::vector<Connection> connections_;
  DWORD next_cookie_ = 1;
};

HRESULT CreateConnectionPointEnumerator(const std::vector<IConnectionPoint*>& points,
                                        IEnumConnectionPoints** out);

}  // namespace longtick
