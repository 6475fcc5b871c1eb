#include "core/block_notice.h"

#include "core/host_set.h"

namespace nimbrel {

int NoticePacer::removed(std::uint64_t now) {
    ++held_;
    if (lastShown_ && now - *lastShown_ < kGapMs) return 0;
    return show(now);
}

std::optional<std::uint64_t> NoticePacer::due() const {
    if (held_ == 0) return std::nullopt;
    return lastShown_ ? *lastShown_ + kGapMs : 0;
}

int NoticePacer::release(std::uint64_t now) {
    const auto when = due();
    if (!when || now < *when) return 0;
    return show(now);
}

int NoticePacer::show(std::uint64_t now) {
    lastShown_ = now;
    return std::exchange(held_, 0);
}

std::wstring noticeText(std::wstring_view address, std::wstring_view reason, int removals, std::size_t limit) {
    // One narrow character per UTF-16 unit, so that the host's place is the same in both.
    std::string narrow;
    for (const wchar_t c : address) narrow += c < 0x80 ? static_cast<char>(c) : 'x';
    const auto host = hostOfAddress(narrow);
    std::wstring text(host ? address.substr(static_cast<std::size_t>(host->data() - narrow.data()), host->size())
                           : address);
    if (!reason.empty()) text += L"\n" + std::wstring(reason);
    const std::wstring count =
        removals > 1 ? L"\n另有 " + std::to_wstring(removals - 1) + L" 个网址也已阻止" : std::wstring();
    const std::size_t room = limit > count.size() ? limit - count.size() : 0;
    if (text.size() > room) text = text.substr(0, room > 0 ? room - 1 : 0) + (room > 0 ? L"…" : L"");
    return text + count;
}

}  // namespace nimbrel
