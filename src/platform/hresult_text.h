#pragma once

#include <windows.h>

#include <string>

namespace nimbrel {

// The system's text for a failure code, or its number when the system has none.
std::wstring hresultText(HRESULT result);

// Turns a failure code into the program's error, with the system's text.
void throwIfFailed(HRESULT result);

}  // namespace nimbrel
