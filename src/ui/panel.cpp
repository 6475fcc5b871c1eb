#include "ui/panel.h"

namespace nimbrel {
namespace {
constexpr const wchar_t* kPanelClass = L"TPanel";
}

void Panel::create(HWND parent, const Box& box, const Scaler& scale, Bevel bevel, COLORREF background, int id) {
    registerClass(kPanelClass, nullptr, nullptr);
    bevel_ = bevel;
    color_ = background;
    background_.reset(CreateSolidBrush(background));
    createWindow(WS_EX_CONTROLPARENT, kPanelClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, scale(box.left),
                 scale(box.top), scale(box.width), scale(box.height), parent);
    SetWindowLongPtrW(hwnd(), GWLP_ID, id);
}

const Panel* Panel::fromWindow(HWND window) {
    wchar_t name[16] = {};
    GetClassNameW(window, name, 16);
    if (wcscmp(name, kPanelClass) != 0) return nullptr;
    return dynamic_cast<const Panel*>(reinterpret_cast<const Window*>(GetWindowLongPtrW(window, GWLP_USERDATA)));
}

void Panel::bringToFront() {
    SetWindowPos(hwnd(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
}

void Panel::paint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd(), &ps);
    RECT rect;
    GetClientRect(hwnd(), &rect);
    FillRect(dc, &rect, background_.get());
    switch (bevel_) {
    case Bevel::raised: DrawEdge(dc, &rect, BDR_RAISEDINNER, BF_RECT); break;
    case Bevel::lowered: DrawEdge(dc, &rect, BDR_SUNKENOUTER, BF_RECT); break;
    case Bevel::loweredDouble: DrawEdge(dc, &rect, EDGE_SUNKEN, BF_RECT); break;
    case Bevel::none: break;
    }
    EndPaint(hwnd(), &ps);
}

LRESULT Panel::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT: paint(); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_CONTEXTMENU:  // with the control that asked, which DefWindowProc would replace by the panel
    case WM_DRAWITEM:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
        return SendMessageW(GetAncestor(hwnd(), GA_ROOT), message, wParam, lParam);
    default: break;
    }
    return Window::handleMessage(message, wParam, lParam);
}

}  // namespace nimbrel
