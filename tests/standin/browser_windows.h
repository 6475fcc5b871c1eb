// The browser windows the stand-in's collection holds: fake windows of its own and
// real Wine Internet Explorer windows behind a counting wrapper.
#pragma once

#include "browser_methods.h"
#include "com_object.h"
#include "connection_points.h"
#include "events.h"
#include "triggers.h"
#include "type_info.h"

#include <exdisp.h>
#include <ocidl.h>

#include <string>

namespace standin {

// What the control channel asks of a window, beyond COM.
class WindowControl {
 public:
  virtual ~WindowControl() = default;
  // Subscriptions on the window's DWebBrowserEvents2 connection point.
  virtual AdviseCounts advise_counts() const = 0;
  virtual int quit_count() const = 0;
  // References to the window and its connection point beyond the one the stand-in's
  // collection holds: what subscribers and callers (through COM, their stubs) still hold.
  virtual int outside_references() const = 0;
  virtual HRESULT location(std::wstring& url) = 0;
  virtual HRESULT navigate(const std::wstring& url) = 0;
  // Firing events on command: only fake windows can.
  virtual HRESULT before_navigate2(const std::wstring& url, FireResult& result) = 0;
  // The same for a frame inside the window: the navigating object is the frame's own.
  virtual HRESULT frame_before_navigate2(const std::wstring&, FireResult&) { return E_NOTIMPL; }
  virtual HRESULT new_window2(FireResult& result) = 0;
  virtual HRESULT toolbar(int& value) = 0;
  // Actions armed to run inside the window's address and tool-bar reads; null for
  // windows whose reads the stand-in does not answer itself.
  virtual Triggers* read_triggers() { return nullptr; }
  // Called when the stand-in ends.
  virtual void close() {}
};

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-parameter"

// IWebBrowser2 with every member answering E_NOTIMPL; IDispatch through the type info.
class UnimplementedBrowser : public TypeInfoDispatch<IWebBrowser2> {
 public:
#define STANDIN_NOT_IMPLEMENTED(name, parameters, arguments) \
  STDMETHODIMP name parameters override { return E_NOTIMPL; }
  STANDIN_WEB_BROWSER_METHODS(STANDIN_NOT_IMPLEMENTED)
#undef STANDIN_NOT_IMPLEMENTED
};

#pragma GCC diagnostic pop

// IWebBrowser2 with every member, IDispatch included, handed on to another browser.
class ForwardingBrowser : public IWebBrowser2 {
 public:
  explicit ForwardingBrowser(ComPtr<IWebBrowser2> target) : target_(std::move(target)) {}

  STDMETHODIMP GetTypeInfoCount(UINT* count) override { return target_->GetTypeInfoCount(count); }
  STDMETHODIMP GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override {
    return target_->GetTypeInfo(index, locale, info);
  }
  STDMETHODIMP GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID locale,
                             DISPID* ids) override {
    return target_->GetIDsOfNames(riid, names, count, locale, ids);
  }
  STDMETHODIMP Invoke(DISPID member, REFIID riid, LCID locale, WORD flags, DISPPARAMS* params,
                      VARIANT* result, EXCEPINFO* exception, UINT* arg_error) override {
    return target_->Invoke(member, riid, locale, flags, params, result, exception, arg_error);
  }
#define STANDIN_FORWARD(name, parameters, arguments) \
  STDMETHODIMP name parameters override { return target_->name arguments; }
  STANDIN_WEB_BROWSER_METHODS(STANDIN_FORWARD)
#undef STANDIN_FORWARD

 protected:
  ComPtr<IWebBrowser2> target_;
};

// A window of the stand-in's own: answers LocationURL and ToolBar with configured
// values, records Quit, and fires its events on command.
class FakeWindow final : public ComObject<UnimplementedBrowser, IConnectionPointContainer>,
                         public WindowControl {
 public:
  // A window without events offers no IConnectionPointContainer at all.
  FakeWindow(std::wstring url, int toolbar, bool offers_events);
  // From its first Quit on, the window answers as a closed browser's object does: every
  // read and Quit fail with RPC_E_DISCONNECTED.
  void close_on_quit() { closes_on_quit_ = true; }
  ~FakeWindow() override;

  STDMETHODIMP get_LocationURL(BSTR* url) override;
  STDMETHODIMP get_ToolBar(int* value) override;
  STDMETHODIMP put_ToolBar(int value) override;
  STDMETHODIMP Quit() override;

  STDMETHODIMP EnumConnectionPoints(IEnumConnectionPoints** points) override;
  STDMETHODIMP FindConnectionPoint(REFIID events, IConnectionPoint** point) override;

  // From now on LocationURL and ToolBar block for `ms` (without dispatching anything, as
  // a hung browser does), or until `cut_short` is set.
  void hang_reads(DWORD ms, HANDLE cut_short) {
    hang_ms_ = ms;
    cut_short_ = cut_short;
  }

  AdviseCounts advise_counts() const override { return events_->counts(); }
  int quit_count() const override { return quits_; }
  int outside_references() const override {
    return static_cast<int>(references() + events_->references()) - 2;
  }
  HRESULT location(std::wstring& url) override;
  HRESULT navigate(const std::wstring& url) override;
  HRESULT before_navigate2(const std::wstring& url, FireResult& result) override;
  HRESULT frame_before_navigate2(const std::wstring& url, FireResult& result) override;
  HRESULT new_window2(FireResult& result) override;
  HRESULT toolbar(int& value) override;
  Triggers* read_triggers() override { return &reads_; }

 protected:
  void* find_interface(REFIID riid) override;

 private:
  // A read is answered: armed actions first, then the hang, if any.
  HRESULT begin_read();
  std::wstring url_;
  int toolbar_;
  bool offers_events_;
  int quits_ = 0;
  bool closes_on_quit_ = false;
  ComPtr<SinkList> events_;
  Triggers reads_;
  DWORD hang_ms_ = 0;
  HANDLE cut_short_ = nullptr;
  void hang() const {
    if (hang_ms_) WaitForSingleObject(cut_short_, hang_ms_);
  }
};

// A real Wine Internet Explorer window. Every browser call goes to the real window;
// subscriptions are counted here and handed on to the real window's connection
// point, so that the browser calls the subscriber directly.
class RealWindow final : public ComObject<ForwardingBrowser, IConnectionPointContainer>,
                         public WindowControl {
 public:
  // Opens a new visible Internet Explorer window.
  static HRESULT open(ComPtr<RealWindow>& window);

  RealWindow(ComPtr<IWebBrowser2> browser, ComPtr<IConnectionPoint> browser_events);
  ~RealWindow() override;

  STDMETHODIMP Quit() override;
  STDMETHODIMP EnumConnectionPoints(IEnumConnectionPoints** points) override;
  STDMETHODIMP FindConnectionPoint(REFIID events, IConnectionPoint** point) override;

  AdviseCounts advise_counts() const override { return events_->counts(); }
  int quit_count() const override { return quits_; }
  int outside_references() const override {
    return static_cast<int>(references() + events_->references()) - 2;
  }
  HRESULT location(std::wstring& url) override;
  HRESULT navigate(const std::wstring& url) override;
  HRESULT before_navigate2(const std::wstring& url, FireResult& result) override;
  HRESULT new_window2(FireResult& result) override;
  HRESULT toolbar(int& value) override;
  void close() override;
  // The real browser's own object, for a collection that hands it out unwrapped.
  IWebBrowser2* browser() const { return target_.Get(); }

 protected:
  void* find_interface(REFIID riid) override;

 private:
  int quits_ = 0;
  ComPtr<ForwardingConnectionPoint> events_;
};

}  // namespace standin
