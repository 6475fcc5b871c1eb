#pragma once
// Colours of the flat look: the lighten/darken/grey functions and the effective drawing
// colours, derived from the look's colour properties or from the system colours.

#include <cstdint>
#include <functional>

namespace nimbrel::flat {

struct Rgb {
    int red = 0, green = 0, blue = 0;  // 0 ... 255 each
    bool operator==(const Rgb&) const = default;
};

// The framework's colour numbers: 0x80000000 + index names a system colour, any other
// value is red + 256 * green + 65536 * blue.
using ColorNumber = std::uint32_t;
constexpr ColorNumber kSystemColour = 0x80000000;
constexpr ColorNumber systemColour(int index) { return kSystemColour + static_cast<ColorNumber>(index); }
namespace sys {
constexpr int inactiveCaption = 3, window = 5, menuText = 7, highlight = 13, buttonFace = 15, buttonShadow = 16;
}
constexpr ColorNumber clBtnFace = systemColour(sys::buttonFace);
constexpr ColorNumber clHighlight = systemColour(sys::highlight);
constexpr ColorNumber clInactiveCaption = systemColour(sys::inactiveCaption);
constexpr ColorNumber clMenuText = systemColour(sys::menuText);
constexpr ColorNumber clSilver = 12632256;

// What the drawing surface supplies: the system colours and the nearest colour it can show.
struct Surface {
    std::function<Rgb(int index)> systemColour;
    std::function<Rgb(Rgb)> nearest;
    bool aboveFifteenBits = true;

    Rgb resolve(ColorNumber colour) const;
};

// round(a / b) for a, b >= 0, halves to even.
int roundHalfEven(int numerator, int denominator);

Rgb lighten(const Surface& surface, Rgb colour, int percent);
Rgb darken(Rgb colour, int amount);
Rgb grey(Rgb colour, int amount);

// The colour properties of a flat look, as framework colour numbers.
struct LookColours {
    ColorNumber Color = clBtnFace;
    ColorNumber IconBackColor = clBtnFace;
    ColorNumber MenuBarColor = clBtnFace;
    ColorNumber SelectColor = clHighlight;
    ColorNumber SelectBorderColor = clHighlight;
    ColorNumber SelectFontColor = clMenuText;
    ColorNumber DisabledColor = clInactiveCaption;
    ColorNumber SeparatorColor = clBtnFace;
    ColorNumber CheckedColor = clHighlight;
};

struct EffectiveColours {
    Rgb background, iconBackground, selectionFill, selectionOutline, selectionText, menuBar, disabledText,
        checkedOutline, separator, checkedAreaFill, selectedCheckedAreaFill, menuBorder, menuShadow;
    bool operator==(const EffectiveColours&) const = default;
};

// `fontColour` is the colour of the look's font (with system colours on, menu text).
EffectiveColours effectiveColours(const LookColours& look, bool useSystemColors, Rgb fontColour,
                                  const Surface& surface);

}  // namespace nimbrel::flat
