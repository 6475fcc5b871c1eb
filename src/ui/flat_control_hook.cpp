#include "ui/flat_control_hook.h"

#include "ui/panel.h"

#include <commctrl.h>

#include <cwchar>
#include <string>

namespace nimbrel {
namespace {

constexpr UINT_PTR kSubclassId = 0x464C4154;  // "FLAT"

std::wstring className(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

}  // namespace

std::optional<ControlClass> flatControlClass(HWND control) {
    const std::wstring name = className(control);
    const LONG style = GetWindowLongW(control, GWL_STYLE);
    if (_wcsicmp(name.c_str(), WC_BUTTONW) == 0) {
        switch (style & BS_TYPEMASK) {
        case BS_PUSHBUTTON:
        case BS_DEFPUSHBUTTON: return ControlClass{ControlKind::button, fcButton};
        case BS_CHECKBOX:
        case BS_AUTOCHECKBOX:
        case BS_3STATE:
        case BS_AUTO3STATE: return ControlClass{ControlKind::checkBox, fcCheckBox};
        case BS_GROUPBOX: return ControlClass{ControlKind::groupBox, fcGroupBox};
        default: return std::nullopt;
        }
    }
    if (_wcsicmp(name.c_str(), WC_EDITW) == 0)
        return (style & ES_MULTILINE) ? ControlClass{ControlKind::memo, fcMemo} : ControlClass{ControlKind::edit, fcEdit};
    if (_wcsicmp(name.c_str(), WC_COMBOBOXW) == 0) return ControlClass{ControlKind::combo, fcCombo};
    if (Panel::fromWindow(control)) return ControlClass{ControlKind::panel, fcPanel};
    return std::nullopt;
}

std::optional<FlatContainer> flatContainerOf(HWND parent) {
    if (!(GetWindowLongW(parent, GWL_STYLE) & WS_CHILD)) return fccForm;
    if (Panel::fromWindow(parent)) return fccPanel;
    if (const auto parentClass = flatControlClass(parent); parentClass && parentClass->kind == ControlKind::groupBox)
        return fccGroupBox;
    return std::nullopt;
}

bool keepsOwnLook(HWND window) {
    return reinterpret_cast<INT_PTR>(GetPropW(window, kTagProperty)) == kKeepOwnLook;
}

TFlatControlHook::TFlatControlHook(HWND control, ControlKind kind, const TFlatLook& look)
    : control_(control), kind_(kind), look_(look) {
    SetWindowSubclass(control_, procedure, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
    if (kind_ == ControlKind::edit || kind_ == ControlKind::memo) setFrame(true);
}

TFlatControlHook::~TFlatControlHook() { release(); }

void TFlatControlHook::release() {
    if (!control_) return;
    RemoveWindowSubclass(control_, procedure, kSubclassId);
    if (kind_ == ControlKind::edit || kind_ == ControlKind::memo) setFrame(false);
    control_ = nullptr;
}

// A flat edit box has a one-pixel border of its own instead of the 3D client edge.
void TFlatControlHook::setFrame(bool flat) {
    const LONG_PTR exStyle = GetWindowLongPtrW(control_, GWL_EXSTYLE);
    const LONG_PTR style = GetWindowLongPtrW(control_, GWL_STYLE);
    if (flat) {
        hadClientEdge_ = (exStyle & WS_EX_CLIENTEDGE) != 0;
        if (!hadClientEdge_) return;
        SetWindowLongPtrW(control_, GWL_EXSTYLE, exStyle & ~WS_EX_CLIENTEDGE);
        SetWindowLongPtrW(control_, GWL_STYLE, style | WS_BORDER);
    } else {
        if (!hadClientEdge_) return;
        SetWindowLongPtrW(control_, GWL_STYLE, style & ~WS_BORDER);
        SetWindowLongPtrW(control_, GWL_EXSTYLE, exStyle | WS_EX_CLIENTEDGE);
    }
    SetWindowPos(control_, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

LRESULT CALLBACK TFlatControlHook::procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                             DWORD_PTR self) {
    auto* hook = reinterpret_cast<TFlatControlHook*>(self);
    if (message == WM_DESTROY) {
        hook->release();  // before the control goes; the look drops the empty hook later
        return DefSubclassProc(window, message, wParam, lParam);
    }
    return hook->handle(message, wParam, lParam);
}

LRESULT TFlatControlHook::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    const LRESULT result = DefSubclassProc(control_, message, wParam, lParam);
    if (!painting_ && look_.Active()) record(message, wParam);
    return result;
}

void TFlatControlHook::record(UINT message, WPARAM wParam) {
    const bool pushable = kind_ == ControlKind::button || kind_ == ControlKind::checkBox;
    const bool paintOnly = kind_ == ControlKind::panel || kind_ == ControlKind::groupBox;
    if (paintOnly && message != WM_PAINT) return;
    switch (message) {
    case WM_SETFOCUS: state_.highlighted = true; break;
    case WM_KILLFOCUS: state_.highlighted = false; break;
    case BM_SETCHECK:
    case BM_GETCHECK: state_.highlighted = false; break;
    case WM_KEYDOWN:
    case WM_KEYUP:
        if (wParam != VK_SPACE) return;
        if (state_.spaceHeld == (message == WM_KEYDOWN)) return;  // once per press
        state_.spaceHeld = message == WM_KEYDOWN;
        break;
    case WM_LBUTTONDBLCLK:
        if (!pushable) return;
        [[fallthrough]];
    case WM_LBUTTONDOWN: state_.buttonDown = true; break;
    case WM_LBUTTONUP: state_.buttonDown = false; break;
    case WM_MOUSEMOVE:
        if (tracking_ || !IsWindowEnabled(control_)) return;
        {
            TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, control_, 0};
            tracking_ = TrackMouseEvent(&track) != FALSE;
        }
        state_.highlighted = true;
        break;
    case WM_MOUSELEAVE:
        tracking_ = false;
        if (!IsWindowEnabled(control_)) return;
        state_.highlighted = GetFocus() == control_;
        break;
    case WM_ENABLE:
        if (!wParam) state_.highlighted = false;
        break;
    case WM_PAINT:
    case WM_NCPAINT:
    case BM_SETSTATE:
    case WM_SETTEXT:
    case WM_UPDATEUISTATE:
    case CB_SHOWDROPDOWN:
    case WM_CAPTURECHANGED: break;
    default: return;
    }
    repaint();
}

void TFlatControlHook::repaint() {
    if (!control_ || !IsWindowVisible(control_)) return;
    painting_ = true;
    const flat::EffectiveColours colours = [&] {
        const HDC dc = GetDC(control_);
        const flat::EffectiveColours c = look_.colours(dc);
        ReleaseDC(control_, dc);
        return c;
    }();
    ControlState state = state_;
    state.focused = GetFocus() == control_;
    switch (kind_) {
    case ControlKind::edit:
    case ControlKind::memo: paintEdit(control_, state, colours, hadClientEdge_); break;
    case ControlKind::button: paintButton(control_, state, colours, look_.dpi()); break;
    case ControlKind::checkBox: paintCheckBox(control_, state, colours, look_.dpi()); break;
    case ControlKind::combo: paintCombo(control_, state, colours, look_.dpi()); break;
    case ControlKind::groupBox: paintGroupBox(control_, look_.dpi()); break;
    case ControlKind::panel: {
        if (const Panel* panel = Panel::fromWindow(control_); panel && panel->bevel() != Panel::Bevel::none)
            paintPanelBevels(control_, panel->bevel() != Panel::Bevel::raised,
                             panel->bevel() == Panel::Bevel::loweredDouble ? 2 : 1, toRgb(panel->color()));
        break;
    }
    }
    painting_ = false;
}

}  // namespace nimbrel
