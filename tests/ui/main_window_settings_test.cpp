// Start-up, confirm and the level commands, against the real registry of the test prefix.
#include "ui/captions.h"
#include "ui/main_window_fixture.h"

namespace nimbrel::testing {
namespace {

constexpr int kFlagBoxes[] = {ids::CheckBox1, ids::CheckBox2, ids::CheckBox3, ids::CheckBox5,
                              ids::CheckBox6, ids::CheckBox8, ids::CheckBox9};

TEST_F(MainWindowTest, FirstStartWithoutAKeyCreatesItWithLevelOneAndNoBoxChecked) {
    MessageBoxAnswerer answerer;
    TTarnwickForm1& window = start();
    EXPECT_TRUE(settingsKeyExists());
    EXPECT_EQ(storedText(kSettingsKey, kRunningFlagValue), L"1");
    EXPECT_EQ(window.settings.killlevel, L"1");
    for (int id : kFlagBoxes) EXPECT_FALSE(checked(id)) << "box " << id;
    EXPECT_TRUE(checked(ids::CheckBox10)) << "notices are on until switched off";
    EXPECT_EQ(comboSelection(), 1);
    EXPECT_EQ(text(ids::SensitivityLabel), std::wstring(L" - ") + kLevelDescriptions[1]);
    EXPECT_TRUE(levelItemChecked(ids::Highlevel1));
    EXPECT_FALSE(levelItemChecked(ids::oplevel1));
    EXPECT_EQ(window.curpage, 1);
    EXPECT_EQ(answerer.texts(), L"");  // no message at all
    closeForm();
    EXPECT_EQ(storedText(kSettingsKey, kRunningFlagValue), L"0");
}

TEST_F(MainWindowTest, StoredFlagsShowOnlyWhenExactlyOne) {
    storeText(L"killpop", L"yes");
    storeText(L"killurl", L" 1");
    storeText(L"enhotcut", L"1");
    storeText(L"autoontop", L"1");
    storeText(L"shownotice", L"0");
    TTarnwickForm1& window = start();
    EXPECT_FALSE(checked(ids::CheckBox10));
    EXPECT_FALSE(checked(ids::CheckBox1));
    EXPECT_FALSE(checked(ids::CheckBox2));
    EXPECT_TRUE(checked(ids::CheckBox8));
    EXPECT_TRUE(checked(ids::CheckBox9));
    // Wine drops the top-most request of a window that owns tool tips (the log's), so they
    // go before the confirm applies the setting again.
    closeToolTips();
    window.Button1Click();
    EXPECT_TRUE(GetWindowLongW(window.hwnd(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(storedText(kSettingsKey, L"killpop"), L"0");
    EXPECT_EQ(storedText(kSettingsKey, L"killurl"), L"0");
    EXPECT_EQ(storedText(kSettingsKey, L"enhotcut"), L"1");
    EXPECT_EQ(storedText(kSettingsKey, L"shownotice"), L"0");
}

TEST_F(MainWindowTest, UnknownLevelTextsAreShownAndHeldAsLevelOne) {
    for (const wchar_t* stored : {L"7", L"-1", L"word", L"11"}) {
        storeText(L"killlevel", stored);
        TTarnwickForm1& window = start();
        EXPECT_EQ(window.settings.killlevel, L"1") << "stored " << stored;
        EXPECT_EQ(comboSelection(), 1);
        EXPECT_TRUE(levelItemChecked(ids::Highlevel1));
        EXPECT_EQ(storedText(kSettingsKey, L"killlevel"), stored);  // untouched until the next save
        closeForm();
        form.reset();
    }
}

TEST_F(MainWindowTest, AStoredLevelSelectsItsEntryAndMenuItem) {
    storeText(L"killlevel", L"3");
    TTarnwickForm1& window = start();
    EXPECT_EQ(window.settings.killlevel, L"3");
    EXPECT_EQ(comboSelection(), 3);
    EXPECT_TRUE(levelItemChecked(ids::Lowlevel1));
    EXPECT_FALSE(levelItemChecked(ids::Highlevel1));
    EXPECT_EQ(text(ids::SensitivityLabel), std::wstring(L" - ") + kLevelDescriptions[3]);
}

TEST_F(MainWindowTest, ANonStringSettingShowsTheStartupMessageAndTheProgramGoesOn) {
    storeDword(L"killpop", 1);
    MessageBoxAnswerer answerer;
    TTarnwickForm1& window = start();
    pumpMessages(100);
    EXPECT_EQ(answerer.texts(), L"Errror while initiating, Please re-install Nimbrel.|");
    EXPECT_EQ(storedText(kSettingsKey, kRunningFlagValue), L"1");  // done before the failure
    EXPECT_TRUE(window.connectedToShell());                          // the browsers are still attached
    EXPECT_TRUE(IsWindow(window.hwnd()));
}

TEST_F(MainWindowTest, TheLevelBoxChangesTheLevelInMemoryOnly) {
    TTarnwickForm1& window = start();
    HWND combo = form->control(ids::SensitivityComboBox);
    SendMessageW(combo, CB_SETCURSEL, 4, 0);
    SendMessageW(GetParent(combo), WM_COMMAND, MAKEWPARAM(ids::SensitivityComboBox, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(combo));
    EXPECT_EQ(window.settings.killlevel, L"4");
    EXPECT_EQ(text(ids::SensitivityLabel), L" - 不关闭任何窗口.");
    EXPECT_EQ(storedText(kSettingsKey, L"killlevel"), L"");
    EXPECT_TRUE(levelItemChecked(ids::Highlevel1));  // the menu follows at the next confirm
}

TEST_F(MainWindowTest, LevelCommandsSaveAllTenValuesAtOnce) {
    storeText(L"killimage", L"1");
    storeText(L"killpop", L"1");
    TTarnwickForm1& window = start();
    check(ids::CheckBox2, true);  // not confirmed, so not saved by a level command
    SendMessageW(window.hwnd(), WM_COMMAND, MAKEWPARAM(ids::Nonedisable1, 0), 0);
    EXPECT_EQ(storedText(kSettingsKey, L"killlevel"), L"4");
    EXPECT_EQ(storedText(kSettingsKey, L"killimage"), L"1");
    EXPECT_EQ(storedText(kSettingsKey, L"killpop"), L"1");
    EXPECT_EQ(storedText(kSettingsKey, L"killurl"), L"");
    RegKey key = openMachineKey(kSettingsKey);
    for (const auto& field : kSettingFields) EXPECT_TRUE(valueExists(key.get(), field.name));
    EXPECT_TRUE(levelItemChecked(ids::Nonedisable1));
    EXPECT_EQ(comboSelection(), 4);
    EXPECT_EQ(window.settings.killlevel, L"4");

    for (int level = 0; level < 4; ++level) {
        SendMessageW(window.hwnd(), WM_COMMAND, MAKEWPARAM(ids::kLevelItems[level], 0), 0);
        EXPECT_EQ(storedText(kSettingsKey, L"killlevel"), levelText(level));
        EXPECT_TRUE(levelItemChecked(ids::kLevelItems[level]));
    }
}

TEST_F(MainWindowTest, ConfirmSavesTheBoxesMaintainsTheRunValueAndGoesToTheTray) {
    TTarnwickForm1& window = start();
    window.show();
    check(ids::CheckBox1, true);
    check(ids::CheckBox5, true);
    SendMessageW(form->control(ids::SensitivityComboBox), CB_SETCURSEL, 2, 0);
    SendMessageW(window.hwnd(), WM_COMMAND, MAKEWPARAM(ids::Button1, BN_CLICKED), 0);
    EXPECT_EQ(storedText(kSettingsKey, L"killpop"), L"1");
    EXPECT_EQ(storedText(kSettingsKey, L"autostart"), L"1");
    EXPECT_EQ(storedText(kSettingsKey, L"killurl"), L"0");
    EXPECT_EQ(storedText(kSettingsKey, L"killlevel"), L"2");
    EXPECT_EQ(storedText(kSettingsKey, L"killimage"), L"");  // written empty from the first save on
    EXPECT_EQ(storedText(kSettingsKey, L"shownotice"), L"1") << "on when missing, so checked";
    EXPECT_TRUE(levelItemChecked(ids::Normallevel1));
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    EXPECT_EQ(storedText(kRunKey, kAutorunValue), L"\"" + std::wstring(path) + L"\"");
    EXPECT_FALSE(IsWindowVisible(window.hwnd()));  // in the tray

    window.restoreapplication();
    EXPECT_TRUE(IsWindowVisible(window.hwnd()));
    check(ids::CheckBox5, false);
    window.Button1Click();
    RegKey run = openMachineKey(kRunKey);
    EXPECT_FALSE(valueExists(run.get(), kAutorunValue));
}

}  // namespace
}  // namespace nimbrel::testing
