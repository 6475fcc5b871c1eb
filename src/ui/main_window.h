// TTarnwickForm1: the program's one working window. It owns the settings, the browser
// listeners and every handler; the window procedure only decodes messages and routes
// them to the handlers below.
#pragma once

#include "app/tray_icon.h"
#include "browser/call_bound.h"
#include "browser/event_sink.h"
#include "browser/shell_connection.h"
#include "core/settings_rules.h"
#include "filter/ad_filter.h"
#include "filter/filter_lists.h"
#include "filter/list_store.h"
#include "platform/ansi.h"
#include "platform/raii.h"
#include "ui/block_counts_line.h"
#include "ui/block_log_view.h"
#include "ui/context_menus.h"
#include "ui/flat_look.h"
#include "ui/layout.h"
#include "ui/navigation_strip.h"
#include "ui/one_shot_timer.h"
#include "ui/panel.h"
#include "ui/window.h"

#include <exdisp.h>

#include <array>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace nimbrel {

class TAboutForm;
class TFilterListForm;

class TTarnwickForm1 : public Window {
public:
    static constexpr const wchar_t* kClassName = L"TTarnwickForm1";
    // Posted by the filter for the pop-up pass that an event asks for.
    static constexpr UINT kPopupPassMessage = WM_APP + 14;

    TTarnwickForm1();
    ~TTarnwickForm1() override;

    // Creates the window, which runs the start-up sequence; the window stays hidden
    // until show() is called by the entry sequence.
    void create();
    void show();

    // Start-up, close and destruction.
    void FormCreate();
    void FormClose();
    void FormDestroy();

    // Timers.
    void Timer1Timer();
    void Timer2Timer();

    // Commands.
    void Button1Click();
    void CloseTarnwick1Click();
    void Help1Click();
    void oplevel1Click();
    void Highlevel1Click();
    void Normallevel1Click();
    void Lowlevel1Click();
    void Nonedisable1Click();
    void Preferences1Click();
    void Exception1Click();
    void V1Click();
    void Visitoursite1Click();
    void FilterLists1Click();
    void Button8Click();
    void SensitivityComboBoxChange();

    // Browser and shell events.
    void ShellWinEventsWindowRegistered(TSHDocVwDShellWindowsEvents* sender, LONG cookie);
    void ShellWinEventsWindowRevoked(TSHDocVwDShellWindowsEvents* sender, LONG cookie);
    void SHDocVwDWebBrowserEvents21DocumentComplete(TSHDocVwDWebBrowserEvents2* sender, IDispatch* pDisp,
                                                    VARIANT* url);
    void WBEventsBeforeNavigate2(TSHDocVwDWebBrowserEvents2* sender, IDispatch* pDisp, VARIANT* url, VARIANT* flags,
                                 VARIANT* targetFrameName, VARIANT* postData, VARIANT* headers,
                                 VARIANT_BOOL* cancel);
    void SHDocVwDWebBrowserEvents21NewWindow2(TSHDocVwDWebBrowserEvents2* sender, ComPtr<IDispatch>& ppDisp,
                                              VARIANT_BOOL* cancel);

    // The pop-up window killer and the block log.
    void killpopupad();
    void Timer3Timer();
    void Timer4Timer();
    void Timer6Timer();
    void NoticeTimerTimer();
    void tracklog(std::string_view address, const BlockReason& reason, IUnknown* window = nullptr);
    void Button3Click();
    void ListView1DblClick();
    void Button5Click();

    // The right-click menus of the black-list box and the block log.
    void Memo2ContextPopup(POINT at);
    void ImportAdServerList1Click();
    void ListView1ContextPopup(POINT at);
    void CopyAddress1Click();
    void PassOnce1Click();
    void ExportLog1Click();
    void AllowSite1Click();
    void ShowBlackLine1Click();
    void CopyReason1Click();

    // Routines.
    void initform();
    void minimizeapplication();
    void restoreapplication();
    void trayiconmessage(LPARAM mouseMessage);
    void taskbarcreated();

    // The navigation strip and the open-address report.
    void InitLabel1234();
    void Image11MouseMove(int number);
    void ImagePanelMouseMove();
    void Image11Click(int number);

    // State read by the tests and the other parts of the window.
    Settings settings;
    int curpage = 0;
    TAboutForm* AboutForm = nullptr;  // created at entry, after this window
    std::unique_ptr<TFilterListForm> FilterListForm;  // made when first opened
    NavigationStrip::Look captionLook(int number) const { return ImagePanel_.look(number); }
    LONG sinkcookie = 0;
    TSHDocVwDWebBrowserEvents2 SHDocVwDWebBrowserEvents21{L"SHDocVwDWebBrowserEvents21"};
    TSHDocVwDShellWindowsEvents SHDocVwDShellWindowsEvents1{L"SHDocVwDShellWindowsEvents1"};
    HMENU trayMenu() const { return PopupMenu1_.get(); }
    bool connectedToShell() const { return shellConnection_.connected(); }
    // The filter lists: made once the window exists, which then hears of their changes.
    static constexpr UINT kFilterListsChanged = WM_APP + 15;
    std::unique_ptr<FilterListManager> filterLists;
    HWND control(int id) const;

protected:
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void createControls();
    void createOptionPage();
    void createBottom();
    void createExceptionPage();
    void createLogPage();
    void loadLists();
    void saveLists();
    ListTexts readLists() const;
    void startPopupTimers();
    void createTrayMenu();
    void createFlatLook();
    void createNavigationStrip();
    void startupFirstPhase();
    void filterListsChanged();
    void connectBrowsers();
    void shellTimer(ShellConnection::Timer timer, bool start);
    void requestClose();
    bool closeRequested() const;
    void PopupPassPosted();
    // The log menu's entries for the selected row; one caption is made in `allowCaption`.
    std::vector<MenuEntry> rowCommands(std::wstring& allowCaption) const;
    void selectListLine(int memoId, std::size_t line);
    void levelCommand(int level);
    void checkLevelItem(int level);
    void selectPage(int page);
    void showPage(int page);
    void applyAlwaysOnTop();
    void minimiseProgram();
    bool isChecked(int id) const;
    void setChecked(int id, bool checked);
    bool routeCommand(int id, int notification);
    bool routeTimer(UINT_PTR id);
    bool routeContextMenu(HWND source, LPARAM position);

    CallBound callBound_;  // first in, last out: every browser call of the window is bounded
    Scaler scale_;
    FontHandle font_;
    FontHandle boldFont_;
    FontHandle homePageFont_;
    HICON icon_ = nullptr;       // shared with the system: never destroyed
    HICON smallIcon_ = nullptr;  // the icon's own small image, for the caption and the tray
    MenuHandle PopupMenu1_;
    Panel OptionPanel_;
    Panel ExceptionPanel_;
    Panel LogsPanel_;
    Panel Panel4_;
    NavigationStrip ImagePanel_;
    Panel Panel10_;
    OneShotTimer Timer1_{ids::Timer1, 1};
    OneShotTimer Timer2_{ids::Timer2, 1};
    OneShotTimer Timer3_{ids::Timer3, 1};
    OneShotTimer Timer4_{ids::Timer4, 1000};
    OneShotTimer Timer6_{ids::Timer6, 3000};
    OneShotTimer ShellRetry_{ids::ShellRetryTimer, 2000};
    OneShotTimer Prune_{ids::PruneTimer, 1000};
    OneShotTimer ShellCheck_{ids::ShellCheckTimer, 5000};
    ShellConnection shellConnection_{callBound_, SHDocVwDShellWindowsEvents1, SHDocVwDWebBrowserEvents21, sinkcookie,
                                     {
                                         .start = [this](ShellConnection::Timer timer) { shellTimer(timer, true); },
                                         .stop = [this](ShellConnection::Timer timer) { shellTimer(timer, false); },
                                     }};
    CodePage codePage_ = systemCodePage();
    BlockLogView blockLog_;
    BlockCountsLine countsLine_;
    AdFilter filter_{settings, codePage_,
                     {
                         .readLists = [this] { return readLists(); },
                         .tracklog = [this](std::string_view address, const BlockReason& reason,
                                            IUnknown* window) { tracklog(address, reason, window); },
                         .startPopupTimers = [this] { startPopupTimers(); },
                         .postPopupPass = [this] { PostMessageW(hwnd(), kPopupPassMessage, 0, 0); },
                         .closing = [this] { return closing_; },
                         .subscriptions = &shellConnection_.subscriptions(),
                         .bound = &callBound_,
                         .filterHosts = [this] { return filterLists ? filterLists->hosts() : nullptr; },
                         .notices =
                             {
                                 .canNotify = [this] { return inTray_; },
                                 .showNotice = [this](std::wstring_view title,
                                                      std::wstring_view text) { tray_.showNotice(title, text); },
                                 .startTimer = [this](unsigned ms) { SetTimer(hwnd(), ids::NoticeTimer, ms, nullptr); },
                                 .subscriptions = &shellConnection_.subscriptions(),
                                 .bound = &callBound_,
                             },
                     }};
    ListStore lists_;
    TrayIcon tray_;
    bool minimiseHookInstalled_ = false;
    bool inTray_ = false;
    bool closing_ = false;
    bool closeAfterCalls_ = false;  // asked to close while a call waited

public:
    TFlatLook FlatLook1;  // last: switched on when everything else exists, undone first
};

}  // namespace nimbrel
