#include "ui/navigation_strip.h"

#include "ui/control_ids.h"
#include "ui/picture_ids.h"

#include <windowsx.h>

#include <algorithm>
#include <utility>

namespace nimbrel {
namespace {

constexpr const wchar_t* kPictureClass = L"TImage";
constexpr Box kStripBox{8, 10, 113, 305};
constexpr int kPictureSize = 56;

struct Button {
    int left, top;
    int captionLeft, captionTop;
    const wchar_t* caption;
    int bitmap;
};

constexpr Button kDesign[NavigationStrip::kButtons] = {
    {30, 5, 42, 58, L"选 项", NIMBREL_BITMAP_NAV_OPTIONS},
    {30, 80, 42, 135, L"例 外", NIMBREL_BITMAP_NAV_EXCEPTIONS},
    {30, 156, 42, 209, L"日 志", NIMBREL_BITMAP_NAV_LOG},
    {31, 230, 42, 285, L"关 于", NIMBREL_BITMAP_NAV_ABOUT},
};

constexpr COLORREF kCurrentColour = RGB(255, 0, 0);
constexpr COLORREF kHoverColour = RGB(0, 0, 255);

COLORREF captionColour(NavigationStrip::Look look) {
    switch (look) {
    case NavigationStrip::Look::current: return kCurrentColour;
    case NavigationStrip::Look::hover: return kHoverColour;
    case NavigationStrip::Look::normal: break;
    }
    return GetSysColor(COLOR_WINDOWTEXT);
}

// Labels grow to their text as drawn (the underline included), never below the design size,
// so that a font with a taller cell than 宋体's own is not cut off.
void fitToText(HWND label, HFONT font, const Scaler& scale, const Box& design) {
    wchar_t text[16] = {};
    const int length = GetWindowTextW(label, text, 16);
    HDC dc = GetDC(label);
    HGDIOBJ old = SelectObject(dc, font);
    SIZE size{};
    GetTextExtentPoint32W(dc, text, length, &size);
    SelectObject(dc, old);
    ReleaseDC(label, dc);
    SetWindowPos(label, nullptr, 0, 0, std::max<int>(scale(design.width), size.cx),
                 std::max<int>(scale(design.height), size.cy), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

void PictureButton::create(HWND parent, const Box& box, const Scaler& scale, int id, int bitmapResource) {
    registerClass(kPictureClass, nullptr, nullptr, LoadCursorW(nullptr, IDC_HAND));
    bitmap_.reset(static_cast<HBITMAP>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(bitmapResource), IMAGE_BITMAP, 0, 0, 0)));
    createWindow(0, kPictureClass, L"", WS_CHILD | WS_VISIBLE, scale(box.left), scale(box.top), scale(box.width),
                 scale(box.height), parent);
    SetWindowLongPtrW(hwnd(), GWLP_ID, id);
}

// The picture fills the button, stretched when the system's DPI is above 96.
void PictureButton::paint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd(), &ps);
    RECT rect;
    GetClientRect(hwnd(), &rect);
    BITMAP info{};
    if (bitmap_ && GetObjectW(bitmap_.get(), sizeof(info), &info)) {
        HDC source = CreateCompatibleDC(dc);
        HGDIOBJ old = SelectObject(source, bitmap_.get());
        SetStretchBltMode(dc, HALFTONE);
        StretchBlt(dc, 0, 0, rect.right, rect.bottom, source, 0, 0, info.bmWidth, info.bmHeight, SRCCOPY);
        SelectObject(source, old);
        DeleteDC(source);
    } else {
        FillRect(dc, &rect, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    }
    EndPaint(hwnd(), &ps);
}

void PictureButton::buttonUp(LPARAM position) {
    const bool wasPressed = std::exchange(pressed_, false);
    if (GetCapture() == hwnd()) ReleaseCapture();  // before the click, which may open a modal window
    RECT rect;
    GetClientRect(hwnd(), &rect);
    const POINT at{GET_X_LPARAM(position), GET_Y_LPARAM(position)};
    if (wasPressed && PtInRect(&rect, at) && onClick) onClick();
}

LRESULT PictureButton::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT: paint(); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_MOUSEMOVE:
        if (onMouseMove) onMouseMove();
        return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        pressed_ = true;
        SetCapture(hwnd());
        return 0;
    case WM_LBUTTONUP: buttonUp(lParam); return 0;
    case WM_CAPTURECHANGED: pressed_ = false; return 0;
    default: break;
    }
    return Window::handleMessage(message, wParam, lParam);
}

void NavigationStrip::create(HWND parent, const Scaler& scale, Handlers handlers) {
    handlers_ = std::move(handlers);
    Panel::create(parent, kStripBox, scale, Bevel::loweredDouble, RGB(255, 255, 255), ids::ImagePanel);
    white_.reset(CreateSolidBrush(RGB(255, 255, 255)));
    boldFont_ = createSongFont(scale, 12, true);
    underlinedFont_ = createSongFont(scale, 12, true, true);
    for (int i = 0; i < kButtons; ++i) {
        const Button& button = kDesign[i];
        const int number = i + 1;
        PictureButton& picture = pictures_[static_cast<size_t>(i)];
        picture.create(hwnd(), {button.left, button.top, kPictureSize, kPictureSize}, scale,
                       ids::kNavigationPictures[i], button.bitmap);
        picture.onMouseMove = [this, number] {
            if (handlers_.pictureMouseMove) handlers_.pictureMouseMove(number);
        };
        picture.onClick = [this, number] {
            if (handlers_.pictureClick) handlers_.pictureClick(number);
        };
        // SS_NOTIFY makes the labels take the mouse themselves, so moving over a caption
        // is not a move over the strip's background.
        const Box box{button.captionLeft, button.captionTop, 33, 12};
        HWND label = createControl(hwnd(), L"STATIC", button.caption, SS_LEFT | SS_NOTIFY, box,
                                   ids::kNavigationCaptions[i], boldFont_.get(), scale);
        fitToText(label, underlinedFont_.get(), scale, box);
        labels_[static_cast<size_t>(i)] = label;
    }
}

void NavigationStrip::setLook(int number, Look look) {
    const auto index = static_cast<size_t>(number - 1);
    if (index >= looks_.size() || looks_[index] == look) return;
    looks_[index] = look;
    HFONT font = look == Look::normal ? boldFont_.get() : underlinedFont_.get();
    SendMessageW(labels_[index], WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    InvalidateRect(labels_[index], nullptr, TRUE);
}

int NavigationStrip::captionNumber(HWND label) const {
    for (size_t i = 0; i < labels_.size(); ++i)
        if (labels_[i] == label) return static_cast<int>(i) + 1;
    return 0;
}

LRESULT NavigationStrip::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CTLCOLORSTATIC: {
        const int number = captionNumber(reinterpret_cast<HWND>(lParam));
        if (number == 0) break;
        HDC dc = reinterpret_cast<HDC>(wParam);
        SetTextColor(dc, captionColour(look(number)));
        SetBkColor(dc, RGB(255, 255, 255));
        return reinterpret_cast<LRESULT>(white_.get());
    }
    case WM_MOUSEMOVE:
        if (handlers_.backgroundMouseMove) handlers_.backgroundMouseMove();
        return 0;
    default: break;
    }
    return Panel::handleMessage(message, wParam, lParam);
}

}  // namespace nimbrel
