// The exception page (the two lists) and the log page (the block log).
#include "ui/context_menus.h"
#include "ui/control_ids.h"
#include "ui/main_window.h"

#include <commctrl.h>

namespace nimbrel {
namespace {

constexpr DWORD kMemoStyle = ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_WANTRETURN | WS_VSCROLL |
                             WS_TABSTOP;

// A multi-line edit box asks for every key; Tab is left to the window, so that it moves
// on to the next control instead of staying in the list. It also keeps quiet when its whole
// text is set, by us or by another program: it reports that as a change, as any edit does.
LRESULT CALLBACK memoBehaviour(HWND memo, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
    LRESULT result = DefSubclassProc(memo, message, wParam, lParam);
    if (message == WM_SETTEXT && result) {
        SendMessageW(GetParent(memo), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(memo), EN_CHANGE),
                     reinterpret_cast<LPARAM>(memo));
    }
    const auto* key = reinterpret_cast<const MSG*>(lParam);
    if (message == WM_GETDLGCODE && key && key->message == WM_KEYDOWN && key->wParam == VK_TAB)
        result &= ~(DLGC_WANTALLKEYS | DLGC_WANTTAB | DLGC_WANTMESSAGE);
    return result;
}

HWND createMemo(HWND page, const Box& box, int id, HFONT font, const Scaler& scale) {
    HWND memo = createControl(page, WC_EDITW, L"", kMemoStyle, box, id, font, scale, WS_EX_CLIENTEDGE);
    SendMessageW(memo, EM_SETLIMITTEXT, 0, 0);  // lists have no size limit
    SetWindowSubclass(memo, memoBehaviour, 0, 0);
    return memo;
}

void addHint(HWND owner, HWND tool, const wchar_t* text) {
    HWND tip = CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                               CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr, GetModuleHandleW(nullptr), nullptr);
    TTTOOLINFOW info{};
    info.cbSize = sizeof(info);
    info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    info.hwnd = owner;
    info.uId = reinterpret_cast<UINT_PTR>(tool);
    info.lpszText = const_cast<wchar_t*>(text);
    SendMessageW(tip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
}

}  // namespace

void TTarnwickForm1::createExceptionPage() {
    HWND page = ExceptionPanel_.hwnd();
    createControl(page, WC_STATICW, L"例外:", 0, {9, 6, 60, 14}, ids::Label17, boldFont_.get(), scale_);
    createControl(page, WC_STATICW, L"白名单(不会被清除的地址): ", 0, {9, 22, 200, 14}, ids::Label38, font_.get(),
                  scale_);
    createMemo(page, {9, 40, 321, 95}, ids::Memo1, font_.get(), scale_);
    createControl(page, WC_STATICW, L"黑名单(会被清除的地址): ", 0, {9, 142, 200, 14}, ids::Label37, font_.get(),
                  scale_);
    forwardContextMenu(createMemo(page, {9, 158, 321, 97}, ids::Memo2, font_.get(), scale_));
    Panel10_.create(page, {9, 266, 321, 2}, scale_, Panel::Bevel::lowered, GetSysColor(COLOR_BTNFACE),
                    ids::Panel10);
    createControl(page, WC_BUTTONW, L"过滤列表...", BS_PUSHBUTTON | WS_TABSTOP, {98, 273, 113, 25}, ids::Button8,
                  font_.get(), scale_);
    createControl(page, WC_BUTTONW, L"查看当前地址列表", BS_PUSHBUTTON | WS_TABSTOP, {217, 273, 113, 25},
                  ids::Button7, font_.get(), scale_);
}

void TTarnwickForm1::createLogPage() {
    HWND page = LogsPanel_.hwnd();
    createControl(page, WC_STATICW, L"日志:", 0, {9, 6, 60, 14}, ids::Label16, boldFont_.get(), scale_);
    createControl(page, WC_STATICW, L"移除广告日志 (双击列表可将地址加入到白名单).", 0, {9, 22, 264, 16},
                  ids::Label15, font_.get(), scale_);
    HWND counts = createControl(page, WC_STATICW, L"", SS_LEFTNOWORDWRAP | SS_NOPREFIX, {9, 38, 327, 16},
                                ids::Label18, font_.get(), scale_);
    countsLine_.attach(counts, hwnd(), ids::CountsTimer);
    HWND list = createControl(page, WC_LISTVIEWW, L"", LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | WS_TABSTOP,
                              {9, 54, 327, 211}, ids::ListView1, font_.get(), scale_, WS_EX_CLIENTEDGE);
    blockLog_.attach(list);
    addHint(page, list, L"Double click to copy selected url to white list");
    createControl(page, WC_BUTTONW, L"清除", BS_PUSHBUTTON | WS_TABSTOP, {256, 275, 75, 23}, ids::Button3,
                  font_.get(), scale_);
}

}  // namespace nimbrel
