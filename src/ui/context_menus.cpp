#include "ui/context_menus.h"

#include "platform/raii.h"

#include <commctrl.h>
#include <windowsx.h>

namespace nimbrel {
namespace {

// The edit commands are known by the message that carries them out.
constexpr int kSelectAll = EM_SETSEL;

LRESULT CALLBACK contextMenuForwarder(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                      DWORD_PTR) {
    if (message == WM_CONTEXTMENU) return SendMessageW(GetAncestor(window, GA_ROOT), message, wParam, lParam);
    if (message == WM_NCDESTROY) RemoveWindowSubclass(window, contextMenuForwarder, id);
    return DefSubclassProc(window, message, wParam, lParam);
}

}  // namespace

void forwardContextMenu(HWND control) { SetWindowSubclass(control, contextMenuForwarder, 0, 0); }

POINT contextMenuPoint(HWND control, LPARAM position) {
    const POINT at{GET_X_LPARAM(position), GET_Y_LPARAM(position)};
    if (at.x != -1 || at.y != -1) return at;
    POINT corner{0, 0};
    ClientToScreen(control, &corner);
    return corner;
}

int trackMenu(HWND owner, POINT at, std::span<const MenuEntry> entries) {
    const MenuHandle menu(CreatePopupMenu());
    for (const MenuEntry& entry : entries) {
        if (entry.id == 0)
            AppendMenuW(menu.get(), MF_SEPARATOR, 0, nullptr);
        else
            AppendMenuW(menu.get(), MF_STRING | (entry.enabled ? MF_ENABLED : MF_GRAYED),
                        static_cast<UINT_PTR>(entry.id), entry.caption);
    }
    return static_cast<int>(TrackPopupMenu(menu.get(), TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON |
                                                           TPM_RETURNCMD | TPM_NONOTIFY,
                                           at.x, at.y, 0, owner, nullptr));
}

std::vector<MenuEntry> editCommands(HWND edit) {
    DWORD start = 0, end = 0;
    SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    const auto length = static_cast<DWORD>(GetWindowTextLengthW(edit));
    const bool writable = (GetWindowLongPtrW(edit, GWL_STYLE) & ES_READONLY) == 0;
    const bool selection = start != end;
    return {
        {WM_UNDO, L"撤消(&U)", writable && SendMessageW(edit, EM_CANUNDO, 0, 0) != 0},
        {},
        {WM_CUT, L"剪切(&T)", writable && selection},
        {WM_COPY, L"复制(&C)", selection},
        {WM_PASTE, L"粘贴(&P)", writable && IsClipboardFormatAvailable(CF_UNICODETEXT)},
        {WM_CLEAR, L"删除(&D)", writable && selection},
        {},
        {kSelectAll, L"全选(&A)", length > 0 && !(start == 0 && end == length)},
    };
}

bool runEditCommand(HWND edit, int id) {
    switch (id) {
    case WM_UNDO:
    case WM_CUT:
    case WM_COPY:
    case WM_PASTE:
    case WM_CLEAR: SendMessageW(edit, static_cast<UINT>(id), 0, 0); return true;
    case kSelectAll: SendMessageW(edit, EM_SETSEL, 0, -1); return true;
    default: return false;
    }
}

}  // namespace nimbrel
