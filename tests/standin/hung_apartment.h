// Windows that stand for a hung browser process: each lives on a thread of its own (its
// own apartment), where its address and tool-bar reads block, so that the rest of the
// stand-in keeps answering while they do.
#pragma once

#include "browser_windows.h"

#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace standin {

class HungApartments {
 public:
  HungApartments();
  HungApartments(const HungApartments&) = delete;
  HungApartments& operator=(const HungApartments&) = delete;
  // Cuts every blocked read short and ends the threads.
  ~HungApartments();

  // A fake window (tool bar 1) on a new thread whose LocationURL and ToolBar reads block
  // for `hang_ms`. Returns the window for the collection (a proxy into its apartment) and
  // its control, or an error.
  HRESULT create(const std::wstring& url, DWORD hang_ms, ComPtr<IDispatch>& window, WindowControl*& control);

 private:
  struct Apartment;
  std::vector<std::unique_ptr<Apartment>> apartments_;
  HANDLE stop_;  // set when the stand-in ends: blocked reads return at once
};

}  // namespace standin
