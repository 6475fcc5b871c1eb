#include "platform/window_text.h"

#include <algorithm>
#include <climits>

namespace nimbrel {

std::wstring windowText(HWND window) {
    const int length = GetWindowTextLengthW(window);
    if (length <= 0) return {};
    const int buffer = length < INT_MAX ? length + 1 : INT_MAX;
    std::wstring text(static_cast<size_t>(buffer), L'\0');
    text.resize(static_cast<size_t>(std::max(0, GetWindowTextW(window, text.data(), buffer))));
    return text;
}

}  // namespace nimbrel
