#include "platform/hresult_text.h"

#include "platform/error.h"

#include <cwchar>

namespace nimbrel {

std::wstring hresultText(HRESULT result) {
    wchar_t buffer[512] = {};
    const DWORD length = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                        static_cast<DWORD>(result), 0, buffer, 512, nullptr);
    std::wstring text(buffer, length);
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' ')) text.pop_back();
    if (!text.empty()) return text;
    wchar_t number[32];
    std::swprintf(number, 32, L"OLE error %08X", static_cast<unsigned>(result));
    return number;
}

CallError::CallError(HRESULT result) : Error(hresultText(result)), result_(result) {}

void throwIfFailed(HRESULT result) {
    if (FAILED(result)) throw CallError(result);
}

}  // namespace nimbrel
