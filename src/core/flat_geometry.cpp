#include "core/flat_geometry.h"

#include "core/flat_colours.h"

#include <algorithm>

namespace nimbrel::flat {

int scaled(int pixels, int dpi) { return (pixels * dpi + 48) / 96; }

std::wstring measuredMenuText(const std::wstring& caption, const std::wstring& shortcut) {
    if (isSeparatorCaption(caption)) return {};
    return shortcut.empty() ? caption : caption + L"WWW" + shortcut;
}

Size measureMenuItem(const MenuItemMeasure& item) {
    const int px = item.dpi;
    if (item.separator) return {std::max(item.proposedWidth, 0), scaled(4, px)};
    int width = item.textWidth + scaled(5, px) - item.ampersandWidth;
    if (item.glyphWidth > 0) width += item.glyphWidth;
    // The text is drawn right of the icon column, 3 pixels in: keep it inside the item.
    const int textStart = std::max(scaled(item.iconWidth, px), item.glyphWidth);
    width = std::max(width, textStart + scaled(3, px) + item.textWidth - item.ampersandWidth + scaled(8, px));
    int height = item.textHeight + roundHalfEven(item.textHeight * 75, 100);
    height = std::max(height, item.glyphHeight + scaled(6, px));
    return {std::max(width, item.proposedWidth), std::max(height, item.proposedHeight)};
}

MenuItemLayout layoutMenuItem(const Rect& itemRect, int glyphWidth, int iconWidth, int dpi) {
    MenuItemLayout l;
    l.item = itemRect;
    l.item.bottom += 1;
    const int icon = scaled(iconWidth, dpi);
    l.iconColumn = {l.item.left, l.item.top, l.item.left + icon, l.item.bottom};
    if (glyphWidth > 0) {
        l.checkBox = {l.iconColumn.left + 1, l.iconColumn.top + 2, l.iconColumn.right - 3, l.iconColumn.bottom - 2};
        l.checkBox.right = std::max(l.checkBox.right, l.checkBox.left + glyphWidth);
    } else {
        const int side = scaled(10, dpi);
        const int left = l.iconColumn.left + (icon - side) / 2;
        const int top = l.iconColumn.top + (l.item.height() - side) / 2;
        l.checkBox = {left, top, left + side, top + side};
    }
    l.text = {l.item.left + icon, l.item.top, l.item.right, l.item.bottom};
    if (l.text.left < l.item.left + glyphWidth) l.text.left = l.item.left + glyphWidth + scaled(4, dpi);
    l.selection = {l.item.left, l.item.top + 1, l.item.right, l.item.bottom - 1};
    const int middle = l.text.top + roundHalfEven(l.text.height(), 2);
    l.separator = {{l.text.left + scaled(7, dpi), middle}, {l.text.right, middle}};
    return l;
}

ButtonShape buttonShape(const Rect& client, bool pressed, int dpi) {
    ButtonShape s;
    s.body = client;
    s.corner = scaled(4, dpi);
    const int in = std::max(1, s.corner / 2);
    const Rect r{client.left + in, client.top + in, client.right - in - 1, client.bottom - in - 1};
    if (pressed)
        s.shade = {Line{{r.left, r.top}, {r.right, r.top}}, Line{{r.left, r.top}, {r.left, r.bottom}}};
    else
        s.shade = {Line{{r.left, r.bottom}, {r.right + 1, r.bottom}}, Line{{r.right, r.top}, {r.right, r.bottom}}};
    return s;
}

CheckBoxShape checkBoxShape(const Rect& client, int thumbWidth, bool atRight, int dpi) {
    CheckBoxShape s;
    const int top = client.top + (client.height() - thumbWidth) / 2;
    const int left = atRight ? client.right - thumbWidth : client.left;
    s.square = {left, top, left + thumbWidth, top + thumbWidth};
    s.box = {s.square.left + 2, s.square.top + 2, s.square.right - 2, s.square.bottom - 2};
    // A tick two pixels thick: down from the left third, then up to the top right.
    const int w = s.box.width();
    const int x0 = s.box.left + w / 4, x1 = s.box.left + w * 4 / 9, x2 = s.box.right - w / 5;
    const int y1 = s.box.bottom - w / 4, y0 = y1 - (x1 - x0), y2 = y1 - (x2 - x1);
    const int thick = std::max(1, scaled(1, dpi));
    s.tick = {Line{{x0, y0}, {x1, y1}}, Line{{x1, y1}, {x2 + 1, y2 - 1}}, Line{{x0, y0 + thick}, {x1, y1 + thick}},
              Line{{x1, y1 + thick}, {x2 + 1, y2 - 1 + thick}}};
    return s;
}

ComboShape comboShape(const Rect& client, int thumbWidth, bool rightToLeft, int dpi) {
    ComboShape s;
    const int width = thumbWidth + 1;
    const int gap = scaled(5, dpi);
    if (rightToLeft) {
        s.button = {client.left, client.top, client.left + width, client.bottom};
        s.gap = {s.button.right, client.top, s.button.right + gap, client.bottom};
        s.gapLine = {{s.gap.right - 1, client.top}, {s.gap.right - 1, client.bottom}};
    } else {
        s.button = {client.right - width, client.top, client.right, client.bottom};
        s.gap = {s.button.left - gap, client.top, s.button.left, client.bottom};
        s.gapLine = {{s.gap.left, client.top}, {s.gap.left, client.bottom}};
    }
    const int top = client.top + scaled(10, dpi);
    const int left = rightToLeft ? client.left + scaled(5, dpi) : client.right - scaled(10, dpi);
    const int arrowWidth = scaled(5, dpi) | 1;  // odd, so that the triangle ends in one pixel
    for (int row = 0; 2 * row < arrowWidth; ++row)
        s.arrow.push_back({{left + row, top + row}, {left + arrowWidth - row, top + row}});
    return s;
}

GroupBoxShape groupBoxShape(const Rect& client, int captionWidth, int captionHeight, bool rightToLeft, int dpi) {
    GroupBoxShape s;
    s.frame = {client.left, client.top + captionHeight / 2, client.right, client.bottom};
    const int in = scaled(9, dpi);
    s.caption = {rightToLeft ? client.right - in - captionWidth : client.left + in, client.top};
    return s;
}

}  // namespace nimbrel::flat
