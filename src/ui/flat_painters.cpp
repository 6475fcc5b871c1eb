#include "ui/flat_painters.h"

#include "platform/raii.h"
#include "ui/panel.h"

#include <commctrl.h>

#include <array>

namespace nimbrel {

using flat::Rgb;

COLORREF toColorRef(Rgb colour) {
    return RGB(colour.red, colour.green, colour.blue);
}

Rgb toRgb(COLORREF colour) {
    return {GetRValue(colour), GetGValue(colour), GetBValue(colour)};
}

flat::Rect toRect(const RECT& rect) {
    return {rect.left, rect.top, rect.right, rect.bottom};
}

flat::Surface surfaceOf(HDC dc) {
    const int bits = GetDeviceCaps(dc, BITSPIXEL) * GetDeviceCaps(dc, PLANES);
    return {[](int index) { return toRgb(GetSysColor(index)); },
            [dc](Rgb colour) { return toRgb(GetNearestColor(dc, toColorRef(colour))); }, bits > 15};
}

namespace {

// Selects GDI objects into a device context for the life of the scope.
class Selection {
public:
    Selection(HDC dc, HGDIOBJ object) : dc_(dc), old_(SelectObject(dc, object)) {}
    ~Selection() { SelectObject(dc_, old_); }
    Selection(const Selection&) = delete;
    Selection& operator=(const Selection&) = delete;

private:
    HDC dc_;
    HGDIOBJ old_;
};

RECT toWin(const flat::Rect& r) { return {r.left, r.top, r.right, r.bottom}; }

void fill(HDC dc, const flat::Rect& r, Rgb colour) {
    const BrushHandle brush(CreateSolidBrush(toColorRef(colour)));
    const RECT rect = toWin(r);
    FillRect(dc, &rect, brush.get());
}

void frame(HDC dc, const flat::Rect& r, Rgb colour) {
    const BrushHandle brush(CreateSolidBrush(toColorRef(colour)));
    const RECT rect = toWin(r);
    FrameRect(dc, &rect, brush.get());
}

void line(HDC dc, const flat::Line& l, Rgb colour) {
    const PenHandle pen(CreatePen(PS_SOLID, 1, toColorRef(colour)));
    const Selection selected(dc, pen.get());
    MoveToEx(dc, l.from.x, l.from.y, nullptr);
    LineTo(dc, l.to.x, l.to.y);
}

enum class Shape { rectangle, ellipse, roundRect };

// A shape outlined in one colour and filled with another.
void shape(HDC dc, Shape kind, const flat::Rect& r, Rgb outline, Rgb fillColour, int corner = 0) {
    const PenHandle pen(CreatePen(PS_SOLID, 1, toColorRef(outline)));
    const BrushHandle brush(CreateSolidBrush(toColorRef(fillColour)));
    const Selection penSelected(dc, pen.get());
    const Selection brushSelected(dc, brush.get());
    switch (kind) {
    case Shape::rectangle: Rectangle(dc, r.left, r.top, r.right, r.bottom); break;
    case Shape::ellipse: Ellipse(dc, r.left, r.top, r.right, r.bottom); break;
    case Shape::roundRect: RoundRect(dc, r.left, r.top, r.right, r.bottom, corner, corner); break;
    }
}

void text(HDC dc, const std::wstring& caption, RECT rect, Rgb colour, UINT format) {
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, toColorRef(colour));
    DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &rect, format | DT_SINGLELINE);
}

// The caption centred vertically on the height of "W".
void menuText(HDC dc, const std::wstring& caption, const flat::Rect& area, Rgb colour, int dpi) {
    SIZE w{};
    GetTextExtentPoint32W(dc, L"W", 1, &w);
    const int top = area.top + (area.height() - w.cy) / 2;
    RECT rect{area.left + flat::scaled(3, dpi), top, area.right, top + w.cy};
    text(dc, caption, rect, colour, DT_LEFT | DT_TOP);
}

std::wstring windowText(HWND window) {
    std::wstring caption(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    caption.resize(static_cast<size_t>(GetWindowTextW(window, caption.data(), static_cast<int>(caption.size()))));
    return caption;
}

Rgb parentColour(HWND control) {
    if (const Panel* panel = Panel::fromWindow(GetParent(control))) return toRgb(panel->color());
    return toRgb(GetSysColor(COLOR_BTNFACE));
}

// A device context for the whole window, released at the end of the scope.
class WindowDc {
public:
    explicit WindowDc(HWND window) : window_(window), dc_(GetWindowDC(window)) {}
    ~WindowDc() { ReleaseDC(window_, dc_); }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    HDC get() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

flat::Rect windowBox(HWND window) {
    RECT rect;
    GetWindowRect(window, &rect);
    return {0, 0, rect.right - rect.left, rect.bottom - rect.top};
}

int thumbWidth() { return GetSystemMetrics(SM_CXHTHUMB); }

}  // namespace

void paintMenuItem(HDC dc, const RECT& rect, const MenuItemState& item, const flat::EffectiveColours& colours,
                   Rgb fontColour, int iconWidth, int dpi) {
    const flat::MenuItemLayout l = flat::layoutMenuItem(toRect(rect), 0, iconWidth, dpi);
    fill(dc, l.item, colours.background);
    fill(dc, l.iconColumn, colours.iconBackground);
    const bool enabled = !item.disabled;
    if (item.selected && item.drawSelect && enabled)
        shape(dc, Shape::rectangle, l.selection, colours.selectionOutline, colours.selectionFill);
    if (item.checked) {
        const Rgb area = item.selected ? colours.selectedCheckedAreaFill : colours.checkedAreaFill;
        if (item.radio) {
            shape(dc, Shape::ellipse, l.checkBox, enabled ? colours.selectionOutline : colours.disabledText, area);
        } else {
            const Rgb mark = enabled ? Rgb{} : colours.disabledText;
            shape(dc, Shape::rectangle, l.checkBox, enabled ? colours.checkedOutline : mark, area);
            const flat::Rect around{l.checkBox.left - 2, l.checkBox.top - 2, l.checkBox.right + 2, l.checkBox.bottom + 2};
            const flat::CheckBoxShape tick = flat::checkBoxShape(around, around.width(), false, dpi);
            for (const flat::Line& stroke : tick.tick) line(dc, stroke, mark);
        }
    }
    if (item.separator) {
        line(dc, l.separator, colours.separator);
        return;
    }
    const Rgb colour = !enabled ? colours.disabledText : item.selected ? colours.selectionText : fontColour;
    menuText(dc, L" " + item.caption, l.text, colour, dpi);
}

void paintEdit(HWND edit, const ControlState& state, const flat::EffectiveColours& colours, bool hadBorder) {
    const WindowDc dc(edit);
    const flat::Surface surface = surfaceOf(dc.get());
    const Rgb parent = parentColour(edit);
    Rgb border = hadBorder ? flat::darken(parent, 60) : parent;
    if (state.highlighted || state.focused)
        border = flat::lighten(surface, colours.selectionOutline, hadBorder ? 60 : 80);
    frame(dc.get(), windowBox(edit), border);
}

void paintButton(HWND button, const ControlState& state, const flat::EffectiveColours& colours, int dpi) {
    const WindowDc dc(button);
    const flat::Surface surface = surfaceOf(dc.get());
    const flat::Rect client = windowBox(button);
    const bool enabled = IsWindowEnabled(button);
    const bool pressed = enabled && ((state.buttonDown && state.highlighted) || state.spaceHeld);
    const flat::ButtonShape s = flat::buttonShape(client, pressed, dpi);
    const Rgb face = toRgb(GetSysColor(COLOR_BTNFACE));
    const Rgb base = (state.highlighted || state.spaceHeld || state.focused)
                         ? flat::lighten(surface, colours.selectionOutline, 60)
                         : toRgb(GetSysColor(COLOR_BTNSHADOW));
    fill(dc.get(), client, parentColour(button));
    const Rgb body = (state.highlighted || state.spaceHeld) ? flat::lighten(surface, face, 60) : colours.iconBackground;
    shape(dc.get(), Shape::roundRect, s.body, flat::lighten(surface, base, 30), body, s.corner);
    if (enabled)
        for (const flat::Line& shade : s.shade) line(dc.get(), shade, flat::darken(base, 50));
    const HFONT font = reinterpret_cast<HFONT>(SendMessageW(button, WM_GETFONT, 0, 0));
    const Selection fontSelected(dc.get(), font);
    RECT rect{client.left, client.top, client.right, client.bottom};
    if (pressed) OffsetRect(&rect, 1, 1);
    text(dc.get(), windowText(button), rect,
         enabled ? toRgb(GetSysColor(COLOR_BTNTEXT)) : colours.disabledText, DT_CENTER | DT_VCENTER);
}

void paintCheckBox(HWND box, const ControlState& state, const flat::EffectiveColours& colours, int dpi) {
    const WindowDc dc(box);
    const bool atRight = (GetWindowLongW(box, GWL_STYLE) & BS_LEFTTEXT) != 0;
    const flat::CheckBoxShape s = flat::checkBoxShape(windowBox(box), thumbWidth(), atRight, dpi);
    fill(dc.get(), s.square, parentColour(box));
    const bool down = state.buttonDown || state.spaceHeld;
    const bool lit = state.highlighted || state.focused;
    const Rgb boxFill = lit ? (down ? colours.selectedCheckedAreaFill : colours.selectionFill)
                            : toRgb(GetSysColor(COLOR_WINDOW));
    shape(dc.get(), Shape::rectangle, s.box, lit ? colours.selectionOutline : toRgb(GetSysColor(COLOR_BTNSHADOW)),
          boxFill);
    if (SendMessageW(box, BM_GETCHECK, 0, 0) != BST_CHECKED) return;
    const Rgb tick = !IsWindowEnabled(box) ? colours.disabledText
                     : down               ? toRgb(GetSysColor(COLOR_WINDOW))
                                          : toRgb(GetSysColor(COLOR_HIGHLIGHT));
    for (const flat::Line& stroke : s.tick) line(dc.get(), stroke, tick);
}

void paintCombo(HWND combo, const ControlState& state, const flat::EffectiveColours& colours, int dpi) {
    const WindowDc dc(combo);
    const flat::Surface surface = surfaceOf(dc.get());
    const flat::Rect whole = windowBox(combo);
    const bool rtl = (GetWindowLongW(combo, GWL_EXSTYLE) & WS_EX_RTLREADING) != 0;
    const bool dropped = SendMessageW(combo, CB_GETDROPPEDSTATE, 0, 0) != 0;
    const Rgb own = toRgb(GetSysColor(IsWindowEnabled(combo) ? COLOR_WINDOW : COLOR_BTNFACE));
    const Rgb border = state.highlighted ? colours.selectionOutline
                       : state.focused   ? flat::lighten(surface, colours.selectionOutline, 60)
                                         : own;
    // The 3D frame (two pixels) in the parent's colour, then the flat frame inside it, grown
    // by one pixel outwards while highlighted or focused.
    const bool lit = state.highlighted || state.focused;
    frame(dc.get(), whole, lit ? border : parentColour(combo));
    frame(dc.get(), {whole.left + 1, whole.top + 1, whole.right - 1, whole.bottom - 1}, border);
    const flat::Rect inner{whole.left + 2, whole.top + 2, whole.right - 2, whole.bottom - 2};
    const flat::ComboShape s = flat::comboShape(inner, thumbWidth(), rtl, dpi);
    Rgb buttonFill = state.highlighted ? colours.selectionFill
                     : state.focused   ? colours.checkedAreaFill
                                       : toRgb(GetSysColor(COLOR_BTNFACE));
    if (dropped) buttonFill = colours.selectedCheckedAreaFill;
    fill(dc.get(), s.button, buttonFill);
    if (dropped) frame(dc.get(), s.button, colours.selectionOutline);
    fill(dc.get(), s.gap, own);
    line(dc.get(), s.gapLine, border);
    const Rgb arrow = (dropped || !IsWindowEnabled(combo)) ? Rgb{255, 255, 255} : Rgb{};
    for (const flat::Line& stroke : s.arrow) line(dc.get(), stroke, arrow);
}

void paintGroupBox(HWND box, int dpi) {
    const WindowDc dc(box);
    const flat::Surface surface = surfaceOf(dc.get());
    const HFONT font = reinterpret_cast<HFONT>(SendMessageW(box, WM_GETFONT, 0, 0));
    const Selection fontSelected(dc.get(), font);
    const std::wstring caption = windowText(box);
    SIZE extent{};
    GetTextExtentPoint32W(dc.get(), caption.c_str(), static_cast<int>(caption.size()), &extent);
    const bool rtl = (GetWindowLongW(box, GWL_EXSTYLE) & WS_EX_RTLREADING) != 0;
    const flat::Rect whole = windowBox(box);
    const flat::GroupBoxShape s = flat::groupBoxShape(whole, extent.cx, extent.cy, rtl, dpi);
    const Rgb colour = parentColour(box);
    // Away with the stock frame, wherever its top lies near ours, then the flat one.
    const flat::Rect f = s.frame;
    const int band = 3;
    fill(dc.get(), {f.left, f.top - band, f.right, f.top + band}, colour);
    fill(dc.get(), {f.left, f.top, f.left + band, f.bottom}, colour);
    fill(dc.get(), {f.right - band, f.top, f.right, f.bottom}, colour);
    fill(dc.get(), {f.left, f.bottom - band, f.right, f.bottom}, colour);
    const flat::Rect captionBox{s.caption.x, s.caption.y, s.caption.x + extent.cx, s.caption.y + extent.cy};
    fill(dc.get(), {whole.left, whole.top, captionBox.right + band, captionBox.bottom}, colour);  // the stock caption
    const Rgb light = flat::lighten(surface, colour, 60), dark = flat::darken(colour, 60);
    line(dc.get(), {{f.left, f.top}, {f.right - 1, f.top}}, light);
    line(dc.get(), {{f.left, f.top}, {f.left, f.bottom - 1}}, light);
    line(dc.get(), {{f.left, f.bottom - 1}, {f.right, f.bottom - 1}}, dark);
    line(dc.get(), {{f.right - 1, f.top}, {f.right - 1, f.bottom - 1}}, dark);
    fill(dc.get(), captionBox, colour);
    RECT rect = toWin(captionBox);
    text(dc.get(), caption, rect, toRgb(GetSysColor(COLOR_BTNTEXT)), DT_LEFT | DT_TOP);
}

void paintPanelBevels(HWND panel, bool lowered, int bevels, Rgb colour) {
    const WindowDc dc(panel);
    const Rgb light = flat::lighten(surfaceOf(dc.get()), colour, 60), dark = flat::darken(colour, 60);
    const Rgb topLeft = lowered ? dark : light, bottomRight = lowered ? light : dark;
    flat::Rect r = windowBox(panel);
    for (int bevel = 0; bevel < bevels && r.width() > 0 && r.height() > 0; ++bevel) {
        line(dc.get(), {{r.left, r.top}, {r.right, r.top}}, topLeft);
        line(dc.get(), {{r.left, r.top}, {r.left, r.bottom}}, topLeft);
        line(dc.get(), {{r.left, r.bottom - 1}, {r.right, r.bottom - 1}}, bottomRight);
        line(dc.get(), {{r.right - 1, r.top + 1}, {r.right - 1, r.bottom}}, bottomRight);
        r = {r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
    }
}

}  // namespace nimbrel
