#include "ui/flat_look.h"

#include "core/flat_geometry.h"
#include "ui/flat_control_hook.h"
#include "ui/flat_painters.h"

#include <algorithm>
#include <string>

namespace nimbrel {

// What the look needs of one of its owner-drawn items; the item's data points here.
struct TFlatLook::MenuItem {
    HMENU menu;
    UINT id;
    HMENU submenu;
    bool separator;
};

namespace {

struct ItemInfo {
    UINT position = 0;
    UINT type = 0;
    std::wstring caption;
};

// The item's place in its menu, its type and caption; nothing if it has gone.
std::optional<ItemInfo> findItem(HMENU menu, UINT id, HMENU submenu) {
    const int count = GetMenuItemCount(menu);
    for (int position = 0; position < count; ++position) {
        MENUITEMINFOW info{sizeof(info), MIIM_ID | MIIM_SUBMENU | MIIM_FTYPE | MIIM_STRING};
        wchar_t text[256] = {};
        info.dwTypeData = text;
        info.cch = 256;
        if (!GetMenuItemInfoW(menu, static_cast<UINT>(position), TRUE, &info)) continue;
        const bool same = submenu ? info.hSubMenu == submenu : (!info.hSubMenu && info.wID == id);
        if (same) return ItemInfo{static_cast<UINT>(position), info.fType, text};
    }
    return std::nullopt;
}

bool menuKeepsOwnLook(HMENU menu) {
    MENUINFO info{sizeof(info), MIM_MENUDATA};
    return GetMenuInfo(menu, &info) && info.dwMenuData == static_cast<ULONG_PTR>(kKeepOwnLook);
}

// A device context of the screen with a font selected, for measuring.
class MeasuringDc {
public:
    explicit MeasuringDc(HFONT font) : dc_(GetDC(nullptr)), old_(SelectObject(dc_, font)) {}
    ~MeasuringDc() {
        SelectObject(dc_, old_);
        ReleaseDC(nullptr, dc_);
    }
    MeasuringDc(const MeasuringDc&) = delete;
    MeasuringDc& operator=(const MeasuringDc&) = delete;
    SIZE extent(const std::wstring& text) const {
        SIZE size{};
        GetTextExtentPoint32W(dc_, text.c_str(), static_cast<int>(text.size()), &size);
        return size;
    }

private:
    HDC dc_;
    HGDIOBJ old_;
};

FontHandle systemMenuFont() {
    NONCLIENTMETRICSW metrics{sizeof(metrics)};
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0);
    return FontHandle(CreateFontIndirectW(&metrics.lfMenuFont));
}

}  // namespace

TFlatLook::TFlatLook() : Font(systemMenuFont()) {}

TFlatLook::~TFlatLook() {
    unhookControls(false);
    unhookMenus();
}

void TFlatLook::attach(HWND owner, std::vector<HMENU> popupMenus) {
    owner_ = owner;
    menus_ = std::move(popupMenus);
    const HDC dc = GetDC(nullptr);
    dpi_ = GetDeviceCaps(dc, LOGPIXELSY);
    ReleaseDC(nullptr, dc);
}

void TFlatLook::setActive(bool active) {
    if (active == active_) return;
    active_ = active;
    if (active) {
        if (flatControls_ & bit(fcPopupMenu))
            for (HMENU menu : menus_) hookMenu(menu);
        hookControls();
    } else {
        unhookMenus();
        unhookControls(true);
    }
    if (owner_ && GetMenu(owner_)) DrawMenuBar(owner_);
}

void TFlatLook::setOverrideOwnerDraw(bool on) {
    overrideOwnerDraw_ = on;
    setActive(true);
}

void TFlatLook::setFlatContainers(std::uint16_t containers) {
    const bool active = active_;
    setActive(false);
    flatContainers_ = containers;
    setActive(active);
}

void TFlatLook::setFlatControls(std::uint16_t controls) {
    const bool active = active_;
    setActive(false);
    flatControls_ = controls;
    setActive(active);
}

void TFlatLook::hookMenu(HMENU menu) {
    if (menuKeepsOwnLook(menu)) return;
    const int count = GetMenuItemCount(menu);
    for (int position = 0; position < count; ++position) {
        MENUITEMINFOW info{sizeof(info), MIIM_ID | MIIM_SUBMENU | MIIM_FTYPE | MIIM_DATA};
        if (!GetMenuItemInfoW(menu, static_cast<UINT>(position), TRUE, &info)) continue;
        if (info.hSubMenu) hookMenu(info.hSubMenu);
        if ((info.fType & MFT_OWNERDRAW) && (ownItem(info.dwItemData) || !overrideOwnerDraw_)) continue;
        items_.push_back(
            std::make_unique<MenuItem>(MenuItem{menu, info.wID, info.hSubMenu, (info.fType & MFT_SEPARATOR) != 0}));
        info.fMask = MIIM_FTYPE | MIIM_DATA;
        info.fType |= MFT_OWNERDRAW;
        info.dwItemData = reinterpret_cast<ULONG_PTR>(items_.back().get());
        SetMenuItemInfoW(menu, static_cast<UINT>(position), TRUE, &info);
    }
}

// Clears only the drawing that is the look's; items of other owners keep theirs.
void TFlatLook::unhookMenus() {
    for (const auto& item : items_) {
        const int count = GetMenuItemCount(item->menu);
        for (int position = 0; position < count; ++position) {
            MENUITEMINFOW info{sizeof(info), MIIM_FTYPE | MIIM_DATA};
            if (!GetMenuItemInfoW(item->menu, static_cast<UINT>(position), TRUE, &info)) continue;
            if (info.dwItemData != reinterpret_cast<ULONG_PTR>(item.get())) continue;
            info.fType &= ~MFT_OWNERDRAW;
            info.dwItemData = 0;
            SetMenuItemInfoW(item->menu, static_cast<UINT>(position), TRUE, &info);
        }
    }
    items_.clear();
}

const TFlatLook::MenuItem* TFlatLook::ownItem(ULONG_PTR data) const {
    const auto found = std::find_if(items_.begin(), items_.end(),
                                    [data](const auto& item) { return reinterpret_cast<ULONG_PTR>(item.get()) == data; });
    return found == items_.end() ? nullptr : found->get();
}

flat::EffectiveColours TFlatLook::colours(HDC dc) const {
    const COLORREF fontColour = UseSystemColors ? GetSysColor(COLOR_MENUTEXT) : FontColor;
    return flat::effectiveColours(Colours, UseSystemColors, toRgb(fontColour), surfaceOf(dc));
}

void TFlatLook::reloadSystemFont() {
    Font = systemMenuFont();
    FontColor = GetSysColor(COLOR_MENUTEXT);
}

bool TFlatLook::MeasureItem(MEASUREITEMSTRUCT& measure) {
    if (!active_ || measure.CtlType != ODT_MENU) return false;
    const MenuItem* item = ownItem(measure.itemData);
    if (!item) return false;
    flat::MenuItemMeasure m{.separator = item->separator, .iconWidth = IconWidth, .dpi = dpi_};
    m.proposedWidth = static_cast<int>(measure.itemWidth);
    m.proposedHeight = static_cast<int>(measure.itemHeight);
    if (!item->separator) {
        const std::optional<ItemInfo> info = findItem(item->menu, item->id, item->submenu);
        const std::wstring text = flat::measuredMenuText(info ? info->caption : L"", L"");
        const MeasuringDc dc(Font.get());
        const SIZE size = dc.extent(text.empty() ? L"W" : text);
        m.textWidth = text.empty() ? 0 : static_cast<int>(size.cx);
        m.textHeight = static_cast<int>(size.cy);
        if (text.find(L'&') != std::wstring::npos) m.ampersandWidth = dc.extent(L"&").cx;
    }
    const flat::Size size = flat::measureMenuItem(m);
    measure.itemWidth = static_cast<UINT>(size.width);
    measure.itemHeight = static_cast<UINT>(size.height);
    return true;
}

bool TFlatLook::DrawItem(const DRAWITEMSTRUCT& draw) {
    if (!active_ || draw.CtlType != ODT_MENU) return false;
    const MenuItem* item = ownItem(draw.itemData);
    if (!item) return false;
    if (UseSystemColors) reloadSystemFont();
    MenuItemState state;
    state.separator = item->separator;
    state.selected = (draw.itemState & ODS_SELECTED) != 0;
    state.disabled = (draw.itemState & (ODS_DISABLED | ODS_GRAYED)) != 0;
    state.checked = (draw.itemState & ODS_CHECKED) != 0;
    state.drawSelect = DrawSelect;
    if (const std::optional<ItemInfo> info = findItem(item->menu, item->id, item->submenu)) {
        state.caption = info->caption;
        state.radio = (info->type & MFT_RADIOCHECK) != 0;
    }
    const HGDIOBJ oldFont = SelectObject(draw.hDC, Font.get());
    paintMenuItem(draw.hDC, draw.rcItem, state, colours(draw.hDC), toRgb(FontColor), IconWidth, dpi_);
    SelectObject(draw.hDC, oldFont);
    // Items added to the menu since it was hooked are drawn flat from now on.
    hookMenu(item->menu);
    return true;
}

std::optional<LRESULT> TFlatLook::route(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_MEASUREITEM:
        if (MeasureItem(*reinterpret_cast<MEASUREITEMSTRUCT*>(lParam))) return TRUE;
        break;
    case WM_DRAWITEM:
        if (DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam))) return TRUE;
        break;
    case WM_MENUCHAR:
        if (const LRESULT chosen = MenuChar(LOWORD(wParam), reinterpret_cast<HMENU>(lParam))) return chosen;
        break;
    default: break;
    }
    return std::nullopt;
}

LRESULT TFlatLook::MenuChar(wchar_t key, HMENU menu) const {
    if (!active_) return 0;
    const wchar_t wanted = static_cast<wchar_t>(reinterpret_cast<UINT_PTR>(CharUpperW(
        reinterpret_cast<wchar_t*>(static_cast<UINT_PTR>(key)))));
    const int count = GetMenuItemCount(menu);
    for (int position = 0; position < count; ++position) {
        MENUITEMINFOW info{sizeof(info), MIIM_FTYPE | MIIM_STRING | MIIM_STATE};
        wchar_t text[256] = {};
        info.dwTypeData = text;
        info.cch = 256;
        if (!GetMenuItemInfoW(menu, static_cast<UINT>(position), TRUE, &info)) continue;
        if (info.fType & MFT_SEPARATOR) continue;
        const wchar_t* mark = wcschr(text, L'&');
        if (!mark || mark[1] == L'\0') continue;
        const wchar_t letter = static_cast<wchar_t>(
            reinterpret_cast<UINT_PTR>(CharUpperW(reinterpret_cast<wchar_t*>(static_cast<UINT_PTR>(mark[1])))));
        if (letter == wanted) return MAKELRESULT(position, MNC_EXECUTE);
    }
    return 0;
}

void TFlatLook::hookControls() {
    std::erase_if(hooks_, [](const auto& hook) { return hook->control() == nullptr; });
    std::vector<HWND> children;
    EnumChildWindows(
        owner_,
        [](HWND child, LPARAM list) {
            reinterpret_cast<std::vector<HWND>*>(list)->push_back(child);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&children));
    for (HWND child : children) {
        const auto hooked = [child](const auto& hook) { return hook->control() == child; };
        if (std::any_of(hooks_.begin(), hooks_.end(), hooked)) continue;
        const std::optional<ControlClass> kind = flatControlClass(child);
        const HWND parent = GetParent(child);
        const std::optional<FlatContainer> container = flatContainerOf(parent);
        if (!kind || !container || !(flatControls_ & bit(kind->element)) || !(flatContainers_ & bit(*container)))
            continue;
        if (keepsOwnLook(child) || keepsOwnLook(parent)) continue;
        hooks_.push_back(std::make_unique<TFlatControlHook>(child, kind->kind, *this));
        RedrawWindow(child, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ERASE);
    }
}

void TFlatLook::unhookControls(bool repaint) {
    std::vector<HWND> touched;
    for (const auto& hook : hooks_)
        if (hook->control()) touched.push_back(hook->control());
    hooks_.clear();
    if (!repaint) return;
    for (HWND control : touched) RedrawWindow(control, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ERASE);
}

}  // namespace nimbrel
