// The stand-in's collection of shell windows, in place of the shell's ShellWindows.
#pragma once

#include "browser_windows.h"
#include "com_object.h"
#include "connection_points.h"
#include "events.h"
#include "triggers.h"
#include "type_info.h"

#include <exdisp.h>
#include <ocidl.h>

#include <vector>

namespace standin {

class WindowCollection final
    : public ComObject<TypeInfoDispatch<IShellWindows>, IConnectionPointContainer> {
 public:
  // One place in the collection. A window added by a client through Register has no
  // control; an empty entry has neither window nor control.
  struct Entry {
    LONG cookie = 0;
    ComPtr<IDispatch> window;
    WindowControl* control = nullptr;  // lives as long as window, or as keeper
    ComPtr<IUnknown> keeper;           // the control's object when window is not it
  };

  WindowCollection();
  ~WindowCollection() override;

  // Appends an entry, then fires WindowRegistered with its cookie. Returns its index.
  LONG add(ComPtr<IDispatch> window, WindowControl* control, FireResult* fired = nullptr,
           ComPtr<IUnknown> keeper = nullptr);
  // Removes the entry at index, then fires WindowRevoked. The window itself is kept (it
  // has only left the collection), so that its subscriptions can still be counted.
  bool remove(LONG index);
  // Subscriptions of every window the collection has held, removed ones included.
  AdviseCounts window_totals() const;
  // References others still hold to the removed windows (see outside_references).
  int held_after_removal() const;
  const Entry* entry(LONG index) const;
  LONG count() const { return static_cast<LONG>(entries_.size()); }
  FireResult fire(DISPID event, LONG cookie);
  AdviseCounts advise_counts() const { return events_->counts(); }
  // Actions armed to run inside the collection's reads: each window handed out by Item or
  // by Next of its enumerators counts as one.
  Triggers& read_triggers() { return reads_; }
  // The stand-in ends: closes the real windows and drops every entry.
  void close_all();

  // IShellWindows
  STDMETHODIMP get_Count(LONG* count) override;
  STDMETHODIMP Item(VARIANT index, IDispatch** window) override;
  STDMETHODIMP _NewEnum(IUnknown** enumerator) override;
  STDMETHODIMP Register(IDispatch* window, LONG hwnd, int window_class, LONG* cookie) override;
  STDMETHODIMP RegisterPending(LONG thread, VARIANT* location, VARIANT* root, int window_class,
                               LONG* cookie) override;
  STDMETHODIMP Revoke(LONG cookie) override;
  STDMETHODIMP OnNavigate(LONG cookie, VARIANT* location) override;
  STDMETHODIMP OnActivated(LONG cookie, VARIANT_BOOL active) override;
  STDMETHODIMP FindWindowSW(VARIANT* location, VARIANT* root, int window_class, LONG* hwnd,
                            int options, IDispatch** window) override;
  STDMETHODIMP OnCreated(LONG cookie, IUnknown* unknown) override;
  STDMETHODIMP ProcessAttachDetach(VARIANT_BOOL attach) override;

  // IConnectionPointContainer
  STDMETHODIMP EnumConnectionPoints(IEnumConnectionPoints** points) override;
  STDMETHODIMP FindConnectionPoint(REFIID events, IConnectionPoint** point) override;

 protected:
  void* find_interface(REFIID riid) override;

 private:
  std::vector<Entry> entries_;
  std::vector<Entry> removed_;
  LONG last_cookie_ = 0;
  ComPtr<SinkList> events_;
  Triggers reads_;
};

}  // namespace standin
