#include "ui/about_form.h"

#include "app/registry.h"
#include "ui/captions.h"
#include "ui/control_ids.h"
#include "ui/picture_ids.h"
#include "ui/web_link.h"

#include <commctrl.h>

#include <cstdint>
#include <vector>

namespace nimbrel {
namespace {

constexpr int kClientWidth = 359;
constexpr int kClientHeight = 184;
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
constexpr Box kPictureBox{16, 12, 48, 48};

constexpr const wchar_t* kBrowserKey = L"SOFTWARE\\Microsoft\\Internet Explorer";
constexpr const wchar_t* kBrowserVersionValue = L"Version";
constexpr const wchar_t* kRightsNotice = L"版权所有 (C) 2026 Nimbrel 开发组.";
constexpr const wchar_t* kMakerHomePage = L"http://www.nimbrel.com/";

struct Label {
    int id;
    Box box;
    const wchar_t* text;
};

constexpr Label kLabels[] = {
    {ids::about::Label7, {88, 40, 177, 13}, L"（英文名：Nimbrel）"},
    {ids::about::Label1, {16, 64, 161, 13}, L"软件版本: 1.50"},
    {ids::about::Label4, {16, 79, 275, 13}, kDesignBrowserLine},
    {ids::about::Label3, {16, 95, 281, 13}, kRightsNotice},
};

// The picture's pixels, top row first, with the key colour (that of its bottom-left
// pixel) replaced by the window's background: the picture is drawn transparent.
std::vector<std::uint32_t> pixelsOnBackground(HBITMAP picture, int width, int height) {
    std::vector<std::uint32_t> pixels(static_cast<size_t>(width) * static_cast<size_t>(height));
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB};
    HDC screen = GetDC(nullptr);
    const int rows = GetDIBits(screen, picture, 0, static_cast<UINT>(height), pixels.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    if (rows != height) return {};
    const std::uint32_t key = pixels[static_cast<size_t>(height - 1) * static_cast<size_t>(width)] & 0xFFFFFF;
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    const std::uint32_t background = (GetRValue(face) << 16) | (GetGValue(face) << 8) | GetBValue(face);
    for (std::uint32_t& pixel : pixels)
        if ((pixel & 0xFFFFFF) == key) pixel = background;
    return pixels;
}

bool isPlainAscii(const wchar_t* text) {
    for (; *text; ++text)
        if (*text > 0x7F) return false;
    return true;
}

}  // namespace

std::wstring readMachineStringReadOnly(const wchar_t* keyPath, const wchar_t* valueName) {
    RegKey key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, keyPath, 0, KEY_READ, key.put()) != ERROR_SUCCESS) {
        key.release();  // nothing was opened
        return {};
    }
    return readString(key.get(), valueName);
}

TAboutForm::TAboutForm() {
    registerClass(kClassName, nullptr, GetSysColorBrush(COLOR_BTNFACE));
}

TAboutForm::~TAboutForm() { destroy(); }

void TAboutForm::create(HWND owner) {
    owner_ = owner;
    createCentred(kExStyle, kClassName, L"About Nimbrel", kStyle, scale_(kClientWidth), scale_(kClientHeight), owner);
}

// Controls first, so that the design-time browser line stays when the version read fails.
void TAboutForm::FormCreate() {
    createControls();
    FlatLook1.Font = createSongFont(scale_, 12);
    FlatLook1.attach(hwnd(), {});
    FlatLook1.setActive(true);
    if (readMachineStringReadOnly(kBrowserKey, kBrowserVersionValue).empty()) return;
    const std::wstring line = L"Internet Explorer: " + readMachineStringReadOnly(kBrowserKey, kBrowserVersionValue);
    SetDlgItemTextW(hwnd(), ids::about::Label4, line.c_str());
}

void TAboutForm::createControls() {
    font_ = createFont(scale_, L"MS Sans Serif", 11, DEFAULT_CHARSET);
    // MS Sans Serif has no Chinese: a Chinese system draws those captions in 宋体, whose
    // smallest drawn size is 12 pixels.
    chineseFont_ = createSongFont(scale_, 12);
    titleFont_ = createFont(scale_, L"MS Sans Serif", 16, DEFAULT_CHARSET, true);
    linkFont_ = createFont(scale_, L"MS Sans Serif", 11, DEFAULT_CHARSET, false, true);
    picture_.reset(static_cast<HBITMAP>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(NIMBREL_BITMAP_ABOUT),
                                                   IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    createControl(hwnd(), WC_STATICW, L"Quellix", SS_LEFT, {94, 13, 131, 20}, ids::about::Label2, titleFont_.get(),
                  scale_);
    for (const Label& label : kLabels)
        createControl(hwnd(), WC_STATICW, label.text, SS_LEFT, label.box, label.id,
                      isPlainAscii(label.text) ? font_.get() : chineseFont_.get(), scale_);
    createControl(hwnd(), WC_STATICW, kHomePageLabel, SS_LEFT | SS_NOTIFY, {16, 113, 76, 13}, ids::about::Label5,
                  linkFont_.get(), scale_);
    Panel1_.create(hwnd(), {8, 144, 337, 2}, scale_, Panel::Bevel::lowered, GetSysColor(COLOR_BTNFACE),
                   ids::about::Panel1);
    createControl(hwnd(), WC_BUTTONW, L"OK", BS_PUSHBUTTON | WS_TABSTOP, {266, 153, 75, 25}, ids::about::Button1,
                  font_.get(), scale_);
}

void TAboutForm::paintPicture(HDC dc) const {
    BITMAP info{};
    if (!picture_ || !GetObjectW(picture_.get(), sizeof(info), &info)) return;
    const std::vector<std::uint32_t> pixels = pixelsOnBackground(picture_.get(), info.bmWidth, info.bmHeight);
    if (pixels.empty()) return;
    BITMAPINFO header{};
    header.bmiHeader = {sizeof(BITMAPINFOHEADER), info.bmWidth, -info.bmHeight, 1, 32, BI_RGB};
    SetStretchBltMode(dc, HALFTONE);
    StretchDIBits(dc, scale_(kPictureBox.left), scale_(kPictureBox.top), scale_(kPictureBox.width),
                  scale_(kPictureBox.height), 0, 0, info.bmWidth, info.bmHeight, pixels.data(), &header,
                  DIB_RGB_COLORS, SRCCOPY);
}

void TAboutForm::ShowModal() {
    if (!hwnd() || modal_) return;
    modal_ = true;
    if (owner_) EnableWindow(owner_, FALSE);
    ShowWindow(hwnd(), SW_SHOW);
    SetForegroundWindow(hwnd());
    SetFocus(GetDlgItem(hwnd(), ids::about::Button1));
    runModalLoop();
    modal_ = false;
    if (owner_) EnableWindow(owner_, TRUE);  // before hiding, so that the owner gets the activation back
    if (hwnd()) ShowWindow(hwnd(), SW_HIDE);
    if (owner_ && IsWindowVisible(owner_)) SetForegroundWindow(owner_);
}

void TAboutForm::Button1Click() {
    modal_ = false;
    PostMessageW(hwnd(), WM_NULL, 0, 0);  // wakes the modal loop
}

void TAboutForm::Label5Click() { openWebLink(kMakerHomePage); }

bool TAboutForm::handleCommand(int id, int notification) {
    if (id == ids::about::Button1 && notification == BN_CLICKED) {
        Button1Click();
        return true;
    }
    if (id == ids::about::Label5 && notification == STN_CLICKED) {
        Label5Click();
        return true;
    }
    return id == IDCANCEL;  // no cancel button: Esc does not close the window
}

LRESULT TAboutForm::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (const std::optional<LRESULT> flat = FlatLook1.route(message, wParam, lParam)) return *flat;
    switch (message) {
    case WM_CREATE: FormCreate(); return 0;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd(), &ps);
        paintPicture(dc);
        EndPaint(hwnd(), &ps);
        return 0;
    }
    case WM_COMMAND:
        if (handleCommand(LOWORD(wParam), HIWORD(wParam))) return 0;
        break;
    case WM_CTLCOLORSTATIC:
        if (reinterpret_cast<HWND>(lParam) == GetDlgItem(hwnd(), ids::about::Label5)) {
            HDC dc = reinterpret_cast<HDC>(wParam);
            SetTextColor(dc, RGB(0, 0, 255));
            SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
            return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
        }
        break;
    case WM_SETCURSOR:
        if (reinterpret_cast<HWND>(wParam) == GetDlgItem(hwnd(), ids::about::Label5)) {
            SetCursor(LoadCursorW(nullptr, IDC_HAND));
            return TRUE;
        }
        break;
    case WM_CLOSE: Button1Click(); return 0;
    default: break;
    }
    return Window::handleMessage(message, wParam, lParam);
}

}  // namespace nimbrel
