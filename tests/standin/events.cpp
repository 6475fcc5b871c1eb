#include "events.h"

#include "com_values.h"

#include <array>

namespace standin {

namespace {

// Every subscriber gets the same arguments in turn, so that a Cancel written by
// one is seen by the next, as the browser does it.
FireResult fire(const Sinks& sinks, DISPID event, VARIANT* args, UINT count) {
  DISPPARAMS params{args, nullptr, count, 0};
  FireResult result;
  for (const auto& sink : sinks) {
    const HRESULT hr = sink->Invoke(event, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params,
                                    nullptr, nullptr, nullptr);
    ++(SUCCEEDED(hr) ? result.called : result.failed);
  }
  return result;
}

VARIANT by_reference(VARIANT* value) {
  VARIANT reference;
  V_VT(&reference) = VT_BYREF | VT_VARIANT;
  V_VARIANTREF(&reference) = value;
  return reference;
}

VARIANT cancel_reference(VARIANT_BOOL* cancel) {
  VARIANT reference;
  V_VT(&reference) = VT_BYREF | VT_BOOL;
  V_BOOLREF(&reference) = cancel;
  return reference;
}

}  // namespace

FireResult fire_before_navigate2(const Sinks& sinks, IDispatch* window, const std::wstring& url) {
  Variant address = Variant::string(url), flags = Variant::int32(0),
          frame = Variant::string(L""), post_data, headers = Variant::string(L"");
  VARIANT_BOOL cancel = VARIANT_FALSE;
  // The array borrows everything it points at: it is never cleared.
  std::array<VARIANT, 7> args{};
  V_VT(&args[6]) = VT_DISPATCH;
  V_DISPATCH(&args[6]) = window;
  args[5] = by_reference(address.get());
  args[4] = by_reference(flags.get());
  args[3] = by_reference(frame.get());
  args[2] = by_reference(post_data.get());
  args[1] = by_reference(headers.get());
  args[0] = cancel_reference(&cancel);
  FireResult result = fire(sinks, kBeforeNavigate2, args.data(), args.size());
  result.cancel = cancel != VARIANT_FALSE;
  return result;
}

FireResult fire_new_window2(const Sinks& sinks) {
  ComPtr<IDispatch> new_window;
  VARIANT_BOOL cancel = VARIANT_FALSE;
  std::array<VARIANT, 2> args{};
  V_VT(&args[1]) = VT_BYREF | VT_DISPATCH;
  V_DISPATCHREF(&args[1]) = new_window.ReleaseAndGetAddressOf();
  args[0] = cancel_reference(&cancel);
  FireResult result = fire(sinks, kNewWindow2, args.data(), args.size());
  result.cancel = cancel != VARIANT_FALSE;
  return result;
}

FireResult fire_shell_event(const Sinks& sinks, DISPID event, LONG cookie) {
  Variant argument = Variant::int32(cookie);
  return fire(sinks, event, argument.get(), 1);
}

}  // namespace standin
