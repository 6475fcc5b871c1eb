#include "core/flat_colours.h"

#include <algorithm>

namespace nimbrel::flat {
namespace {

int clampChannel(int value) { return std::clamp(value, 0, 255); }

const Rgb kWhite{255, 255, 255};

}  // namespace

Rgb Surface::resolve(ColorNumber colour) const {
    if (colour & kSystemColour) return systemColour(static_cast<int>(colour & 0xFF));
    return {static_cast<int>(colour & 0xFF), static_cast<int>((colour >> 8) & 0xFF),
            static_cast<int>((colour >> 16) & 0xFF)};
}

int roundHalfEven(int numerator, int denominator) {
    const int quotient = numerator / denominator;
    const int twiceRest = 2 * (numerator % denominator);
    if (twiceRest > denominator || (twiceRest == denominator && quotient % 2 != 0)) return quotient + 1;
    return quotient;
}

Rgb lighten(const Surface& surface, Rgb colour, int percent) {
    const int p = std::min(percent, 100);
    auto channel = [p](int value) { return value + roundHalfEven((255 - value) * p, 100); };
    return surface.nearest({channel(colour.red), channel(colour.green), channel(colour.blue)});
}

Rgb darken(Rgb colour, int amount) {
    return {clampChannel(colour.red - amount), clampChannel(colour.green - amount + 2),
            clampChannel(colour.blue - amount)};
}

Rgb grey(Rgb colour, int amount) {
    const int g = std::min((colour.red + colour.green + colour.blue) / 3 + amount, 240);
    return {g, g, g};
}

EffectiveColours effectiveColours(const LookColours& look, bool useSystemColors, Rgb fontColour,
                                  const Surface& surface) {
    auto sysc = [&](int index) { return surface.systemColour(index); };
    auto light = [&](Rgb c, int p) { return lighten(surface, c, p); };
    const bool deep = surface.aboveFifteenBits;
    const Rgb face = sysc(sys::buttonFace), shadow = sysc(sys::buttonShadow), highlight = sysc(sys::highlight);
    EffectiveColours c;
    c.menuBorder = deep ? darken(face, 90) : shadow;
    c.menuShadow = deep ? darken(face, 76) : shadow;
    if (useSystemColors) {
        c.background = deep ? light(face, 86) : kWhite;
        c.iconBackground = deep ? light(face, 16) : face;
        c.selectionFill = deep ? light(highlight, 68) : kWhite;
        c.selectionOutline = highlight;
        c.selectionText = fontColour;
        c.menuBar = face;
        c.disabledText = deep ? light(shadow, 10) : shadow;
        c.checkedOutline = highlight;
        c.separator = deep ? light(shadow, 25) : shadow;
        c.checkedAreaFill = deep ? light(highlight, 80) : kWhite;
        c.selectedCheckedAreaFill = deep ? light(highlight, 50) : kWhite;
        return c;
    }
    const Rgb select = surface.resolve(look.SelectColor);
    c.background = surface.resolve(look.Color);
    c.iconBackground = surface.resolve(look.IconBackColor);
    c.selectionFill = deep ? light(select, 68) : select;
    c.selectionOutline = surface.resolve(look.SelectBorderColor);
    c.selectionText = surface.resolve(look.SelectFontColor);
    c.menuBar = surface.resolve(look.MenuBarColor);
    c.disabledText = surface.resolve(look.DisabledColor);
    c.checkedOutline = surface.resolve(look.CheckedColor);
    c.separator = surface.resolve(look.SeparatorColor);
    c.checkedAreaFill = deep ? light(select, 80) : kWhite;
    c.selectedCheckedAreaFill = deep ? light(select, 50) : surface.resolve(clSilver);
    return c;
}

}  // namespace nimbrel::flat
