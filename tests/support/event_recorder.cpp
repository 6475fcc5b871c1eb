#include "support/event_recorder.h"

#include <exdisp.h>

namespace e2e {

namespace {

constexpr DISPID kBeforeNavigate2 = 250;
constexpr DISPID kNavigateError = 271;

// The address argument at position (counted from the last argument), passed by reference.
std::wstring address_at(const DISPPARAMS& params, UINT position) {
  if (position >= params.cArgs) return L"";
  const VARIANT& argument = params.rgvarg[position];
  const VARIANT* value = V_VT(&argument) == (VT_BYREF | VT_VARIANT) ? V_VARIANTREF(&argument)
                                                                      : &argument;
  if (!value || V_VT(value) != VT_BSTR || !V_BSTR(value)) return L"";
  return std::wstring(V_BSTR(value), SysStringLen(V_BSTR(value)));
}

// Cancel is always the last argument, first in the array.
void write_cancel(DISPPARAMS& params) {
  if (params.cArgs == 0) return;
  VARIANT& cancel = params.rgvarg[0];
  if (V_VT(&cancel) == (VT_BYREF | VT_BOOL) && V_BOOLREF(&cancel))
    *V_BOOLREF(&cancel) = VARIANT_TRUE;
}

}  // namespace

void* EventRecorder::find_interface(REFIID riid) {
  if (riid == IID_IDispatch || riid == DIID_DWebBrowserEvents2 || riid == DIID_DShellWindowsEvents)
    return static_cast<IDispatch*>(this);
  return nullptr;
}

void EventRecorder::cancel_addresses_with(const std::wstring& text) {
  std::lock_guard lock(mutex_);
  cancelling_ = true;
  cancel_text_ = text;
}

void EventRecorder::cancel_nothing() {
  std::lock_guard lock(mutex_);
  cancelling_ = false;
}

std::vector<RecordedEvent> EventRecorder::events() const {
  std::lock_guard lock(mutex_);
  return events_;
}

std::vector<RecordedEvent> EventRecorder::events(DISPID id) const {
  std::vector<RecordedEvent> matching;
  for (RecordedEvent& event : events())
    if (event.id == id) matching.push_back(std::move(event));
  return matching;
}

STDMETHODIMP EventRecorder::GetTypeInfoCount(UINT* count) {
  if (count) *count = 0;
  return S_OK;
}

STDMETHODIMP EventRecorder::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
  if (info) *info = nullptr;
  return E_NOTIMPL;
}

STDMETHODIMP EventRecorder::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) {
  return E_NOTIMPL;
}

STDMETHODIMP EventRecorder::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params,
                                   VARIANT*, EXCEPINFO*, UINT*) {
  if (!params) return E_INVALIDARG;
  RecordedEvent event;
  event.id = id;
  event.flags = flags;
  for (UINT i = 0; i < params->cArgs; ++i) event.types.push_back(V_VT(&params->rgvarg[i]));
  if (id == kBeforeNavigate2 && params->cArgs > 0) {
    event.url = address_at(*params, 5);
    const VARIANT& cancel = params->rgvarg[0];
    event.cancelled = V_VT(&cancel) == (VT_BYREF | VT_BOOL) && *V_BOOLREF(&cancel) == VARIANT_TRUE;
    const VARIANT& window = params->rgvarg[params->cArgs - 1];
    if (V_VT(&window) == VT_DISPATCH && V_DISPATCH(&window))
      V_DISPATCH(&window)->QueryInterface(IID_PPV_ARGS(&event.window));
  } else if (id == kNavigateError) {
    event.url = address_at(*params, 3);
  }

  std::lock_guard lock(mutex_);
  if (cancelling_ && event.url.find(cancel_text_) != std::wstring::npos) write_cancel(*params);
  events_.push_back(std::move(event));
  return S_OK;
}

}  // namespace e2e
