#include "window_collection.h"

#include "com_values.h"

#include <olectl.h>

#include <algorithm>

namespace standin {

namespace {

// The collection's windows as they were when it was asked for them, as the shell's own
// enumerator hands them out; its reads count as reads of the collection.
class WindowEnumerator final : public ComObject<IEnumVARIANT> {
 public:
  WindowEnumerator(std::vector<ComPtr<IDispatch>> windows, Triggers& reads, ComPtr<IUnknown> owner)
      : windows_(std::move(windows)), reads_(reads), owner_(std::move(owner)) {}

  STDMETHODIMP Next(ULONG wanted, VARIANT* out, ULONG* fetched) override {
    if (!out) return E_POINTER;
    ULONG given = 0;
    for (; given < wanted && next_ < windows_.size(); ++given, ++next_) {
      reads_.reached();  // each window handed out counts, as one Item would
      VariantInit(&out[given]);
      V_VT(&out[given]) = VT_DISPATCH;
      windows_[next_].CopyTo(&V_DISPATCH(&out[given]));
    }
    if (fetched) *fetched = given;
    return given == wanted ? S_OK : S_FALSE;
  }
  STDMETHODIMP Skip(ULONG count) override {
    next_ = std::min(windows_.size(), next_ + count);
    return next_ < windows_.size() ? S_OK : S_FALSE;
  }
  STDMETHODIMP Reset() override {
    next_ = 0;
    return S_OK;
  }
  STDMETHODIMP Clone(IEnumVARIANT** copy) override {
    if (!copy) return E_POINTER;
    auto clone = make_com<WindowEnumerator>(windows_, reads_, owner_);
    clone->next_ = next_;
    *copy = clone.Detach();
    return S_OK;
  }

 protected:
  void* find_interface(REFIID riid) override {
    return riid == IID_IEnumVARIANT ? static_cast<IEnumVARIANT*>(this) : nullptr;
  }

 private:
  std::vector<ComPtr<IDispatch>> windows_;
  size_t next_ = 0;
  Triggers& reads_;
  ComPtr<IUnknown> owner_;  // keeps the collection, and so reads_, alive
};

}  // namespace

WindowCollection::WindowCollection() : events_(make_com<SinkList>(DIID_DShellWindowsEvents, this)) {}

WindowCollection::~WindowCollection() { events_->detach(); }

void* WindowCollection::find_interface(REFIID riid) {
  if (riid == IID_IDispatch || riid == IID_IShellWindows) return static_cast<IShellWindows*>(this);
  if (riid == IID_IConnectionPointContainer) return static_cast<IConnectionPointContainer*>(this);
  return nullptr;
}

LONG WindowCollection::add(ComPtr<IDispatch> window, WindowControl* control, FireResult* fired,
                           ComPtr<IUnknown> keeper) {
  const LONG cookie = ++last_cookie_;
  entries_.push_back({cookie, std::move(window), control, std::move(keeper)});
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
  reads_.reached();
  const Entry* found = entry(V_I4(position.get()));
  if (!found || !found->window) return S_FALSE;
  return found->window.CopyTo(window);
}

STDMETHODIMP WindowCollection::_NewEnum(IUnknown** enumerator) {
  if (!enumerator) return E_POINTER;
  std::vector<ComPtr<IDispatch>> windows;
  for (const Entry& held : entries_)
    if (held.window) windows.push_back(held.window);
  auto snapshot = make_com<WindowEnumerator>(std::move(windows), reads_, static_cast<IShellWindows*>(this));
  *enumerator = static_cast<IEnumVARIANT*>(snapshot.Detach());
  return S_OK;
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
