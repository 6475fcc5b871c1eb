#include "ui/filter_list_add_form.h"

#include "filter/filter_lists.h"
#include "platform/error.h"
#include "platform/window_text.h"
#include "ui/control_ids.h"
#include "ui/file_dialogs.h"
#include "ui/messages_box.h"

#include <commctrl.h>

#include <string>

namespace nimbrel {
namespace {

namespace id = ids::addfilterlist;

constexpr int kClientWidth = 460;
constexpr int kClientHeight = 150;
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;

// A public list the drop-down offers: the name it fills in and its address.
struct KnownFilterList {
    const wchar_t* name;
    const wchar_t* address;
};
constexpr KnownFilterList kKnownLists[] = {
    {L"EasyList", L"https://easylist.to/easylist/easylist.txt"},
    {L"EasyList China", L"https://easylist-downloads.adblockplus.org/easylistchina.txt"},
    {L"EasyPrivacy", L"https://easylist.to/easylist/easyprivacy.txt"},
    {L"pgl.yoyo.org 广告服务器列表",
     L"https://pgl.yoyo.org/adservers/serverlist.php?hostformat=hosts&showintro=0&mimetype=plaintext"},
};

}  // namespace

TAddFilterListForm::TAddFilterListForm(FilterListManager& lists) : lists_(lists) {
    registerClass(kClassName, nullptr, GetSysColorBrush(COLOR_BTNFACE));
}

TAddFilterListForm::~TAddFilterListForm() { destroy(); }

void TAddFilterListForm::FormCreate() {
    createControls();
    FlatLook1.Font = createSongFont(scale_, 12);
    FlatLook1.attach(hwnd(), {});
    FlatLook1.setActive(true);
}

void TAddFilterListForm::createControls() {
    font_ = createSongFont(scale_, 12);
    const HWND self = hwnd();
    createControl(self, WC_STATICW, L"常用列表:", SS_LEFT, {12, 16, 64, 14}, id::Label1, font_.get(), scale_);
    const HWND combo = createControl(self, WC_COMBOBOXW, L"", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP,
                                     {80, 12, 368, 150}, id::ComboBox1, font_.get(), scale_);
    for (const KnownFilterList& known : kKnownLists)
        SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(known.name));
    createControl(self, WC_STATICW, L"名称:", SS_LEFT, {12, 46, 64, 14}, id::Label2, font_.get(), scale_);
    createControl(self, WC_EDITW, L"", ES_AUTOHSCROLL | WS_TABSTOP, {80, 42, 368, 21}, id::Edit1, font_.get(),
                  scale_, WS_EX_CLIENTEDGE);
    createControl(self, WC_STATICW, L"地址:", SS_LEFT, {12, 76, 64, 14}, id::Label3, font_.get(), scale_);
    createControl(self, WC_EDITW, L"", ES_AUTOHSCROLL | WS_TABSTOP, {80, 72, 287, 21}, id::Edit2, font_.get(),
                  scale_, WS_EX_CLIENTEDGE);
    createControl(self, WC_BUTTONW, L"浏览...", BS_PUSHBUTTON | WS_TABSTOP, {373, 71, 75, 23}, id::Button1,
                  font_.get(), scale_);
    Panel1_.create(self, {8, 106, 444, 2}, scale_, Panel::Bevel::lowered, GetSysColor(COLOR_BTNFACE), id::Panel1);
    createControl(self, WC_BUTTONW, L"确定", BS_DEFPUSHBUTTON | WS_TABSTOP, {292, 117, 75, 25}, id::Button2,
                  font_.get(), scale_);
    createControl(self, WC_BUTTONW, L"取消", BS_PUSHBUTTON | WS_TABSTOP, {373, 117, 75, 25}, id::Button3,
                  font_.get(), scale_);
}

bool TAddFilterListForm::ShowModal(HWND owner) {
    if (modal_) return false;
    if (!hwnd())
        createCentred(kExStyle, kClassName, L"添加过滤列表", kStyle, scale_(kClientWidth), scale_(kClientHeight), owner,
                      owner);
    if (!hwnd()) throw Error(L"Cannot create the window");
    modal_ = true;
    added_ = false;
    EnableWindow(owner, FALSE);
    ShowWindow(hwnd(), SW_SHOW);
    SetForegroundWindow(hwnd());
    SetFocus(GetDlgItem(hwnd(), id::ComboBox1));
    runModalLoop();
    modal_ = false;
    EnableWindow(owner, TRUE);  // before hiding, so that the owner gets the activation back
    destroy();
    SetForegroundWindow(owner);
    return added_;
}

void TAddFilterListForm::close(bool added) {
    added_ = added;
    modal_ = false;
    PostMessageW(hwnd(), WM_NULL, 0, 0);  // wakes the modal loop
}

void TAddFilterListForm::ComboBox1Change() {
    const auto chosen = SendDlgItemMessageW(hwnd(), id::ComboBox1, CB_GETCURSEL, 0, 0);
    if (chosen < 0 || static_cast<size_t>(chosen) >= std::size(kKnownLists)) return;
    SetDlgItemTextW(hwnd(), id::Edit1, kKnownLists[chosen].name);
    SetDlgItemTextW(hwnd(), id::Edit2, kKnownLists[chosen].address);
}

void TAddFilterListForm::Button1Click() {
    const auto path = chooseFileToOpen(
        hwnd(), {.title = L"选择过滤列表文件", .filter = L"文本文件 (*.txt)\0*.txt\0所有文件 (*.*)\0*.*\0"});
    if (path) SetDlgItemTextW(hwnd(), id::Edit2, path->c_str());
}

// Adding starts the list's first update (a list without a name takes its file's name); a
// refused source leaves the dialog as it was, with the reason shown.
void TAddFilterListForm::Button2Click() {
    const HWND source = GetDlgItem(hwnd(), id::Edit2);
    try {
        lists_.add(windowText(GetDlgItem(hwnd(), id::Edit1)), windowText(source));
    } catch (const Error& error) {
        showMessage(hwnd(), error.text());
        SetFocus(source);
        SendMessageW(source, EM_SETSEL, 0, -1);
        return;
    }
    close(true);
}

void TAddFilterListForm::Button3Click() { close(false); }

bool TAddFilterListForm::handleCommand(int control, int notification) {
    if (control == id::ComboBox1) {
        if (notification == CBN_SELCHANGE) ComboBox1Change();
        return true;
    }
    if (notification != BN_CLICKED) return false;
    switch (control) {
    case id::Button1: Button1Click(); return true;
    case IDOK:
    case id::Button2: Button2Click(); return true;
    case IDCANCEL:
    case id::Button3: Button3Click(); return true;
    default: return false;
    }
}

LRESULT TAddFilterListForm::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (const std::optional<LRESULT> flat = FlatLook1.route(message, wParam, lParam)) return *flat;
    switch (message) {
    case WM_CREATE: FormCreate(); return 0;
    case WM_COMMAND:
        if (handleCommand(LOWORD(wParam), HIWORD(wParam))) return 0;
        break;
    case DM_GETDEFID: return MAKELRESULT(id::Button2, DC_HASDEFID);
    case WM_CLOSE: Button3Click(); return 0;
    default: break;
    }
    return Window::handleMessage(message, wParam, lParam);
}

}  // namespace nimbrel
