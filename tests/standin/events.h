// Firing browser and shell events at subscribers, with the arguments laid out as
// Windows lays them out (last argument first).
#pragma once

#include "com_object.h"

#include <oaidl.h>

#include <string>
#include <vector>

namespace standin {

constexpr DISPID kWindowRegistered = 200;
constexpr DISPID kWindowRevoked = 201;
constexpr DISPID kBeforeNavigate2 = 250;
constexpr DISPID kNewWindow2 = 251;

struct FireResult {
  int called = 0;       // subscribers whose Invoke succeeded
  int failed = 0;       // subscribers whose Invoke failed
  bool cancel = false;  // the by-reference Cancel after the last subscriber
};

using Sinks = std::vector<ComPtr<IDispatch>>;

FireResult fire_before_navigate2(const Sinks& sinks, IDispatch* window, const std::wstring& url);
FireResult fire_new_window2(const Sinks& sinks);
FireResult fire_shell_event(const Sinks& sinks, DISPID event, LONG cookie);

}  // namespace standin
