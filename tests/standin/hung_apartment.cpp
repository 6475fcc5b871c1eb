#include "hung_apartment.h"

#include <future>

namespace standin {

struct HungApartments::Apartment {
  std::thread thread;
  DWORD thread_id = 0;
};

HungApartments::HungApartments() : stop_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}

HungApartments::~HungApartments() {
  SetEvent(stop_);
  for (auto& apartment : apartments_) {
    PostThreadMessageW(apartment->thread_id, WM_QUIT, 0, 0);
    apartment->thread.join();
  }
  CloseHandle(stop_);
}

HRESULT HungApartments::create(const std::wstring& url, DWORD hang_ms, ComPtr<IDispatch>& window,
                               WindowControl*& control) {
  struct Handover {
    HRESULT result = E_FAIL;
    IStream* stream = nullptr;
    WindowControl* control = nullptr;
    DWORD thread_id = 0;
  };
  std::promise<Handover> handed;
  auto ready = handed.get_future();
  auto apartment = std::make_unique<Apartment>();
  const HANDLE stop = stop_;
  apartment->thread = std::thread([&handed, url, hang_ms, stop] {
    Handover handover;
    handover.thread_id = GetCurrentThreadId();
    MSG message;
    PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE);  // the thread's queue, for WM_QUIT
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    {
      auto fake = make_com<FakeWindow>(url, 1, true);
      fake->hang_reads(hang_ms, stop);
      handover.control = fake.Get();
      handover.result = CoMarshalInterThreadInterfaceInStream(
          IID_IDispatch, static_cast<IWebBrowser2*>(fake.Get()), &handover.stream);
      handed.set_value(handover);
      while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
    }
    CoUninitialize();
  });
  const Handover handover = ready.get();
  apartment->thread_id = handover.thread_id;
  apartments_.push_back(std::move(apartment));
  if (FAILED(handover.result)) return handover.result;
  control = handover.control;
  return CoGetInterfaceAndReleaseStream(handover.stream, IID_PPV_ARGS(&window));
}

}  // namespace standin
