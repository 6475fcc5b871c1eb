// TFlatLook: gives one window the flat look. While Active it measures and draws the items
// of the window's pop-up menus, and hooks the window's buttons, check boxes, edit boxes,
// memos, combo boxes, panels and group boxes so that they are repainted flat after their
// own painting. It changes appearance only, never behaviour.
#pragma once

#include "core/flat_colours.h"
#include "platform/raii.h"

#include <windows.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace nimbrel {

class TFlatControlHook;

// A control (or a menu, through its menu data) with this tag keeps its own look; so do
// the controls inside a window that carries it.
inline constexpr const wchar_t* kTagProperty = L"Tag";
inline constexpr int kKeepOwnLook = 999;

enum FlatContainer : std::uint16_t {
    fccForm, fccFrame, fccToolbar, fccCoolbar, fccControlbar, fccPanel, fccScrollBox, fccGroupBox, fccTabSheet,
    fccPageScroller
};
enum FlatControl : std::uint16_t {
    fcMainMenu, fcPopupMenu, fcToolbar, fcControlbar, fcCombo, fcEdit, fcMaskEdit, fcMemo, fcRichEdit, fcCheckBox,
    fcRadioButton, fcButton, fcBitBtn, fcSpeedButton, fcPanel, fcGroupBox
};
constexpr std::uint16_t bit(unsigned element) { return static_cast<std::uint16_t>(1u << element); }

class TFlatLook {
public:
    TFlatLook();
    ~TFlatLook();
    TFlatLook(const TFlatLook&) = delete;
    TFlatLook& operator=(const TFlatLook&) = delete;

    // The window served and its pop-up menus, given before Active is switched on.
    void attach(HWND owner, std::vector<HMENU> popupMenus);

    // Published properties.
    std::uint8_t DimLevel = 30;
    std::uint8_t GrayLevel = 10;
    FontHandle Font;  // the system's menu font until set
    COLORREF FontColor = GetSysColor(COLOR_MENUTEXT);
    flat::LookColours Colours;
    int IconWidth = 24;
    bool DrawSelect = true;
    bool UseSystemColors = true;
    bool Gradient = false;
    bool FlatMenu = false;
    bool AutoDetect = false;

    bool Active() const { return active_; }
    void setActive(bool active);
    // Taking over items that draw themselves switches the look on (again).
    bool OverrideOwnerDraw() const { return overrideOwnerDraw_; }
    void setOverrideOwnerDraw(bool on);
    // Sets of FlatContainer and FlatControl elements; a change while active hooks anew.
    std::uint16_t FlatContainers() const { return flatContainers_; }
    void setFlatContainers(std::uint16_t containers);
    std::uint16_t FlatControls() const { return flatControls_; }
    void setFlatControls(std::uint16_t controls);

    // Routed from the window's procedure; true when the message was the look's.
    bool MeasureItem(MEASUREITEMSTRUCT& item);
    bool DrawItem(const DRAWITEMSTRUCT& item);
    // The window's menu messages (WM_MEASUREITEM, WM_DRAWITEM, WM_MENUCHAR): the answer when
    // they were the look's, nothing otherwise.
    std::optional<LRESULT> route(UINT message, WPARAM wParam, LPARAM lParam);

    // A mnemonic typed in an open menu of owner-drawn items: the item it chooses, or 0.
    LRESULT MenuChar(wchar_t key, HMENU menu) const;

    // The drawing colours now, on this surface.
    flat::EffectiveColours colours(HDC dc) const;
    int dpi() const { return dpi_; }

private:
    struct MenuItem;
    void hookMenu(HMENU menu);
    void unhookMenus();
    const MenuItem* ownItem(ULONG_PTR data) const;
    void hookControls();
    void unhookControls(bool repaint);
    void reloadSystemFont();

    HWND owner_ = nullptr;
    std::vector<HMENU> menus_;
    std::vector<std::unique_ptr<MenuItem>> items_;
    std::vector<std::unique_ptr<TFlatControlHook>> hooks_;
    int dpi_ = 96;
    bool active_ = false;
    bool overrideOwnerDraw_ = false;
    std::uint16_t flatContainers_ = 1023;
    std::uint16_t flatControls_ = 0xFFFF;
};

}  // namespace nimbrel
