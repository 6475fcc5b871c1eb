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
    CheckBox10,  // 阻止网页时通知
    Label17 = 220,
    Label38,
    Memo1,
    Label37,
    Memo2,
    Panel10,
    Button7,
    Label16,
    Label15,
    ListView1,
    Button3,
    Button8,  // the exception page's "过滤列表..."
    Label18,  // the log page's counts
    Button1 = 300,
    Button6,
    Label29,
    Panel4,
    Image11 = 400,  // the navigation strip's pictures, by page number 1 to 4
    Image12,
    Image13,
    Image14,
    Label1 = 410,  // their captions
    Label2,
    Label3,
    Label4,
};

inline constexpr int kNavigationPictures[] = {Image11, Image12, Image13, Image14};
inline constexpr int kNavigationCaptions[] = {Label1, Label2, Label3, Label4};

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
    ImportAdServerList1,  // the black-list box's menu
    CopyAddress1,         // the block log's menu
    ExportLog1,
    FilterLists1,  // the tray menu's "过滤列表..."
    PassOnce1,     // the block log's "放行一次"
    AllowSite1,    // the block log's menu, for the selected row
    ShowBlackLine1,
    CopyReason1,
};

// The About window's controls.
namespace about {
enum Control : int {
    Image2 = 100,
    Label2,
    Label7,
    Label1,
    Label4,
    Label3,
    Label5,
    Panel1,
    Button1,
};
}  // namespace about

// The filter-list window's controls.
namespace filterlists {
enum Control : int {
    ListView1 = 100,
    Panel1,
    Button1,  // 添加...
    Button2,  // 删除
    Button3,  // 立即更新
    Button4,  // 关闭
};
}  // namespace filterlists

// The dialog that adds a filter list.
namespace addfilterlist {
enum Control : int {
    Label1 = 100,
    ComboBox1,  // the well-known lists
    Label2,
    Edit1,  // 名称
    Label3,
    Edit2,  // 地址
    Button1,  // 浏览...
    Panel1,
    Button2,  // 确定
    Button3,  // 取消
};
}  // namespace addfilterlist

// The tray menu's level items, by level "0" to "4".
inline constexpr int kLevelItems[] = {oplevel1, Highlevel1, Normallevel1, Lowlevel1, Nonedisable1};

enum Timer : int {
    Timer1 = 1,
    Timer2 = 2,
    Timer3 = 3,
    Timer4 = 4,
    Timer6 = 6,
    ShellRetryTimer = 7,
    PruneTimer = 8,
    ShellCheckTimer = 9,
    NoticeTimer = 10,
    CountsTimer = 11,  // just after midnight: today's count starts anew
};

}  // namespace nimbrel::ids
