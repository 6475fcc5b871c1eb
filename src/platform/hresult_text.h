#pragma once

#include <windows.h>

#include <string>

namespace nimbrel {

// The system's text for a failure code, or its number when the system has none.
std::wstring hresultText(HRESULT result);

}  // namespace nimbrel
