#include "ui/ad_server_import_box.h"

#include "filter/ad_server_import.h"
#include "platform/window_text.h"

#include <algorithm>
#include <utility>

namespace nimbrel {
namespace {

std::size_t lengthOf(HWND box) { return static_cast<std::size_t>(std::max(0, GetWindowTextLengthW(box))); }

// What the box may still take before its limit.
std::size_t roomIn(HWND box, std::size_t length) {
    const auto limit = static_cast<std::size_t>(SendMessageW(box, EM_GETLIMITTEXT, 0, 0));
    return limit > length ? limit - length : 0;
}

void replaceRange(HWND box, std::size_t from, std::size_t to, const std::wstring& text, bool undoable) {
    SendMessageW(box, EM_SETSEL, static_cast<WPARAM>(from), static_cast<LPARAM>(to));
    SendMessageW(box, EM_REPLACESEL, undoable, reinterpret_cast<LPARAM>(text.c_str()));
}

}  // namespace

AdServerImport importAdServerList(HWND box, const std::wstring& path) {
    const std::string bytes = readAdServerList(path);
    const std::size_t before = lengthOf(box);
    // Whole lines only, as many as the box has room for.
    AdServerImport result = receivedPart(planAdServerImport(windowText(box), bytes), roomIn(box, before));
    if (result.added == 0) return result;
    // One replacement at the end: a single change for whoever watches the box, and a
    // single step for its undo. The appended text is ASCII.
    const std::string& appended = result.appendedText;
    replaceRange(box, before, before, std::wstring(appended.begin(), appended.end()), true);
    const std::size_t after = lengthOf(box);
    const std::size_t took = after > before ? after - before : 0;
    if (took < appended.size()) {
        result = receivedPart(std::move(result), took);
        replaceRange(box, before + result.appendedText.size(), after, L"", false);
    }
    SendMessageW(box, EM_SCROLLCARET, 0, 0);
    return result;
}

}  // namespace nimbrel
