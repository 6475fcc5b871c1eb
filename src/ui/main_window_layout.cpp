// The main window's controls, placed at 96 DPI and scaled to the system's.
#include "ui/captions.h"
#include "ui/control_ids.h"
#include "ui/main_window.h"

#include <commctrl.h>

namespace nimbrel {
namespace {

constexpr Box kPageBox{129, 10, 360, 305};

struct Check {
    int id;
    const wchar_t* caption;
    Box box;
    bool designChecked;  // what the window shows until the settings are loaded
};

// Check boxes sit inside their group boxes; positions are on the page.
constexpr Check kOptionChecks[] = {
    {ids::CheckBox1, L"关闭弹出窗口", {9 + 9, 23 + 19, 300, 17}, true},
    {ids::CheckBox2, L"阻挡广告链接,广告站点", {9 + 9, 23 + 42, 300, 17}, true},
    {ids::CheckBox3, L"清除广告条,图形广告和flash广告", {9 + 9, 23 + 65, 300, 17}, false},
    {ids::CheckBox5, L"随着windows启动", {9 + 11, 177 + 20, 160, 17}, true},
    {ids::CheckBox10, L"阻止网页时通知", {9 + 180, 177 + 20, 140, 17}, true},  // beside it: the group is full
    {ids::CheckBox6, L"启动后最小化到托盘", {9 + 11, 177 + 43, 300, 17}, false},
    {ids::CheckBox9, L"一直在最前端", {9 + 11, 177 + 66, 300, 17}, false},
    {ids::CheckBox8, L"允许使用热键", {9 + 11, 177 + 88, 300, 17}, true},
};

}  // namespace

void TTarnwickForm1::createControls() {
    font_ = createSongFont(scale_, 12);
    boldFont_ = createSongFont(scale_, 12, true);
    homePageFont_ = createFont(scale_, L"MS Sans Serif", 15, DEFAULT_CHARSET);
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    OptionPanel_.create(hwnd(), kPageBox, scale_, Panel::Bevel::raised, face, ids::OptionPanel);
    ExceptionPanel_.create(hwnd(), kPageBox, scale_, Panel::Bevel::raised, face, ids::ExceptionPanel);
    LogsPanel_.create(hwnd(), kPageBox, scale_, Panel::Bevel::raised, face, ids::LogsPanel);
    showPage(1);  // the design's front page, also when start-up fails before selecting it
    createNavigationStrip();
    createOptionPage();
    createExceptionPage();
    createLogPage();
    createBottom();
}

void TTarnwickForm1::createOptionPage() {
    HWND page = OptionPanel_.hwnd();
    createControl(page, WC_STATICW, L"选项:", 0, {9, 6, 60, 14}, ids::Label30, boldFont_.get(), scale_);
    createControl(page, WC_BUTTONW, L"设置类型", BS_GROUPBOX, {9, 23, 333, 88}, ids::GroupBox3, font_.get(), scale_);
    createControl(page, WC_BUTTONW, L"设置等级", BS_GROUPBOX, {9, 118, 333, 53}, ids::GroupBox6, font_.get(), scale_);
    createControl(page, WC_BUTTONW, L"一般选项", BS_GROUPBOX, {9, 177, 333, 116}, ids::GroupBox5, font_.get(),
                  scale_);
    for (const Check& check : kOptionChecks) {
        HWND box = createControl(page, WC_BUTTONW, check.caption, BS_AUTOCHECKBOX | WS_TABSTOP, check.box, check.id,
                                 font_.get(), scale_);
        SendMessageW(box, BM_SETCHECK, check.designChecked ? BST_CHECKED : BST_UNCHECKED, 0);
    }
    HWND combo = createControl(page, WC_COMBOBOXW, L"", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP,
                               {9 + 8, 118 + 18, 73, 150}, ids::SensitivityComboBox, font_.get(), scale_);
    for (const wchar_t* name : kLevelNames) SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
    createControl(page, WC_STATICW, kLevelDescriptions[1], SS_LEFT, {9 + 88, 118 + 22, 240, 14},
                  ids::SensitivityLabel, font_.get(), scale_);
}

void TTarnwickForm1::createBottom() {
    Panel4_.create(hwnd(), {8, 323, 484, 2}, scale_, Panel::Bevel::lowered, GetSysColor(COLOR_BTNFACE), ids::Panel4);
    HWND home = createControl(hwnd(), WC_STATICW, kHomePageLabel, SS_LEFT, {9, 334, 92, 16}, ids::Label29,
                              homePageFont_.get(), scale_);
    EnableWindow(home, FALSE);
    createControl(hwnd(), WC_BUTTONW, L"确定", BS_DEFPUSHBUTTON | WS_TABSTOP, {329, 331, 75, 25}, ids::Button1,
                  font_.get(), scale_);
    createControl(hwnd(), WC_BUTTONW, L"退出", BS_PUSHBUTTON | WS_TABSTOP, {416, 331, 75, 25}, ids::Button6,
                  font_.get(), scale_);
}

void TTarnwickForm1::createTrayMenu() {
    HMENU levels = CreatePopupMenu();
    for (int level = 0; level < kLevelCount; ++level)
        AppendMenuW(levels, MF_STRING, ids::kLevelItems[level], kLevelNames[level]);
    PopupMenu1_.reset(CreatePopupMenu());
    HMENU menu = PopupMenu1_.get();
    AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(levels), L"设置类型");  // the menu owns it now
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING, ids::Preferences1, L"选项");
    AppendMenuW(menu, MF_STRING, ids::Exception1, L"例外");
    AppendMenuW(menu, MF_STRING, ids::V1, L"日志");
    AppendMenuW(menu, MF_STRING, ids::FilterLists1, L"过滤列表...");
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING, ids::Visitoursite1, L"访问主页");
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING, ids::CloseTarnwick1, L"退出");
    checkLevelItem(1);  // the design's level, until the settings are loaded
}
// The flat look of the menu and the controls, in the main window's design values; with
// system colours on, the selection colour is stored but not drawn.
void TTarnwickForm1::createFlatLook() {
    constexpr flat::ColorNumber kSelectColour = 10280695;
    FlatLook1.Font = createSongFont(scale_, 12);
    FlatLook1.Colours.SelectColor = FlatLook1.Colours.SelectBorderColor = FlatLook1.Colours.CheckedColor =
        kSelectColour;
    FlatLook1.attach(hwnd(), {PopupMenu1_.get()});
    FlatLook1.setActive(true);
}

// Only the front page is shown: the pages behind it are hidden, not just covered, so that
// the keyboard never reaches their controls.
void TTarnwickForm1::showPage(int page) {
    Panel* pages[] = {&OptionPanel_, &ExceptionPanel_, &LogsPanel_};
    if (page < 1 || page > 3) return;
    pages[page - 1]->bringToFront();
    for (int other = 1; other <= 3; ++other)
        if (other != page) ShowWindow(pages[other - 1]->hwnd(), SW_HIDE);
}

// Brings a page to the front, remembers it as the current one and redraws the captions.
void TTarnwickForm1::selectPage(int page) {
    showPage(page);
    curpage = page;
    InitLabel1234();
}

}  // namespace nimbrel
