#include "ui/window.h"

#include "platform/error.h"
#include "ui/messages_box.h"

namespace nimbrel {

Window::~Window() { destroy(); }

void Window::destroy() {
    if (hwnd_) {
        HWND hwnd = hwnd_;
        DestroyWindow(hwnd);  // WM_NCDESTROY clears hwnd_
        hwnd_ = nullptr;
    }
}

void Window::registerClass(const wchar_t* className, HICON icon, HBRUSH background, HCURSOR cursor,
                           HICON smallIcon) {
    WNDCLASSEXW existing{sizeof(existing)};
    if (GetClassInfoExW(GetModuleHandleW(nullptr), className, &existing)) return;
    WNDCLASSEXW wc{sizeof(wc)};
    wc.lpfnWndProc = trampoline;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hIcon = icon;
    wc.hIconSm = smallIcon ? smallIcon : icon;
    wc.hCursor = cursor ? cursor : LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = background;
    wc.lpszClassName = className;
    RegisterClassExW(&wc);
}

HWND Window::createWindow(DWORD exStyle, const wchar_t* className, const wchar_t* caption, DWORD style, int x, int y,
                          int width, int height, HWND parent) {
    return CreateWindowExW(exStyle, className, caption, style, x, y, width, height, parent, nullptr,
                           GetModuleHandleW(nullptr), this);
}

HWND Window::createCentred(DWORD exStyle, const wchar_t* className, const wchar_t* caption, DWORD style,
                           int clientWidth, int clientHeight, HWND parent, HWND centreOn) {
    RECT outer{0, 0, clientWidth, clientHeight};
    AdjustWindowRectEx(&outer, style, FALSE, exStyle);
    RECT over{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    if (centreOn) GetWindowRect(centreOn, &over);
    const int width = outer.right - outer.left;
    const int height = outer.bottom - outer.top;
    return createWindow(exStyle, className, caption, style, (over.left + over.right - width) / 2,
                        (over.top + over.bottom - height) / 2, width, height, parent);
}

LRESULT Window::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(hwnd_, message, wParam, lParam);
}

LRESULT CALLBACK Window::trampoline(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self) return DefWindowProcW(hwnd, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        self->hwnd_ = nullptr;
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    try {
        return self->handleMessage(message, wParam, lParam);
    } catch (const Error& error) {
        showErrorReport(hwnd, error.text());
    } catch (const std::exception&) {
        showErrorReport(hwnd, L"Unexpected error");
    }
    return 0;
}

void Window::runModalLoop() {
    MSG message;
    while (modal_) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got <= 0) {
            PostQuitMessage(static_cast<int>(message.wParam));  // the outer loop must end too
            break;
        }
        if (IsDialogMessageW(hwnd_, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

}  // namespace nimbrel
