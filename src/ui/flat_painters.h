// Drawing of the flat look: a menu item and the flat controls, in the effective colours,
// at places computed by the pure geometry. Each painter leaves the device context as it
// found it and keeps no GDI object.
#pragma once

#include "core/flat_colours.h"
#include "core/flat_geometry.h"

#include <windows.h>

#include <string>

namespace nimbrel {

COLORREF toColorRef(flat::Rgb colour);
flat::Rgb toRgb(COLORREF colour);
flat::Rect toRect(const RECT& rect);

// The system colours and the nearest colour the device context can show.
flat::Surface surfaceOf(HDC dc);

struct MenuItemState {
    std::wstring caption;
    bool separator = false, selected = false, disabled = false, checked = false, radio = false;
    bool drawSelect = true;
};

void paintMenuItem(HDC dc, const RECT& rect, const MenuItemState& item, const flat::EffectiveColours& colours,
                   flat::Rgb fontColour, int iconWidth, int dpi);

// What a control's painter needs to know of it besides its window.
struct ControlState {
    bool highlighted = false, focused = false, buttonDown = false, spaceHeld = false;
};

void paintEdit(HWND edit, const ControlState& state, const flat::EffectiveColours& colours, bool hadBorder);
void paintButton(HWND button, const ControlState& state, const flat::EffectiveColours& colours, int dpi);
void paintCheckBox(HWND box, const ControlState& state, const flat::EffectiveColours& colours, int dpi);
void paintCombo(HWND combo, const ControlState& state, const flat::EffectiveColours& colours, int dpi);
void paintGroupBox(HWND box, int dpi);
// A panel's one-pixel bevels, outer first: lowered ones dark at top and left.
void paintPanelBevels(HWND panel, bool lowered, int bevels, flat::Rgb colour);

}  // namespace nimbrel
