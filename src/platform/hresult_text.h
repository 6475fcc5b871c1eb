#pragma once

#include "platform/error.h"

#include <windows.h>

#include <string>

namespace nimbrel {

// The system's text for a failure code, or its number when the system has none.
std::wstring hresultText(HRESULT result);

// The program's error for a failed call, keeping the failure code for callers that tell
// a window that did not answer from one that answered with a failure.
class CallError : public Error {
public:
    explicit CallError(HRESULT result);
    HRESULT result() const { return result_; }

private:
    HRESULT result_;
};

// Turns a failure code into the program's error, with the system's text.
void throwIfFailed(HRESULT result);

}  // namespace nimbrel
