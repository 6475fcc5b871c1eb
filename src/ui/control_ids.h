// Identifiers of the main window's controls, menu items and timers.
#pragma once

namespace nimbrel::ids {

enum Control : int {
    OptionPanel = 100,
    ExceptionPanel,
    LogsPanel,
    ImagePanel,
    CheckBox1 = 200,
    CheckBox2,
    CheckBox3,
    CheckBox5,
    CheckBox6,
    CheckBox8,
    CheckBox9,
    SensitivityComboBox,
    SensitivityLabel,
    GroupBox3,
    GroupBox5,
    GroupBox6,
    Label30,
    Button1 = 300,
    Button6,
    Label29,
};

enum MenuItem : int {
    oplevel1 = 1000,
    Highlevel1,
    Normallevel1,
    Lowlevel1,
    Nonedisable1,
    Preferences1,
    Exception1,
    V1,
    Visitoursite1,
    CloseTarnwick1,
};

// The tray menu's level items, by level "0" to "4".
inline constexpr int kLevelItems[] = {oplevel1, Highlevel1, Normallevel1, Lowlevel1, Nonedisable1};

enum Timer : int {
    Timer1 = 1,
    Timer2 = 2,
    Timer3 = 3,
    Timer4 = 4,
    Timer6 = 6,
};

}  // namespace nimbrel::ids
