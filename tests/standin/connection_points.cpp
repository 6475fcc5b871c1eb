#include "connection_points.h"

#include <olectl.h>

#include <algorithm>
#include <atomic>

namespace standin {

namespace {
// Unique across all connection points of the process, so that a cookie handed to
// the wrong window is noticed there.
DWORD next_cookie() {
  static DWORD last = 0;
  return ++last;
}
}  // namespace

void* CountingConnectionPoint::find_interface(REFIID riid) {
  return riid == IID_IConnectionPoint ? static_cast<IConnectionPoint*>(this) : nullptr;
}

STDMETHODIMP CountingConnectionPoint::GetConnectionInterface(IID* events) {
  if (!events) return E_POINTER;
  *events = events_;
  return S_OK;
}

STDMETHODIMP CountingConnectionPoint::GetConnectionPointContainer(
    IConnectionPointContainer** owner) {
  if (!owner) return E_POINTER;
  *owner = owner_;
  if (!owner_) return E_UNEXPECTED;
  owner_->AddRef();
  return S_OK;
}

STDMETHODIMP CountingConnectionPoint::EnumConnections(IEnumConnections** connections) {
  if (connections) *connections = nullptr;
  return E_NOTIMPL;
}

STDMETHODIMP SinkList::Advise(IUnknown* sink, DWORD* cookie) {
  if (!cookie) return E_POINTER;
  *cookie = 0;
  ComPtr<IDispatch> dispatch;
  if (!sink || FAILED(sink->QueryInterface(IID_PPV_ARGS(&dispatch)))) return CONNECT_E_CANNOTCONNECT;
  *cookie = next_cookie();
  sinks_.emplace_back(*cookie, std::move(dispatch));
  ++counts_.advised;
  return S_OK;
}

namespace {
std::atomic<DWORD> unadvise_delay_ms{0};
}  // namespace

void set_unadvise_delay(DWORD ms) { unadvise_delay_ms = ms; }

STDMETHODIMP SinkList::Unadvise(DWORD cookie) {
  if (const DWORD delay = unadvise_delay_ms) Sleep(delay);
  const auto found = std::find_if(sinks_.begin(), sinks_.end(),
                                  [cookie](const auto& sink) { return sink.first == cookie; });
  if (found == sinks_.end()) return CONNECT_E_NOCONNECTION;
  sinks_.erase(found);
  ++counts_.unadvised;
  return S_OK;
}

std::vector<ComPtr<IDispatch>> SinkList::sinks() const {
  std::vector<ComPtr<IDispatch>> result;
  for (const auto& sink : sinks_) result.push_back(sink.second);
  return result;
}

STDMETHODIMP ForwardingConnectionPoint::Advise(IUnknown* sink, DWORD* cookie) {
  const HRESULT hr = target_->Advise(sink, cookie);
  if (SUCCEEDED(hr)) ++counts_.advised;
  return hr;
}

STDMETHODIMP ForwardingConnectionPoint::Unadvise(DWORD cookie) {
  const HRESULT hr = target_->Unadvise(cookie);
  if (SUCCEEDED(hr)) ++counts_.unadvised;
  return hr;
}

HRESULT find_single_connection_point(IConnectionPoint* point, REFIID events, REFIID wanted,
                                     IConnectionPoint** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (!point || wanted != events) return CONNECT_E_NOCONNECTION;
  point->AddRef();
  *out = point;
  return S_OK;
}

}  // namespace standin
