// The tray menu as the program builds it: every item in its place, the separators, and
// the five levels as one radio group with exactly one (radio) mark.
#include "ui/control_ids.h"
#include "ui/main_window_fixture.h"

#include <string>

namespace nimbrel::testing {
namespace {

struct Item {
    UINT id;  // 0: a separator
    const wchar_t* caption;
};

std::wstring itemText(HMENU menu, UINT position) {
    wchar_t text[64] = {};
    GetMenuStringW(menu, position, text, 64, MF_BYPOSITION);
    return text;
}

UINT itemType(HMENU menu, UINT position) {
    MENUITEMINFOW info{sizeof(info), MIIM_FTYPE};
    GetMenuItemInfoW(menu, position, TRUE, &info);
    return info.fType;
}

using TrayMenuTest = MainWindowTest;

TEST_F(TrayMenuTest, HoldsEveryItemInOrderWithTheLevelsAsARadioGroup) {
    start();
    const HMENU menu = form->trayMenu();
    const Item items[] = {
        {0xFFFFFFFF, L"设置类型"},
        {0, nullptr},
        {ids::Preferences1, L"选项"},
        {ids::Exception1, L"例外"},
        {ids::V1, L"日志"},
        {ids::FilterLists1, L"过滤列表..."},
        {0, nullptr},
        {ids::Visitoursite1, L"访问主页"},
        {0, nullptr},
        {ids::CloseTarnwick1, L"退出"},
    };
    ASSERT_EQ(GetMenuItemCount(menu), static_cast<int>(std::size(items)));
    for (UINT position = 0; position < std::size(items); ++position) {
        SCOPED_TRACE(position);
        const Item& item = items[position];
        if (item.caption == nullptr) {
            EXPECT_TRUE(itemType(menu, position) & MFT_SEPARATOR);
            continue;
        }
        EXPECT_EQ(itemText(menu, position), item.caption);
        EXPECT_EQ(GetMenuItemID(menu, static_cast<int>(position)), item.id);
    }
    EXPECT_EQ(GetMenuDefaultItem(menu, FALSE, 0), static_cast<UINT>(-1)) << "no default entry";

    const HMENU levels = GetSubMenu(menu, 0);
    ASSERT_NE(levels, nullptr);
    const wchar_t* const names[] = {L"最高", L"高级", L"一般", L"低级", L"最低"};
    ASSERT_EQ(GetMenuItemCount(levels), 5);
    for (int level = 0; level < 5; ++level) {
        SCOPED_TRACE(level);
        EXPECT_EQ(itemText(levels, static_cast<UINT>(level)), names[level]);
        EXPECT_EQ(GetMenuItemID(levels, level), static_cast<UINT>(ids::kLevelItems[level]));
    }
}

TEST_F(TrayMenuTest, ExactlyOneLevelCarriesTheMarkAndItFollowsTheLevelCommands) {
    start();
    const HMENU levels = GetSubMenu(form->trayMenu(), 0);
    // The marked levels, each drawn as a radio mark rather than a tick.
    const auto marked = [&] {
        std::wstring seen;
        for (int level = 0; level < 5; ++level) {
            if (!levelItemChecked(ids::kLevelItems[level])) continue;
            seen += static_cast<wchar_t>(L'0' + level);
            EXPECT_TRUE(itemType(levels, static_cast<UINT>(level)) & MFT_RADIOCHECK) << level;
        }
        return seen;
    };
    EXPECT_EQ(marked(), L"1") << "a first start has level 1";
    form->Lowlevel1Click();
    EXPECT_EQ(marked(), L"3");
    form->oplevel1Click();
    EXPECT_EQ(marked(), L"0");
}

}  // namespace
}  // namespace nimbrel::testing
