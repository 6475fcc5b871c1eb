#include "ui/main_window.h"

#include "app/settings_store.h"
#include "core/messages.h"
#include "ui/control_ids.h"
#include "ui/filter_list_form.h"
#include "ui/messages_box.h"
#include "ui/window_fit.h"

#include <commctrl.h>

#include <string>

namespace nimbrel {
namespace {

constexpr int kClientWidth = 496;
constexpr int kClientHeight = 363;
constexpr int kMinOuterWidth = 504;
constexpr int kMinOuterHeight = 390;

// The image of that size from the program icon (the system's sizes follow the DPI).
HICON loadProgramIcon(int width, int height) {
    return static_cast<HICON>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1), IMAGE_ICON, width, height, LR_SHARED));
}

constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_THICKFRAME |
                               WS_CLIPCHILDREN;

}  // namespace

TTarnwickForm1::TTarnwickForm1() {
    icon_ = loadProgramIcon(GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON));
    smallIcon_ = loadProgramIcon(GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON));
    registerClass(kClassName, icon_, GetSysColorBrush(COLOR_BTNFACE), nullptr, smallIcon_);
    SHDocVwDShellWindowsEvents1.OnWindowRegistered = [this](TSHDocVwDShellWindowsEvents* sender, LONG cookie) {
        ShellWinEventsWindowRegistered(sender, cookie);
    };
    SHDocVwDShellWindowsEvents1.OnWindowRevoked = [this](TSHDocVwDShellWindowsEvents* sender, LONG cookie) {
        ShellWinEventsWindowRevoked(sender, cookie);
    };
    SHDocVwDWebBrowserEvents21.OnDocumentComplete = [this](TSHDocVwDWebBrowserEvents2* sender, IDispatch* pDisp,
                                                           VARIANT* url) {
        SHDocVwDWebBrowserEvents21DocumentComplete(sender, pDisp, url);
    };
    SHDocVwDWebBrowserEvents21.OnBeforeNavigate2 = [this](TSHDocVwDWebBrowserEvents2* sender, IDispatch* pDisp,
                                                          VARIANT* url, VARIANT* flags, VARIANT* frame,
                                                          VARIANT* postData, VARIANT* headers, VARIANT_BOOL* cancel) {
        WBEventsBeforeNavigate2(sender, pDisp, url, flags, frame, postData, headers, cancel);
    };
    SHDocVwDWebBrowserEvents21.OnNewWindow2 = [this](TSHDocVwDWebBrowserEvents2* sender, ComPtr<IDispatch>& ppDisp,
                                                     VARIANT_BOOL* cancel) {
        SHDocVwDWebBrowserEvents21NewWindow2(sender, ppDisp, cancel);
    };
}

TTarnwickForm1::~TTarnwickForm1() { destroy(); }

void TTarnwickForm1::create() {
    const std::wstring title(kAppTitle);
    createCentred(WS_EX_CONTROLPARENT, kClassName, title.c_str(), kWindowStyle, scale_(kClientWidth),
                  scale_(kClientHeight), nullptr);
}

void TTarnwickForm1::show() {
    ShowWindow(hwnd(), SW_SHOW);
    UpdateWindow(hwnd());
}

HWND TTarnwickForm1::control(int id) const {
    for (const Panel* panel : {&OptionPanel_, &ExceptionPanel_, &LogsPanel_}) {
        if (!panel->hwnd()) continue;
        if (HWND found = GetDlgItem(panel->hwnd(), id)) return found;
    }
    return GetDlgItem(hwnd(), id);
}

// Start-up: the design-time window first, then the two guarded phases.
void TTarnwickForm1::FormCreate() {
    callBound_.watchEndRequests([this] { return closeRequested(); }, [this] {
        tray_.remove();
        try {
            writeRunningFlag(false);
        } catch (...) {
        }
    });
    for (OneShotTimer* timer : {&Timer1_, &Timer2_, &Timer3_, &Timer4_, &Timer6_, &ShellRetry_, &Prune_, &ShellCheck_})
        timer->attach(hwnd());
    tray_.attach(hwnd(), smallIcon_);
    // Elevated, the window would not hear a restarted task bar without this.
    ChangeWindowMessageFilterEx(hwnd(), taskbarCreatedMessage(), MSGFLT_ALLOW, nullptr);
    createControls();
    createTrayMenu();
    createFlatLook();
    startupFirstPhase();
    // Before the browsers: connecting may stop at a message box, and the lists' copies
    // compile meanwhile.
    filterLists = std::make_unique<FilterListManager>(hwnd(), kFilterListsChanged);
    filterLists->startScheduler();
    connectBrowsers();
}

void TTarnwickForm1::startupFirstPhase() {
    try {
        writeRunningFlag(true);
        minimiseHookInstalled_ = true;
        initform();
        selectPage(1);
        if (isOn(settings.automin)) Timer1_.enable();
        applyAlwaysOnTop();
    } catch (...) {
        showMessage(nullptr, kStartupFailed);
    }
}

void TTarnwickForm1::SHDocVwDWebBrowserEvents21DocumentComplete(TSHDocVwDWebBrowserEvents2*, IDispatch*,
                                                                 VARIANT*) {}

void TTarnwickForm1::FormClose() {
    closing_ = true;  // a pop-up pass waiting on a browser stops when the call returns
    tray_.remove();
    try {
        writeRunningFlag(false);
    } catch (...) {
        // The program ends either way; there is nobody left to tell.
    }
}

// The collection's listener goes first, so that no window registers while the
// subscriptions end; all of it before COM does.
void TTarnwickForm1::FormDestroy() {
    closing_ = true;
    callBound_.closing();
    tray_.remove();
    for (OneShotTimer* timer : {&Timer1_, &Timer2_, &Timer3_, &Timer4_, &Timer6_, &ShellRetry_, &Prune_, &ShellCheck_})
        timer->disable();
    countsLine_.detach();
    shellConnection_.disconnect();
    filterLists.reset();
}

// A close asked for while a call waits happens once the walks have ended: what they walk
// stays until then. The waiting call itself is cancelled at once.
void TTarnwickForm1::requestClose() {
    if (!callBound_.underway()) {
        FormClose();
        DestroyWindow(hwnd());
        return;
    }
    closing_ = true;
    if (closeAfterCalls_) return;
    closeAfterCalls_ = true;
    callBound_.closing();
    callBound_.afterCalls([this] { PostMessageW(hwnd(), WM_CLOSE, 0, 0); });
}

bool TTarnwickForm1::closeRequested() const {
    MSG waiting;
    return closeAfterCalls_ || PeekMessageW(&waiting, hwnd(), WM_CLOSE, WM_CLOSE, PM_NOREMOVE);
}

void TTarnwickForm1::Timer1Timer() {
    Timer1_.disable();
    minimiseProgram();
}

void TTarnwickForm1::Timer2Timer() {
    Timer2_.disable();
    SendMessageW(hwnd(), WM_CLOSE, 0, 0);
}

void TTarnwickForm1::CloseTarnwick1Click() {
    try {
        tray_.remove();
        SendMessageW(hwnd(), WM_CLOSE, 0, 0);
    } catch (...) {
    }
}

void TTarnwickForm1::Help1Click() { CloseTarnwick1Click(); }

bool TTarnwickForm1::routeTimer(UINT_PTR id) {
    switch (id) {
    case ids::Timer1: Timer1Timer(); return true;
    case ids::Timer2: Timer2Timer(); return true;
    case ids::Timer3: Timer3Timer(); return true;
    case ids::Timer4: Timer4Timer(); return true;
    case ids::Timer6: Timer6Timer(); return true;
    case ids::ShellRetryTimer: shellConnection_.timerFired(ShellConnection::Timer::retry); return true;
    case ids::PruneTimer: shellConnection_.timerFired(ShellConnection::Timer::prune); return true;
    case ids::ShellCheckTimer: shellConnection_.timerFired(ShellConnection::Timer::check); return true;
    case ids::NoticeTimer: NoticeTimerTimer(); return true;
    case ids::CountsTimer: countsLine_.midnight(); return true;
    default: return false;
    }
}

bool TTarnwickForm1::routeCommand(int id, int notification) {
    struct Route {
        int id;
        void (TTarnwickForm1::*handler)();
    };
    static constexpr Route kClicks[] = {
        {ids::Button1, &TTarnwickForm1::Button1Click},
        {ids::Button6, &TTarnwickForm1::Help1Click},
        {ids::Button3, &TTarnwickForm1::Button3Click},
        {ids::Button7, &TTarnwickForm1::Button5Click},
        {ids::CloseTarnwick1, &TTarnwickForm1::CloseTarnwick1Click},
        {ids::oplevel1, &TTarnwickForm1::oplevel1Click},
        {ids::Highlevel1, &TTarnwickForm1::Highlevel1Click},
        {ids::Normallevel1, &TTarnwickForm1::Normallevel1Click},
        {ids::Lowlevel1, &TTarnwickForm1::Lowlevel1Click},
        {ids::Nonedisable1, &TTarnwickForm1::Nonedisable1Click},
        {ids::Preferences1, &TTarnwickForm1::Preferences1Click},
        {ids::Exception1, &TTarnwickForm1::Exception1Click},
        {ids::V1, &TTarnwickForm1::V1Click},
        {ids::Visitoursite1, &TTarnwickForm1::Visitoursite1Click},
        {ids::FilterLists1, &TTarnwickForm1::FilterLists1Click},
        {ids::Button8, &TTarnwickForm1::Button8Click},
    };
    if ((id == ids::Memo1 || id == ids::Memo2) && notification == EN_CHANGE) {
        filter_.listsChanged();
        return true;
    }
    if (id == ids::SensitivityComboBox) {
        if (notification == CBN_SELCHANGE) SensitivityComboBoxChange();
        return true;
    }
    if (notification != BN_CLICKED) return false;
    if (id == IDOK) id = ids::Button1;  // Enter outside the list boxes confirms
    for (const Route& route : kClicks) {
        if (route.id == id) {
            (this->*route.handler)();
            return true;
        }
    }
    return false;
}

LRESULT TTarnwickForm1::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (const std::optional<LRESULT> flat = FlatLook1.route(message, wParam, lParam)) return *flat;
    switch (message) {
    case WM_CREATE: FormCreate(); return 0;
    case WM_COMMAND:
        if (routeCommand(LOWORD(wParam), HIWORD(wParam))) return 0;
        break;
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header->idFrom == ids::ListView1 && header->code == NM_DBLCLK) ListView1DblClick();
        break;
    }
    case WM_CONTEXTMENU:
        if (routeContextMenu(reinterpret_cast<HWND>(wParam), lParam)) return 0;
        break;
    case WM_TIMER:
        if (routeTimer(wParam)) return 0;
        break;
    case WM_SIZE:
        if (wParam == SIZE_MINIMIZED && minimiseHookInstalled_ && !inTray_) minimizeapplication();
        return 0;
    case WM_GETMINMAXINFO: {
        auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
        info->ptMinTrackSize = minimumOuterSize(hwnd(), {scale_(kClientWidth), scale_(kClientHeight)},
                                                {scale_(kMinOuterWidth), scale_(kMinOuterHeight)});
        return 0;
    }
    case DM_GETDEFID: return MAKELRESULT(ids::Button1, DC_HASDEFID);
    case kTrayCallbackMessage: trayiconmessage(lParam); return 0;
    case kFilterListsChanged: filterListsChanged(); return 0;
    case WM_MOUSEMOVE: ImagePanelMouseMove(); return 0;
    case WM_CLOSE: requestClose(); return 0;
    case kPopupPassMessage: PopupPassPosted(); return 0;
    case WM_DESTROY:
        FormDestroy();
        PostQuitMessage(0);
        return 0;
    default:
        if (message == taskbarCreatedMessage()) {
            taskbarcreated();
            shellConnection_.reconnect();  // a new shell has started: its collection is a new one
            return 0;
        }
        break;
    }
    return Window::handleMessage(message, wParam, lParam);
}

}  // namespace nimbrel
