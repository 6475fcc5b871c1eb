#include "browser_windows.h"

#include "com_values.h"

#include <olectl.h>

namespace standin {

namespace {

bool is_browser_interface(REFIID riid) {
  return riid == IID_IDispatch || riid == IID_IWebBrowser || riid == IID_IWebBrowserApp ||
         riid == IID_IWebBrowser2;
}

}  // namespace

// ---- FakeWindow ----

FakeWindow::FakeWindow(std::wstring url, int toolbar, bool offers_events)
    : url_(std::move(url)),
      toolbar_(toolbar),
      offers_events_(offers_events),
      events_(make_com<SinkList>(DIID_DWebBrowserEvents2, this)) {}

FakeWindow::~FakeWindow() { events_->detach(); }

void* FakeWindow::find_interface(REFIID riid) {
  if (is_browser_interface(riid)) return static_cast<IWebBrowser2*>(this);
  if (riid == IID_IConnectionPointContainer && offers_events_)
    return static_cast<IConnectionPointContainer*>(this);
  return nullptr;
}

// The answer is the window's state when the call arrived, whatever armed actions do to it.
HRESULT FakeWindow::begin_read() {
  const bool closed = closes_on_quit_ && quits_;
  reads_.reached();
  hang();
  return closed ? RPC_E_DISCONNECTED : S_OK;
}

STDMETHODIMP FakeWindow::get_LocationURL(BSTR* url) {
  if (const HRESULT closed = begin_read(); FAILED(closed)) return closed;
  if (!url) return E_POINTER;
  *url = Bstr(url_).detach();
  return S_OK;
}

STDMETHODIMP FakeWindow::get_ToolBar(int* value) {
  if (const HRESULT closed = begin_read(); FAILED(closed)) return closed;
  if (!value) return E_POINTER;
  *value = toolbar_;
  return S_OK;
}

STDMETHODIMP FakeWindow::put_ToolBar(int value) {
  toolbar_ = value;
  return S_OK;
}

STDMETHODIMP FakeWindow::Quit() {
  if (closes_on_quit_ && quits_) return RPC_E_DISCONNECTED;
  ++quits_;
  return S_OK;
}

STDMETHODIMP FakeWindow::EnumConnectionPoints(IEnumConnectionPoints** points) {
  if (points) *points = nullptr;
  return E_NOTIMPL;
}

STDMETHODIMP FakeWindow::FindConnectionPoint(REFIID events, IConnectionPoint** point) {
  return find_single_connection_point(events_.Get(), DIID_DWebBrowserEvents2, events, point);
}

HRESULT FakeWindow::location(std::wstring& url) {
  url = url_;
  return S_OK;
}

HRESULT FakeWindow::navigate(const std::wstring&) { return E_NOTIMPL; }

HRESULT FakeWindow::before_navigate2(const std::wstring& url, FireResult& result) {
  result = fire_before_navigate2(events_->sinks(), static_cast<IWebBrowser2*>(this), url);
  return S_OK;
}

// A frame is a browser object of its own inside the window, and not in the collection.
HRESULT FakeWindow::frame_before_navigate2(const std::wstring& url, FireResult& result) {
  const auto frame = make_com<FakeWindow>(url, 1, false);
  result = fire_before_navigate2(events_->sinks(), static_cast<IWebBrowser2*>(frame.Get()), url);
  return S_OK;
}

HRESULT FakeWindow::new_window2(FireResult& result) {
  result = fire_new_window2(events_->sinks());
  return S_OK;
}

HRESULT FakeWindow::toolbar(int& value) {
  value = toolbar_;
  return S_OK;
}

// ---- RealWindow ----

HRESULT RealWindow::open(ComPtr<RealWindow>& window) {
  ComPtr<IWebBrowser2> browser;
  HRESULT hr = CoCreateInstance(CLSID_InternetExplorer, nullptr, CLSCTX_LOCAL_SERVER,
                                IID_PPV_ARGS(&browser));
  if (FAILED(hr)) return hr;
  if (FAILED(hr = browser->put_Visible(VARIANT_TRUE))) return hr;
  ComPtr<IConnectionPointContainer> container;
  ComPtr<IConnectionPoint> events;
  if (FAILED(hr = browser.As(&container)) ||
      FAILED(hr = container->FindConnectionPoint(DIID_DWebBrowserEvents2, &events)))
    return hr;
  window = make_com<RealWindow>(std::move(browser), std::move(events));
  return S_OK;
}

RealWindow::RealWindow(ComPtr<IWebBrowser2> browser, ComPtr<IConnectionPoint> browser_events)
    : ComObject(std::move(browser)),
      events_(make_com<ForwardingConnectionPoint>(DIID_DWebBrowserEvents2, this,
                                                  std::move(browser_events))) {}

RealWindow::~RealWindow() { events_->detach(); }

void* RealWindow::find_interface(REFIID riid) {
  if (is_browser_interface(riid)) return static_cast<IWebBrowser2*>(this);
  if (riid == IID_IConnectionPointContainer) return static_cast<IConnectionPointContainer*>(this);
  return nullptr;
}

STDMETHODIMP RealWindow::Quit() {
  ++quits_;
  return target_->Quit();
}

STDMETHODIMP RealWindow::EnumConnectionPoints(IEnumConnectionPoints** points) {
  if (points) *points = nullptr;
  return E_NOTIMPL;
}

STDMETHODIMP RealWindow::FindConnectionPoint(REFIID events, IConnectionPoint** point) {
  return find_single_connection_point(events_.Get(), DIID_DWebBrowserEvents2, events, point);
}

HRESULT RealWindow::location(std::wstring& url) {
  Bstr value;
  const HRESULT hr = target_->get_LocationURL(value.out());
  url = value.text();
  return hr;
}

HRESULT RealWindow::navigate(const std::wstring& url) {
  Bstr address(url);
  Variant flags, frame, post_data, headers;
  return target_->Navigate(address.get(), flags.get(), frame.get(), post_data.get(),
                           headers.get());
}

HRESULT RealWindow::before_navigate2(const std::wstring&, FireResult&) { return E_NOTIMPL; }

HRESULT RealWindow::new_window2(FireResult&) { return E_NOTIMPL; }

HRESULT RealWindow::toolbar(int& value) {
  value = 0;
  return target_->get_ToolBar(&value);
}

// Wine's browser does not implement Quit: close its frame window instead.
void RealWindow::close() {
  if (SUCCEEDED(target_->Quit())) return;
  SHANDLE_PTR frame = 0;
  if (SUCCEEDED(target_->get_HWND(&frame)) && frame)
    PostMessageW(reinterpret_cast<HWND>(frame), WM_CLOSE, 0, 0);
}

}  // namespace standin
