#pragma once
// Where the flat look draws: the size and parts of a menu item and of the flat controls.
// Figures are given at 96 DPI and scaled to the surface's DPI here, so that the painters
// only draw what these compute.

#include <array>
#include <string>
#include <vector>

namespace nimbrel::flat {

struct Rect {
    int left = 0, top = 0, right = 0, bottom = 0;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool operator==(const Rect&) const = default;
};

struct Point {
    int x = 0, y = 0;
    bool operator==(const Point&) const = default;
};

// A one-pixel line from `from` to `to`, `to` excluded (as the platform draws lines).
struct Line {
    Point from, to;
    bool operator==(const Line&) const = default;
};

// pixels at 96 DPI scaled to `dpi`, rounded to the nearest pixel.
int scaled(int pixels, int dpi);

// The text measured for a menu item: empty for a separator ("-"); with a shortcut, the
// caption, "WWW" and the shortcut.
std::wstring measuredMenuText(const std::wstring& caption, const std::wstring& shortcut);
inline bool isSeparatorCaption(const std::wstring& caption) { return caption == L"-"; }

struct MenuItemMeasure {
    bool separator = false;
    int textWidth = 0, textHeight = 0;
    int ampersandWidth = 0;  // width of "&" when the caption holds one, else 0
    int glyphWidth = 0, glyphHeight = 0;
    int iconWidth = 24;  // at 96 DPI
    int proposedWidth = 0, proposedHeight = 0;
    int dpi = 96;
};

struct Size {
    int width = 0, height = 0;
    bool operator==(const Size&) const = default;
};

// A separator is 4 pixels high whatever the system proposes. Text items are at least as
// wide as their icon column, text and the gaps beside the text, so nothing is cut off.
Size measureMenuItem(const MenuItemMeasure& item);

struct MenuItemLayout {
    Rect item;        // the item's rectangle, one pixel taller at the bottom
    Rect iconColumn;  // full height at the left
    Rect checkBox;    // where a check mark or radio dot goes
    Rect text;        // the text rectangle (text is drawn 3 pixels further right)
    Rect selection;   // the selection's fill and outline
    Line separator;   // a separator's line
};

MenuItemLayout layoutMenuItem(const Rect& itemRect, int glyphWidth, int iconWidth, int dpi);

// The parts of a flat push button: its rounded rectangle and the two shade lines, along
// the top and left edges while pressed, else along the bottom and right edges.
struct ButtonShape {
    Rect body;
    int corner = 4;
    std::array<Line, 2> shade;
};
ButtonShape buttonShape(const Rect& client, bool pressed, int dpi);

// A check box's square (as wide as the scroll-bar thumb, vertically centred, at the left or
// right), the box drawn inset by 2, and its tick.
struct CheckBoxShape {
    Rect square, box;
    std::array<Line, 4> tick;
};
CheckBoxShape checkBoxShape(const Rect& client, int thumbWidth, bool atRight, int dpi);

// A combo box's drop-down button, the 5 pixels beside it closed by a line, and the arrow: a
// downward triangle of lines 5, 3 and 1 pixels wide (wider and more at higher DPI).
struct ComboShape {
    Rect button, gap;
    Line gapLine;
    std::vector<Line> arrow;
};
ComboShape comboShape(const Rect& client, int thumbWidth, bool rightToLeft, int dpi);

// A group box's flat frame: its top at half the caption's height; the caption 9 pixels in.
struct GroupBoxShape {
    Rect frame;
    Point caption;
};
GroupBoxShape groupBoxShape(const Rect& client, int captionWidth, int captionHeight, bool rightToLeft, int dpi);

}  // namespace nimbrel::flat
