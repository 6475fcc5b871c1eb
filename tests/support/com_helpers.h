// Client-side COM steps that tests of the stand-in repeat.
#pragma once

#include "standin/com_object.h"

#include <exdisp.h>
#include <ocidl.h>

#include <string>

namespace e2e {

using standin::ComPtr;

// The collection, created as the program creates it (TreatAs leads to the stand-in).
ComPtr<IShellWindows> create_shell_windows();
long window_count(IShellWindows* windows);
// Item(index) as a 32-bit integer; null when it yields no window.
ComPtr<IDispatch> item(IShellWindows* windows, long index);
ComPtr<IUnknown> identity(IUnknown* object);
std::wstring location_url(IWebBrowser2* browser);

// A subscription that ends when destroyed.
class Subscription {
 public:
  Subscription(IUnknown* source, REFIID events, IUnknown* sink);
  Subscription(const Subscription&) = delete;
  Subscription& operator=(const Subscription&) = delete;
  ~Subscription() { end(); }
  HRESULT end();

 private:
  ComPtr<IConnectionPoint> point_;
  DWORD cookie_ = 0;
};

}  // namespace e2e
