// The flat look's colours and geometry: the colour functions with their rounding, the
// effective-colour table in its four columns, and where menu items and controls are drawn.
#include "core/flat_colours.h"
#include "core/flat_geometry.h"

#include <gtest/gtest.h>

#include <ostream>

namespace nimbrel::flat {

void PrintTo(const Rgb& c, std::ostream* out) { *out << "(" << c.red << "," << c.green << "," << c.blue << ")"; }
void PrintTo(const Rect& r, std::ostream* out) {
    *out << "{" << r.left << "," << r.top << "," << r.right << "," << r.bottom << "}";
}

namespace {

constexpr Rgb kFace{200, 100, 50}, kHighlight{10, 120, 240}, kShadow{128, 128, 128}, kMenuText{1, 2, 3},
    kInactiveCaption{70, 80, 90}, kWhite{255, 255, 255};
constexpr ColorNumber kMainWindowSelect = 10280695;  // red 247, green 222, blue 156
constexpr Rgb kSelect{247, 222, 156};

Surface surface(bool deep, std::function<Rgb(Rgb)> nearest = [](Rgb c) { return c; }) {
    return {[](int index) {
                switch (index) {
                case sys::buttonFace: return kFace;
                case sys::highlight: return kHighlight;
                case sys::buttonShadow: return kShadow;
                case sys::menuText: return kMenuText;
                case sys::inactiveCaption: return kInactiveCaption;
                default: return Rgb{};
                }
            },
            std::move(nearest), deep};
}

TEST(FlatColoursTest, LightenRoundsHalvesToEvenCapsThePercentAndAsksForTheNearestColour) {
    const Surface plain = surface(true);
    EXPECT_EQ(lighten(plain, kHighlight, 50), (Rgb{132, 188, 248}));  // 122.5 -> 122, 67.5 -> 68, 7.5 -> 8
    EXPECT_EQ(lighten(plain, kFace, 86), (Rgb{247, 233, 226}));
    EXPECT_EQ(lighten(plain, kFace, 250), kWhite);
    EXPECT_EQ(lighten(plain, kFace, 0), kFace);
    const Surface coarse = surface(true, [](Rgb c) { return Rgb{c.red & ~7, c.green & ~7, c.blue & ~7}; });
    EXPECT_EQ(lighten(coarse, kFace, 86), (Rgb{240, 232, 224}));
}

TEST(FlatColoursTest, DarkenSparesTwoOfGreenAndGreyIsCappedAt240) {
    EXPECT_EQ(darken(kFace, 90), (Rgb{110, 12, 0}));
    EXPECT_EQ(darken({254, 254, 254}, 0), (Rgb{254, 255, 254}));
    EXPECT_EQ(grey(kFace, 10), (Rgb{126, 126, 126}));
    EXPECT_EQ(grey({250, 250, 250}, 10), (Rgb{240, 240, 240}));
}

TEST(FlatColoursTest, EffectiveColoursInAllFourColumns) {
    LookColours mainWindow;
    mainWindow.SelectColor = mainWindow.SelectBorderColor = mainWindow.CheckedColor = kMainWindowSelect;
    struct Column {
        bool useSystemColors, deep;
        EffectiveColours expected;
    } columns[] = {
        {false, true,
         {kFace, kFace, {252, 244, 223}, kSelect, kMenuText, kFace, kInactiveCaption, kSelect, kFace,
          {253, 248, 235}, {251, 238, 206}, {110, 12, 0}, {124, 26, 0}}},
        {false, false,
         {kFace, kFace, kSelect, kSelect, kMenuText, kFace, kInactiveCaption, kSelect, kFace, kWhite,
          {192, 192, 192}, kShadow, kShadow}},
        {true, true,
         {{247, 233, 226}, {209, 125, 83}, {177, 212, 250}, kHighlight, kMenuText, kFace, {141, 141, 141},
          kHighlight, {160, 160, 160}, {206, 228, 252}, {132, 188, 248}, {110, 12, 0}, {124, 26, 0}}},
        {true, false,
         {kWhite, kFace, kWhite, kHighlight, kMenuText, kFace, kShadow, kHighlight, kShadow, kWhite, kWhite, kShadow,
          kShadow}},
    };
    for (const Column& column : columns) {
        SCOPED_TRACE(testing::Message() << "system colours " << column.useSystemColors << ", above 15 bits "
                                        << column.deep);
        const EffectiveColours got =
            effectiveColours(mainWindow, column.useSystemColors, kMenuText, surface(column.deep));
        int field = 0;
        for (Rgb EffectiveColours::*colour :
             {&EffectiveColours::background, &EffectiveColours::iconBackground, &EffectiveColours::selectionFill,
              &EffectiveColours::selectionOutline, &EffectiveColours::selectionText, &EffectiveColours::menuBar,
              &EffectiveColours::disabledText, &EffectiveColours::checkedOutline, &EffectiveColours::separator,
              &EffectiveColours::checkedAreaFill, &EffectiveColours::selectedCheckedAreaFill,
              &EffectiveColours::menuBorder, &EffectiveColours::menuShadow}) {
            EXPECT_EQ(got.*colour, column.expected.*colour) << "row " << field << " of the table";
            ++field;
        }
    }
}

TEST(FlatGeometryTest, MenuItemSizes) {
    struct Case {
        MenuItemMeasure item;
        Size expected;
    } cases[] = {
        {{.separator = true, .proposedWidth = 30, .proposedHeight = 17}, {30, 4}},
        {{.separator = true, .proposedHeight = 17, .dpi = 144}, {0, 6}},
        {{.textWidth = 48, .textHeight = 12, .proposedHeight = 17}, {83, 21}},
        {{.textWidth = 48, .textHeight = 14, .proposedWidth = 120}, {120, 24}},  // 10.5 -> 10
        {{.textWidth = 60, .textHeight = 12, .ampersandWidth = 6}, {89, 21}},
        {{.textWidth = 10, .textHeight = 8, .glyphWidth = 40, .glyphHeight = 30}, {61, 36}},
        {{.textWidth = 48, .textHeight = 18, .dpi = 144}, {48 + 36 + 5 + 12, 32}},
    };
    for (const Case& c : cases) EXPECT_EQ(measureMenuItem(c.item), c.expected) << c.item.textWidth;
    EXPECT_EQ(measuredMenuText(L"-", L"Ctrl+X"), L"");
    EXPECT_EQ(measuredMenuText(L"选项", L"F2"), L"选项WWWF2");
}

TEST(FlatGeometryTest, MenuItemLayoutAtTwoDpis) {
    const MenuItemLayout text = layoutMenuItem({3, 10, 103, 31}, 0, 24, 96);
    EXPECT_EQ(text.item, (Rect{3, 10, 103, 32}));
    EXPECT_EQ(text.iconColumn, (Rect{3, 10, 27, 32}));
    EXPECT_EQ(text.checkBox, (Rect{10, 16, 20, 26}));
    EXPECT_EQ(text.text, (Rect{27, 10, 103, 32}));
    EXPECT_EQ(text.selection, (Rect{3, 11, 103, 31}));

    const MenuItemLayout separator = layoutMenuItem({3, 10, 103, 14}, 0, 24, 96);
    EXPECT_EQ(separator.separator, (Line{{34, 12}, {103, 12}}));  // middle of 5 rows: 2.5 -> 2

    const MenuItemLayout large = layoutMenuItem({4, 0, 154, 32}, 0, 24, 144);
    EXPECT_EQ(large.iconColumn, (Rect{4, 0, 40, 33}));
    EXPECT_EQ(large.checkBox, (Rect{14, 9, 29, 24}));
    EXPECT_EQ(large.separator.from, (Point{51, 16}));

    const MenuItemLayout glyph = layoutMenuItem({0, 0, 100, 20}, 30, 24, 96);
    EXPECT_EQ(glyph.checkBox, (Rect{1, 2, 31, 19}));
    EXPECT_EQ(glyph.text.left, 34);
}

TEST(FlatGeometryTest, ControlShapes) {
    const Rect button{0, 0, 75, 25};
    for (bool pressed : {false, true}) {
        const ButtonShape shape = buttonShape(button, pressed, 96);
        EXPECT_EQ(shape.shade[0].from.y, pressed ? 2 : 22) << "top or bottom line";
        EXPECT_EQ(shape.shade[1].from.x, pressed ? 2 : 72) << "left or right line";
        EXPECT_EQ(shape.shade[0].from.y, shape.shade[0].to.y);
        EXPECT_EQ(shape.shade[1].from.x, shape.shade[1].to.x);
    }
    const CheckBoxShape check = checkBoxShape({0, 0, 300, 17}, 17, false, 96);
    EXPECT_EQ(check.square, (Rect{0, 0, 17, 17}));
    EXPECT_EQ(check.box, (Rect{2, 2, 15, 15}));
    EXPECT_EQ(checkBoxShape({0, 0, 300, 21}, 17, true, 96).square, (Rect{283, 2, 300, 19}));
    for (const Line& line : check.tick) {
        EXPECT_GE(line.from.x, check.box.left);
        EXPECT_LE(line.to.x, check.box.right);
        EXPECT_GT(line.from.y, check.box.top);
        EXPECT_LT(line.to.y, check.box.bottom);
    }

    const ComboShape combo = comboShape({0, 0, 73, 22}, 17, false, 96);
    EXPECT_EQ(combo.button, (Rect{55, 0, 73, 22}));
    EXPECT_EQ(combo.gap, (Rect{50, 0, 55, 22}));
    ASSERT_EQ(combo.arrow.size(), 3u);
    EXPECT_EQ(combo.arrow[0], (Line{{63, 10}, {68, 10}}));
    EXPECT_EQ(combo.arrow[2], (Line{{65, 12}, {66, 12}}));
    const ComboShape large = comboShape({0, 0, 110, 33}, 25, false, 144);
    ASSERT_EQ(large.arrow.size(), 5u) << "9 pixels wide at 144 DPI";
    EXPECT_EQ(large.arrow[4].to.x - large.arrow[4].from.x, 1);
    EXPECT_EQ(comboShape({0, 0, 73, 22}, 17, true, 96).button, (Rect{0, 0, 18, 22}));

    const GroupBoxShape group = groupBoxShape({0, 0, 333, 88}, 48, 12, false, 96);
    EXPECT_EQ(group.frame.top, 6);
    EXPECT_EQ(group.caption, (Point{9, 0}));
    EXPECT_EQ(groupBoxShape({0, 0, 333, 88}, 48, 12, true, 144).caption.x, 333 - 14 - 48);
}

}  // namespace
}  // namespace nimbrel::flat
