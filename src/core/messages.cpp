#include "core/messages.h"

namespace nimbrel {

std::wstring formatMessage(std::wstring_view pattern, std::initializer_list<std::wstring_view> args) {
    std::wstring out;
    auto next = args.begin();
    for (size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == L'%' && i + 1 < pattern.size() && pattern[i + 1] == L's' && next != args.end()) {
            out += *next++;
            ++i;
        } else {
            out += pattern[i];
        }
    }
    return out;
}

std::wstring withFullStop(std::wstring_view text) {
    std::wstring out(text);
    if (!out.empty() && out.back() > L'.') out += L'.';
    return out;
}

}  // namespace nimbrel
