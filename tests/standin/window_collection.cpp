#include "window_collection.h"

#include "com_values.h"

#include <olectl.h>

#include <algorithm>

namespace standin {

WindowCollection::WindowCollection() : events_(make_com<SinkList>(DIID_DShellWindowsEvents, this)) {}

WindowCollection::~WindowCollection() { events_->detach(); }

void* WindowCollection::find_interface(REFIID riid) {
  if (riid == IID_IDispatch || riid == IID_IShellWindows) return static_cast<IShellWindows*>(this);
  if (riid == IID_IConnectionPointContainer) return static_cast<IConnectionPointContainer*>(this);
  return nullptr;
}

LONG WindowCollection::add(ComPtr<IDispatch> window, WindowControl* control, FireResult* fired) {
  const LONG cookie = ++last_cookie_;
  entries_.push_back({cookie, std::move(window), control});
  const LONG index = count() - 1;
  const FireResult result = fire(kWindowRegistered, cookie);
  if (fired) *fired = result;
  return index;
}

bool WindowCollection::remove(LONG index) {
  if (!entry(index)) return false;
  const LONG cookie = entries_[static_cast<size_t>(index)].cookie;
  removed_.push_back(std::move(entries_[static_cast<size_t>(index)]));
  entries_.erase(entries_.begin() + index);
  fire(kWindowRevoked, cookie);
  return true;
}

AdviseCounts WindowCollection::window_totals() const {
  AdviseCounts totals{};
  for (const auto* list : {&entries_, &removed_}) {
    for (const Entry& held : *list) {
      if (!held.control) continue;
      const AdviseCounts counts = held.control->advise_counts();
      totals.advised += counts.advised;
      totals.unadvised += counts.unadvised;
    }
  }
  return totals;
}

int WindowCollection::held_after_removal() const {
  int held = 0;
  for (const Entry& gone : removed_)
    if (gone.control) held += gone.control->outside_references();
  return held;
}

const WindowCollection::Entry* WindowCollection::entry(LONG index) const {
  if (index < 0 || index >= count()) return nullptr;
  return &entries_[static_cast<size_t>(index)];
}

FireResult WindowCollection::fire(DISPID event, LONG cookie) {
  return fire_shell_event(events_->sinks(), event, cookie);
}

void WindowCollection::close_all() {
  for (const auto* list : {&entries_, &removed_})
    for (const Entry& held : *list)
      if (held.control) held.control->close();
  entries_.clear();
  removed_.clear();
}

STDMETHODIMP WindowCollection::get_Count(LONG* count_out) {
  if (!count_out) return E_POINTER;
  *count_out = count();
  return S_OK;
}

// Like the shell's: a 32-bit integer index; S_FALSE and no window when out of range.
STDMETHODIMP WindowCollection::Item(VARIANT index, IDispatch** window) {
  if (!window) return E_POINTER;
  *window = nullptr;
  Variant position;
  if (FAILED(VariantChangeType(position.get(), &index, 0, VT_I4))) return E_INVALIDARG;
  const Entry* found = entry(V_I4(position.get()));
  if (!found || !found->window) return S_FALSE;
  return found->window.CopyTo(window);
}

STDMETHODIMP WindowCollection::_NewEnum(IUnknown** enumerator) {
  if (enumerator) *enumerator = nullptr;
  return E_NOTIMPL;
}

STDMETHODIMP WindowCollection::Register(IDispatch* window, LONG, int, LONG* cookie) {
  if (!window || !cookie) return E_POINTER;
  const LONG index = add(window, nullptr);
  *cookie = entries_[static_cast<size_t>(index)].cookie;
  return S_OK;
}

STDMETHODIMP WindowCollection::RegisterPending(LONG, VARIANT*, VARIANT*, int, LONG* cookie) {
  if (cookie) *cookie = 0;
  return E_NOTIMPL;
}

STDMETHODIMP WindowCollection::Revoke(LONG cookie) {
  const auto found = std::find_if(entries_.begin(), entries_.end(),
                                  [cookie](const Entry& e) { return e.cookie == cookie; });
  if (found == entries_.end()) return E_INVALIDARG;
  return remove(static_cast<LONG>(found - entries_.begin())) ? S_OK : E_INVALIDARG;
}

STDMETHODIMP WindowCollection::OnNavigate(LONG, VARIANT*) { return S_OK; }
STDMETHODIMP WindowCollection::OnActivated(LONG, VARIANT_BOOL) { return S_OK; }

STDMETHODIMP WindowCollection::FindWindowSW(VARIANT*, VARIANT*, int, LONG* hwnd, int,
                                        IDispatch** window) {
  if (hwnd) *hwnd = 0;
  if (window) *window = nullptr;
  return E_NOTIMPL;
}

STDMETHODIMP WindowCollection::OnCreated(LONG, IUnknown*) { return S_OK; }
STDMETHODIMP WindowCollection::ProcessAttachDetach(VARIANT_BOOL) { return S_OK; }

STDMETHODIMP WindowCollection::EnumConnectionPoints(IEnumConnectionPoints** points) {
  if (points) *points = nullptr;
  return E_NOTIMPL;
}

STDMETHODIMP WindowCollection::FindConnectionPoint(REFIID events, IConnectionPoint** point) {
  return find_single_connection_point(events_.Get(), DIID_DShellWindowsEvents, events, point);
}

}  // namespace standin
