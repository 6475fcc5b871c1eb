#include "support/com_helpers.h"

#include "standin/com_values.h"

#include <stdexcept>

namespace e2e {

namespace {
void check(HRESULT hr, const char* what) {
  if (FAILED(hr))
    throw std::runtime_error(std::string(what) + " failed, " + std::to_string(static_cast<long>(hr)));
}
}  // namespace

ComPtr<IShellWindows> create_shell_windows() {
  ComPtr<IShellWindows> windows;
  check(CoCreateInstance(CLSID_ShellWindows, nullptr, CLSCTX_ALL, IID_PPV_ARGS(&windows)),
        "creating ShellWindows");
  return windows;
}

long window_count(IShellWindows* windows) {
  long count = -1;
  check(windows->get_Count(&count), "Count");
  return count;
}

ComPtr<IDispatch> item(IShellWindows* windows, long index) {
  standin::Variant position = standin::Variant::int32(index);
  ComPtr<IDispatch> window;
  check(windows->Item(*position.get(), &window), "Item");
  return window;
}

ComPtr<IUnknown> identity(IUnknown* object) {
  ComPtr<IUnknown> unknown;
  if (object) object->QueryInterface(IID_PPV_ARGS(&unknown));
  return unknown;
}

std::wstring location_url(IWebBrowser2* browser) {
  standin::Bstr url;
  check(browser->get_LocationURL(url.out()), "LocationURL");
  return url.text();
}

Subscription::Subscription(IUnknown* source, REFIID events, IUnknown* sink) {
  ComPtr<IConnectionPointContainer> container;
  check(source->QueryInterface(IID_PPV_ARGS(&container)), "IConnectionPointContainer");
  check(container->FindConnectionPoint(events, &point_), "FindConnectionPoint");
  check(point_->Advise(sink, &cookie_), "Advise");
}

HRESULT Subscription::end() {
  if (!point_) return S_FALSE;
  const HRESULT hr = point_->Unadvise(cookie_);
  point_.Reset();
  return hr;
}

}  // namespace e2e
