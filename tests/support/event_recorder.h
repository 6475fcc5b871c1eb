// A subscriber for browser and shell events that records what it is called with,
// for tests that act as the program's side of the stand-in. Used in the
// multithreaded apartment: calls arrive on any thread.
#pragma once

#include "standin/com_object.h"

#include <oaidl.h>
#include <objbase.h>

#include <mutex>
#include <string>
#include <vector>

namespace e2e {

using standin::ComPtr;

struct RecordedEvent {
  DISPID id = 0;
  WORD flags = 0;
  std::vector<VARTYPE> types;   // of rgvarg, in array order (last argument first)
  std::wstring url;             // BeforeNavigate2 and NavigateError: the address
  ComPtr<IUnknown> window;      // BeforeNavigate2: identity of pDisp
  bool cancelled = false;       // BeforeNavigate2: Cancel as the listeners before this one left it
};

class EventRecorder final : public standin::ComObject<IDispatch> {
 public:
  // Events whose address contains this text are cancelled (an empty text cancels all).
  void cancel_addresses_with(const std::wstring& text);
  void cancel_nothing();
  std::vector<RecordedEvent> events() const;
  std::vector<RecordedEvent> events(DISPID id) const;

  STDMETHODIMP GetTypeInfoCount(UINT* count) override;
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo** info) override;
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override;
  STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT*,
                      EXCEPINFO*, UINT*) override;

 protected:
  void* find_interface(REFIID riid) override;

 private:
  mutable std::mutex mutex_;
  std::vector<RecordedEvent> events_;
  bool cancelling_ = false;
  std::wstring cancel_text_;
};

// The calling thread in the multithreaded apartment for the life of the object.
class MultithreadedApartment {
 public:
  MultithreadedApartment() : result_(CoInitializeEx(nullptr, COINIT_MULTITHREADED)) {}
  MultithreadedApartment(const MultithreadedApartment&) = delete;
  MultithreadedApartment& operator=(const MultithreadedApartment&) = delete;
  ~MultithreadedApartment() {
    if (SUCCEEDED(result_)) CoUninitialize();
  }
  HRESULT result() const { return result_; }

 private:
  HRESULT result_;
};

}  // namespace e2e
