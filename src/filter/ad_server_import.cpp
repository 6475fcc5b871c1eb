#include "filter/ad_server_import.h"

#include "core/messages.h"
#include "filter/list_files.h"
#include "platform/ansi.h"
#include "platform/error.h"
#include "platform/window_text.h"

namespace nimbrel {

AdServerImport importAdServerList(HWND listBox, const std::wstring& path) {
    const auto bytes = readFileBytes(path);
    if (!bytes) throw Error(formatMessage(L"Cannot open file %s", {path}));
    AdServerImport result = planAdServerImport(toAnsi(windowText(listBox)), *bytes);
    if (result.added == 0) return result;
    // One replacement at the end: a single change for whoever watches the box, and a
    // single step for its undo.
    const auto end = static_cast<WPARAM>(GetWindowTextLengthW(listBox));
    SendMessageW(listBox, EM_SETSEL, end, static_cast<LPARAM>(end));
    const std::wstring appended = fromAnsi(result.appendedText);
    SendMessageW(listBox, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(appended.c_str()));
    SendMessageW(listBox, EM_SCROLLCARET, 0, 0);
    return result;
}

}  // namespace nimbrel
