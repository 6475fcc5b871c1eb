// The settings as the main window shows them: options page, level box and the level
// items of the tray menu.
#include "app/settings_store.h"
#include "ui/captions.h"
#include "ui/control_ids.h"
#include "ui/main_window.h"

#include <string>

namespace nimbrel {
namespace {

struct FlagBox {
    int id;
    std::wstring Settings::*flag;
};

constexpr FlagBox kFlagBoxes[] = {
    {ids::CheckBox1, &Settings::killpop},  {ids::CheckBox2, &Settings::killurl},
    {ids::CheckBox3, &Settings::killbanner}, {ids::CheckBox5, &Settings::autostart},
    {ids::CheckBox8, &Settings::enhotcut}, {ids::CheckBox6, &Settings::automin},
    {ids::CheckBox9, &Settings::autoontop}, {ids::CheckBox10, &Settings::shownotice},
};

}  // namespace

bool TTarnwickForm1::isChecked(int id) const {
    return SendMessageW(control(id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void TTarnwickForm1::setChecked(int id, bool checked) {
    SendMessageW(control(id), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void TTarnwickForm1::initform() {
    loadsettings(settings);
    for (const FlagBox& box : kFlagBoxes) setChecked(box.id, isOn(settings.*box.flag));
    const int level = levelIndex(settings.killlevel);
    settings.killlevel = levelText(level);
    SendMessageW(control(ids::SensitivityComboBox), CB_SETCURSEL, level, 0);
    SensitivityComboBoxChange();
    checkLevelItem(level);
    loadLists();
}

// The level box's entry decides the level at once; it is saved only by a confirm or a
// level command.
void TTarnwickForm1::SensitivityComboBoxChange() {
    const auto selected = static_cast<int>(SendMessageW(control(ids::SensitivityComboBox), CB_GETCURSEL, 0, 0));
    const int level = (selected >= 0 && selected < kLevelCount) ? selected : 1;
    const std::wstring text = std::wstring(L" - ") + kLevelDescriptions[level];
    SetWindowTextW(control(ids::SensitivityLabel), text.c_str());
    settings.killlevel = levelText(level);
}

void TTarnwickForm1::checkLevelItem(int level) {
    CheckMenuRadioItem(PopupMenu1_.get(), ids::kLevelItems[0], ids::kLevelItems[kLevelCount - 1], ids::kLevelItems[level],
                       MF_BYCOMMAND);
}

void TTarnwickForm1::levelCommand(int level) {
    checkLevelItem(level);
    SendMessageW(control(ids::SensitivityComboBox), CB_SETCURSEL, level, 0);
    SensitivityComboBoxChange();
    settings.killlevel = levelText(level);
    savesettings(settings);
}

void TTarnwickForm1::oplevel1Click() { levelCommand(0); }
void TTarnwickForm1::Highlevel1Click() { levelCommand(1); }
void TTarnwickForm1::Normallevel1Click() { levelCommand(2); }
void TTarnwickForm1::Lowlevel1Click() { levelCommand(3); }
void TTarnwickForm1::Nonedisable1Click() { levelCommand(4); }

// Confirm: the controls become the settings, everything is saved and re-read, and the
// program goes to the tray.
void TTarnwickForm1::Button1Click() {
    for (const FlagBox& box : kFlagBoxes) settings.*box.flag = flagText(isChecked(box.id));
    const auto selected = static_cast<int>(SendMessageW(control(ids::SensitivityComboBox), CB_GETCURSEL, 0, 0));
    settings.killlevel = levelText(selected);
    saveLists();
    savesettings(settings);
    initform();
    if (isOn(settings.autostart))
        addautorun();
    else
        removeautorun();
    applyAlwaysOnTop();
    minimiseProgram();
}

}  // namespace nimbrel
