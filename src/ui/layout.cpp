#include "ui/layout.h"

namespace nimbrel {

Scaler::Scaler() {
    HDC screen = GetDC(nullptr);
    dpi_ = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
    if (screen) ReleaseDC(nullptr, screen);
    if (dpi_ <= 0) dpi_ = 96;
}

FontHandle createFont(const Scaler& scale, const wchar_t* face, int pixels, BYTE charset, bool bold, bool underline) {
    return FontHandle(CreateFontW(-scale(pixels), 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, underline, FALSE,
                                  charset, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                  DEFAULT_PITCH | FF_DONTCARE, face));
}

FontHandle createSongFont(const Scaler& scale, int pixels, bool bold, bool underline) {
    return createFont(scale, L"宋体", pixels, GB2312_CHARSET, bold, underline);
}

HWND createControl(HWND parent, const wchar_t* className, const wchar_t* text, DWORD style, const Box& box, int id,
                   HFONT font, const Scaler& scale, DWORD exStyle) {
    HWND control = CreateWindowExW(exStyle, className, text, WS_CHILD | WS_VISIBLE | style, scale(box.left),
                                   scale(box.top), scale(box.width), scale(box.height), parent,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr),
                                   nullptr);
    if (control && font) SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return control;
}

}  // namespace nimbrel
